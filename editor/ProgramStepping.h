// SPDX-License-Identifier: GPL-3.0-or-later
// Stepping through the programs without the menu: the wheel over the program name, the
// menu button or the rocker, and the arrow keys while no text field is being edited (in
// the window's own keyboard focus, or from a host that passes keys on).
#pragma once

#include "toolkit/Input.h"

#include <cstdint>

class ProgramStepping {
public:
    virtual ~ProgramStepping() = default;
    // Moves the current program by `steps`, stopping at the first and the last.
    virtual void stepPrograms(int32_t steps) = 0;
};

namespace programstep {

// The step a key asks for: +1 for Right and Up, -1 for Left and Down (as the rocker's halves
// and the wheel step), 0 for any other key or with a modifier held (left to the host).
int32_t ofKey(const VSTGUI::KeyCode& key);
// The step of a wheel movement over a program control: up steps to the next program, as
// the wheel turns every other control up.
int32_t ofWheel(float distance);
// True for the controls over which the wheel steps programs.
bool wheelStepsOver(int32_t tag);

} // namespace programstep
