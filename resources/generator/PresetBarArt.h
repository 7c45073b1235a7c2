// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar's buttons and rocker, drawn for the generator's strips.
#pragma once

#include "resources/generator/Art.h"

namespace gen {

enum class Icon { Load, Save, DefaultBank, StoreMap, Learn, Clear };

// A button of the bar in state 0 (at rest), 1 (under the pointer) or 2 (pressed or on).
void barButton(cairo_t* cr, double w, double h, int state, Icon icon);

// Frame 0 rest, 1 pointer over the left half, 2 over the right half, 3 left pressed,
// 4 right pressed.
void rocker(cairo_t* cr, double w, double h, int frame);

} // namespace gen
