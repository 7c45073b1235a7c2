// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/LinearDrag.h"

#include "toolkit/Input.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

namespace {
// The accumulated position stays far inside what a float step and an int64 can hold, even
// for a pointer that jumps wildly.
constexpr double kAccumulatedLimit = 1e12;
} // namespace

void LinearDrag::start(const CPoint& where, int32_t buttons, float value, float dragRange) {
    range = dragRange;
    entry = value;
    coef = (buttons & kShift) ? range / 4000.0f : range / 1000.0f;
    first = where;
    previous = where;
    accX = where.x;
    accY = where.y;
    lastButtons = buttons;
}

float LinearDrag::step(const CPoint& where, int32_t buttons) {
    const int64_t d = int64_t(previous.y - where.y) * 2 + (where.x - previous.x);
    previous = where;
    const float a = std::copysign(std::pow(std::fabs(float(d)), 1.4f), float(d));
    const double sum = std::clamp(double(accX) + double(a), -kAccumulatedLimit, kAccumulatedLimit);
    accX = int64_t(std::trunc(sum));
    const float diff = float(first.y - accY) + float(accX - first.x) * 0.5f;
    if (buttons != lastButtons) {
        const float newCoef = (buttons & kShift) ? range / 5000.0f : range / 1000.0f;
        entry += (coef - newCoef) * diff;
        coef = newCoef;
        lastButtons = buttons;
    }
    return entry + diff * coef;
}
