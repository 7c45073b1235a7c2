// SPDX-License-Identifier: GPL-3.0-or-later
// Milliseconds from a monotonic clock, for everything the editor times (blinking, the
// level bars' fall, double-clicks). Tests set a clock of their own.
#pragma once

#include <cstdint>

class TickClock {
public:
    virtual ~TickClock() = default;
    // Milliseconds since an arbitrary start; wraps after about 49 days, so callers compare
    // differences of unsigned values.
    virtual std::uint32_t now() const;
};
