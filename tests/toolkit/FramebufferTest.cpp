// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolkitTestSupport.h"
#include "toolkit/CBitmap.h"

#include <gtest/gtest.h>

using namespace toolkit_test;

namespace {

struct BlitCase {
    const char* name;
    int32_t scale;
    CRect dest;    // frame coordinates on a 20 × 12 canvas
    CPoint offset; // in the 16 × 8 pattern bitmap
};

// The pattern bitmap drawn plainly: every device pixel inside the destination (and the
// canvas, and the source) shows the source pixel it comes from; everything else stays 0.
TEST(Framebuffer, PlainBlitCopiesTheSourceAreaClippedToCanvasAndSource) {
    const BlitCase cases[] = {
        {"whole bitmap", 1, {2, 3, 18, 11}, {0, 0}},
        {"part at an offset", 1, {0, 0, 4, 3}, {5, 2}},
        {"part at scale 2", 2, {1, 1, 7, 5}, {9, 3}},
        {"destination larger than the rest of the source", 1, {0, 0, 20, 12}, {10, 4}},
        {"cut at the left and top edges", 1, {-3, -2, 13, 6}, {0, 0}},
        {"cut at the right and bottom edges", 2, {12, 8, 28, 16}, {0, 0}},
    };
    for (const BlitCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(20, 12, c.scale);
        CBitmap bitmap(fake::kPattern);
        bitmap.draw(&canvas.context, c.dest, c.offset);
        const int32_t s = c.scale;
        for (int32_t y = 0; y < canvas.framebuffer.height(); ++y)
            for (int32_t x = 0; x < canvas.framebuffer.width(); ++x) {
                int32_t sx = x - c.dest.left * s + c.offset.x * s;
                int32_t sy = y - c.dest.top * s + c.offset.y * s;
                bool inside = c.dest.scaled(s).pointInside({x, y}) && sx < 16 * s && sy < 8 * s;
                uint32_t expected = inside ? rgb(fake::patternPixel(sx, sy, s)) : 0u;
                ASSERT_EQ(canvas.framebuffer.pixel(x, y), expected)
                    << "device pixel " << x << "," << y;
            }
    }
}

TEST(Framebuffer, TransparentBlitCompositesPremultipliedPixelsAndPlainBlitCopiesThem) {
    for (int32_t scale : {1, 2}) {
        SCOPED_TRACE(scale);
        Canvas canvas(8, 4, scale);
        canvas.context.setFillColor({0, 0, 255, 255});
        canvas.context.fillRect({0, 0, 8, 4});
        CBitmap bitmap(fake::kHalfAlpha);
        bitmap.drawTransparent(&canvas.context, {0, 0, 8, 2});
        bitmap.draw(&canvas.context, {0, 2, 8, 4}, {0, 2});
        const Framebuffer& fb = canvas.framebuffer;
        int32_t right = 7 * scale, bottom = 3 * scale;
        EXPECT_EQ(fb.pixel(0, 0), 0x0000FFu) << "a clear pixel leaves the blue below";
        EXPECT_EQ(fb.pixel(right, 0), 0x80007Fu) << "half red over blue";
        EXPECT_EQ(fb.pixel(0, bottom), 0x000000u) << "a plain copy of a clear pixel is black";
        EXPECT_EQ(fb.pixel(right, bottom), 0x800000u);
    }
}

TEST(Framebuffer, ClipRectLimitsEveryOperation) {
    Canvas canvas(10, 10, 2);
    canvas.context.setClipRect({2, 2, 5, 5});
    canvas.context.setFillColor(kWhiteCColor);
    canvas.context.fillRect({0, 0, 10, 10});
    CBitmap bitmap(fake::kPattern);
    bitmap.draw(&canvas.context, {0, 0, 10, 8});
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 20; ++x) {
            bool inside = x >= 4 && x < 10 && y >= 4 && y < 10;
            ASSERT_EQ(canvas.framebuffer.pixel(x, y) != 0, inside) << x << "," << y;
        }
}

TEST(Framebuffer, FrameRectIsOnePixelWideAtEachScale) {
    for (int32_t scale : {1, 2}) {
        Canvas canvas(6, 6, scale);
        canvas.context.setFrameColor(kWhiteCColor);
        canvas.context.drawRect({1, 1, 5, 5});
        const Framebuffer& fb = canvas.framebuffer;
        int32_t lit = 0;
        for (int32_t y = 0; y < fb.height(); ++y)
            for (int32_t x = 0; x < fb.width(); ++x) lit += fb.pixel(x, y) == 0xFFFFFFu;
        EXPECT_EQ(lit, (4 * 4 - 2 * 2) * scale * scale) << "scale " << scale;
        EXPECT_EQ(fb.pixel(1 * scale, 1 * scale), 0xFFFFFFu);
        EXPECT_EQ(fb.pixel(2 * scale, 2 * scale), 0u) << "the inside stays empty";
    }
}

// Fake glyphs are solid blocks 3 wide, 5 high, 4 apart; ascent 5, descent 1.
TEST(Framebuffer, TextIsAlignedInItsRectangleAtTheFontOfTheScale) {
    struct Case {
        int32_t align;
        int32_t firstColumn; // of "AB" in a 20 × 10 rectangle at scale 1
    };
    for (const Case& c : {Case{kLeftText, 0}, Case{kCenterText, 6}, Case{kRightText, 12}})
        for (int32_t scale : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "align " << c.align << " scale " << scale);
            Canvas canvas(20, 10, scale);
            canvas.context.setFont(fake::kFont);
            canvas.context.setFontColor({255, 0, 0, 255});
            canvas.context.drawString("AB", {0, 0, 20, 10}, c.align);
            const Framebuffer& fb = canvas.framebuffer;
            int32_t s = scale;
            int32_t top = ((10 * s) - 6 * s) / 2; // baseline minus ascent
            EXPECT_EQ(fb.pixel(c.firstColumn * s, top), 0xFF0000u);
            EXPECT_EQ(fb.pixel(c.firstColumn * s, top - 1), 0u) << "nothing above the glyph";
            EXPECT_EQ(fb.pixel((c.firstColumn + 3) * s, top), 0u) << "the gap between glyphs";
            EXPECT_EQ(fb.pixel((c.firstColumn + 4) * s, top + 5 * s - 1), 0xFF0000u);
            EXPECT_EQ(fb.pixel((c.firstColumn + 7) * s, top), 0u) << "after the text";
        }
}

TEST(Framebuffer, TextIsCutAtItsRectangle) {
    Canvas canvas(20, 10, 1);
    canvas.context.setFont(fake::kFont);
    canvas.context.setFontColor(kWhiteCColor);
    canvas.context.drawString("WWWWWWWW", {2, 0, 9, 10}, kLeftText);
    for (int32_t x = 0; x < 20; ++x) {
        bool lit = false;
        for (int32_t y = 0; y < 10; ++y) lit |= canvas.framebuffer.pixel(x, y) != 0;
        EXPECT_EQ(lit, x >= 2 && x < 9 && x != 5) << "column " << x;
    }
}

TEST(Framebuffer, DamagedImagesAndMissingFontsDrawNothing) {
    Framebuffer fb(4, 4);
    ImageData shortImage;
    shortImage.width = shortImage.height = 4;
    shortImage.argb.assign(3, 0xFFFFFFFFu);
    fb.blit(shortImage, 0, 0, 4, 4, 0, 0, false, fb.bounds());
    ImageData noPalette;
    noPalette.width = noPalette.height = 4;
    noPalette.indices.assign(16, 3);
    fb.blit(noPalette, 0, 0, 4, 4, 0, 0, false, fb.bounds());
    ImageData smallPalette = noPalette;
    smallPalette.palette = {0xFFFFFFFFu};
    fb.blit(smallPalette, 0, 0, 4, 4, 0, 0, false, fb.bounds());
    FontCache fonts;
    CDrawContext context(fb, 1, fonts);
    context.setFont(99);
    context.drawString("text", {0, 0, 4, 4});
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(fb.pixel(x, y), 0u);
}

} // namespace
