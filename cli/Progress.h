// SPDX-License-Identifier: GPL-3.0-or-later
// The progress bar on stderr: shown only on a terminal, and only once a render has taken
// longer than a second, so short renders and scripts see nothing but the summary line.
#pragma once

#include "cli/Renderer.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace cli {

class ProgressBar {
public:
    // Draws on `out` when `enabled` (normally: stderr is a terminal).
    ProgressBar(std::FILE* out, bool enabled);
    void update(const RenderProgress& progress);
    // Clears the bar, if one was drawn.
    void finish();

    // The bar's text for a progress report, without the leading carriage return.
    static std::string line(const RenderProgress& progress);

private:
    using Clock = std::chrono::steady_clock;
    std::FILE* out;
    bool enabled;
    bool drawn = false;
    Clock::time_point started;
    Clock::time_point lastDrawn;
};

} // namespace cli
