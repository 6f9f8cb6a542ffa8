#include "document/hex_model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/encoding.h"
#include "base/file_access.h"

namespace {

// Larger files are not turned back into text when the view is left.
constexpr uint64_t kLeaveAsTextLimit = 256ull * 1024 * 1024;

bool IsHexDigit(wchar_t c, int& value) {
    if (c >= L'0' && c <= L'9')
        value = c - L'0';
    else if (c >= L'a' && c <= L'f')
        value = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F')
        value = c - L'A' + 10;
    else
        return false;
    return true;
}

void PushLimited(std::vector<HexEdit>& records, const HexEdit& edit) {
    if (records.size() >= kHexUndoLimit) records.erase(records.begin());
    records.push_back(edit);
}

char PrintableByte(uint8_t b) { return b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : '.'; }

bool HistoryStep(Document& doc, std::vector<HexEdit>& from, std::vector<HexEdit>& to, bool undo) {
    if (!HexCanEdit(doc) || from.empty()) return false;
    const HexEdit edit = from.back();
    from.pop_back();
    if (edit.offset < HexSize(doc)) WriteByte(doc, edit.offset, undo ? edit.before : edit.after);
    to.push_back(edit);
    ++doc.hexChangeCount;
    SetHexCaret(doc, static_cast<int64_t>(undo ? edit.caretBefore : edit.caretAfter),
                undo ? edit.lowNibbleBefore : edit.lowNibbleAfter);
    doc.modified = HexModifiedNow(doc) ? 1 : 0;
    return true;
}

}  // namespace

uint64_t HexSize(const Document& doc) { return doc.mapped ? doc.mapSize : doc.hexBytes.size(); }

uint64_t HexRowCount64(const Document& doc) { return (HexSize(doc) + kHexBytesPerRow - 1) / kHexBytesPerRow; }

uint8_t ReadByte(const Document& doc, uint64_t offset, bool* ok) {
    uint8_t value = 0;
    bool fine = true;
    ReadBytes(doc, offset, &value, 1, fine);
    if (ok) *ok = fine;
    return value;
}

void WriteByte(Document& doc, uint64_t offset, uint8_t value) {
    if (doc.mapped) {
        if (offset < doc.mapSize) doc.hexOverlay[offset] = value;
    } else if (offset < doc.hexBytes.size()) {
        doc.hexBytes[static_cast<size_t>(offset)] = value;
    }
}

size_t ReadBytes(const Document& doc, uint64_t offset, uint8_t* out, size_t count, bool& ok) {
    ok = true;
    const uint64_t size = HexSize(doc);
    if (offset >= size) return 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, size - offset));
    if (!doc.mapped) {
        std::memcpy(out, doc.hexBytes.data() + offset, n);
        return n;
    }
    ok = doc.mapView && CopyFromMapping(doc.mapView + offset, out, n);
    if (!doc.mapView) std::memset(out, 0, n);
    if (!doc.hexOverlay.empty()) {
        for (size_t i = 0; i < n; ++i) {
            const auto it = doc.hexOverlay.find(offset + i);
            if (it != doc.hexOverlay.end()) out[i] = it->second;
        }
    }
    return n;
}

void SetHexCaret(Document& doc, int64_t offset, int lowNibble) {
    const uint64_t size = HexSize(doc);
    int64_t caret = std::max<int64_t>(offset, 0);
    if (size > 0) caret = std::min<int64_t>(caret, static_cast<int64_t>(size - 1));
    doc.hexCaret = caret;
    doc.hexCaretLowNibble = lowNibble != 0 ? 1 : 0;
    const int64_t rows = static_cast<int64_t>(std::max<uint64_t>(HexRowCount64(doc), 1));
    doc.hexTopRow = std::clamp<int64_t>(doc.hexTopRow, 0, rows - 1);
}

bool HexCanEdit(const Document& doc) { return !doc.readOnlyFile && !doc.readOnlyView; }

bool HexModifiedNow(const Document& doc) {
    return !doc.hexSavePointValid || doc.hexChangeCount != doc.hexSavedChangeCount;
}

bool HexTypeDigit(Document& doc, wchar_t character) {
    int digit = 0;
    if (!IsHexDigit(character, digit) || !HexCanEdit(doc)) return false;
    SetHexCaret(doc, doc.hexCaret, doc.hexCaretLowNibble);
    const uint64_t size = HexSize(doc), caret = static_cast<uint64_t>(doc.hexCaret);
    if (caret >= size) return false;
    const uint8_t old = ReadByte(doc, caret);
    const bool low = doc.hexCaretLowNibble != 0;
    const uint8_t value = static_cast<uint8_t>(low ? (old & 0xF0) | digit : (digit << 4) | (old & 0x0F));
    WriteByte(doc, caret, value);
    const uint8_t nibble = low ? 1 : 0;
    PushLimited(doc.hexUndo, HexEdit{caret, old, value, caret, caret, nibble, nibble});
    doc.hexRedo.clear();
    ++doc.hexChangeCount;
    doc.modified = 1;
    if (!low)
        doc.hexCaretLowNibble = 1;
    else if (caret + 1 < size)
        SetHexCaret(doc, static_cast<int64_t>(caret + 1), 0);
    else
        doc.hexCaretLowNibble = 0;
    return true;
}

bool HexMoveCaret(Document& doc, HexMove move) {
    SetHexCaret(doc, doc.hexCaret, doc.hexCaretLowNibble);
    const int64_t size = static_cast<int64_t>(HexSize(doc));
    const int64_t caret = doc.hexCaret;
    const int low = doc.hexCaretLowNibble;
    int64_t to = caret;
    int toLow = low;
    switch (move) {
        case HexMove::Left:
            if (low)
                toLow = 0;
            else if (caret > 0)
                to = caret - 1, toLow = 1;
            break;
        case HexMove::Right:
            if (!low)
                toLow = 1;
            else if (caret + 1 < size)
                to = caret + 1, toLow = 0;
            break;
        case HexMove::Up:
            if (caret >= kHexBytesPerRow) to = caret - kHexBytesPerRow;
            break;
        case HexMove::Down:
            if (caret + kHexBytesPerRow < size) to = caret + kHexBytesPerRow;
            break;
        case HexMove::Home: to = 0, toLow = 0; break;
        case HexMove::End: to = std::max<int64_t>(size - 1, 0), toLow = 1; break;
    }
    if (to == caret && toLow == low) return false;
    SetHexCaret(doc, to, toLow);
    return true;
}

bool HexStructuralEdit(Document& doc, HexStructural edit) {
    if (doc.mapped || !HexCanEdit(doc)) return false;
    SetHexCaret(doc, doc.hexCaret, doc.hexCaretLowNibble);
    std::vector<uint8_t>& bytes = doc.hexBytes;
    const uint64_t size = bytes.size(), caret = static_cast<uint64_t>(doc.hexCaret);
    switch (edit) {
        case HexStructural::Backspace:
            if (caret < 1 || caret > size) return false;
            bytes.erase(bytes.begin() + static_cast<ptrdiff_t>(caret - 1));
            SetHexCaret(doc, static_cast<int64_t>(caret - 1), doc.hexCaretLowNibble);
            break;
        case HexStructural::Delete:
            if (caret >= size) return false;
            bytes.erase(bytes.begin() + static_cast<ptrdiff_t>(caret));
            SetHexCaret(doc, static_cast<int64_t>(caret), doc.hexCaretLowNibble);
            break;
        case HexStructural::Enter:
            if (caret >= size) return false;
            bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(caret + 1), uint8_t{0});
            SetHexCaret(doc, static_cast<int64_t>(caret + 1), 0);
            break;
    }
    // The records name offsets that now hold other bytes.
    doc.hexUndo.clear();
    doc.hexRedo.clear();
    ++doc.hexChangeCount;
    doc.modified = 1;
    return true;
}

bool HexUndoStep(Document& doc) { return HistoryStep(doc, doc.hexUndo, doc.hexRedo, true); }
bool HexRedoStep(Document& doc) { return HistoryStep(doc, doc.hexRedo, doc.hexUndo, false); }

HexColumns HexColumnsFor(uint64_t size) {
    HexColumns columns;
    const uint64_t lastRow = size > 0 ? (size - 1) / kHexBytesPerRow * kHexBytesPerRow : 0;
    for (uint64_t limit = 1ull << 32; columns.offsetDigits < 16 && lastRow >= limit; limit <<= 4)
        ++columns.offsetDigits;
    return columns;
}

bool HexHitTest(const Document& doc, int x, int y, int cw, int rh, HexHit& hit) {
    if (x < 0 || y < 0 || cw < 1 || rh < 1) return false;
    const uint64_t size = HexSize(doc);
    const HexColumns columns = HexColumnsFor(size);
    const uint64_t rowStart = (static_cast<uint64_t>(std::max<int64_t>(doc.hexTopRow, 0)) + y / rh) * kHexBytesPerRow;
    const int column = x / cw;
    const int first = columns.ByteColumn(0), second = columns.ByteColumn(8), printable = columns.PrintableColumn();
    int index = 0, low = 0;
    if (column < first) {
        index = 0;  // the offset column picks the row's first byte
    } else if (column < second - 1) {
        index = (column - first) / 3;
        low = (column - first) % 3 != 0;
    } else if (column < printable) {
        // The blank between the halves belongs to byte 7's second digit.
        index = column < second ? 7 : 8 + (column - second) / 3;
        low = column < second || (column - second) % 3 != 0;
    } else if (column >= printable && column < printable + kHexBytesPerRow) {
        index = column - printable;
    } else {
        return false;
    }
    if (rowStart + index >= size) return false;
    hit.offset = rowStart + static_cast<uint64_t>(index);
    hit.lowNibble = low;
    return true;
}

int64_t HexWheelTopRow(const Document& doc, int delta) {
    const int64_t rows = static_cast<int64_t>(HexRowCount64(doc));
    return std::clamp<int64_t>(doc.hexTopRow - delta / 120, 0, std::max<int64_t>(rows - 1, 0));
}

int64_t HexTopRowShowingCaret(const Document& doc, int64_t visibleRows) {
    visibleRows = std::max<int64_t>(visibleRows, 1);
    const int64_t row = doc.hexCaret / kHexBytesPerRow;
    if (row < doc.hexTopRow) return row;
    if (row >= doc.hexTopRow + visibleRows) return row - visibleRows + 1;
    return doc.hexTopRow;
}

namespace {

HexRowText RowText(uint64_t row, const uint8_t* bytes, size_t n, const HexColumns& columns) {
    HexRowText text;
    wchar_t offset[24];
    std::swprintf(offset, 24, L"%0*llX", columns.offsetDigits, static_cast<unsigned long long>(row * kHexBytesPerRow));
    text.offset = offset;
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    for (size_t i = 0; i < n; ++i) {
        text.hex += kDigits[bytes[i] >> 4];
        text.hex += kDigits[bytes[i] & 15];
        text.hex += L' ';
        if (i == 7) text.hex += L' ';
        text.printable += static_cast<wchar_t>(PrintableByte(bytes[i]));
    }
    return text;
}

}  // namespace

HexRowText FormatHexRow(const Document& doc, uint64_t row, const HexColumns& columns, bool& ok) {
    uint8_t bytes[kHexBytesPerRow];
    const size_t n = ReadBytes(doc, row * kHexBytesPerRow, bytes, kHexBytesPerRow, ok);
    return RowText(row, bytes, n, columns);
}

std::vector<HexRowText> FormatHexRows(const Document& doc, uint64_t firstRow, uint64_t maxRows,
                                      const HexColumns& columns, bool& ok) {
    ok = true;
    std::vector<HexRowText> rows;
    const uint64_t total = HexRowCount64(doc);
    if (firstRow >= total) return rows;
    const size_t count = static_cast<size_t>(std::min(maxRows, total - firstRow));
    std::vector<uint8_t> bytes(count * kHexBytesPerRow);
    const size_t n = ReadBytes(doc, firstRow * kHexBytesPerRow, bytes.data(), bytes.size(), ok);
    rows.reserve(count);
    for (size_t r = 0; r < count; ++r) {
        if (ok) {
            const size_t start = r * kHexBytesPerRow;
            rows.push_back(
                RowText(firstRow + r, bytes.data() + start, std::min<size_t>(kHexBytesPerRow, n - start), columns));
        } else {
            // Row by row, so that the rows that can be read still show their bytes.
            bool rowOk = true;
            rows.push_back(FormatHexRow(doc, firstRow + r, columns, rowOk));
        }
    }
    return rows;
}

HexLeavePlan PlanLeaveHex(const Document& doc) {
    HexLeavePlan plan;
    plan.encoding = static_cast<uint32_t>(doc.encoding);
    plan.lineEnding = static_cast<uint32_t>(doc.lineEnding);
    // Nothing to show: an empty text would stand for the file, and a save would empty it.
    if (HexBytesLost(doc)) {
        plan.outcome = HexLeaveOutcome::BytesLost;
        return plan;
    }
    const bool modified = HexModifiedNow(doc) || doc.modified;
    // Unsaved changes of a mapped file live in the mapping and its overlay only.
    if (doc.mapped && modified) {
        plan.outcome = HexLeaveOutcome::UnsavedMappedChanges;
        return plan;
    }
    if (doc.mapped && doc.savedTextValid) {
        plan.utf8 = WideToUtf8(doc.savedText);
        plan.outcome = HexLeaveOutcome::Text;
        return plan;
    }
    const uint64_t size = HexSize(doc);
    if (size > kLeaveAsTextLimit) return plan;
    CheckLargeAllocation(size);
    std::vector<uint8_t> copy;
    const uint8_t* bytes = doc.hexBytes.data();
    if (doc.mapped) {
        copy.resize(static_cast<size_t>(size));
        bool ok = true;
        ReadBytes(doc, 0, copy.data(), copy.size(), ok);
        if (!ok) return plan;
        bytes = copy.data();
    }
    const size_t length = static_cast<size_t>(size);
    if (!modified && !doc.path.empty()) {
        // The bytes are the file's: shown as text only when saving that text writes them again.
        TextPlan text = PlanFileText(bytes, length, plan.encoding, plan.lineEnding);
        if (!text.asText) return plan;
        plan.utf8 = std::move(text.utf8);
        plan.encoding = text.encoding;
        plan.lineEnding = text.lineEnding;
        plan.outcome = HexLeaveOutcome::Text;
        return plan;
    }
    // Bytes that stand for edited text are its UTF-8 form, whatever the tab's encoding.
    if (std::memchr(bytes, 0, length) || !ScanUtf8(bytes, length).valid) return plan;
    plan.utf8.assign(reinterpret_cast<const char*>(bytes), length);
    std::string body;
    if (!EncodeEditorText(plan.utf8, plan.encoding, body)) {
        plan.utf8.clear();
        return plan;
    }
    plan.outcome = HexLeaveOutcome::Text;
    return plan;
}

PrintLayout ComputePrintLayout(int dx, int dy, int width, int height, int textHeight, int averageWidth) {
    PrintLayout layout;
    const int m = dy / 4;
    layout.left = dx;
    layout.right = width - dx;
    layout.headerY = dy;
    layout.bodyY = m + dy;
    layout.footerY = height - dy;
    layout.lineHeight = std::max(textHeight, 1);
    layout.linesPerPage = std::max<int64_t>((height - m - dy - (m + dy)) / layout.lineHeight, 1);
    const int average = averageWidth > 0 ? averageWidth : 8;
    layout.charsPerLine = std::max((width - dx - dx) / average, 8);
    return layout;
}

std::vector<TextSpan> SplitPrintLines(const std::string& utf8) {
    std::vector<TextSpan> lines;
    size_t end = utf8.size();
    while (end > 0 && utf8[end - 1] == '\0') --end;
    if (end == 0) return lines;  // nothing to print
    size_t start = 0;
    for (size_t i = 0; i < end; ++i) {
        if (utf8[i] != '\r' && utf8[i] != '\n') continue;
        lines.push_back(TextSpan{start, i - start});
        if (utf8[i] == '\r' && i + 1 < end && utf8[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < end) lines.push_back(TextSpan{start, end - start});
    return lines;
}

std::string HexPrintLine(const Document& doc, uint64_t row, bool& ok) {
    uint8_t bytes[kHexBytesPerRow];
    const size_t n = ReadBytes(doc, row * kHexBytesPerRow, bytes, kHexBytesPerRow, ok);
    char part[24];
    std::snprintf(part, sizeof part, "%08llX  ", static_cast<unsigned long long>(row * kHexBytesPerRow));
    std::string line = part;
    for (size_t i = 0; i < kHexBytesPerRow; ++i) {
        if (i < n) {
            std::snprintf(part, sizeof part, "%02X ", bytes[i]);
            line += part;
        } else {
            line += "   ";
        }
        if (i == 7) line += ' ';
    }
    line += " |";
    for (size_t i = 0; i < n; ++i) line += PrintableByte(bytes[i]);
    line += '|';
    return line;
}

std::wstring FitPrintLine(const std::wstring& line, int chars) {
    if (chars < 1 || line.size() <= static_cast<size_t>(chars)) return line;
    return line.substr(0, static_cast<size_t>(chars - 1)) + L"\u2026";
}

int64_t PrintPageCount(uint64_t lines, int64_t linesPerPage) {
    const uint64_t per = static_cast<uint64_t>(std::max<int64_t>(linesPerPage, 1));
    return static_cast<int64_t>((lines + per - 1) / per);
}
