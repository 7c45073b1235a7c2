#include "engine/StateVariableFilter.h"

// Neutral until the filter is built: signals pass unchanged.
void StateVariableFilter::reset() noexcept {}
void StateVariableFilter::updateCoefficients(float, float, float, float, float) noexcept {}
void StateVariableFilter::process(float[2], int) noexcept {}
