// The three number formats of value texts: truncation, width, edge values.
#include "host/NumberFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string floatText(float x) {
    char text[32];
    NumberFormat::float2string(x, text, NumberFormat::kMaxValueChars);
    return text;
}
std::string dBText(float x) {
    char text[32];
    NumberFormat::dB2string(x, text, NumberFormat::kMaxValueChars);
    return text;
}
std::string longText(long long n) {
    char text[32];
    NumberFormat::long2string(n, text, NumberFormat::kMaxValueChars);
    return text;
}

} // namespace

TEST(NumberFormat, FloatIsEightCharactersTruncatedNeverRounded) {
    EXPECT_EQ(floatText(0.0f), "0.000000");
    EXPECT_EQ(floatText(3.0f), "3.000000");
    EXPECT_EQ(floatText(16.25f), "16.25000");
    EXPECT_EQ(floatText(100.0f), "100.0000");
    EXPECT_EQ(floatText(0.01f), "0.009999") << "0.01 as a float lies just below 0.01";
    EXPECT_EQ(floatText(2000.0f), "2000.000");
    EXPECT_EQ(floatText(-1.5f), "-1.50000") << "the sign takes one of the eight places";
    EXPECT_EQ(floatText(1234567.0f), "1234567.") << "no room is left for the fraction";
    EXPECT_EQ(floatText(2.9999998f), "2.999999");
}

TEST(NumberFormat, DecibelsOfGainsAndSilence) {
    EXPECT_EQ(dBText(0.5f), "-6.02060");
    EXPECT_EQ(dBText(1.0f), "0.000000");
    EXPECT_EQ(dBText(16.0f), "24.08240");
    EXPECT_EQ(dBText(0.0f), "-oo");
    EXPECT_EQ(dBText(-1.0f), "-oo");
}

TEST(NumberFormat, WholeNumbers) {
    EXPECT_EQ(longText(16000), "16000");
    EXPECT_EQ(longText(-42), "-42");
    EXPECT_EQ(longText(99999999), "99999999");
    EXPECT_EQ(longText(100000000), "Huge!");
    EXPECT_EQ(longText(0), "0") << "zero must not vanish";
}

TEST(NumberFormat, MaxLengthCutsAndTerminates) {
    char text[8];
    std::memset(text, '#', sizeof text);
    NumberFormat::float2string(16.25f, text, 4);
    EXPECT_STREQ(text, "16.2");
    NumberFormat::long2string(123456, text, 3);
    EXPECT_STREQ(text, "123");
    NumberFormat::float2string(1.0f, nullptr, 8); // no buffer: nothing happens
}
