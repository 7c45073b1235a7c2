// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's fonts as coverage masks of the printable ASCII characters.
#pragma once

#include <cstdint>
#include <vector>

namespace gen {

struct Glyph {
    int width = 0, height = 0, left = 0, top = 0, advance = 0;
    std::vector<uint8_t> coverage;
};

struct FontMasks {
    int id = 0;
    int scale = 1;
    int ascent = 0;
    int descent = 0;
    std::vector<Glyph> glyphs; // characters 32..126
};

// The font numbers the toolkit asks for, each at scales 1 and 2.
std::vector<FontMasks> renderFonts();

} // namespace gen
