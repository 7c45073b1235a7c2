// SPDX-License-Identifier: GPL-3.0-or-later
// Fonts by number and scale, loaded from the art on first use and kept for the frame's
// life. Font numbers are the art's; 6 is the very small font of the preset bar.
#pragma once

#include "toolkit/ResourceData.h"

#include <map>
#include <memory>
#include <string_view>
#include <utility>

namespace VSTGUI {

inline constexpr int32_t kNormalFont = 3;
inline constexpr int32_t kNormalFontVerySmall = 6;

class FontCache {
public:
    // The font, or null when the art has no such font at that scale.
    const FontData* get(int32_t fontId, int32_t scale);

    // Pen advance of `text` in pixels of the font's scale; characters outside 32..126 count
    // as spaces.
    static int32_t textWidth(const FontData& font, std::string_view text);
    static const GlyphData* glyph(const FontData& font, char c);

private:
    std::map<std::pair<int32_t, int32_t>, std::unique_ptr<FontData>> fonts;
};

} // namespace VSTGUI
