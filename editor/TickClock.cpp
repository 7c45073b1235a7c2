// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/TickClock.h"

#include <chrono>

std::uint32_t TickClock::now() const {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
