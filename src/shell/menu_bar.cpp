#include "shell/menu_bar.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gdi_util.h"
#include "base/gdiplus_inc.h"
#include "shell/menu_paint.h"
#include "shell/window_frame.h"
#include "document/document.h"
#include "io/convert.h"
#include "syntax/palette.h"
#include "shell/commands.h"

namespace {

MenuModel model;
std::vector<Rect> titleRects;

// The open menu and submenu; app.openMenu says which menu it is.
struct OpenMenuState {
    int hoveredRow = -1;  // index into rows.rows
    int openSubmenu = -1;
    int hoveredSubRow = -1;  // index into the submenu's items
    MenuRows rows;
    int menuWidth = 0, menuHeight = 0, shortcutWidth = 0;  // menuHeight: the body as shown
    int menuScroll = 0;                                    // pixels of a cut menu's rows scrolled above its top
    bool alignRight = false;                               // the body ends at the origin (the tab list)
    int submenuWidth = 0, submenuHeight = 0;
    POINT origin{};   // screen point the body was asked to start at
    POINT menuPos{};  // popup window positions, screen coordinates
    POINT submenuPos{};
};
OpenMenuState state;

void RepaintMenuBar() { RepaintArea(app.rects.menuBar); }

POINT PopupPoint(POINT local) { return POINT{Unscale(local.x, app.dpi), Unscale(local.y, app.dpi)}; }

CheckState CurrentChecks() {
    CheckState checks{app.uiLanguage, app.colorScheme, app.theme, app.columnMode != 0, app.settings.wordWrap};
    checks.activeTab = app.activeTab;
    if (const Document* doc = ActiveDocument(); doc && !doc->hexMode) {
        checks.encodingCommand = CommandForEncoding(doc->encoding);
        checks.lineEndingCommand = CommandForLineEnding(doc->lineEnding);
    }
    return checks;
}

RECT WorkAreaAt(POINT screen) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromPoint(screen, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void PaintMenu() {
    if (app.openMenu < 0 || app.openMenu >= static_cast<int>(model.menus.size())) return;
    const Menu& menu = model.menus[static_cast<size_t>(app.openMenu)];
    const CheckState checks = CurrentChecks();
    PopupImage image;
    image.bodyWidth = state.menuWidth;
    image.bodyHeight = state.menuHeight;
    image.scroll = state.menuScroll;
    image.labelRight = 26 + state.menuWidth - state.shortcutWidth - 58;
    int row = 0;
    for (const MenuItem& item : menu.items) {
        PopupRow r;
        r.separator = item.separator;
        if (!item.separator) {
            r.label = item.label;
            r.shortcut = item.shortcut;
            r.checked = MenuItemChecked(item.id, checks);
            r.opensSubmenu = item.id < 0;
            r.hovered = row == state.hoveredRow;
            ++row;
        }
        image.rows.push_back(std::move(r));
    }
    PaintMenuPopup(app.menuPopupWindow, state.menuPos, image);
}

void PaintSubmenu() {
    if (state.openSubmenu < 0) return;
    const CheckState checks = CurrentChecks();
    PopupImage image;
    image.bodyWidth = state.submenuWidth;
    image.bodyHeight = state.submenuHeight;
    // Submenus have no shortcut column: the label may use the body up to a small right margin.
    image.labelRight = kMenuShadowMargin + state.submenuWidth - 8;
    const std::vector<SubmenuItem>& items = model.submenus[static_cast<size_t>(state.openSubmenu)];
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const SubmenuItem& item = items[static_cast<size_t>(i)];
        PopupRow r;
        r.separator = item.separator;
        if (!item.separator) {
            r.label = item.label;
            r.checked = SubmenuItemChecked(state.openSubmenu, item.id, checks);
            r.hovered = i == state.hoveredSubRow;
        }
        image.rows.push_back(std::move(r));
    }
    PaintMenuPopup(app.subMenuPopupWindow, state.submenuPos, image);
}

// Measures the open menu, places its popup with the body at `origin` and shows it.
void ShowOpenMenu(POINT origin) {
    const Menu& menu = model.menus[static_cast<size_t>(app.openMenu)];
    std::vector<const std::wstring*> labels, shortcuts;
    for (const MenuItem& item : menu.items) {
        if (item.separator) continue;
        labels.push_back(&item.label);
        shortcuts.push_back(&item.shortcut);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    double labelWidth = 0, shortcutWidth = 0;
    {
        Gdiplus::Graphics g(dc);
        const LOGFONTW labelLogFont = MenuLogFont(), smallLogFont = ShortcutLogFont();
        Gdiplus::Font labelFont(dc, &labelLogFont);
        Gdiplus::Font smallFont(dc, &smallLogFont);
        labelWidth = WidestText(g, labelFont, labels);
        shortcutWidth = WidestText(g, smallFont, shortcuts);
    }
    DeleteDC(dc);

    state.shortcutWidth = static_cast<int>(shortcutWidth);
    state.menuWidth = MenuBodyWidth(labelWidth, shortcutWidth);
    state.rows = LayoutMenuRows(menu.items);
    state.origin = origin;
    state.menuScroll = 0;
    const RECT work = WorkAreaAt(origin);
    // The body is placed in design pixels, measured from its title's bottom edge.
    const DropDownPlace place =
        PlaceDropDown(0, state.rows.height, Unscale(work.top - origin.y, app.dpi), Unscale(work.bottom - origin.y, app.dpi));
    state.menuHeight = place.shownHeight;
    if (app.openMenu == kTabListMenu && app.activeTab >= 0 &&
        app.activeTab < static_cast<int>(state.rows.rows.size())) {
        // The list of tabs opens on the active one: its row in view and lit.
        state.hoveredRow = app.activeTab;
        state.menuScroll = ScrollDropDownToRow(0, state.rows, app.activeTab, state.menuHeight);
    }
    const int w = Px(state.menuWidth + 2 * kMenuShadowMargin), h = Px(state.menuHeight + 2 * kMenuShadowMargin);
    const int bodyLeft = state.alignRight ? origin.x - Px(state.menuWidth) : origin.x;
    state.menuPos = POINT{FitInto(bodyLeft - Px(kMenuShadowMargin), w, work.left, work.right),
                          origin.y + Px(place.windowTop)};
    PaintMenu();
    SetWindowPos(app.menuPopupWindow, HWND_TOPMOST, state.menuPos.x, state.menuPos.y, w, h,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void SetHoveredTitle(int title) {
    if (app.hoveredMenuItem == title) return;
    app.hoveredMenuItem = title;
    RepaintMenuBar();
}

// The menu-bar title under a screen point, or -1.
// The menu bar title under a screen point, -1 if none. Only a menu opened from the bar follows the
// pointer along the bar: a context menu stays what it is until it closes.
int TitleAtScreen(POINT screen) {
    if (app.openMenu < 0 || app.openMenu >= static_cast<int>(titleRects.size())) return -1;
    ScreenToClient(app.mainWindow, &screen);
    return app.rects.menuBar.Contains(screen.x, screen.y) ? MenuTitleAt(screen.x, screen.y) : -1;
}

// The submenu item under a screen point; -1 on a separator or outside; `inside` tells whether the
// point is on the submenu's body at all.
int SubmenuItemAtScreen(POINT screen, bool& inside) {
    inside = false;
    if (state.openSubmenu < 0) return -1;
    const POINT at = PopupPoint(POINT{screen.x - state.submenuPos.x, screen.y - state.submenuPos.y});
    const int x = at.x, y = at.y;
    inside = InMenuBody(state.submenuWidth, state.submenuHeight, x, y);
    return SubmenuItemAt(model.submenus[static_cast<size_t>(state.openSubmenu)], state.submenuWidth, x, y);
}

const MenuItem* OpenMenuItemAtRow(int row) {
    if (app.openMenu < 0 || row < 0 || row >= static_cast<int>(state.rows.rows.size())) return nullptr;
    return &model.menus[static_cast<size_t>(app.openMenu)].items[static_cast<size_t>(state.rows.rows[row].item)];
}

void OnPopupMouseMove(HWND window, POINT local) {
    POINT screen = local;
    ClientToScreen(window, &screen);
    const int title = TitleAtScreen(screen);
    SetHoveredTitle(title);
    if (title >= 0 && title != app.openMenu) return OpenMenu(title);

    bool inSubmenu = false;
    const int subRow = SubmenuItemAtScreen(screen, inSubmenu);
    if (inSubmenu) {
        if (subRow != state.hoveredSubRow) {
            state.hoveredSubRow = subRow;
            PaintSubmenu();
        }
        return;
    }
    if (state.hoveredSubRow >= 0) {
        state.hoveredSubRow = -1;
        PaintSubmenu();
    }

    const POINT at = PopupPoint(local);
    const int row = InMenuBody(state.menuWidth, state.menuHeight, at.x, at.y)
                        ? MenuRowAt(state.rows, state.menuWidth, at.x, at.y + state.menuScroll)
                        : -1;
    if (row != state.hoveredRow) {
        state.hoveredRow = row;
        PaintMenu();
    }
    const MenuItem* item = OpenMenuItemAtRow(row);
    const int submenu = item ? SubmenuOf(item->id) : -1;
    if (submenu < 0) return CloseSubmenu();
    if (submenu == state.openSubmenu) return;
    POINT corner{Px(20), Px(state.rows.rows[static_cast<size_t>(row)].top - state.menuScroll)};
    ClientToScreen(window, &corner);
    OpenSubmenu(submenu, corner);
}

// A click that closed the menus goes on to what lies under it. Clicks on the main window and on
// the editor go through the main window, which routes editor clicks itself (column mode).
void RepostClick(UINT message, WPARAM keys, POINT screen) {
    HWND target = WindowFromPoint(screen);
    if (!target || !app.mainWindow || (target != app.mainWindow && !IsChild(app.mainWindow, target))) return;
    const Document* doc = ActiveDocument();
    if (message == WM_LBUTTONDOWN && doc && target == doc->editor) target = app.mainWindow;
    ScreenToClient(target, &screen);
    PostMessageW(target, message, keys, MAKELPARAM(screen.x, screen.y));
}

void OnPopupButtonDown(HWND window, UINT message, WPARAM keys, POINT local) {
    POINT screen = local;
    ClientToScreen(window, &screen);
    const int title = TitleAtScreen(screen);
    if (title >= 0) {
        if (title == app.openMenu)
            CloseMenus();
        else
            OpenMenu(title);
        return;
    }
    if (message != WM_LBUTTONDOWN) {
        CloseMenus();
        return RepostClick(message, keys, screen);
    }

    bool inSubmenu = false;
    const int subRow = SubmenuItemAtScreen(screen, inSubmenu);
    if (subRow >= 0) {
        const int id = model.submenus[static_cast<size_t>(state.openSubmenu)][static_cast<size_t>(subRow)].id;
        CloseMenus();
        return ExecuteCommand(id);
    }
    const POINT at = PopupPoint(local);
    const int row = InMenuBody(state.menuWidth, state.menuHeight, at.x, at.y)
                        ? MenuRowAt(state.rows, state.menuWidth, at.x, at.y + state.menuScroll)
                        : -1;
    const MenuItem* item = OpenMenuItemAtRow(row);
    // A click on the row that opened the submenu leaves both open.
    if (!item || SubmenuOf(item->id) != state.openSubmenu) CloseSubmenu();
    if (item) {
        if (item->id < 0) return;
        const int id = item->id;
        CloseMenus();
        return ExecuteCommand(id);
    }
    CloseMenus();
    RepostClick(message, keys, screen);
}

}  // namespace

void LayoutMenuTitles(HDC dc) {
    std::vector<int> widths;
    HGDIOBJ old = SelectObject(dc, app.menuFont);
    for (int i = 0; i < kMenuBarMenuCount && i < static_cast<int>(model.menus.size()); ++i) {
        const std::wstring& title = model.menus[static_cast<size_t>(i)].title;
        SIZE size{};
        GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
        widths.push_back(size.cx);
    }
    SelectObject(dc, old);
    titleRects = LayoutTitleRects(widths, app.rects.menuBar.top, app.rects.menuBar.bottom, app.dpi);
}

void PaintMenuBar(HDC dc) {
    const Rect& bar = app.rects.menuBar;
    FillSolid(dc, bar, palette.panelColor);
    for (int i = 0; i < static_cast<int>(titleRects.size()); ++i) {
        const bool open = i == app.openMenu;
        const bool hovered = i == app.hoveredMenuItem;
        Colour text = palette.textColor;
        if (open || hovered) {
            const Colour fill = open ? palette.activeColor : palette.hoverColor;
            FillSolid(dc, titleRects[static_cast<size_t>(i)], fill);
            text = TextOnFill(fill);
        }
        DrawTextBox(dc, model.menus[static_cast<size_t>(i)].title, titleRects[static_cast<size_t>(i)], app.menuFont,
                    text, DT_CENTER);
    }
    FillSolid(dc, Rect{bar.left, bar.bottom - 1, bar.right, bar.bottom}, palette.borderColor);
}

int MenuTitleAt(int x, int y) { return TitleAt(titleRects, x, y); }

Rect MenuTitleRect(int index) {
    return index >= 0 && index < static_cast<int>(titleRects.size()) ? titleRects[static_cast<size_t>(index)] : Rect{};
}

void OpenMenu(int index) {
    if (index < 0 || index >= static_cast<int>(titleRects.size()) || !app.mainWindow) return;
    POINT at{titleRects[static_cast<size_t>(index)].left, app.rects.menuBar.bottom};
    ClientToScreen(app.mainWindow, &at);
    OpenMenuAt(index, at);
}

void OpenMenuAt(int index, POINT screen) {
    if (index < 0 || index >= static_cast<int>(model.menus.size()) || !app.menuPopupWindow) return;
    if (index == app.openMenu && IsWindowVisible(app.menuPopupWindow)) return;
    CloseSubmenu();
    state.alignRight = index == kTabListMenu;
    app.openMenu = index;
    state.hoveredRow = -1;
    ShowOpenMenu(screen);
    SetCapture(app.menuPopupWindow);
    RepaintMenuBar();
}

void OpenTabList(POINT screen) {
    if (model.menus.size() <= kTabListMenu) return;
    std::vector<std::wstring> titles;
    for (const Document& doc : documents) titles.push_back(doc.title);
    model.menus[kTabListMenu].items = TabListItems(titles);
    OpenMenuAt(kTabListMenu, screen);
}

void OpenSubmenu(int index, POINT screen) {
    if (index < 0 || index >= static_cast<int>(model.submenus.size()) || !app.subMenuPopupWindow || app.openMenu < 0)
        return;
    const std::vector<SubmenuItem>& items = model.submenus[static_cast<size_t>(index)];
    std::vector<const std::wstring*> labels;
    for (const SubmenuItem& item : items) {
        if (!item.separator) labels.push_back(&item.label);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    double labelWidth = 0;
    {
        Gdiplus::Graphics g(dc);
        const LOGFONTW labelLogFont = MenuLogFont();
        Gdiplus::Font labelFont(dc, &labelLogFont);
        labelWidth = WidestText(g, labelFont, labels);
    }
    DeleteDC(dc);

    state.openSubmenu = index;
    state.hoveredSubRow = -1;
    state.submenuWidth = SubmenuBodyWidth(labelWidth);
    state.submenuHeight = SubmenuBodyHeight(items);
    const int w = Px(state.submenuWidth + 2 * kMenuShadowMargin), h = Px(state.submenuHeight + 2 * kMenuShadowMargin);
    // The submenu's shadow margin lies over the menu's, so the two bodies meet edge to edge.
    const int menuRight = state.menuPos.x + Px(state.menuWidth + 2 * kMenuShadowMargin);
    const RECT work = WorkAreaAt(screen);
    state.submenuPos = POINT{FitInto(menuRight - Px(2 * kMenuShadowMargin), w, work.left, work.right),
                             FitInto(screen.y - Px(8), h, work.top, work.bottom)};
    PaintSubmenu();
    SetWindowPos(app.subMenuPopupWindow, HWND_TOPMOST, state.submenuPos.x, state.submenuPos.y, w, h,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CloseSubmenu() {
    if (state.openSubmenu < 0) return;
    state.openSubmenu = -1;
    state.hoveredSubRow = -1;
    if (app.subMenuPopupWindow) ShowWindow(app.subMenuPopupWindow, SW_HIDE);
}

void CloseMenus() {
    if (app.openMenu < 0) return;
    // Cleared first: releasing the capture reports back to the popup, which would close again.
    app.openMenu = -1;
    state.hoveredRow = -1;
    if (app.menuPopupWindow && GetCapture() == app.menuPopupWindow) ReleaseCapture();
    CloseSubmenu();
    if (app.menuPopupWindow) ShowWindow(app.menuPopupWindow, SW_HIDE);
    RepaintMenuBar();
}

void RepaintOpenMenus() {
    if (app.openMenu < 0) return;
    PaintMenu();
    PaintSubmenu();
}

LRESULT CALLBACK MenuPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT local{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_MOUSEMOVE:
            if (app.openMenu >= 0) OnPopupMouseMove(window, local);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (app.openMenu >= 0) OnPopupButtonDown(window, message, wParam, local);
            return 0;
        case WM_MOUSEWHEEL:
            // A menu cut at the bottom of the screen scrolls its rows; a submenu closes first.
            if (window == app.menuPopupWindow && app.openMenu >= 0) {
                const int scroll = ScrollDropDown(state.menuScroll, GET_WHEEL_DELTA_WPARAM(wParam), state.rows.height,
                                                  state.menuHeight);
                if (scroll != state.menuScroll) {
                    CloseSubmenu();
                    state.menuScroll = scroll;
                    state.hoveredRow = -1;
                    PaintMenu();
                }
            }
            return 0;
        case WM_MOUSEHWHEEL: return 0;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_CAPTURECHANGED:
            // Another window took the mouse (a dialog, another program): the menu cannot follow it.
            if (reinterpret_cast<HWND>(lParam) != window) CloseMenus();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void BuildMenuModel() {
    model = BuildEnglishMenuModel();
    state = OpenMenuState{};
}

void RelabelMenus() {
    ApplyMenuLanguage(model, app.uiLanguage);
    RebuildRecentFilesMenu();
    if (app.searchPanelWindow) InvalidateRect(app.searchPanelWindow, nullptr, TRUE);
    if (app.openMenu >= 0) {
        CloseSubmenu();
        ShowOpenMenu(state.origin);
    }
    RepaintMenuBar();
}

void RebuildRecentFilesMenu() {
    if (model.menus.empty()) return;
    if (state.openSubmenu == kRecentFilesSubmenu) CloseSubmenu();
    model.submenus[kRecentFilesSubmenu] = RecentFilesSubmenu(app.settings.recent, app.uiLanguage);
    if (!app.mainWindow) return;
    HDC dc = GetDC(app.mainWindow);
    LayoutMenuTitles(dc);
    ReleaseDC(app.mainWindow, dc);
}

const MenuModel& CurrentMenuModel() { return model; }
