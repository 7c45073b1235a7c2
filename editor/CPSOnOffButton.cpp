// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CPSOnOffButton.h"

#include "editor/PresetBarFrames.h"

using namespace VSTGUI;

CPSOnOffButton::CPSOnOffButton(const CRect& size, CControlListener* listener, int32_t tag,
                               int32_t heightOfOneImage, CBitmap* background)
    : COnOffButton(size, listener, tag, background), heightOfOneImage(heightOfOneImage) {}

bool CPSOnOffButton::isSwitchedOn() const {
    return presetbar::buttonFrame(getValue()) == 2;
}

void CPSOnOffButton::draw(CDrawContext* context) {
    drawBitmapFrame(context, presetbar::buttonFrame(getValue()), heightOfOneImage);
}

MouseResult CPSOnOffButton::onMouseDown(CDrawContext* context, const CPoint&, int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    setValue(isSwitchedOn() ? presetbar::kRestValue : presetbar::kOnValue);
    setDirty(true);
    notify(context);
    return MouseResult::handled;
}
