// SPDX-License-Identifier: GPL-3.0-or-later
// Value texts the host shows for the 48 sound parameters, and their independence from the
// host's C locale.
#include "engine/Parameters.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

// The C library keeps the search path of a LOCPATH locale for the life of the process;
// the leak checker is told that this one allocation is not ours.
extern "C" __attribute__((used, visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:__argz_add_sep\n";
}

namespace {

class ValueTexts : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.load()); }
    std::string show(VstInt32 index, float value) {
        host.setParameter(index, value);
        return host.paramDisplay(index);
    }
    TestHost host;
};

// Every text at construction (the values of "*Init"), in index order.
const char* const kConstructionTexts[48] = {
    "0.000000",    "0.000000",    "D:50<>50:W", "-oo",      "-oo",      "L:100<>0:R", "L:0<>100:R",
    "off",         "off",         "sin",        "3.000000", "L:0<>0:R", "L:0<>100:E", "0",
    "LPF",         "16000",       "0.000000",   "1.000000", "0",        "off",        "off",
    "0.000000",    "100",         "in",         "time",     "time",     "1",          "1",
    "1",           "1",           "5000",       "5000",     "freq",     "1",          "1",
    "2000.000000", "2000.000000", "fx",         "spring",   "0.000000", "50.00000",   "off",
    "off",         "off",         "off",        "on",       "off",      "50"};

} // namespace

TEST_F(ValueTexts, AtConstruction) {
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(host.paramDisplay(i), kConstructionTexts[i]) << "parameter " << i;
}

TEST_F(ValueTexts, FollowTheValue) {
    struct Row {
        VstInt32 index;
        float value;
        const char* text;
    };
    const Row table[] = {
        // Splits and the LFO offset.
        {kMainMix, 0.99f, "D:1<>99:W"},
        {kMainMix, 1.0f, "D:0<>100:W"},
        {kModSource, 0.5f, "L:50<>50:E"},
        {kModLfoOffset, 0.0f, "L:+90<>90-:R"},
        {kModLfoOffset, 0.25f, "L:+45<>45-:R"},
        // Decibels, eight-character numbers and whole numbers.
        {kDlyLFb, 0.0f, "-oo"},
        {kDlyLFb, 0.5f, "-6.02060"},
        {kMainIn, 1.0f, "12.04120"},
        {kModLfoRate, 0.5f, "3.000000"},
        {kFltMod, 0.499f, "0"}, // never "-0"
        {kFltMod, 0.0f, "-100"},
        {kFltRes, 0.5f, "5.000000"},
        {kVcoManual, 1.0f, "2.000000"},
        {kModEnvSpeed, 1.0f, "1000"},
        {kModSens, 0.333f, "33"},
        {kDlyLTime, 0.123f, "615.000000"},
        // Choices and note values.
        {kModLfoWave, 1.0f, "rnd"},
        {kFltType, 0.5f, "BPF"},
        {kFltMode, 1.0f, "fx"},
        {kDlyLMode, 1.0f, "note"},
        {kRvbMode, 1.0f, "out"},
        {kRvbType, 1.0f, "plate"},
        {kMainBypass, 1.0f, "on"},
        {kDlyLNum, 1.0f, "9"},
        {kModLfoNum, 1.0f, "8"},
        {kDlyLDen, 1.0f, "96"},
        {kModLfoDen, 0.5f, "12"},
        {kDlyLRange, 0.0f, "100"},
    };
    for (const Row& row : table)
        EXPECT_EQ(show(row.index, row.value), row.text)
            << kParameterTable[row.index].name << " at " << row.value;
}

// Texts must not follow the host's LC_NUMERIC: a comma locale leaves "2000.000000".
TEST_F(ValueTexts, IndependentOfTheHostsLocale) {
    // A comma locale of our own, compiled into a temporary folder.
    TempFolder dir;
    TempFolder::writeText(dir / "comma", "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\n"
                                         "grouping 3;3\nEND LC_NUMERIC\n");
    const std::string command = "localedef -c -i " + (dir / "comma") + " -f ANSI_X3.4-1968 " +
                                (dir / "xx_XX") + " >/dev/null 2>&1";
    (void)std::system(command.c_str());
    ScopedEnv path("LOCPATH", dir.path().c_str());
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_NUMERIC, "xx_XX") == nullptr)
        GTEST_SKIP() << "no comma locale could be installed or made";
    char probe[32];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5") << "the comma locale must be active for this check";
    EXPECT_EQ(host.paramDisplay(35), "2000.000000");
    EXPECT_EQ(host.paramDisplay(10), "3.000000");
    EXPECT_EQ(host.paramDisplay(3), "-oo");
    host.setParameter(3, 0.5f);
    EXPECT_EQ(host.paramDisplay(3), "-6.02060");
    std::setlocale(LC_ALL, saved.c_str());
}
