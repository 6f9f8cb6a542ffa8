// Whole-file reads and atomic writes on real files in a scratch folder.
#include "base/file_access.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int failWritesAfter = -1;
BOOL WINAPI FlakyWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    if (failWritesAfter == 0) {
        SetLastError(ERROR_DISK_FULL);
        *written = 0;
        return FALSE;
    }
    if (failWritesAfter > 0) --failWritesAfter;
    return WriteFile(file, data, size, written, overlapped);
}

class FileAccess : public ::testing::Test {
protected:
    void TearDown() override {
        SetWriteFileForTesting(nullptr);
        failWritesAfter = -1;
    }
    ScratchFolder scratch{L"tessary io test \u00E4\u4E2D"};
    std::wstring dir = scratch.path + L"\\";
};

TEST_F(FileAccess, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
    const std::wstring path = dir + L"plain file.txt";
    ASSERT_TRUE(AtomicWriteBytes(path, "old", 3, false));
    ASSERT_TRUE(AtomicWriteBytes(path, "new text", 8, true));
    EXPECT_EQ("\xEF\xBB\xBFnew text", FileBytes(path));
    EXPECT_FALSE(PathExists(path + kTempSuffix));
    ASSERT_TRUE(AtomicWriteBytes(path, "", 0, false));
    EXPECT_EQ("", FileBytes(path));
    EXPECT_EQ(ReadStatus::Ok, ReadFileBytes(path).status);
}

TEST_F(FileAccess, FailedWriteKeepsTheOldFileByteForByte) {
    const std::wstring path = dir + L"precious.txt";
    ASSERT_TRUE(AtomicWriteBytes(path, "precious content", 16, false));
    SetWriteFileForTesting(FlakyWrite);
    for (int after : {0, 1}) {  // the mark fails, or the text after the mark
        failWritesAfter = after;
        EXPECT_FALSE(AtomicWriteBytes(path, "replacement", 11, true));
        EXPECT_EQ("precious content", FileBytes(path));
        EXPECT_FALSE(PathExists(path + kTempSuffix));
    }
    failWritesAfter = 0;
    EXPECT_FALSE(WriteTextFileAtomic(path, L"x", 2));
    EXPECT_EQ("precious content", FileBytes(path));
    // A body written in pieces fails part-way: at the mark, at any piece, or by itself (a piece that
    // does not convert).
    auto threePieces = [](bool failAtTheEnd) {
        return [failAtTheEnd](const ByteSink& sink) {
            return sink("one ", 4) && sink("two ", 4) && sink("three", 5) && !failAtTheEnd;
        };
    };
    for (int after : {0, 1, 2, 3}) {
        failWritesAfter = after;
        EXPECT_FALSE(AtomicWriteStream(path, "\xEF\xBB\xBF", threePieces(false))) << after;
        EXPECT_EQ("precious content", FileBytes(path));
        EXPECT_FALSE(PathExists(path + kTempSuffix));
    }
    failWritesAfter = -1;
    EXPECT_FALSE(AtomicWriteStream(path, "", threePieces(true)));
    EXPECT_EQ("precious content", FileBytes(path));
    EXPECT_FALSE(PathExists(path + kTempSuffix));
    ASSERT_TRUE(AtomicWriteStream(path, "\xEF\xBB\xBF", threePieces(false)));
    EXPECT_EQ("\xEF\xBB\xBFone two three", FileBytes(path));
}

TEST_F(FileAccess, MissingFolderFailsCleanly) {
    const std::wstring path = dir + L"no such folder\\file.txt";
    EXPECT_FALSE(AtomicWriteBytes(path, "x", 1, false));
    EXPECT_EQ(ReadStatus::NotFound, ReadFileBytes(path).status);
    EXPECT_EQ(ReadStatus::NotFound, ReadFileBytes(dir + L"missing.txt").status);
    EXPECT_EQ(0u, FileTimeAndSize(path).time);
}

// A locked file (read fails as unreadable, not missing; a save fails and keeps it) is the end-to-end
// test's (test_external_change_and_failures.sh).

TEST_F(FileAccess, ReadOnlyTargetIsNotReplaced) {
    const std::wstring path = dir + L"readonly.txt";
    ASSERT_TRUE(AtomicWriteBytes(path, "keep", 4, false));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(AtomicWriteBytes(path, "lost", 4, false));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("keep", FileBytes(path));
    EXPECT_FALSE(PathExists(path + kTempSuffix));
}

TEST_F(FileAccess, HiddenAttributeSurvivesAReplace) {
    const std::wstring path = dir + L"hidden.txt";
    ASSERT_TRUE(AtomicWriteBytes(path, "a", 1, false));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(AtomicWriteBytes(path, "b", 1, false));
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(FileAccess, PathsLongerThanMaxPathWork) {
    std::wstring deep = dir;
    while (deep.size() < 300) {
        deep += L"a rather long folder name \u00FC\\";
        CreateDirectoryW(ExtendedPath(deep).c_str(), nullptr);
    }
    const std::wstring path = deep + L"file.txt";
    ASSERT_GT(path.size(), 260u);
    ASSERT_TRUE(AtomicWriteBytes(path, "deep", 4, false));
    EXPECT_EQ("deep", FileBytes(path));
    EXPECT_EQ(4u, FileSizeOf(path));
    EXPECT_NE(0u, FileTimeAndSize(path).time);
}

TEST_F(FileAccess, ExtendedPathOnlyTouchesLongPaths) {
    EXPECT_EQ(L"C:\\a.txt", ExtendedPath(L"C:\\a.txt"));
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'x');
    EXPECT_EQ(L"\\\\?\\" + longPath, ExtendedPath(longPath));
    EXPECT_EQ(L"\\\\?\\UNC\\server\\" + std::wstring(300, L'y'),
              ExtendedPath(L"\\\\server\\" + std::wstring(300, L'y')));
    EXPECT_EQ(L"\\\\?\\" + longPath, ExtendedPath(L"\\\\?\\" + longPath));
}

}  // namespace
