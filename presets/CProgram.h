// SPDX-License-Identifier: GPL-3.0-or-later
// One program of the bank: a name of at most 24 characters and the 48 sound parameter
// values, each kept in [0, 1].
#pragma once

#include "engine/Parameters.h"
#include "engine/Relaxed.h"

#include <cstdint>

constexpr int kProgramNameChars = 24;

class CProgram {
public:
    CProgram();
    virtual ~CProgram() = default;

    // Clears all 25 name bytes, then copies at most 24 characters.
    virtual void setName(const char* name);
    // Copies the name and its terminator into a buffer of at least 25 bytes.
    virtual void getName(char* out) const;
    // Stores the value clamped to [0, 1] (NaN as 0); other indices are ignored.
    virtual void setParameter(std::uint32_t index, float value);
    // The stored value, or -1 for an index outside 0..47.
    virtual float getParameter(std::uint32_t index) const;

    const char* name() const { return nameBytes; }

private:
    char nameBytes[kProgramNameChars + 1] = {};
    // Written by host automation on the audio thread while the user interface reads them.
    Relaxed<float> values[kNumParams];
};
