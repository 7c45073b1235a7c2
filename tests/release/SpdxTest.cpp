// SPDX-License-Identifier: GPL-3.0-or-later
// Every source file the repository tracks carries its license line.
#include "release/Command.h"

#include <gtest/gtest.h>

using releasetest::quoted;
using releasetest::runCommand;

TEST(Spdx, EveryTrackedSourceFileNamesTheLicense) {
    if (runCommand("git -C " + quoted(TESSEL_SOURCE_DIR) + " rev-parse").exitCode != 0)
        GTEST_SKIP() << "the sources are not a git work tree";
    releasetest::CommandResult check =
        runCommand(quoted(TESSEL_SOURCE_DIR "/scripts/spdx.sh") + " --check");
    EXPECT_EQ(check.exitCode, 0) << "run scripts/spdx.sh to add the line to:\n" << check.output;
}
