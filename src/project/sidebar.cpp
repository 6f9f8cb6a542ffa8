#include "project/sidebar.h"

#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/gdi_util.h"
#include "workflow/tab_actions.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/open.h"
#include "persist/persist.h"
#include "syntax/palette.h"
#include "base/strings.h"

SidebarState sidebar;

namespace {

HBITMAP backBuffer = nullptr;
int backBufferWidth = 0, backBufferHeight = 0;

void RepaintSidebar() {
    if (app.sidebarWindow) InvalidateRect(app.sidebarWindow, nullptr, FALSE);
}

RECT ClientOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

// Rebuilds the rows from the disk and shows them.
void RefreshSidebar() {
    RebuildSidebarRows();
    RepaintSidebar();
    ClampSidebarScroll();
}

void RoundBox(HDC dc, int left, int top, int right, int bottom, int corner, COLORREF colour) {
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCBrushColor(dc, colour);
    SetDCPenColor(dc, colour);
    RoundRect(dc, left, top, right, bottom, 2 * corner, 2 * corner);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

// The badge column as the interface font needs it: wide enough for "CSS" and "XML", as tall as
// a capital letter with a pixel of room above and below.
struct BadgeBox {
    int width = 18, height = 13;
};

BadgeBox MeasureBadges(HDC dc) {
    BadgeBox box;
    int widest = 0;
    for (const std::wstring& label : BadgeLabels()) widest = std::max(widest, TextWidth(dc, app.uiFont, label));
    box.width = SidebarBadgeWidth(widest, app.dpi);
    HGDIOBJ old = SelectObject(dc, app.uiFont);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    box.height = std::min(Px(kSidebarRowHeight - 2),
                          std::max(Px(13), static_cast<int>(metrics.tmAscent - metrics.tmInternalLeading) + Px(4)));
    return box;
}

// A name in its band: cut at the end with "…" when it is too long.
void DrawName(HDC dc, const std::wstring& name, int left, int top, int right) {
    DrawTextBox(dc, EndEllipsisText(dc, app.uiFont, name, right - left),
                Rect{left, top, right, top + Px(kSidebarRowHeight)}, app.uiFont, palette.textColor, 0);
}

void PaintRow(HDC dc, const SidebarRow& row, int top, int contentWidth, const BadgeBox& badgeBox) {
    const int bottom = top + Px(kSidebarRowHeight);
    const int indent = Px(row.depth * 14);
    if (row.isHeader) {
        DrawTextBox(dc, row.name, Rect{Px(12), top, contentWidth - Px(12), bottom}, app.uiFont, palette.faintTextColor,
                    0);
        DrawTextBox(dc, L"\u00D7", Rect{contentWidth - Px(12), top, contentWidth, bottom}, app.uiFont,
                    palette.dimTextColor, DT_CENTER);
    } else if (row.isFolder) {
        const bool open = sidebar.expandedFolders.count(row.path) != 0;
        DrawTextBox(dc, open ? L"v" : L">", Rect{indent + Px(10), top, indent + Px(24), bottom}, app.uiFont,
                    palette.dimTextColor, 0);
        DrawName(dc, row.name, indent + Px(26), top, contentWidth);
    } else {
        const FileBadge badge = BadgeForName(row.name);
        const int badgeTop = top + (Px(kSidebarRowHeight) - badgeBox.height) / 2;
        const RECT box{indent + Px(22), badgeTop, indent + Px(22) + badgeBox.width, badgeTop + badgeBox.height};
        RoundBox(dc, box.left, box.top, box.right, box.bottom, Px(2), badge.background);
        DrawTextBox(dc, badge.label, Rect{box.left, box.top, box.right, box.bottom}, app.uiFont, badge.text, DT_CENTER);
        DrawName(dc, row.name, box.right + Px(6), top, contentWidth);
    }
}

void InvalidateRowBand(HWND window, int row) {
    if (row < 0) return;
    const int top = SidebarRowTop(static_cast<size_t>(row), sidebar.scroll, app.dpi);
    RECT band{0, top, 4000, top + Px(kSidebarRowHeight)};
    InvalidateRect(window, &band, FALSE);
}

void OnMouseMove(HWND window, int x, int y) {
    const RECT client = ClientOf(window);
    const int w = client.right, h = client.bottom;
    SidebarThumb thumb = SidebarThumbRect(w, h, sidebar.rows.size(), sidebar.scroll, app.dpi);
    const bool overThumbZone = thumb.exists && thumb.left - Px(4) <= x && x <= w;
    if (overThumbZone != sidebar.thumbHover) {
        sidebar.thumbHover = overThumbZone;
        InvalidateRect(window, nullptr, FALSE);
    }
    if (sidebar.thumbDragging && thumb.exists) {
        sidebar.scroll = SidebarDragScroll(y, h, sidebar.rows.size(), thumb.bottom - thumb.top, app.dpi);
        ClampSidebarScroll();
        InvalidateRect(window, nullptr, FALSE);
    }
    const int hover = SidebarRowAt(sidebar.scroll, y, sidebar.rows.size(), app.dpi);
    if (hover != sidebar.hoverRow) {
        InvalidateRowBand(window, sidebar.hoverRow);
        sidebar.hoverRow = hover;
        InvalidateRowBand(window, hover);
    }
    // Leaving the panel must clear the hover mark.
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
    TrackMouseEvent(&track);
}

// After the rows moved under a still pointer (wheel, page clicks), the hover mark goes to the row
// now under it.
void HoverUnderPointer(HWND window) {
    const RECT client = ClientOf(window);
    const POINT p = CursorInClient(window);
    const bool inside = PtInRect(&client, p) != FALSE;
    sidebar.hoverRow = inside ? SidebarRowAt(sidebar.scroll, p.y, sidebar.rows.size(), app.dpi) : -1;
}

void ClickRow(HWND window, int x, int y, int width) {
    const int index = SidebarRowAt(sidebar.scroll, y, sidebar.rows.size(), app.dpi);
    if (index < 0) return;
    const SidebarRow row = sidebar.rows[static_cast<size_t>(index)];
    if (row.isHeader) {
        if (x > width - Px(24)) {
            app.sidebarVisible = 0;
            NoteChange(kChangeLayout);
            SaveUiState();
        }
    } else if (row.isFolder) {
        if (!sidebar.expandedFolders.erase(row.path)) sidebar.expandedFolders.insert(row.path);
        RebuildSidebarRows();
        ClampSidebarScroll();
        InvalidateRect(window, nullptr, FALSE);
    } else if (!row.path.empty()) {
        OpenPath(row.path);
        const Document* doc = ActiveDocument();
        SetFocus(doc && doc->editor ? doc->editor : window);
    }
}

void OnLeftButtonDown(HWND window, int x, int y) {
    const RECT client = ClientOf(window);
    const int w = client.right, h = client.bottom;
    const SidebarThumb thumb = SidebarThumbRect(w, h, sidebar.rows.size(), sidebar.scroll, app.dpi);
    if (thumb.exists && thumb.left - Px(4) <= x && x <= thumb.right + Px(4)) {
        if (y < thumb.top || y >= thumb.bottom) {
            sidebar.scroll += y < thumb.top ? -h / 2 : h / 2;
            ClampSidebarScroll();
            HoverUnderPointer(window);
            InvalidateRect(window, nullptr, FALSE);
        } else {
            sidebar.thumbDragging = true;
            SetCapture(window);
        }
        return;
    }
    ClickRow(window, x, y, w);
}

void StopDragging(HWND window) {
    if (!sidebar.thumbDragging) return;
    sidebar.thumbDragging = false;
    if (GetCapture() == window) ReleaseCapture();
    InvalidateRect(window, nullptr, FALSE);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const RECT client = ClientOf(window);
    const int w = client.right, h = client.bottom;
    if (w > 0 && h > 0) {
        if (!backBuffer || backBufferWidth != w || backBufferHeight != h) {
            if (backBuffer) DeleteObject(backBuffer);
            backBuffer = CreateCompatibleBitmap(dc, w, h);
            backBufferWidth = w, backBufferHeight = h;
        }
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, backBuffer);
        PaintSidebar(memory, w, h);
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, memory, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(window, &ps);
}

}  // namespace

void PaintSidebar(HDC dc, int width, int height) {
    FillSolid(dc, RECT{0, 0, width, height}, palette.panelColor);
    SetBkMode(dc, TRANSPARENT);
    const int contentWidth = width - Px(kSidebarScrollZone);
    const BadgeBox badgeBox = MeasureBadges(dc);
    const RowRange visible = VisibleSidebarRows(sidebar.scroll, height, sidebar.rows.size(), app.dpi);
    auto paintRow = [&](size_t i) {
        const int top = SidebarRowTop(i, sidebar.scroll, app.dpi);
        FillSolid(dc, RECT{0, top, contentWidth, top + Px(kSidebarRowHeight)},
                  static_cast<int>(i) == sidebar.hoverRow ? palette.hoverColor : palette.panelColor);
        PaintRow(dc, sidebar.rows[i], top, contentWidth, badgeBox);
    };
    // The rows scroll beneath the header, which stays at the top with its "×".
    for (size_t i = std::max<size_t>(visible.first, 1); i < visible.last; ++i) paintRow(i);
    if (!sidebar.rows.empty()) paintRow(0);
    const SidebarThumb thumb = SidebarThumbRect(width, height, sidebar.rows.size(), sidebar.scroll, app.dpi);
    if (thumb.exists) {
        const COLORREF colour = sidebar.thumbDragging ? palette.thumbDragColor
                                : sidebar.thumbHover  ? palette.thumbHoverColor
                                                      : palette.thumbColor;
        RoundBox(dc, thumb.left, thumb.top, thumb.right, thumb.bottom, Px(3), colour);
    }
    FillSolid(dc, RECT{width - 1, 0, width, height}, palette.borderColor);
}

LRESULT CALLBACK SidebarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: OnPaint(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SIZE: InvalidateRect(window, nullptr, FALSE); return 0;
        case WM_MOUSEWHEEL:
            sidebar.scroll = SidebarWheelScroll(sidebar.scroll, Px(GET_WHEEL_DELTA_WPARAM(wParam)));
            ClampSidebarScroll();
            HoverUnderPointer(window);
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_MOUSEMOVE: OnMouseMove(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
        case WM_MOUSELEAVE:
            if (!sidebar.thumbDragging && (sidebar.hoverRow >= 0 || sidebar.thumbHover)) {
                InvalidateRowBand(window, sidebar.hoverRow);
                sidebar.hoverRow = -1;
                if (sidebar.thumbHover) InvalidateRect(window, nullptr, FALSE);
                sidebar.thumbHover = false;
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: OnLeftButtonDown(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
        case WM_LBUTTONUP: StopDragging(window); return 0;
        case WM_CAPTURECHANGED:
            if (sidebar.thumbDragging) {
                sidebar.thumbDragging = false;
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_DESTROY:
            if (backBuffer) DeleteObject(backBuffer);
            backBuffer = nullptr;
            backBufferWidth = backBufferHeight = 0;
            return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RebuildSidebarRows() {
    sidebar.rows = BuildSidebarRows(app.folderRoot, sidebar.expandedFolders);
    if (sidebar.hoverRow >= static_cast<int>(sidebar.rows.size())) sidebar.hoverRow = -1;
}

void ClampSidebarScroll() {
    const int height = app.sidebarWindow ? static_cast<int>(ClientOf(app.sidebarWindow).bottom) : 0;
    sidebar.scroll = ClampSidebarScrollValue(sidebar.scroll, sidebar.rows.size(), height, app.dpi);
}

std::wstring BrowseForFolder() {
    BROWSEINFOW info{};
    info.hwndOwner = app.mainWindow;
    const std::wstring title = MessageFor(MessageText::ChooseFolder);
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    if (!list) return {};
    wchar_t path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListW(list, path) != FALSE;
    CoTaskMemFree(list);
    return ok ? std::wstring(path) : std::wstring();
}

void ShowFolderExpanded(const std::wstring& folder) {
    app.folderRoot = folder;
    sidebar.expandedFolders.insert(folder);
    app.sidebarVisible = 1;
    RefreshSidebar();
    NoteChange(kChangeLayout | kChangeTitle);
    SaveUiState();
}

void ShowFolderCollapsed(const std::wstring& folder) {
    app.folderRoot = folder;
    sidebar.expandedFolders.clear();
    RefreshSidebar();
    NoteChange(kChangeLayout | kChangeTitle);
}

void OpenFolder() {
    const std::wstring folder = BrowseForFolder();
    if (!folder.empty()) ShowFolderExpanded(folder);
}
