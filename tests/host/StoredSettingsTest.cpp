// SPDX-License-Identifier: GPL-3.0-or-later
// The loaded library keeps its settings under $TESSEL_CONFIG_HOME: the first instance stores
// the controller map there, and a new instance loads the default bank named there.
#include "platform/FileIo.h"
#include "platform/FileSettingsStore.h"
#include "platform/SettingsKeys.h"
#include "presets/ControllerMap.h"
#include "presets/FileFormats.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>

namespace {

std::string indexedName(TestHost& host, int index) {
    char text[64] = {};
    host.dispatch(effGetProgramNameIndexed, index, 0, text);
    return text;
}

} // namespace

TEST(StoredSettings, LibraryStoresTheControllerMapAndLoadsTheDefaultBank) {
    TempFolder config, banks;
    ScopedEnv home("TESSEL_CONFIG_HOME", config.path().c_str());
    BankRecords records;
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].name = "Stored " + std::to_string(i);
        records[i].values.fill(0.25f);
    }
    ASSERT_EQ(writeFileAtomically(banks / "mine.dlb", encodeBank(records)), 0);
    FileSettingsStore store(config.path());
    ASSERT_EQ(store.writeValues(kSettingsKeyPath,
                                {{std::string(kDefaultBankDirValue), banks.path() + "/"},
                                 {std::string(kDefaultBankFileValue), std::string("mine.dlb")}}),
              SettingsWriteStatus::ok);
    const auto start = std::filesystem::current_path();

    TestHost host;
    ASSERT_TRUE(host.load());
    EXPECT_EQ(indexedName(host, 0), "Stored 0");
    EXPECT_EQ(indexedName(host, 60), "Stored 60");
    EXPECT_EQ(std::filesystem::current_path(), start);
    EXPECT_EQ(store.readDword(kMidiSettingsKeyPath, "param001"), 22u) << "map not stored";
    EXPECT_FLOAT_EQ(host.getParameter(49), 22.5f / 129.0f) << "parameter 1's controller";
}

TEST(StoredSettings, ADamagedControllerFileKeepsWhatCanBeReadAndIsNotWritten) {
    // A stored map on controllers that no default uses, the first half of it before 300 KiB
    // of comment.
    const auto stored = [](int p) { return p < 20 ? p : 107 + (p - 20) % 13; };
    std::string text = "# Tessel settings key SOFTWARE\\Drellsonic\\Tessel\\MIDI\n";
    for (int p = 0; p < kNumParams; ++p) {
        if (p == kNumParams / 2) text += "# " + std::string(300 * 1024, 'x') + "\n";
        text += midiControllerValueName(p) + " dword " + std::to_string(stored(p)) + "\n";
    }
    struct Case {
        const char* damage;
        int readable; // parameters whose stored controller can be read
    };
    for (const Case& c : {Case{"larger than", kNumParams / 2}, Case{"not a regular file", 0}}) {
        TempFolder config;
        ScopedEnv home("TESSEL_CONFIG_HOME", config.path().c_str());
        FileSettingsStore store(config.path());
        const std::string folder = store.keyFolder(kMidiSettingsKeyPath);
        std::filesystem::create_directories(folder);
        const std::string values = folder + "/values";
        if (c.readable > 0)
            TempFolder::writeText(values, text);
        else
            std::filesystem::create_directory(values); // cannot be read at all
        struct stat before {};
        ASSERT_EQ(::stat(values.c_str(), &before), 0);

        testing::internal::CaptureStderr();
        {
            TestHost host;
            ASSERT_TRUE(host.load());
            for (int p = 0; p < kNumParams; ++p) {
                const int cc = p < c.readable ? stored(p) : kDefaultControllers[p];
                EXPECT_FLOAT_EQ(host.getParameter(kNumParams + p), (cc + 0.5f) / 129.0f)
                    << c.damage << ", parameter " << p;
            }
        }
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.damage), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "reported once: " << err;
        struct stat after {};
        ASSERT_EQ(::stat(values.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << c.damage << ": the file was replaced";
        EXPECT_EQ(after.st_mtime, before.st_mtime) << c.damage << ": the file was written";
        if (c.readable > 0) {
            EXPECT_EQ(std::filesystem::file_size(values), text.size());
        }
    }
}
