// SPDX-License-Identifier: GPL-3.0-or-later
// The one version number as each edition and tool shows it, against the project version the
// build was configured with.
#include "release/Command.h"
#include "support/TempFolder.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using releasetest::quoted;
using releasetest::runCommand;

namespace {

constexpr int kMajor = TESSEL_PROJECT_VERSION_MAJOR;
constexpr int kMinor = TESSEL_PROJECT_VERSION_MINOR;
constexpr int kMicro = TESSEL_PROJECT_VERSION_PATCH;

// The number after `property` in the description, -1 when the property is missing.
int numberAfter(const std::string& ttl, const std::string& property) {
    const std::size_t at = ttl.find(property + " ");
    if (at == std::string::npos) return -1;
    return std::atoi(ttl.c_str() + at + property.size() + 1);
}

} // namespace

TEST(Version, ToolsPrintTheVersionAndTheLicense) {
    for (const char* path : {TESSEL_RENDER_PATH, TESSEL_SHOT_PATH}) {
        const std::string tool = std::string(path).substr(std::string(path).rfind('/') + 1);
        releasetest::CommandResult run = runCommand(quoted(path) + " --version");
        EXPECT_EQ(run.exitCode, 0) << tool;
        EXPECT_EQ(run.output.substr(0, run.output.find('\n')), tool + " " + TESSEL_PROJECT_VERSION);
        EXPECT_NE(run.output.find("GPL-3.0-or-later"), std::string::npos) << run.output;

        // Like --help, --version answers whatever else the line holds.
        run = runCommand(quoted(path) + " --no-such-option --version");
        EXPECT_EQ(run.exitCode, 0) << tool << ": " << run.output;
        EXPECT_EQ(run.output.rfind(tool + " " + TESSEL_PROJECT_VERSION, 0), 0u) << run.output;
        run = runCommand(quoted(path) + " --help --version");
        EXPECT_NE(run.output.find("Usage:"), std::string::npos) << "the first of them decides";
    }
}

TEST(Version, Vst2HostReadsTheVendorVersion) {
    TestHost host;
    ASSERT_TRUE(host.load());
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 10000 * kMajor + 100 * kMinor + kMicro);
    host.close();
}

TEST(Version, Lv2DescriptionNamesAReleaseVersionAndTheLicense) {
    const std::string ttl = TempFolder::readText(TESSEL_LV2_BUNDLE "/tessel.ttl");
    const int minorVersion = numberAfter(ttl, "lv2:minorVersion");
    const int microVersion = numberAfter(ttl, "lv2:microVersion");
    // Hosts treat an odd number or minor version 0 as a development build.
    EXPECT_EQ(minorVersion, 2 * (100 * kMajor + kMinor));
    EXPECT_EQ(microVersion, 2 * kMicro);
    EXPECT_GT(minorVersion, 0);
    EXPECT_NE(ttl.find("doap:license <https://spdx.org/licenses/GPL-3.0-or-later>"),
              std::string::npos);
}
