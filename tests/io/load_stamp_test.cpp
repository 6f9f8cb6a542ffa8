// What a load records about the file it read, with a real editing component.
#include <gtest/gtest.h>

#include <string>

#include "document/document.h"
#include "base/file_access.h"
#include "io/open.h"
#include "support/component.h"
#include "support/scratch.h"

namespace {

// Another program appends to the file while the first piece of it is being read.
std::wstring growingPath;
BOOL WINAPI ReadWhileItGrows(HANDLE file, LPVOID to, DWORD want, LPDWORD got, LPOVERLAPPED overlapped) {
    if (!growingPath.empty()) {
        HANDLE other = CreateFileW(growingPath.c_str(), FILE_APPEND_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
        DWORD written = 0;
        if (other != INVALID_HANDLE_VALUE) {
            WriteFile(other, "appended\n", 9, &written, nullptr);
            CloseHandle(other);
        }
        growingPath.clear();
    }
    return ReadFile(file, to, want, got, overlapped);
}

class LoadStamp : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadComponentForTests()); }
    void SetUp() override {
        Document doc;
        doc.editor = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, doc.editor);
        documents.push_back(std::move(doc));
    }
    void TearDown() override {
        SetReadFileForTesting(nullptr);
        growingPath.clear();
        for (Document& doc : documents) {
            ReleaseMapping(doc);
            if (doc.editor) DestroyWindow(doc.editor);
        }
        documents.clear();
    }
    ScratchFolder scratch{L"tessary load stamp"};
    std::wstring path = scratch.path + L"\\a.txt";
};

TEST_F(LoadStamp, AFileThatGrowsWhileItIsReadIsSeenAsChanged) {
    ASSERT_TRUE(AtomicWriteBytes(path, "first\n", 6, false));
    growingPath = path;
    SetReadFileForTesting(ReadWhileItGrows);
    std::wstring error;
    ASSERT_EQ(LoadOutcome::Text, LoadIntoTab(0, path, error));
    ASSERT_TRUE(growingPath.empty()) << "the file was not read through the seam";
    const FileStamp now = FileTimeAndSize(path);
    ASSERT_EQ(15u, now.size);
    // The tab holds the six bytes it read; what it recorded must not pass for the grown file.
    EXPECT_FALSE(now.time == documents[0].fileTime && now.size == documents[0].fileSize);
    EXPECT_EQ(6u, documents[0].fileSize);
}

TEST_F(LoadStamp, AnUntouchedFileRecordsItsOwnStamp) {
    ASSERT_TRUE(AtomicWriteBytes(path, "first\n", 6, false));
    std::wstring error;
    ASSERT_EQ(LoadOutcome::Text, LoadIntoTab(0, path, error));
    const FileStamp now = FileTimeAndSize(path);
    EXPECT_EQ(now.time, documents[0].fileTime);
    EXPECT_EQ(now.size, documents[0].fileSize);
}

}  // namespace
