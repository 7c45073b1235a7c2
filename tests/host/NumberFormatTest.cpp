// SPDX-License-Identifier: GPL-3.0-or-later
// The interface base's number formats at their edges: truncation, the eight places, the sign,
// huge numbers and short buffers. (Everyday values are checked as value texts.)
#include "host/NumberFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(NumberFormat, EdgesOfTheThreeFormats) {
    auto text = [](auto format, auto value) {
        char out[32];
        format(value, out, NumberFormat::kMaxValueChars);
        return std::string(out);
    };
    const auto f = NumberFormat::float2string;
    EXPECT_EQ(text(f, 2.9999998f), "2.999999") << "digits are truncated, never rounded";
    EXPECT_EQ(text(f, 0.01f), "0.009999") << "0.01 as a float lies just below 0.01";
    EXPECT_EQ(text(f, 2000.0f), "2000.000");
    EXPECT_EQ(text(f, -1.5f), "-1.50000") << "the sign takes one of the eight places";
    EXPECT_EQ(text(f, 1234567.0f), "1234567.") << "no room is left for the fraction";
    EXPECT_EQ(text(NumberFormat::dB2string, -1.0f), "-oo");
    EXPECT_EQ(text(NumberFormat::dB2string, 16.0f), "24.08240");
    const auto n = NumberFormat::long2string;
    EXPECT_EQ(text(n, 0LL), "0") << "zero must not vanish";
    EXPECT_EQ(text(n, -42LL), "-42");
    EXPECT_EQ(text(n, 99999999LL), "99999999");
    EXPECT_EQ(text(n, 100000000LL), "Huge!");

    char shortText[8];
    std::memset(shortText, '#', sizeof shortText);
    NumberFormat::float2string(16.25f, shortText, 4);
    EXPECT_STREQ(shortText, "16.2");
    NumberFormat::long2string(123456, shortText, 3);
    EXPECT_STREQ(shortText, "123");
    NumberFormat::float2string(1.0f, nullptr, 8); // no buffer: nothing happens
}
