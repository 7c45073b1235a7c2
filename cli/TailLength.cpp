// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TailLength.h"

#include "cli/ParameterValues.h"
#include "cli/RenderHost.h"
#include "cli/Renderer.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace cli {

namespace {

// The VCO's clock runs at manual^(1 - mod) times the normal rate, and the modulation
// swings it by up to a factor of 2^|mod| either way: in all from 1/8 to 8.
constexpr double kLargestModulationOctaves = 1.0;
// The reverb's longest loop (the plate's combs, about a quarter of a second) and the
// longest it takes to fall by the quiet level's 90 dB (the plate at no damping; the
// spring is quicker).
constexpr double kReverbLoopSeconds = 0.3;
constexpr double kReverbDecaySeconds = 9.0;
// Room for the fade of a delay-time change and the clock's drift around its bound.
constexpr double kQuietMarginSeconds = 0.25;
constexpr double kPassMargin = 1.05;
// A feedback this close to 0 dB keeps echoes up for longer than any limit.
constexpr double kEndlessGain = 0.999;

class Settings {
public:
    explicit Settings(const RenderHost& host) : host(host) {}
    // The number the parameter's value text shows; fallback when it shows none.
    double number(std::string_view name, double fallback) const {
        std::optional<int> index = host.parameterIndex(name);
        if (!index) return fallback;
        return displayNumber(host.parameterDisplay(*index)).value_or(fallback);
    }
    bool on(std::string_view name) const {
        std::optional<int> index = host.parameterIndex(name);
        return index && host.parameterDisplay(*index) == "on";
    }

private:
    const RenderHost& host;
};

double gainOfDb(double db) {
    return std::isinf(db) && db < 0.0 ? 0.0 : std::pow(10.0, db / 20.0);
}

} // namespace

TailEstimate estimateTail(const RenderHost& host) {
    const Settings settings(host);
    TailEstimate tail;

    double slowestClock = 1.0;
    if (settings.on("Vco On")) {
        const double manual = settings.number("Vco Manual", 1.0);
        const double mod = settings.number("Vco Mod", 0.0) / 100.0;
        slowestClock = std::pow(manual, 1.0 - mod);
        if (settings.on("Mod On"))
            slowestClock *= std::pow(2.0, -std::fabs(mod) * kLargestModulationOctaves);
    }
    // No echo is heard when the mix is all dry.
    const bool wet = settings.number("Main Mix", 1.0) > 0.0;
    if (wet)
        for (std::string_view line : {"DlyL Time", "DlyR Time"})
            tail.longestPassSeconds =
                std::max(tail.longestPassSeconds, settings.number(line, 5000.0) / 1000.0 /
                                                      std::max(slowestClock, 1.0 / 64.0));

    const bool reverb = settings.on("Rvb On");
    tail.quietSeconds =
        std::max(kMinQuietSeconds, kPassMargin * tail.longestPassSeconds + kQuietMarginSeconds +
                                       (reverb ? kReverbLoopSeconds : 0.0));

    const double gain = std::max(gainOfDb(settings.number("DlyL Fb", 0.0)),
                                 gainOfDb(settings.number("DlyR Fb", 0.0)));
    if (!wet || gain < kEndlessGain) {
        const double passes =
            gain > 0.0 ? 1.0 + std::ceil(-kQuietDbfs / (-20.0 * std::log10(gain))) : 1.0;
        tail.ringSeconds = passes * tail.longestPassSeconds + (reverb ? kReverbDecaySeconds : 0.0);
    }
    const double needed = tail.ringSeconds ? *tail.ringSeconds + tail.quietSeconds
                                           : tail.longestPassSeconds + tail.quietSeconds;
    tail.limitSeconds = std::max(tail.longestPassSeconds + tail.quietSeconds,
                                 std::clamp(needed, kMinAutoLimitSeconds, kMaxAutoLimitSeconds));
    return tail;
}

} // namespace cli
