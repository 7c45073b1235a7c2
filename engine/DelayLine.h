// SPDX-License-Identifier: GPL-3.0-or-later
// One side's delay memory with its write and read positions, run either plainly (one
// memory sample per audio sample) or clocked at a variable rate: each clock tick writes the
// input interpolated at the tick's exact time and reads one memory sample, and the output
// is interpolated between the ticks. Both interpolations are Catmull-Rom splines through
// the last four values.
//
// Clearing is lazy: clear() only notes that every position counts as zero from now on. The
// positions not written since (the stale ones) are zeroed just ahead of the reader, at the
// start of each block as far as the block can read and at a jump of the read position, so
// what the reader gets is exactly what a memory zeroed through would give, and no call
// does more work than the block itself.
#pragma once

#include "engine/PerSample.h"
#include "engine/StretchMath.h"

#include <algorithm>
#include <cstring>
#include <vector>

// Catmull-Rom spline through h[0..3], evaluated between h[1] and h[2] at fraction f:
// 0.5·(2·h1 + (h2 − h0)·f + (2·h0 − 5·h1 + 4·h2 − h3)·f² + (h3 − 3·h2 + 3·h1 − h0)·f³),
// in Horner form. The coefficients are taken once for several evaluations through the
// same four values.
struct CatmullRom {
    float twoH1, c1, c2, c3;

    TESSEL_PER_SAMPLE explicit CatmullRom(const float h[4]) noexcept
        : twoH1(2.0f * h[1]), c1(h[2] - h[0]), c2(2.0f * h[0] - 5.0f * h[1] + 4.0f * h[2] - h[3]),
          c3(h[3] - 3.0f * h[2] + 3.0f * h[1] - h[0]) {}
    TESSEL_PER_SAMPLE float at(float f) const noexcept {
        return 0.5f * (twoH1 + f * (c1 + f * (c2 + f * c3)));
    }
};

TESSEL_PER_SAMPLE float catmullRom(const float h[4], float f) noexcept {
    return CatmullRom(h).at(f);
}

// One sample of a clock at `rate` memory samples per audio sample, its rate until now `old`:
// the part of the cycle still to run is rescaled to the new rate, the phase advances, and each
// whole cycle is a tick. `t` is the first tick's time in ticks after the previous sample.
struct ClockStep {
    float phase;
    float t;
    int ticks;
};
TESSEL_PER_SAMPLE ClockStep clockStep(float phase, float rate, float old) noexcept {
    const float p = 1.0f - (1.0f - phase) * rate / old;
    ClockStep step{p + rate, 1.0f - p, 0};
    while (step.phase >= 1.0f) {
        step.phase -= 1.0f;
        ++step.ticks;
    }
    return step;
}

// h[0..3] move one place towards the front and v joins at the back.
TESSEL_PER_SAMPLE void shiftIn(float h[4], float v) noexcept {
    h[0] = h[1];
    h[1] = h[2];
    h[2] = h[3];
    h[3] = v;
}

class DelayLine {
public:
    // Clock rates outside this range cannot come from the parameters; they are held to it
    // so that a faulty factor can neither stall the clock nor run the tick loop away.
    static constexpr float kMinClockRate = 0.125f;
    static constexpr float kMaxClockRate = 8.0f;
    // Most samples a stretch of the block-wise chain runs at once.
    static constexpr int kMaxStretch = 128;

    // What each sample of a clocked stretch did: its ticks and the first tick's time.
    struct Ticks {
        int count[kMaxStretch];
        float time[kMaxStretch];
    };

    // The line's running state: positions, histories and clock. A block takes a copy into a
    // local, which no store to the memory can reach, so that it stays in registers, and hands
    // it back afterwards (take). Every shape of the chain runs the line through it.
    struct Cursor {
        float* memory = nullptr;
        int length = 0;
        int write = 0;         // next write position
        int read = 0;          // next read position
        float inHist[4] = {};  // last four inputs, oldest first
        float outHist[4] = {}; // last four values read in clocked mode, oldest first
        float rate = 1.0f;     // memory samples per audio sample
        float phase = 0.0f;    // in [0, 1) between samples

        // Memory samples between the write and the read position.
        int distance() const noexcept {
            const int d = write - read;
            return d < 0 ? d + length : d;
        }
        TESSEL_PER_SAMPLE void advance(int n) noexcept {
            write += n;
            read += n;
            if (write >= length) write -= length;
            if (read >= length) read -= length;
        }

        // Unclocked: writes a, then reads; equal positions give a delay of 0 samples.
        TESSEL_PER_SAMPLE float processPlain(float a) noexcept {
            memory[write] = a;
            const float y = memory[read];
            advance(1);
            return y;
        }

        // Clocked at `rate` memory samples per audio sample, after pushInput: each tick writes
        // the input history interpolated at its time, then reads one memory sample.
        TESSEL_PER_SAMPLE float processClocked(float newRate) noexcept {
            newRate = heldRate(newRate);
            const ClockStep step = clockStep(phase, newRate, rate);
            rate = newRate;
            phase = step.phase;
            const CatmullRom input(inHist);
            const float period = 1.0f / rate;
            float t = step.t;
            for (int tick = 0; tick < step.ticks; ++tick, t += 1.0f) {
                memory[write] = input.at(t * period);
                shiftIn(outHist, memory[read]);
                if (++write == length) write = 0;
                if (++read == length) read = 0;
            }
            return output();
        }

        // The read half of a clocked sample, for stretches whose reads cannot reach their
        // writes: the ticks read, and what they were is noted for writeClocked.
        TESSEL_PER_SAMPLE float readClocked(float newRate, int& ticks, float& time) noexcept {
            const ClockStep step = clockStep(phase, newRate, rate);
            rate = newRate;
            phase = step.phase;
            for (int tick = 0; tick < step.ticks; ++tick) {
                shiftIn(outHist, memory[read]);
                if (++read == length) read = 0;
            }
            ticks = step.ticks;
            time = step.t;
            return output();
        }

        // The write half: a joins the history, and the sample's ticks write it interpolated.
        TESSEL_PER_SAMPLE void writeClocked(float a, float sampleRate, int ticks,
                                            float time) noexcept {
            shiftIn(inHist, a);
            const CatmullRom input(inHist);
            const float period = 1.0f / sampleRate;
            for (int tick = 0; tick < ticks; ++tick, time += 1.0f) {
                memory[write] = input.at(time * period);
                if (++write == length) write = 0;
            }
        }

        // After a steep rise of the rate the next tick can lie more than a sample ahead
        // (negative phase); the output then holds instead of extrapolating the spline.
        TESSEL_PER_SAMPLE float output() const noexcept {
            return catmullRom(outHist, phase > 0.0f ? phase : 0.0f);
        }

        // The ticks each sample makes when the clock is steady: a constant rate whose sample
        // leaves the phase where it was. 0 when it is not steady at `r`.
        int steadyTicks(float r) const noexcept {
            if (rate != r) return 0;
            const ClockStep step = clockStep(phase, r, rate);
            return step.phase == phase && step.ticks > 0 ? step.ticks : 0;
        }
        // n samples of a steady clock making `ticks` ticks each, reading into y, and writing a.
        void readSteady(int ticks, int n, float* y) noexcept;
        void writeSteady(int ticks, int n, const float* a) noexcept;
        // n samples of plain delay output (no wrap of either position within them), and
        // their n inputs written.
        void readPlain(int n, float* y) const noexcept {
            stretchmath::copyFloats(y, memory + read, n);
        }
        void writePlain(int n, const float* a) noexcept {
            stretchmath::copyFloats(memory + write, a, n);
            advance(n);
        }
    };

    // A clock rate held to the range the clock runs at.
    TESSEL_PER_SAMPLE static float heldRate(float rate) noexcept {
        if (!(rate >= kMinClockRate)) rate = kMinClockRate;
        return rate > kMaxClockRate ? kMaxClockRate : rate;
    }

    // Fresh zeroed memory of length samples (not real-time safe); write position at the start.
    // A zeroed memory of that length is taken over as it is (the old one comes back in it).
    void allocate(int length, std::vector<float>& zeroed) {
        const std::size_t size = static_cast<std::size_t>(length > 1 ? length : 1);
        if (zeroed.size() == size)
            buffer.swap(zeroed);
        else
            buffer = std::vector<float>(size, 0.0f);
        state = Cursor{};
        state.memory = buffer.data();
        state.length = static_cast<int>(buffer.size());
        stale = false;
    }
    void allocate(int length) {
        std::vector<float> none;
        allocate(length, none);
    }

    // Clears memory (lazily, see above), histories and clock; positions stay.
    void clear() noexcept {
        for (int i = 0; i < 4; ++i) state.inHist[i] = state.outHist[i] = 0.0f;
        state.rate = 1.0f;
        state.phase = 0.0f;
        stale = state.length > 0;
        freshFrom = state.write;
        freshCount = 0;
        notedWrite = state.write;
        zeroedTo = state.read;
        readAhead = 0;
    }

    // Before a block of frames samples, plain or clocked: the stale positions the block can
    // read are zeroed. At most 8 * frames + 8 floats.
    void prepareBlock(int frames, bool clocked) noexcept {
        if (!stale) return;
        noteWrites();
        if (!stale) return;
        // A clocked sample makes at most eight ticks, each reading one position.
        readAhead = clocked ? 8 * frames + 8 : frames + 1;
        const int staleCount = state.length - freshCount;
        if (readAhead >= staleCount) {
            // The block may write over the whole rest: zero it, and clearing is done.
            zeroRun(state.write, staleCount);
            stale = false;
            return;
        }
        zeroAhead();
    }

    // Whether some positions still wait to be zeroed since the last clear().
    bool clearing() const noexcept { return stale; }

    // Whole samples of a delay of timeMs at rate Hz, within what the memory holds.
    int offsetFor(float timeMs, float rate) const noexcept {
        float samples = timeMs * rate / 1000.0f;
        if (!(samples >= 0.0f)) return 0;
        float longest = static_cast<float>(state.length - 1);
        return samples >= longest ? state.length - 1 : static_cast<int>(samples);
    }

    // Places the read position offset samples behind the write position.
    void placeRead(int offset) noexcept {
        if (offset < 0) offset = 0;
        if (offset > state.length - 1) offset = state.length - 1;
        state.read = state.write - offset;
        if (state.read < 0) state.read += state.length;
        if (stale) zeroAfterJump();
    }

    // The running state for a block, and back after it.
    const Cursor& cursor() const noexcept { return state; }
    // Only what runs is handed back: the memory and its length change under the engine lock
    // alone, and may be read meanwhile.
    void take(const Cursor& c) noexcept {
        state.write = c.write;
        state.read = c.read;
        std::memcpy(state.inHist, c.inHist, sizeof state.inHist);
        std::memcpy(state.outHist, c.outHist, sizeof state.outHist);
        state.rate = c.rate;
        state.phase = c.phase;
    }

    // One sample at a time, for callers outside a block (tests and tools).
    void pushInput(float a) noexcept { shiftIn(state.inHist, a); }
    float processPlain(float a) noexcept { return state.processPlain(a); }
    float processClocked(float rate) noexcept { return state.processClocked(rate); }

    // After frames samples of plain delay: the inputs they wrote join the history, as if each
    // had passed through pushInput (the plain path skips it per sample).
    void takeInputsFromMemory(int frames) noexcept;

    // frames samples of silence: the clock runs on at rate; the memory, which holds nothing
    // audible, and the positions stay.
    void runClockSilently(float rate, int frames) noexcept;

    // Whether the histories and the clock are numbers, and their largest magnitude.
    bool isFinite() const noexcept;
    float peak() const noexcept;

    int length() const noexcept { return state.length; }
    const float* memory() const noexcept { return buffer.data(); }
    int writePosition() const noexcept { return state.write; }
    int readPosition() const noexcept { return state.read; }
    float clockRate() const noexcept { return state.rate; }
    const float* inputHistory() const noexcept { return state.inHist; }

private:
    std::vector<float> buffer;
    Cursor state;

    // Lazy clearing. Since clear() the positions [freshFrom, write) were written (freshCount
    // of them, fewer than the length while stale); the others, from write on up to freshFrom,
    // count as zero. Of those, [read, zeroedTo) are zeroed already. Between two calls of
    // noteWrites the writer moves fewer positions than are stale, so the distance it moved
    // tells the count.
    bool stale = false;
    int freshFrom = 0;
    int freshCount = 0;
    int notedWrite = 0;
    int zeroedTo = 0;
    int readAhead = 0; // the most positions the running block can read

    int wrap(int position) const noexcept {
        const int len = state.length;
        return position >= len ? position - len : (position < 0 ? position + len : position);
    }

    // What the rest of the block can read from a new read position. It runs inside the
    // per-sample code when a fade ends in a jump, so it calls nothing (a call there, even
    // one never made, costs the plain delay half its speed): one position at a time.
    void zeroAfterJump() noexcept {
        noteWrites();
        zeroedTo = state.read;
        if (!stale) return;
        const int staleCount = state.length - freshCount;
        const int reader = wrap(state.read - state.write);
        if (reader >= staleCount) return;
        const int end = reader + readAhead < staleCount ? reader + readAhead : staleCount;
        float* const memory = buffer.data();
        int position = state.read;
        for (int n = end - reader; n > 0; --n) {
            memory[position] = 0.0f;
            if (++position == state.length) position = 0;
        }
        zeroedTo = position;
    }

    void noteWrites() noexcept {
        freshCount += wrap(state.write - notedWrite);
        notedWrite = state.write;
        if (freshCount >= state.length) stale = false;
    }

    // Zeroes count positions from position from on, wrapping.
    void zeroRun(int from, int count) noexcept {
        const int len = state.length;
        const int first = count < len - from ? count : len - from;
        float* const memory = buffer.data();
        std::fill(memory + from, memory + from + first, 0.0f);
        std::fill(memory, memory + (count - first), 0.0f);
    }

    // Zeroes the stale positions among the readAhead from the read position on.
    void zeroAhead() noexcept {
        const int staleCount = state.length - freshCount;
        // Distances from the write position: the reader's, and the end of what it may read.
        const int reader = wrap(state.read - state.write);
        if (reader >= staleCount) return; // it reads written positions only
        const int end = reader + readAhead < staleCount ? reader + readAhead : staleCount;
        const int done = wrap(zeroedTo - state.write);
        const int from = done > reader && done <= staleCount ? done : reader;
        if (from < end) zeroRun(wrap(state.write + from), end - from);
        zeroedTo = wrap(state.write + end);
    }
};
