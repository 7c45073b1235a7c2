// SPDX-License-Identifier: GPL-3.0-or-later
// What the horizontal and vertical switches share: n positions along one axis of the
// control; pressing or dragging picks the position under the pointer (index ÷ (n - 1) of
// the range), and the switch shows frame round(value × (frames - 1)) of its filmstrip.
// Pressing begins an edit and the release ends it.
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

class CSwitchBase : public CControl {
public:
    void draw(CDrawContext* context) override;
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseMoved(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseUp(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    void onMouseCancel() override;

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
    bool pressed = false;
};

} // namespace VSTGUI
