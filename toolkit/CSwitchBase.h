// SPDX-License-Identifier: GPL-3.0-or-later
// What the horizontal and vertical switches share: n positions along one axis of the
// control (positionAt gives the one under the pointer), and the picture: frame
// round(value × (frames - 1)) of its filmstrip. How a press moves the value is the
// subclass's.
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

class CSwitchBase : public CControl {
public:
    void draw(CDrawContext* context) override;

    int32_t getNumSubPixmaps() const { return subPixmaps; }
    int32_t getHeightOfOneImage() const { return heightOfOneImage; }
    int32_t getMaxPositions() const { return maxPositions; }
    const CPoint& getBackOffset() const { return offset; }
    // The position 0..n-1 under `where` (frame coordinates), kept at the ends outside.
    int32_t positionAt(const CPoint& where) const;

protected:
    CSwitchBase(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                int32_t heightOfOneImage, int32_t maxPositions, CBitmap* background,
                const CPoint& offset, bool vertical);

    int32_t subPixmaps;
    int32_t heightOfOneImage;
    int32_t maxPositions;
    CPoint offset;
    bool vertical;
};

} // namespace VSTGUI
