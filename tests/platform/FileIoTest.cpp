// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileIo.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

int countEntries(const std::string& folder) {
    int n = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

} // namespace

TEST(FileIo, ReadsWholeFilesWithinTheLimitOnly) {
    TempFolder temp;
    TempFolder::writeText(temp / "f", "hello");
    EXPECT_EQ(readWholeFile(temp / "f"), bytesOf("hello"));
    EXPECT_EQ(readWholeFile(temp / "f", 5), bytesOf("hello"));
    EXPECT_FALSE(readWholeFile(temp / "f", 4)) << "a file over the limit is refused";
    TempFolder::writeText(temp / "empty", "");
    EXPECT_EQ(readWholeFile(temp / "empty"), std::vector<std::uint8_t>{});
    EXPECT_FALSE(readWholeFile(temp / "missing"));
    EXPECT_FALSE(readWholeFile(temp.path())) << "a folder is not a file";
    ASSERT_EQ(::mkfifo((temp / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(readWholeFile(temp / "fifo")) << "a FIFO is refused without blocking";
}

TEST(FileIo, AtomicWriteReplacesContentAndLeavesNoTemporaryFile) {
    TempFolder temp;
    const std::string target = temp / "bank.dlb";
    ASSERT_EQ(writeFileAtomically(target, bytesOf("first")), 0);
    EXPECT_EQ(TempFolder::readText(target), "first");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(writeFileAtomically(target, bytesOf("second, longer")), 0);
    EXPECT_EQ(TempFolder::readText(target), "second, longer");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "permissions of the replaced file are kept";
    EXPECT_EQ(countEntries(temp.path()), 1);
}

TEST(FileIo, AtomicWriteThroughSymlinkReplacesTheLinkedFile) {
    TempFolder temp;
    TempFolder::writeText(temp / "real.dlp", "old");
    ASSERT_EQ(::symlink((temp / "real.dlp").c_str(), (temp / "link.dlp").c_str()), 0);
    ASSERT_EQ(writeFileAtomically(temp / "link.dlp", bytesOf("new")), 0);
    EXPECT_EQ(TempFolder::readText(temp / "real.dlp"), "new");
    struct stat st {};
    ASSERT_EQ(::lstat((temp / "link.dlp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
}

TEST(FileIo, FailedWriteKeepsThePreviousFile) {
    TempFolder temp;
    EXPECT_NE(writeFileAtomically(temp / "no/such/folder/x", bytesOf("x")), 0);
    EXPECT_EQ(writeFileAtomically(temp.path(), bytesOf("x")), EISDIR);
    EXPECT_NE(writeFileAtomically("", bytesOf("x")), 0);

    // A file size limit makes the write itself fail half-way (root ignores permissions).
    const std::string target = temp / "keep.dlb";
    TempFolder::writeText(target, "previous");
    struct sigaction ignore {
    }, previousAction{};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previousAction), 0);
    rlimit previousLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    rlimit small = previousLimit;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    int error = writeFileAtomically(target, std::vector<std::uint8_t>(4096, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &previousLimit);
    ::sigaction(SIGXFSZ, &previousAction, nullptr);

    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(TempFolder::readText(target), "previous");
    EXPECT_EQ(countEntries(temp.path()), 1) << "the temporary file is removed";
}
