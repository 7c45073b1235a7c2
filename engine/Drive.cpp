#include "engine/Drive.h"

// Neutral until the drive is built: signals pass unchanged.
void Drive::setLength(int n) noexcept {
    avgLen = n;
    drivePos = 0;
}
void Drive::reset() noexcept {}
void Drive::rebuildSums() noexcept {}
void Drive::process(float[2], float, bool) noexcept {}
