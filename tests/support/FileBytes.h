// SPDX-License-Identifier: GPL-3.0-or-later
// Builds bank, preset and MIDI settings files byte by byte, independently of the codecs, and
// snapshots what an effect holds, for tests of the file commands.
#pragma once

#include "presets/CPresetSystemEffect.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace filebytes {

inline void header(std::vector<std::uint8_t>& out, std::uint8_t type, bool reversed = false) {
    const char* magic = reversed ? "KT2W" : "W2TK";
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(magic[i]));
    out.push_back(type);
}

inline void u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void f32(std::vector<std::uint8_t>& out, float v) {
    u32(out, std::bit_cast<std::uint32_t>(v));
}

// 24 bytes: the name, zero-filled.
inline void name(std::vector<std::uint8_t>& out, const std::string& text) {
    for (std::size_t i = 0; i < 24; ++i)
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

} // namespace filebytes

// Everything the file commands may change: names, values, current program, controller map.
struct EffectSnapshot {
    std::vector<std::string> names;
    std::vector<float> values;
    int currentProgram = 0;
    std::vector<int> controllers;

    explicit EffectSnapshot(CPresetSystemEffect& effect) {
        for (int i = 0; i < kNumPrograms; ++i) {
            const CProgram* program = effect.getProgramAt(i);
            names.emplace_back(program->name());
            for (std::uint32_t j = 0; j < kNumParams; ++j)
                values.push_back(program->getParameter(j));
        }
        currentProgram = effect.getCurrentProgramIndex();
        for (int p = 0; p < kNumParams; ++p)
            controllers.push_back(effect.getControllerOfParameter(p));
    }
    bool operator==(const EffectSnapshot&) const = default;
};
