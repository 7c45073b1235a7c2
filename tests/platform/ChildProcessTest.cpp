// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ChildProcess.h"
#include "platform/FileDialog.h"
#include "support/FakeProgram.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

TEST(ChildProcess, CollectsOutputAndExitCode) {
    ChildProcess child;
    ASSERT_EQ(child.start("/bin/sh", {"sh", "-c", "printf 'a b'; exit 3"}, true), 0);
    child.wait();
    EXPECT_TRUE(child.finished());
    EXPECT_EQ(child.output(), "a b");
    EXPECT_EQ(child.exitCode(), 3);
    EXPECT_FALSE(child.outputOverflowed());
}

TEST(ChildProcess, FailedStartIsReportedAtOnce) {
    ChildProcess child;
    EXPECT_EQ(child.start("/nonexistent/zenity", {"zenity"}, true), ENOENT);
    EXPECT_FALSE(child.running());
    EXPECT_FALSE(child.poll());
}

TEST(ChildProcess, HostDescriptorsAreNotInherited) {
    // A descriptor the host opened without close-on-exec, at a known number.
    int leaked = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 0);
    ASSERT_EQ(::dup2(leaked, 50), 50);
    ChildProcess child;
    ASSERT_EQ(child.start("/bin/sh", {"sh", "-c", "[ -e /proc/$$/fd/50 ] && echo leaked; echo end"},
                          true),
              0);
    child.wait();
    ::close(50);
    ::close(leaked);
    EXPECT_EQ(child.output(), "end\n");
}

TEST(ChildProcess, ResultArrivesWhenHostIgnoresChildSignals) {
    // Such a host's children are reaped by the system: the exit code is lost, the output
    // still tells the choice.
    TempFolder temp;
    installFakeProgram(temp, "zenity", "echo /x/kept.dlb\n");
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGCHLD, &ignore, &previous), 0);
    ProcessFileDialogs dialogs(temp.path());
    FileDialogRequest request;
    ASSERT_TRUE(dialogs.start(request));
    auto result = dialogs.wait();
    ::sigaction(SIGCHLD, &previous, nullptr);
    EXPECT_EQ(result.status, FileDialogStatus::chosen);
    EXPECT_EQ(result.path, "/x/kept.dlb");
}

TEST(FindProgram, SearchesFoldersInOrderAndSkipsWhatCannotRun) {
    TempFolder first, second;
    TempFolder::writeText(first / "tool", "not executable");
    ASSERT_EQ(::mkdir((first / "dir").c_str(), 0755), 0);
    installFakeProgram(second, "tool", "exit 0\n");
    installFakeProgram(second, "dir", "exit 0\n");
    std::string path = first.path() + ":" + second.path();
    EXPECT_EQ(findProgram("tool", path), second / "tool");
    EXPECT_EQ(findProgram("dir", path), second / "dir") << "a folder is no program";
    EXPECT_EQ(findProgram("missing", path), "");
    EXPECT_EQ(findProgram("../tool", path), "") << "names with a slash are refused";
    EXPECT_EQ(findProgram("", path), "");
}

TEST(ChildEnvironment, DropsHostLibraryVariablesOnly) {
    const char* parent[] = {"PATH=/usr/bin",
                            "LD_LIBRARY_PATH=/opt/host",
                            "LD_PRELOAD=x.so",
                            "GTK_PATH=/opt/host/gtk",
                            "LD_LIBRARY_PATH_EXTRA=kept",
                            "HOME=/h",
                            nullptr};
    auto environment = childEnvironment(const_cast<char* const*>(parent));
    EXPECT_EQ(environment,
              (std::vector<std::string>{"PATH=/usr/bin", "LD_LIBRARY_PATH_EXTRA=kept", "HOME=/h"}));
}
