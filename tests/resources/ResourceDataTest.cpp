// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/ResourceData.h"
#include "editor/PanelLayout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using VSTGUI::FontData;
using VSTGUI::ImageData;

namespace {

constexpr int kFontIds[] = {0, 1, 2, 3, 4, 5, 6};

uint32_t pixelAt(const ImageData& img, size_t i) {
    return img.palette[img.indices[i]];
}

// One frame's pixels, for comparing frames of a strip.
std::vector<uint32_t> frameOf(const ImageData& img, int frame, int frames) {
    const size_t rows = size_t(img.height / frames), w = size_t(img.width);
    std::vector<uint32_t> out;
    for (size_t i = size_t(frame) * rows * w; i < size_t(frame + 1) * rows * w; ++i)
        out.push_back(pixelAt(img, i));
    return out;
}

struct Hash {
    uint64_t h = 1469598103934665603ull;
    void add(uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) h = (h ^ ((v >> (8 * i)) & 255)) * 1099511628211ull;
    }
};

} // namespace

TEST(ResourceData, EveryBitmapHasItsSizeAtBothScalesAndIsOpaque) {
    for (const panel::Bitmap& e : panel::kBitmaps) {
        SCOPED_TRACE("bitmap " + std::to_string(e.id));
        int w = 0, h = 0;
        ASSERT_TRUE(VSTGUI::getResourceImageSize(e.id, w, h));
        EXPECT_EQ(w, e.width);
        EXPECT_EQ(h, e.height);
        EXPECT_EQ(h % e.frames, 0);
        for (int scale : {1, 2}) {
            ImageData img;
            ASSERT_TRUE(VSTGUI::loadResourceImage(e.id, scale, img)) << "scale " << scale;
            EXPECT_EQ(img.width, e.width * scale);
            EXPECT_EQ(img.height, e.height * scale);
            ASSERT_EQ(img.indices.size(), size_t(img.width) * size_t(img.height));
            EXPECT_TRUE(img.argb.empty());
            ASSERT_FALSE(img.palette.empty());
            ASSERT_LE(img.palette.size(), 256u);
            bool inRange = true, opaque = true;
            for (uint8_t i : img.indices) inRange = inRange && i < img.palette.size();
            ASSERT_TRUE(inRange) << "an index beyond the palette at scale " << scale;
            // The toolkit may copy bitmaps without blending: the panel is baked in.
            for (uint32_t p : img.palette) opaque = opaque && (p >> 24) == 255;
            EXPECT_TRUE(opaque) << "scale " << scale;
        }
    }
}

TEST(ResourceData, EveryFrameOfAStripShowsSomethingElse) {
    for (const panel::Bitmap& e : panel::kBitmaps) {
        if (e.frames < 2) continue;
        SCOPED_TRACE("bitmap " + std::to_string(e.id));
        for (int scale : {1, 2}) {
            ImageData img;
            ASSERT_TRUE(VSTGUI::loadResourceImage(e.id, scale, img));
            std::set<std::vector<uint32_t>> frames;
            for (int f = 0; f < e.frames; ++f) frames.insert(frameOf(img, f, e.frames));
            EXPECT_EQ(frames.size(), size_t(e.frames)) << "two frames alike at scale " << scale;
        }
    }
}

TEST(ResourceData, UnknownBitmapsFontsAndScalesAreRefused) {
    ImageData img;
    img.width = 99;
    int w = -1, h = -1;
    for (int id : {-1, 0, 127, 156, 162, 175, 988, 1000}) {
        EXPECT_FALSE(VSTGUI::getResourceImageSize(id, w, h)) << id;
        EXPECT_FALSE(VSTGUI::loadResourceImage(id, 1, img)) << id;
    }
    for (int scale : {-1, 0, 3, 4})
        EXPECT_FALSE(VSTGUI::loadResourceImage(130, scale, img)) << "scale " << scale;
    EXPECT_EQ(w, -1);
    EXPECT_EQ(img.width, 99) << "a refused load must leave the output alone";
    FontData font;
    EXPECT_FALSE(VSTGUI::loadResourceFont(7, 1, font));
    EXPECT_FALSE(VSTGUI::loadResourceFont(-1, 1, font));
    EXPECT_FALSE(VSTGUI::loadResourceFont(6, 3, font));
    EXPECT_FALSE(VSTGUI::loadResourceFont(6, 0, font));
    EXPECT_TRUE(font.glyphs.empty());
}

TEST(ResourceData, FontsCoverPrintableAsciiAtBothScales) {
    for (int id : kFontIds) {
        for (int scale : {1, 2}) {
            SCOPED_TRACE("font " + std::to_string(id) + " scale " + std::to_string(scale));
            FontData f;
            ASSERT_TRUE(VSTGUI::loadResourceFont(id, scale, f));
            ASSERT_EQ(f.glyphs.size(), 95u);
            EXPECT_GT(f.ascent, 0);
            EXPECT_GT(f.descent, 0);
            for (int c = 33; c <= 126; ++c) {
                const auto& g = f.glyphs[size_t(c - 32)];
                EXPECT_GT(g.advance, 0) << char(c);
                ASSERT_EQ(g.coverage.size(), size_t(g.width) * size_t(g.height)) << char(c);
                int ink = 0;
                for (uint8_t v : g.coverage) ink = std::max(ink, int(v));
                EXPECT_GT(ink, 0) << "no ink in '" << char(c) << "'";
                EXPECT_LE(g.top, f.ascent);
                EXPECT_LE(g.height - g.top, f.descent);
            }
            EXPECT_GT(f.glyphs[0].advance, 0) << "the space must move the pen";
            EXPECT_TRUE(f.glyphs[0].coverage.empty());
        }
    }
    // The very small font fits the preset bar's 10-pixel rows.
    FontData small;
    ASSERT_TRUE(VSTGUI::loadResourceFont(6, 1, small));
    EXPECT_LE(small.ascent + small.descent, 10);
}

TEST(ResourceData, DecodedArtFitsTheEditorsMemoryBudget) {
    // Everything decoded at scale 2 as the editor holds it, against a budget that leaves
    // room for the window's framebuffer within 24 MB.
    size_t bytes = 0;
    for (const panel::Bitmap& e : panel::kBitmaps) {
        ImageData img;
        ASSERT_TRUE(VSTGUI::loadResourceImage(e.id, 2, img));
        bytes += img.indices.size() + 4 * img.palette.size() + 4 * img.argb.size();
    }
    EXPECT_LT(bytes, size_t(16) << 20);
}

TEST(ResourceData, DecodedArtMatchesItsReviewedHash) {
    // A change to the art changes this hash: update it deliberately after looking at the
    // generator's preview pictures.
    Hash hash;
    for (const panel::Bitmap& e : panel::kBitmaps)
        for (int scale : {1, 2}) {
            ImageData img;
            ASSERT_TRUE(VSTGUI::loadResourceImage(e.id, scale, img));
            for (size_t i = 0; i < img.indices.size(); ++i) hash.add(pixelAt(img, i), 4);
        }
    for (int id : kFontIds)
        for (int scale : {1, 2}) {
            FontData f;
            ASSERT_TRUE(VSTGUI::loadResourceFont(id, scale, f));
            hash.add(uint64_t(f.ascent), 2);
            hash.add(uint64_t(f.descent), 2);
            for (const auto& g : f.glyphs) {
                for (int v : {g.width, g.height, g.left, g.top, g.advance})
                    hash.add(uint64_t(uint16_t(v)), 2);
                for (uint8_t c : g.coverage) hash.add(c, 1);
            }
        }
    EXPECT_EQ(hash.h, 0xfcd2366192109a47ull) << std::hex << "decoded art hash 0x" << hash.h;
}
