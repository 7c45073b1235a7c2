// SPDX-License-Identifier: GPL-3.0-or-later
// What the common file dialogs are given: the filter list in the form GetOpenFileNameA
// reads and the starting folder in the system's form.
#include "platform/Win32FileDialogs.h"

#include <gtest/gtest.h>

TEST(Win32FileDialogs, FiltersArePairsEndedByTwoNuls) {
    EXPECT_EQ(win32FilterText({{"All Files", "*.*"}, {"Drell Banks", "*.dlb"}}),
              std::string("All Files\0*.*\0Drell Banks\0*.dlb\0\0", 33));
    EXPECT_EQ(win32FilterText({}), std::string("\0\0", 2));
}

TEST(Win32FileDialogs, TheStartingFolderUsesBackslashes) {
    EXPECT_EQ(win32InitialDirectory("C:/Users/me/Banks/"), "C:\\Users\\me\\Banks\\");
    EXPECT_EQ(win32InitialDirectory("C:\\Banks\\"), "C:\\Banks\\");
    EXPECT_EQ(win32InitialDirectory(""), "");
}

TEST(Win32FileDialogs, NothingIsHandedOutBeforeADialog) {
    Win32FileDialogs dialogs;
    EXPECT_FALSE(dialogs.running());
    EXPECT_EQ(dialogs.poll().status, FileDialogStatus::idle);
    EXPECT_EQ(dialogs.wait().status, FileDialogStatus::idle);
}
