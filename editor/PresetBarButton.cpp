// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/PresetBarButton.h"

#include "editor/PresetBarFrames.h"

using namespace VSTGUI;

void PresetBarButton::draw(CDrawContext* context) {
    drawBitmapFrame(context, presetbar::buttonFrame(getValue()), heightOfOneImage, offset);
}

void PresetBarButton::press() {
    setValue(presetbar::kPressedValue);
    beginEdit();
}

bool PresetBarButton::holds(int32_t buttons) const {
    return (buttons & kMouseButtons) == kLButton;
}

void PresetBarButton::endHold(CDrawContext*) {
    endEdit();
    setValue(presetbar::kRestValue);
    setDirty(true);
}
