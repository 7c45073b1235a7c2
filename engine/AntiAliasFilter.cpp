#include "engine/AntiAliasFilter.h"

// Neutral until the anti-alias filter is built: signals pass unchanged.
void AntiAliasFilter::design(float) noexcept {}
void AntiAliasFilter::reset() noexcept {}
void AntiAliasFilter::process(float[2]) noexcept {}
void AntiAliasFilter::preset(const float[2]) noexcept {}
