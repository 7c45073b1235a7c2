// SPDX-License-Identifier: GPL-3.0-or-later
// A rotary knob: the value runs from the minimum at the lower left clockwise through a
// three-quarter turn to the maximum at the lower right. Drawn as a background bitmap with a
// handle (a bitmap or a line) at the value's angle.
//
// Dragging follows the knob mode of the frame's owner: linear (up and right increase,
// Shift for fine steps, changing Shift during a drag does not make the value jump),
// circular (the value follows the pointer's angle around the centre and stops at the ends
// instead of wrapping) or relative circular (the pointer's turn is added). Alt swaps linear
// and circular. A click with exactly the left button and Control sets the default value.
// The wheel adds the wheel increment per step (a tenth with Shift).
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
          CBitmap* handle, const CPoint& offset = {});
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseMoved(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseUp(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance,
                 int32_t buttons) override;
    void onMouseCancel() override;

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
    // Whether a drag that starts with `buttons` turns the knob linearly.
    bool dragsLinearly(int32_t buttons) const;

    CBitmap* handleBitmap = nullptr;
    CPoint offset;
    CColor colorHandle = kWhiteCColor;
    int32_t inset = 3;

private:
    enum class Drag { none, linear, circular, relative };
    void follow(const CPoint& where, int32_t buttons);

    Drag drag = Drag::none;
    CPoint start;
    float entryValue = 0.0f;
    float coef = 0.0f;
    float lastPointValue = 0.0f;
    int32_t lastButtons = 0;
};

} // namespace VSTGUI
