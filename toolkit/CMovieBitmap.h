// SPDX-License-Identifier: GPL-3.0-or-later
// A filmstrip without input: shows frame round(value × (n - 1)) of n frames, for lamps,
// digits and level bars.
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

class CMovieBitmap : public CControl {
public:
    CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                 int32_t heightOfOneImage, CBitmap* background, const CPoint& offset = {});

    void draw(CDrawContext* context) override;

    int32_t getNumSubPixmaps() const { return subPixmaps; }
    int32_t getHeightOfOneImage() const { return heightOfOneImage; }
    int32_t getFrameIndex() const { return frameForValue(getValue(), vmin, vmax, subPixmaps); }

protected:
    int32_t subPixmaps;
    int32_t heightOfOneImage;
    CPoint offset;
};

} // namespace VSTGUI
