// The loaded library keeps its settings under $TESSEL_CONFIG_HOME: a new instance takes the
// stored controller map and the default bank from there.
#include "platform/FileIo.h"
#include "platform/FileSettingsStore.h"
#include "platform/SettingsKeys.h"
#include "presets/FileFormats.h"
#include "support/TempFolder.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

// Points $TESSEL_CONFIG_HOME at a folder for the life of the object.
class ConfigHome {
public:
    explicit ConfigHome(const std::string& folder) {
        if (const char* old = std::getenv("TESSEL_CONFIG_HOME")) previous = old;
        ::setenv("TESSEL_CONFIG_HOME", folder.c_str(), 1);
    }
    ~ConfigHome() {
        if (previous)
            ::setenv("TESSEL_CONFIG_HOME", previous->c_str(), 1);
        else
            ::unsetenv("TESSEL_CONFIG_HOME");
    }

private:
    std::optional<std::string> previous;
};

std::string indexedName(TestHost& host, int index) {
    char text[64] = {};
    host.dispatch(effGetProgramNameIndexed, index, 0, text);
    return text;
}

} // namespace

TEST(StoredSettings, FirstInstanceWritesTheControllerMapAndLaterOnesReadIt) {
    TempFolder config;
    ConfigHome home(config.path());
    {
        TestHost host;
        ASSERT_TRUE(host.load());
        EXPECT_FLOAT_EQ(host.getParameter(48), 20.5f / 129.0f);
    }
    FileSettingsStore store(config.path());
    EXPECT_EQ(store.readDword(kMidiSettingsKeyPath, "param001"), 22u) << "defaults not written";
    ASSERT_EQ(store.writeValues(kMidiSettingsKeyPath, {{"param000", std::uint32_t{3}}}),
              SettingsWriteStatus::ok);

    TestHost host;
    ASSERT_TRUE(host.load());
    EXPECT_FLOAT_EQ(host.getParameter(48), 3.5f / 129.0f);
    EXPECT_EQ(host.getParameter(49), 22.5f / 129.0f);
}

TEST(StoredSettings, DefaultBankIsLoadedWhenTheLibraryCreatesAnInstance) {
    TempFolder config, banks;
    ConfigHome home(config.path());
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
}
