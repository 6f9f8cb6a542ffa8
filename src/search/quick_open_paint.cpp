// Painting the quick-open popup: its background, its buttons, its list rows, and its controls' colours.
#include "search/quick_open_paint.h"

#include "base/app_state.h"
#include "base/gdi_util.h"
#include "dialogs/dialog_frame.h"
#include "search/quick_open.h"
#include "search/search_panel.h"
#include "syntax/palette.h"

namespace {

ColourBrush popupBrush, lineBoxBrush;  // made again when the theme changes the colour

}  // namespace

void PaintQuickOpen(HWND window, bool lineMode) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillSolid(dc, client, palette.inputColor);
    if (lineMode)
        RoundBox(dc, RECT{Px(58), Px(10), Px(180), Px(34)}, Px(6), SearchFieldFill(), palette.borderColor);
    EndPaint(window, &ps);
}

void DrawQuickOpenButton(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const bool lit = IsHot(item) || IsPressed(item);
    FillSolid(dc, r, palette.inputColor);
    RoundBox(dc, RECT{r.left, r.top, r.right - 1, r.bottom - 1}, Px(6), lit ? palette.hoverColor : palette.panelColor,
             palette.borderColor);
    if (item.CtlID == kQuickGo) {
        wchar_t caption[32] = {};
        GetWindowTextW(item.hwndItem, caption, 32);
        DrawTextBox(dc, caption, FromRECT(r), app.uiFont, palette.textColor, DT_CENTER);
        return;
    }
    // "×": two diagonals 10 pixels long, centred.
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const COLORREF colour = lit ? palette.textColor : palette.dimTextColor;
    DrawLine(dc, cx - 5, cy - 5, cx + 5, cy + 5, colour);
    DrawLine(dc, cx + 5, cy - 5, cx - 5, cy + 5, colour);
}

// One row of the list in the theme's colours, the letters the query matched in the accent colour.
void DrawQuickOpenRow(const DRAWITEMSTRUCT& item, const std::vector<QuickItem>& items, int mode,
                      const std::wstring& query) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillSolid(dc, r, selected ? palette.selectionColor : palette.inputColor);
    if (item.itemID >= items.size()) return;
    const QuickItem& entry = items[item.itemID];
    const bool info = mode != kQuickPalette && entry.code == kQuickInfo;
    const std::wstring& label = entry.label;
    std::vector<MatchSpan> spans;
    if (!info) spans = MatchSpans(label, HighlightQuery(mode, query));
    HGDIOBJ oldFont = SelectObject(dc, app.uiFont);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int y = r.top + (r.bottom - r.top - metrics.tmHeight) / 2;
    HRGN clip = CreateRectRgn(r.left, r.top, r.right - Px(4), r.bottom);
    SelectClipRgn(dc, clip);
    int x = r.left + Px(8);
    size_t at = 0;
    auto run = [&](size_t from, size_t to, COLORREF colour) {
        if (to <= from) return;
        SetTextColor(dc, colour);
        TextOutW(dc, x, y, label.c_str() + from, static_cast<int>(to - from));
        SIZE size{};
        GetTextExtentPoint32W(dc, label.c_str() + from, static_cast<int>(to - from), &size);
        x += size.cx;
    };
    const COLORREF plain = info ? palette.dimTextColor : palette.textColor;
    for (const MatchSpan& span : spans) {
        run(at, span.start, plain);
        run(span.start, span.start + span.length, palette.accentColor);
        at = span.start + span.length;
    }
    run(at, label.size(), plain);
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
    SelectObject(dc, oldFont);
}

LRESULT QuickOpenControlColour(WPARAM wParam, LPARAM lParam, bool isStatic) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    const bool lineBox = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kQuickLineBox;
    const COLORREF fill = lineBox ? SearchFieldFill() : palette.inputColor;
    SetTextColor(dc, palette.textColor);
    SetBkColor(dc, fill);
    if (isStatic) SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(lineBox ? lineBoxBrush.For(fill) : popupBrush.For(fill));
}

LRESULT QuickOpenListColour(HDC dc) {
    SetBkColor(dc, palette.inputColor);
    return reinterpret_cast<LRESULT>(popupBrush.For(palette.inputColor));
}

void ReleaseQuickOpenBrushes() {
    popupBrush.Release();
    lineBoxBrush.Release();
}
