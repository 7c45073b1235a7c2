// SPDX-License-Identifier: GPL-3.0-or-later
// The interface base's three number formats for value texts: decibels, an eight-character
// fixed-point number and a whole number. They never consult the C locale, so a host that
// set LC_NUMERIC to a comma locale still reads "2000.000000" style texts.
#pragma once

#include "host/vst2.h"

struct NumberFormat {
    // Longest text a value format writes, terminator excluded.
    static constexpr VstInt32 kMaxValueChars = 12;

    // 20·log10(value) as float2string, or "-oo" for value <= 0.
    static void dB2string(float value, char* text, VstInt32 maxLen) noexcept;
    // Eight characters, sign and point included; digits are truncated, never rounded.
    static void float2string(float value, char* text, VstInt32 maxLen) noexcept;
    // Decimal digits with a leading "-" when negative; "Huge!" from 100000000 up.
    static void long2string(long long value, char* text, VstInt32 maxLen) noexcept;
};
