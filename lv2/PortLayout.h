// SPDX-License-Identifier: GPL-3.0-or-later
// The LV2 edition's ports and identifiers. Control ports 0..47 are the 48 sound parameters in
// the order a VST 2 host sees them, so a port index is a parameter index; the audio ports
// and the event input follow. How each parameter shows in a host's generic controls (a
// toggle, a choice among labelled points, a value in its units) comes from the parameter
// table and its units table. The plug-in and the generator of its description both read this file.
#pragma once

#include "engine/ParameterUnits.h"
#include "engine/Parameters.h"

#include <cstdint>
#include <string>

namespace lv2ports {

// Stable identifiers of the edition: hosts store them in sessions.
inline constexpr const char* kPluginUri = "urn:tessel:lv2:plugin";
// The editor as an X11 UI, in the plug-in's own binary.
inline constexpr const char* kUiUri = "urn:tessel:lv2:ui";
inline constexpr const char* kPresetUriPrefix = "urn:tessel:lv2:preset:";
// The state property that holds the controller map.
inline constexpr const char* kControllersUri = "urn:tessel:lv2:controllers";
inline constexpr const char* kBinaryName = "tessel_lv2.so";

inline constexpr std::uint32_t kAudioInLeft = kNumParams;
inline constexpr std::uint32_t kAudioInRight = kNumParams + 1;
inline constexpr std::uint32_t kAudioOutLeft = kNumParams + 2;
inline constexpr std::uint32_t kAudioOutRight = kNumParams + 3;
// MIDI control changes and the host's time position; hosts may leave it unconnected.
inline constexpr std::uint32_t kEvents = kNumParams + 4;
// The host's own bypass switch (lv2:enabled): 1 plays the effect, 0 bypasses it, as the
// Main Bypass port does; either of them bypasses.
inline constexpr std::uint32_t kEnabled = kNumParams + 5;
inline constexpr std::uint32_t kNumPorts = kNumParams + 6;

enum class ControlKind { Continuous, Toggle, Choice };

// On/off switches are toggles; every other stepped parameter (modes, types, waves, note
// values, ranges) is a choice among its steps.
inline ControlKind controlKind(int param) {
    const ParameterInfo& info = kParameterTable[param];
    if (info.steps == 0) return ControlKind::Continuous;
    return info.words == parameterwords::kOffOn ? ControlKind::Toggle : ControlKind::Choice;
}

// The value a port holds for a parameter value: its reading in the parameter's units (0 or
// 1 for a switch, the step index for a choice). rangeMs is the delay line's range, which a
// delay time's reading in milliseconds depends on.
inline float portValue(int param, float value, float rangeMs = 5000.0f) {
    return toUnits(param, value, rangeMs);
}

// The parameter value a port's reading stands for.
inline float parameterValue(int param, float port, float rangeMs = 5000.0f) {
    return fromUnits(param, port, rangeMs);
}

// The range parameter of the line whose delay time is param (kDlyLTime or kDlyRTime).
constexpr ParameterId rangeOfTime(int param) {
    return param == kDlyLTime ? kDlyLRange : kDlyRRange;
}

// The port value of a parameter among a whole set of values (valueOf(index) gives each), in
// which a delay time is read in its line's range.
template <class ValueOf>
float portValueOf(int param, ValueOf valueOf) {
    float rangeMs = kDelayRangeMs[2];
    if (param == kDlyLTime || param == kDlyRTime)
        rangeMs = delayRangeMsOf(static_cast<float>(valueOf(rangeOfTime(param))));
    return portValue(param, static_cast<float>(valueOf(param)), rangeMs);
}

// The URI of factory program 0..60's preset: the prefix and two digits.
inline std::string presetUri(int program) {
    const auto tens = static_cast<char>('0' + program / 10 % 10);
    const auto units = static_cast<char>('0' + program % 10);
    const char digits[2] = {tens, units};
    return std::string(kPresetUriPrefix).append(digits, 2);
}

// The port symbol of a parameter: its name in lower case, blanks as underscores
// ("DlyL FbPan" is "dlyl_fbpan").
inline std::string symbolOf(int param) {
    std::string symbol;
    for (const char* c = kParameterTable[param].name; *c != '\0'; ++c) {
        if (*c >= 'A' && *c <= 'Z')
            symbol += static_cast<char>(*c - 'A' + 'a');
        else if ((*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9'))
            symbol += *c;
        else
            symbol += '_';
    }
    return symbol;
}

} // namespace lv2ports
