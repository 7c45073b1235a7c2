#include "engine/Modulation.h"

// Neutral until the modulation sources are built: factors stay at 1.
Modulation::Modulation() noexcept = default;
void Modulation::reset(float) noexcept {}
void Modulation::restartLfo(float) noexcept {}
void Modulation::placeSides(float) noexcept {}
void Modulation::prepareBlock(bool, float, int, int, float) noexcept {}
void Modulation::process(const float[2], bool, const ModulationSettings&) noexcept {
    vcoFactor[0] = vcoFactor[1] = fltFactor = 1.0f;
}
