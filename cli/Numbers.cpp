// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Numbers.h"

#include <charconv>
#include <cmath>

namespace cli {

std::optional<double> parseNumber(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> parseInteger(std::string_view text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string formatFixed(double value, int decimals) {
    char text[64];
    auto [ptr, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "?";
    return std::string(text, ptr);
}

std::string formatShortest(float value) {
    char text[64];
    auto [ptr, ec] = std::to_chars(text, text + sizeof text, value);
    if (ec != std::errc()) return "?";
    return std::string(text, ptr);
}

} // namespace cli
