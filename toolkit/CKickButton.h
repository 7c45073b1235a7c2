// SPDX-License-Identifier: GPL-3.0-or-later
// A momentary button's picture: frame 1 of its two-frame bitmap from the middle of the
// range up, frame 0 below. How a press moves the value is the subclass's.
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag,
                int32_t heightOfOneImage, CBitmap* background, const CPoint& offset = {});

    void draw(CDrawContext* context) override;

    int32_t getHeightOfOneImage() const { return heightOfOneImage; }
    const CPoint& getBackOffset() const { return offset; }

protected:
    int32_t heightOfOneImage;
    CPoint offset;
};

} // namespace VSTGUI
