// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CRockerSwitch.h"

namespace VSTGUI {

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                             int32_t heightOfOneImage, CBitmap* background, const CPoint& offset,
                             int32_t style)
    : CControl(size, listener, tag, background), heightOfOneImage(heightOfOneImage), offset(offset),
      style(style) {
    vmin = -1.0f;
    vmax = 1.0f;
    defaultValue = 0.0f;
}

float CRockerSwitch::valueAt(const CPoint& where) const {
    if (!hitTest(where)) return 0.0f;
    if (style & kVertical) return where.y < size.top + getHeight() / 2 ? -1.0f : 1.0f;
    return where.x < size.left + getWidth() / 2 ? -1.0f : 1.0f;
}

void CRockerSwitch::draw(CDrawContext* context) {
    float v = getValue();
    drawBitmapFrame(context, v < 0.0f ? 0 : (v > 0.0f ? 2 : 1), heightOfOneImage, offset);
}

MouseResult CRockerSwitch::onMouseDown(CDrawContext* context, const CPoint& where,
                                       int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    pressed = true;
    beginEdit();
    setValue(valueAt(where));
    notify(context);
    return MouseResult::tracking;
}

MouseResult CRockerSwitch::onMouseMoved(CDrawContext* context, const CPoint& where,
                                        int32_t buttons) {
    if (!pressed) return MouseResult::handled;
    if (!(buttons & kLButton)) return onMouseUp(context, where, buttons);
    float before = getValue();
    setValue(valueAt(where));
    if (getValue() != before) notify(context);
    return MouseResult::tracking;
}

MouseResult CRockerSwitch::onMouseUp(CDrawContext* context, const CPoint&, int32_t) {
    if (!pressed) return MouseResult::handled;
    pressed = false;
    float before = getValue();
    setValue(0.0f);
    if (getValue() != before) notify(context);
    endEdit();
    return MouseResult::handled;
}

void CRockerSwitch::onMouseCancel() {
    if (pressed) {
        pressed = false;
        setValue(0.0f);
    }
    CControl::onMouseCancel();
}

} // namespace VSTGUI
