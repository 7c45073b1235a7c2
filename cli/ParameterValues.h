// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter values as a musician types them: in the unit the host shows ("250 ms",
// "-6 dB", "2 kHz", "50 %"), as one of a stepped parameter's choices ("plate", "note",
// "8", "on"), as a controller ("CC 7", "none") for the CC# parameters, or normalised in
// [0, 1] as the interface carries them.
//
// Everything goes through the plug-in's public surface: names, labels, value texts and
// step properties. A stepped parameter's choices are the texts it shows at the centre of
// each step (read from a second instance, since a step change can move other values); a
// continuous value is found by bisection over the parameter's own value text, which
// rises or falls steadily with the value, so the value set is the nearest the parameter can
// hold.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

class RenderHost;

struct ValueSetting {
    std::string error;                 // empty when a value was set
    std::string shown;                 // the value set, as the effect shows it, with its unit
    std::vector<std::string> warnings; // e.g. a value beyond the parameter's reach
};

class ParameterValues {
public:
    explicit ParameterValues(RenderHost& host);
    ~ParameterValues();

    // Sets parameter `index` of the host from the typed text.
    ValueSetting set(int index, std::string_view text);

    // The value text of a parameter as --list-params shows it: the effect's own text, or
    // the controller ("CC 7", "none") for a CC# parameter, whose text the effect leaves
    // empty.
    std::string shown(int index) const;

    // The choices of a stepped parameter, by step; empty for a continuous one.
    const std::vector<std::string>& choices(int index);

private:
    ValueSetting setContinuous(int index, double target, const std::string& unit);

    RenderHost& host;
    std::unique_ptr<RenderHost> scratch; // reads choice texts without touching the sound
    std::vector<std::optional<std::vector<std::string>>> choiceCache;
};

// The number a value text stands for: "-6.02060" gives -6.0206, "-oo" minus infinity,
// "D:70<>30:W" and "L:70<>30:R" the right-hand share 30, "L:+45<>45-:R" -45 degrees and
// "L:-45<>45+:R" +45. None for a text that holds no number.
std::optional<double> displayNumber(std::string_view text);

} // namespace cli
