// SPDX-License-Identifier: GPL-3.0-or-later
// The Debian packages as scripts/package.sh writes them from this build: their files and
// fields, lintian's verdict, and the packages installed into a scratch root with dpkg as apt
// would install them, used from there and removed again.
#include "release/Command.h"
#include "support/TempFolder.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using releasetest::CommandResult;
using releasetest::quoted;
using releasetest::runCommand;

namespace {

const std::string kVersion = TESSEL_PROJECT_VERSION;
const std::vector<std::string> kPackages = {"tessel-vst", "tessel-lv2", "tessel-tools"};

// The packages the test "Packages.Pack" wrote from this build before these tests run.
std::string deb(const std::string& name) {
    return std::string(TESSEL_TEST_DIST) + "/" + name + "_" + kVersion + "_amd64.deb";
}

std::string field(const std::string& name, const std::string& key) {
    return runCommand("dpkg-deb -f " + quoted(deb(name)) + " " + key).output;
}

std::string contents(const std::string& name) {
    return runCommand("dpkg-deb -c " + quoted(deb(name))).output;
}

// dpkg working on a root of its own, with this machine's package list, so that Depends are
// checked against what is really installed here.
std::string dpkgIn(const std::string& root) {
    return "PATH=/usr/sbin:/sbin:$PATH dpkg --root=" + quoted(root) +
           " --force-not-root --force-script-chrootless --log=/dev/null ";
}

void makeScratchRoot(const std::string& root) {
    namespace fs = std::filesystem;
    const fs::path admin = fs::path(root) / "var/lib/dpkg";
    fs::create_directories(admin / "info");
    fs::create_directories(admin / "updates");
    fs::copy_file("/var/lib/dpkg/status", admin / "status");
    TempFolder::writeText(admin / "available", "");
}

// Every file and folder under root but dpkg's own database.
std::vector<std::string> leftovers(const std::string& root) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string path = std::filesystem::relative(entry.path(), root).string();
        if (path.rfind("var", 0) != 0) found.push_back(path);
    }
    return found;
}

} // namespace

TEST(Packages, HoldTheirFilesWhereHostsLookWithDocumentation) {
    const std::string vst = contents("tessel-vst");
    EXPECT_NE(vst.find(" ./usr/lib/lxvst/Tessel.so\n"), std::string::npos) << vst;
    const std::string lv2 = contents("tessel-lv2");
    for (const char* file : {"manifest.ttl", "tessel.ttl", "presets.ttl", "tessel_lv2.so"})
        EXPECT_NE(lv2.find(std::string(" ./usr/lib/lv2/Tessel.lv2/") + file + "\n"),
                  std::string::npos)
            << file;
    const std::string tools = contents("tessel-tools");
    for (const char* file :
         {"usr/bin/tessel-render", "usr/bin/tessel-shot", "usr/share/man/man1/tessel-render.1.gz",
          "usr/share/man/man1/tessel-shot.1.gz"})
        EXPECT_NE(tools.find(std::string(" ./") + file + "\n"), std::string::npos) << file;

    for (const std::string& name : kPackages) {
        const std::string files = contents(name);
        for (const char* doc : {"copyright", "changelog.gz"})
            EXPECT_NE(files.find("./usr/share/doc/" + name + "/" + doc + "\n"), std::string::npos)
                << name << " " << doc;
        std::istringstream lines(files);
        for (std::string line; std::getline(lines, line);)
            EXPECT_NE(line.find(" root/root "), std::string::npos) << name << ": " << line;
        EXPECT_EQ(field(name, "Version"), kVersion + "\n") << name;
        // Computed from the binaries: every one needs the C library.
        EXPECT_NE(field(name, "Depends").find("libc6 (>= "), std::string::npos) << name;
    }
    EXPECT_NE(field("tessel-tools", "Depends").find("libsndfile1"), std::string::npos);
    EXPECT_NE(field("tessel-vst", "Depends").find("libx11-6"), std::string::npos);
}

TEST(Packages, InstallIntoARootWorkFromThereAndLeaveNothingWhenRemoved) {
    TempFolder scratch;
    const std::string root = scratch / "root";
    makeScratchRoot(root);
    std::string debs;
    for (const std::string& name : kPackages) debs += " " + quoted(deb(name));
    CommandResult install = runCommand(dpkgIn(root) + "--install" + debs);
    ASSERT_EQ(install.exitCode, 0) << install.output;

    {
        const std::string plugin = root + "/usr/lib/lxvst/Tessel.so";
        TestHost host(plugin.c_str());
        ASSERT_TRUE(host.load()) << "the installed plug-in's entry point answers";
        char name[64] = {};
        host.dispatch(effGetEffectName, 0, 0, name);
        EXPECT_STREQ(name, "Tessel");
        host.close();
    }

    CommandResult lv2ls = runCommand("LV2_PATH=" + quoted(root + "/usr/lib/lv2") + " lv2ls");
    if (lv2ls.exitCode == 127) {
        ADD_FAILURE() << "lv2ls is missing: scripts/install-deps.sh installs lilv-utils";
    } else {
        EXPECT_NE(lv2ls.output.find("urn:tessel:lv2:plugin"), std::string::npos) << lv2ls.output;
    }

    CommandResult render = runCommand(quoted(root + "/usr/bin/tessel-render") + " --version");
    EXPECT_EQ(render.exitCode, 0);
    EXPECT_EQ(render.output.rfind("tessel-render " + kVersion + "\n", 0), 0u) << render.output;

    CommandResult remove = runCommand(dpkgIn(root) + "--purge tessel-vst tessel-lv2 tessel-tools");
    ASSERT_EQ(remove.exitCode, 0) << remove.output;
    EXPECT_EQ(leftovers(root), std::vector<std::string>{});
}

TEST(Packages, LintianFindsNoError) {
    if (runCommand("command -v lintian").exitCode != 0)
        GTEST_SKIP() << "lintian is not installed (scripts/install-deps.sh installs it)";
    std::string debs;
    for (const std::string& name : kPackages) debs += " " + quoted(deb(name));
    CommandResult lintian = runCommand("lintian --fail-on error --tag-display-limit 0" + debs);
    EXPECT_EQ(lintian.exitCode, 0) << lintian.output;
}
