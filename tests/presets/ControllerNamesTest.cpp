// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar's controller names: which entry a display value shows, and the entries
// around the controller numbers.
#include "presets/ControllerNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

TEST(ControllerNames, DisplayValueSelectsItsEntryAndStaysInRange) {
    for (int n = 0; n < kControllerNameCount; ++n) {
        const float v = static_cast<float>((n + 0.5) / kControllerNameCount);
        EXPECT_EQ(controllerNameIndex(v), n) << "value for entry " << n;
        EXPECT_EQ(controllerNameForValue(v), controllerName(n)) << "entry " << n;
        if (n < 128) {
            EXPECT_FALSE(controllerName(n).empty()) << "controller " << n;
        }
    }
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<float, int> edges[] = {{0.0f, 0},
                                           {-0.5f, 0},
                                           {-inf, 0},
                                           {1.0f, 129},
                                           {5.0f, 129},
                                           {inf, 129},
                                           {std::nanf(""), kNoControllerNameIndex}};
    for (const auto& [value, index] : edges)
        EXPECT_EQ(controllerNameIndex(value), index) << "value " << value;
    EXPECT_EQ(controllerName(3), "control 3") << "numbers without a meaning read control N";
    EXPECT_EQ(controllerName(kNotAssignedNameIndex), "not assigned");
    EXPECT_EQ(controllerName(kNoControllerNameIndex), "");
    EXPECT_EQ(controllerName(-1), "");
    EXPECT_EQ(controllerName(kControllerNameCount), "");
}
