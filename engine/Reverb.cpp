#include "engine/Reverb.h"

// Neutral until the reverb is built: signals pass unchanged.
void Reverb::allocate(float) {}
void Reverb::setType(int type, float) noexcept {
    rvbType = type;
}
void Reverb::setDamp(float, int) noexcept {}
void Reverb::reset() noexcept {}
void Reverb::process(float[2], float) noexcept {}
