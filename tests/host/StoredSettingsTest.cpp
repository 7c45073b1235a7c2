// The loaded library keeps its settings under $TESSEL_CONFIG_HOME: the first instance stores
// the controller map there, and a new instance loads the default bank named there.
#include "platform/FileIo.h"
#include "platform/FileSettingsStore.h"
#include "platform/SettingsKeys.h"
#include "presets/FileFormats.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

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
