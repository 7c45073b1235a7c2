// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSettingsStore.h"
#include "platform/SettingsKeys.h"
#include "platform/SettingsText.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::vector<SettingsValue> midiValues(std::uint32_t base) {
    std::vector<SettingsValue> values;
    for (int p = 0; p < 48; ++p)
        values.push_back({midiControllerValueName(p), base + static_cast<std::uint32_t>(p)});
    return values;
}

// One snapshot of the MIDI key's file holds all 48 values from one single write (all share
// one base number).
::testing::AssertionResult isCompleteMidiKey(const FileSettingsStore& store) {
    auto values =
        parseSettingsText(TempFolder::readText(store.keyFolder(kMidiSettingsKeyPath) + "/values"));
    if (values.size() != 48)
        return ::testing::AssertionFailure() << values.size() << " values instead of 48";
    auto base = std::get<std::uint32_t>(values[0].value);
    for (int p = 0; p < 48; ++p) {
        if (values[p].name != midiControllerValueName(p) ||
            std::get<std::uint32_t>(values[p].value) != base + static_cast<std::uint32_t>(p))
            return ::testing::AssertionFailure()
                   << midiControllerValueName(p) << " torn or missing";
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(FileSettingsStore, ValuesRoundTripAndKeyIsAFolder) {
    TempFolder temp;
    FileSettingsStore store(temp.path());
    EXPECT_FALSE(store.keyExists(kSettingsKeyPath));
    EXPECT_FALSE(store.readString(kSettingsKeyPath, "defbankdir"));

    std::string everyByte;
    for (int c = 0; c < 256; ++c) everyByte += static_cast<char>(c);
    ASSERT_EQ(store.writeValues(kSettingsKeyPath, {{"defbankdir", std::string("/home/me/Bänke/")},
                                                   {"defbankfile", everyByte},
                                                   {"trailing", std::string(" a \\x41 ")},
                                                   {"empty", std::string()},
                                                   {"zero", 0u},
                                                   {"max", 4294967295u}}),
              SettingsWriteStatus::ok);
    EXPECT_TRUE(store.keyExists(kSettingsKeyPath));
    EXPECT_FALSE(store.keyExists(kMidiSettingsKeyPath))
        << "a subkey is not created with its parent";
    EXPECT_EQ(store.readString(kSettingsKeyPath, "defbankdir"), "/home/me/Bänke/");
    EXPECT_EQ(store.readString(kSettingsKeyPath, "defbankfile"), everyByte) << "any byte string";
    EXPECT_EQ(store.readString(kSettingsKeyPath, "trailing"), " a \\x41 ");
    EXPECT_EQ(store.readString(kSettingsKeyPath, "empty"), "");
    EXPECT_EQ(store.readDword(kSettingsKeyPath, "zero"), 0u);
    EXPECT_EQ(store.readDword(kSettingsKeyPath, "max"), 4294967295u);
    EXPECT_FALSE(store.readDword(kSettingsKeyPath, "defbankdir")) << "text is not a number";
    EXPECT_FALSE(store.readString(kSettingsKeyPath, "zero")) << "a number is not text";

    const std::string file = temp / "Drellsonic/Tessel/values";
    std::string text = TempFolder::readText(file);
    EXPECT_NE(text.find("defbankdir text /home/me/Bänke/\n"), std::string::npos) << text;
    EXPECT_NE(text.find("max dword 4294967295\n"), std::string::npos) << text;
}

TEST(FileSettingsStore, WritingKeepsOtherValuesAndReplacesSameNames) {
    TempFolder temp;
    FileSettingsStore store(temp.path());
    ASSERT_EQ(store.writeValues("A\\B", {{"one", 1u}, {"two", std::string("x")}}),
              SettingsWriteStatus::ok);
    ASSERT_EQ(store.writeValues("A\\B", {{"two", 2u}, {"three", 3u}}), SettingsWriteStatus::ok);
    EXPECT_EQ(store.readDword("A\\B", "one"), 1u);
    EXPECT_EQ(store.readDword("A\\B", "two"), 2u) << "a value may change type";
    EXPECT_EQ(store.readDword("A\\B", "three"), 3u);
}

TEST(FileSettingsStore, MalformedLinesReadAsAbsentValues) {
    TempFolder temp;
    FileSettingsStore store(temp.path());
    ASSERT_EQ(store.writeValues("K", {}), SettingsWriteStatus::ok) << "creates an empty key";
    EXPECT_TRUE(store.keyExists("K"));
    TempFolder::writeText(temp / "K/values", "# comment\r\n"
                                             "good dword 5\r\n"
                                             "\n"
                                             "neg dword -1\n"
                                             "big dword 4294967296\n"
                                             "hex dword 0x10\n"
                                             "spaced dword 5 \n"
                                             "nodigits dword \n"
                                             "badescape text a\\qb\n"
                                             "shortescape text a\\x4\n"
                                             "odd type 1\n"
                                             "missing\n"
                                             "twice dword 1\n"
                                             "twice dword 2\n"
                                             "escaped text tab\\x09and\\\\\n"
                                             "last text no newline");
    EXPECT_EQ(store.readDword("K", "good"), 5u) << "CRLF line endings are tolerated";
    for (const char* name : {"neg", "big", "hex", "spaced", "nodigits", "odd", "missing"})
        EXPECT_FALSE(store.readDword("K", name)) << name;
    EXPECT_FALSE(store.readString("K", "badescape"));
    EXPECT_FALSE(store.readString("K", "shortescape"));
    EXPECT_EQ(store.readDword("K", "twice"), 2u) << "the later line wins";
    EXPECT_EQ(store.readString("K", "escaped"), "tab\tand\\");
    EXPECT_EQ(store.readString("K", "last"), "no newline");
    EXPECT_NE(store.readKey("K").damage.find("9 unreadable lines"), std::string::npos)
        << store.readKey("K").damage;

    std::string binary(4096, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7919 % 251);
    TempFolder::writeText(temp / "K/values", binary);
    EXPECT_FALSE(store.readDword("K", "good")) << "binary junk holds no values";
    EXPECT_EQ(store.writeValues("K", {{"good", 6u}}), SettingsWriteStatus::ok)
        << "a damaged key can be written again";
    EXPECT_EQ(store.readDword("K", "good"), 6u);
}

TEST(FileSettingsStore, FailuresSayWhetherKeyOrValueFailed) {
    TempFolder temp;
    TempFolder::writeText(temp / "file", "not a folder");
    FileSettingsStore blocked(temp / "file");
    EXPECT_EQ(blocked.writeValues(kMidiSettingsKeyPath, midiValues(0)),
              SettingsWriteStatus::keyNotCreated);
    EXPECT_FALSE(blocked.keyExists(kMidiSettingsKeyPath));

    FileSettingsStore store(temp.path());
    for (const char* bad : {"", "A\\\\B", "..", "A\\.", "A/B", "A\\values", "\\A"})
        EXPECT_EQ(store.writeValues(bad, {{"x", 1u}}), SettingsWriteStatus::keyNotCreated) << bad;
    EXPECT_EQ(store.writeValues("K", {{"bad name", 1u}}), SettingsWriteStatus::valueNotWritten);
    EXPECT_EQ(store.writeValues("K", {{"", 1u}}), SettingsWriteStatus::valueNotWritten);

    ASSERT_EQ(::mkdir((temp / "D").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((temp / "D/values").c_str(), 0700), 0); // the file's place is taken
    ASSERT_EQ(::mkdir((temp / "D/values/x").c_str(), 0700), 0);
    EXPECT_EQ(store.writeValues("D", {{"x", 1u}}), SettingsWriteStatus::valueNotWritten);
}

TEST(FileSettingsStore, RootComesFromEnvironmentAndIsUnavailableWithoutHome) {
    TempFolder temp;
    const std::string tessel = temp / "tessel", xdg = temp / "xdg", home = temp / "home";
    struct Row {
        const char *tessel, *xdg, *home;
        std::string root;
    };
    const Row table[] = {{tessel.c_str(), xdg.c_str(), home.c_str(), tessel},
                         {nullptr, xdg.c_str(), home.c_str(), xdg},
                         {nullptr, "relative/ignored", home.c_str(), home + "/.config"},
                         {nullptr, nullptr, nullptr, ""}};
    for (const Row& row : table) {
        ScopedEnv a("TESSEL_CONFIG_HOME", row.tessel), b("XDG_CONFIG_HOME", row.xdg),
            c("HOME", row.home);
        FileSettingsStore store;
        EXPECT_EQ(store.root(), row.root);
    }
    ScopedEnv a("TESSEL_CONFIG_HOME", nullptr), b("XDG_CONFIG_HOME", nullptr), c("HOME", nullptr);
    FileSettingsStore none;
    EXPECT_EQ(none.writeValues(kSettingsKeyPath, {{"defbankdir", std::string()}}),
              SettingsWriteStatus::keyNotCreated);
    EXPECT_FALSE(none.keyExists(kSettingsKeyPath));
    EXPECT_FALSE(none.readString(kSettingsKeyPath, "defbankdir"));
}

// Two writers on separate halves of one key: with the key lock both halves survive, and a
// reader in between always finds a complete file.
TEST(FileSettingsStore, ConcurrentThreadsNeitherTearNorLoseValues) {
    TempFolder temp;
    FileSettingsStore store(temp.path());
    ASSERT_EQ(store.writeValues(kMidiSettingsKeyPath, midiValues(0)), SettingsWriteStatus::ok);
    std::atomic<bool> failed{false};
    std::atomic<bool> done{false};
    auto writer = [&](int firstParam) {
        FileSettingsStore own(temp.path());
        for (std::uint32_t round = 1; round <= 60; ++round) {
            std::vector<SettingsValue> half;
            for (int p = firstParam; p < firstParam + 24; ++p)
                half.push_back({midiControllerValueName(p), round});
            if (own.writeValues(kMidiSettingsKeyPath, half) != SettingsWriteStatus::ok)
                failed = true;
        }
    };
    std::thread reader([&] {
        while (!done) {
            for (int p = 0; p < 48; ++p)
                if (!store.readDword(kMidiSettingsKeyPath, midiControllerValueName(p)))
                    failed = true;
        }
    });
    std::thread a(writer, 0), b(writer, 24);
    a.join();
    b.join();
    done = true;
    reader.join();
    EXPECT_FALSE(failed) << "a write failed or a reader saw a missing value";
    for (int p = 0; p < 48; ++p)
        EXPECT_EQ(store.readDword(kMidiSettingsKeyPath, midiControllerValueName(p)), 60u)
            << "last write of " << midiControllerValueName(p) << " was lost";
}

TEST(FileSettingsStore, ConcurrentProcessesLeaveACompleteFile) {
    TempFolder temp;
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileSettingsStore store(temp.path());
        bool ok = true;
        for (std::uint32_t round = 0; round < 40; ++round)
            ok &= store.writeValues(kMidiSettingsKeyPath, midiValues(1000 + round)) ==
                  SettingsWriteStatus::ok;
        ::_exit(ok ? 0 : 1);
    }
    FileSettingsStore store(temp.path());
    for (std::uint32_t round = 0; round < 40; ++round) {
        EXPECT_EQ(store.writeValues(kMidiSettingsKeyPath, midiValues(round)),
                  SettingsWriteStatus::ok);
        ASSERT_TRUE(isCompleteMidiKey(store)) << "round " << round;
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child's writes failed";
    EXPECT_TRUE(isCompleteMidiKey(store));
    // No temporary files are left behind.
    int entries = 0;
    for (auto& entry : std::filesystem::directory_iterator(temp / "Drellsonic/Tessel/MIDI"))
        entries += entry.path().filename() != ".lock";
    EXPECT_EQ(entries, 1) << "only the values file remains";
}

// Settings kept by earlier versions under ROOT/SOFTWARE are read there until the key is next
// written, which moves it, with its values, to ROOT/Drellsonic/Tessel.
TEST(FileSettingsStore, KeysFromTheEarlierFolderAreReadAndMovedOnWrite) {
    TempFolder temp;
    FileSettingsStore store(temp.path());
    EXPECT_EQ(store.keyFolder(kSettingsKeyPath), temp.path() + "/Drellsonic/Tessel");
    const std::string legacy = store.keyFolder(kSettingsKeyPath, true);
    EXPECT_EQ(legacy, temp.path() + "/SOFTWARE/Drellsonic/Tessel");
    std::filesystem::create_directories(legacy);
    TempFolder::writeText(legacy + "/values",
                          formatSettingsText(kSettingsKeyPath, {{"uiscale", 2u}}));
    EXPECT_TRUE(store.keyExists(kSettingsKeyPath));
    EXPECT_EQ(store.readDword(kSettingsKeyPath, "uiscale"), 2u);

    ASSERT_EQ(store.writeValues(kSettingsKeyPath, {{"defbankfile", std::string("a.dlb")}}),
              SettingsWriteStatus::ok);
    const std::string moved = TempFolder::readText(temp / "Drellsonic/Tessel/values");
    EXPECT_NE(moved.find("uiscale dword 2\n"), std::string::npos) << moved;
    EXPECT_EQ(store.readString(kSettingsKeyPath, "defbankfile"), "a.dlb");
}

// A damage message names the file: control characters in its path are written as \xNN, so
// the message stays one line and cannot drive the terminal.
TEST(FileSettingsStore, DamageMessagesEscapeControlCharactersInThePath) {
    TempFolder temp;
    FileSettingsStore store(temp / "odd\x1b[2J\nname");
    ASSERT_EQ(store.writeValues("K", {{"one", 1u}}), SettingsWriteStatus::ok);
    TempFolder::writeText(store.keyFolder("K") + "/values", "one dword 1\nnot a line\n");
    const SettingsKeyContents key = store.readKey("K");
    ASSERT_NE(key.damage.find('\x1b'), std::string::npos);
    ::testing::internal::CaptureStderr();
    reportSettingsDamage(key.damage, "what was read is used");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find('\x1b'), std::string::npos) << said;
    EXPECT_NE(said.find("odd\\x1b[2J\\x0aname"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line";
}
