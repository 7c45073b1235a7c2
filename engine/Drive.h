// SPDX-License-Identifier: GPL-3.0-or-later
// Drive: a level-dependent gain from a short running mean of the signal's magnitude, which
// lowers the level at which the feedback loop saturates.
//
// With m the mean of |a| * drive over the last avgLen samples, the gain is 1 - m/4 up to
// m = 2 and 1/m above (continuous at 0.5): a steady level |a| leaves as |a| (1 - drive |a|/4)
// and never above 1/drive.
#pragma once

#include "engine/PerSample.h"
#include "engine/StateCheck.h"

#include <algorithm>

#include <cmath>

class Drive {
public:
    // Running-mean length for a sample rate: 2 up to 25 kHz, 4 up to 50 kHz, 8 up to
    // 100 kHz, else 16, so the mean spans about the same time at every rate.
    static int lengthForRate(int dspRateInt) noexcept {
        if (dspRateInt <= 25000) return 2;
        if (dspRateInt <= 50000) return 4;
        if (dspRateInt <= 100000) return 8;
        return 16;
    }
    // Running-mean length (2, 4, 8 or 16) for the sample rate; ring position back to 0.
    void setLength(int avgLen) noexcept;
    // Clears rings and sums (all 16 entries).
    void reset() noexcept;
    // Prologue of a block that runs the drive: rebuilds the running sums from the rings.
    void rebuildSums() noexcept;
    // One sample: feeds |a| * drive into the rings; when drvOn, also runs the sums and
    // scales a. After samples with the drive off the sums wait for rebuildSums.
    inline void process(float a[2], float drive, bool drvOn) noexcept;
    // n samples of process with the drive off at once, the drive values of a stretch's even
    // and odd samples given: only the last avgLen of them stay in the rings.
    void fillRings(const float* aL, const float* aR, int n, const float drive[2]) noexcept;
    // Whether the rings and sums are numbers, and the rings' largest magnitude.
    bool isFinite() const noexcept { return statecheck::allFinite(ring(0), ring(1), driveSum); }
    float peak() const noexcept {
        return std::max(statecheck::peak(ring(0)), statecheck::peak(ring(1)));
    }

    int avgLen = 4;
    float driveRing[2][16] = {};
    int drivePos = 0;
    float driveSum[2] = {0.0f, 0.0f};

private:
    // The entries of a side's ring that the running mean spans.
    std::span<const float> ring(int side) const noexcept {
        return {driveRing[side], static_cast<std::size_t>(avgLen > 16 ? 16 : avgLen)};
    }
};

TESSEL_PER_SAMPLE void Drive::process(float a[2], float drive, bool drvOn) noexcept {
    const int pos = drivePos & 15;
    if (++drivePos >= avgLen) drivePos = 0;
    if (!drvOn) {
        // Only the rings: the sums are rebuilt from them at the start of every block that
        // runs the drive.
        for (int s = 0; s < 2; ++s) driveRing[s][pos] = std::fabs(a[s]) * drive;
        return;
    }
    for (int s = 0; s < 2; ++s) {
        float& slot = driveRing[s][pos];
        driveSum[s] -= slot;
        slot = std::fabs(a[s]) * drive;
        driveSum[s] += slot;
    }
    const float len = static_cast<float>(avgLen);
    for (int s = 0; s < 2; ++s) {
        const float sum = driveSum[s];
        const float g = sum > 2.0f * len ? len / sum : 1.0f - sum * (0.25f / len);
        a[s] *= g;
    }
}
