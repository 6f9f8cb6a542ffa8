#include "views/scroll_bars.h"

#include <algorithm>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "base/gdi_util.h"
#include "document/document.h"
#include "syntax/palette.h"

namespace {

constexpr uint64_t kLargeFile = 8ull * 1024 * 1024;

uint64_t HexByteCount(const Document& doc) { return doc.mapped ? doc.mapSize : doc.hexBytes.size(); }

// An edit over more lines than this is not followed line by line: the tally is measured afresh
// at the next paint, which costs the same and happens once.
constexpr long long kFollowedEditLines = 4096;

LineReader ReaderOf(HWND ed) {
    return LineReader{
        [ed](long long position) {
            return static_cast<long long>(editor::Send(ed, editor::kLineFromPosition, static_cast<WPARAM>(position)));
        },
        [ed](long long line) {
            return static_cast<long long>(editor::Send(ed, editor::kLineLength, static_cast<WPARAM>(line)));
        }};
}

long long LongestLineWidth(Document& doc) {
    if (doc.fileSize > kLargeFile || !doc.editor) return 0;
    if (app.monoCharWidth <= 0) app.monoCharWidth = MonoCellSize().cx;
    // Measured once per text; edits keep it up to date from then on (FollowLineLengths).
    const long long text = editor::Send(doc.editor, editor::kGetDocPointer);
    if (!doc.lineLengths.Valid() || doc.lineLengths.Source() != text)
        TallyRebuild(doc.lineLengths, ReaderOf(doc.editor), editor::LineCount(doc.editor), text);
    return doc.lineLengths.Longest() * app.monoCharWidth;
}

void SetFirst(Document& doc, long long first) {
    if (doc.hexMode) {
        doc.hexTopRow = first;
        NoteChange(kChangeEditorArea);
    } else {
        editor::SetFirstVisibleLine(doc.editor, first);
    }
}

long long HorizontalRange() { return std::max<long long>(0, app.maxLineWidth - app.rects.hScroll.Width()); }

void PaintThumb(HDC dc, const Rect& r, bool dragging, bool hovered) {
    const COLORREF colour = dragging ? palette.thumbDragColor : (hovered ? palette.thumbHoverColor : palette.thumbColor);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const COLORREF previous = SetDCBrushColor(dc, colour);
    // The null pen leaves the right and bottom edge out, hence + 1.
    RoundRect(dc, r.left, r.top, r.right + 1, r.bottom + 1, Px(4), Px(4));
    SetDCBrushColor(dc, previous);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

}  // namespace

VerticalModel CurrentVerticalModel() {
    VerticalModel m;
    const Document* doc = ActiveDocument();
    if (!doc) return m;
    if (doc->hexMode) {
        m.total = HexRowCount(HexByteCount(*doc));
        m.first = doc->hexTopRow;
        m.visible = std::max(app.rects.editor.Height() / Px(15), 1);
    } else {
        // The first visible line is counted in rows as shown, so the total is too: a wrapped
        // paragraph that runs past the bottom has a thumb to scroll it by.
        m.total = app.settings.wordWrap ? editor::DisplayLineCount(doc->editor) : editor::LineCount(doc->editor);
        m.first = editor::FirstVisibleLine(doc->editor);
        m.visible = editor::LinesOnScreen(doc->editor);
    }
    return m;
}

ScrollThumb CurrentVerticalThumb() {
    const VerticalModel m = CurrentVerticalModel();
    const Rect& track = app.rects.vScroll;
    return VerticalThumb(track.top, track.Height(), m.total, m.visible, m.first, app.dpi);
}

ScrollThumb CurrentHorizontalThumb() {
    Document* doc = ActiveDocument();
    if (!doc) return {};
    if (app.scrollWidthDirty) {
        // The active tab's text may have been replaced as a whole.
        doc->lineLengths.Invalidate();
        app.scrollWidthDirty = 0;
    }
    // Wrapped text has nothing beside the window to scroll to.
    if (app.settings.wordWrap && !doc->hexMode) {
        app.maxLineWidth = 0;
        return {};
    }
    app.maxLineWidth = LongestLineWidth(*doc);
    const Rect& track = app.rects.hScroll;
    return HorizontalThumb(track.left, track.Width(), app.maxLineWidth, doc->hexMode ? 0 : editor::XOffset(doc->editor),
                           app.dpi);
}

void VerticalBarPress(int y) {
    Document* doc = ActiveDocument();
    const ScrollThumb thumb = CurrentVerticalThumb();
    if (!doc || !thumb.visible) return;
    if (y >= thumb.start && y < thumb.start + thumb.length) {
        app.vScrollDragging = 1;
        SetCapture(app.mainWindow);
    } else {
        const VerticalModel m = CurrentVerticalModel();
        SetFirst(*doc, PageScroll(m.first, m.visible, y < thumb.start ? -1 : 1, m.total, m.visible));
    }
    RepaintScrollBars();
}

void HorizontalBarPress(int x) {
    Document* doc = ActiveDocument();
    const ScrollThumb thumb = CurrentHorizontalThumb();
    if (!doc || !thumb.visible || doc->hexMode) return;
    if (x >= thumb.start && x < thumb.start + thumb.length) {
        app.hScrollDragging = 1;
        SetCapture(app.mainWindow);
    } else {
        const long long step = app.rects.hScroll.Width() / 2;
        const long long offset = editor::XOffset(doc->editor) + (x < thumb.start ? -step : step);
        editor::SetXOffset(doc->editor, std::clamp<long long>(offset, 0, HorizontalRange()));
    }
    RepaintScrollBars();
}

void VerticalBarDrag(int y) {
    Document* doc = ActiveDocument();
    const ScrollThumb thumb = CurrentVerticalThumb();
    if (!doc || !thumb.visible) return;
    const VerticalModel m = CurrentVerticalModel();
    const Rect& track = app.rects.vScroll;
    SetFirst(*doc, DragPosition(y, track.top, track.Height(), thumb.length, m.total - m.visible));
    RepaintScrollBars();
}

void HorizontalBarDrag(int x) {
    Document* doc = ActiveDocument();
    const ScrollThumb thumb = CurrentHorizontalThumb();
    if (!doc || !thumb.visible || doc->hexMode) return;
    const Rect& track = app.rects.hScroll;
    editor::SetXOffset(doc->editor, DragPosition(x, track.left, track.Width(), thumb.length, HorizontalRange()));
    RepaintScrollBars();
}

void FollowLineLengths(LineLengthTally& tally, HWND ed, const editor::NotifyHeader& n) {
    if (!tally.Valid()) return;
    const LineReader text = ReaderOf(ed);
    const long long at = n.position;
    const int type = n.modificationType;
    if (type & editor::kModBeforeInsert)
        TallyTakeOut(tally, text, at, at, kFollowedEditLines);
    else if (type & editor::kModBeforeDelete)
        TallyTakeOut(tally, text, at, at + n.length, kFollowedEditLines);
    else if (type & editor::kModInsertText)
        TallyPutIn(tally, text, at, at + n.length, kFollowedEditLines);
    else if (type & editor::kModDeleteText)
        TallyPutIn(tally, text, at, at, kFollowedEditLines);
}

void RepaintScrollBars() { NoteChange(kChangeScrollBars); }

void PaintScrollBars(HDC dc) {
    const Rect& v = app.rects.vScroll;
    const Rect& h = app.rects.hScroll;
    FillSolid(dc, v, palette.editorColor);
    FillSolid(dc, h, palette.editorColor);
    FillSolid(dc, Rect{v.left, h.top, v.right, h.bottom}, palette.editorColor);  // where the bars meet
    if (!ActiveDocument()) return;
    const ScrollThumb vt = CurrentVerticalThumb();
    if (vt.visible)
        PaintThumb(dc, Rect{v.left + Px(2), vt.start, v.right - Px(2), vt.start + vt.length}, app.vScrollDragging,
                   app.vScrollHover);
    const ScrollThumb ht = CurrentHorizontalThumb();
    if (ht.visible)
        PaintThumb(dc, Rect{ht.start, h.top + Px(2), ht.start + ht.length, h.bottom - Px(2)}, app.hScrollDragging,
                   app.hScrollHover);
}
