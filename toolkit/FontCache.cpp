// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/FontCache.h"

namespace VSTGUI {

const FontData* FontCache::get(int32_t fontId, int32_t scale) {
    auto key = std::make_pair(fontId, scale);
    auto found = fonts.find(key);
    if (found != fonts.end()) return found->second.get();
    auto font = std::make_unique<FontData>();
    bool ok = (scale == 1 || scale == 2) && loadResourceFont(fontId, scale, *font) &&
              font->glyphs.size() == 95;
    // A failed load is remembered as null so it is not retried on every draw.
    auto& slot = fonts[key];
    if (ok) slot = std::move(font);
    return slot.get();
}

const GlyphData* FontCache::glyph(const FontData& font, char c) {
    auto code = static_cast<unsigned char>(c);
    if (code < 32 || code > 126) code = ' ';
    return &font.glyphs[code - 32];
}

int32_t FontCache::textWidth(const FontData& font, std::string_view text) {
    int32_t width = 0;
    for (char c : text) width += glyph(font, c)->advance;
    return width;
}

} // namespace VSTGUI
