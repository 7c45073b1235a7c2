// SPDX-License-Identifier: GPL-3.0-or-later
// The common shapes of the chain, block-wise. With the smoothers settled, no delay-time fade,
// and the filter, drive, modulation and reverb off, a sample depends on the samples before it
// only through the delay lines: the feedback reaches the next sample, but what it feeds comes
// out of the memory a whole delay later. A stretch of the block no longer than the shorter
// delay therefore reads only what earlier stretches wrote, and each stage can run as a loop
// of its own over the stretch, four samples per vector step where the stage has no
// recursion of its own. Every sample gets the chain's arithmetic in the chain's order (the
// settled smoothers' values alternate with the guard, so each step takes the even and odd
// samples' values), so the output keeps every bit of the per-sample chain's.
//
// The clock may also follow the LFO block-wise where the modulation source is the LFO alone:
// the LFO's samples of a stretch are made before its clock runs, and the envelopes, whose
// share of the clock is the source's settled value (about 1e-10) times theirs, follow after
// the stretch; that share is the only difference from the per-sample chain.
#include "engine/ChainBlock.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Longest stretch at once (the length of the stack arrays) and shortest one worth running
// block-wise: delays shorter than that run the per-sample chain.
constexpr int kStretch = 128;
constexpr int kShortestStretch = 8;

using Quad = float __attribute__((vector_size(16)));
using DoubleQuad = double __attribute__((vector_size(32)));

TESSEL_PER_SAMPLE Quad loadQuad(const float* p) noexcept {
    Quad v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

TESSEL_PER_SAMPLE void storeQuad(float* p, Quad v) noexcept {
    std::memcpy(p, &v, sizeof v);
}

// n floats from src to dst, four at a time: the stretches' short copies stay inline.
TESSEL_PER_SAMPLE void copyFloats(float* dst, const float* src, int n) noexcept {
    int i = 0;
    for (; i + 4 <= n; i += 4) storeQuad(dst + i, loadQuad(src + i));
    for (; i < n; ++i) dst[i] = src[i];
}

// Four consecutive samples' values of a settled smoother, the first sample even or odd.
TESSEL_PER_SAMPLE Quad alternating(const float even, const float odd, int parity) noexcept {
    return parity == 0 ? Quad{even, odd, even, odd} : Quad{odd, even, odd, even};
}

// Each lane's sample, or 0 where it is not a finite number.
TESSEL_PER_SAMPLE Quad finiteOrZero(Quad x) noexcept {
    return x - x == 0.0f ? x : Quad{};
}

// One side of a stretch: the stage results sample by sample, padded to whole vector steps.
struct SideStretch {
    alignas(16) float in[kStretch];  // the host's input
    alignas(16) float x[kStretch];   // after the input gain: the dry signal
    alignas(16) float a[kStretch];   // what enters the delay line
    alignas(16) float y[kStretch];   // the delay output
    float fed[kStretch + 4];         // fed[i]: the feedback signal sample i takes
    alignas(16) float out[kStretch]; // the wet and dry mix after the output gain
};

} // namespace

namespace {

// Delay-memory samples between a line's write and read positions.
int distance(const DelayLine& line) noexcept {
    const int d = line.dlyWrite - line.dlyRead;
    return d < 0 ? d + line.dlyLen : d;
}

// The stages every shape shares, over samples [0, n) of a stretch that starts at sample
// `first` of the block (whose parity picks the smoothers' values). `steps` is n rounded up
// to whole vector steps; the lanes beyond n compute on zeros and are never stored.
struct Stages {
    const float (&v)[2][16];
    int parity;
    int n;
    int steps;

    // Input gain; a sample that is not a number counts as silence; held to +-kMaxInput.
    template <int InGain>
    void input(SideStretch (&side)[2], const float* in[2], int first) const noexcept {
        for (SideStretch& s : side) std::fill(s.in + n, s.in + steps, 0.0f);
        for (int k = 0; k < 2; ++k) copyFloats(side[k].in, in[k] + first, n);
        const Quad gain = alternating(v[0][InGain], v[1][InGain], parity);
        for (SideStretch& s : side) {
            for (int i = 0; i < steps; i += 4) {
                Quad x = gain * finiteOrZero(loadQuad(s.in + i));
                x = x > chainblock::kMaxInput ? chainblock::kMaxInput : x;
                x = x < -chainblock::kMaxInput ? -chainblock::kMaxInput : x;
                storeQuad(s.x + i, x);
            }
        }
    }

    // The feedback each sample takes is the previous delay output with its polarity, held
    // to +-1 (the drive is off); the first sample's is the one carried from before.
    void feedbackSignals(SideStretch (&side)[2], const float carried[2],
                         const float fbSign[2]) const noexcept {
        for (int k = 0; k < 2; ++k) {
            SideStretch& s = side[k];
            s.fed[0] = carried[k];
            for (int i = 0; i < steps; i += 4) {
                const Quad f = loadQuad(s.y + i) * fbSign[k];
                const Quad magnitude = f < 0.0f ? -f : f;
                storeQuad(s.fed + i + 1, magnitude > 1.0f ? f / magnitude : f);
            }
        }
    }

    // Each line's feedback gain (in double precision, tiny values flushed) and its split
    // between the lines by its pan: a = dry input (or its anti-aliased form) + feedback.
    template <int FbGainL, int FbGainR, int FbPanL, int FbPanR>
    void crossPan(SideStretch (&side)[2], const float* sourceL,
                  const float* sourceR) const noexcept {
        const DoubleQuad gainL =
            __builtin_convertvector(alternating(v[0][FbGainL], v[1][FbGainL], parity), DoubleQuad);
        const DoubleQuad gainR =
            __builtin_convertvector(alternating(v[0][FbGainR], v[1][FbGainR], parity), DoubleQuad);
        const Quad panL = alternating(v[0][FbPanL], v[1][FbPanL], parity);
        const Quad panR = alternating(v[0][FbPanR], v[1][FbPanR], parity);
        for (int i = 0; i < steps; i += 4) {
            const DoubleQuad pL =
                __builtin_convertvector(loadQuad(side[0].fed + i), DoubleQuad) * gainL;
            const DoubleQuad pR =
                __builtin_convertvector(loadQuad(side[1].fed + i), DoubleQuad) * gainR;
            const Quad fL = __builtin_convertvector((pL + 1e-18) - 1e-18, Quad);
            const Quad fR = __builtin_convertvector((pR + 1e-18) - 1e-18, Quad);
            const Quad toRight = fL * panL + fR * panR;
            storeQuad(side[1].a + i, loadQuad(sourceR + i) + toRight);
            storeQuad(side[0].a + i, loadQuad(sourceL + i) + ((fR + fL) - toRight));
        }
    }

    // Wet signal with its polarity, mix, output gain; bypass takes the raw input instead.
    template <int Mix, int OutGain>
    void mix(SideStretch (&side)[2], const float dlySign[2], bool bypass) const noexcept {
        const Quad wet = alternating(v[0][Mix], v[1][Mix], parity);
        const Quad dry = 1.0f - wet;
        const Quad gain = alternating(v[0][OutGain], v[1][OutGain], parity);
        for (int k = 0; k < 2; ++k) {
            SideStretch& s = side[k];
            for (int i = 0; i < steps; i += 4) {
                Quad w = loadQuad(s.y + i) * dlySign[k];
                w = w * wet;
                w = w + dry * loadQuad(s.x + i);
                w = w * gain;
                storeQuad(s.out + i, bypass ? finiteOrZero(loadQuad(s.in + i)) : w);
            }
        }
    }

    // To the host: both sides, or their average where there is one output.
    void output(const SideStretch (&side)[2], float* const out[2], int first) const noexcept {
        if (out[1] != nullptr) {
            copyFloats(out[0] + first, side[0].out, n);
            copyFloats(out[1] + first, side[1].out, n);
        } else {
            for (int i = 0; i < n; ++i)
                out[0][first + i] = 0.5f * side[1].out[i] + 0.5f * side[0].out[i];
        }
    }
};

} // namespace

namespace {

// One sample of the clock at rate, as the delay line runs it: the part of the cycle still to
// run is rescaled to the new rate, the phase advances, and each whole cycle is a tick. The
// time of the first tick (in ticks from the previous sample) and the count of ticks are
// returned through t and ticks.
struct ClockStep {
    float phase;
    float t;
    int ticks;
};
TESSEL_PER_SAMPLE ClockStep clockStep(float clkPhase, float clkRate, float old) noexcept {
    const float p = 1.0f - (1.0f - clkPhase) * clkRate / old;
    ClockStep step{p + clkRate, 1.0f - p, 0};
    while (step.phase >= 1.0f) {
        step.phase -= 1.0f;
        ++step.ticks;
    }
    return step;
}

// The Catmull-Rom spline through h[j .. j + 3] at fraction f for each j of four consecutive
// ones, with the arithmetic of CatmullRom in each lane.
TESSEL_PER_SAMPLE Quad catmullRomQuad(const float* h, float f) noexcept {
    const Quad h0 = loadQuad(h), h1 = loadQuad(h + 1), h2 = loadQuad(h + 2), h3 = loadQuad(h + 3);
    const Quad twoH1 = 2.0f * h1;
    const Quad c1 = h2 - h0;
    const Quad c2 = 2.0f * h0 - 5.0f * h1 + 4.0f * h2 - h3;
    const Quad c3 = h3 - 3.0f * h2 + 3.0f * h1 - h0;
    return 0.5f * (twoH1 + f * (c1 + f * (c2 + f * c3)));
}

// Each sample's clock rates of a stretch whose clock follows the LFO alone: rate[] and
// modSource[], vcoMod[] are the even and odd samples' values, first the stretch's first
// sample in the block.
void lfoClockRates(Modulation& m, const ModulationSettings& s, const float modSource[2],
                   const float vcoMod[2], const float rate[2], int first, int n,
                   float (*rates)[kStretch]) noexcept {
    // The LFO sample by sample, then its clock factors four samples at a time, with the
    // arithmetic of Modulation::clockFactors in each lane; the envelopes' share holds over
    // the stretch.
    alignas(16) float lfoOut[2][kStretch + 4];
    m.runLfoStretch(s, n, lfoOut[0], lfoOut[1]);
    for (auto& lane : lfoOut) std::fill(lane + n, lane + ((n + 3) & ~3), 0.0f);
    const float len = static_cast<float>(s.avgLen);
    const float envShare[2] = {m.envMod[0] / len, m.envMod[1] / len};
    const Quad minRate = Quad{} + DelayLine::kMinClockRate;
    const Quad maxRate = Quad{} + DelayLine::kMaxClockRate;
    Quad factor[2] = {};
    for (int i = 0; i < n; i += 4) {
        const int parity = (first + i) & 1;
        const Quad lfoShare = 1.0f - alternating(modSource[0], modSource[1], parity);
        const Quad depth = alternating(vcoMod[0], vcoMod[1], parity);
        const Quad manual = alternating(rate[0], rate[1], parity);
        for (int k = 0; k < 2; ++k) {
            Quad x = lfoShare * loadQuad(lfoOut[k] + i) + envShare[k];
            x = x > 1.0f ? Quad{} + 1.0f : x;
            factor[k] = fastmath::exp2(x * depth);
            Quad r = manual * factor[k];
            r = r >= minRate ? r : minRate;
            r = r > maxRate ? maxRate : r;
            storeQuad(rates[k] + i, r);
        }
    }
    // The factors of the stretch's last sample stay, as the per-sample chain leaves them.
    const int last = (n - 1) & 3;
    for (int k = 0; k < 2; ++k) m.vcoFactor[k] = factor[k][last];
}

// Both clocks of a stretch side by side, so that their recursions overlap, and beside them
// beside(i) for each sample i: a recursion of the stretch's own, which fills the time the
// clocks' recursions wait.
template <typename Beside>
void readClocks(DelayLine (&dlyLine)[2], const float* const rates[2], int n, float* const y[2],
                int* const ticks[2], float* const tickTime[2], Beside&& beside) noexcept {
    struct Clock {
        DelayLine& line;
        float out[4];
        int read;
        float rate, phase;
    };
    Clock clock[2] = {
        {dlyLine[0], {}, dlyLine[0].dlyRead, dlyLine[0].clkRate, dlyLine[0].clkPhase},
        {dlyLine[1], {}, dlyLine[1].dlyRead, dlyLine[1].clkRate, dlyLine[1].clkPhase}};
    for (Clock& k : clock) std::memcpy(k.out, k.line.outHist, sizeof k.out);
    for (int i = 0; i < n; ++i) {
        beside(i);
        for (int s = 0; s < 2; ++s) {
            Clock& k = clock[s];
            const float old = k.rate;
            k.rate = rates[s][i];
            const ClockStep step = clockStep(k.phase, k.rate, old);
            const float* memory = k.line.dlyBuf.data();
            for (int tick = 0; tick < step.ticks; ++tick) {
                k.out[0] = k.out[1];
                k.out[1] = k.out[2];
                k.out[2] = k.out[3];
                k.out[3] = memory[k.read];
                if (++k.read == k.line.dlyLen) k.read = 0;
            }
            k.phase = step.phase;
            ticks[s][i] = step.ticks;
            tickTime[s][i] = step.t;
            y[s][i] = catmullRom(k.out, k.phase > 0.0f ? k.phase : 0.0f);
        }
    }
    for (Clock& k : clock) {
        std::memcpy(k.line.outHist, k.out, sizeof k.out);
        k.line.dlyRead = k.read;
        k.line.clkRate = k.rate;
        k.line.clkPhase = k.phase;
    }
}

// The ticks of both clocks write their input interpolated at the ticks' exact times, with
// beside(i) for each sample i run alongside, as in readClocks.
template <typename Beside>
void writeClocks(DelayLine (&dlyLine)[2], const float* const rates[2], int n,
                 const float* const a[2], const int* const ticks[2], const float* const tickTime[2],
                 Beside&& beside) noexcept {
    // The input histories in registers, out of reach of the memories' stores.
    float history[2][4];
    int write[2];
    for (int s = 0; s < 2; ++s) {
        std::memcpy(history[s], dlyLine[s].inHist, sizeof history[s]);
        write[s] = dlyLine[s].dlyWrite;
    }
    for (int i = 0; i < n; ++i) {
        beside(i);
        for (int s = 0; s < 2; ++s) {
            float* h = history[s];
            h[0] = h[1];
            h[1] = h[2];
            h[2] = h[3];
            h[3] = a[s][i];
            const CatmullRom input(h);
            const float period = 1.0f / rates[s][i];
            float t = tickTime[s][i];
            float* memory = dlyLine[s].dlyBuf.data();
            for (int tick = 0; tick < ticks[s][i]; ++tick) {
                memory[write[s]] = input.at(t * period);
                if (++write[s] == dlyLine[s].dlyLen) write[s] = 0;
                t += 1.0f;
            }
        }
    }
    for (int s = 0; s < 2; ++s) {
        std::memcpy(dlyLine[s].inHist, history[s], sizeof history[s]);
        dlyLine[s].dlyWrite = write[s];
    }
}

// Longest history a steady stretch needs: four values before it and up to eight ticks per
// sample.
constexpr int kSteadyHistory = 4 + 8 * kStretch + 4;

} // namespace

int Drell::steadyClock(const DelayLine& line, const float rate[2], int first) noexcept {
    // A constant rate whose sample leaves the phase where it was makes the same ticks at the
    // same times in every sample: the ticks per sample, or 0 where the clock is not steady.
    const float r = rate[first & 1];
    if (rate[0] != rate[1] || line.clkRate != r) return 0;
    const ClockStep step = clockStep(line.clkPhase, r, line.clkRate);
    return step.phase == line.clkPhase && step.ticks > 0 ? step.ticks : 0;
}

void Drell::readSteadyClock(DelayLine& line, int ticksPerSample, int n, float* y) noexcept {
    // The values the ticks read, after the four read before; sample i's output interpolates
    // the last four read by then, at the (unchanging) phase.
    float read[kSteadyHistory];
    const int count = ticksPerSample * n;
    std::memcpy(read, line.outHist, sizeof line.outHist);
    const int first = std::min(count, line.dlyLen - line.dlyRead);
    copyFloats(read + 4, line.dlyBuf.data() + line.dlyRead, first);
    copyFloats(read + 4 + first, line.dlyBuf.data(), count - first);
    std::fill(read + 4 + count, read + 4 + count + 4, 0.0f);
    const float f = line.clkPhase > 0.0f ? line.clkPhase : 0.0f;
    if (ticksPerSample == 1) {
        for (int i = 0; i < n; i += 4) storeQuad(y + i, catmullRomQuad(read + i + 1, f));
    } else {
        for (int i = 0; i < n; ++i) y[i] = catmullRom(read + (i + 1) * ticksPerSample, f);
    }
    std::memcpy(line.outHist, read + count, sizeof line.outHist);
    line.dlyRead += count;
    if (line.dlyRead >= line.dlyLen) line.dlyRead -= line.dlyLen;
}

void Drell::writeSteadyClock(DelayLine& line, int ticksPerSample, int n, const float* a) noexcept {
    // Sample i's inputs are the three before it and a[i]; every sample's ticks fall at the
    // same fractions of it.
    float history[kStretch + 8];
    copyFloats(history, line.inHist + 1, 3);
    copyFloats(history + 3, a, n);
    std::fill(history + 3 + n, history + 3 + n + 4, 0.0f);
    const ClockStep step = clockStep(line.clkPhase, line.clkRate, line.clkRate);
    const float period = 1.0f / line.clkRate;
    float written[8 * kStretch + 4];
    if (ticksPerSample == 1) {
        const float f = step.t * period;
        for (int i = 0; i < n; i += 4) storeQuad(written + i, catmullRomQuad(history + i, f));
    } else {
        float fraction[8];
        float t = step.t;
        for (int tick = 0; tick < ticksPerSample; ++tick, t += 1.0f) fraction[tick] = t * period;
        for (int i = 0; i < n; ++i) {
            const CatmullRom input(history + i);
            for (int tick = 0; tick < ticksPerSample; ++tick)
                written[i * ticksPerSample + tick] = input.at(fraction[tick]);
        }
    }
    const int count = ticksPerSample * n;
    const int first = std::min(count, line.dlyLen - line.dlyWrite);
    copyFloats(line.dlyBuf.data() + line.dlyWrite, written, first);
    copyFloats(line.dlyBuf.data(), written + first, count - first);
    std::memcpy(line.inHist, history + n - 1, sizeof line.inHist);
    line.dlyWrite += count;
    if (line.dlyWrite >= line.dlyLen) line.dlyWrite -= line.dlyLen;
}

void Drell::readClock(DelayLine& line, const float* rates, int n, float* y, int* ticks,
                      float* tickTime) noexcept {
    float out[4] = {line.outHist[0], line.outHist[1], line.outHist[2], line.outHist[3]};
    const float* memory = line.dlyBuf.data();
    int read = line.dlyRead;
    float clkRate = line.clkRate;
    float clkPhase = line.clkPhase;
    for (int i = 0; i < n; ++i) {
        const float old = clkRate;
        clkRate = rates[i];
        const ClockStep step = clockStep(clkPhase, clkRate, old);
        for (int tick = 0; tick < step.ticks; ++tick) {
            out[0] = out[1];
            out[1] = out[2];
            out[2] = out[3];
            out[3] = memory[read];
            if (++read == line.dlyLen) read = 0;
        }
        clkPhase = step.phase;
        ticks[i] = step.ticks;
        tickTime[i] = step.t;
        y[i] = catmullRom(out, clkPhase > 0.0f ? clkPhase : 0.0f);
    }
    for (int i = 0; i < 4; ++i) line.outHist[i] = out[i];
    line.dlyRead = read;
    line.clkRate = clkRate;
    line.clkPhase = clkPhase;
}

void Drell::writeClock(DelayLine& line, const float* rates, int n, const float* a, const int* ticks,
                       const float* tickTime) noexcept {
    float* memory = line.dlyBuf.data();
    int write = line.dlyWrite;
    // The input history in registers, out of reach of the memory's stores.
    float history[4];
    std::memcpy(history, line.inHist, sizeof history);
    for (int i = 0; i < n; ++i) {
        history[0] = history[1];
        history[1] = history[2];
        history[2] = history[3];
        history[3] = a[i];
        const CatmullRom input(history);
        const float period = 1.0f / rates[i];
        float t = tickTime[i];
        for (int tick = 0; tick < ticks[i]; ++tick) {
            memory[write] = input.at(t * period);
            if (++write == line.dlyLen) write = 0;
            t += 1.0f;
        }
    }
    std::memcpy(line.inHist, history, sizeof history);
    line.dlyWrite = write;
}

void Drell::meterStretch(ChainState& c, const float* xL, const float* xR, int n) noexcept {
    // The values written meterLen samples ago move the extremes. With a ring longer than the
    // stretch, those are the ring's present values after the write position, none of them
    // overwritten in the stretch before it is compared.
    if (meterLen <= n) {
        for (int i = 0; i < n; ++i) meterInput(c, xL[i], xR[i]);
        return;
    }
    const float* x[2] = {xL, xR};
    for (int s = 0; s < 2; ++s) {
        float* ring = meterRing[s].data();
        Quad high = {c.meterHigh[s], c.meterHigh[s], c.meterHigh[s], c.meterHigh[s]};
        Quad low = {c.meterLow[s], c.meterLow[s], c.meterLow[s], c.meterLow[s]};
        float highTail = c.meterHigh[s], lowTail = c.meterLow[s];
        int pos = c.meterPos + 1 == meterLen ? 0 : c.meterPos + 1;
        for (int left = n; left > 0;) {
            const int run = std::min(left, meterLen - pos);
            int i = 0;
            for (; i + 4 <= run; i += 4) {
                const Quad v = loadQuad(ring + pos + i);
                high = v > high ? v : high;
                low = v < low ? v : low;
            }
            for (; i < run; ++i) {
                highTail = std::max(highTail, ring[pos + i]);
                lowTail = std::min(lowTail, ring[pos + i]);
            }
            left -= run;
            pos = pos + run == meterLen ? 0 : pos + run;
        }
        c.meterHigh[s] = std::max({highTail, high[0], high[1], high[2], high[3]});
        c.meterLow[s] = std::min({lowTail, low[0], low[1], low[2], low[3]});
        // Then the stretch's input is written in.
        const int first = std::min(n, meterLen - c.meterPos);
        copyFloats(ring + c.meterPos, x[s], first);
        copyFloats(ring, x[s] + first, n - first);
    }
    c.meterPos += n;
    if (c.meterPos >= meterLen) c.meterPos -= meterLen;
}

ModulationSettings Drell::modulationAt(const BlockSettings& b, int parity) noexcept {
    ModulationSettings m = b.modulation;
    const float* sm = b.settledValues[parity];
    m.modSource = sm[sModSource];
    m.fltModDepth = sm[sFltModDepth];
    m.vcoMod = sm[sVcoMod];
    return m;
}

void Drell::runPlainBlock(ChainState& c, const BlockSettings& b, int frames) noexcept {
    SideStretch side[2];
    const float* in[2] = {blockIn[0], blockIn[1]};
    for (int done = 0; done < frames;) {
        // A stretch reads only what earlier ones wrote, and runs to no wrap of the memory.
        int n = std::min({frames - done, kStretch, distance(dlyLine[0]), distance(dlyLine[1])});
        if (n < kShortestStretch && n < frames - done) {
            // In a local copy, which the memories' stores cannot reach.
            ChainState local = c;
            runBlock<false, kFilterOff>(local, b, done, frames - done);
            c = local;
            return;
        }
        for (const DelayLine& line : dlyLine)
            n = std::min({n, line.dlyLen - line.dlyWrite, line.dlyLen - line.dlyRead});
        const Stages stage{b.settledValues, done & 1, n, (n + 3) & ~3};

        // Input gain, and the input meter.
        stage.input<sInGain>(side, in, done);
        meterStretch(c, side[0].x, side[1].x, n);
        // Delay output, read before the stretch writes (no read reaches its writes).
        for (int k = 0; k < 2; ++k) {
            const DelayLine& line = dlyLine[k];
            copyFloats(side[k].y, line.dlyBuf.data() + line.dlyRead, n);
            std::fill(side[k].y + n, side[k].y + stage.steps, 0.0f);
        }
        // Feedback, split between the lines by each line's pan, into the delay memory.
        stage.feedbackSignals(side, c.fbSignal, b.fbSign);
        stage.crossPan<sFbGainL, sFbGainR, sFbPanL, sFbPanR>(side, side[0].x, side[1].x);
        for (int k = 0; k < 2; ++k) {
            DelayLine& line = dlyLine[k];
            copyFloats(line.dlyBuf.data() + line.dlyWrite, side[k].a, n);
        }
        // The drive's rings follow the magnitude even while it is off.
        fillDriveRings(c, b, side[0].a, side[1].a, n, done);
        // Mix, output gain, bypass, out.
        stage.mix<sMix, sOutGain>(side, b.dlySign, b.bypass);
        stage.output(side, blockOut, done);

        const float lastA[2] = {side[0].a[n - 1], side[1].a[n - 1]};
        const float fed[2] = {side[0].fed[n], side[1].fed[n]};
        finishStretch(c, b, n, done, lastA, fed);
        for (DelayLine& line : dlyLine) {
            line.dlyWrite += n;
            line.dlyRead += n;
            if (line.dlyWrite == line.dlyLen) line.dlyWrite = 0;
            if (line.dlyRead == line.dlyLen) line.dlyRead = 0;
        }
        done += n;
    }
}

void Drell::runClockedBlock(ChainState& c, const BlockSettings& b, int frames) noexcept {
    SideStretch side[2];
    float antiAliased[2][kStretch];
    int ticks[2][kStretch];
    float tickTime[2][kStretch];
    const float* in[2] = {blockIn[0], blockIn[1]};
    // The clock rates of even and odd samples: a constant 2^x, as the per-sample chain
    // computes it, held to the clock's range (with the LFO, the factor 2^x before that).
    float rate[2];
    for (int p = 0; p < 2; ++p) {
        // (The factor of the modulation, 1 here, leaves the product exact.)
        const float manual = fastmath::exp2((1.0f - b.settledValues[p][sVcoMod]) * b.vcoManual);
        rate[p] = b.modOn ? manual : DelayLine::heldRate(manual);
    }
    // With the modulation off, neutral factors; with the LFO on the clock, each sample's
    // rate is this one times the LFO's factor, at most 2^|vcoMod|.
    float fastest = std::max(rate[0], rate[1]);
    const bool lfo = b.modOn;
    if (lfo) {
        const float depth = std::max(std::fabs(b.settledValues[0][sVcoMod]),
                                     std::fabs(b.settledValues[1][sVcoMod]));
        fastest = std::min(fastest * fastmath::exp2(depth) * 1.001f, DelayLine::kMaxClockRate);
    } else {
        c.modulation.vcoFactor[0] = c.modulation.vcoFactor[1] = c.modulation.fltFactor = 1.0f;
    }
    float rates[2][kStretch];
    const ModulationSettings settings[2] = {modulationAt(b, 0), modulationAt(b, 1)};

    for (int done = 0; done < frames;) {
        // A stretch's ticks read only what earlier stretches wrote: no more ticks than the
        // memory samples between write and read (a sample makes at most rate + 1 ticks).
        int n = std::min(frames - done, kStretch);
        for (const DelayLine& line : dlyLine)
            n = std::min(n, static_cast<int>(static_cast<float>(distance(line) - 2) / fastest));
        if (n < kShortestStretch && n < frames - done) {
            // In a local copy, which the memories' stores cannot reach.
            ChainState local = c;
            runBlock<true, kFilterOff>(local, b, done, frames - done);
            c = local;
            return;
        }
        const Stages stage{b.settledValues, done & 1, n, (n + 3) & ~3};

        // Input gain, and the input meter.
        stage.input<sInGain>(side, in, done);
        meterStretch(c, side[0].x, side[1].x, n);
        // Each sample's clock rate: constant, or moved by the LFO.
        if (lfo) {
            const float modSource[2] = {b.settledValues[0][sModSource],
                                        b.settledValues[1][sModSource]};
            const float vcoMod[2] = {b.settledValues[0][sVcoMod], b.settledValues[1][sVcoMod]};
            lfoClockRates(c.modulation, b.modulation, modSource, vcoMod, rate, done, n, rates);
        } else {
            for (int i = 0; i < n; ++i) rates[0][i] = rates[1][i] = rate[(done + i) & 1];
        }
        // The anti-alias low-pass for the clocked memory (on a local copy, which the stores
        // cannot reach, so its state stays in registers).
        AntiAliasFilter antiAlias = c.antiAlias;
        const auto antiAliasSample = [&](int i) {
            float a[2] = {side[0].x[i], side[1].x[i]};
            antiAlias.process(a);
            antiAliased[0][i] = a[0];
            antiAliased[1][i] = a[1];
        };
        // The clock: each tick reads one memory sample; the output is interpolated between
        // the ticks. Where both clocks move, the low-pass runs beside them.
        int steadyTicks[2];
        for (int k = 0; k < 2; ++k) steadyTicks[k] = lfo ? 0 : steadyClock(dlyLine[k], rate, done);
        if (steadyTicks[0] == 0 && steadyTicks[1] == 0) {
            const float* const rate2[2] = {rates[0], rates[1]};
            float* const y[2] = {side[0].y, side[1].y};
            int* const tick2[2] = {ticks[0], ticks[1]};
            float* const time2[2] = {tickTime[0], tickTime[1]};
            readClocks(dlyLine, rate2, n, y, tick2, time2, antiAliasSample);
        } else {
            for (int i = 0; i < n; ++i) antiAliasSample(i);
            for (int k = 0; k < 2; ++k) {
                if (steadyTicks[k] > 0)
                    readSteadyClock(dlyLine[k], steadyTicks[k], n, side[k].y);
                else
                    readClock(dlyLine[k], rates[k], n, side[k].y, ticks[k], tickTime[k]);
            }
        }
        c.antiAlias = antiAlias;
        for (auto& lane : antiAliased) std::fill(lane + n, lane + stage.steps, 0.0f);
        for (SideStretch& sd : side) std::fill(sd.y + n, sd.y + stage.steps, 0.0f);
        // Feedback, split between the lines by each line's pan.
        stage.feedbackSignals(side, c.fbSignal, b.fbSign);
        stage.crossPan<sFbGainL, sFbGainR, sFbPanL, sFbPanR>(side, antiAliased[0], antiAliased[1]);
        fillDriveRings(c, b, side[0].a, side[1].a, n, done);
        // The clock's ticks write the input interpolated at their exact times; beside them,
        // the envelope followers take the magnitudes that entered the lines (with the LFO
        // on the clock both clocks move). The follower runs on a local copy, whose state
        // the memories' stores cannot reach.
        if (steadyTicks[0] == 0 && steadyTicks[1] == 0) {
            const float* const rate2[2] = {rates[0], rates[1]};
            const float* const a[2] = {side[0].a, side[1].a};
            const int* const tick2[2] = {ticks[0], ticks[1]};
            const float* const time2[2] = {tickTime[0], tickTime[1]};
            if (lfo) {
                Modulation modulation = c.modulation;
                writeClocks(dlyLine, rate2, n, a, tick2, time2, [&](int i) {
                    const float magnitude[2] = {std::fabs(a[0][i]), std::fabs(a[1][i])};
                    modulation.followOnly(magnitude, settings[(done + i) & 1]);
                });
                c.modulation = modulation;
            } else {
                writeClocks(dlyLine, rate2, n, a, tick2, time2, [](int) {});
            }
        } else {
            for (int k = 0; k < 2; ++k) {
                if (steadyTicks[k] > 0)
                    writeSteadyClock(dlyLine[k], steadyTicks[k], n, side[k].a);
                else
                    writeClock(dlyLine[k], rates[k], n, side[k].a, ticks[k], tickTime[k]);
            }
        }
        // Mix, output gain, bypass, out.
        stage.mix<sMix, sOutGain>(side, b.dlySign, b.bypass);
        stage.output(side, blockOut, done);

        const float lastA[2] = {side[0].a[n - 1], side[1].a[n - 1]};
        const float fed[2] = {side[0].fed[n], side[1].fed[n]};
        finishStretch(c, b, n, done, lastA, fed);
        done += n;
    }
}

void Drell::fillDriveRings(ChainState& c, const BlockSettings& b, const float* aL, const float* aR,
                           int n, int first) noexcept {
    // Only the last avgLen samples stay in the rings.
    Drive& d = c.drive;
    const int from = std::max(0, n - d.avgLen);
    int pos = d.drivePos < d.avgLen ? (d.drivePos + from) % d.avgLen : 0;
    for (int i = from; i < n; ++i) {
        const float drive = b.settledValues[(first + i) & 1][sDrive];
        d.driveRing[0][pos & 15] = std::fabs(aL[i]) * drive;
        d.driveRing[1][pos & 15] = std::fabs(aR[i]) * drive;
        if (++pos >= d.avgLen) pos = 0;
    }
    d.drivePos = pos;
}

void Drell::finishStretch(ChainState& c, const BlockSettings& b, int n, int first,
                          const float lastA[2], const float fed[2]) noexcept {
    for (int s = 0; s < 2; ++s) {
        c.lastA[s] = lastA[s];
        c.fbSignal[s] = fed[s];
    }
    std::memcpy(c.smoothed, b.settledValues[(first + n - 1) & 1], sizeof c.smoothed);
    // The guards flip once per sample.
    if ((n & 1) != 0) {
        c.guard8 = -c.guard8;
        c.guard10 = -c.guard10;
    }
}
