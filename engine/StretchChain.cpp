// SPDX-License-Identifier: GPL-3.0-or-later
// The chain block-wise. With the smoothers settled and no delay-time fade, what the feedback
// writes into a line comes out of it a whole delay later, so a stretch no longer than the
// shorter delay reads only what earlier stretches wrote, and the chain runs as the same stages
// over the stretch, each a loop of its own (four samples per vector step where a stage has no
// recursion). Every sample gets the per-sample chain's arithmetic in its order (the settled
// smoothers' values alternate with the guard), so the output keeps every bit. Where the
// modulation or the filter sits between the delay output and what enters the lines, those
// stages and the reads run sample by sample in one loop; otherwise the reads come first and
// the feedback is cross-panned four samples at a time.
#include "engine/ChainBlock.h"
#include "engine/Room.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using stretchmath::alternating;
using stretchmath::copyFloats;
using stretchmath::loadQuad;
using stretchmath::Quad;
using stretchmath::storeQuad;

constexpr int kStretch = DelayLine::kMaxStretch;

// Shortest stretch worth running block-wise: shorter delays run the per-sample chain.
constexpr int kShortestStretch = 8;

// One side of a stretch: the stage results sample by sample, padded to whole vector steps.
struct SideStretch {
    alignas(16) float in[kStretch];  // the host's input
    alignas(16) float x[kStretch];   // after the input gain; the dry signal
    alignas(16) float a[kStretch];   // what enters the delay line
    alignas(16) float y[kStretch];   // the delay output; the wet signal
    float fed[kStretch + 4];         // fed[i]: the feedback signal sample i takes
    alignas(16) float out[kStretch]; // after the mix, reverb and output gain
    alignas(16) float ax[kStretch];  // the anti-aliased input of the clocked memory
};

// The stages over samples [0, n) of a stretch whose first sample has the given parity in the
// block (which picks the smoothers' values). `steps` is n rounded up to whole vector steps;
// the lanes beyond n compute on zeros and are never stored.
struct Stages {
    const float (&v)[2][16];
    int parity;
    int n;
    int steps;

    Quad settled(int lane) const noexcept { return alternating(v[0][lane], v[1][lane], parity); }

    TESSEL_PER_SAMPLE void input(SideStretch (&side)[2], const float* const in[2], int first,
                                 int gainLane) const noexcept {
        const Quad gain = settled(gainLane);
        for (int k = 0; k < 2; ++k) {
            SideStretch& s = side[k];
            copyFloats(s.in, in[k] + first, n);
            std::fill(s.in + n, s.in + steps, 0.0f);
            for (int i = 0; i < steps; i += 4)
                storeQuad(s.x + i, chainblock::gainedInput(loadQuad(s.in + i), gain));
        }
    }

    // The feedback of the stretch's delay outputs onto what enters the lines (source: the
    // input, or its anti-aliased form).
    TESSEL_PER_SAMPLE void feedback(SideStretch (&side)[2], const float* const source[2],
                                    const float carried[2], const float fbSign[2], bool limit,
                                    const int lanes[4]) const noexcept {
        for (int k = 0; k < 2; ++k) {
            SideStretch& s = side[k];
            std::fill(s.y + n, s.y + steps, 0.0f);
            s.fed[0] = carried[k];
            for (int i = 0; i < steps; i += 4) {
                storeQuad(s.fed + i + 1,
                          chainblock::feedbackSignal(loadQuad(s.y + i), fbSign[k], limit));
            }
        }
        const Quad gainL = settled(lanes[0]), gainR = settled(lanes[1]);
        const Quad panL = settled(lanes[2]), panR = settled(lanes[3]);
        for (int i = 0; i < steps; i += 4) {
            Quad aL = loadQuad(source[0] + i), aR = loadQuad(source[1] + i);
            chainblock::crossPan(loadQuad(side[0].fed + i), loadQuad(side[1].fed + i), gainL, gainR,
                                 panL, panR, aL, aR);
            storeQuad(side[0].a + i, aL);
            storeQuad(side[1].a + i, aR);
        }
    }

    // Mix and output gain without the reverb, four samples at a time, from the wet signal
    // (times its polarity sign) and the dry one; bypass takes the raw input instead.
    TESSEL_PER_SAMPLE void mix(SideStretch (&side)[2], const float sign[2], int wetLane,
                               int gainLane, bool onOutput, bool bypass) const noexcept {
        const Quad wet = settled(wetLane), gain = settled(gainLane);
        for (int k = 0; k < 2; ++k) {
            SideStretch& s = side[k];
            for (int i = 0; i < steps; i += 4) {
                const Quad out =
                    chainblock::mixed(loadQuad(s.y + i) * sign[k], loadQuad(s.x + i), wet, gain,
                                      onOutput, [](Quad w) TESSEL_PER_SAMPLE_LAMBDA { return w; });
                storeQuad(s.out + i, bypass ? chainblock::finiteOrZero(loadQuad(s.in + i)) : out);
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
                chainblock::putFrame(out, first + i, side[0].out[i], side[1].out[i]);
        }
    }
};

} // namespace

void Drell::clockRates(const BlockSettings& b, const float* argument, const float manual[2],
                       int parity, int n, float* rates) noexcept {
    // Each sample's clock rate from what moves it, as the per-sample chain makes it.
    const auto& v = b.settledValues;
    const Quad depth = alternating(v[0][sVcoMod], v[1][sVcoMod], parity);
    const Quad rate = alternating(manual[0], manual[1], parity);
    const Quad minRate = Quad{} + DelayLine::kMinClockRate;
    const Quad maxRate = Quad{} + DelayLine::kMaxClockRate;
    for (int i = 0; i < n; i += 4) {
        Quad r = rate * clockFactorOf(loadQuad(argument + i), depth);
        r = r >= minRate ? r : minRate;
        storeQuad(rates + i, r > maxRate ? maxRate : r);
    }
}

template <bool Clocked, int Filter>
void Drell::runStretches(ChainState& chainState, const BlockSettings& b, int frames) noexcept {
    // The filter in the loop, or the modulation moving the clock or the cutoff, couple what
    // enters the lines to the reads sample by sample.
    constexpr bool kFiltered = Filter != kFilterOff;
    // The LFO alone on the clock: the source set to the LFO, its settled value a guard's.
    const bool lfoAlone = Clocked && !kFiltered && b.modOn && !b.driveOn &&
                          std::fabs(b.settledValues[0][sModSource]) < 1e-8f &&
                          std::fabs(b.settledValues[1][sModSource]) < 1e-8f;
    const bool coupled = kFiltered || (b.modOn && Clocked && !lfoAlone);
    // The chain's state and the lines' cursors in locals, out of reach of the memories' stores
    // (the shapes that run no stage's recursion sample by sample keep the state in place).
    const bool inPlace = !coupled && !b.modOn;
    Room<ChainState> local;
    ChainState& c = inPlace ? chainState : local.hold(chainState);
    DelayLine::Cursor line[2] = {dlyLine[0].cursor(), dlyLine[1].cursor()};
    Reverb::Voice rv; // the reverb's running state, while it runs
    if (b.reverbOn) rv = reverb.voice();
    const float* const in[2] = {blockIn[0], blockIn[1]};
    const auto& v = b.settledValues;

    // The clocks' manual rates of even and odd samples, and the fastest any sample can run:
    // with the modulation, at most 2^|vcoMod| times the manual rate.
    float manual[2] = {1.0f, 1.0f}, rate[2] = {1.0f, 1.0f};
    float fastest = 1.0f;
    if constexpr (Clocked) {
        for (int p = 0; p < 2; ++p) {
            manual[p] = b.manualRate(v[p]);
            rate[p] = DelayLine::heldRate(manual[p]);
        }
        fastest = std::max(rate[0], rate[1]);
        if (b.modOn) {
            const float depth = std::max(std::fabs(v[0][sVcoMod]), std::fabs(v[1][sVcoMod]));
            fastest = std::min(std::max(manual[0], manual[1]) * fastmath::exp2(depth) * 1.001f,
                               DelayLine::kMaxClockRate);
        }
    }
    const float drive[2] = {v[0][sDrive], v[1][sDrive]};
    constexpr int panLanes[4] = {sFbGainL, sFbGainR, sFbPanL, sFbPanR};

    SideStretch side[2];
    alignas(16) float lfo[2][kStretch + 4];
    float rates[2][kStretch];
    DelayLine::Ticks ticks[2];
    // Sample i of line s's clock at rate r, its ticks noted for the writes.
    const auto readAt = [&](DelayLine::Cursor& l, int s, int i, float r) TESSEL_PER_SAMPLE_LAMBDA {
        rates[s][i] = r;
        return l.readClocked(r, ticks[s].count[i], ticks[s].time[i]);
    };
    Room<ChainState> before; // where a stretch that runs ahead began
    const ChainState* began = nullptr;
    DelayLine::Cursor linesBefore[2];
    for (int done = 0; done < frames;) {
        // A stretch reads only what earlier ones wrote: no more samples (or ticks, a sample
        // making at most rate + 1) than lie between a line's write and read positions.
        int n = std::min(frames - done, kStretch);
        for (const DelayLine::Cursor& l : line) {
            if constexpr (Clocked)
                n = std::min(n, static_cast<int>(static_cast<float>(l.distance() - 2) / fastest));
            else
                n = std::min({n, l.distance(), l.length - l.write, l.length - l.read});
        }
        if (n < kShortestStretch && n < frames - done) {
            if (!inPlace) chainState = c;
            for (int s = 0; s < 2; ++s) dlyLine[s].take(line[s]);
            if (b.reverbOn) reverb.take(rv, done);
            runBlock<Clocked, Filter>(chainState, b, done, frames - done);
            return;
        }
        const int parity = done & 1;
        const Stages stage{v, parity, n, (n + 3) & ~3};
        const auto sm = [&v, parity](int i) { return v[(parity + i) & 1]; };

        const bool steady = Clocked && !b.modOn && rate[0] == rate[1] &&
                            line[0].steadyTicks(rate[0]) > 0 && line[1].steadyTicks(rate[0]) > 0;
        // Input gain, and the input meter.
        stage.input(side, in, done, sInGain);
        inputMeter.takeStretch(c.meter, side[0].x, side[1].x, n);
        if (b.modOn) {
            c.modulation.runLfoStretch(b.modulation, n, lfo[0], lfo[1]);
            for (auto& lane : lfo) std::fill(lane + n, lane + stage.steps, 0.0f);
        }
        if constexpr (!Clocked) {
            for (int k = 0; k < 2; ++k) line[k].readPlain(n, side[k].y);
        }

        // What enters the lines, and the delay outputs, sample by sample.
        bool wetReady = false; // the loop below made the wet and dry signals (in y and x)
        const auto coupledLoop = [&]() TESSEL_PER_SAMPLE_LAMBDA {
            wetReady = true;
            // The filter and each line's cursor are locals of their own, so that every
            // recursion stays in registers.
            AntiAliasFilter::Voice aa = c.antiAlias.voice();
            DelayLine::Cursor left = line[0], right = line[1];
            for (int i = 0; i < n; ++i) {
                const float* values = sm(i);
                float x[2] = {side[0].x[i], side[1].x[i]};
                float a[2];
                linesInput<Clocked, Filter>(c, aa, b, values, x, a);
                if (b.modOn)
                    modulate(c, b, values, a, lfo[0][i], lfo[1][i], kFiltered);
                else
                    c.modulation.neutralFactors();
                float y[2] = {side[0].y[i], side[1].y[i]};
                if constexpr (Clocked) {
                    const float m = manual[(parity + i) & 1];
                    y[0] = readAt(left, 0, i, DelayLine::heldRate(m * c.modulation.vcoFactor[0]));
                    y[1] = readAt(right, 1, i, DelayLine::heldRate(m * c.modulation.vcoFactor[1]));
                }
                float w[2];
                linesOutput<Filter>(c, b, y, w);
                for (int s = 0; s < 2; ++s) {
                    side[s].x[i] = x[s];
                    side[s].a[i] = a[s];
                    side[s].y[i] = w[s];
                }
            }
            if constexpr (Clocked) c.antiAlias.take(aa);
            line[0] = left;
            line[1] = right;
        };
        alignas(16) float envMod[2][kStretch + 4];
        alignas(16) float argument[2][kStretch];
        bool written = false;
        if (coupled) {
            coupledLoop();
        } else {
            // With the LFO alone on the clock, the rates are taken with the envelopes' share
            // held, and the stretch runs ahead on them; they are checked below.
            if (lfoAlone) {
                began = &before.hold(c);
                for (int s = 0; s < 2; ++s) linesBefore[s] = line[s];
                for (int s = 0; s < 2; ++s) {
                    Modulation::clockArguments(
                        b.modulationFor(v[parity]), b.modulationFor(v[parity ^ 1]),
                        c.modulation.envMod[s], nullptr, lfo[s], n, argument[s]);
                    clockRates(b, argument[s], manual, parity, n, rates[s]);
                }
            }
            const float* source[2] = {side[0].x, side[1].x};
            if constexpr (Clocked) {
                // The anti-alias low-pass runs beside the clocks' reads, whose recursions
                // leave it room. The filter and each line's cursor are locals of their own, so
                // that every recursion stays in registers.
                AntiAliasFilter::Voice antiAlias = c.antiAlias.voice();
                const auto filter = [&](int i) TESSEL_PER_SAMPLE_LAMBDA {
                    const Quad a = antiAlias.process(Quad{side[0].x[i], side[1].x[i]});
                    side[0].ax[i] = a[0];
                    side[1].ax[i] = a[1];
                };
                if (steady) {
                    for (int i = 0; i < n; ++i) filter(i);
                    for (int s = 0; s < 2; ++s)
                        line[s].readSteady(line[s].steadyTicks(rate[0]), n, side[s].y);
                } else {
                    DelayLine::Cursor left = line[0], right = line[1];
                    for (int i = 0; i < n; ++i) {
                        filter(i);
                        const float r = rate[(parity + i) & 1];
                        side[0].y[i] = readAt(left, 0, i, lfoAlone ? rates[0][i] : r);
                        side[1].y[i] = readAt(right, 1, i, lfoAlone ? rates[1][i] : r);
                    }
                    line[0] = left;
                    line[1] = right;
                }
                c.antiAlias.take(antiAlias);
                for (SideStretch& k : side) std::fill(k.ax + n, k.ax + stage.steps, 0.0f);
                source[0] = side[0].ax;
                source[1] = side[1].ax;
            }
            stage.feedback(side, source, c.fbSignal, b.fbSign, !b.driveOn, panLanes);
            for (int s = 0; s < 2; ++s) c.fbSignal[s] = side[s].fed[n];
            if (lfoAlone) {
                // The clocks' writes, and beside them the envelopes follow what entered the
                // lines (the drive is off). Then the rates are taken again with each sample's
                // envelope output; where any differs in a bit (the share is the source's
                // settled value of about 1e-10 times the envelope, so that is rare), the
                // stretch runs again from where it began, each sample's rate made as the
                // chain makes it. Its writes lie where this stretch's do, ahead of the reads.
                for (int i = 0; i < n; ++i) {
                    for (int s = 0; s < 2; ++s)
                        line[s].writeClocked(side[s].a[i], rates[s][i], ticks[s].count[i],
                                             ticks[s].time[i]);
                    const float magnitude[2] = {std::fabs(side[0].a[i]), std::fabs(side[1].a[i])};
                    c.modulation.followOnly(magnitude, b.modulationFor(sm(i)));
                    envMod[0][i] = c.modulation.envMod[0];
                    envMod[1][i] = c.modulation.envMod[1];
                }
                bool same = true;
                for (int s = 0; s < 2; ++s) {
                    float exact[kStretch];
                    std::fill(envMod[s] + n, envMod[s] + stage.steps, 0.0f);
                    Modulation::clockArguments(b.modulationFor(v[parity]),
                                               b.modulationFor(v[parity ^ 1]), 0.0f, envMod[s],
                                               lfo[s], n, exact);
                    same = same && std::memcmp(exact, argument[s], sizeof(float) * n) == 0;
                }
                if (same) {
                    c.modulation.clockFactors(b.modulationFor(sm(n - 1)));
                    written = true;
                } else {
                    c = *began;
                    for (int s = 0; s < 2; ++s) line[s] = linesBefore[s];
                    coupledLoop();
                }
            } else if (b.modOn) {
                // Beside a plain delay the envelopes and the LFO run on, and the factors are
                // made as the chain makes them, though nothing reads them here.
                for (int i = 0; i < n; ++i) {
                    const float a[2] = {side[0].a[i], side[1].a[i]};
                    modulate(c, b, sm(i), a, lfo[0][i], lfo[1][i], false);
                }
            }
        }
        if (!b.modOn) c.modulation.neutralFactors();

        // Drive: magnitudes feed its running mean; gain applied when on.
        if (b.driveOn) {
            for (int i = 0; i < n; ++i) {
                float a[2] = {side[0].a[i], side[1].a[i]};
                c.drive.process(a, drive[(parity + i) & 1], true);
                side[0].a[i] = a[0];
                side[1].a[i] = a[1];
            }
        } else {
            const float byIndex[2] = {drive[parity], drive[parity ^ 1]};
            c.drive.fillRings(side[0].a, side[1].a, n, byIndex);
        }
        for (int s = 0; s < 2; ++s) c.lastA[s] = side[s].a[n - 1];

        // The memory writes: each clock's ticks write the input interpolated at their times.
        for (int s = 0; s < 2 && !written; ++s) {
            if constexpr (!Clocked) {
                line[s].writePlain(n, side[s].a);
            } else if (steady) {
                line[s].writeSteady(line[s].steadyTicks(rate[0]), n, side[s].a);
            } else {
                for (int i = 0; i < n; ++i)
                    line[s].writeClocked(side[s].a[i], rates[s][i], ticks[s].count[i],
                                         ticks[s].time[i]);
            }
        }

        // Mix, reverb, output gain, bypass, out: the wet signal is the delay output with its
        // polarity, or where the loop made it, with a sign of 1 (which keeps every bit).
        const float one[2] = {1.0f, 1.0f};
        const float* const sign = wetReady ? one : b.dlySign;
        if (wetReady)
            for (SideStretch& s : side) std::fill(s.y + n, s.y + stage.steps, 0.0f);
        if (!b.reverbOn) {
            stage.mix(side, sign, sMix, sOutGain, b.reverbOnOutput, b.bypass);
        } else {
            // The guard flips at the start of each sample: sample i of the stretch has the
            // carried value's sign flipped i + 1 times.
            const float guard[2] = {-c.guard8, c.guard8};
            for (int i = 0; i < n; ++i) {
                const float* values = sm(i);
                const float g = guard[i & 1];
                const FloatPair out =
                    chainblock::mixed(FloatPair{side[0].y[i] * sign[0], side[1].y[i] * sign[1]},
                                      FloatPair{side[0].x[i], side[1].x[i]},
                                      FloatPair{} + values[sMix], FloatPair{} + values[sOutGain],
                                      b.reverbOnOutput, [&](FloatPair w) TESSEL_PER_SAMPLE_LAMBDA {
                                          float r[2] = {w[0], w[1]};
                                          runReverb(rv, r, g, b.rvbAmt);
                                          return FloatPair{r[0], r[1]};
                                      });
                const FloatPair raw =
                    chainblock::finiteOrZero(FloatPair{side[0].in[i], side[1].in[i]});
                side[0].out[i] = b.bypass ? raw[0] : out[0];
                side[1].out[i] = b.bypass ? raw[1] : out[1];
            }
        }
        stage.output(side, blockOut, done);
        c.settleAfter(v, done, n);
        done += n;
    }
    if (!inPlace) chainState = c;
    for (int s = 0; s < 2; ++s) dlyLine[s].take(line[s]);
    if (b.reverbOn) reverb.take(rv, frames);
}

#define TESSEL_STRETCHES(filter)                                                                   \
    template void Drell::runStretches<false, Drell::filter>(ChainState&, const BlockSettings&,     \
                                                            int) noexcept;                         \
    template void Drell::runStretches<true, Drell::filter>(ChainState&, const BlockSettings&,      \
                                                           int) noexcept;
TESSEL_STRETCHES(kFilterOff)
TESSEL_STRETCHES(kFilterIn)
TESSEL_STRETCHES(kFilterFb)
TESSEL_STRETCHES(kFilterFx)
#undef TESSEL_STRETCHES
