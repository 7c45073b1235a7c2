// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's vertical switch (the LFO wave): see SwitchBehaviour.
#pragma once

#include "editor/SwitchBehaviour.h"
#include "toolkit/CVerticalSwitch.h"

class DrellSwitchVert : public SwitchBehaviour<VSTGUI::CVerticalSwitch> {
public:
    DrellSwitchVert(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                    int32_t subPixmaps, int32_t heightOfOneImage, int32_t positions,
                    VSTGUI::CBitmap* background, const VSTGUI::CPoint& offset = {});
};
