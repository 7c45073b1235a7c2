// SPDX-License-Identifier: GPL-3.0-or-later
// The panel art behind the toolkit's bitmap and font look-ups: finds a bitmap or font in
// the generated tables and decodes it.
#include "toolkit/ResourceData.h"

#include "resources/ArtCodec.h"
#include "resources/ArtTables.h"

namespace VSTGUI {

namespace {

const art::BitmapRecord* findBitmap(int32_t id) {
    for (size_t i = 0; i < art::kBitmapCount; ++i)
        if (art::kBitmaps[i].id == id) return &art::kBitmaps[i];
    return nullptr;
}

const art::FontRecord* findFont(int32_t id, int scale) {
    for (size_t i = 0; i < art::kFontCount; ++i)
        if (art::kFonts[i].id == id && art::kFonts[i].scale == scale) return &art::kFonts[i];
    return nullptr;
}

uint32_t readWord(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

bool getResourceImageSize(int32_t id, int& width, int& height) {
    const art::BitmapRecord* b = findBitmap(id);
    if (!b) return false;
    width = b->width;
    height = b->height;
    return true;
}

bool loadResourceImage(int32_t id, int scale, ImageData& out) {
    const art::BitmapRecord* b = findBitmap(id);
    if (!b || (scale != 1 && scale != 2)) return false;
    const art::ImageRecord& r = b->image[scale - 1];
    ImageData img;
    img.width = b->width * scale;
    img.height = b->height * scale;
    img.indices.resize(size_t(img.width) * size_t(img.height));
    if (!art::lzDecode(art::kArtBlob + r.codeOffset, r.codeSize, img.indices.data(),
                       img.indices.size()))
        return false;
    img.palette.resize(r.paletteSize);
    for (uint32_t i = 0; i < r.paletteSize; ++i)
        img.palette[i] = readWord(art::kArtBlob + r.paletteOffset + 4 * i);
    out = std::move(img);
    return true;
}

bool loadResourceFont(int32_t fontId, int scale, FontData& out) {
    const art::FontRecord* f = findFont(fontId, scale);
    if (!f) return false;
    std::vector<uint8_t> coverage(f->rawSize);
    if (!art::lzDecode(art::kArtBlob + f->codeOffset, f->codeSize, coverage.data(),
                       coverage.size()))
        return false;
    FontData font;
    font.ascent = f->ascent;
    font.descent = f->descent;
    font.glyphs.resize(art::kGlyphCount);
    for (int c = 0; c < art::kGlyphCount; ++c) {
        const art::GlyphRecord& g = art::kGlyphs[f->firstGlyph + uint32_t(c)];
        GlyphData& d = font.glyphs[size_t(c)];
        d.width = g.width;
        d.height = g.height;
        d.left = g.left;
        d.top = g.top;
        d.advance = g.advance;
        const size_t n = size_t(g.width) * size_t(g.height);
        if (g.offset + n > coverage.size()) return false;
        d.coverage.assign(coverage.begin() + long(g.offset), coverage.begin() + long(g.offset + n));
    }
    out = std::move(font);
    return true;
}

} // namespace VSTGUI
