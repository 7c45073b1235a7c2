// SPDX-License-Identifier: GPL-3.0-or-later
// From a sound parameter's normalised value to the engine's working values, the
// tempo-synchronised delay times and LFO rate, and the engine's own tempo.
#include "engine/Drell.h"
#include "engine/DrellEditorEvents.h"
#include "engine/TempoSync.h"

#include <cmath>
#include <numbers>

namespace {

using temposync::kMaxDelayMs;
using temposync::kMaxLfoHz;
using temposync::kMinLfoHz;

float gainOf(float v) noexcept {
    return 4.0f * v * v;
}
float bipolar(float v) noexcept {
    return (v - 0.5f) * 2.0f;
}
// A polarity switch: its second step inverts.
float signOf(ParameterId id, float v) noexcept {
    return stepOf(id, v) == 1 ? -1.0f : 1.0f;
}

} // namespace

void Drell::applyParameter(VstInt32 index, float v) {
    // Delay time and the mode and range side effects manage their stored values themselves.
    if (index != kDlyLTime && index != kDlyRTime) params[index] = v;

    switch (index) {
    case kMainIn:
        smoothTarget[sInGain] = gainOf(v);
        break;
    case kMainOut:
        smoothTarget[sOutGain] = gainOf(v);
        break;
    case kMainMix:
        smoothTarget[sMix] = v;
        break;
    case kDlyLFb:
        smoothTarget[sFbGainL] = v;
        break;
    case kDlyRFb:
        smoothTarget[sFbGainR] = v;
        break;
    case kDlyLFbPan:
        smoothTarget[sFbPanL] = v;
        break;
    case kDlyRFbPan:
        smoothTarget[sFbPanR] = v;
        break;
    case kModSource:
        smoothTarget[sModSource] = v;
        break;
    case kFltMod:
        smoothTarget[sFltModDepth] = bipolar(v);
        break;
    case kFltCutoff:
        smoothTarget[sCutoff] = cutoffFor(v);
        break;
    case kFltRes:
        smoothTarget[sResonance] = v > 0.05f ? v : 0.05f;
        break;
    case kVcoMod:
        smoothTarget[sVcoMod] = bipolar(v);
        break;
    case kDrvGain:
        smoothTarget[sDrive] = std::exp2(4.0f * v);
        break;

    case kDlyLFbInv:
        fbSign[0] = signOf(kDlyLFbInv, v);
        break;
    case kDlyRFbInv:
        fbSign[1] = signOf(kDlyRFbInv, v);
        break;
    case kDlyLDlyInv:
        dlySign[0] = signOf(kDlyLDlyInv, v);
        break;
    case kDlyRDlyInv:
        dlySign[1] = signOf(kDlyRDlyInv, v);
        break;
    case kFltType:
        fltType = stepOf(kFltType, v);
        break;
    case kFltMode:
        fltMode = stepOf(kFltMode, v);
        break;
    case kVcoManual:
        vcoManual = bipolar(v);
        break;
    case kRvbMode:
        rvbMode = stepOf(kRvbMode, v);
        break;
    case kRvbAmt:
        rvbAmt = v;
        break;
    case kMainBypass:
        bypass = stepOf(kMainBypass, v);
        break;
    case kFltOn:
        fltOn = stepOf(kFltOn, v);
        break;
    case kDrvOn:
        drvOn = stepOf(kDrvOn, v);
        break;
    case kModOn:
        modOn = stepOf(kModOn, v);
        break;
    case kVcoOn:
        vcoOn = stepOf(kVcoOn, v);
        break;
    case kRvbOn:
        rvbOn = stepOf(kRvbOn, v);
        break;

    case kModLfoWave:
        lfoWave = stepOf(kModLfoWave, v);
        lfoRestartRequest = true;
        break;
    case kModLfoRate:
        // In note mode the tempo sets the rate; this one waits for the switch back.
        if (lfoMode == 0) setLfoRate(v);
        break;
    case kModLfoOffset:
        lfoOffset = (v - 0.5f) * std::numbers::pi_v<float>;
        lfoPlaceRequest = true;
        break;
    case kModEnvSpeed:
        setEnvelopeSpeed(v);
        break;
    case kModSens:
        envSens = std::exp2(4.0f * v);
        break;
    case kModLfoMode:
        lfoMode = stepOf(kModLfoMode, v);
        if (lfoMode == 1)
            recomputeSync(kSyncLfo);
        else
            setLfoRate(params[kModLfoRate]); // back to the rate the knob sets
        break;
    case kModLfoNum:
        lfoNumIdx = stepOf(kModLfoNum, v);
        recomputeSync(kSyncLfo);
        break;
    case kModLfoDen:
        lfoDenIdx = stepOf(kModLfoDen, v);
        recomputeSync(kSyncLfo);
        break;

    case kDlyLMode:
        setDelayMode(0, v);
        break;
    case kDlyRMode:
        setDelayMode(1, v);
        break;
    case kDlyLNum:
        dlyNumIdx[0] = stepOf(kDlyLNum, v);
        recomputeSync(kSyncLeft);
        break;
    case kDlyRNum:
        dlyNumIdx[1] = stepOf(kDlyRNum, v);
        recomputeSync(kSyncRight);
        break;
    case kDlyLDen:
        dlyDenIdx[0] = stepOf(kDlyLDen, v);
        recomputeSync(kSyncLeft);
        break;
    case kDlyRDen:
        dlyDenIdx[1] = stepOf(kDlyRDen, v);
        recomputeSync(kSyncRight);
        break;
    case kDlyLRange:
        setDelayRange(0, v);
        break;
    case kDlyRRange:
        setDelayRange(1, v);
        break;
    case kDlyLTime:
        setDelayTime(0, v);
        break;
    case kDlyRTime:
        setDelayTime(1, v);
        break;

    case kRvbType:
        setReverbType(v);
        break;
    case kRvbDamp:
        rvbDamp = v;
        reverb.setDamp(v, rvbType);
        break;
    default:
        break;
    }
}

float Drell::cutoffFor(float v) const noexcept {
    float hz = 64.0f * std::exp2(8.0f * v) - 14.0f;
    if (hz > 16000.0f) hz = 16000.0f;
    const float nyquist = dspRate / 2.0f;
    return hz > nyquist ? nyquist : hz;
}

void Drell::setLfoRate(float v) {
    float hz = temposync::lfoHzOf(v);
    if (hz < kMinLfoHz) hz = kMinLfoHz;
    lfoRateHz = hz;
    lfoInc = Modulation::phaseIncrement(hz, dspRate);
}

void Drell::setEnvelopeSpeed(float v) {
    envMs = 100.0f + 900.0f * v;
    const float pole = std::exp(-2.0f * std::numbers::pi_v<float> * 1000.0f / (envMs * dspRate));
    envPole = pole;
    envGain = (1.0f - pole) / static_cast<float>(avgLen.load());
}

void Drell::setDelayMode(int side, float v) {
    const int mode = stepOf(side == 0 ? kDlyLMode : kDlyRMode, v);
    const int previous = dlyMode[side].exchange(mode);
    if (mode == previous) return; // only a switch moves range and time
    if (mode == 0) {
        // Keep the running time and fit the range to it; no fade.
        const float ms = dlyTimeMs[side];
        const int range = ms > kRangeMs[1] ? 2 : (ms > kRangeMs[0] ? 1 : 0);
        const ParameterId rangeId = side == 0 ? kDlyLRange : kDlyRRange;
        dlyRangeMs[side] = kRangeMs[range];
        dlyTimeFrac[side] = ms / kRangeMs[range];
        params[rangeId] = centre(range, kParameterTable[rangeId].steps);
        params[side == 0 ? kDlyLTime : kDlyRTime] = dlyTimeFrac[side].load();
    } else {
        recomputeSync(side == 0 ? kSyncLeft : kSyncRight);
    }
}

void Drell::setDelayRange(int side, float v) {
    const float old = dlyRangeMs[side];
    const int range = stepOf(side == 0 ? kDlyLRange : kDlyRRange, v);
    dlyRangeMs[side] = kRangeMs[range];
    // Keeps the absolute time where it fits, else clamps it to the new longest time.
    float frac = dlyTimeFrac[side] * old / kRangeMs[range];
    if (frac > 1.0f) frac = 1.0f;
    dlyTimeFrac[side] = frac;
    params[side == 0 ? kDlyLTime : kDlyRTime] = frac;
    dlyTimeMs[side] = kRangeMs[range] * frac;
    dlyTimeRequest[side] = true;
    recomputeSync(side == 0 ? kSyncLeft : kSyncRight);
}

void Drell::setDelayTime(int side, float v) {
    if (dlyMode[side] != 0) return; // note mode: the tempo sets the time
    dlyTimeFrac[side] = v;
    params[side == 0 ? kDlyLTime : kDlyRTime] = v;
    dlyTimeMs[side] = v * dlyRangeMs[side];
    dlyTimeRequest[side] = true;
}

void Drell::setReverbType(float v) {
    // The taps the audio thread walks are rewritten only between blocks.
    std::lock_guard lock(engineLock);
    rvbType = stepOf(kRvbType, v);
    reverb.setType(rvbType, dspRate);
    reverb.setDamp(rvbDamp, rvbType);
}

void Drell::recomputeSync(int mask) {
    const float bpm = tempo;
    if ((mask & kSyncLfo) != 0 && lfoMode == 1) {
        float hz = temposync::noteLfoHz(lfoNumIdx, lfoDenIdx, bpm);
        if (hz < kMinLfoHz) hz = kMinLfoHz;
        if (hz > kMaxLfoHz) hz = kMaxLfoHz;
        lfoRateHz = hz;
        lfoInc = Modulation::phaseIncrement(hz, dspRate);
    }
    for (int side = 0; side < 2; ++side) {
        if ((mask & (side == 0 ? kSyncLeft : kSyncRight)) == 0 || dlyMode[side] != 1) continue;
        float ms = temposync::noteDelayMs(dlyNumIdx[side], dlyDenIdx[side], bpm);
        if (ms > kMaxDelayMs) ms = kMaxDelayMs;
        dlyTimeMs[side] = ms;
        dlyTimeRequest[side] = true; // even an unchanged time fades out and in again
    }
    if (DrellEditorEvents* events = editorListener()) events->onTempoChanged(bpm);
}

void Drell::takeTempo(float bpm) {
    tempo = bpm;
    tempoNorm = temposync::normOfTempo(bpm);
    recomputeSync(kSyncAll);
}

void Drell::setTempo(float norm) {
    if (!std::isfinite(norm)) return;
    norm = sanitizeValue(norm);
    tempoNorm = norm;
    tempo = temposync::tempoOfNorm(norm);
    recomputeSync(kSyncAll);
}

float Drell::getTempo() {
    return tempoNorm;
}

bool Drell::isSyncOutOfRange(int which) const {
    const float bpm = tempo;
    if (which == 1 || which == 2) {
        const int side = which - 1;
        return temposync::noteDelayMs(dlyNumIdx[side], dlyDenIdx[side], bpm) > kMaxDelayMs;
    }
    if (which == 4) {
        const float hz = temposync::noteLfoHz(lfoNumIdx, lfoDenIdx, bpm);
        return hz > kMaxLfoHz || hz < kMinLfoHz;
    }
    return false;
}
