#include "ui/menu_bar.h"

#include <vector>

#include "app/app_state.h"
#include "app/gdi_util.h"
#include "app/main_window.h"
#include "syntax/palette.h"
#include "ui/strings.h"

namespace {

// General-table entries of the eight menu-bar titles.
constexpr int kTitleEntries[8] = {0, 1, 2, 3, 6, 7, 8, 9};
std::vector<Rect> titleRects;

void RepaintMenuBar() { RepaintArea(app.rects.menuBar); }

}  // namespace

void LayoutMenuTitles(HDC dc) {
    titleRects.clear();
    HGDIOBJ old = SelectObject(dc, app.menuFont);
    int x = 8;
    for (int entry : kTitleEntries) {
        const wchar_t* text = LocalizedText(StringTable::General, entry);
        SIZE size{};
        GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
        titleRects.push_back(Rect{x, app.rects.menuBar.top, x + size.cx + 20, app.rects.menuBar.bottom});
        x += size.cx + 20;
    }
    SelectObject(dc, old);
}

void PaintMenuBar(HDC dc) {
    const Rect& bar = app.rects.menuBar;
    FillSolid(dc, bar, palette.panelColor);
    for (int i = 0; i < static_cast<int>(titleRects.size()); ++i) {
        const bool open = i == app.openMenu;
        const bool hovered = i == app.hoveredMenuItem;
        if (open)
            FillSolid(dc, titleRects[i], palette.activeColor);
        else if (hovered)
            FillSolid(dc, titleRects[i], palette.hoverColor);
        DrawTextBox(dc, LocalizedText(StringTable::General, kTitleEntries[i]), titleRects[i], app.menuFont,
                    open || hovered ? RGB(255, 255, 255) : palette.textColor, DT_CENTER);
    }
    FillSolid(dc, Rect{bar.left, bar.bottom - 1, bar.right, bar.bottom}, palette.borderColor);
}

int MenuTitleAt(int x, int y) {
    for (int i = 0; i < static_cast<int>(titleRects.size()); ++i) {
        if (titleRects[i].Contains(x, y)) return i;
    }
    return -1;
}

// Drop-down menus arrive with the menu model; until then a title only shows as open.
void OpenMenu(int index) {
    app.openMenu = index;
    RepaintMenuBar();
}

void CloseMenus() {
    if (app.openMenu < 0) return;
    app.openMenu = -1;
    RepaintMenuBar();
}

LRESULT CALLBACK MenuPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

void BuildMenuModel() {}
void RelabelMenus() {}
