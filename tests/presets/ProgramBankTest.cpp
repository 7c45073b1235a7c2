// SPDX-License-Identifier: GPL-3.0-or-later
// The bank of 61 programs as the host and the preset bar see it.
#include "presets/CProgram.h"
#include "support/EffectHost.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

TEST(Program, NameIsCutTo24CharactersWithZeroedTail) {
    CProgram p;
    p.setName("abcdefghijklmnopqrstuvwxyz0123");
    char out[25];
    p.getName(out);
    EXPECT_STREQ(out, "abcdefghijklmnopqrstuvwx");
    p.setName("ab");
    char raw[25];
    std::memset(raw, 'x', sizeof raw);
    p.getName(raw);
    for (int i = 2; i < 25; ++i) EXPECT_EQ(raw[i], '\0') << "name byte " << i << " not cleared";
    p.setName(nullptr);
    EXPECT_STREQ(p.name(), "");
    EXPECT_EQ(p.getParameter(kNumParams), -1.0f) << "an index beyond the program";
}

namespace {

class Bank : public ::testing::Test {
protected:
    std::string indexedName(int i) {
        char text[64] = {};
        if (effect->dispatcher(effGetProgramNameIndexed, i, 0, text, 0.0f) == 0) return "<none>";
        return text;
    }
    EffectHost host;
    FakeServices fakes;
    std::unique_ptr<Drell> effect = host.make(fakes.services());
};

} // namespace

TEST_F(Bank, HostSeesOneProgramWithTheCurrentName) {
    effect->selectProgram(7);
    effect->dispatcher(effSetProgram, 0, 3, nullptr, 0.0f);
    EXPECT_EQ(effect->getCurrentProgramIndex(), 7) << "the host's program change must be ignored";
    char name[] = "A name of thirty characters!!!";
    effect->dispatcher(effSetProgramName, 0, 0, name, 0.0f);
    char back[64] = {};
    effect->dispatcher(effGetProgramName, 0, 0, back, 0.0f);
    EXPECT_STREQ(back, "A name of thirty charact");
    EXPECT_EQ(indexedName(7), "A name of thirty charact");
    EXPECT_NE(indexedName(60), "<none>");
    EXPECT_EQ(indexedName(61), "<none>");
    EXPECT_EQ(indexedName(-1), "<none>");
}

TEST_F(Bank, SelectProgramAppliesValuesAndNotifiesHostInOrder) {
    CProgram* p = effect->getProgramAt(9);
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < kNumParams; ++i) p->setParameter(i, 0.01f * static_cast<float>(i));
    host.edits.clear();
    effect->selectProgram(9);
    const auto& edits = host.edits;
    ASSERT_EQ(edits.size(), kNumParams * 4u + 1u);
    for (int i = 0; i < kNumParams; ++i) {
        const EffectHost::Call* c = &edits[4 * static_cast<size_t>(i)];
        EXPECT_EQ(c[0].opcode, audioMasterBeginEdit);
        EXPECT_EQ(c[1].opcode, audioMasterAutomate);
        EXPECT_EQ(c[2].opcode, audioMasterAutomate);
        EXPECT_EQ(c[3].opcode, audioMasterEndEdit);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(c[k].index, i);
        EXPECT_NEAR(c[2].opt, 0.01f * static_cast<float>(i), 1e-6f);
    }
    EXPECT_EQ(edits.back().opcode, audioMasterUpdateDisplay);
    for (int i = 0; i < kNumParams; ++i) {
        EXPECT_EQ(effect->getParameter(i), 0.01f * static_cast<float>(i))
            << kParameterTable[i].name << " did not reach the engine";
        EXPECT_EQ(p->getParameter(i), 0.01f * static_cast<float>(i)) << "the program changed";
    }
}

TEST_F(Bank, HostChangesGoIntoTheCurrentProgramMadeSafe) {
    effect->selectProgram(4);
    effect->setParameter(kRvbAmt, 0.625f);
    EXPECT_FLOAT_EQ(effect->getProgramAt(4)->getParameter(kRvbAmt), 0.625f);
    EXPECT_NE(effect->getProgramAt(5)->getParameter(kRvbAmt), 0.625f);
    effect->setParameter(kFltCutoff, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(effect->getProgramAt(4)->getParameter(kFltCutoff), 0.0f) << "the program kept NaN";
    effect->selectProgram(4);
    EXPECT_EQ(effect->getParameter(kFltCutoff), 0.0f) << "reselecting brought a NaN back";
}

TEST_F(Bank, SelectProgramLeavesLearnAndClearAlone) {
    effect->startLearn();
    effect->selectProgram(2);
    EXPECT_TRUE(effect->isLearning());
    EXPECT_EQ(effect->getLearnTarget(), -1) << "applying a program must not pick a learn target";
    effect->stopLearn();
    effect->startClear();
    VstInt32 before = effect->getControllerOfParameter(0);
    effect->selectProgram(2);
    EXPECT_TRUE(effect->isClearing());
    EXPECT_EQ(effect->getControllerOfParameter(0), before);
}

TEST_F(Bank, OutOfRangeSelectionIsIgnored) {
    effect->selectProgram(5);
    host.edits.clear();
    effect->selectProgram(61);
    effect->selectProgram(-1);
    EXPECT_EQ(effect->getCurrentProgramIndex(), 5);
    EXPECT_TRUE(host.edits.empty());
}
