// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolkitTestSupport.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CView.h"

#include <gtest/gtest.h>

using namespace toolkit_test;

namespace {

struct CountedBitmap : CBitmap {
    bool* deleted;
    CountedBitmap(int32_t id, bool* deleted) : CBitmap(id), deleted(deleted) {}
    ~CountedBitmap() override { *deleted = true; }
};

TEST(Bitmap, IsCreatedWithOneReferenceAndLivesUntilEveryUserHasLetGo) {
    bool deleted = false;
    auto* bitmap = new CountedBitmap(fake::kTwoFrames, &deleted);
    EXPECT_EQ(bitmap->getNbReference(), 1);
    auto* first = new CView({0, 0, 25, 22});
    auto* second = new CView({0, 0, 25, 22});
    first->setBackground(bitmap);
    second->setBackground(bitmap);
    EXPECT_EQ(bitmap->getNbReference(), 3);
    bitmap->forget(); // the creator's reference, as the editor drops it after building
    first->forget();
    EXPECT_FALSE(deleted);
    second->setBackground(nullptr);
    EXPECT_TRUE(deleted);
    second->forget();
}

TEST(Bitmap, KnowsItsSizeAtOnceAndLoadsPixelsOnlyForTheScaleDrawn) {
    int before = fake::imageLoads();
    CBitmap bitmap(fake::kKnobStrip);
    EXPECT_EQ(bitmap.getWidth(), 37);
    EXPECT_EQ(bitmap.getHeight(), 3636);
    EXPECT_EQ(fake::imageLoads(), before) << "no pixels before the first draw";
    Canvas canvas(37, 36, 2);
    bitmap.draw(&canvas.context, {0, 0, 37, 36});
    bitmap.draw(&canvas.context, {0, 0, 37, 36}, {0, 36});
    EXPECT_EQ(fake::imageLoads(), before + 1) << "one load at scale 2, kept";
    EXPECT_EQ(bitmap.getImage(2)->width, 74);
}

TEST(Bitmap, UnknownResourceOrArtOfTheWrongSizeDrawsNothing) {
    CBitmap unknown(4711);
    EXPECT_FALSE(unknown.isLoaded());
    EXPECT_EQ(unknown.getWidth(), 0);
    CBitmap wrong(fake::kWrongSize);
    EXPECT_TRUE(wrong.isLoaded());
    Canvas canvas(4, 4, 2);
    unknown.draw(&canvas.context, {0, 0, 4, 4});
    wrong.draw(&canvas.context, {0, 0, 4, 4});
    EXPECT_EQ(wrong.getImage(2), nullptr);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(canvas.framebuffer.pixel(x, y), 0u);
}

} // namespace
