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

class DelayLine {
public:
    // Clock rates outside this range cannot come from the parameters; they are held to it
    // so that a faulty factor can neither stall the clock nor run the tick loop away.
    static constexpr float kMinClockRate = 0.125f;
    static constexpr float kMaxClockRate = 8.0f;

    // Fresh zeroed memory of length samples (not real-time safe); write position at the start.
    // A zeroed memory of that length is taken over as it is (the old one comes back in it).
    void allocate(int length, std::vector<float>& zeroed) {
        const std::size_t size = static_cast<std::size_t>(length > 1 ? length : 1);
        if (zeroed.size() == size)
            dlyBuf.swap(zeroed);
        else
            dlyBuf = std::vector<float>(size, 0.0f);
        dlyLen = static_cast<int>(dlyBuf.size());
        dlyWrite = 0;
        dlyRead = 0;
        stale = false;
    }
    void allocate(int length) {
        std::vector<float> none;
        allocate(length, none);
    }

    // Clears memory (lazily, see above), histories and clock; positions stay.
    void clear() noexcept {
        for (int i = 0; i < 4; ++i) inHist[i] = outHist[i] = 0.0f;
        clkRate = 1.0f;
        clkPhase = 0.0f;
        stale = dlyLen > 0;
        freshFrom = dlyWrite;
        freshCount = 0;
        notedWrite = dlyWrite;
        zeroedTo = dlyRead;
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
        const int staleCount = dlyLen - freshCount;
        if (readAhead >= staleCount) {
            // The block may write over the whole rest: zero it, and clearing is done.
            zeroRun(dlyWrite, staleCount);
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
        float longest = static_cast<float>(dlyLen - 1);
        return samples >= longest ? dlyLen - 1 : static_cast<int>(samples);
    }

    // Places the read position offset samples behind the write position.
    void placeRead(int offset) noexcept {
        if (offset < 0) offset = 0;
        if (offset > dlyLen - 1) offset = dlyLen - 1;
        dlyRead = dlyWrite - offset;
        if (dlyRead < 0) dlyRead += dlyLen;
        if (stale) zeroAfterJump();
    }

    // The newest input joins the history the clocked writer interpolates.
    TESSEL_PER_SAMPLE void pushInput(float a) noexcept {
        inHist[0] = inHist[1];
        inHist[1] = inHist[2];
        inHist[2] = inHist[3];
        inHist[3] = a;
    }

    // After frames samples of processPlain: the inputs they wrote join the history, as if
    // each had passed through pushInput (the plain path skips it per sample).
    void takeInputsFromMemory(int frames) noexcept {
        if (frames >= 4 && dlyWrite >= 4) {
            // The last four writes lie side by side: one copy, which the next block's reads
            // of the history can take whole.
            std::memcpy(inHist, dlyBuf.data() + dlyWrite - 4, sizeof inHist);
            return;
        }
        float h[4];
        for (int i = 0; i < 4; ++i) {
            const int back = 4 - i; // samples before the next write position
            if (back <= frames && back <= dlyLen) {
                const int pos = dlyWrite - back;
                h[i] = dlyBuf[static_cast<std::size_t>(pos < 0 ? pos + dlyLen : pos)];
            } else {
                h[i] = i + frames < 4 ? inHist[i + frames] : 0.0f;
            }
        }
        for (int i = 0; i < 4; ++i) inHist[i] = h[i];
    }

    // Unclocked: writes a, then reads; equal positions give a delay of 0 samples.
    TESSEL_PER_SAMPLE float processPlain(float a) noexcept {
        dlyBuf[static_cast<std::size_t>(dlyWrite)] = a;
        float y = dlyBuf[static_cast<std::size_t>(dlyRead)];
        advance();
        return y;
    }

    // A clock rate held to the range the clock runs at.
    TESSEL_PER_SAMPLE static float heldRate(float rate) noexcept {
        if (!(rate >= kMinClockRate)) rate = kMinClockRate;
        return rate > kMaxClockRate ? kMaxClockRate : rate;
    }

    // Clocked at rate memory samples per audio sample; uses the history of pushInput.
    TESSEL_PER_SAMPLE float processClocked(float rate) noexcept {
        rate = heldRate(rate);
        const float old = clkRate;
        clkRate = rate;
        // The part of the clock cycle still to run is rescaled to the new rate.
        const float p = 1.0f - (1.0f - clkPhase) * clkRate / old;
        clkPhase = p + clkRate;
        float t = 1.0f - p;
        // Locals: the memory writes cannot alias the histories, phase or positions.
        const CatmullRom input(inHist);
        float out[4] = {outHist[0], outHist[1], outHist[2], outHist[3]};
        float* const memory = dlyBuf.data();
        const float period = 1.0f / clkRate; // audio samples per tick
        const int len = dlyLen;
        int write = dlyWrite, read = dlyRead;
        float phase = clkPhase;
        while (phase >= 1.0f) {
            phase -= 1.0f;
            memory[write] = input.at(t * period);
            out[0] = out[1];
            out[1] = out[2];
            out[2] = out[3];
            out[3] = memory[read];
            if (++write == len) write = 0;
            if (++read == len) read = 0;
            t += 1.0f;
        }
        clkPhase = phase;
        dlyWrite = write;
        dlyRead = read;
        for (int i = 0; i < 4; ++i) outHist[i] = out[i];
        // After a steep rise of the rate the next tick can lie more than a sample ahead
        // (negative phase); the output then holds instead of extrapolating the spline.
        return catmullRom(out, phase > 0.0f ? phase : 0.0f);
    }

    int length() const noexcept { return dlyLen; }
    const float* memory() const noexcept { return dlyBuf.data(); }

    std::vector<float> dlyBuf;
    int dlyLen = 0;
    int dlyWrite = 0;      // next write position
    int dlyRead = 0;       // next read position
    float inHist[4] = {};  // last four inputs, oldest first
    float outHist[4] = {}; // last four values read in clocked mode, oldest first
    float clkRate = 1.0f;  // memory samples per audio sample
    float clkPhase = 0.0f; // in [0, 1) between samples

private:
    // Lazy clearing. Since clear() the positions [freshFrom, dlyWrite) were written
    // (freshCount of them, fewer than dlyLen while stale); the others, from dlyWrite on up to
    // freshFrom, count as zero. Of those, [dlyRead, zeroedTo) are zeroed already. Between two
    // calls of noteWrites the writer moves fewer positions than are stale, so the distance it
    // moved tells the count.
    bool stale = false;
    int freshFrom = 0;
    int freshCount = 0;
    int notedWrite = 0;
    int zeroedTo = 0;
    int readAhead = 0; // the most positions the running block can read

    int wrap(int position) const noexcept {
        return position >= dlyLen ? position - dlyLen
                                  : (position < 0 ? position + dlyLen : position);
    }

    // What the rest of the block can read from a new read position. It runs inside the
    // per-sample code when a fade ends in a jump, so it calls nothing (a call there, even
    // one never made, costs the plain delay half its speed): one position at a time.
    void zeroAfterJump() noexcept {
        noteWrites();
        zeroedTo = dlyRead;
        if (!stale) return;
        const int staleCount = dlyLen - freshCount;
        const int reader = wrap(dlyRead - dlyWrite);
        if (reader >= staleCount) return;
        const int end = reader + readAhead < staleCount ? reader + readAhead : staleCount;
        float* const memory = dlyBuf.data();
        int position = dlyRead;
        for (int n = end - reader; n > 0; --n) {
            memory[position] = 0.0f;
            if (++position == dlyLen) position = 0;
        }
        zeroedTo = position;
    }

    void noteWrites() noexcept {
        freshCount += wrap(dlyWrite - notedWrite);
        notedWrite = dlyWrite;
        if (freshCount >= dlyLen) stale = false;
    }

    // Zeroes count positions from position from on, wrapping.
    void zeroRun(int from, int count) noexcept {
        const int first = count < dlyLen - from ? count : dlyLen - from;
        float* const memory = dlyBuf.data();
        std::fill(memory + from, memory + from + first, 0.0f);
        std::fill(memory, memory + (count - first), 0.0f);
    }

    // Zeroes the stale positions among the readAhead from the read position on.
    void zeroAhead() noexcept {
        const int staleCount = dlyLen - freshCount;
        // Distances from the write position: the reader's, and the end of what it may read.
        const int reader = wrap(dlyRead - dlyWrite);
        if (reader >= staleCount) return; // it reads written positions only
        const int end = reader + readAhead < staleCount ? reader + readAhead : staleCount;
        const int done = wrap(zeroedTo - dlyWrite);
        const int from = done > reader && done <= staleCount ? done : reader;
        if (from < end) zeroRun(wrap(dlyWrite + from), end - from);
        zeroedTo = wrap(dlyWrite + end);
    }

    void advance() noexcept {
        if (++dlyWrite == dlyLen) dlyWrite = 0;
        if (++dlyRead == dlyLen) dlyRead = 0;
    }
};
