// SPDX-License-Identifier: GPL-3.0-or-later
#include "lv2/HostTime.h"

#include <cmath>
#include <lv2/atom/util.h>
#include <lv2/time/time.h>

namespace {

// The number an atom holds, if it is one of the four number types.
bool numberOf(const LV2_Atom* atom, const TimeUrids& u, double& out) noexcept {
    if (atom == nullptr) return false;
    double v = 0.0;
    if (atom->type == u.atomFloat && atom->size >= sizeof(float))
        v = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
    else if (atom->type == u.atomDouble && atom->size >= sizeof(double))
        v = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
    else if (atom->type == u.atomInt && atom->size >= sizeof(std::int32_t))
        v = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
    else if (atom->type == u.atomLong && atom->size >= sizeof(std::int64_t))
        v = static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    else
        return false;
    if (!std::isfinite(v)) return false;
    out = v;
    return true;
}

} // namespace

void TimeUrids::map(const LV2_URID_Map& m) {
    auto id = [&m](const char* uri) { return m.map(m.handle, uri); };
    atomFloat = id(LV2_ATOM__Float);
    atomDouble = id(LV2_ATOM__Double);
    atomInt = id(LV2_ATOM__Int);
    atomLong = id(LV2_ATOM__Long);
    position = id(LV2_TIME__Position);
    bar = id(LV2_TIME__bar);
    barBeat = id(LV2_TIME__barBeat);
    beat = id(LV2_TIME__beat);
    beatUnit = id(LV2_TIME__beatUnit);
    beatsPerBar = id(LV2_TIME__beatsPerBar);
    beatsPerMinute = id(LV2_TIME__beatsPerMinute);
    speed = id(LV2_TIME__speed);
    frame = id(LV2_TIME__frame);
}

void HostTime::take(const LV2_Atom_Object* position, const TimeUrids& u) noexcept {
    const LV2_Atom* bar = nullptr;
    const LV2_Atom* barBeat = nullptr;
    const LV2_Atom* beat = nullptr;
    const LV2_Atom* unit = nullptr;
    const LV2_Atom* perBar = nullptr;
    const LV2_Atom* bpm = nullptr;
    const LV2_Atom* rolling = nullptr;
    const LV2_Atom* at = nullptr;
    lv2_atom_object_get(position, u.bar, &bar, u.barBeat, &barBeat, u.beat, &beat, u.beatUnit,
                        &unit, u.beatsPerBar, &perBar, u.beatsPerMinute, &bpm, u.speed, &rolling,
                        u.frame, &at, 0);
    double v = 0.0;
    if (numberOf(unit, u, v) && v >= 1.0 && v <= 256.0) beatUnit = v;
    if (numberOf(perBar, u, v) && v > 0.0 && v <= 1024.0) beatsPerBar = v;
    if (numberOf(bpm, u, v) && v > 0.0) {
        beatsPerMinute = v;
        tempoKnown = true;
    }
    if (numberOf(rolling, u, v)) speed = v;
    if (numberOf(at, u, v)) frame = v;
    double barIndex = 0.0;
    if (numberOf(bar, u, barIndex) && numberOf(barBeat, u, v)) {
        beats = barIndex * beatsPerBar + v;
        positionKnown = true;
    } else if (numberOf(beat, u, v)) {
        beats = v;
        positionKnown = true;
    }
}

void HostTime::advance(std::uint32_t frames) noexcept {
    frame += static_cast<double>(frames) * speed;
    if (sampleRate > 0.0)
        beats += static_cast<double>(frames) * speed * beatsPerMinute / (60.0 * sampleRate);
}

const VstTimeInfo* HostTime::info() noexcept {
    if (!tempoKnown) return nullptr;
    // The effect counts in quarter notes: a beat of another unit is 4 / unit quarters.
    const double quartersPerBeat = 4.0 / beatUnit;
    answer = VstTimeInfo{};
    answer.samplePos = frame;
    answer.sampleRate = sampleRate;
    answer.tempo = beatsPerMinute * quartersPerBeat;
    // The effect treats a position that is not a number as none.
    answer.ppqPos = positionKnown ? beats * quartersPerBeat : std::nan("");
    answer.timeSigNumerator = static_cast<VstInt32>(beatsPerBar);
    answer.timeSigDenominator = static_cast<VstInt32>(beatUnit);
    answer.flags = kVstTempoValid | kVstTimeSigValid;
    if (positionKnown) answer.flags |= kVstPpqPosValid;
    if (speed != 0.0) answer.flags |= kVstTransportPlaying;
    return &answer;
}
