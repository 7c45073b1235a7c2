// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBox.h"
#include "support/FakeProgram.h"

#include <gtest/gtest.h>

TEST(MessageBox, LogLineIsOneLineWithCaption) {
    EXPECT_EQ(messageLogLine("Error...", "Not a bank file!"),
              "Tessel: Error...: Not a bank file!\n");
    EXPECT_EQ(messageLogLine("Error...", "two\nlines\r"), "Tessel: Error...: two lines \n");
}

TEST(MessageBox, ZenityShowsTheMessageDetachedAndStderrGetsTheLine) {
    TempFolder temp;
    installFakeProgram(temp, "zenity", kRecordArguments);
    ::testing::internal::CaptureStderr();
    {
        ProcessMessageBoxes boxes(temp.path());
        boxes.showError("Invalid file format!");
    }
    std::string stderrText = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(stderrText, "Tessel: Error...: Invalid file format!\n");
    auto args = waitForFile(temp / "zenity.log", "--\n");
    EXPECT_EQ(args, "--error\n--title=Error...\n--text=Invalid file format!\n--\n");
}

TEST(MessageBox, WithoutProgramsOnlyStderrIsWritten) {
    TempFolder empty;
    ::testing::internal::CaptureStderr();
    ProcessMessageBoxes boxes(empty.path());
    boxes.showError("Not a preset file!");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Tessel: Error...: Not a preset file!\n");
}
