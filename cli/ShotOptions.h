// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of tessel-shot, parsed into plain data: the sound options it shares with
// tessel-render (programs, banks, presets, --set), the scale, an optional knob drag held
// while the picture is taken, and the output file. Names and values are resolved later
// against the effect.
#pragma once

#include "cli/Options.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

// A press on the control of a parameter, moved by `pixels` (up for positive numbers) and
// held while the picture is taken.
struct DragGesture {
    std::string parameter; // the name --list-params shows
    int pixels = 0;
    bool fine = false; // Shift held: the fine adjustment
};

struct ShotOptions {
    bool help = false;
    bool version = false;
    bool listPrograms = false;
    std::vector<SoundAction> sound;
    int scale = 1;
    std::optional<DragGesture> drag;
    std::string output;
};

inline constexpr int kMaxDragPixels = 2000;

struct ShotParseResult {
    ShotOptions options;
    std::string error; // empty when the command line is good
    bool ok() const { return error.empty(); }
};

// args excludes the program name.
ShotParseResult parseShotOptions(const std::vector<std::string>& args);

// The text --help prints.
std::string shotUsageText();

} // namespace cli
