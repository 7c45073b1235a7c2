// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Copies at most maxLen characters and a terminator.
void put(const char* s, char* text, VstInt32 maxLen) noexcept {
    if (text == nullptr) return;
    if (maxLen < 0) maxLen = 0;
    std::size_t n = std::strlen(s);
    if (n > static_cast<std::size_t>(maxLen)) n = static_cast<std::size_t>(maxLen);
    std::memcpy(text, s, n);
    text[n] = '\0';
}

} // namespace

void NumberFormat::float2string(float value, char* text, VstInt32 maxLen) noexcept {
    constexpr int kWidth = 8;
    char out[32];
    int len = 0;
    double a = std::fabs(static_cast<double>(value));
    if (!std::isfinite(a)) a = 0.0; // no parameter produces it; keep the text well formed
    const bool negative = value < 0.0f;
    int k = negative ? 1 : 0;
    ++k; // the point

    // Integer part from its last digit backwards; leading digits that do not fit are lost.
    char integer[kWidth];
    int digits = 0;
    double i = std::floor(a);
    integer[digits++] = static_cast<char>('0' + static_cast<int>(std::fmod(i, 10.0)));
    ++k;
    for (double q = i / 10.0; q >= 1.0 && k < kWidth; q /= 10.0, ++k)
        integer[digits++] = static_cast<char>('0' + static_cast<int>(std::fmod(q, 10.0)));

    if (negative) out[len++] = '-';
    while (digits > 0) out[len++] = integer[--digits];
    out[len++] = '.';

    // Fraction scaled to the remaining places, written from its last digit backwards.
    if (k < kWidth) {
        const int places = kWidth - k;
        double f = std::fmod(a, 1.0) * std::pow(10.0, places);
        for (int p = places - 1; p >= 0; --p) {
            int d = 0;
            if (f > 0.0) {
                d = static_cast<int>(std::fmod(f, 10.0));
                f /= 10.0;
            }
            out[len + p] = static_cast<char>('0' + d);
        }
        len += places;
    }
    out[len] = '\0';
    put(out, text, maxLen);
}

void NumberFormat::dB2string(float value, char* text, VstInt32 maxLen) noexcept {
    if (!(value > 0.0f)) {
        put("-oo", text, maxLen);
        return;
    }
    float dB = static_cast<float>(20.0 * static_cast<double>(std::log10(value)));
    float2string(dB, text, maxLen);
}

void NumberFormat::long2string(long long value, char* text, VstInt32 maxLen) noexcept {
    if (value >= 100000000) {
        put("Huge!", text, maxLen);
        return;
    }
    char out[32];
    auto result = std::to_chars(out, out + sizeof out - 1, value);
    *result.ptr = '\0';
    put(out, text, maxLen);
}
