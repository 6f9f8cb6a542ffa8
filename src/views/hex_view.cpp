#include "views/hex_view.h"

#include <algorithm>
#include <string>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "base/gdi_util.h"
#include "views/scroll_bars.h"
#include "document/document.h"
#include "document/tabs.h"
#include "base/encoding.h"
#include "base/file_access.h"
#include "io/open.h"
#include "persist/recovery.h"
#include "project/sidebar.h"
#include "syntax/palette.h"
#include "base/strings.h"
#include "document/hex_model.h"

namespace {

struct CellSize {
    int cw = 0, rh = 0;
};

// The cell of monoFont: the width of "M" and its height plus 2 design pixels, measured once for
// each display scale the window takes.
CellSize Cell() {
    static CellSize cell;
    static int measuredDpi = 0;
    if ((cell.cw > 0 && measuredDpi == app.dpi) || !app.mainWindow) return cell;
    const SIZE size = MonoCellSize();
    cell.cw = size.cx;
    cell.rh = size.cy + Px(2);
    measuredDpi = app.dpi;
    return cell;
}

int64_t VisibleRows() { return std::max<int64_t>(app.rects.editor.Height() / std::max(Cell().rh, 1), 1); }

// The mapping whose read failure was reported last, so that each failure is told once.
const uint8_t* reportedView = nullptr;

void RepaintView() {
    NoteChange(kChangeEditorArea);
    RepaintScrollBars();
}

// After any change of the bytes: title, sidebar, status bar, tab bar and the view.
void HexEdited(Document& doc) {
    doc.modified = 1;
    NoteChange(kChangeTabText | kChangeTitle | kChangeStatusBar | kChangeTabBar);
    RepaintView();
}

void AfterHistoryStep(Document& doc) {
    NoteChange(kChangeTabText);
    doc.hexTopRow = HexTopRowShowingCaret(doc, VisibleRows());
    NoteChange(kChangeTitle | kChangeStatusBar | kChangeTabBar);
    RepaintView();
}

void DrawCells(HDC dc, int x, int y, const std::wstring& text, COLORREF colour) {
    SetTextColor(dc, colour);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void EnterHex(Document& doc) {
    // Everything the tab will hold is made before any of it changes: running out of memory on the
    // way leaves the tab as it was.
    CheckLargeAllocation(static_cast<uint64_t>(editor::Length(doc.editor)));
    const std::string utf8 = editor::GetText(doc.editor);
    std::vector<uint8_t> bytes;
    std::wstring text;
    bool keepText = false, mapped = false;
    if (doc.modified || doc.path.empty()) {
        CheckLargeAllocation(utf8.size());
        bytes.assign(utf8.begin(), utf8.end());
    } else {
        if (!doc.savedTextValid) {
            // Kept only when the conversion is exact: an empty result for non-empty text would
            // show an empty tab on the way back.
            CheckLargeAllocation(utf8.size() * sizeof(wchar_t));
            text = Utf8ToWide(utf8);
            keepText = !text.empty() || utf8.empty();
        }
        mapped = MapForHex(doc, doc.path);  // a text tab has no mapping to lose
        if (!mapped) {
            bytes = ReadAllBytes(doc.path);
            if (bytes.empty()) {
                CheckLargeAllocation(utf8.size());
                bytes.assign(utf8.begin(), utf8.end());
            }
        }
    }
    // From here on nothing is allocated.
    if (keepText && mapped) {
        doc.savedText = std::move(text);
        doc.savedTextValid = 1;
    } else if (!mapped) {
        // The bytes are in memory: a second whole copy of the text would only take room.
        std::wstring().swap(doc.savedText);
        doc.savedTextValid = 0;
    }
    if (!mapped) {
        ReleaseMapping(doc);
        doc.hexOverlay.clear();
    }
    doc.hexBytes = std::move(bytes);
    // Bytes of an edited text are not what the file holds.
    doc.hexSavePointValid = doc.modified ? 0 : 1;
    doc.hexUndo.clear();
    doc.hexRedo.clear();
    doc.hexChangeCount = doc.hexSavedChangeCount = 0;
    doc.hexMode = 1;
    doc.hexCaret = 0;
    doc.hexCaretLowNibble = 0;
    doc.hexTopRow = 0;
    ShowWindow(doc.editor, SW_HIDE);
    SetFocus(app.mainWindow);
    editor::SetReadOnly(doc.editor, true);
}

// The tab lost its bytes (its file could not be mapped again after a save): it stays in the hex
// view, and the user may have the file mapped again.
void OfferRemap(Document& doc) {
    if (MessageBoxW(app.mainWindow, MessageFor(MessageText::HexBytesLostQuestion).c_str(), L"Tessary",
                    MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    std::wstring error;
    if (!ReloadHexBytes(doc, error)) {
        MessageBoxW(app.mainWindow, error.c_str(), L"Tessary", MB_OK | MB_ICONERROR);
        return;
    }
    NoteChange(kChangeTitle | kChangeStatusBar | kChangeTabBar);
    RepaintView();
}

bool LeaveHex(Document& doc) {
    HexLeavePlan plan = PlanLeaveHex(doc);
    if (plan.outcome == HexLeaveOutcome::BytesLost) {
        OfferRemap(doc);
        return false;
    }
    if (plan.outcome != HexLeaveOutcome::Text) {
        const int entry = plan.outcome == HexLeaveOutcome::UnsavedMappedChanges ? 0 : 1;
        MessageBoxW(app.mainWindow, LocalizedText(StringTable::HexMessages, entry), L"Tessary",
                    MB_OK | MB_ICONINFORMATION);
        return false;
    }
    const bool modified = doc.modified || HexModifiedNow(doc);
    ReleaseMapping(doc);
    doc.hexOverlay.clear();
    std::vector<uint8_t>().swap(doc.hexBytes);
    doc.hexUndo.clear();
    doc.hexRedo.clear();
    doc.hexMode = 0;
    doc.encoding = static_cast<int>(plan.encoding);
    doc.lineEnding = static_cast<int>(plan.lineEnding);
    // The kept text served this visit; a later visit takes the text of that moment. Its room goes
    // back too (clear() would keep it).
    std::wstring().swap(doc.savedText);
    doc.savedTextValid = 0;
    editor::SetReadOnly(doc.editor, false);
    {
        SettingText setting;
        editor::SetText(doc.editor, plan.utf8);
    }
    editor::Send(doc.editor, editor::kEmptyUndoBuffer);
    // Unsaved byte edits stay unsaved as text: no save point then.
    if (!modified) editor::SetSavePoint(doc.editor);
    doc.modified = modified ? 1 : 0;
    ShowWindow(doc.editor, SW_SHOW);
    SetFocus(doc.editor);
    RefreshReadOnly(doc);
    app.scrollWidthDirty = 1;
    return true;
}

}  // namespace

void PaintHexView(HDC dc) {
    Document* doc = ActiveDocument();
    if (!doc || !doc->hexMode) return;
    const CellSize cell = Cell();
    const Rect& area = app.rects.editor;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, app.monoFont);
    const uint64_t size = HexSize(*doc);
    const HexColumns columns = HexColumnsFor(size);
    if (doc->hexCaret >= 0 && static_cast<uint64_t>(doc->hexCaret) < size) {
        const int64_t row = doc->hexCaret / kHexBytesPerRow - doc->hexTopRow;
        const int column =
            columns.ByteColumn(static_cast<int>(doc->hexCaret % kHexBytesPerRow)) + doc->hexCaretLowNibble;
        if (row >= 0 && row <= VisibleRows()) {
            const int x = area.left + column * cell.cw, y = area.top + static_cast<int>(row) * cell.rh;
            FillSolid(dc, Rect{x, y, x + cell.cw, y + cell.rh}, palette.selectionColor);
        }
    }
    const int64_t top = std::max<int64_t>(doc->hexTopRow, 0);
    bool allRead = true;
    const std::vector<HexRowText> rows =
        FormatHexRows(*doc, static_cast<uint64_t>(top), static_cast<uint64_t>(std::max(area.Height() / cell.rh, 0)),
                      columns, allRead);
    for (size_t r = 0; r < rows.size(); ++r) {
        const HexRowText& text = rows[r];
        const int y = area.top + static_cast<int>(r) * cell.rh;
        DrawCells(dc, area.left, y, text.offset, palette.lineNumberColor);
        DrawCells(dc, area.left + columns.ByteColumn(0) * cell.cw, y, text.hex, palette.textColor);
        DrawCells(dc, area.left + columns.PrintableColumn() * cell.cw, y, text.printable, palette.dimTextColor);
    }
    RestoreDC(dc, saved);
    // Told after the paint is done: a message box cannot open in the middle of one.
    if (!allRead && doc->mapView != reportedView) {
        reportedView = doc->mapView;
        PostMessageW(app.mainWindow, kHexReadFailed, 0, 0);
    }
}

void ReportHexReadFailure() {
    MessageBoxW(app.mainWindow, LocalizedText(StringTable::HexMessages, 2), L"Tessary", MB_OK | MB_ICONERROR);
}

bool HexKey(unsigned key, bool ctrl, bool shift) {
    Document* doc = ActiveDocument();
    if (!doc || !doc->hexMode) return false;
    if (ctrl && (key == 'Z' || key == 'Y')) {
        if (key == 'Y' || shift)
            HexRedo(*doc);
        else
            HexUndo(*doc);
        return true;
    }
    bool moved = false;
    switch (key) {
        case VK_LEFT: moved = HexMoveCaret(*doc, HexMove::Left); break;
        case VK_RIGHT: moved = HexMoveCaret(*doc, HexMove::Right); break;
        case VK_UP: moved = HexMoveCaret(*doc, HexMove::Up); break;
        case VK_DOWN: moved = HexMoveCaret(*doc, HexMove::Down); break;
        case VK_HOME: moved = HexMoveCaret(*doc, HexMove::Home); break;
        case VK_END: moved = HexMoveCaret(*doc, HexMove::End); break;
        case VK_BACK:
        case VK_DELETE:
        case VK_RETURN: {
            const HexStructural edit = key == VK_BACK     ? HexStructural::Backspace
                                       : key == VK_DELETE ? HexStructural::Delete
                                                          : HexStructural::Enter;
            if (HexStructuralEdit(*doc, edit)) {
                doc->hexTopRow = HexTopRowShowingCaret(*doc, VisibleRows());
                HexEdited(*doc);
            }
            return true;
        }
        default: return false;
    }
    if (moved) {
        doc->hexTopRow = HexTopRowShowingCaret(*doc, VisibleRows());
        NoteChange(kChangeStatusBar);  // the caret's offset and byte
        RepaintView();
    }
    return true;
}

bool HexChar(wchar_t character) {
    Document* doc = ActiveDocument();
    if (!doc || !doc->hexMode || !HexTypeDigit(*doc, character)) return false;
    doc->hexTopRow = HexTopRowShowingCaret(*doc, VisibleRows());
    HexEdited(*doc);
    return true;
}

void HexClick(int x, int y) {
    Document* doc = ActiveDocument();
    if (!doc || !doc->hexMode) return;
    const CellSize cell = Cell();
    HexHit hit;
    if (HexHitTest(*doc, x, y, cell.cw, cell.rh, hit)) {
        doc->hexCaret = static_cast<int64_t>(hit.offset);
        doc->hexCaretLowNibble = hit.lowNibble;
        NoteChange(kChangeStatusBar);
    }
    RepaintView();
}

void HexWheel(int delta) {
    Document* doc = ActiveDocument();
    if (!doc || !doc->hexMode) return;
    doc->hexTopRow = HexWheelTopRow(*doc, delta);
    RepaintView();
}

void HexUndo(Document& doc) {
    if (HexUndoStep(doc)) AfterHistoryStep(doc);
}

void HexRedo(Document& doc) {
    if (HexRedoStep(doc)) AfterHistoryStep(doc);
}

void ToggleHexMode() {
    Document* doc = ActiveDocument();
    if (!doc || !doc->editor) return;
    if (doc->hexMode) {
        if (!LeaveHex(*doc)) return;
    } else {
        EnterHex(*doc);
    }
    NoteChange(kChangeTitle);
    InvalidateRect(app.mainWindow, nullptr, FALSE);
}
