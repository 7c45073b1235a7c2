// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/CProgram.h"

#include <cstring>

namespace {

// Values of a new program, before the factory bank overwrites them.
constexpr float kInitValues[kNumParams] = {
    0.5f,  0.5f,  0.5f,                   // main in, out, mix
    0.0f,  0.0f,  0.0f, 1.0f,             // feedback levels and pans
    0.0f,  0.0f,  0.0f,                   // feedback polarity, LFO wave
    0.5f,  0.5f,  1.0f, 0.5f,             // LFO rate, offset, source, filter modulation
    0.0f,  1.0f,  0.0f,                   // filter type, cutoff, resonance
    0.5f,  0.5f,                          // VCO manual and modulation
    0.0f,  0.0f,  0.0f, 0.0f, 0.0f,       // delay polarity, drive, envelope speed, filter mode
    0.0f,  0.0f,  0.0f, 0.0f, 0.0f, 0.0f, // delay modes, numerators, denominators
    0.67f, 0.67f,                         // delay ranges
    0.0f,  0.0f,  0.0f,                   // LFO mode, numerator, denominator
    0.4f,  0.4f,                          // delay times
    0.0f,  0.0f,  0.0f, 0.5f,             // reverb mode, type, damping, amount
    0.0f,  0.0f,  0.0f, 0.0f,             // bypass, filter, drive, modulation
    1.0f,  0.0f,  0.5f,                   // VCO on, reverb on, envelope sensitivity
};

} // namespace

CProgram::CProgram() {
    setName("init");
    for (int i = 0; i < kNumParams; ++i) values[i] = kInitValues[i];
}

void CProgram::setName(const char* name) {
    std::memset(nameBytes, 0, sizeof nameBytes);
    if (name == nullptr) return;
    std::size_t n = 0;
    while (n < kProgramNameChars && name[n] != '\0') ++n;
    std::memcpy(nameBytes, name, n);
}

void CProgram::getName(char* out) const {
    if (out != nullptr) std::memcpy(out, nameBytes, sizeof nameBytes);
}

void CProgram::setParameter(std::uint32_t index, float value) {
    if (index < kNumParams) values[index] = sanitizeValue(value);
}

float CProgram::getParameter(std::uint32_t index) const {
    return index < kNumParams ? values[index].load() : -1.0f;
}
