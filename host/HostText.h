// SPDX-License-Identifier: GPL-3.0-or-later
// Bounded text copies into buffers that belong to the host. The interface's nominal sizes
// are smaller than what real hosts allocate, but nothing guarantees more: every text the
// plug-in hands out fits the bound chosen for its kind, terminator included.
#pragma once

#include <cstddef>
#include <cstring>

namespace hosttext {

constexpr std::size_t kParamTextBytes = 24;   // parameter names, labels and value texts
constexpr std::size_t kProgramNameBytes = 25; // 24 characters and the terminator
constexpr std::size_t kEffectNameBytes = 32;
constexpr std::size_t kVendorBytes = 64; // vendor and product strings

// Copies at most bytes - 1 characters of text and a terminator into dest.
inline void copy(char* dest, const char* text, std::size_t bytes) noexcept {
    if (dest == nullptr || bytes == 0) return;
    std::size_t n = 0;
    if (text != nullptr)
        while (n + 1 < bytes && text[n] != '\0') ++n;
    if (n > 0) std::memcpy(dest, text, n);
    dest[n] = '\0';
}

} // namespace hosttext
