#include "ui/menu_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "io/convert.h"
#include "ui/strings.h"

namespace {

bool SameItems(const std::vector<MenuItem>& a, const std::vector<MenuItem>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].label != b[i].label || a[i].shortcut != b[i].shortcut || a[i].id != b[i].id ||
            a[i].separator != b[i].separator)
            return false;
    }
    return true;
}

void ExpectSameMenus(const MenuModel& expected, const MenuModel& actual) {
    ASSERT_EQ(expected.menus.size(), actual.menus.size());
    for (size_t m = 0; m < expected.menus.size(); ++m) {
        EXPECT_EQ(expected.menus[m].title, actual.menus[m].title) << "menu " << m;
        EXPECT_TRUE(SameItems(expected.menus[m].items, actual.menus[m].items)) << "menu " << m;
    }
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

    EXPECT_EQ((std::vector<int>{100, 101, 102, 0, 103, 104, 105, 106, 0, 107, 108, 0, -3, 0, 109}),
              Ids(model.menus[0]));
    EXPECT_EQ((std::vector<int>{700, 701, 0, 702, 703, 704, 705, 0, 706, 707, 708, 709}), Ids(model.menus[8]));
    for (const Menu& menu : model.menus) {
        for (const MenuItem& item : menu.items) {
            if (item.separator) {
                EXPECT_TRUE(item.label.empty() && item.shortcut.empty() && item.id == 0);
            }
        }
    }
    const Menu& languages = model.menus[kLanguageMenu];
    ASSERT_EQ(20u, languages.items.size());
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(400 + i, languages.items[static_cast<size_t>(i)].id);
        EXPECT_EQ(LanguageName(i), languages.items[static_cast<size_t>(i)].label);
    }
    EXPECT_EQ(L"Ctrl+K Ctrl+B", model.menus[3].items[0].shortcut);
    EXPECT_TRUE(model.submenus[kRecentFilesSubmenu].empty());
    EXPECT_EQ(7u, model.submenus[4].size());
}

TEST(MenuModel, ChineseAndBackRestoresEveryEnglishLabel) {
    MenuModel model = BuildEnglishMenuModel();
    ApplyMenuLanguage(model, 2);
    EXPECT_EQ(L"文件", model.menus[0].title);
    EXPECT_NE(L"New File", model.menus[0].items[0].label);
    EXPECT_EQ(LocalizedTextFor(2, StringTable::TabMenuLabels, 0), model.menus[kTabContextMenu].items[0].label);
    EXPECT_EQ(LocalizedTextFor(2, StringTable::NoRecentFiles, 0), RecentFilesSubmenu({}, 2)[0].label);

    ApplyMenuLanguage(model, kEnglishLanguage);
    ExpectSameMenus(BuildEnglishMenuModel(), model);
    EXPECT_EQ(L"(No recent files)", RecentFilesSubmenu({}, kEnglishLanguage)[0].label);
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
        EXPECT_TRUE(SameItems(english.menus[kLanguageMenu].items, model.menus[kLanguageMenu].items));
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
    ApplyMenuLanguage(model, 2);  // 中文
    EXPECT_EQ(L"\u6253\u5F00\u6587\u4EF6", model.menus[0].items[1].label);  // 打开文件, Open File
}

TEST(MenuModel, RecentFilesSubmenu) {
    const std::vector<SubmenuItem> empty = RecentFilesSubmenu({}, kEnglishLanguage);
    ASSERT_EQ(1u, empty.size());
    EXPECT_EQ(800, empty[0].id);
    EXPECT_EQ(L"(No recent files)", empty[0].label);

    const std::vector<SubmenuItem> one = RecentFilesSubmenu({kPath}, kEnglishLanguage);
    ASSERT_EQ(3u, one.size());
    EXPECT_EQ(800, one[0].id);
    EXPECT_EQ(L"1 " + kPath, one[0].label);
    EXPECT_TRUE(one[1].separator);
    EXPECT_EQ(820, one[2].id);
    EXPECT_EQ(L"Clear List", one[2].label);

    std::vector<std::wstring> eleven;
    for (int i = 0; i < 11; ++i) eleven.push_back(L"C:\\f" + std::to_wstring(i) + L".txt");
    const std::vector<SubmenuItem> ten = RecentFilesSubmenu(eleven, 3);
    ASSERT_EQ(12u, ten.size());
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(800 + i, ten[static_cast<size_t>(i)].id);
        EXPECT_EQ(std::to_wstring(i + 1) + L" C:\\f" + std::to_wstring(i) + L".txt", ten[static_cast<size_t>(i)].label);
    }
    EXPECT_TRUE(ten[10].separator);
    EXPECT_EQ(LocalizedTextFor(3, StringTable::ClearListLabel, 0), ten[11].label);
}

TEST(MenuModel, Checkmarks) {
    CheckState s;
    s.uiLanguage = 9;
    s.colorScheme = 3;
    s.theme = 1;
    EXPECT_TRUE(MenuItemChecked(409, s));
    EXPECT_FALSE(MenuItemChecked(404, s));
    EXPECT_TRUE(MenuItemChecked(503, s));
    EXPECT_TRUE(MenuItemChecked(481, s));
    EXPECT_FALSE(MenuItemChecked(480, s));
    EXPECT_FALSE(MenuItemChecked(130, s));
    EXPECT_FALSE(MenuItemChecked(186, s));
    EXPECT_FALSE(MenuItemChecked(100, s));
    s.columnMode = true;
    s.wordWrap = true;
    EXPECT_TRUE(MenuItemChecked(130, s));
    EXPECT_TRUE(MenuItemChecked(186, s));

    // Submenus: only schemes and themes, each with its own value.
    EXPECT_TRUE(SubmenuItemChecked(kSchemeSubmenu, 503, s));
    EXPECT_FALSE(SubmenuItemChecked(kSchemeSubmenu, 481, s));
    EXPECT_TRUE(SubmenuItemChecked(kThemeSubmenu, 481, s));
    EXPECT_FALSE(SubmenuItemChecked(kThemeSubmenu, 503, s));
    s.uiLanguage = 0;
    EXPECT_FALSE(SubmenuItemChecked(kRecentFilesSubmenu, 800, s));
    EXPECT_FALSE(SubmenuItemChecked(4, 150, s));
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

TEST(MenuGeometry, RowsAndSeparatorsStackFromFourPixelsDown) {
    const MenuModel model = BuildEnglishMenuModel();
    const MenuRows file = LayoutMenuRows(model.menus[0].items);
    ASSERT_EQ(11u, file.rows.size());
    const int tops[] = {4, 40, 76, 121, 157, 193, 229, 274, 310, 355, 400};
    for (size_t r = 0; r < 11; ++r) EXPECT_EQ(tops[r], file.rows[r].top) << r;
    EXPECT_EQ(12, file.rows[9].item);  // Recent Files
    EXPECT_EQ(440, file.height);

    EXPECT_EQ(8 + 3 * 36 + 9 + 36, SubmenuBodyHeight(RecentFilesSubmenu({L"a", L"b", L"c"}, 4)));
    EXPECT_EQ(44, SubmenuBodyHeight(RecentFilesSubmenu({}, 4)));
}

TEST(MenuGeometry, Widths) {
    EXPECT_EQ(220, MenuBodyWidth(40, 30));
    EXPECT_EQ(225, MenuBodyWidth(100.7, 50.6));  // trunc(209.3) + 16
    EXPECT_EQ(150, SubmenuBodyWidth(60));
    EXPECT_EQ(248, SubmenuBodyWidth(200.9));
}

TEST(MenuGeometry, RowHitTestingInPopupCoordinates) {
    const MenuRows file = LayoutMenuRows(BuildEnglishMenuModel().menus[0].items);
    const int width = 240;
    EXPECT_EQ(0, MenuRowAt(file, width, 100, 16));
    EXPECT_EQ(-1, MenuRowAt(file, width, 100, 15));  // padding above the first row
    EXPECT_EQ(0, MenuRowAt(file, width, 100, 51));
    EXPECT_EQ(1, MenuRowAt(file, width, 100, 52));
    EXPECT_EQ(-1, MenuRowAt(file, width, 100, 12 + 112 + 4));  // separator
    EXPECT_EQ(9, MenuRowAt(file, width, 100, 12 + 355));
    EXPECT_EQ(10, MenuRowAt(file, width, 100, 12 + 435));
    EXPECT_EQ(-1, MenuRowAt(file, width, 100, 12 + 436));  // bottom padding
    EXPECT_EQ(-1, MenuRowAt(file, width, 11, 20));         // shadow margin
    EXPECT_EQ(0, MenuRowAt(file, width, 12, 20));
    EXPECT_EQ(0, MenuRowAt(file, width, 12 + width - 1, 20));
    EXPECT_EQ(-1, MenuRowAt(file, width, 12 + width, 20));
    EXPECT_TRUE(InMenuBody(width, file.height, 12, 12 + file.height - 1));
    EXPECT_FALSE(InMenuBody(width, file.height, 12, 12 + file.height));

    const std::vector<SubmenuItem> recent = RecentFilesSubmenu({L"a", L"b"}, 4);
    EXPECT_EQ(0, SubmenuItemAt(recent, 150, 30, 16));
    EXPECT_EQ(1, SubmenuItemAt(recent, 150, 30, 16 + 36));
    EXPECT_EQ(-1, SubmenuItemAt(recent, 150, 30, 16 + 72));  // separator
    EXPECT_EQ(3, SubmenuItemAt(recent, 150, 30, 16 + 81));
    EXPECT_EQ(-1, SubmenuItemAt(recent, 150, 30, 15));
    EXPECT_EQ(-1, SubmenuItemAt(recent, 150, 162, 20));
}

TEST(MenuGeometry, TitlesAndPlacement) {
    const std::vector<Rect> titles = LayoutTitleRects({30, 28}, 32, 62);
    ASSERT_EQ(2u, titles.size());
    EXPECT_EQ((Rect{8, 32, 58, 62}), titles[0]);
    EXPECT_EQ((Rect{58, 32, 106, 62}), titles[1]);
    EXPECT_EQ(0, TitleAt(titles, 8, 32));
    EXPECT_EQ(0, TitleAt(titles, 57, 61));
    EXPECT_EQ(1, TitleAt(titles, 58, 40));
    EXPECT_EQ(-1, TitleAt(titles, 7, 40));
    EXPECT_EQ(-1, TitleAt(titles, 20, 62));
    EXPECT_EQ(-1, TitleAt(titles, 106, 40));

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
    EXPECT_NEAR(0.585, ShadowDarkness(0), 1e-9);
    EXPECT_NEAR(0.24, ShadowDarkness(6.25), 1e-9);
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
