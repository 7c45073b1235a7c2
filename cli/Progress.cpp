// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Progress.h"

#include "cli/Numbers.h"

#include <algorithm>

namespace cli {

namespace {

constexpr auto kDelayBeforeShowing = std::chrono::seconds(1);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 30;

} // namespace

ProgressBar::ProgressBar(std::FILE* out, bool enabled)
    : out(out), enabled(enabled), started(Clock::now()) {}

std::string ProgressBar::line(const RenderProgress& progress) {
    std::string text;
    if (progress.secondsTotal && *progress.secondsTotal > 0.0) {
        double fraction = std::clamp(progress.secondsDone / *progress.secondsTotal, 0.0, 1.0);
        int filled = static_cast<int>(fraction * kBarWidth);
        text = "[" + std::string(static_cast<std::size_t>(filled), '#') +
               std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "] " +
               formatFixed(100.0 * fraction, 0) + "%  " + formatFixed(progress.secondsDone, 1) +
               " of " + formatFixed(*progress.secondsTotal, 1) + " s";
    } else {
        text = "rendering" + std::string(progress.inTail ? " the tail" : "") + ": " +
               formatFixed(progress.secondsDone, 1) + " s";
    }
    return text;
}

void ProgressBar::update(const RenderProgress& progress) {
    if (!enabled || out == nullptr) return;
    Clock::time_point now = Clock::now();
    if (now - started < kDelayBeforeShowing) return;
    if (drawn && now - lastDrawn < kRedrawInterval) return;
    std::fprintf(out, "\r\033[K%s", line(progress).c_str());
    std::fflush(out);
    drawn = true;
    lastDrawn = now;
}

void ProgressBar::finish() {
    if (!drawn) return;
    std::fputs("\r\033[K", out);
    std::fflush(out);
    drawn = false;
}

} // namespace cli
