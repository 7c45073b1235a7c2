// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file reading and atomic replacement on Windows.
#include "platform/FileIo.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        static int counter = 0;
        path = std::string(base) + "tessel-fileio-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(counter++);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::string file(const char* name) const { return path + "\\" + name; }
    std::string path;
};

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

} // namespace

TEST(Win32FileIo, ReplacesAFileWholeAndLeavesNoTemporaryFile) {
    TempFolder folder;
    std::string path = folder.file("bank.dlb");
    ASSERT_EQ(writeFileAtomically(path, bytesOf("first")), 0);
    EXPECT_EQ(readWholeFile(path), bytesOf("first"));
    ASSERT_EQ(writeFileAtomically(path, bytesOf("second, longer")), 0);
    EXPECT_EQ(readWholeFile(path), bytesOf("second, longer"));
    ASSERT_EQ(writeFileAtomically(path, {}), 0);
    EXPECT_EQ(readWholeFile(path), std::vector<std::uint8_t>());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(Win32FileIo, FailuresChangeNothing) {
    TempFolder folder;
    std::string path = folder.file("preset.dlp");
    ASSERT_EQ(writeFileAtomically(path, bytesOf("kept")), 0);
    EXPECT_NE(writeFileAtomically(folder.file("missing\\preset.dlp"), bytesOf("x")), 0);
    EXPECT_NE(writeFileAtomically(folder.path + "\\", bytesOf("x")), 0);
    EXPECT_EQ(readWholeFile(path), bytesOf("kept"));
}

TEST(Win32FileIo, ReadingRefusesMissingFilesFoldersAndOversizedFiles) {
    TempFolder folder;
    EXPECT_EQ(readWholeFile(folder.file("none.dlb")), std::nullopt);
    EXPECT_EQ(readWholeFile(folder.path), std::nullopt);
    std::string path = folder.file("big.dlb");
    ASSERT_EQ(writeFileAtomically(path, std::vector<std::uint8_t>(100, 7)), 0);
    EXPECT_EQ(readWholeFile(path, 99), std::nullopt);
    EXPECT_EQ(readWholeFile(path, 100), std::vector<std::uint8_t>(100, 7));
    EXPECT_EQ(readWholeFile(folder.path + "/big.dlb"), std::vector<std::uint8_t>(100, 7))
        << "forward slashes name the same file";
}
