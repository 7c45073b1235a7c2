// SPDX-License-Identifier: GPL-3.0-or-later
// The host's transport as the LV2 edition learns it from time position objects: the tempo in
// quarter notes per minute and the position in quarter notes, carried forward by the frames
// processed while the transport rolls. The effect reads it as a VST 2 host's time info, once
// per block, as it reads any host's.
#pragma once

#include "host/vst2.h"

#include <cstdint>
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

// The identifiers a time position object is read with.
struct TimeUrids {
    LV2_URID atomFloat = 0, atomDouble = 0, atomInt = 0, atomLong = 0;
    LV2_URID position = 0;
    LV2_URID bar = 0, barBeat = 0, beat = 0, beatUnit = 0, beatsPerBar = 0;
    LV2_URID beatsPerMinute = 0, speed = 0, frame = 0;

    void map(const LV2_URID_Map& map);
};

class HostTime {
public:
    void setSampleRate(double rate) noexcept { sampleRate = rate; }
    // Takes what a time position object says; what it leaves out keeps its last value.
    // Numbers that are not finite or make no sense (a tempo of 0) are ignored.
    void take(const LV2_Atom_Object* position, const TimeUrids& urids) noexcept;
    // Moves the position on by frames processed at the host's speed.
    void advance(std::uint32_t frames) noexcept;
    // The time info to answer the effect with, or null while the host has told no tempo.
    const VstTimeInfo* info() noexcept;

private:
    bool tempoKnown = false;
    bool positionKnown = false;
    double sampleRate = 44100.0;
    double beatsPerMinute = 120.0; // in the host's beat unit
    double beatUnit = 4.0;         // 4: beats are quarter notes, 8: eighths
    double beatsPerBar = 4.0;
    double beats = 0.0; // position in beats from the start
    double speed = 0.0; // 0 stopped, 1 rolling
    double frame = 0.0;
    VstTimeInfo answer{};
};
