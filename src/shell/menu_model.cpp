#include "shell/menu_model.h"

#include <algorithm>

#include "base/command_ids.h"
#include "base/strings.h"

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
        case kCmdHexMode: label = text(StringTable::HexModeLabel, 0); return true;
        case kCmdWordWrap: label = text(StringTable::WordWrapLabel, 0); return true;
        case kCmdDocumentation: label = text(StringTable::MenuLabels, 33); return true;
        case kCmdCheckForUpdates: label = text(StringTable::MenuLabels, 34); return true;
        case kCmdAbout: label = text(StringTable::MenuLabels, 35); return true;
        case kCmdZoomIn: label = text(StringTable::MenuLabels, 36); return true;
        case kCmdZoomOut: label = text(StringTable::MenuLabels, 37); return true;
        case kCmdPrint: label = text(StringTable::PrintLabel, 0); return true;
        case kCmdIndent: label = text(StringTable::IndentLabels, 0); return true;
        case kCmdOutdent: label = text(StringTable::IndentLabels, 1); return true;
        case kCmdColumnMode: label = text(StringTable::ColumnModeLabel, 0); return true;
        case kCmdClearRecent: label = text(StringTable::ClearListLabel, 0); return true;
        default: return id >= kCmdTabClose;  // the tab context menu is labelled separately
    }
}

}  // namespace

MenuModel BuildEnglishMenuModel() {
    MenuModel model;
    model.submenus[kSchemeSubmenu] = {Sub(kCmdSchemeFirst, L"Monokai"), Sub(kCmdSchemeFirst + 1, L"One Dark"),
                                      Sub(kCmdSchemeFirst + 2, L"Dracula"), Sub(kCmdSchemeFirst + 3, L"Nord"),
                                      Sub(kCmdSchemeFirst + 4, L"Solarized"), Sub(kCmdSchemeFirst + 5, L"Light")};
    model.submenus[kThemeSubmenu] = {Sub(kCmdThemeFirst, L"Dark"), Sub(kCmdThemeFirst + 1, L"Light"),
                                     Sub(kCmdThemeFirst + 2, L"High Contrast")};
    model.submenus[kLineEndingSubmenu] = {Sub(kCmdLineEndingFirst, L"Windows(CR LF)"),
                                          Sub(kCmdLineEndingFirst + 1, L"Unix(LF)"),
                                          Sub(kCmdLineEndingFirst + 2, L"Mac(CR)")};
    model.submenus[kEncodingSubmenu] = {Sub(kCmdEncodingFirst, L"UTF-8"),     Sub(kCmdEncodingFirst + 1, L"UTF-8 BOM"),
                                        Sub(kCmdEncodingFirst + 2, L"UTF-16 LE"), Sub(kCmdEncodingFirst + 3, L"UTF-16 BE"),
                                        Sub(kCmdEncodingFirst + 4, L"GBK"),       Sub(kCmdEncodingFirst + 5, L"GB2312"),
                                        Sub(kCmdEncodingFirst + 6, L"ANSI")};

    std::vector<MenuItem> languages;
    for (int i = 0; i < kInterfaceLanguageCount; ++i) languages.push_back(Item(LanguageName(i), L"", kCmdInterfaceLanguageFirst + i));

    model.menus = {
        {L"File",
         {Item(L"New File", L"Ctrl+N", kCmdNewFile), Item(L"Open File", L"Ctrl+O", kCmdOpenFile),
          Item(L"Open Folder", L"Ctrl+Alt+O", kCmdOpenFolder), Separator(), Item(L"Save", L"Ctrl+S", kCmdSave),
          Item(L"Save As", L"Ctrl+Shift+S", kCmdSaveAs), Item(L"Save All", L"Ctrl+Alt+S", kCmdSaveAll), Item(L"Print", L"", kCmdPrint),
          Separator(), Item(L"Close File", L"Ctrl+W", kCmdCloseFile), Item(L"Close All", L"Ctrl+Shift+W", kCmdCloseAll), Separator(),
          Item(L"Recent Files", L"", -3), Separator(), Item(L"Exit", L"Alt+F4", kCmdExit)}},
        {L"Edit",
         {Item(L"Undo", L"Ctrl+Z", kCmdUndo), Item(L"Redo", L"Ctrl+Shift+Z", kCmdRedo), Separator(), Item(L"Cut", L"Ctrl+X", kCmdCut),
          Item(L"Copy", L"Ctrl+C", kCmdCopy), Item(L"Paste", L"Ctrl+V", kCmdPaste), Item(L"Delete", L"Del", kCmdDelete), Separator(),
          Item(L"Select All", L"Ctrl+A", kCmdSelectAll), Item(L"Toggle Comment", L"Ctrl+/", kCmdToggleComment), Separator(),
          Item(L"Increase Indent", L"Tab", kCmdIndent), Item(L"Decrease Indent", L"Shift+Tab", kCmdOutdent),
          Item(L"Column Edit Mode", L"", kCmdColumnMode), Separator(), Item(L"Line Endings", L"", -4), Separator(),
          Item(L"Encoding Conversion", L"", -5)}},
        {L"Find",
         {Item(L"Find", L"Ctrl+F", kCmdFind), Item(L"Replace", L"Ctrl+H", kCmdReplace), Item(L"Find all", L"Ctrl+Shift+F", kCmdFindAll),
          Separator(), Item(L"Find Next", L"F3", kCmdFindNext), Item(L"Find Previous", L"Shift+F3", kCmdFindPrevious)}},
        {L"View",
         {Item(L"Sidebar", L"Ctrl+K Ctrl+B", kCmdSidebar), Item(L"Status Bar", L"Ctrl+Alt+B", kCmdStatusBar),
          Item(L"Hex Mode", L"Ctrl+Alt+H", kCmdHexMode), Item(L"Word Wrap", L"", kCmdWordWrap), Separator(),
          Item(L"Full Screen", L"F11", kCmdFullScreen), Item(L"Distraction Free", L"Shift+F11", kCmdDistractionFree), Separator(),
          Item(L"Zoom In", L"Ctrl++", kCmdZoomIn), Item(L"Zoom Out", L"Ctrl+-", kCmdZoomOut)}},
        {L"Project",
         {Item(L"Open Project", L"Ctrl+Alt+P", kCmdOpenProject), Item(L"Save Project", L"Ctrl+Alt+Shift+P", kCmdSaveProject), Separator(),
          Item(L"Add Folder to Project", L"Ctrl+Alt+F", kCmdAddFolder)}},
        // The scheme and theme submenus hang here so that the colours can be chosen from the menus.
        {L"Preferences",
         {Item(L"Settings", L"Ctrl+,", kCmdSettings), Item(L"Key Bindings", L"Ctrl+Alt+K", kCmdKeyBindings), Separator(),
          Item(L"Color Scheme", L"", -1), Item(L"Theme", L"", -2)}},
        {L"Language", languages},
        {L"Help",
         {Item(L"Documentation", L"F1", kCmdDocumentation), Separator(), Item(L"Check for Updates", L"Ctrl+Alt+U", kCmdCheckForUpdates), Separator(),
          Item(L"About", L"Ctrl+Alt+I", kCmdAbout)}},
        {L"",
         {Item(L"Close", L"", kCmdTabClose), Item(L"Close All", L"", kCmdTabCloseAll), Separator(), Item(L"Save", L"", kCmdTabSave),
          Item(L"Save As", L"", kCmdTabSaveAs), Item(L"Rename", L"", kCmdTabRename), Item(L"Reload", L"", kCmdTabReload), Separator(),
          Item(L"Show in Explorer", L"", kCmdTabShowInExplorer), Item(L"Copy Full Path", L"", kCmdTabCopyFullPath), Item(L"Copy File Name", L"", kCmdTabCopyFileName),
          Item(L"Copy Folder Path", L"", kCmdTabCopyFolderPath)}},
        {L"", {}},
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
    if (recent.empty()) return {Sub(kCmdRecentFirst, LocalizedTextFor(language, StringTable::NoRecentFiles, 0))};
    std::vector<SubmenuItem> items;
    const int shown = std::min(static_cast<int>(recent.size()), kRecentFilesShown);
    for (int i = 0; i < shown; ++i)
        items.push_back(SubmenuItem{kCmdRecentFirst + i, std::to_wstring(i + 1) + L" " + recent[static_cast<size_t>(i)], false});
    items.push_back(SubmenuItem{0, L"", true});
    items.push_back(Sub(kCmdClearRecent, LocalizedTextFor(language, StringTable::ClearListLabel, 0)));
    return items;
}

bool MenuItemChecked(int id, const CheckState& state) {
    if (id >= kCmdTabListFirst && id <= kCmdTabListLast) return id - kCmdTabListFirst == state.activeTab;
    return id == kCmdInterfaceLanguageFirst + state.uiLanguage || id == kCmdSchemeFirst + state.colorScheme ||
           id == kCmdThemeFirst + state.theme || (id == kCmdColumnMode && state.columnMode) ||
           (id == kCmdWordWrap && state.wordWrap);
}

std::vector<MenuItem> TabListItems(const std::vector<std::wstring>& titles) {
    std::vector<MenuItem> items;
    const size_t count = std::min<size_t>(titles.size(), kCmdTabListLast - kCmdTabListFirst + 1);
    for (size_t i = 0; i < count; ++i) {
        MenuItem item;
        item.label = titles[i];
        item.id = kCmdTabListFirst + static_cast<int>(i);
        items.push_back(std::move(item));
    }
    return items;
}

bool SubmenuItemChecked(int submenu, int id, const CheckState& state) {
    if (submenu == kSchemeSubmenu) return id == kCmdSchemeFirst + state.colorScheme;
    if (submenu == kThemeSubmenu) return id == kCmdThemeFirst + state.theme;
    if (submenu == kLineEndingSubmenu) return id != 0 && id == state.lineEndingCommand;
    if (submenu == kEncodingSubmenu) return id != 0 && id == state.encodingCommand;
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

DropDownPlace PlaceDropDown(int bodyTop, int bodyHeight, int workTop, int workBottom) {
    const int below = workBottom - bodyTop - kMenuShadowMargin;
    const int fewRows = std::min(bodyHeight, 4 * kMenuRowHeight + 8);
    if (below >= fewRows) return DropDownPlace{bodyTop - kMenuShadowMargin, std::min(bodyHeight, below)};
    const int shown = std::max(0, std::min(bodyHeight, workBottom - workTop - 2 * kMenuShadowMargin));
    return DropDownPlace{FitInto(bodyTop - kMenuShadowMargin, shown + 2 * kMenuShadowMargin, workTop, workBottom),
                         shown};
}

int ScrollDropDown(int scroll, int delta, int bodyHeight, int shownHeight) {
    const int limit = std::max(0, bodyHeight - shownHeight);
    const long long moved = scroll - static_cast<long long>(delta) * 3 * kMenuRowHeight / 120;
    return static_cast<int>(std::clamp<long long>(moved, 0, limit));
}

int ScrollDropDownToRow(int scroll, const MenuRows& layout, int row, int shownHeight) {
    const int limit = std::max(0, layout.height - shownHeight);
    if (row >= 0 && row < static_cast<int>(layout.rows.size())) {
        const int top = layout.rows[static_cast<size_t>(row)].top;
        if (top < scroll) {
            scroll = top;
        } else if (top + kMenuRowHeight > scroll + shownHeight) {
            scroll = top + kMenuRowHeight - shownHeight;
        }
    }
    return std::clamp(scroll, 0, limit);
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
