// Block processing: the prologue, the per-sample chain from input gain to output, and the
// epilogue. Runs under the engine lock; nothing here allocates or waits.
#include "engine/DenormalGuard.h"
#include "engine/Drell.h"

#include "engine/PerSample.h"

#include <cmath>

namespace {

constexpr double kMaxPosition = 1e7; // quarter notes: 58 days at 120 beats per minute

// Turns values too small to matter into exact zero, in double precision.
inline float flushDouble(double x) noexcept {
    return static_cast<float>((x + 1e-18) - 1e-18);
}

} // namespace

void Drell::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept {
    std::lock_guard lock(engineLock);
    DenormalGuard denormals;
    beginBlock(inputs, outputs);
    if (blockIn[0] == nullptr || blockOut[0] == nullptr || sampleFrames <= 0) return;

    for (VstInt32 i = 0; i < sampleFrames; ++i) {
        const Frame w = processSample(blockIn[0][i], blockIn[1][i]);
        if (blockOut[1] != nullptr) {
            blockOut[0][i] = w.l;
            blockOut[1][i] = w.r;
        } else {
            blockOut[0][i] = 0.5f * w.r + 0.5f * w.l; // one output carries both sides
        }
    }
    endBlock();
}

void Drell::beginBlock(float** inputs, float** outputs) noexcept {
    // Channels: a mono source feeds both sides; a missing right output gets the average.
    blockIn[0] = inputs != nullptr ? inputs[0] : nullptr;
    blockIn[1] = blockIn[0];
    if (inputs != nullptr && inputs[1] != nullptr && isInputConnected(1)) blockIn[1] = inputs[1];
    blockOut[0] = outputs != nullptr ? outputs[0] : nullptr;
    blockOut[1] = nullptr;
    if (outputs != nullptr && outputs[1] != nullptr && isOutputConnected(1))
        blockOut[1] = outputs[1];

    // The drive's running sums lose their accumulated rounding error.
    driveStage.rebuildSums();

    // A host tempo inside 30..400 beats per minute replaces the engine's.
    if (const VstTimeInfo* info = getTimeInfo(kVstTempoValid)) {
        const double bpm = info->tempo; // NaN fails the range test
        if (bpm >= 30.0 && bpm <= 400.0 && static_cast<float>(bpm) != tempo)
            takeTempo(static_cast<float>(bpm));
    }

    // The host's position in quarter notes times the random wave's re-trigger; positions
    // beyond any real song (or not numbers at all) count as no position.
    const VstTimeInfo* position = getTimeInfo(kVstPpqPosValid);
    const bool positionValid = position != nullptr && std::fabs(position->ppqPos) < kMaxPosition;
    const float ppq = positionValid ? static_cast<float>(position->ppqPos) : 0.0f;
    modulation.prepareBlock(positionValid, ppq, lfoNumIdx, dspRateInt, tempo);

    // Targets written since the last block start their glide now.
    for (int i = 0; i < kNumSmoothed; ++i) blockTarget[i] = smoothTarget[i];

    const float nyquist = dspRate / 2.0f;
    if (smoothed[sCutoff] > nyquist) smoothed[sCutoff] = nyquist;

    // Envelope and smoothing coefficients hold for the block.
    modSettings.envPole = envPole;
    modSettings.envGain = envGain;
    modSettings.envSens = envSens;
    modSettings.avgLen = avgLen;
    modSettings.smoothPole = smoothPole;
    modSettings.smoothGain = smoothGain;
}

TESSEL_PER_SAMPLE Drell::Frame Drell::processSample(float inL, float inR) noexcept {
    // Requests from setParameter reach the state this thread owns.
    applyRequests();
    // Alternating guards keep recursive states out of the denormal range.
    guard8 = -guard8;
    guard10 = -guard10;
    // Every smoothed pair glides towards its target.
    smoothParameters();
    // Input gain.
    float x[2] = {smoothed[sInGain] * inL, smoothed[sInGain] * inR};
    // Input meter, delayed by the host's output latency.
    meterInput(x[0], x[1]);
    // Filter coefficients, and the filter before the delay in "in" mode.
    const bool filterOn = fltOn != 0;
    const int filterMode = fltMode;
    if (filterOn) {
        svf.updateCoefficients(smoothed[sCutoff], smoothed[sResonance], modulation.fltFactor,
                               dspRate, cutoffCeiling);
        if (filterMode == 0) svf.process(x, fltType);
    }
    // Dry tap, after the "in" filter.
    const float d[2] = {x[0], x[1]};
    // Anti-alias low-pass for the clocked memory.
    const bool clocked = vcoOn != 0;
    float a[2] = {x[0], x[1]};
    if (clocked) antiAlias.process(a);
    // Feedback, split between the lines by each line's pan.
    crossPanFeedback(a);
    // Drive: magnitudes feed its running mean; gain applied when on.
    const float magnitude[2] = {std::fabs(a[0]), std::fabs(a[1])};
    driveStage.process(a, smoothed[sDrive], drvOn != 0);
    // Modulation: envelope followers, LFO, clock and cutoff factors.
    modSettings.lfoWave = lfoWave;
    modSettings.lfoInc = lfoInc;
    modSettings.modSource = smoothed[sModSource];
    modSettings.fltModDepth = smoothed[sFltModDepth];
    modSettings.vcoMod = smoothed[sVcoMod];
    modulation.process(magnitude, modOn != 0, modSettings);
    lastA[0] = a[0];
    lastA[1] = a[1];
    // History the clocked writer interpolates.
    for (int s = 0; s < 2; ++s) dlyLine[s].pushInput(a[s]);
    // Delay lines, plain or clocked by the VCO.
    float y[2];
    if (!clocked) {
        for (int s = 0; s < 2; ++s) y[s] = dlyLine[s].processPlain(a[s]);
    } else {
        const float manual = std::exp2((1.0f - smoothed[sVcoMod]) * vcoManual);
        for (int s = 0; s < 2; ++s)
            y[s] = dlyLine[s].processClocked(manual * modulation.vcoFactor[s]);
    }
    // Delay-time fade: out, jump the read position, back in.
    for (int s = 0; s < 2; ++s) y[s] = fadeDelayTime(s, y[s]);
    // Feedback and wet signal, through the filter in "fb" and "fx" modes, with polarity.
    float w[2];
    if (filterOn && filterMode != 0) {
        float z[2] = {y[0], y[1]};
        svf.process(z, fltType);
        const float* fed = filterMode == 1 ? z : y;
        for (int s = 0; s < 2; ++s) {
            fbSignal[s] = fed[s] * fbSign[s];
            w[s] = z[s] * dlySign[s];
        }
    } else {
        for (int s = 0; s < 2; ++s) {
            fbSignal[s] = y[s] * fbSign[s];
            w[s] = y[s] * dlySign[s];
        }
    }
    // Hard limit of the loop to +-1 while the drive does not limit it.
    if (drvOn == 0) {
        for (float& f : fbSignal)
            if (std::fabs(f) > 1.0f) f /= std::fabs(f);
    }
    // Mix; with the reverb on the output the dry signal joins before it.
    const float wet = smoothed[sMix];
    const float dry = 1.0f - wet;
    const bool reverbOnOutput = rvbMode == 1;
    w[0] *= wet;
    w[1] *= wet;
    if (reverbOnOutput) {
        w[0] += dry * d[0];
        w[1] += dry * d[1];
    }
    // Reverb.
    if (rvbOn != 0) {
        w[0] = guard8 + w[0];
        w[1] = guard8 + w[1];
        reverb.process(w, rvbAmt);
    }
    // With the reverb on the delay signal only, the dry signal joins after it.
    if (!reverbOnOutput) {
        w[0] += dry * d[0];
        w[1] += dry * d[1];
    }
    // Output gain.
    w[0] *= smoothed[sOutGain];
    w[1] *= smoothed[sOutGain];
    // Bypass: the raw input of this sample.
    if (bypass != 0) return {inL, inR};
    return {w[0], w[1]};
}

TESSEL_PER_SAMPLE void Drell::applyRequests() noexcept {
    for (int s = 0; s < 2; ++s)
        if (dlyTimeRequest[s].load() && dlyTimeRequest[s].exchange(false)) dlyTimePending[s] = true;
    if (lfoRestartRequest.load() && lfoRestartRequest.exchange(false))
        modulation.restartLfo(lfoOffset);
    if (lfoPlaceRequest.load() && lfoPlaceRequest.exchange(false)) modulation.placeSides(lfoOffset);
}

TESSEL_PER_SAMPLE void Drell::smoothParameters() noexcept {
    // A 30 Hz one-pole per pair: current = pole * current + gain * target + guard.
    for (int i = 0; i < kSmoothedLanes; ++i)
        smoothed[i] = smoothPole * smoothed[i] + smoothGain * blockTarget[i] + guard10;
}

TESSEL_PER_SAMPLE void Drell::meterInput(float xL, float xR) noexcept {
    const auto pos = static_cast<std::size_t>(meterPos);
    meterRing[0][pos] = xL;
    meterRing[1][pos] = xR;
    if (++meterPos == meterLen) meterPos = 0;
    // The value written meterLen samples ago moves the extremes.
    for (int s = 0; s < 2; ++s) {
        const float v = meterRing[s][static_cast<std::size_t>(meterPos)];
        if (v > meterMax[s])
            meterMax[s] = v;
        else if (v < meterMin[s])
            meterMin[s] = v;
    }
}

TESSEL_PER_SAMPLE void Drell::crossPanFeedback(float a[2]) noexcept {
    const float fL = flushDouble(static_cast<double>(fbSignal[0]) * smoothed[sFbGainL]);
    const float fR = flushDouble(static_cast<double>(fbSignal[1]) * smoothed[sFbGainR]);
    // Each pan sends its line's share to the right; the rest of the sum goes left.
    const float toRight = fL * smoothed[sFbPanL] + fR * smoothed[sFbPanR];
    a[1] = a[1] + toRight;
    a[0] = a[0] + ((fR + fL) - toRight);
}

TESSEL_PER_SAMPLE float Drell::fadeDelayTime(int side, float y) noexcept {
    float& gain = fadeGain[side];
    if (dlyTimePending[side]) {
        gain *= fadeStep;
        if (gain <= 0.001f) {
            // Silent enough: the read position jumps to the new time.
            dlyTimePending[side] = false;
            DelayLine& line = dlyLine[side];
            line.placeRead(line.offsetFor(dlyTimeMs[side], dspRate));
        }
    } else if (gain < 1.0f) {
        gain /= fadeStep;
        if (gain > 1.0f) gain = 1.0f;
    }
    return y * gain;
}

void Drell::endBlock() noexcept {
    // With the VCO off the anti-alias filter waits settled on the last input.
    if (vcoOn == 0) antiAlias.preset(lastA);
}

void Drell::readInputPeaks(float* peakL, float* peakR) {
    float* peaks[2] = {peakL, peakR};
    for (int s = 0; s < 2; ++s) {
        const float low = -meterMin[s];
        const float high = meterMax[s];
        if (peaks[s] != nullptr) *peaks[s] = low > high ? low : high;
        meterMin[s] = 0.0f;
        meterMax[s] = 0.0f;
    }
}
