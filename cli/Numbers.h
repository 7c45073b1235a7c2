// SPDX-License-Identifier: GPL-3.0-or-later
// Locale-independent number reading and writing for the command line and its reports.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

// The whole text as a finite decimal number ("0.25", "1e-3"); none for anything else.
std::optional<double> parseNumber(std::string_view text);

// The whole text as a decimal integer; none for anything else or on overflow.
std::optional<long long> parseInteger(std::string_view text);

// value with a fixed number of decimals, always with '.' as the decimal point.
std::string formatFixed(double value, int decimals);

// The shortest text that reads back as the same float ("0.4", "0.8333333").
std::string formatShortest(float value);

} // namespace cli
