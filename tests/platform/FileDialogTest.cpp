// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileDialog.h"
#include "platform/DialogCommands.h"
#include "support/FakeProgram.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

FileDialogRequest bankRequest(FileDialogKind kind, const std::string& directory) {
    FileDialogRequest request;
    request.kind = kind;
    request.title = kind == FileDialogKind::open ? "Select bank to load..." : "Save bank as...";
    request.filters = {{"All Files", "*.*"}, {"Drell Banks", "*.dlb"}};
    request.selectedFilter = 1;
    request.defaultExtension = "dlb";
    request.directory = directory;
    request.fileName = "last.dlb";
    return request;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    return out;
}

// zenity stand-in: records its arguments, answers with the path in ANSWER (exit 0) or
// cancels (exit 1) when there is none.
std::string fakeZenity(const TempFolder& temp, const std::string& answer) {
    std::string body = kRecordArguments;
    body += answer.empty() ? "exit 1\n" : "printf '%s\\n' '" + answer + "'\n";
    return installFakeProgram(temp, "zenity", body);
}

} // namespace

TEST(FileDialogCommands, ZenityGetsTitleStartPathAndSelectedFilterFirst) {
    auto args = fileDialogArguments(DialogProgram::zenity,
                                    bankRequest(FileDialogKind::save, "/banks/"), true);
    std::vector<std::string> expected = {"zenity",
                                         "--file-selection",
                                         "--title=Save bank as...",
                                         "--save",
                                         "--confirm-overwrite",
                                         "--filename=/banks/last.dlb",
                                         "--file-filter=Drell Banks | *.dlb",
                                         "--file-filter=All Files | *"};
    EXPECT_EQ(args, expected) << "no --attach without a parent window";

    auto request = bankRequest(FileDialogKind::open, "/banks");
    request.fileName.clear();
    request.parentWindow = 0x4400007;
    args = fileDialogArguments(DialogProgram::zenity, request, true);
    EXPECT_EQ(args[3], "--filename=/banks/") << "a folder alone keeps its trailing slash";
    EXPECT_EQ(args.back(), "--attach=71303175");
}

TEST(FileDialogCommands, KdialogGetsAttachStartPathAndFilterList) {
    auto request = bankRequest(FileDialogKind::open, "/banks");
    request.parentWindow = 99;
    request.filters.push_back({"Old Banks", "*.bnk;*.BNK"});
    auto args = fileDialogArguments(DialogProgram::kdialog, request, true);
    std::vector<std::string> expected = {"kdialog",
                                         "--title",
                                         "Select bank to load...",
                                         "--attach",
                                         "99",
                                         "--getopenfilename",
                                         "/banks/last.dlb",
                                         "*.dlb|Drell Banks\n*|All Files\n*.bnk *.BNK|Old Banks"};
    EXPECT_EQ(args, expected);
}

TEST(FileDialogCommands, MessageTextsAreEscapedForZenityOnly) {
    auto zenity = messageBoxArguments(DialogProgram::zenity, "Error...", "a<b & c>", true);
    EXPECT_EQ(zenity, (std::vector<std::string>{"zenity", "--error", "--title=Error...",
                                                "--text=a&lt;b &amp; c&gt;"}));
    auto kdialog = messageBoxArguments(DialogProgram::kdialog, "Error...", "Oops!", false);
    EXPECT_EQ(kdialog,
              (std::vector<std::string>{"kdialog", "--title", "Error...", "--sorry", "Oops!"}));
}

TEST(DialogPrograms, PrefersZenityExceptOnKde) {
    DialogPrograms both{"/z/zenity", "/k/kdialog", false};
    EXPECT_EQ(both.choose()->first, DialogProgram::zenity);
    both.preferKdialog = true;
    EXPECT_EQ(both.choose()->first, DialogProgram::kdialog);
    DialogPrograms onlyZenity{"/z/zenity", "", true};
    EXPECT_EQ(onlyZenity.choose()->second, "/z/zenity");
    DialogPrograms onlyKdialog{"", "/k/kdialog", false};
    EXPECT_EQ(onlyKdialog.choose()->second, "/k/kdialog");
    EXPECT_FALSE(DialogPrograms{}.choose());
}

TEST(ProcessFileDialogs, OpenDialogReturnsChosenPathFromZenity) {
    TempFolder temp;
    fakeZenity(temp, "/music/My Bank.dlb");
    ProcessFileDialogs dialogs(temp.path());
    ASSERT_TRUE(dialogs.start(bankRequest(FileDialogKind::open, "/music/")));
    auto result = dialogs.wait();
    EXPECT_EQ(result.status, FileDialogStatus::chosen);
    EXPECT_EQ(result.path, "/music/My Bank.dlb") << "spaces survive, newline is stripped";
    EXPECT_EQ(dialogs.poll().status, FileDialogStatus::idle) << "a result is handed out once";
    EXPECT_EQ(lines(TempFolder::readText(temp / "zenity.log"))[0], "--file-selection");
}

TEST(ProcessFileDialogs, PollNeverWaitsForTheDialog) {
    TempFolder temp;
    // Answers only once the test creates the file "go".
    installFakeProgram(temp, "zenity",
                       "i=0; while [ ! -e '" + temp.path() +
                           "/go' ] && [ $i -lt 1000 ]; do "
                           "sleep 0.01; i=$((i+1)); done\necho /x/preset.dlp\n");
    ProcessFileDialogs dialogs(temp.path());
    ASSERT_TRUE(dialogs.start(bankRequest(FileDialogKind::open, "")));
    EXPECT_TRUE(dialogs.running());
    EXPECT_EQ(dialogs.poll().status, FileDialogStatus::running);
    EXPECT_FALSE(dialogs.start(bankRequest(FileDialogKind::open, ""))) << "one dialog at a time";
    TempFolder::writeText(temp / "go", "");
    FileDialogResult result;
    for (int i = 0; i < 1000 && (result = dialogs.poll()).status == FileDialogStatus::running; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(result.status, FileDialogStatus::chosen);
    EXPECT_EQ(result.path, "/x/preset.dlp");
    EXPECT_FALSE(dialogs.running());
}

TEST(ProcessFileDialogs, CancelAndMissingProgramsAreReported) {
    TempFolder temp;
    fakeZenity(temp, "");
    ProcessFileDialogs dialogs(temp.path());
    ASSERT_TRUE(dialogs.start(bankRequest(FileDialogKind::open, "")));
    EXPECT_EQ(dialogs.wait().status, FileDialogStatus::cancelled);

    TempFolder empty;
    ProcessFileDialogs none(empty.path());
    ASSERT_TRUE(none.start(bankRequest(FileDialogKind::open, "")));
    EXPECT_EQ(none.poll().status, FileDialogStatus::unavailable) << "neither program installed";

    TempFolder broken;
    installFakeProgram(broken, "zenity", "exit 127\n");
    ProcessFileDialogs brokenDialogs(broken.path());
    ASSERT_TRUE(brokenDialogs.start(bankRequest(FileDialogKind::open, "")));
    EXPECT_EQ(brokenDialogs.wait().status, FileDialogStatus::unavailable) << "exit 127";

    TempFolder notExecutable;
    TempFolder::writeText(notExecutable / "zenity", "#!/bin/sh\necho /x\n"); // no exec bit
    ProcessFileDialogs skipped(notExecutable.path());
    ASSERT_TRUE(skipped.start(bankRequest(FileDialogKind::open, "")));
    EXPECT_EQ(skipped.wait().status, FileDialogStatus::unavailable);
}

TEST(ProcessFileDialogs, SaveAddsDefaultExtensionAndAsksBeforeReplacing) {
    TempFolder temp;
    fakeZenity(temp, temp / "fresh");
    ProcessFileDialogs dialogs(temp.path());
    ASSERT_TRUE(dialogs.start(bankRequest(FileDialogKind::save, temp.path())));
    auto result = dialogs.wait();
    EXPECT_EQ(result.path, temp / "fresh.dlb") << "extension added to a name without one";

    // "taken" becomes "taken.dlb", which exists: the question decides.
    TempFolder::writeText(temp / "taken.dlb", "old bank");
    for (bool replace : {true, false}) {
        installFakeProgram(temp, "zenity",
                           std::string(kRecordArguments) + "case \"$1\" in --question) exit " +
                               (replace ? "0" : "1") + ";; esac\necho '" + temp.path() +
                               "/taken'\n");
        ASSERT_TRUE(dialogs.start(bankRequest(FileDialogKind::save, temp.path())));
        result = dialogs.wait();
        if (replace) {
            EXPECT_EQ(result.status, FileDialogStatus::chosen);
            EXPECT_EQ(result.path, temp / "taken.dlb");
        } else {
            EXPECT_EQ(result.status, FileDialogStatus::cancelled) << "user kept the old file";
        }
    }
    EXPECT_NE(TempFolder::readText(temp / "zenity.log").find("--question"), std::string::npos);

    fakeZenity(temp, temp / "named.txt");
    ASSERT_TRUE(dialogs.start(bankRequest(FileDialogKind::save, temp.path())));
    EXPECT_EQ(dialogs.wait().path, temp / "named.txt") << "an extension of its own is kept";
}

TEST(ProcessFileDialogs, ZenityWithoutAttachIsRetriedWithoutParent) {
    TempFolder temp;
    installFakeProgram(temp, "zenity",
                       std::string(kRecordArguments) +
                           "for a in \"$@\"; do case \"$a\" in --attach=*) exit 255;; esac; "
                           "done\necho /x/b.dlb\n");
    auto request = bankRequest(FileDialogKind::open, "");
    request.parentWindow = 1234;
    ProcessFileDialogs dialogs(temp.path());
    ASSERT_TRUE(dialogs.start(request));
    auto result = dialogs.wait();
    EXPECT_EQ(result.status, FileDialogStatus::chosen);
    EXPECT_EQ(result.path, "/x/b.dlb");
    std::string log = TempFolder::readText(temp / "zenity.log");
    EXPECT_NE(log.find("--attach=1234"), std::string::npos) << "first try names the parent";
    auto logLines = lines(log);
    EXPECT_EQ(std::count(logLines.begin(), logLines.end(), std::string("--")), 2) << "two runs";
    EXPECT_EQ(std::count(logLines.begin(), logLines.end(), std::string("--attach=1234")), 1)
        << "the second run has no parent";
}

TEST(ProcessFileDialogs, HugeOutputNeitherBlocksNorCountsAsChoice) {
    TempFolder temp;
    // 200 KB on stdout: more than a pipe holds, so the parent must keep reading.
    installFakeProgram(temp, "zenity", "head -c 200000 /dev/zero | tr '\\0' a\n");
    ProcessFileDialogs dialogs(temp.path());
    ASSERT_TRUE(dialogs.start(bankRequest(FileDialogKind::open, "")));
    EXPECT_EQ(dialogs.wait().status, FileDialogStatus::cancelled);
}
