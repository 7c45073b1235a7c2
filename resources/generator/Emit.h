// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the generated C++ source that holds the art: one blob of palettes and LZ-coded
// pixels, and the tables of ArtTables.h that point into it.
#pragma once

#include "resources/generator/Fonts.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gen {

struct EncodedImage {
    std::vector<uint32_t> palette;
    std::vector<uint8_t> code;
};

struct EncodedBitmap {
    int id = 0;
    int width = 0, height = 0;
    EncodedImage image[2];
};

// Returns the size of the blob written; 0 on an I/O failure.
size_t writeSource(const std::string& path, const std::vector<EncodedBitmap>& bitmaps,
                   const std::vector<FontMasks>& fonts);

} // namespace gen
