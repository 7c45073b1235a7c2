// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's switches, which behave alike (see SwitchBehaviour): DrellSwitch is horizontal
// (delay mode and range, LFO mode, filter mode and type, reverb mode and type) and
// DrellSwitchVert vertical (the LFO wave).
#pragma once

#include "editor/SwitchBehaviour.h"
#include "toolkit/CHorizontalSwitch.h"
#include "toolkit/CVerticalSwitch.h"

class DrellSwitch : public SwitchBehaviour<VSTGUI::CHorizontalSwitch> {
public:
    using SwitchBehaviour::SwitchBehaviour;
};

class DrellSwitchVert : public SwitchBehaviour<VSTGUI::CVerticalSwitch> {
public:
    using SwitchBehaviour::SwitchBehaviour;
};
