// SPDX-License-Identifier: GPL-3.0-or-later
// A rocker: -1 for its first half (left, or top when vertical), +1 for the other, 0 at
// rest (valueAt). Three frames: first half pressed, rest, second half pressed. How a press
// moves the value is the subclass's.
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

enum CRockerStyle : int32_t {
    kHorizontal = 1,
    kVertical = 2,
};

class CRockerSwitch : public CControl {
public:
    CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                  int32_t heightOfOneImage, CBitmap* background, const CPoint& offset = {},
                  int32_t style = kHorizontal);

    void draw(CDrawContext* context) override;

    int32_t getHeightOfOneImage() const { return heightOfOneImage; }
    int32_t getStyle() const { return style; }
    const CPoint& getBackOffset() const { return offset; }
    // -1 or +1 for a point over the first or second half, 0 elsewhere.
    float valueAt(const CPoint& where) const;

protected:
    int32_t heightOfOneImage;
    CPoint offset;
    int32_t style;
};

} // namespace VSTGUI
