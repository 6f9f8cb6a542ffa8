#include "shell/menu_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "io/convert.h"
#include "base/strings.h"

namespace {

// Every item of a menu, one line each: label, shortcut, id, and "-" for a separator.
std::wstring Describe(const std::vector<MenuItem>& items) {
    std::wstring text;
    for (const MenuItem& i : items)
        text += i.label + L"|" + i.shortcut + L"|" + std::to_wstring(i.id) + (i.separator ? L"|-\n" : L"\n");
    return text;
}

void ExpectSameMenus(const MenuModel& expected, const MenuModel& actual) {
    ASSERT_EQ(expected.menus.size(), actual.menus.size());
    for (size_t m = 0; m < expected.menus.size(); ++m)
        EXPECT_EQ(expected.menus[m].title + L"\n" + Describe(expected.menus[m].items),
                  actual.menus[m].title + L"\n" + Describe(actual.menus[m].items));
}

std::vector<int> Ids(const Menu& menu) {
    std::vector<int> ids;
    for (const MenuItem& item : menu.items) ids.push_back(item.separator ? 0 : item.id);
    return ids;
}

const std::wstring kPath = L"C:\\Projects\\tessary\\src\\main.cpp";

}  // namespace

TEST(MenuModel, BuildsTheMenusInBarOrderWithTheTabMenuLast) {
    const MenuModel model = BuildEnglishMenuModel();
    ASSERT_EQ(10u, model.menus.size());
    const wchar_t* titles[] = {L"File",        L"Edit",     L"Find", L"View", L"Project",
                               L"Preferences", L"Language", L"Help", L"",     L""};
    for (size_t i = 0; i < 10; ++i) EXPECT_EQ(titles[i], model.menus[i].title);

    for (const Menu& menu : model.menus) {
        for (const MenuItem& item : menu.items) {
            EXPECT_TRUE(!item.separator || (item.label.empty() && item.shortcut.empty() && item.id == 0));
        }
    }
    // The Language menu lists every interface language, each under a name of its own.
    const Menu& languages = model.menus[kLanguageMenu];
    ASSERT_EQ(static_cast<size_t>(kInterfaceLanguageCount), languages.items.size());
    for (const MenuItem& item : languages.items) {
        EXPECT_EQ(1, std::count_if(languages.items.begin(), languages.items.end(),
                                   [&](const MenuItem& other) { return other.label == item.label; }));
    }
    EXPECT_EQ(L"Ctrl+K Ctrl+B", model.menus[3].items[0].shortcut);
    EXPECT_TRUE(model.submenus[kRecentFilesSubmenu].empty());
}

// In every language each command keeps its place, id and shortcut and gets a label of its own: no
// item is left blank, no two commands of one menu read the same, and English comes back exactly.
TEST(MenuModel, EveryLanguageGivesEachCommandItsOwnLabel) {
    const MenuModel english = BuildEnglishMenuModel();
    for (int language = 0; language < kInterfaceLanguageCount; ++language) {
        SCOPED_TRACE(language);
        MenuModel model = english;
        ApplyMenuLanguage(model, language);
        // The Language menu lists every language in its own name, whatever the interface language.
        EXPECT_EQ(Describe(english.menus[kLanguageMenu].items), Describe(model.menus[kLanguageMenu].items));
        for (size_t m = 0; m < model.menus.size(); ++m) {
            EXPECT_EQ(Ids(english.menus[m]), Ids(model.menus[m])) << "menu " << m;
            std::vector<std::wstring> seen;
            for (size_t i = 0; i < model.menus[m].items.size(); ++i) {
                const MenuItem& item = model.menus[m].items[i];
                EXPECT_EQ(english.menus[m].items[i].shortcut, item.shortcut);
                if (item.separator) continue;
                EXPECT_FALSE(item.label.empty()) << "menu " << m << " item " << i;
                EXPECT_EQ(std::find(seen.begin(), seen.end(), item.label), seen.end())
                    << "menu " << m << " item " << i << " repeats a label";
                seen.push_back(item.label);
            }
        }
        ApplyMenuLanguage(model, kEnglishLanguage);
        ExpectSameMenus(english, model);
    }
}

// A few labels as translated: a label taken from a neighbouring entry of the tables shows here.
TEST(MenuModel, TranslatedLabelsAreTheirOwn) {
    MenuModel model = BuildEnglishMenuModel();
    ApplyMenuLanguage(model, 3);  // Deutsch
    EXPECT_EQ(L"Neue Datei", model.menus[0].items[0].label);
    EXPECT_EQ(L"Alle schlie\u00DFen", model.menus[kTabContextMenu].items[1].label);
    ApplyMenuLanguage(model, 2);  // 中文
    EXPECT_EQ(L"\u6253\u5F00\u6587\u4EF6", model.menus[0].items[1].label);  // 打开文件, Open File
}

// The newest ten files in order, numbered from 1, then a separator and Clear List; an empty list
// shows a single placeholder in its place.
TEST(MenuModel, RecentFilesSubmenu) {
    EXPECT_EQ(L"(No recent files)", RecentFilesSubmenu({}, kEnglishLanguage)[0].label);
    std::vector<std::wstring> paths;
    for (size_t count = 0; count <= 11; paths.push_back(kPath + std::to_wstring(count++))) {
        const std::vector<SubmenuItem> items = RecentFilesSubmenu(paths, 3);
        const size_t shown = std::min<size_t>(count, 10);
        ASSERT_EQ(count ? shown + 2 : 1u, items.size()) << count;
        EXPECT_EQ(800, items[0].id);
        if (!count) continue;
        for (size_t i = 0; i < shown; ++i) EXPECT_EQ(std::to_wstring(i + 1) + L" " + paths[i], items[i].label);
        EXPECT_TRUE(items[shown].separator);
        EXPECT_EQ(820, items.back().id);
        EXPECT_EQ(L"Liste leeren", items.back().label);
    }
}

TEST(MenuModel, Checkmarks) {
    CheckState s;
    s.uiLanguage = 9, s.colorScheme = 3, s.theme = 1;
    for (const bool on : {false, true}) {
        s.columnMode = s.wordWrap = on;
        for (int id : {100, 130, 186, 404, 409, 480, 481, 503, 800})
            EXPECT_EQ(id == 409 || id == 481 || id == 503 || (on && (id == 130 || id == 186)), MenuItemChecked(id, s))
                << id;
    }
    // Submenus: only schemes and themes, each with its own value.
    for (int submenu = 0; submenu < 5; ++submenu)
        for (int id : {150, 481, 503, 800})
            EXPECT_EQ((submenu == kSchemeSubmenu && id == 503) || (submenu == kThemeSubmenu && id == 481),
                      SubmenuItemChecked(submenu, id, s));
}

// The Line Endings and Encoding submenus tick the active tab's value: exactly the item whose command
// sets that value, and nothing for a mixed file, a hex tab or no tab.
TEST(MenuModel, LineEndingAndEncodingSubmenusTickTheTabsValue) {
    const MenuModel model = BuildEnglishMenuModel();
    const auto ticked = [&](int submenu, const CheckState& s) {
        std::vector<int> ids;
        for (const SubmenuItem& item : model.submenus[submenu])
            if (!item.separator && SubmenuItemChecked(submenu, item.id, s)) ids.push_back(item.id);
        return ids;
    };
    for (int encoding = 0; encoding <= 6; ++encoding) {
        CheckState s;
        s.encodingCommand = CommandForEncoding(encoding);
        const std::vector<int> ids = ticked(kEncodingSubmenu, s);
        ASSERT_EQ(1u, ids.size()) << "encoding " << encoding;
        EXPECT_EQ(encoding, EncodingForCommand(ids[0]));
        EXPECT_TRUE(ticked(kLineEndingSubmenu, s).empty());
    }
    for (int lineEnding : {0, 1, 3}) {
        CheckState s;
        s.lineEndingCommand = CommandForLineEnding(lineEnding);
        const std::vector<int> ids = ticked(kLineEndingSubmenu, s);
        ASSERT_EQ(1u, ids.size()) << "line ending " << lineEnding;
        int eolMode = 0, set = -1;
        EXPECT_TRUE(LineEndingForCommand(ids[0], eolMode, set));
        EXPECT_EQ(lineEnding, set);
        EXPECT_TRUE(ticked(kEncodingSubmenu, s).empty());
    }
    CheckState mixed;
    mixed.lineEndingCommand = CommandForLineEnding(2);
    EXPECT_TRUE(ticked(kLineEndingSubmenu, mixed).empty());
    const CheckState none;  // no tab, or a hex tab
    EXPECT_TRUE(ticked(kLineEndingSubmenu, none).empty());
    EXPECT_TRUE(ticked(kEncodingSubmenu, none).empty());
}

// A drop-down opens below its title wherever a few rows fit there: it never covers its title, never
// runs past the bottom of the work area, and shows everything when everything fits. Scrolling a cut
// one reaches its last row and comes back to its first.
TEST(MenuGeometry, LongDropDownsOpenBelowTheirTitleAndScroll) {
    std::mt19937 random(32);
    for (int i = 0; i < 20000; ++i) {
        const int workTop = static_cast<int>(random() % 200),
                  workBottom = workTop + 300 + static_cast<int>(random() % 1200);
        const int bodyTop = workTop + static_cast<int>(random() % (workBottom - workTop));
        const int bodyHeight = 8 + 36 * (1 + static_cast<int>(random() % 25));
        const DropDownPlace place = PlaceDropDown(bodyTop, bodyHeight, workTop, workBottom);
        const int windowBottom = place.windowTop + place.shownHeight + 2 * kMenuShadowMargin;
        ASSERT_LE(windowBottom, workBottom);
        ASSERT_GE(place.windowTop + kMenuShadowMargin, workTop);
        ASSERT_LE(place.shownHeight, bodyHeight);
        const int roomBelow = workBottom - bodyTop - kMenuShadowMargin;
        if (roomBelow >= std::min(bodyHeight, 4 * kMenuRowHeight + 8)) {
            ASSERT_EQ(bodyTop, place.windowTop + kMenuShadowMargin) << "covers its title";
            ASSERT_EQ(std::min(bodyHeight, roomBelow), place.shownHeight);
        } else if (workBottom - workTop >= bodyHeight + 2 * kMenuShadowMargin) {
            ASSERT_EQ(bodyHeight, place.shownHeight);
        }
        int scroll = 0;
        for (int turn = 0; turn < 30; ++turn) scroll = ScrollDropDown(scroll, -120, bodyHeight, place.shownHeight);
        ASSERT_EQ(bodyHeight - place.shownHeight, scroll);
        for (int turn = 0; turn < 30; ++turn) scroll = ScrollDropDown(scroll, 120, bodyHeight, place.shownHeight);
        ASSERT_EQ(0, scroll);
    }
}

// A cut list scrolled to show one row shows it whole, stays within its scroll range, and moves no
// further than it must: a row already in view leaves the scroll alone, and one below the view ends
// at the view's bottom.
TEST(MenuGeometry, ScrollingToARowShowsItWhole) {
    std::mt19937 random(29);
    for (int i = 0; i < 5000; ++i) {
        std::vector<std::wstring> titles(1 + random() % 40, L"t");
        const MenuRows layout = LayoutMenuRows(TabListItems(titles));
        const int shown = std::min(layout.height, kMenuRowHeight + static_cast<int>(random() % 900));
        const int limit = layout.height - shown;
        const int from = static_cast<int>(random() % (limit + 1));
        const int row = static_cast<int>(random() % layout.rows.size());
        const int scroll = ScrollDropDownToRow(from, layout, row, shown);
        ASSERT_GE(scroll, 0);
        ASSERT_LE(scroll, limit);
        const int top = layout.rows[static_cast<size_t>(row)].top - scroll;
        ASSERT_GE(top, 0) << row;
        ASSERT_LE(top + kMenuRowHeight, shown) << row;
        const int topAtFrom = layout.rows[static_cast<size_t>(row)].top - from;
        if (topAtFrom >= 0 && topAtFrom + kMenuRowHeight <= shown) { ASSERT_EQ(from, scroll); }
        if (topAtFrom + kMenuRowHeight > shown) { ASSERT_EQ(shown, top + kMenuRowHeight); }
        ASSERT_EQ(from, ScrollDropDownToRow(from, layout, static_cast<int>(layout.rows.size()), shown));
    }
}

// Rows and separators stack from four pixels down with four below the last; a point hits the row
// drawn under it and nothing on a separator, in the padding or in the shadow margin. A submenu of
// the same items hits the same ones.
TEST(MenuGeometry, RowsStackAndAPointHitsTheRowUnderIt) {
    std::vector<std::vector<SubmenuItem>> lists = {RecentFilesSubmenu({}, 4), RecentFilesSubmenu({L"a", L"b"}, 4)};
    for (const Menu& menu : BuildEnglishMenuModel().menus) {
        lists.emplace_back();
        for (const MenuItem& item : menu.items) lists.back().push_back({item.id, item.label, item.separator});
    }
    const int width = 240, m = kMenuShadowMargin;
    for (const std::vector<SubmenuItem>& subs : lists) {
        std::vector<MenuItem> items;
        for (const SubmenuItem& sub : subs) items.push_back({sub.label, L"", sub.id, sub.separator});
        const MenuRows layout = LayoutMenuRows(items);
        ASSERT_EQ(layout.height, SubmenuBodyHeight(subs));
        std::vector<int> under(static_cast<size_t>(layout.height + 2 * m), -1);  // the row at each popup y
        int y = m + 4, row = 0;
        for (const MenuItem& item : items) {
            const int height = item.separator ? kMenuSeparatorHeight : kMenuRowHeight;
            if (!item.separator) std::fill_n(under.begin() + y, height, row++);
            y += height;
        }
        ASSERT_EQ(y + 4, m + layout.height);
        for (int py = 0; py < static_cast<int>(under.size()); ++py) {
            const int r = under[static_cast<size_t>(py)];
            ASSERT_EQ(r, MenuRowAt(layout, width, m + 100, py)) << py;
            ASSERT_EQ(r < 0 ? -1 : layout.rows[static_cast<size_t>(r)].item, SubmenuItemAt(subs, width, m + 100, py));
        }
        EXPECT_EQ(layout.rows.empty() ? -1 : 0, MenuRowAt(layout, width, m + width - 1, m + 4));  // the tab list starts empty
        EXPECT_EQ(-1, MenuRowAt(layout, width, m - 1, m + 4));
        EXPECT_EQ(-1, MenuRowAt(layout, width, m + width, m + 4));
        EXPECT_EQ(-1, SubmenuItemAt(subs, width, m + width, m + 4));
    }
}

// A body holds its label, its shortcut and the room between them, at any width of either.
TEST(MenuGeometry, BodiesHoldTheirTexts) {
    for (double label = 0; label < 400; label += 7.3) {
        for (double shortcut = 0; shortcut < 200; shortcut += 11.9) {
            EXPECT_GE(MenuBodyWidth(label, shortcut), label + shortcut + 40) << label << " " << shortcut;
            EXPECT_LE(MenuBodyWidth(label, shortcut), MenuBodyWidth(label + 7.3, shortcut + 11.9));
        }
        EXPECT_GE(SubmenuBodyWidth(label), label + 40) << label;
    }
}

TEST(MenuGeometry, TitlesAndPlacement) {
    const std::vector<Rect> titles = LayoutTitleRects({30, 28}, 32, 62, 96);
    ASSERT_EQ(2u, titles.size());
    EXPECT_EQ((Rect{8, 32, 58, 62}), titles[0]);
    EXPECT_EQ((Rect{58, 32, 106, 62}), titles[1]);
    for (int x = 0; x < 120; ++x) {  // a point hits the title it lies in
        for (int y = 30; y < 64; ++y)
            EXPECT_EQ(titles[0].Contains(x, y) ? 0 : titles[1].Contains(x, y) ? 1 : -1, TitleAt(titles, x, y));
    }

    EXPECT_EQ(100, FitInto(100, 264, 0, 1280));
    EXPECT_EQ(1016, FitInto(1100, 264, 0, 1280));  // shadow stays on the screen
    EXPECT_EQ(0, FitInto(-4, 264, 0, 1280));
    EXPECT_EQ(0, FitInto(50, 2000, 0, 1280));  // never before the work area's origin

    EXPECT_EQ(2, SubmenuOf(-3));
    EXPECT_EQ(0, SubmenuOf(-1));
    EXPECT_EQ(-1, SubmenuOf(-6));
    EXPECT_EQ(-1, SubmenuOf(100));
}

TEST(MenuGeometry, TextStaysReadableOnHighlightFills) {
    EXPECT_FALSE(IsLightFill(0x2A2A2A));  // dark hover: white text
    EXPECT_FALSE(IsLightFill(0xD9904A));  // #4A90D9 accent
    EXPECT_TRUE(IsLightFill(0xE0E0E0));   // light hover
    EXPECT_TRUE(IsLightFill(0x00E0FF));   // #FFE000 high-contrast accent
}

TEST(MenuGeometry, ShadowRingsCompoundToTheDarknessProfile) {
    const std::vector<double> alphas = ShadowRingAlphas();
    ASSERT_EQ(static_cast<size_t>(kShadowRings), alphas.size());
    for (int ring = 0; ring < kShadowRings; ++ring) {
        double clear = 1.0;
        for (int layer = ring + 1; layer <= kShadowRings; ++layer)
            clear *= 1.0 - alphas[static_cast<size_t>(layer - 1)];
        EXPECT_NEAR(ShadowDarkness(ring + 0.5), 1.0 - clear, 1e-9) << ring;
    }
    for (double d = 0; d < 12; d += 0.25) EXPECT_LE(ShadowDarkness(d + 0.25), ShadowDarkness(d)) << d;
    EXPECT_EQ(0.0, ShadowDarkness(10));
    for (double a : alphas) EXPECT_TRUE(a >= 0 && a < 1);
}

// The tab list names every tab in order, marks the active one and nothing else, and keeps a title's
// "&" as a letter.
TEST(MenuModel, TabListNamesEveryTabAndMarksTheActiveOne) {
    const std::vector<std::wstring> titles = {L"a.txt", L"R&D.md", L"a.txt", L"New File 1"};
    const std::vector<MenuItem> items = TabListItems(titles);
    ASSERT_EQ(titles.size(), items.size());
    for (int active = -1; active < 5; ++active) {
        CheckState state;
        state.activeTab = active;
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(titles[i], items[i].label);
            EXPECT_FALSE(items[i].separator);
            EXPECT_EQ(static_cast<int>(i) == active, MenuItemChecked(items[i].id, state)) << i;
            EXPECT_FALSE(SubmenuOf(items[i].id) >= 0);
        }
    }
    // Ids are distinct from every id the menus use, and there are never more items than ids.
    const MenuModel model = BuildEnglishMenuModel();
    for (const Menu& menu : model.menus)
        for (const MenuItem& item : menu.items)
            for (const MenuItem& tab : items) EXPECT_NE(item.id, tab.id);
    EXPECT_EQ(1000u, TabListItems(std::vector<std::wstring>(1500, L"x")).size());
}
