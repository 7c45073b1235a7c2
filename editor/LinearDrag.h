// SPDX-License-Identifier: GPL-3.0-or-later
// The accelerated linear drag of the editor's knobs. Each pointer step adds
// d = (previous y - y) * 2 + (x - previous x), raised to the power 1.4 with its sign, to an
// accumulated horizontal position kept in whole pixels; the value moves by half a range
// per 1000 accumulated pixels (a quarter as fast with Shift at the press). A change of
// Shift during the drag switches between range / 1000 and range / 5000 per pixel without
// a jump of the value.
#pragma once

#include "toolkit/CRect.h"

#include <cstdint>

class LinearDrag {
public:
    // Starts at the press point with the control's value and range.
    void start(const VSTGUI::CPoint& where, int32_t buttons, float value, float range);
    // The value for the pointer at `where` with `buttons`, not yet limited to the range.
    float step(const VSTGUI::CPoint& where, int32_t buttons);

private:
    float range = 1.0f;
    float entry = 0.0f;
    float coef = 0.001f;
    VSTGUI::CPoint first;
    VSTGUI::CPoint previous;
    int64_t accX = 0;
    int64_t accY = 0;
    int32_t lastButtons = 0;
};
