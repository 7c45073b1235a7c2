// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's horizontal switches (delay mode and range, LFO mode, filter mode and type,
// reverb mode and type): see SwitchBehaviour.
#pragma once

#include "editor/SwitchBehaviour.h"
#include "toolkit/CHorizontalSwitch.h"

class DrellSwitch : public SwitchBehaviour<VSTGUI::CHorizontalSwitch> {
public:
    DrellSwitch(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                int32_t subPixmaps, int32_t heightOfOneImage, int32_t positions,
                VSTGUI::CBitmap* background, const VSTGUI::CPoint& offset = {});
};
