#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/document.h"
#include "base/encoding.h"
#include "base/file_access.h"
#include "io/open.h"
#include "io/save.h"
#include "support/component.h"
#include "support/unreadable_page.h"
#include "support/scratch.h"

using namespace std::string_literals;

TEST(OpenRules, BinaryMeansAZeroByteWithoutUtf16Mark) {
    for (const auto& [bytes, binary] : std::vector<std::pair<std::string, bool>>{
             {"", false}, {"ab", false}, {"a\0b"s, true}, {"\xFF\xFE" "a\0"s, false}, {"\xFE\xFF\0a"s, false},
             {"\xEF\xBB\xBF\0"s, true}})
        EXPECT_EQ(binary, LooksBinary(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << bytes;
}

// A save reads the text straight out of the component in pieces, across the gap the component
// keeps where the last edit was, and writes what a save of the whole text would.
TEST(SaveRules, PiecesComeStraightFromTheComponent) {
    ASSERT_TRUE(LoadComponentForTests());
    HWND ed = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, ed);
    editor::Send(ed, editor::kSetCodePage, 65001);
    editor::SetText(ed, "caf\xC3\xA9\r\n\xF0\x9F\x98\x80 end\r\n");
    editor::Send(ed, editor::kInsertText, 5, reinterpret_cast<LPARAM>("\xE4\xB8\xAD\r"));  // the gap is now inside
    const std::string text = editor::GetText(ed);
    for (uint32_t encoding : {kEncUtf8, kEncUtf16Be, kEncGbk}) {
        std::string whole;
        ASSERT_TRUE(EncodeEditorText(text, encoding, whole));
        for (size_t chunk = 1; chunk <= text.size(); ++chunk) {
            std::string body;
            LineBreakCounts breaks;
            ASSERT_TRUE(EncodeEditorText(
                text.size(), encoding,
                [ed](uint64_t offset, size_t size) {
                    return editor::RangePointer(ed, static_cast<long long>(offset), static_cast<long long>(size));
                },
                [&](const char* data, size_t size) {
                    body.append(data, size);
                    return true;
                },
                breaks, chunk));
            EXPECT_EQ(body, whole) << encoding << " " << chunk;
            EXPECT_EQ(breaks.crlf, 2u);
            EXPECT_EQ(breaks.cr, 1u);
        }
    }
    DestroyWindow(ed);
}

// A large text gets room for itself and its lines up front; a first chunk of short lines must not
// reserve room for lines the rest of the file never has. The spare room is held from the start: it
// stays within a fiftieth of the text, or a large load overshoots its memory budget.
TEST(OpenRules, RoomForALargeTextAndItsLines) {
    for (const uint64_t size : {uint64_t(0), uint64_t(1600), uint64_t(200) << 20, uint64_t(1) << 30, uint64_t(5) << 30}) {
        EXPECT_GT(LargeTextRoom(size), size);
        EXPECT_LE(LargeTextRoom(size) - size, size / 50 + 1) << size;
    }
    EXPECT_EQ(43u, LargeTextLines(3200, 320, 4));
    EXPECT_EQ(101u, LargeTextLines(3200, 320, 320));
    const uint64_t huge = uint64_t(5) << 30, lines = uint64_t(1) << 18;  // 80 bytes a line, over 4 GiB
    EXPECT_EQ(huge / 80 * 17 / 16 + 1, LargeTextLines(huge, 80 * lines, lines));
}

// A reload keeps the old text beside the new one only while both fit with room to spare: the
// same file is kept with plenty of memory free and cleared first when memory is short.
TEST(OpenRules, AReloadKeepsItsOldTextOnlyWhenBothFit) {
    const uint64_t gib = uint64_t(1) << 30;
    for (const uint64_t size : {uint64_t(200) << 20, gib, 5 * gib}) {
        EXPECT_TRUE(ReloadKeepsText(size, 4 * size)) << size;
        EXPECT_FALSE(ReloadKeepsText(size, size + size / 2)) << size;
        EXPECT_FALSE(ReloadKeepsText(size, 0)) << size;
    }
}

namespace {

// Hex tabs over real files in a scratch folder: a file that vanishes or is locked must never cost
// a tab its bytes, and a tab without bytes must never write an empty file.
class HexFiles : public ::testing::Test {
protected:
    void TearDown() override { ReleaseMapping(doc); }

    std::wstring Write(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = dir + name;
        EXPECT_TRUE(AtomicWriteBytes(path, bytes.data(), bytes.size(), false));
        return path;
    }
    static HANDLE Lock(const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    // Maps `path` into the tab with one changed byte on top.
    void MapWithChange(const std::wstring& path) {
        doc.path = path;
        doc.hexMode = 1;
        ASSERT_TRUE(MapForHex(doc, path));
        doc.hexOverlay[1] = 'X';
        doc.modified = 1;
        doc.fileSize = doc.mapSize;
    }
    void ExpectMappedWithChange(const std::string& bytes) {
        ASSERT_EQ(1, doc.mapped);
        ASSERT_EQ(bytes.size(), doc.mapSize);
        EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(doc.mapView), bytes.size()));
        ASSERT_EQ(1u, doc.hexOverlay.count(1));
        EXPECT_EQ('X', doc.hexOverlay[1]);
    }

    ScratchFolder scratch{L"tessary hex test"};
    std::wstring dir = scratch.path + L"\\";
    Document doc;
};

TEST_F(HexFiles, ReloadOfAVanishedOrLockedFileKeepsTheBytes) {
    MapWithChange(Write(L"shown.bin", "abc\0def"s));
    std::wstring error;
    doc.path = dir + L"gone.bin";
    EXPECT_FALSE(ReloadHexBytes(doc, error));
    EXPECT_EQ(L"Tessary cannot find this file:\n" + doc.path, error);
    ExpectMappedWithChange("abc\0def"s);

    doc.path = Write(L"locked.bin", "locked");
    HANDLE lock = Lock(doc.path);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    EXPECT_FALSE(ReloadHexBytes(doc, error));
    EXPECT_EQ(0u, error.rfind(L"Tessary cannot read this file:\n" + doc.path, 0)) << error.c_str();
    EXPECT_FALSE(MapForHex(doc, doc.path));
    CloseHandle(lock);
    ExpectMappedWithChange("abc\0def"s);
}

TEST_F(HexFiles, ReloadKeepsTheCaretWithinTheNewBytesAndDetectsTheEncoding) {
    doc.hexMode = 1;
    doc.hexBytes.assign(64, 0x41);
    doc.hexCaret = 3;
    doc.hexCaretLowNibble = 1;
    doc.path = Write(L"utf16.bin",
                     "\xFF\xFE"
                     "a\0\n\0b\0"s);
    std::wstring error;
    ASSERT_TRUE(ReloadHexBytes(doc, error));
    EXPECT_EQ(1, doc.mapped);
    EXPECT_TRUE(doc.hexBytes.empty());
    EXPECT_EQ(3, doc.hexCaret);
    EXPECT_EQ(1, doc.hexCaretLowNibble);
    EXPECT_EQ(static_cast<int>(kEncUtf16Le), doc.encoding);
    EXPECT_EQ(static_cast<int>(kEolLf), doc.lineEnding);

    doc.hexCaret = 40;
    ASSERT_TRUE(ReloadHexBytes(doc, error));
    EXPECT_EQ(7, doc.hexCaret);
    EXPECT_EQ(0, doc.hexCaretLowNibble);
}

TEST_F(HexFiles, FailedSaveToAnotherFileKeepsTheMapping) {
    // The tab's own file has been renamed away, so it could not be mapped again, and the target
    // is held by another program, so the replace fails.
    const std::wstring shown = Write(L"renamed.bin", "abc\0def"s);
    MapWithChange(shown);
    ASSERT_TRUE(MoveFileExW(shown.c_str(), (dir + L"renamed later.bin").c_str(), 0));
    const std::wstring target = Write(L"busy.bin", "busy");
    HANDLE lock = Lock(target);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    EXPECT_FALSE(SaveMappedHex(target, doc));
    CloseHandle(lock);
    EXPECT_EQ("busy", FileBytes(target));
    EXPECT_FALSE(PathExists(target + kTempSuffix));
    ExpectMappedWithChange("abc\0def"s);

    ASSERT_TRUE(SaveMappedHex(target, doc));
    EXPECT_EQ("aXc\0def"s, FileBytes(target));
    EXPECT_TRUE(doc.hexOverlay.empty());
}

TEST_F(HexFiles, BytesThatCannotBeReadAreZeroAndKeepTheEncoding) {
    // A view whose second page has nothing behind it faults like a mapping whose volume is gone.
    const HalfReadableView half;
    ASSERT_NE(nullptr, half.view);
    uint8_t* view = half.view;
    const size_t page = half.page;
    std::vector<uint8_t> copy(2 * page, 0xEE);
    EXPECT_TRUE(CopyFromMapping(view, copy.data(), page));
    EXPECT_EQ('a', copy[page - 1]);
    EXPECT_FALSE(CopyFromMapping(view, copy.data(), copy.size()));
    EXPECT_EQ(0, copy[2 * page - 1]) << "what could not be read is 0";

    // A save of such bytes fails with its message, writes nothing and keeps the change: the
    // end-to-end test's. Looking for the encoding of such bytes leaves the tab's encoding as it was.
    doc.hexMode = doc.mapped = 1;
    doc.mapView = view;
    doc.mapSize = 2 * page;
    doc.encoding = kEncUtf16Be;
    DetectHexEncoding(doc);
    EXPECT_EQ(static_cast<int>(kEncUtf16Be), doc.encoding);
    doc.mapView = nullptr;  // not a view the fixture may unmap
    doc.mapped = 0;
}

TEST_F(HexFiles, ATabWithoutBytesNeverWritesAnEmptyFile) {
    const std::wstring path = Write(L"precious.bin", "precious");
    doc.path = path;
    doc.hexMode = 1;
    doc.fileSize = 8;
    doc.modified = 1;
    EXPECT_FALSE(SaveHexBytes(doc, path));
    EXPECT_FALSE(SaveHexBytes(doc, dir + L"copy.bin"));
    EXPECT_EQ("precious", FileBytes(path));
    EXPECT_FALSE(PathExists(dir + L"copy.bin"));
    // A file that was empty when read may be written empty again.
    doc.fileSize = 0;
    EXPECT_TRUE(SaveHexBytes(doc, dir + L"empty.bin"));
    EXPECT_EQ("", FileBytes(dir + L"empty.bin"));
}

// Memory the process has committed (what a buffer of the file's size would show in).
uint64_t CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

TEST_F(HexFiles, LargeFileThatIsNotUtf8LeavesNoBufferOfItsSize) {
    ASSERT_TRUE(LoadComponentForTests());
    constexpr size_t kSize = 24u << 20;
    const std::wstring path = Write(L"large utf16.txt", "\xFF\xFE"s + std::string(kSize - 2, 'a'));
    documents.emplace_back();
    Document& tab = documents.back();
    tab.path = path;
    tab.editor = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, tab.editor);
    const uint64_t before = CommittedBytes();
    std::wstring error;
    EXPECT_EQ(LoadOutcome::HexMapped, LoadIntoTab(0, path, error));
    EXPECT_LT(CommittedBytes(), before + (8u << 20));
    ReleaseMapping(tab);
    DestroyWindow(tab.editor);
    documents.clear();
}

}  // namespace
