// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/DrellKickButton.h"

using namespace VSTGUI;

DrellKickButton::DrellKickButton(const CRect& size, CControlListener* listener, int32_t tag,
                                 int32_t heightOfOneImage, CBitmap* background,
                                 const CPoint& offset)
    : CKickButton(size, listener, tag, heightOfOneImage, background, offset) {}

MouseResult DrellKickButton::onMouseDown(CDrawContext* context, const CPoint& where,
                                         int32_t buttons) {
    stepMultiplier = (buttons & kControl) ? 100.0f : (buttons & kShift) ? 10.0f : 1.0f;
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    if (tracking) return MouseResult::tracking;
    oldValue = getValue();
    tracking = true;
    beginEdit();
    follow(context, where);
    return MouseResult::tracking;
}

void DrellKickButton::follow(CDrawContext* context, const CPoint& where) {
    const float before = getValue();
    setValue(size.pointInside(where) ? 1.0f - oldValue : oldValue);
    if (getValue() != before) notify(context);
}

MouseResult DrellKickButton::onMouseMoved(CDrawContext* context, const CPoint& where,
                                          int32_t buttons) {
    if (!tracking) return MouseResult::handled;
    if (!(buttons & kLButton)) return onMouseUp(context, where, buttons);
    follow(context, where);
    return MouseResult::tracking;
}

MouseResult DrellKickButton::onMouseUp(CDrawContext* context, const CPoint&, int32_t) {
    if (!tracking) return MouseResult::handled;
    tracking = false;
    endEdit();
    // The release: listeners act on the press only, and the button is back at rest.
    setValue(0.0f);
    notify(context);
    return MouseResult::handled;
}

void DrellKickButton::onMouseCancel() {
    tracking = false;
    setValue(0.0f);
    CKickButton::onMouseCancel();
}
