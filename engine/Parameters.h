// SPDX-License-Identifier: GPL-3.0-or-later
// The effect's 48 sound parameters: identifiers, and one constant table of names, labels,
// steps, construction values (the sound of the first factory program, "*Init", which a new
// instance shows), choice words and display forms that the host's names, labels,
// properties and value texts, the engine's mapping and the editor's display all read.
#pragma once

#include <cmath>
#include <cstdint>

enum ParameterId : std::int32_t {
    kMainIn,
    kMainOut,
    kMainMix,
    kDlyLFb,
    kDlyRFb,
    kDlyLFbPan,
    kDlyRFbPan,
    kDlyLFbInv,
    kDlyRFbInv,
    kModLfoWave,
    kModLfoRate,
    kModLfoOffset,
    kModSource,
    kFltMod,
    kFltType,
    kFltCutoff,
    kFltRes,
    kVcoManual,
    kVcoMod,
    kDlyLDlyInv,
    kDlyRDlyInv,
    kDrvGain,
    kModEnvSpeed,
    kFltMode,
    kDlyLMode,
    kDlyRMode,
    kDlyLNum,
    kDlyRNum,
    kDlyLDen,
    kDlyRDen,
    kDlyLRange,
    kDlyRRange,
    kModLfoMode,
    kModLfoNum,
    kModLfoDen,
    kDlyLTime,
    kDlyRTime,
    kRvbMode,
    kRvbType,
    kRvbDamp,
    kRvbAmt,
    kMainBypass,
    kFltOn,
    kDrvOn,
    kModOn,
    kVcoOn,
    kRvbOn,
    kModSens,
    kNumParams
};

// Host indices 48..95 carry the controller assignment of sound parameter index - 48.
constexpr std::int32_t kNumHostParams = 2 * kNumParams;

// How a parameter describes its steps to the host.
enum class StepKind : std::uint8_t {
    Continuous,   // no properties
    Switch,       // two states, reported as an integer switch
    Choice,       // n choices, reported as 1..n
    Milliseconds, // float steps of one and ten milliseconds (envelope speed)
    DelayTime,    // float steps of 0.0001 and 0.1 of the range
};

// How the editor's four-digit display shows a parameter: what it writes besides the digits.
enum class DisplayForm : std::uint8_t {
    None,      // no number of its own; sign and kind are left alone
    Signed,    // a number with a sign
    Unsigned,  // a number without a sign
    Split,     // two percentages that add up to 100, in kind 1..3; no sign
    Bare,      // a number; the sign is left alone
    NoteValue, // numerator and denominator of a note value; sign and kind are left alone
};

struct ParameterInfo {
    const char* name;
    const char* label;
    int steps; // 0 for continuous
    float constructionValue;
    StepKind kind;
    DisplayForm display;
    const char* const* words; // the value text of each step, or null when it is a number
};

// The index 0..n-1 of v among n equal steps.
inline int step(float v, int n) noexcept {
    int i = static_cast<int>(std::floor(static_cast<float>(n) * v));
    return i < 0 ? 0 : (i > n - 1 ? n - 1 : i);
}

// The normalised value that stands for step i of n.
constexpr float centre(int i, int n) {
    return (static_cast<float>(i) + 0.5f) / static_cast<float>(n);
}

namespace parameterwords {
inline constexpr const char* kOffOn[] = {"off", "on"};
inline constexpr const char* kWaves[] = {"sin", "sqr", "tri", "saw", "rnd"};
inline constexpr const char* kFilterTypes[] = {"LPF", "BPF", "HPF"};
inline constexpr const char* kFilterModes[] = {"in", "fb", "fx"};
inline constexpr const char* kDelayModes[] = {"time", "note"};
inline constexpr const char* kLfoModes[] = {"freq", "note"};
inline constexpr const char* kReverbModes[] = {"fx", "out"};
inline constexpr const char* kReverbTypes[] = {"spring", "plate"};
} // namespace parameterwords

namespace parametertable {
using namespace parameterwords;
inline constexpr StepKind C = StepKind::Continuous;
inline constexpr StepKind S = StepKind::Switch;
inline constexpr StepKind N = StepKind::Choice;

inline constexpr ParameterInfo kTable[kNumParams] = {
    {"Main In", "dB", 0, 0.5f, C, DisplayForm::Signed, nullptr},
    {"Main Out", "dB", 0, 0.5f, C, DisplayForm::Signed, nullptr},
    {"Main Mix", "%", 0, 0.5f, C, DisplayForm::Split, nullptr},
    {"DlyL Fb", "dB", 0, 0.0f, C, DisplayForm::Signed, nullptr},
    {"DlyR Fb", "dB", 0, 0.0f, C, DisplayForm::Signed, nullptr},
    {"DlyL FbPan", "%", 0, 0.0f, C, DisplayForm::Split, nullptr},
    {"DlyR FbPan", "%", 0, 1.0f, C, DisplayForm::Split, nullptr},
    {"DlyL FbInv", "", 2, 0.0f, S, DisplayForm::None, kOffOn},
    {"DlyR FbInv", "", 2, 0.0f, S, DisplayForm::None, kOffOn},
    {"Mod LfoWave", "", 5, 0.0f, N, DisplayForm::None, kWaves},
    {"Mod LfoRate", "Hz", 0, 0.5f, C, DisplayForm::Unsigned, nullptr},
    {"Mod LfoOffset", "deg", 0, 0.5f, C, DisplayForm::Signed, nullptr},
    {"Mod Source", "%", 0, 1.0f, C, DisplayForm::Split, nullptr},
    {"Flt Mod", "%", 0, 0.5f, C, DisplayForm::Signed, nullptr},
    {"Flt Type", "", 3, 0.0f, N, DisplayForm::None, kFilterTypes},
    {"Flt Cutoff", "Hz", 0, 1.0f, C, DisplayForm::Unsigned, nullptr},
    {"Flt Res", "", 0, 0.0f, C, DisplayForm::Bare, nullptr},
    {"Vco Manual", "x", 0, 0.5f, C, DisplayForm::Unsigned, nullptr},
    {"Vco Mod", "%", 0, 0.5f, C, DisplayForm::Signed, nullptr},
    {"DlyL DlyInv", "", 2, 0.0f, S, DisplayForm::None, kOffOn},
    {"DlyR DlyInv", "", 2, 0.0f, S, DisplayForm::None, kOffOn},
    {"Drv Gain", "dB", 0, 0.0f, C, DisplayForm::Signed, nullptr},
    {"Mod EnvSpeed", "ms", 0, 0.0f, StepKind::Milliseconds, DisplayForm::Unsigned, nullptr},
    {"Flt Mode", "", 3, 0.0f, N, DisplayForm::None, kFilterModes},
    {"DlyL Mode", "", 2, 0.0f, S, DisplayForm::None, kDelayModes},
    {"DlyR Mode", "", 2, 0.0f, S, DisplayForm::None, kDelayModes},
    {"DlyL Num", "", 5, 0.0f, N, DisplayForm::NoteValue, nullptr},
    {"DlyR Num", "", 5, 0.0f, N, DisplayForm::NoteValue, nullptr},
    {"DlyL Den", "", 13, 0.0f, N, DisplayForm::NoteValue, nullptr},
    {"DlyR Den", "", 13, 0.0f, N, DisplayForm::NoteValue, nullptr},
    {"DlyL Range", "ms", 3, centre(2, 3), N, DisplayForm::None, nullptr},
    {"DlyR Range", "ms", 3, centre(2, 3), N, DisplayForm::None, nullptr},
    {"Mod LfoMode", "", 2, 0.0f, S, DisplayForm::None, kLfoModes},
    {"Mod LfoNum", "", 5, 0.0f, N, DisplayForm::NoteValue, nullptr},
    {"Mod LfoDen", "", 13, 0.0f, N, DisplayForm::NoteValue, nullptr},
    {"DlyL Time", "ms", 0, 0.4f, StepKind::DelayTime, DisplayForm::Unsigned, nullptr},
    {"DlyR Time", "ms", 0, 0.4f, StepKind::DelayTime, DisplayForm::Unsigned, nullptr},
    {"Rvb Mode", "", 2, 0.0f, S, DisplayForm::None, kReverbModes},
    {"Rvb Type", "", 2, 0.0f, S, DisplayForm::None, kReverbTypes},
    {"Rvb Damp", "%", 0, 0.0f, C, DisplayForm::Unsigned, nullptr},
    {"Rvb Amt", "%", 0, 0.5f, C, DisplayForm::Unsigned, nullptr},
    {"Main Bypass", "", 2, 0.0f, S, DisplayForm::None, kOffOn},
    {"Flt On", "", 2, 0.0f, S, DisplayForm::None, kOffOn},
    {"Drv On", "", 2, 0.0f, S, DisplayForm::None, kOffOn},
    {"Mod On", "", 2, 0.0f, S, DisplayForm::None, kOffOn},
    {"Vco On", "", 2, 1.0f, S, DisplayForm::None, kOffOn},
    {"Rvb On", "", 2, 0.0f, S, DisplayForm::None, kOffOn},
    {"Mod Sens", "%", 0, 0.5f, C, DisplayForm::Bare, nullptr},
};
} // namespace parametertable

inline constexpr const ParameterInfo (&kParameterTable)[kNumParams] = parametertable::kTable;

constexpr bool isSoundParameter(std::int32_t index) {
    return index >= 0 && index < kNumParams;
}

// The step index of a stepped parameter's value, among the parameter's own steps.
inline int stepOf(ParameterId id, float v) noexcept {
    return step(v, kParameterTable[id].steps);
}

// A value from outside as the engine accepts it: NaN counts as 0, the rest is clamped to
// [0, 1], so no step index can leave its table.
inline float sanitizeValue(float v) noexcept {
    if (!(v >= 0.0f)) return 0.0f; // NaN and negatives
    return v > 1.0f ? 1.0f : v;
}
