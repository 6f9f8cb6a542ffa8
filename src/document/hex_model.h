#pragma once
// The byte model behind the hex view and the printout, without any window: bytes read and written
// through the overlay of a mapped file or the in-memory buffer, the caret, typed digits, caret
// keys, structural edits, undo and redo, clicks, and the lines of a printed page. Offsets and rows
// are 64-bit throughout.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "document/document.h"

constexpr size_t kHexUndoLimit = 100000;
constexpr int kHexBytesPerRow = 16;

uint64_t HexSize(const Document& doc);
// ceil(size / 16), 0 for no bytes.
uint64_t HexRowCount64(const Document& doc);

// A byte that cannot be read (the volume under a mapping is gone) reads as 0; `ok` says so.
uint8_t ReadByte(const Document& doc, uint64_t offset, bool* ok = nullptr);
void WriteByte(Document& doc, uint64_t offset, uint8_t value);
// Up to `count` bytes from `offset` with the overlay applied; returns how many exist there. `ok`
// becomes false when part of a mapping could not be read (those bytes are 0).
size_t ReadBytes(const Document& doc, uint64_t offset, uint8_t* out, size_t count, bool& ok);

// Caret limited to the bytes, top row limited to the rows.
void SetHexCaret(Document& doc, int64_t offset, int lowNibble);

bool HexCanEdit(const Document& doc);  // neither the file nor the view is read-only

// A digit typed at the caret: overwrites one nibble, records the edit, advances. False when the
// character is no hex digit or nothing may change.
bool HexTypeDigit(Document& doc, wchar_t character);

enum class HexMove { Left, Right, Up, Down, Home, End };
bool HexMoveCaret(Document& doc, HexMove move);  // false when the caret stays

// Backspace, Delete and Enter on bytes in memory. They shift the bytes after them, so the undo and
// redo records (which name offsets) are dropped.
enum class HexStructural { Backspace, Delete, Enter };
bool HexStructuralEdit(Document& doc, HexStructural edit);

// One step of the history; false when there was nothing to undo or redo or the tab is read-only.
bool HexUndoStep(Document& doc);
bool HexRedoStep(Document& doc);

// Modified in hex mode: no save point, or changes since it.
bool HexModifiedNow(const Document& doc);

// Cell columns of one row: the offset, blank, two halves of eight bytes ("XX " each, one more blank
// between the halves), then the printable column. The offset is 8 digits, wider for files whose
// offsets need more.
struct HexColumns {
    int offsetDigits = 8;
    int ByteColumn(int index) const { return offsetDigits + 1 + 3 * index + (index >= 8 ? 1 : 0); }
    int PrintableColumn() const { return offsetDigits + 50; }
};
HexColumns HexColumnsFor(uint64_t size);

// The byte and digit under a click at (x, y) pixels from the view's top-left corner, cells being
// cw x rh; false when no byte is there.
struct HexHit {
    uint64_t offset = 0;
    int lowNibble = 0;
};
bool HexHitTest(const Document& doc, int x, int y, int cw, int rh, HexHit& hit);

// Top row after a wheel turn of `delta` (120 a notch), limited to the rows.
int64_t HexWheelTopRow(const Document& doc, int delta);
// Top row that keeps the caret's row among `visibleRows` rows.
int64_t HexTopRowShowingCaret(const Document& doc, int64_t visibleRows);

// The texts of one painted row: offset, the hex digits from the first byte column, the printable
// characters. `ok` false when part of it could not be read.
struct HexRowText {
    std::wstring offset, hex, printable;
};
HexRowText FormatHexRow(const Document& doc, uint64_t row, const HexColumns& columns, bool& ok);
// The rows from `firstRow` on, at most `maxRows` of them (fewer at the end of the bytes), read in
// one go: a screen costs one read of the mapping. When that read fails (`ok` false) the rows are
// read one by one, so that those that can be read still show their bytes.
std::vector<HexRowText> FormatHexRows(const Document& doc, uint64_t firstRow, uint64_t maxRows,
                                      const HexColumns& columns, bool& ok);

// Leaving the hex view: the text to show, or why the tab must stay in hex mode.
enum class HexLeaveOutcome { Text, UnsavedMappedChanges, NotExactText, BytesLost };
struct HexLeavePlan {
    HexLeaveOutcome outcome = HexLeaveOutcome::NotExactText;
    std::string utf8;
    uint32_t encoding = 0;
    uint32_t lineEnding = 0;
};
HexLeavePlan PlanLeaveHex(const Document& doc);

// --- Printed pages ---

struct PrintLayout {
    int left = 0, right = 0;  // text from x = left to x = right
    int headerY = 0, bodyY = 0, footerY = 0;
    int lineHeight = 1;
    int64_t linesPerPage = 1;
    int charsPerLine = 8;
};
// dx, dy: printer pixels per inch; width, height: printable area; textHeight and averageWidth of the
// printing font (a width of 0 counts as 8).
PrintLayout ComputePrintLayout(int dx, int dy, int width, int height, int textHeight, int averageWidth);

// Lines of a text split at CR, LF and CR LF, after dropping trailing zero bytes; a text ending in a
// break has no empty last line. Each is (start, length) in the text.
struct TextSpan {
    size_t start = 0, length = 0;
};
std::vector<TextSpan> SplitPrintLines(const std::string& utf8);

// One printed hex row: "%08llX  ", 16 groups, " |", printable bytes, "|".
std::string HexPrintLine(const Document& doc, uint64_t row, bool& ok);

// A line longer than `chars` characters keeps chars - 1 of them and ends in "…".
std::wstring FitPrintLine(const std::wstring& line, int chars);

int64_t PrintPageCount(uint64_t lines, int64_t linesPerPage);
