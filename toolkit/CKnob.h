// SPDX-License-Identifier: GPL-3.0-or-later
// A rotary knob: the value runs from the minimum at the lower left clockwise through a
// three-quarter turn to the maximum at the lower right. Drawn as a background bitmap with a
// handle (a bitmap or a line) at the value's angle.
//
// The wheel adds the wheel increment per step (a tenth with Shift). Dragging is the
// subclass's: valueFromPoint gives the value of a pointer's angle for a circular drag.
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
          CBitmap* handle, const CPoint& offset = {});
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance,
                 int32_t buttons) override;

    // The value for a point and the point for the value, relative to the knob's top-left
    // corner.
    virtual float valueFromPoint(const CPoint& point) const;
    virtual void valueToPoint(CPoint& point) const;

    void setHandleBitmap(CBitmap* bitmap);
    void setColorHandle(const CColor& colour) { colorHandle = colour; }
    void setInsetValue(int32_t value) { inset = value; }
    void setBackOffset(const CPoint& value) { offset = value; }
    const CPoint& getBackOffset() const { return offset; }

protected:
    CBitmap* handleBitmap = nullptr;
    CPoint offset;
    CColor colorHandle = kWhiteCColor;
    int32_t inset = 3;
};

} // namespace VSTGUI
