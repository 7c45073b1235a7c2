// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/DrellOnOffButton.h"

#include "toolkit/CBitmap.h"

using namespace VSTGUI;

DrellOnOffButton::DrellOnOffButton(const CRect& size, CControlListener* listener, int32_t tag,
                                   CBitmap* background)
    : COnOffButton(size, listener, tag, background) {}

void DrellOnOffButton::draw(CDrawContext* context) {
    if (background == nullptr) return;
    drawBitmapFrame(context, getValue() >= kOnValue ? 1 : 0, background->getHeight() / 2);
}

MouseResult DrellOnOffButton::onMouseDown(CDrawContext* context, const CPoint&, int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    beginEdit();
    notify(context);
    setValue(getValue() >= kOnValue ? 0.0f : kOnValue);
    notify(context);
    endEdit();
    return MouseResult::handled;
}
