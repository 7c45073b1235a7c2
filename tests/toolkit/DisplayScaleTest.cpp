// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/DisplayScale.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace VSTGUI;

TEST(DisplayScale, DoubleFromOneHundredSixtyEightDotsPerInch) {
    EXPECT_EQ(scaleForDpi(96.0), 1);
    EXPECT_EQ(scaleForDpi(167.9), 1);
    EXPECT_EQ(scaleForDpi(168.0), 2);
    EXPECT_EQ(scaleForDpi(192.0), 2);
    EXPECT_EQ(scaleForDpi(std::nan("")), 1);
}

TEST(DisplayScale, XftDpiIsReadFromTheResourceString) {
    struct Case {
        const char* resources;
        double dpi;
    };
    const Case cases[] = {
        {"Xft.dpi:\t192\n", 192.0},
        {"Xft.antialias:\t1\nXft.dpi: 144.5\nXft.hinting: 1\n", 144.5},
        {"*dpi: 120\n", 120.0},
        {"Xft.antialias: 1\n", 0.0},
        {"Xft.dpi: many\n", 0.0},
        {"Xft.dpi: -5\n", 0.0},
        {"", 0.0},
    };
    for (const Case& c : cases) EXPECT_EQ(xftDpiFromResources(c.resources), c.dpi) << c.resources;
    EXPECT_EQ(xftDpiFromResources(nullptr), 0.0);
}
