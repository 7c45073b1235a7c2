// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CPSKickButton.h"

#include "editor/PresetBarFrames.h"

using namespace VSTGUI;

CPSKickButton::CPSKickButton(const CRect& size, CControlListener* listener, int32_t tag,
                             int32_t heightOfOneImage, CBitmap* background)
    : CKickButton(size, listener, tag, heightOfOneImage, background) {}

void CPSKickButton::draw(CDrawContext* context) {
    drawBitmapFrame(context, presetbar::buttonFrame(getValue()), heightOfOneImage, offset);
}

MouseResult CPSKickButton::onMouseDown(CDrawContext* context, const CPoint&, int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    pressed = true;
    setValue(presetbar::kPressedValue);
    beginEdit();
    notify(context);
    return MouseResult::tracking;
}

MouseResult CPSKickButton::onMouseMoved(CDrawContext*, const CPoint&, int32_t buttons) {
    if (!pressed) return MouseResult::handled;
    if ((buttons & kMouseButtons) == kLButton) return MouseResult::tracking;
    release();
    return MouseResult::handled;
}

MouseResult CPSKickButton::onMouseUp(CDrawContext*, const CPoint&, int32_t) {
    if (pressed) release();
    return MouseResult::handled;
}

void CPSKickButton::release() {
    pressed = false;
    endEdit();
    setValue(presetbar::kRestValue);
    setDirty(true);
}
