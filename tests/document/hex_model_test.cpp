#include "document/hex_model.h"
#include "views/views.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "support/unreadable_page.h"

namespace {

Document InMemory(std::vector<uint8_t> bytes) {
    Document doc;
    doc.hexMode = 1;
    doc.hexSavePointValid = 1;
    doc.hexBytes = std::move(bytes);
    return doc;
}

// A mapping stand-in: the view points at `bytes`, which the test keeps alive.
Document Mapped(const std::vector<uint8_t>& bytes, uint64_t size) {
    Document doc = InMemory({});
    doc.mapped = 1;
    doc.mapView = bytes.data();
    doc.mapSize = size;
    return doc;
}

void Type(Document& doc, const wchar_t* digits) {
    for (; *digits; ++digits) HexTypeDigit(doc, *digits);
}

// An in-memory tab's bytes in hex, then its caret as byte.nibble.
std::string State(const Document& doc) {
    std::string text;
    char pair[4];
    for (uint8_t b : doc.hexBytes) text += (std::snprintf(pair, sizeof pair, "%02X ", b), pair);
    return text + "at " + std::to_string(doc.hexCaret) + "." + std::to_string(doc.hexCaretLowNibble);
}

TEST(HexBytes, ReadAndWriteGoThroughOverlayOrMemory) {
    std::vector<uint8_t> file = {1, 2, 3};
    Document mapped = Mapped(file, file.size());
    WriteByte(mapped, 1, 0xAA);
    EXPECT_EQ(0xAA, ReadByte(mapped, 1));
    EXPECT_EQ(2, file[1]) << "the mapping is never written";
    EXPECT_EQ(1u, mapped.hexOverlay.size());
    Document memory = InMemory({1, 2, 3});
    WriteByte(memory, 2, 0xBB);
    WriteByte(memory, 3, 0xCC);  // past the end: nothing
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 0xBB}), memory.hexBytes);
}

TEST(HexBytes, UnreadableMappingReadsAsZeroAndSaysSo) {
    const HalfReadableView half;  // its second page faults like a mapping whose volume went away
    ASSERT_NE(nullptr, half.view);
    Document doc;
    doc.hexMode = doc.mapped = 1;
    doc.mapView = half.view + half.page;
    doc.mapSize = half.page;
    doc.hexOverlay[3] = 0x41;
    bool ok = true;
    const std::string line = HexPrintLine(doc, 0, ok);
    EXPECT_EQ("00000000  00 00 00 41 00 00 00 00  00 00 00 00 00 00 00 00  |...A............|", line);
    EXPECT_FALSE(ok);
}

TEST(HexBytes, AScreenOfRowsIsReadAtOnceAndRowByRowWhenThatFails) {
    std::vector<uint8_t> bytes(40);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(0x41 + i);
    const Document memory = InMemory(bytes);
    const HexColumns columns = HexColumnsFor(bytes.size());
    bool ok = false;
    const std::vector<HexRowText> rows = FormatHexRows(memory, 1, 10, columns, ok);
    ASSERT_EQ(2u, rows.size());
    EXPECT_TRUE(ok);
    for (uint64_t r = 1; r <= 2; ++r) {
        const HexRowText one = FormatHexRow(memory, r, columns, ok);
        EXPECT_EQ(one.offset + one.hex + one.printable, rows[r - 1].offset + rows[r - 1].hex + rows[r - 1].printable);
    }
    EXPECT_TRUE(FormatHexRows(memory, 3, 10, columns, ok).empty());

    // The last row of a readable page shows its bytes although the next page cannot be read.
    const HalfReadableView half;
    ASSERT_NE(nullptr, half.view);
    const size_t page = half.page;
    Document mapped;
    mapped.hexMode = mapped.mapped = 1;
    mapped.mapView = half.view;
    mapped.mapSize = 2 * page;
    const std::vector<HexRowText> edge = FormatHexRows(mapped, page / 16 - 1, 2, HexColumnsFor(2 * page), ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(2u, edge.size());
    EXPECT_EQ(L"aaaaaaaaaaaaaaaa", edge[0].printable);
    EXPECT_EQ(L"................", edge[1].printable);
}

TEST(HexTyping, DigitsOverwriteNibblesAndAdvance) {
    Document doc = InMemory({0x00, 0xFF});
    Type(doc, L"4");
    EXPECT_EQ("40 FF at 0.1", State(doc));
    Type(doc, L"1");
    EXPECT_EQ("41 FF at 1.0", State(doc));
    EXPECT_EQ(1, doc.modified);
    Type(doc, L"aB");  // on the last byte's second digit the caret goes back to its first digit
    EXPECT_EQ("41 AB at 1.0", State(doc));
    EXPECT_FALSE(HexTypeDigit(doc, L'g'));
    doc.readOnlyFile = 1;
    EXPECT_FALSE(HexTypeDigit(doc, L'1'));
    EXPECT_EQ(4u, doc.hexUndo.size());
}

TEST(HexTyping, UndoRestoresEachDigitAndStaysModified) {
    Document doc = InMemory({0x00, 0x00});
    Type(doc, L"41");
    ASSERT_TRUE(HexUndoStep(doc));
    EXPECT_EQ("40 00 at 0.1", State(doc));
    ASSERT_TRUE(HexUndoStep(doc));
    EXPECT_EQ("00 00 at 0.0", State(doc));
    EXPECT_EQ(1, doc.modified) << "undo never makes the tab clean";
    EXPECT_FALSE(HexUndoStep(doc));
    ASSERT_TRUE(HexRedoStep(doc) && HexRedoStep(doc));
    EXPECT_EQ("41 00 at 0.1", State(doc)) << "redo puts the caret where the digit was typed";
    // A typed digit empties the redo list; read-only tabs neither undo nor redo.
    HexUndoStep(doc);
    Type(doc, L"7");
    EXPECT_FALSE(HexRedoStep(doc));
    doc.readOnlyView = 1;
    EXPECT_FALSE(HexUndoStep(doc));
}

TEST(HexTyping, UndoOfAnEditPastTheEndMovesOnlyTheCaret) {
    Document doc = InMemory({1, 2, 3, 4});
    doc.hexUndo.push_back(HexEdit{10, 5, 6, 10, 10, 1, 1});
    const uint64_t before = doc.hexChangeCount;
    ASSERT_TRUE(HexUndoStep(doc));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4}), doc.hexBytes);
    EXPECT_EQ(3, doc.hexCaret);
    EXPECT_EQ(before + 1, doc.hexChangeCount);
}

TEST(HexTyping, UndoListIsBounded) {
    Document doc = InMemory(std::vector<uint8_t>(4));
    for (size_t i = 0; i < kHexUndoLimit + 3; ++i) HexTypeDigit(doc, L'1');
    EXPECT_EQ(kHexUndoLimit, doc.hexUndo.size());
}

TEST(HexStructural, EditsShiftBytesAndDropTheHistory) {
    Document doc = InMemory({0x10, 0x20, 0x30});
    Type(doc, L"11");               // byte 0 -> 0x11, caret on byte 1
    ASSERT_TRUE(HexUndoStep(doc));  // something to redo as well
    SetHexCaret(doc, 1, 0);
    ASSERT_TRUE(HexStructuralEdit(doc, HexStructural::Backspace));
    EXPECT_EQ("20 30 at 0.0", State(doc));
    EXPECT_TRUE(doc.hexUndo.empty() && doc.hexRedo.empty());
    // Without the records, an undo cannot write an old value at a shifted offset.
    EXPECT_FALSE(HexUndoStep(doc));
    EXPECT_FALSE(HexStructuralEdit(doc, HexStructural::Backspace)) << "nothing before byte 0";
    ASSERT_TRUE(HexStructuralEdit(doc, HexStructural::Enter));
    EXPECT_EQ("20 00 30 at 1.0", State(doc));
    SetHexCaret(doc, 2, 1);
    ASSERT_TRUE(HexStructuralEdit(doc, HexStructural::Delete));
    EXPECT_EQ("20 00 at 1.1", State(doc)) << "the caret stays inside the bytes";
    // Mapped bytes are never shifted.
    std::vector<uint8_t> file = {1, 2};
    Document mapped = Mapped(file, file.size());
    EXPECT_FALSE(HexStructuralEdit(mapped, HexStructural::Enter));
}

TEST(HexCaret, MovesStayInsideTheBytes) {
    Document doc = InMemory(std::vector<uint8_t>(40));
    const std::pair<HexMove, const char*> steps[] = {
        {HexMove::Left, "-0.0"},  {HexMove::Right, "0.1"}, {HexMove::Right, "1.0"}, {HexMove::Left, "0.1"},
        {HexMove::Down, "16.1"},  {HexMove::Down, "32.1"}, {HexMove::Down, "-32.1"},  // 48 is past the end
        {HexMove::End, "39.1"},   {HexMove::Right, "-39.1"}, {HexMove::Up, "23.1"},   {HexMove::Home, "0.0"}};
    for (const auto& [move, expected] : steps) {
        const bool moved = HexMoveCaret(doc, move);
        const std::string at = std::to_string(doc.hexCaret) + "." + std::to_string(doc.hexCaretLowNibble);
        EXPECT_EQ(expected, (moved ? "" : "-") + at);
    }
    // A caret left past the end by a shrink is limited before a key acts.
    doc.hexCaret = 100;
    doc.hexBytes.resize(5);
    EXPECT_TRUE(HexTypeDigit(doc, L'9'));
    EXPECT_EQ(0x90, doc.hexBytes[4]);
}

TEST(HexCaret, OffsetsBeyondFourGigabytes) {
    std::vector<uint8_t> page(16);
    const uint64_t size = 6ull << 30;
    Document doc = Mapped(page, size);
    SetHexCaret(doc, 0x100000005ll, 0);
    EXPECT_EQ(0x100000005ll, doc.hexCaret);
    doc.hexOverlay[0x100000005] = 0;  // the stand-in mapping is only 16 bytes long
    Type(doc, L"41");
    EXPECT_EQ(0x41, doc.hexOverlay[0x100000005]);
    EXPECT_EQ(0x100000006ll, doc.hexCaret);
    EXPECT_EQ(0x100000005u, doc.hexUndo.back().offset);
    EXPECT_TRUE(HexMoveCaret(doc, HexMove::End));
    EXPECT_EQ(static_cast<int64_t>(size - 1), doc.hexCaret);
    EXPECT_EQ(size / 16, HexRowCount64(doc));
    // Offsets wider than 32 bits are printed whole.
    EXPECT_EQ(9, HexColumnsFor(size).offsetDigits);
    EXPECT_EQ(8, HexColumnsFor(1ull << 32).offsetDigits);
    bool ok = true;
    EXPECT_EQ("100000000  ", HexPrintLine(doc, 0x10000000, ok).substr(0, 11));
    EXPECT_EQ(L"100000000", FormatHexRow(doc, 0x10000000, HexColumnsFor(size), ok).offset);
    doc.hexTopRow = 0x10000000;
    HexHit hit;
    ASSERT_TRUE(HexHitTest(doc, 10 * 9 + 1, 0, 9, 17, hit));  // the first digit of byte 0 is column 10 here
    EXPECT_EQ(0x100000000u, hit.offset);
}

TEST(HexClick, CellsOfBothHalvesAndThePrintableColumn) {
    Document doc = InMemory(std::vector<uint8_t>(40));
    doc.hexTopRow = 1;
    const int cw = 8, rh = 16;
    auto at = [&](int column, int row) {
        HexHit hit;
        hit.offset = 999;
        return HexHitTest(doc, column * cw + 3, row * rh + 5, cw, rh, hit) ? std::make_pair(hit.offset, hit.lowNibble)
                                                                           : std::make_pair(uint64_t{999}, -1);
    };
    EXPECT_EQ(std::make_pair(uint64_t{16}, 0), at(9, 0));   // first digit of the row's byte 0
    EXPECT_EQ(std::make_pair(uint64_t{16}, 1), at(10, 0));  // its second digit
    EXPECT_EQ(std::make_pair(uint64_t{23}, 1), at(31, 0));
    EXPECT_EQ(std::make_pair(uint64_t{24}, 0), at(34, 0));  // after the blank between the halves
    EXPECT_EQ(std::make_pair(uint64_t{31}, 1), at(56, 0));
    EXPECT_EQ(std::make_pair(uint64_t{32}, 0), at(58, 1));  // printable column, next row
    EXPECT_EQ(std::make_pair(uint64_t{37}, 0), at(63, 1));
    EXPECT_EQ(std::make_pair(uint64_t{999}, -1), at(58 + 8, 1)) << "byte 40 does not exist";
    EXPECT_EQ(std::make_pair(uint64_t{999}, -1), at(80, 0));
    EXPECT_EQ(0, HexWheelTopRow(doc, 240));
    EXPECT_EQ(2, HexWheelTopRow(doc, -120 * 5)) << "limited to the last row";
}

TEST(HexRows, PaintedAndPrintedTexts) {
    Document doc = InMemory({0x41, 0x20, 0x7F, 0xA0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x7E});
    bool ok = true;
    const HexRowText row = FormatHexRow(doc, 0, HexColumnsFor(17), ok);
    EXPECT_EQ(L"00000000", row.offset);
    EXPECT_EQ(L"41 20 7F A0 00 01 02 03  04 05 06 07 08 09 0A 0B ", row.hex);
    EXPECT_EQ(L"A ..............", row.printable);
    EXPECT_EQ("00000010  7E " + std::string(7 * 3 + 1 + 8 * 3, ' ') + " |~|", HexPrintLine(doc, 1, ok));
    EXPECT_TRUE(ok);
}

TEST(HexLeave, NeverLosesBytesOrPretendsTheyAreSaved) {
    // Unsaved changes of a mapped file cannot come along.
    std::vector<uint8_t> file = {'h', 'i'};
    Document mapped = Mapped(file, file.size());
    mapped.path = L"C:\\a.txt";
    Type(mapped, L"4");
    EXPECT_EQ(HexLeaveOutcome::UnsavedMappedChanges, PlanLeaveHex(mapped).outcome);
    // An unchanged file becomes text only when that text saves back to the same bytes.
    Document text = Mapped(file, file.size());
    text.path = L"C:\\a.txt";
    HexLeavePlan plan = PlanLeaveHex(text);
    EXPECT_EQ(HexLeaveOutcome::Text, plan.outcome);
    EXPECT_EQ("hi", plan.utf8);
    Document binary = InMemory({'a', 0, 'b'});
    binary.path = L"C:\\a.bin";
    EXPECT_EQ(HexLeaveOutcome::NotExactText, PlanLeaveHex(binary).outcome);
    // Edited bytes come back as their UTF-8 text, still modified; broken UTF-8 or NUL stays bytes.
    Document edited = InMemory({'o', 'k'});
    Type(edited, L"4");
    plan = PlanLeaveHex(edited);
    EXPECT_EQ(HexLeaveOutcome::Text, plan.outcome);
    EXPECT_EQ("Ok", plan.utf8);
    Document broken = InMemory({0xC3, 0x28});
    broken.hexSavePointValid = 0;
    EXPECT_EQ(HexLeaveOutcome::NotExactText, PlanLeaveHex(broken).outcome);
}

TEST(HexLeave, ATabWithoutItsBytesIsNeverShownAsAnEmptyText) {
    // Its file had bytes, but the mapping could not be made again and none are held.
    Document lost = InMemory({});
    lost.path = L"C:\\a.txt";
    lost.fileSize = 2;
    EXPECT_EQ(HexLeaveOutcome::BytesLost, PlanLeaveHex(lost).outcome);
    // A file that really is empty is an empty text.
    Document empty = InMemory({});
    empty.path = L"C:\\empty.txt";
    EXPECT_EQ(HexLeaveOutcome::Text, PlanLeaveHex(empty).outcome);
}

TEST(HexLeave, OutOfMemoryLeavesTheTabAsItWas) {
    std::vector<uint8_t> file(2 * kLargeAllocation, 'x');
    Document text = Mapped(file, file.size());
    text.path = L"C:\\a.txt";
    // Small copies pass; the next large one fails once, like the allocation on a full machine.
    FailNextLargeAllocationForTesting();
    EXPECT_NO_THROW(CheckLargeAllocation(kLargeAllocation - 1));
    EXPECT_THROW(PlanLeaveHex(text), std::bad_alloc);
    EXPECT_EQ(1, text.hexMode);
    EXPECT_EQ(1, text.mapped);
    EXPECT_EQ(file.size(), text.mapSize);
    EXPECT_NO_THROW(CheckLargeAllocation(kLargeAllocation));
    const HexLeavePlan plan = PlanLeaveHex(text);
    EXPECT_EQ(HexLeaveOutcome::Text, plan.outcome);
    EXPECT_EQ(file.size(), plan.utf8.size());
}

TEST(PrintPages, TinyPagesAndPageCount) {
    // Pages of a real printout are the end-to-end test's; a page too small for anything still holds
    // a line of eight characters, with no division by a zero height or width.
    const PrintLayout tiny = ComputePrintLayout(300, 300, 100, 100, 0, 0);
    EXPECT_EQ(1, tiny.lineHeight);
    EXPECT_EQ(1, tiny.linesPerPage);
    EXPECT_EQ(8, tiny.charsPerLine);
    EXPECT_EQ(1, PrintPageCount(55, 55));
    EXPECT_EQ(2, PrintPageCount(56, 55));
    EXPECT_EQ(L"abcdefgh", FitPrintLine(L"abcdefgh", 8));
    EXPECT_EQ(L"abcdefg\u2026", FitPrintLine(L"abcdefghi", 8));
}

TEST(PrintPages, TextSplitsAtEveryLineBreak) {
    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        for (const TextSpan& span : SplitPrintLines(text)) out.push_back(text.substr(span.start, span.length));
        return out;
    };
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "", "d"}), lines("a\r\nb\nc\r\rd"));
    EXPECT_EQ((std::vector<std::string>{"a"}), lines("a\n"));
    EXPECT_EQ((std::vector<std::string>{""}), lines("\n"));
    EXPECT_EQ((std::vector<std::string>{"x", "y"}), lines(std::string("x\ny\0\0", 5)));
    EXPECT_TRUE(lines(std::string("\0", 1)).empty());
}

}  // namespace

TEST(StatusBar, ModePrefixesInOrder) {
    EXPECT_EQ(L"", StatusModePrefixes(false, false));
    EXPECT_EQ(L"[COL] ", StatusModePrefixes(true, false));
    EXPECT_EQ(L"\u25CF REC ", StatusModePrefixes(false, true));
    EXPECT_EQ(L"[COL] \u25CF REC ", StatusModePrefixes(true, true));
}
