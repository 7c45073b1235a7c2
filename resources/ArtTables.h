// SPDX-License-Identifier: GPL-3.0-or-later
// The tables through which the generated art data describes itself. The generator writes
// one source file that defines them; ResourceData.cpp reads them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace art {

// One bitmap at one scale: a palette of up to 256 premultiplied 0xAARRGGBB colours (4
// bytes an entry, little-endian) and one LZ-coded index byte per pixel, both in the blob.
// Identical contents share one copy.
struct ImageRecord {
    uint32_t codeOffset;
    uint32_t codeSize;
    uint32_t paletteOffset;
    uint32_t paletteSize;
};

struct BitmapRecord {
    int32_t id;
    uint16_t width; // at scale 1
    uint16_t height;
    ImageRecord image[2]; // scale 1, scale 2
};

// One glyph's coverage mask within its font's decoded coverage bytes.
struct GlyphRecord {
    int16_t width;
    int16_t height;
    int16_t left;
    int16_t top;
    int16_t advance;
    uint32_t offset;
};

// One font at one scale: 95 glyphs for the characters 32..126 from `firstGlyph` on, and
// their coverage masks, LZ-coded as one stream of `rawSize` bytes.
struct FontRecord {
    int32_t id;
    int32_t scale;
    int16_t ascent;
    int16_t descent;
    uint32_t firstGlyph;
    uint32_t codeOffset;
    uint32_t codeSize;
    uint32_t rawSize;
};

constexpr int kFirstChar = 32;
constexpr int kGlyphCount = 95;

extern const unsigned char* const kArtBlob;
extern const size_t kArtBlobSize;
extern const BitmapRecord kBitmaps[];
extern const size_t kBitmapCount;
extern const GlyphRecord kGlyphs[];
extern const FontRecord kFonts[];
extern const size_t kFontCount;

} // namespace art
