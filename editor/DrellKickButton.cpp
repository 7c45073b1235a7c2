// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/DrellKickButton.h"

using namespace VSTGUI;

DrellKickButton::DrellKickButton(const CRect& size, CControlListener* listener, int32_t tag,
                                 int32_t heightOfOneImage, CBitmap* background,
                                 const CPoint& offset)
    : HeldGesture(size, listener, tag, heightOfOneImage, background, offset) {}

MouseResult DrellKickButton::onMouseDown(CDrawContext* context, const CPoint& where,
                                         int32_t buttons) {
    stepMultiplier = (buttons & kControl) ? 100.0f : (buttons & kShift) ? 10.0f : 1.0f;
    return HeldGesture::onMouseDown(context, where, buttons);
}

MouseResult DrellKickButton::beginHold(CDrawContext* context, const CPoint& where, int32_t) {
    oldValue = getValue();
    beginEdit();
    followHold(context, where, kLButton);
    return MouseResult::tracking;
}

void DrellKickButton::followHold(CDrawContext* context, const CPoint& where, int32_t) {
    const float before = getValue();
    setValue(size.pointInside(where) ? 1.0f - oldValue : oldValue);
    if (getValue() != before) notify(context);
}

void DrellKickButton::endHold(CDrawContext* context) {
    endEdit();
    setValue(0.0f);
    if (context != nullptr) notify(context);
}
