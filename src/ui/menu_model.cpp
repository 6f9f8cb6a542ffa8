#include "ui/menu_model.h"

#include <algorithm>

#include "ui/strings.h"

namespace {

MenuItem Item(const wchar_t* label, const wchar_t* shortcut, int id) { return MenuItem{label, shortcut, id, false}; }
MenuItem Separator() { return MenuItem{L"", L"", 0, true}; }
SubmenuItem Sub(int id, const wchar_t* label) { return SubmenuItem{id, label, false}; }

// General-table entries of the eight menu-bar titles.
constexpr int kTitleEntries[kMenuBarMenuCount] = {0, 1, 2, 3, 6, 7, 8, 9};
constexpr int kLanguageTitleEntry = 8;

// Items whose label comes from a table of its own rather than from the running MenuLabels counter;
// false for the counted ones.
bool FixedLabel(int id, int language, std::wstring& label) {
    auto text = [language](StringTable table, int entry) { return LocalizedTextFor(language, table, entry); };
    switch (id) {
        case -1: label = text(StringTable::General, 10); return true;
        case -2: label = text(StringTable::General, 11); return true;
        case -3: label = text(StringTable::RecentFilesLabel, 0); return true;
        case -4: label = text(StringTable::LineEndingsLabel, 0); return true;
        case -5: label = text(StringTable::EncodingLabel, 0); return true;
        case 185: label = text(StringTable::HexModeLabel, 0); return true;
        case 186: label = text(StringTable::WordWrapLabel, 0); return true;
        case 280: label = text(StringTable::MenuLabels, 33); return true;
        case 281: label = text(StringTable::MenuLabels, 34); return true;
        case 282: label = text(StringTable::MenuLabels, 35); return true;
        case 290: label = text(StringTable::MenuLabels, 36); return true;
        case 291: label = text(StringTable::MenuLabels, 37); return true;
        case 106: label = text(StringTable::PrintLabel, 0); return true;
        case 128: label = text(StringTable::IndentLabels, 0); return true;
        case 129: label = text(StringTable::IndentLabels, 1); return true;
        case 130: label = text(StringTable::ColumnModeLabel, 0); return true;
        case 820: label = text(StringTable::ClearListLabel, 0); return true;
        default: return id >= 700;  // the tab context menu is labelled separately
    }
}

}  // namespace

MenuModel BuildEnglishMenuModel() {
    MenuModel model;
    model.submenus[kSchemeSubmenu] = {Sub(500, L"Monokai"), Sub(501, L"One Dark"),  Sub(502, L"Dracula"),
                                      Sub(503, L"Nord"),    Sub(504, L"Solarized"), Sub(505, L"Light")};
    model.submenus[kThemeSubmenu] = {Sub(480, L"Dark"), Sub(481, L"Light"), Sub(482, L"High Contrast")};
    model.submenus[3] = {Sub(131, L"Windows(CR LF)"), Sub(132, L"Unix(LF)"), Sub(133, L"Mac(CR)")};
    model.submenus[4] = {Sub(150, L"UTF-8"), Sub(151, L"UTF-8 BOM"), Sub(152, L"UTF-16 LE"), Sub(153, L"UTF-16 BE"),
                         Sub(154, L"GBK"),   Sub(155, L"GB2312"),    Sub(156, L"ANSI")};

    std::vector<MenuItem> languages;
    for (int i = 0; i < kInterfaceLanguageCount; ++i) languages.push_back(Item(LanguageName(i), L"", 400 + i));

    model.menus = {
        {L"File",
         {Item(L"New File", L"Ctrl+N", 100), Item(L"Open File", L"Ctrl+O", 101),
          Item(L"Open Folder", L"Ctrl+Alt+O", 102), Separator(), Item(L"Save", L"Ctrl+S", 103),
          Item(L"Save As", L"Ctrl+Shift+S", 104), Item(L"Save All", L"Ctrl+Alt+S", 105), Item(L"Print", L"", 106),
          Separator(), Item(L"Close File", L"Ctrl+W", 107), Item(L"Close All", L"Ctrl+Shift+W", 108), Separator(),
          Item(L"Recent Files", L"", -3), Separator(), Item(L"Exit", L"Alt+F4", 109)}},
        {L"Edit",
         {Item(L"Undo", L"Ctrl+Z", 120), Item(L"Redo", L"Ctrl+Shift+Z", 121), Separator(), Item(L"Cut", L"Ctrl+X", 122),
          Item(L"Copy", L"Ctrl+C", 123), Item(L"Paste", L"Ctrl+V", 124), Item(L"Delete", L"Del", 125), Separator(),
          Item(L"Select All", L"Ctrl+A", 126), Item(L"Toggle Comment", L"Ctrl+/", 127), Separator(),
          Item(L"Increase Indent", L"Tab", 128), Item(L"Decrease Indent", L"Shift+Tab", 129),
          Item(L"Column Edit Mode", L"", 130), Separator(), Item(L"Line Endings", L"", -4), Separator(),
          Item(L"Encoding Conversion", L"", -5)}},
        {L"Find",
         {Item(L"Find", L"Ctrl+F", 160), Item(L"Replace", L"Ctrl+H", 161), Item(L"Find all", L"Ctrl+Shift+F", 162),
          Separator(), Item(L"Find Next", L"F3", 163), Item(L"Find Previous", L"Shift+F3", 164)}},
        {L"View",
         {Item(L"Sidebar", L"Ctrl+K Ctrl+B", 180), Item(L"Status Bar", L"Ctrl+Alt+B", 182),
          Item(L"Hex Mode", L"Ctrl+Alt+H", 185), Item(L"Word Wrap", L"", 186), Separator(),
          Item(L"Full Screen", L"F11", 183), Item(L"Distraction Free", L"Shift+F11", 184), Separator(),
          Item(L"Zoom In", L"Ctrl++", 290), Item(L"Zoom Out", L"Ctrl+-", 291)}},
        {L"Project",
         {Item(L"Open Project", L"Ctrl+Alt+P", 240), Item(L"Save Project", L"Ctrl+Alt+Shift+P", 241), Separator(),
          Item(L"Add Folder to Project", L"Ctrl+Alt+F", 242)}},
        // The scheme and theme submenus hang here so that the colours can be chosen from the menus.
        {L"Preferences",
         {Item(L"Settings", L"Ctrl+,", 260), Item(L"Key Bindings", L"Ctrl+Alt+K", 261), Separator(),
          Item(L"Color Scheme", L"", -1), Item(L"Theme", L"", -2)}},
        {L"Language", languages},
        {L"Help",
         {Item(L"Documentation", L"F1", 280), Separator(), Item(L"Check for Updates", L"Ctrl+Alt+U", 281), Separator(),
          Item(L"About", L"Ctrl+Alt+I", 282)}},
        {L"",
         {Item(L"Close", L"", 700), Item(L"Close All", L"", 701), Separator(), Item(L"Save", L"", 702),
          Item(L"Save As", L"", 703), Item(L"Rename", L"", 704), Item(L"Reload", L"", 705), Separator(),
          Item(L"Show in Explorer", L"", 706), Item(L"Copy Full Path", L"", 707), Item(L"Copy File Name", L"", 708),
          Item(L"Copy Folder Path", L"", 709)}},
    };
    return model;
}

void ApplyMenuLanguage(MenuModel& model, int language) {
    if (model.menus.size() < kMenuBarMenuCount) return;
    for (int i = 0; i < kMenuBarMenuCount; ++i)
        model.menus[i].title = LocalizedTextFor(language, StringTable::General, kTitleEntries[i]);

    // One counter runs through all menus, so the regular items take MenuLabels in menu order.
    const std::wstring languageTitle = LocalizedTextFor(language, StringTable::General, kLanguageTitleEntry);
    const int labelCount = StringTableEntryCount(StringTable::MenuLabels);
    int n = 0;
    for (int i = 0; i < kMenuBarMenuCount; ++i) {
        Menu& menu = model.menus[i];
        if (menu.title == languageTitle) continue;  // language names are never translated
        if (n >= labelCount) break;
        for (MenuItem& item : menu.items) {
            if (item.separator || FixedLabel(item.id, language, item.label)) continue;
            item.label = LocalizedTextFor(language, StringTable::MenuLabels, n++);
        }
    }

    if (model.menus.size() > kTabContextMenu) {
        const int tabLabels = StringTableEntryCount(StringTable::TabMenuLabels);
        int entry = 0;
        for (MenuItem& item : model.menus[kTabContextMenu].items) {
            if (item.separator) continue;
            if (entry >= tabLabels) break;
            item.label = LocalizedTextFor(language, StringTable::TabMenuLabels, entry++);
        }
    }
}

std::vector<SubmenuItem> RecentFilesSubmenu(const std::vector<std::wstring>& recent, int language) {
    if (recent.empty()) return {Sub(800, LocalizedTextFor(language, StringTable::NoRecentFiles, 0))};
    std::vector<SubmenuItem> items;
    const int shown = std::min(static_cast<int>(recent.size()), kRecentFilesShown);
    for (int i = 0; i < shown; ++i)
        items.push_back(SubmenuItem{800 + i, std::to_wstring(i + 1) + L" " + recent[static_cast<size_t>(i)], false});
    items.push_back(SubmenuItem{0, L"", true});
    items.push_back(Sub(820, LocalizedTextFor(language, StringTable::ClearListLabel, 0)));
    return items;
}

bool MenuItemChecked(int id, const CheckState& state) {
    return id == 400 + state.uiLanguage || id == 500 + state.colorScheme || id == 480 + state.theme ||
           (id == 130 && state.columnMode) || (id == 186 && state.wordWrap);
}

bool SubmenuItemChecked(int submenu, int id, const CheckState& state) {
    if (submenu == kSchemeSubmenu) return id == 500 + state.colorScheme;
    if (submenu == kThemeSubmenu) return id == 480 + state.theme;
    return false;
}

MenuRows LayoutMenuRows(const std::vector<MenuItem>& items) {
    MenuRows layout;
    int y = 4;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        if (items[static_cast<size_t>(i)].separator) {
            y += kMenuSeparatorHeight;
        } else {
            layout.rows.push_back(RowTop{y, i});
            y += kMenuRowHeight;
        }
    }
    layout.height = y + 4;
    return layout;
}

int MenuBodyWidth(double labelWidth, double shortcutWidth) {
    return std::max(static_cast<int>(labelWidth + 14 + 24 + shortcutWidth + 20) + 16, kMinMenuWidth);
}

int SubmenuBodyWidth(double labelWidth) { return std::max(static_cast<int>(labelWidth) + 48, kMinSubmenuWidth); }

int SubmenuBodyHeight(const std::vector<SubmenuItem>& items) {
    int height = 8;
    for (const SubmenuItem& item : items) height += item.separator ? kMenuSeparatorHeight : kMenuRowHeight;
    return height;
}

bool InMenuBody(int bodyWidth, int bodyHeight, int x, int y) {
    return x >= kMenuShadowMargin && x < kMenuShadowMargin + bodyWidth && y >= kMenuShadowMargin &&
           y < kMenuShadowMargin + bodyHeight;
}

int MenuRowAt(const MenuRows& layout, int bodyWidth, int x, int y) {
    if (!InMenuBody(bodyWidth, layout.height, x, y)) return -1;
    const int bodyY = y - kMenuShadowMargin;
    for (int r = 0; r < static_cast<int>(layout.rows.size()); ++r) {
        const int top = layout.rows[static_cast<size_t>(r)].top;
        if (bodyY >= top && bodyY < top + kMenuRowHeight) return r;
    }
    return -1;
}

int SubmenuItemAt(const std::vector<SubmenuItem>& items, int bodyWidth, int x, int y) {
    if (!InMenuBody(bodyWidth, SubmenuBodyHeight(items), x, y)) return -1;
    int top = kMenuShadowMargin + 4;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const bool separator = items[static_cast<size_t>(i)].separator;
        const int height = separator ? kMenuSeparatorHeight : kMenuRowHeight;
        if (y >= top && y < top + height) return separator ? -1 : i;
        top += height;
    }
    return -1;
}

std::vector<Rect> LayoutTitleRects(const std::vector<int>& textWidths, int top, int bottom, int dpi) {
    std::vector<Rect> rects;
    const int padding = Scale(kMenuTitlePadding, dpi);
    int x = Scale(kFirstMenuTitleX, dpi);
    for (int width : textWidths) {
        rects.push_back(Rect{x, top, x + width + padding, bottom});
        x += width + padding;
    }
    return rects;
}

int TitleAt(const std::vector<Rect>& titles, int x, int y) {
    for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
        if (titles[static_cast<size_t>(i)].Contains(x, y)) return i;
    }
    return -1;
}

int FitInto(int start, int size, int areaStart, int areaEnd) {
    return std::max(std::min(start, areaEnd - size), areaStart);
}

double ShadowDarkness(double distance) {
    // Four 2.5-pixel bands of 58, 41, 24 and 9 % darkness, blended into each other so that the
    // shadow fades without steps.
    static const double at[][2] = {{1.25, 0.585}, {3.75, 0.41}, {6.25, 0.24}, {8.75, 0.094}, {10.0, 0.0}};
    if (distance <= at[0][0]) return at[0][1];
    for (int i = 1; i < 5; ++i) {
        if (distance <= at[i][0]) {
            const double t = (distance - at[i - 1][0]) / (at[i][0] - at[i - 1][0]);
            return at[i - 1][1] + t * (at[i][1] - at[i - 1][1]);
        }
    }
    return 0.0;
}

std::vector<double> ShadowRingAlphas() {
    // Ring j (j <= distance < j + 1) lies under layers j + 1 ... kShadowRings, so each layer's alpha
    // follows from the darkness of its own outermost ring and of the ring outside it.
    std::vector<double> alphas(kShadowRings);
    for (int i = 1; i <= kShadowRings; ++i) {
        const double inside = ShadowDarkness(i - 0.5);
        const double outside = i < kShadowRings ? ShadowDarkness(i + 0.5) : 0.0;
        alphas[static_cast<size_t>(i - 1)] = 1.0 - (1.0 - inside) / (1.0 - outside);
    }
    return alphas;
}

bool IsLightFill(uint32_t colour) {
    const unsigned r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    return r * 299 + g * 587 + b * 114 > 160 * 1000;
}
