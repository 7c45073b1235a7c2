// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar's store button: a left click sets the pressed value and notifies the
// listener once; the button stays pressed while exactly the left button is down and then
// returns to rest without a second notification. Three frames: rest, hover, pressed.
#pragma once

#include "editor/PresetBarButton.h"

class CPSKickButton : public PresetBarButton {
public:
    using PresetBarButton::PresetBarButton;

private:
    VSTGUI::MouseResult beginHold(Context* context, const Point& where, int32_t buttons) override;
};
