#pragma once
// The menu model: the eight menu-bar menus, the tab context menu and the five submenus, with their
// labels in one interface language, and the pixel geometry of the self-drawn menus. Window-free, so
// that labelling, checkmarks and hit testing can be tested without a display.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/geometry.h"

struct MenuItem {
    std::wstring label;
    std::wstring shortcut;  // shown right-aligned; empty = none
    int id = 0;             // CommandId, or -1 .. -5 for an item that opens submenu 0 .. 4
    bool separator = false;
};

struct Menu {
    std::wstring title;
    std::vector<MenuItem> items;
};

struct SubmenuItem {
    int id = 0;
    std::wstring label;
    bool separator = false;
};

// Menus 0-7 are the menu bar (File, Edit, Find, View, Project, Preferences, Language, Help),
// menu 8 is the tab context menu, menu 9 the list of tabs.
using MenuBar = std::vector<Menu>;
using Submenus = std::array<std::vector<SubmenuItem>, 5>;

struct MenuModel {
    MenuBar menus;
    Submenus submenus;
};

constexpr int kMenuBarMenuCount = 8;
constexpr int kLanguageMenu = 6;
constexpr int kTabContextMenu = 8;
constexpr int kTabListMenu = 9;  // every tab by its title, filled in as it opens
constexpr int kSchemeSubmenu = 0;
constexpr int kThemeSubmenu = 1;
constexpr int kRecentFilesSubmenu = 2;
constexpr int kLineEndingSubmenu = 3;
constexpr int kEncodingSubmenu = 4;
constexpr int kRecentFilesShown = 10;

// The whole model with English labels; the Recent Files submenu is empty.
MenuModel BuildEnglishMenuModel();

// Titles and labels of the menus in `language`; submenus are left alone. Shortcuts never change.
void ApplyMenuLanguage(MenuModel& model, int language);

// The Recent Files submenu for a list of full paths, most recent first.
std::vector<SubmenuItem> RecentFilesSubmenu(const std::vector<std::wstring>& recent, int language);

// The tab list: one item per title, in tab order, as many as there are ids for.
std::vector<MenuItem> TabListItems(const std::vector<std::wstring>& titles);

// The submenu (0-4) an item opens, or -1 for a plain item.
inline int SubmenuOf(int id) { return id <= -1 && id >= -5 ? -id - 1 : -1; }

// What the checkmarks follow.
struct CheckState {
    int uiLanguage = 4;
    int colorScheme = 0;
    int theme = 0;
    bool columnMode = false;
    bool wordWrap = false;
    int encodingCommand = 0;    // the Encoding item of the active text tab's encoding; 0 for none
    int lineEndingCommand = 0;  // the Line Endings item of its line endings; 0 for none (mixed, hex)
    int activeTab = -1;         // the tab list marks the active tab
};

bool MenuItemChecked(int id, const CheckState& state);
bool SubmenuItemChecked(int submenu, int id, const CheckState& state);

// Geometry of the drop-down menus, in pixels. A popup window is its menu body plus a margin on every
// side that holds the shadow; the body starts at (kMenuShadowMargin, kMenuShadowMargin).
constexpr int kMenuShadowMargin = 12;
constexpr int kMenuRowHeight = 36;
constexpr int kMenuSeparatorHeight = 9;
constexpr int kMenuTitlePadding = 20;
constexpr int kFirstMenuTitleX = 8;
constexpr int kMinMenuWidth = 220;
constexpr int kMinSubmenuWidth = 150;

struct RowTop {
    int top;   // relative to the menu body
    int item;  // index into the menu's items
};

struct MenuRows {
    std::vector<RowTop> rows;  // one per non-separator item
    int height = 0;            // body height
};

MenuRows LayoutMenuRows(const std::vector<MenuItem>& items);
// Body width from the widest label and the widest shortcut.
int MenuBodyWidth(double labelWidth, double shortcutWidth);
int SubmenuBodyWidth(double labelWidth);
int SubmenuBodyHeight(const std::vector<SubmenuItem>& items);

// The row (index into rows) under a point in popup-window coordinates; -1 on a separator, in the
// margin or outside.
int MenuRowAt(const MenuRows& layout, int bodyWidth, int x, int y);
// The submenu item under a point in its popup-window coordinates; -1 on a separator or outside.
int SubmenuItemAt(const std::vector<SubmenuItem>& items, int bodyWidth, int x, int y);
bool InMenuBody(int bodyWidth, int bodyHeight, int x, int y);

// Menu-bar titles laid out left to right from kFirstMenuTitleX, each its text width plus padding.
std::vector<Rect> LayoutTitleRects(const std::vector<int>& textWidths, int top, int bottom, int dpi);
int TitleAt(const std::vector<Rect>& titles, int x, int y);

// A popup's start coordinate along one axis, pulled back so that [start, start + size) stays inside
// [areaStart, areaEnd), but never before areaStart.
int FitInto(int start, int size, int areaStart, int areaEnd);

// Where a drop-down goes whose body (`bodyHeight` high) belongs just below its title, at `bodyTop`
// in screen coordinates, on a work area from `workTop` to `workBottom`: the top of its window and the
// height of body it shows. It opens below its title, cut at the bottom of the work area when it is
// taller than the room there (the rest scrolls into view); only when not even a few rows fit below
// does it move up, as little as it must.
struct DropDownPlace {
    int windowTop = 0;
    int shownHeight = 0;
};
DropDownPlace PlaceDropDown(int bodyTop, int bodyHeight, int workTop, int workBottom);
// The scroll offset of a cut drop-down after a wheel turn of `delta` (120 a notch, positive up):
// three rows a notch, never past either end.
int ScrollDropDown(int scroll, int delta, int bodyHeight, int shownHeight);
// The scroll offset of a cut drop-down that shows row `row` (an index into layout.rows) whole,
// moved as little as it must from `scroll`; a row that is not there leaves it where it is.
int ScrollDropDownToRow(int scroll, const MenuRows& layout, int row, int shownHeight);

// The drop shadow: kShadowRings rounded rectangles around the body, layer i (1 = innermost) grown by
// i pixels, each filled with black at alphas[i - 1]. Together they darken the ring at distance d
// from the body by ShadowDarkness(d).
constexpr int kShadowRings = 10;
constexpr int kShadowDrop = 3;  // the shadow sits this much lower than the body
double ShadowDarkness(double distance);
std::vector<double> ShadowRingAlphas();

// Whether text on this COLORREF fill must be dark to stay readable.
bool IsLightFill(uint32_t colour);
