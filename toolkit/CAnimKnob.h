// SPDX-License-Identifier: GPL-3.0-or-later
// A knob drawn from a filmstrip: frame round(value × (n - 1)) of n frames stacked top to
// bottom, each `heightOfOneImage` high. Input is the knob's.
#pragma once

#include "toolkit/CKnob.h"

namespace VSTGUI {

class CAnimKnob : public CKnob {
public:
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
              int32_t heightOfOneImage, CBitmap* background, const CPoint& offset = {});

    void draw(CDrawContext* context) override;

    int32_t getNumSubPixmaps() const { return subPixmaps; }
    int32_t getHeightOfOneImage() const { return heightOfOneImage; }
    // The frame the current value shows.
    int32_t getFrameIndex() const;
    // Frames run from the maximum down instead.
    void setInverseBitmap(bool state) { inverse = state; }

protected:
    int32_t subPixmaps;
    int32_t heightOfOneImage;
    bool inverse = false;
};

} // namespace VSTGUI
