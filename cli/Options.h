// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of tessel-render, parsed into plain data. Parsing checks everything that
// can be checked without the effect (numbers, ranges, file counts); names of programs and
// parameters, and parameter values, are resolved later against the effect itself.
#pragma once

#include "engine/SampleRates.h"
#include "engine/TempoSync.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class SampleFormat { pcm24, float32 };

// One option that changes the sound, kept in command-line order: later ones win.
struct SoundAction {
    enum class Kind { program, bank, preset, set };
    Kind kind;
    std::string name;  // program name or index, file path, or parameter name
    std::string value; // for set: the value as typed, without the spaces around it
};

struct Options {
    bool help = false;
    bool version = false;
    bool listPrograms = false;
    bool listParams = false;
    std::vector<SoundAction> sound;
    double tempoBpm = temposync::kStartTempoBpm;
    int blockSize = 512;
    std::optional<double> demoRateHz;  // only for the demo phrase
    std::optional<double> tailSeconds; // none: until the output has died away
    SampleFormat format = SampleFormat::pcm24;
    std::optional<std::string> input; // none: the demo phrase
    std::string output;
};

inline constexpr double kDefaultDemoRateHz = 44100.0;
inline constexpr double kMinTempoBpm = temposync::kMinTempoBpm;
inline constexpr double kMaxTempoBpm = temposync::kMaxTempoBpm;
inline constexpr int kMaxBlockSize = 8192;
// The effect runs at rates in this range; others it would treat as 44100 Hz.
inline constexpr double kMinRateHz = samplerates::kMinHz;
inline constexpr double kMaxRateHz = samplerates::kMaxHz;
inline constexpr double kMaxTailSeconds = 3600.0;

struct ParseResult {
    Options options;
    std::string error; // empty when the command line is good
    bool ok() const { return error.empty(); }
};

// Adds one sound option (--program, --bank, --preset, --set) with its value to `sound`;
// false when `name` is none of them. A bad value leaves a message in `error`.
bool addSoundOption(const std::string& name, const std::string& value,
                    std::vector<SoundAction>& sound, std::string& error);

// args excludes the program name.
ParseResult parseOptions(const std::vector<std::string>& args);

// The text --help prints.
std::string usageText();

// The text --version prints for `tool`: its name, the version, the license.
std::string versionText(const std::string& tool);

} // namespace cli
