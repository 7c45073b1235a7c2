// The effect's 48 sound parameters: identifiers, names, labels, steps and construction
// values, in one constant table that names, labels, properties and texts all read.
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

struct ParameterInfo {
    const char* name;
    const char* label;
    int steps; // 0 for continuous
    float constructionValue;
    StepKind kind;
};

extern const ParameterInfo kParameterTable[kNumParams];

constexpr bool isSoundParameter(std::int32_t index) {
    return index >= 0 && index < kNumParams;
}

// The index 0..n-1 of v among n equal steps.
inline int step(float v, int n) noexcept {
    int i = static_cast<int>(std::floor(static_cast<float>(n) * v));
    return i < 0 ? 0 : (i > n - 1 ? n - 1 : i);
}

// The normalised value that stands for step i of n.
constexpr float centre(int i, int n) {
    return (static_cast<float>(i) + 0.5f) / static_cast<float>(n);
}

// A value from outside as the engine accepts it: NaN counts as 0, the rest is clamped to
// [0, 1], so no step index can leave its table.
inline float sanitizeValue(float v) noexcept {
    if (!(v >= 0.0f)) return 0.0f; // NaN and negatives
    return v > 1.0f ? 1.0f : v;
}
