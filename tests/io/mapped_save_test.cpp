// Saving a hex tab that reads its file through a mapping.
#include <gtest/gtest.h>

#include <string>

#include "document/document.h"
#include "base/encoding.h"
#include "base/file_access.h"
#include "io/open.h"
#include "io/save.h"
#include "support/scratch.h"

namespace {

std::wstring Scratch(const wchar_t* name) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    return std::wstring(base) + name + std::to_wstring(GetCurrentProcessId());
}

TEST(MappedHexSave, KeepsHiddenAndSystemAttributesLikeEveryOtherSave) {
    const std::wstring path = Scratch(L"tessary mapped save ");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(AtomicWriteBytes(path, "abcdef", 6, false));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    Document doc;
    doc.path = path;
    ASSERT_TRUE(MapForHex(doc, path));
    doc.hexOverlay[1] = 'X';
    doc.modified = 1;
    ASSERT_TRUE(SaveMappedHex(path, doc));
    EXPECT_EQ("aXcdef", FileBytes(path));
    const DWORD attributes = GetFileAttributesW(path.c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << attributes;
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_SYSTEM) << attributes;
    // To a new name: the new file gets nothing of the kind.
    const std::wstring copy = path + L" copy";
    DeleteFileW(copy.c_str());
    ASSERT_TRUE(SaveMappedHex(copy, doc));
    EXPECT_FALSE(GetFileAttributesW(copy.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ReleaseMapping(doc);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    DeleteFileW(copy.c_str());
}

// The encoding and line ending after a save are those of the bytes written, changed bytes included,
// whatever the file held before.
TEST(MappedHexSave, TakesTheEncodingOfTheBytesItWrote) {
    const std::wstring path = Scratch(L"tessary mapped encoding ");
    ASSERT_TRUE(AtomicWriteBytes(path, "ab\r\ncd\r\n\xC3\xA9", 10, false));
    Document doc;
    doc.path = path;
    ASSERT_TRUE(MapForHex(doc, path));
    doc.encoding = 2;
    doc.lineEnding = 2;
    doc.hexOverlay[3] = '\r';  // the first break becomes CR CR
    doc.hexOverlay[8] = 'x';   // a broken two-byte character: not UTF-8
    doc.modified = 1;
    ASSERT_TRUE(SaveMappedHex(path, doc));
    EXPECT_EQ(kEncAnsi, static_cast<uint32_t>(doc.encoding));
    EXPECT_EQ(kEolMixed, static_cast<uint32_t>(doc.lineEnding));
    const std::string written = FileBytes(path);
    const DetectedEncoding reread = DetectEncoding(reinterpret_cast<const uint8_t*>(written.data()), written.size());
    EXPECT_EQ(reread.encoding, static_cast<uint32_t>(doc.encoding));
    EXPECT_EQ(reread.lineEnding, static_cast<uint32_t>(doc.lineEnding));
    ReleaseMapping(doc);
    DeleteFileW(path.c_str());
}

TEST(MappedHexSave, NeverReplacesAReadOnlyFile) {
    const std::wstring path = Scratch(L"tessary mapped read-only ");
    const std::wstring target = path + L" target";
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(AtomicWriteBytes(path, "abc", 3, false));
    ASSERT_TRUE(AtomicWriteBytes(target, "old", 3, false));
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    Document doc;
    doc.path = path;
    ASSERT_TRUE(MapForHex(doc, path));
    doc.hexOverlay[0] = 'Z';
    doc.modified = 1;
    EXPECT_FALSE(SaveMappedHex(target, doc));
    EXPECT_EQ("old", FileBytes(target));
    EXPECT_EQ(1u, doc.hexOverlay.size());  // the change is still there
    ReleaseMapping(doc);
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    DeleteFileW(target.c_str());
}

}  // namespace
