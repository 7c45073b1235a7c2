// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeResources.h"

#include "toolkit/ResourceData.h"

#include <cstddef>

namespace {

struct FakeBitmap {
    int32_t id, width, height, frames;
    bool palette;
};

constexpr FakeBitmap kBitmaps[] = {
    {fake::kBackground, 875, 171, 1, false}, {fake::kAbout, 875, 171, 1, false},
    {fake::kKnobStrip, 37, 3636, 101, true}, {fake::kTwoFrames, 25, 44, 2, true},
    {fake::kThreeFrames, 30, 39, 3, true},   {fake::kFiveFrames, 16, 280, 5, true},
    {fake::kPattern, 16, 8, 1, false},       {fake::kHalfAlpha, 8, 4, 1, false},
    {fake::kWrongSize, 4, 4, 1, false},
};

const FakeBitmap* find(int32_t id) {
    for (const FakeBitmap& b : kBitmaps)
        if (b.id == id) return &b;
    return nullptr;
}

int loads = 0;

} // namespace

int fake::imageLoads() {
    return loads;
}

namespace VSTGUI {

bool getResourceImageSize(int32_t id, int& width, int& height) {
    const FakeBitmap* b = find(id);
    if (b == nullptr) return false;
    width = b->width;
    height = b->height;
    return true;
}

bool loadResourceImage(int32_t id, int scale, ImageData& out) {
    const FakeBitmap* b = find(id);
    if (b == nullptr || (scale != 1 && scale != 2)) return false;
    ++loads;
    out = {};
    out.width = b->width * scale;
    out.height = b->height * scale;
    if (id == fake::kWrongSize) out.width += 1;
    std::size_t count = std::size_t(out.width) * std::size_t(out.height);
    if (b->palette) {
        int32_t frameHeight = out.height / b->frames;
        for (int32_t f = 0; f < b->frames; ++f)
            out.palette.push_back(fake::framePixel(id, f, scale));
        out.indices.resize(count);
        for (int32_t y = 0; y < out.height; ++y)
            for (int32_t x = 0; x < out.width; ++x)
                out.indices[std::size_t(y) * std::size_t(out.width) + std::size_t(x)] =
                    uint8_t(y / frameHeight);
        return true;
    }
    out.argb.resize(count);
    for (int32_t y = 0; y < out.height; ++y)
        for (int32_t x = 0; x < out.width; ++x) {
            uint32_t p = fake::patternPixel(x, y, scale);
            if (id == fake::kHalfAlpha) p = x < out.width / 2 ? 0u : 0x80800000u;
            out.argb[std::size_t(y) * std::size_t(out.width) + std::size_t(x)] = p;
        }
    return true;
}

bool loadResourceFont(int32_t fontId, int scale, FontData& out) {
    if ((fontId != fake::kFont && fontId != fake::kSmallFont) || (scale != 1 && scale != 2))
        return false;
    out = {};
    out.ascent = fake::kAscent * scale;
    out.descent = fake::kDescent * scale;
    for (int c = 32; c <= 126; ++c) {
        GlyphData g;
        g.advance = fake::kGlyphAdvance * scale;
        if (c != ' ') {
            g.width = fake::kGlyphWidth * scale;
            g.height = fake::kAscent * scale;
            g.top = fake::kAscent * scale;
            g.coverage.assign(std::size_t(g.width) * std::size_t(g.height), 255);
        }
        out.glyphs.push_back(std::move(g));
    }
    return true;
}

} // namespace VSTGUI
