// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/StateVariableFilter.h"

void StateVariableFilter::reset() noexcept {
    for (int s = 0; s < 2; ++s) svfLow[s] = svfBand[s] = svfHigh[s] = 0.0f;
    svfF = svfQLimit = svfDamp = 0.0f;
}
