// The results list: a self-drawn list of the live search's hits, grouped by file, with its own
// thin scroll bars. The arithmetic lives in search_model; this file translates messages.
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "base/app_state.h"
#include "base/editor.h"
#include "base/gdi_util.h"
#include "workflow/tab_actions.h"
#include "document/document.h"
#include "document/tabs.h"
#include "base/encoding.h"
#include "io/open.h"
#include "search/result_list.h"
#include "search/search_panel.h"
#include "syntax/palette.h"
#include "base/strings.h"

namespace {

constexpr UINT_PTR kCopyTimer = 1;
constexpr UINT kCopyConfirmMs = 900;
constexpr int kMeasuredCharacters = 1024;
constexpr int kDrawnCharacters = 4096;  // a longer line is cut for drawing only

int RowCount() { return static_cast<int>(results.rows.size()); }

SIZE ClientSize(HWND window) {
    RECT r{};
    if (window) GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

void RepaintList() {
    if (app.resultListWindow) InvalidateRect(app.resultListWindow, nullptr, FALSE);
}

void ClampScroll() {
    const SIZE size = ClientSize(app.resultListWindow);
    results.scrollY = ClampResultScrollY(results.scrollY, RowCount(), size.cy, app.dpi);
    results.scrollX = ClampResultScrollX(results.scrollX, results.maxTextWidth, size.cx, app.dpi);
}

int MaxResultTextWidth() {
    if (!app.resultListWindow || results.rows.empty()) return 0;
    HDC dc = GetDC(app.resultListWindow);
    HGDIOBJ old = SelectObject(dc, app.uiFont);
    int widest = 0;
    for (const ResultRow& row : results.rows) {
        if (row.kind != kRowHit) continue;
        const std::wstring& text = results.hits[static_cast<size_t>(row.hit)].lineText;
        const int n = std::min(HitHighlight(text, 0, 0).length, kMeasuredCharacters);
        SIZE size{};
        if (n > 0 && GetTextExtentPoint32W(dc, text.c_str(), n, &size)) widest = std::max<int>(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(app.resultListWindow, dc);
    return widest;
}

void RoundFill(HDC dc, int left, int top, int right, int bottom, int corner, COLORREF fill) {
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    SetDCBrushColor(dc, fill);
    RoundRect(dc, left, top, right + 1, bottom + 1, corner, corner);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void RoundOutline(HDC dc, int left, int top, int right, int bottom, int corner, COLORREF colour) {
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, colour);
    RoundRect(dc, left, top, right, bottom, corner, corner);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

RECT CopyButtonRect(int width, int rowTop) {
    return RECT{width - Px(44), rowTop + Px(3), width - Px(20), rowTop + Px(19)};
}

bool RowSelected(int row) {
    if (results.selAnchor < 0 || results.selEnd < 0) return false;
    return row >= std::min(results.selAnchor, results.selEnd) && row <= std::max(results.selAnchor, results.selEnd);
}

void PaintHitText(HDC dc, const SearchHit& hit, int y, int right, bool selected) {
    const HighlightSpan span = HitHighlight(hit.lineText, hit.column, hit.matchLength);
    const int shown = std::min(span.length, kDrawnCharacters);
    const int start = std::min(span.start, shown);
    const int count = std::min(span.count, shown - start);
    const wchar_t* text = hit.lineText.c_str();
    const COLORREF colour = selected ? palette.textColor : palette.dimTextColor;
    HRGN clip = CreateRectRgn(Px(48), y, right - Px(6), y + Px(kResultRowHeight));
    SelectClipRgn(dc, clip);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int textTop = y + (Px(kResultRowHeight) - tm.tmHeight) / 2;
    int x = Px(48) - results.scrollX;
    const int pieces[3][2] = {{0, start}, {start, count}, {start + count, shown - start - count}};
    for (int i = 0; i < 3; ++i) {
        const int from = pieces[i][0], n = pieces[i][1];
        if (n <= 0) continue;
        SIZE size{};
        GetTextExtentPoint32W(dc, text + from, n, &size);
        if (i == 1) FillSolid(dc, RECT{x, y + Px(3), x + size.cx, y + Px(19)}, SearchMatchFill());
        if (x < right && x + size.cx > 0) TextOutW(dc, x, textTop, text + from, n);
        x += size.cx;
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
}

void PaintScrollBars(HDC dc, int width, int height) {
    const Thumb v = VerticalThumb(RowCount(), height, results.scrollY, app.dpi);
    if (v.shown) {
        const COLORREF fill = results.vThumbDrag    ? palette.thumbDragColor
                              : results.vThumbHover ? palette.thumbHoverColor
                                                    : palette.thumbColor;
        RoundFill(dc, width - Px(10), v.start, width - Px(2), v.start + v.length, Px(3), fill);
    }
    const Thumb h = HorizontalThumb(results.maxTextWidth, width, results.scrollX, app.dpi);
    if (h.shown) {
        const COLORREF fill = results.hThumbDrag    ? palette.thumbDragColor
                              : results.hThumbHover ? palette.thumbHoverColor
                                                    : palette.thumbColor;
        RoundFill(dc, h.start, height - Px(10), h.start + h.length, height - Px(2), Px(3), fill);
    }
}

void PaintCopyButton(HDC dc, int width, int rowTop) {
    const RECT b = CopyButtonRect(width, rowTop);
    if (results.copyHover || results.copyConfirm)
        RoundFill(dc, b.left, b.top, b.right, b.bottom, Px(4), palette.hoverColor);
    if (results.copyConfirm) {
        DrawTextBox(dc, L"OK", FromRECT(b), app.uiFont, RGB(140, 201, 122), DT_CENTER);
        return;
    }
    const COLORREF pen = results.copyHover ? palette.textColor : palette.faintTextColor;
    RoundOutline(dc, b.left + Px(10), b.top + Px(1), b.left + Px(20), b.top + Px(11), Px(2), pen);
    RoundOutline(dc, b.left + Px(4), b.top + Px(5), b.left + Px(14), b.top + Px(15), Px(2), pen);
}

// What the summary row says; "" while the list has no summary row.
std::wstring SummaryRowText() {
    if (results.rows.empty() || results.rows[0].kind != kRowSummary) return L"";
    SearchOutcome outcome;
    outcome.hits = results.hits.size();
    outcome.files = results.groups.size();
    outcome.stopped = results.stopped;
    outcome.invalidPattern = !results.patternError.valid;
    outcome.errorPosition = results.patternError.position;
    outcome.errorMessage = results.patternError.message;
    return SearchSummaryText(app.uiLanguage, outcome);
}

void PaintRow(HDC dc, int r, int y, int width) {
    const ResultRow& row = results.rows[static_cast<size_t>(r)];
    const int right = width - 16;
    if (row.kind == kRowSummary) {
        FillSolid(dc, Rect{0, y, width, y + Px(kResultRowHeight)}, palette.chromeColor);
        DrawTextBox(dc, SummaryRowText(), Rect{Px(8), y, right - Px(36), y + Px(kResultRowHeight)},
                    app.uiFont, palette.dimTextColor, DT_LEFT | DT_END_ELLIPSIS);
        if (r == 0 && !results.hits.empty()) PaintCopyButton(dc, width, y);
        return;
    }
    if (row.kind == kRowHeader) {
        const HitGroup& group = results.groups[static_cast<size_t>(row.group)];
        FillSolid(dc, Rect{0, y, width, y + Px(kResultRowHeight)},
                  r == results.hoverRow ? palette.hoverColor : palette.chromeColor);
        DrawTextBox(dc, group.collapsed ? L">" : L"v", Rect{Px(4), y, Px(18), y + Px(kResultRowHeight)}, app.uiFont,
                    palette.faintTextColor, DT_CENTER);
        DrawTextBox(dc, group.label, Rect{Px(18), y, right - Px(44), y + Px(kResultRowHeight)}, app.listBoldFont,
                    palette.textColor, DT_LEFT | DT_END_ELLIPSIS);
        DrawTextBox(dc, std::to_wstring(group.count), Rect{right - Px(42), y, right - Px(8), y + Px(kResultRowHeight)},
                    app.uiFont, palette.faintTextColor, DT_RIGHT);
        return;
    }
    const SearchHit& hit = results.hits[static_cast<size_t>(row.hit)];
    const bool selected = RowSelected(r);
    const COLORREF fill = selected                ? palette.selectionColor
                          : r == results.hoverRow ? palette.hoverColor
                                                  : palette.editorColor;
    FillSolid(dc, Rect{0, y, width, y + Px(kResultRowHeight)}, fill);
    DrawTextBox(dc, std::to_wstring(hit.line) + L":", Rect{Px(2), y, Px(42), y + Px(kResultRowHeight)}, app.uiFont,
                selected ? palette.textColor : palette.lineNumberColor, DT_RIGHT);
    HGDIOBJ old = SelectObject(dc, app.uiFont);
    PaintHitText(dc, hit, y, right, selected);
    SelectObject(dc, old);
}

void PaintList(HWND window) {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(window, &ps);
    const SIZE size = ClientSize(window);
    const int w = std::max<int>(size.cx, 1), h = std::max<int>(size.cy, 1);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    FillSolid(dc, RECT{0, 0, w, h}, palette.editorColor);
    SetBkMode(dc, TRANSPARENT);
    const int first = std::max(0, results.scrollY / Px(kResultRowHeight));
    for (int r = first; r < RowCount(); ++r) {
        const int y = r * Px(kResultRowHeight) - results.scrollY;
        if (y >= h) break;
        PaintRow(dc, r, y, w);
    }
    PaintScrollBars(dc, w, h);
    BitBlt(screen, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(window, &ps);
}

// ---- input --------------------------------------------------------------------------------------

void RepaintRow(HWND window, int row) {
    if (row < 0) return;
    RECT r{0, row * Px(kResultRowHeight) - results.scrollY, 4000, (row + 1) * Px(kResultRowHeight) - results.scrollY};
    InvalidateRect(window, &r, FALSE);
}

bool OnCopyButton(HWND window, int x, int y) {
    if (results.rows.empty() || results.rows[0].kind != kRowSummary || results.hits.empty()) return false;
    const RECT b = CopyButtonRect(ClientSize(window).cx, -results.scrollY);
    const POINT p{x, y};
    return PtInRect(&b, p) != FALSE;
}

void OnMouseMove(HWND window, int x, int y) {
    const SIZE size = ClientSize(window);
    const Thumb v = VerticalThumb(RowCount(), size.cy, results.scrollY, app.dpi);
    const Thumb h = HorizontalThumb(results.maxTextWidth, size.cx, results.scrollX, app.dpi);
    bool repaint = false;
    const bool vHover = v.shown && x >= size.cx - Px(10 + 4) && x < size.cx;
    const bool hHover = h.shown && x < size.cx - Px(12) && y >= size.cy - Px(12);
    if (vHover != results.vThumbHover || hHover != results.hThumbHover) repaint = true;
    results.vThumbHover = vHover;
    results.hThumbHover = hHover;
    if (results.vThumbDrag) {
        results.scrollY = ScrollYForThumbDrag(y, RowCount(), size.cy, app.dpi);
        repaint = true;
    }
    if (results.hThumbDrag) {
        results.scrollX = ScrollXForThumbDrag(x, results.maxTextWidth, size.cx, app.dpi);
        repaint = true;
    }
    const int row = ResultRowAt(y, results.scrollY, RowCount(), app.dpi);
    if (results.selecting && row >= 0 && row != results.selEnd) {
        results.selEnd = row;
        repaint = true;
    }
    const bool copyHover = OnCopyButton(window, x, y);
    if (copyHover != results.copyHover) {
        results.copyHover = copyHover;
        RepaintRow(window, 0);
    }
    if (row != results.hoverRow) {
        RepaintRow(window, results.hoverRow);
        results.hoverRow = row;
        RepaintRow(window, row);
    }
    if (repaint) InvalidateRect(window, nullptr, FALSE);
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, window, 0};
    TrackMouseEvent(&tme);
}

void OnLeftButtonDown(HWND window, int x, int y, bool shift) {
    const SIZE size = ClientSize(window);
    const int rows = RowCount();
    const Thumb v = VerticalThumb(rows, size.cy, results.scrollY, app.dpi);
    if (v.shown && x >= size.cx - Px(10 + 4) && x <= size.cx - Px(2) + Px(4)) {
        if (y >= v.start && y < v.start + v.length) {
            results.vThumbDrag = true;
            SetCapture(window);
        } else {
            const int page = size.cy / 2;
            results.scrollY += y < v.start ? -page : page;
        }
        ClampScroll();
        InvalidateRect(window, nullptr, FALSE);
        return;
    }
    const Thumb h = HorizontalThumb(results.maxTextWidth, size.cx, results.scrollX, app.dpi);
    if (h.shown && x < size.cx - Px(12) && y >= size.cy - Px(12)) {
        if (x >= h.start && x < h.start + h.length) {
            results.hThumbDrag = true;
            SetCapture(window);
        } else {
            const int page = std::max<int>(Px(20), (size.cx - Px(70)) / 2);
            results.scrollX += x < h.start ? -page : page;
        }
        ClampScroll();
        InvalidateRect(window, nullptr, FALSE);
        return;
    }
    if (OnCopyButton(window, x, y)) {
        CopyResults(false);
        results.copyConfirm = true;
        SetTimer(window, kCopyTimer, kCopyConfirmMs, nullptr);
        RepaintRow(window, 0);
        SetFocus(window);
        return;
    }
    SetFocus(window);
    const int row = ResultRowAt(y, results.scrollY, rows, app.dpi);
    if (row < 0) return;
    const ResultRow& r = results.rows[static_cast<size_t>(row)];
    if (r.kind == kRowHeader) {
        ToggleGroup(r.group);
    } else if (r.kind == kRowHit) {
        if (shift && results.selAnchor >= 0)
            results.selEnd = row;
        else
            results.selAnchor = results.selEnd = row;
        results.selecting = true;
        SetCapture(window);
        InvalidateRect(window, nullptr, FALSE);
    }
}

void OnKeyDown(HWND window, WPARAM vk) {
    const int rows = RowCount();
    if (vk == VK_UP || vk == VK_DOWN) {
        if (rows == 0) return;
        int row = results.selAnchor >= 0 ? results.selAnchor : 0;
        row = vk == VK_UP ? std::max(0, row - 1) : std::min(rows - 1, row + 1);
        results.selAnchor = results.selEnd = row;
        results.scrollY = ScrollToShowRow(row, results.scrollY, ClientSize(window).cy, app.dpi);
        ClampScroll();
        InvalidateRect(window, nullptr, FALSE);
    } else if (vk == VK_RETURN) {
        if (results.selAnchor < 0 || results.selAnchor >= rows) return;
        const ResultRow& r = results.rows[static_cast<size_t>(results.selAnchor)];
        if (r.kind == kRowHeader)
            ToggleGroup(r.group);
        else
            OpenHit(results.selAnchor);
    } else if (vk == 'C' && GetKeyState(VK_CONTROL) < 0) {
        CopyResults(true);
    } else if (vk == VK_ESCAPE) {
        CloseSearchPanel();
    } else if (vk == VK_F1 || vk == VK_F3 || vk == VK_F11 ||
               (GetKeyState(VK_CONTROL) < 0 && (vk == 'F' || vk == 'H'))) {
        PostMessageW(app.mainWindow, WM_KEYDOWN, vk, 0);  // the same keys as in the boxes
    }
}

}  // namespace

LRESULT QuerySearchState(WPARAM what) {
    switch (what) {
        case 0: return static_cast<LRESULT>(results.hits.size());
        case 1: return static_cast<LRESULT>(results.groups.size());
        case 2: return RowCount();
        case 3:
            return static_cast<LRESULT>(std::count_if(results.groups.begin(), results.groups.end(),
                                                      [](const HitGroup& g) { return g.collapsed != 0; }));
        case 4: {
            HWND focus = GetFocus();
            return focus && app.searchPanelWindow && GetParent(focus) == app.searchPanelWindow ? GetDlgCtrlID(focus)
                                                                                               : 0;
        }
        case 5: return app.searchPanelOpen;
        case 6: return results.stopped;
        default: return -1;
    }
}

void RebuildResultRows() {
    results.rows = BuildResultRows(results.hits, results.groups, results.searched || results.stopped);
    results.maxTextWidth = MaxResultTextWidth();
    ClampScroll();
    RepaintList();
}

void ToggleGroup(int group) {
    if (group < 0 || group >= static_cast<int>(results.groups.size())) return;
    results.groups[static_cast<size_t>(group)].collapsed ^= 1u;
    results.selAnchor = results.selEnd = -1;
    results.selecting = false;
    RebuildResultRows();
}

namespace {

// The tab a hit was found in, by its editor window (tabs move and close; windows do not change
// hands), or -1 when that tab is gone.
int TabOfHit(const SearchHit& hit) {
    if (!hit.tabKey) return -1;
    for (size_t i = 0; i < documents.size(); ++i) {
        if (reinterpret_cast<uintptr_t>(documents[i].editor) == hit.tabKey) return static_cast<int>(i);
    }
    return -1;
}

// The hit's match when its line still reads as it did: the text may have changed since the search
// (an edit, a reload), and then only the line is gone to.
bool HitStillInPlace(HWND ed, const SearchHit& hit, long long& start, long long& end) {
    if (hit.matchStart < 0 || hit.matchEnd < hit.matchStart || hit.line < 1) return false;
    const long long line = hit.line - 1;
    if (line >= editor::LineCount(ed)) return false;
    const long long lineStart = editor::Send(ed, editor::kPositionFromLine, static_cast<WPARAM>(line));
    const long long lineEnd = editor::Send(ed, editor::kGetLineEndPosition, static_cast<WPARAM>(line));
    const char* bytes = lineEnd > lineStart ? editor::RangePointer(ed, lineStart, lineEnd - lineStart) : "";
    if (!bytes || Utf8ToWide(bytes, static_cast<size_t>(lineEnd - lineStart)) != hit.lineText) return false;
    if (hit.matchStart < lineStart || hit.matchEnd > editor::Length(ed)) return false;
    start = hit.matchStart;
    end = hit.matchEnd;
    return true;
}

}  // namespace

void OpenHit(int row) {
    if (row < 0 || row >= RowCount() || results.rows[static_cast<size_t>(row)].kind != kRowHit) return;
    // A copy: activating a tab searches again, which empties the list the hit lives in.
    const SearchHit hit = results.hits[static_cast<size_t>(results.rows[static_cast<size_t>(row)].hit)];
    // A hit goes to its own tab; when that is closed, a file's hit opens the file again at the hit's
    // line, and an untitled tab's hit does nothing.
    const int tab = TabOfHit(hit);
    if (tab >= 0)
        ActivateTab(tab);
    else if (!hit.path.empty())
        OpenPath(hit.path);
    else
        return;
    Document* doc = ActiveDocument();
    if (!doc || !doc->editor || doc->hexMode) return;
    long long start = 0, end = 0;
    if (tab >= 0 && HitStillInPlace(doc->editor, hit, start, end))
        editor::Send(doc->editor, editor::kSetSel, static_cast<WPARAM>(start), end);
    else if (hit.line >= 1)
        editor::Send(doc->editor, editor::kGotoLine, static_cast<WPARAM>(hit.line - 1));
    editor::Send(doc->editor, editor::kScrollCaret);
    SetFocus(doc->editor);
}

void CopyResults(bool selectionOnly) {
    const std::wstring text = selectionOnly
                                  ? ResultsCopyText(results.hits, results.rows, results.selAnchor, results.selEnd)
                                  : ResultsCopyText(results.hits, results.rows, -1, -1);
    if (text.empty() || !OpenClipboard(app.resultListWindow)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* data = GlobalLock(block)) {
            memcpy(data, text.c_str(), bytes);
            GlobalUnlock(block);
            if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
        } else {
            GlobalFree(block);
        }
    }
    CloseClipboard();
}

namespace {

void OnMouseLeave(HWND window) {
    if (results.hoverRow >= 0 || results.copyHover || results.vThumbHover || results.hThumbHover) {
        results.hoverRow = -1;
        results.copyHover = results.vThumbHover = results.hThumbHover = false;
        InvalidateRect(window, nullptr, FALSE);
    }
}

void OnLeftButtonUp(HWND window) {
    if (results.vThumbDrag || results.hThumbDrag || results.selecting) {
        results.vThumbDrag = results.hThumbDrag = results.selecting = false;
        ReleaseCapture();
        InvalidateRect(window, nullptr, FALSE);
    }
}

// A double click opens a hit, or folds and unfolds a file's group on its header.
void OnDoubleClick(int y) {
    const int row = ResultRowAt(y, results.scrollY, RowCount(), app.dpi);
    if (row < 0) return;
    const ResultRow& r = results.rows[static_cast<size_t>(row)];
    if (r.kind == kRowHit)
        OpenHit(row);
    else if (r.kind == kRowHeader)
        ToggleGroup(r.group);
}

// The wheel scrolls down and up, with Shift sideways.
void OnWheel(HWND window, WPARAM wParam) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam) / 3;
    if (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT)
        results.scrollX = std::max(0, results.scrollX - delta);
    else
        results.scrollY = std::max(0, results.scrollY - delta);
    ClampScroll();
    InvalidateRect(window, nullptr, FALSE);
}

// WM_GETTEXT: the summary row into a buffer of `size` characters; the number copied.
LRESULT CopySummaryText(wchar_t* buffer, WPARAM size) {
    const std::wstring text = SummaryRowText();
    if (!buffer || size == 0) return 0;
    const size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
    text.copy(buffer, n);
    buffer[n] = L'\0';
    return static_cast<LRESULT>(n);
}

}  // namespace

LRESULT CALLBACK ResultListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: PaintList(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SIZE:
            ClampScroll();
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_MOUSEMOVE: OnMouseMove(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
        case WM_MOUSELEAVE: OnMouseLeave(window); return 0;
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_SHIFT) != 0);
            return 0;
        case WM_LBUTTONUP: OnLeftButtonUp(window); return 0;
        case WM_CAPTURECHANGED: results.vThumbDrag = results.hThumbDrag = results.selecting = false; return 0;
        case WM_LBUTTONDBLCLK: OnDoubleClick(GET_Y_LPARAM(lParam)); return 0;
        case WM_MOUSEWHEEL: OnWheel(window, wParam); return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                const POINT p = CursorInClient(window);
                if (OnCopyButton(window, p.x, p.y)) {
                    SetCursor(LoadCursorW(nullptr, IDC_HAND));
                    return TRUE;
                }
            }
            break;
        case WM_TIMER:
            if (wParam == kCopyTimer) {
                KillTimer(window, kCopyTimer);
                results.copyConfirm = false;
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        // The list's text is its summary row, for readers of the screen and for automation.
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(SummaryRowText().size());
        case WM_GETTEXT: return CopySummaryText(reinterpret_cast<wchar_t*>(lParam), wParam);
        case WM_KEYDOWN: OnKeyDown(window, wParam); return 0;
        case kQuerySearchState: return QuerySearchState(wParam);
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
