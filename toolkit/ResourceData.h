// SPDX-License-Identifier: GPL-3.0-or-later
// What the toolkit needs from the library that holds the art: bitmaps by resource number
// and the fonts for text, each at scale 1 or 2. The toolkit only declares these; the panel
// art (resources/) defines them in the plug-in, and toolkit tests link a small fake.
#pragma once

#include <cstdint>
#include <vector>

namespace VSTGUI {

// One bitmap at one scale, row-major, top row first. Either `argb` holds one premultiplied
// 0xAARRGGBB word per pixel, or `indices` holds one byte per pixel into `palette` (up to
// 256 premultiplied 0xAARRGGBB entries); the art chooses per bitmap to save memory.
struct ImageData {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
    std::vector<uint8_t> indices;
    std::vector<uint32_t> palette;
};

// One glyph of a font: an 8-bit coverage mask placed relative to the pen position on the
// baseline (left = x offset of the mask's first column, top = rows from the mask's first
// row up to the baseline), and how far the pen moves on.
struct GlyphData {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int advance = 0;
    std::vector<uint8_t> coverage;
};

// A font for the printable ASCII characters 32..126 (glyphs[c - 32]) at one scale.
struct FontData {
    int ascent = 0;  // pixels above the baseline
    int descent = 0; // pixels below it
    std::vector<GlyphData> glyphs;
};

// Size at scale 1 of bitmap resource `id`; false when there is no such bitmap.
bool getResourceImageSize(int32_t id, int& width, int& height);

// Pixels of bitmap resource `id` at `scale` (1 or 2): exactly scale times the scale-1 size
// in each direction. False (and `out` untouched) for an unknown id or scale.
bool loadResourceImage(int32_t id, int scale, ImageData& out);

// Font number `fontId` (the toolkit's font numbers; 6 is the very small one used by the
// preset bar) at `scale`. False for an unknown font or scale.
bool loadResourceFont(int32_t fontId, int scale, FontData& out);

} // namespace VSTGUI
