// The bank of 61 programs as the host and the preset bar see it.
#include "engine/Drell.h"
#include "presets/CProgram.h"
#include "presets/PresetSystemEvents.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

TEST(Program, NewProgramIsInitWithItsDefaults) {
    CProgram p;
    EXPECT_STREQ(p.name(), "init");
    EXPECT_FLOAT_EQ(p.getParameter(6), 1.0f);
    EXPECT_FLOAT_EQ(p.getParameter(30), 0.67f);
    EXPECT_FLOAT_EQ(p.getParameter(45), 1.0f);
    EXPECT_FLOAT_EQ(p.getParameter(47), 0.5f);
    EXPECT_FLOAT_EQ(p.getParameter(48), -1.0f);
    EXPECT_FLOAT_EQ(p.getParameter(0xffffffffu), -1.0f);
}

TEST(Program, ValuesAreClampedAndNaNStoredAsZero) {
    CProgram p;
    p.setParameter(5, 1.7f);
    EXPECT_EQ(p.getParameter(5), 1.0f);
    p.setParameter(5, -0.2f);
    EXPECT_EQ(p.getParameter(5), 0.0f);
    p.setParameter(5, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(p.getParameter(5), 0.0f);
    p.setParameter(48, 0.3f); // ignored
    p.setParameter(1000, 0.3f);
}

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
}

namespace {

class Bank : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.load()); }
    Drell& effect() { return *static_cast<Drell*>(host.effect()->object); }
    std::string indexedName(int i) {
        char text[64] = {};
        if (host.dispatch(effGetProgramNameIndexed, i, 0, text) == 0) return "<none>";
        return text;
    }
    TestHost host;
};

} // namespace

TEST_F(Bank, HostSeesOneProgramAndNoChunk) {
    EXPECT_EQ(host.effect()->numPrograms, 1);
    effect().selectProgram(7);
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    EXPECT_EQ(effect().getCurrentProgramIndex(), 7);
    void* chunk = nullptr;
    EXPECT_EQ(host.dispatch(effGetChunk, 0, 0, &chunk), 0);
}

TEST_F(Bank, IndexedNamesCoverTheBankOnly) {
    EXPECT_NE(indexedName(0), "<none>");
    EXPECT_NE(indexedName(60), "<none>");
    EXPECT_EQ(indexedName(61), "<none>");
    EXPECT_EQ(indexedName(-1), "<none>");
}

TEST_F(Bank, HostRenamesTheCurrentProgramCutTo24) {
    effect().selectProgram(3);
    char name[] = "A name of thirty characters!!!";
    host.dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(host.programName(), "A name of thirty charact");
    EXPECT_EQ(indexedName(3), "A name of thirty charact");
}

TEST_F(Bank, SelectProgramAppliesValuesAndNotifiesHostInOrder) {
    CProgram* p = effect().getProgramAt(9);
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 48; ++i) p->setParameter(i, 0.01f * static_cast<float>(i));
    host.clearCalls();
    effect().selectProgram(9);
    auto calls = host.calls();
    std::vector<TestHost::Call> edits;
    for (const auto& c : calls)
        if (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterAutomate ||
            c.opcode == audioMasterEndEdit || c.opcode == audioMasterUpdateDisplay)
            edits.push_back(c);
    ASSERT_EQ(edits.size(), 48u * 4u + 1u);
    for (int i = 0; i < 48; ++i) {
        const TestHost::Call* c = &edits[4 * static_cast<size_t>(i)];
        EXPECT_EQ(c[0].opcode, audioMasterBeginEdit);
        EXPECT_EQ(c[1].opcode, audioMasterAutomate);
        EXPECT_EQ(c[2].opcode, audioMasterAutomate);
        EXPECT_EQ(c[3].opcode, audioMasterEndEdit);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(c[k].index, i);
        EXPECT_NEAR(c[2].opt, 0.01f * static_cast<float>(i), 1e-6f);
    }
    EXPECT_EQ(edits.back().opcode, audioMasterUpdateDisplay);
    EXPECT_NEAR(host.getParameter(2), 0.02f, 1e-6f);
    EXPECT_NEAR(p->getParameter(2), 0.02f, 1e-6f) << "the program itself must be unchanged";
}

TEST_F(Bank, HostChangesGoIntoTheCurrentProgram) {
    effect().selectProgram(4);
    host.setParameter(40, 0.625f);
    EXPECT_FLOAT_EQ(effect().getProgramAt(4)->getParameter(40), 0.625f);
    EXPECT_NE(effect().getProgramAt(5)->getParameter(40), 0.625f);
}

TEST_F(Bank, SelectProgramLeavesLearnAndClearAlone) {
    effect().startLearn();
    effect().selectProgram(2);
    EXPECT_TRUE(effect().isLearning());
    EXPECT_EQ(effect().getLearnTarget(), -1) << "applying a program must not pick a learn target";
    effect().stopLearn();
    effect().startClear();
    VstInt32 before = effect().getControllerOfParameter(0);
    effect().selectProgram(2);
    EXPECT_TRUE(effect().isClearing());
    EXPECT_EQ(effect().getControllerOfParameter(0), before);
}

TEST_F(Bank, OutOfRangeSelectionIsIgnored) {
    effect().selectProgram(5);
    host.clearCalls();
    effect().selectProgram(61);
    effect().selectProgram(-1);
    EXPECT_EQ(effect().getCurrentProgramIndex(), 5);
    EXPECT_TRUE(host.calls().empty());
}
