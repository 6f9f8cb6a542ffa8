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

TEST(MappedHexSave, KeepsHiddenAndSystemAttributesLikeEveryOtherSave) {
    const ScratchFolder scratch(L"tessary mapped save");
    const std::wstring path = scratch.path + L"\\a.bin";
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
    ASSERT_TRUE(SaveMappedHex(copy, doc));
    EXPECT_FALSE(GetFileAttributesW(copy.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ReleaseMapping(doc);
}

// The encoding and line ending after a save are those of the bytes written, changed bytes included,
// whatever the file held before.
TEST(MappedHexSave, TakesTheEncodingOfTheBytesItWrote) {
    const ScratchFolder scratch(L"tessary mapped encoding");
    const std::wstring path = scratch.path + L"\\a.txt";
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
}

TEST(MappedHexSave, NeverReplacesAReadOnlyFile) {
    const ScratchFolder scratch(L"tessary mapped read-only");
    const std::wstring path = scratch.path + L"\\a.txt", target = path + L" target";
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
}

}  // namespace
