// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CKickButton.h"

namespace VSTGUI {

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int32_t tag,
                         int32_t heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), heightOfOneImage(heightOfOneImage),
      offset(offset) {}

void CKickButton::draw(CDrawContext* context) {
    drawBitmapFrame(context, getValue() >= (vmin + vmax) * 0.5f ? 1 : 0, heightOfOneImage, offset);
}

MouseResult CKickButton::onMouseDown(CDrawContext* context, const CPoint&, int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    pressed = true;
    beginEdit();
    setValue(vmax);
    notify(context);
    return MouseResult::tracking;
}

MouseResult CKickButton::onMouseMoved(CDrawContext* context, const CPoint& where, int32_t buttons) {
    if (!pressed) return MouseResult::handled;
    if (!(buttons & kLButton)) return onMouseUp(context, where, buttons);
    float before = getValue();
    setValue(hitTest(where) ? vmax : vmin);
    if (getValue() != before) notify(context);
    return MouseResult::tracking;
}

MouseResult CKickButton::onMouseUp(CDrawContext* context, const CPoint&, int32_t) {
    if (!pressed) return MouseResult::handled;
    pressed = false;
    float before = getValue();
    setValue(vmin);
    if (getValue() != before) notify(context);
    endEdit();
    return MouseResult::handled;
}

void CKickButton::onMouseCancel() {
    if (pressed) {
        pressed = false;
        setValue(vmin);
    }
    CControl::onMouseCancel();
}

} // namespace VSTGUI
