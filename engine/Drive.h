// Drive: a level-dependent gain from a short running mean of the signal's magnitude, which
// lowers the level at which the feedback loop saturates.
#pragma once

class Drive {
public:
    // Running-mean length (2, 4, 8 or 16) for the sample rate; ring position back to 0.
    void setLength(int avgLen) noexcept;
    // Clears rings and sums (all 16 entries).
    void reset() noexcept;
    // Block prologue: rebuilds the running sums from the rings.
    void rebuildSums() noexcept;
    // One sample: feeds |a| * drive into the rings; scales a when drvOn.
    void process(float a[2], float drive, bool drvOn) noexcept;

    int avgLen = 4;
    float driveRing[2][16] = {};
    int drivePos = 0;
    float driveSum[2] = {0.0f, 0.0f};
};
