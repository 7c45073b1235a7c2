// SPDX-License-Identifier: GPL-3.0-or-later
// The library as a host meets it: exported symbols, entry point, effect record.
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace {

std::set<std::string> exportedSymbols() {
    std::set<std::string> names;
    FILE* pipe = popen((std::string("nm -D --defined-only -j ") + TESSEL_PLUGIN_PATH).c_str(), "r");
    if (pipe == nullptr) return names;
    char line[512];
    while (fgets(line, sizeof line, pipe) != nullptr)
        if (const char* name = std::strtok(line, "\r\n")) names.insert(name);
    pclose(pipe);
    return names;
}

} // namespace

TEST(Library, ExportsOnlyTheTwoEntryPoints) {
    std::set<std::string> expected = {"VSTPluginMain", "main"};
    EXPECT_EQ(exportedSymbols(), expected);
}

TEST(Entry, BothNamesCreateAnEffect) {
    for (const char* entry : {"VSTPluginMain", "main"}) {
        TestHost host;
        ASSERT_TRUE(host.load(entry)) << entry;
        EXPECT_EQ(host.effect()->magic, kEffectMagic) << entry;
    }
}

TEST(Entry, HostAnsweringVersionZeroOrNoCallbackGetsNoInstance) {
    TestHost host;
    host.versionAnswer = 0;
    EXPECT_FALSE(host.load());
    auto calls = host.calls();
    ASSERT_EQ(calls.size(), 1u) << "only the version query may happen before refusing";
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
    using EntryProc = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<EntryProc>(dlsym(host.library(), "VSTPluginMain"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry(nullptr), nullptr);
}

TEST(Record, FieldsAreFilledAsPublished) {
    TestHost host;
    ASSERT_TRUE(host.load());
    const AEffect* e = host.effect();
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numParams, 96);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags & effFlagsCanReplacing, effFlagsCanReplacing);
    EXPECT_EQ(e->flags & (effFlagsProgramChunks | effFlagsIsSynth | effFlagsCanDoubleReplacing), 0);
    EXPECT_EQ(e->resvd1, 0);
    EXPECT_EQ(e->resvd2, 0);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->realQualities, 0);
    EXPECT_EQ(e->offQualities, 0);
    EXPECT_FLOAT_EQ(e->ioRatio, 1.0f);
    EXPECT_NE(e->object, nullptr);
    EXPECT_EQ(e->user, nullptr);
    const auto* id = reinterpret_cast<const unsigned char*>(&e->uniqueID);
    EXPECT_EQ(std::string(id, id + 4), "W2TK") << "unique ID bytes, lowest first";
    EXPECT_EQ(e->version, 1);
    EXPECT_TRUE(e->process != nullptr && e->processDoubleReplacing != nullptr)
        << "old hosts call the entries they know without checking them";
    for (char c : e->future) EXPECT_EQ(c, 0);
}

TEST(Record, InstancesAreIndependent) {
    TestHost a, b;
    ASSERT_TRUE(a.load());
    ASSERT_TRUE(b.load());
    EXPECT_NE(a.effect(), b.effect());
    a.setParameter(2, 0.25f);
    EXPECT_FLOAT_EQ(a.getParameter(2), 0.25f);
    EXPECT_FLOAT_EQ(b.getParameter(2), 0.5f) << "a change in one instance leaked into another";
}

TEST(Record, OldProcessEntriesAreHarmless) {
    TestHost host;
    ASSERT_TRUE(host.load());
    float in[4] = {1, 2, 3, 4}, out[4] = {9, 9, 9, 9};
    float* ins[2] = {in, in};
    float* outs[2] = {out, out};
    host.effect()->process(host.effect(), ins, outs, 4);
    double din[4] = {1, 2, 3, 4}, dout[4] = {9, 9, 9, 9};
    double* dins[2] = {din, din};
    double* douts[2] = {dout, dout};
    host.effect()->processDoubleReplacing(host.effect(), dins, douts, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(out[i], 9.0f);
        EXPECT_EQ(dout[i], 9.0);
    }
}
