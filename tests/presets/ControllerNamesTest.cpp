#include "presets/ControllerNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

TEST(ControllerNames, TableHasNamedAndNumberedEntries) {
    EXPECT_EQ(controllerName(0), "bank sel MSB");
    EXPECT_EQ(controllerName(1), "modulation");
    EXPECT_EQ(controllerName(3), "control 3");
    EXPECT_EQ(controllerName(43), "express. LSB");
    EXPECT_EQ(controllerName(65), "porta on/off");
    EXPECT_EQ(controllerName(119), "control 119");
    EXPECT_EQ(controllerName(127), "poly mode on");
    EXPECT_EQ(controllerName(128), "not assigned");
    EXPECT_EQ(controllerName(129), "");
    EXPECT_EQ(controllerName(-1), "") << "out-of-range index gives the empty entry";
    EXPECT_EQ(controllerName(130), "");
}

TEST(ControllerNames, UnlistedNumbersReadControlN) {
    const std::set<int> unlisted = {3, 9, 12, 13, 14, 15, 35, 41};
    int numbered = 0;
    for (int cc = 0; cc < 128; ++cc) {
        bool isNumbered = controllerName(cc) == "control " + std::to_string(cc);
        numbered += isNumbered;
        if (unlisted.count(cc)) {
            EXPECT_TRUE(isNumbered) << cc;
        }
        EXPECT_FALSE(controllerName(cc).empty()) << cc;
    }
    // 3, 9, 12-15, 20-31, 35, 41, 44-63, 75-79, 85-90, 102-119
    EXPECT_EQ(numbered, 1 + 1 + 4 + 12 + 1 + 1 + 20 + 5 + 6 + 18);
}

TEST(ControllerNames, DisplayValueSelectsEntryAndStaysInRange) {
    for (int n = 0; n < 130; ++n) {
        float v = static_cast<float>((n + 0.5) / 130.0);
        EXPECT_EQ(controllerNameIndex(v), n) << "value for entry " << n;
    }
    EXPECT_EQ(controllerNameIndex(0.0f), 0);
    EXPECT_EQ(controllerNameIndex(1.0f), 129);
    EXPECT_EQ(controllerNameIndex(5.0f), 129);
    EXPECT_EQ(controllerNameIndex(-0.5f), 0);
    EXPECT_EQ(controllerNameIndex(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(controllerNameIndex(std::numeric_limits<float>::infinity()), 129);
    EXPECT_EQ(controllerNameIndex(std::nanf("")), 129) << "NaN shows the empty entry";
    EXPECT_EQ(controllerNameForValue((128 + 0.5f) / 130), "not assigned");
}
