// The folder tree's rows, badges and scroll geometry.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "base/gdi_util.h"
#include "base/geometry.h"
#include "project/sidebar_rows.h"
#include "support/contrast.h"
#include "support/scratch.h"
#include "syntax/palette.h"

namespace {

// A folder tree held in memory; counts how often each folder is listed.
struct FakeDisk {
    std::map<std::wstring, std::vector<FolderEntry>> folders;
    std::map<std::wstring, int> listed;
    FolderLister Lister() {
        return [this](const std::wstring& folder, std::vector<FolderEntry>& entries) {
            ++listed[folder];
            const auto found = folders.find(folder);
            if (found == folders.end()) return false;
            entries = found->second;
            return true;
        };
    }
};

std::vector<std::wstring> Describe(const std::vector<SidebarRow>& rows) {
    std::vector<std::wstring> out;
    for (const SidebarRow& row : rows)
        out.push_back(std::to_wstring(row.depth) +
                      (row.isHeader   ? L"H "
                       : row.isFolder ? L"D "
                                      : L"F ") +
                      row.name + L"|" + row.path);
    return out;
}

}  // namespace

TEST(SidebarRows, FoldersFirstInTheFileManagersOrderWithExpandedContentsAfterTheirRow) {
    FakeDisk disk;
    disk.folders[L"C:\\r"] = {{L"b.txt", false}, {L"zeta", true},   {L"B.txt", false},
                              {L"Alpha", true},  {L"a.txt", false}, {L"alpha", true}};
    disk.folders[L"C:\\r\\zeta"] = {{L"z.c", false}, {L"inner", true}};
    disk.folders[L"C:\\r\\Alpha"] = {{L"never.txt", false}};
    FolderSet expanded{L"C:\\r", L"C:\\r\\zeta"};

    const std::vector<std::wstring> expected = {L"0H FOLDERS|",
                                                L"0D r|C:\\r",
                                                L"1D Alpha|C:\\r\\Alpha",
                                                L"1D alpha|C:\\r\\alpha",
                                                L"1D zeta|C:\\r\\zeta",
                                                L"2D inner|C:\\r\\zeta\\inner",
                                                L"2F z.c|C:\\r\\zeta\\z.c",
                                                L"1F a.txt|C:\\r\\a.txt",
                                                L"1F B.txt|C:\\r\\B.txt",
                                                L"1F b.txt|C:\\r\\b.txt"};
    EXPECT_EQ(expected, Describe(BuildSidebarRows(L"C:\\r", expanded, disk.Lister())));
    // Each expanded folder is read once per rebuild, nothing else is read.
    EXPECT_EQ((std::map<std::wstring, int>{{L"C:\\r", 1}, {L"C:\\r\\zeta", 1}}), disk.listed);

    // Collapsing the root leaves the header and the root; expanding it again brings zeta back open.
    expanded.erase(L"C:\\r");
    EXPECT_EQ(2u, BuildSidebarRows(L"C:\\r", expanded, disk.Lister()).size());
    expanded.insert(L"C:\\r");
    EXPECT_EQ(expected, Describe(BuildSidebarRows(L"C:\\r", expanded, disk.Lister())));

    // No folder: only the header. A folder that cannot be read keeps its row without children.
    EXPECT_EQ(std::vector<std::wstring>{L"0H FOLDERS|"}, Describe(BuildSidebarRows(L"", expanded, disk.Lister())));
    EXPECT_EQ((std::vector<std::wstring>{L"0H FOLDERS|", L"0D gone|D:\\gone"}),
              Describe(BuildSidebarRows(L"D:\\gone", {L"D:\\gone"}, disk.Lister())));
    // A drive root chosen in the folder dialog ends in a backslash already.
    disk.folders[L"E:\\"] = {{L"x.txt", false}};
    EXPECT_EQ(L"E:\\x.txt", BuildSidebarRows(L"E:\\", {L"E:\\"}, disk.Lister()).back().path);
}

TEST(SidebarRows, ALinkToAnAncestorIsReadOnlyAsFarAsTheUserExpandedIt) {
    // Every folder holds "loop", as a junction to an ancestor would look: an endless tree.
    const FolderLister endless = [](const std::wstring&, std::vector<FolderEntry>& entries) {
        entries = {{L"loop", true}, {L"f.txt", false}};
        return true;
    };
    const auto rows = BuildSidebarRows(L"C:\\r", {L"C:\\r", L"C:\\r\\loop"}, endless);
    ASSERT_EQ(6u, rows.size());  // header, root, loop (open), loop, f.txt, f.txt
    EXPECT_EQ(L"C:\\r\\loop\\loop", rows[3].path);
    EXPECT_EQ(2, rows[3].depth);
}

TEST(SidebarRows, RealFolderListsHiddenEntriesAndSortsAsTheFileManager) {
    std::wstring root;
    {
        const ScratchFolder folder(L"tessary-sidebar-test");
        root = folder.path;
        folder.MakeDir(L"sub");
        for (const wchar_t* name : {L"alpha.txt", L"Zeta.txt", L".hidden"}) folder.Write(name, "", FILE_ATTRIBUTE_HIDDEN);
        const auto rows = BuildSidebarRows(root, {root});
        std::vector<std::wstring> names;
        for (const SidebarRow& row : rows) names.push_back(row.name);
        EXPECT_EQ((std::vector<std::wstring>{L"FOLDERS", root.substr(root.rfind(L'\\') + 1), L"sub", L".hidden",
                                             L"alpha.txt", L"Zeta.txt"}),
                  names);
        EXPECT_TRUE(rows[2].isFolder);
        EXPECT_EQ(root + L"\\Zeta.txt", rows[5].path);
    }
    EXPECT_EQ(2u, BuildSidebarRows(root, {root}).size());  // gone: the root row stays
}

TEST(SidebarRows, BadgesByEnding) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"index.JSX", L"JS"},    {L"a.cjs", L"JS"},    {L"site.CSS", L"CSS"}, {L"x.markdown", L"MD"},
        {L"a.htm", L"HT"},        {L"s.py", L"PY"},     {L"p.Json", L"{}"},    {L"a.xml", L"XML"},
        {L"m.cc", L"C"},          {L"h.H", L"C"},       {L"p.cs", L"#"},       {L"r.txt", L"TX"},
        {L"Makefile", L"\u00B7"}, {L"a.rs", L"\u00B7"}, {L"json", L"\u00B7"},  {L"", L"\u00B7"}};
    for (const auto& [name, label] : cases) EXPECT_STREQ(label, BadgeForName(name).label) << name;
    // Every badge's label stands out from its own colour (3 : 1, as for a symbol); badges of other kinds
    // look different from the JS one.
    for (const auto& [name, label] : cases) {
        const FileBadge badge = BadgeForName(name);
        EXPECT_GE(Contrast(badge.text, badge.background), 3.0) << name;
        EXPECT_TRUE(std::wstring(label) == L"JS" || BadgeForName(L"a.js").background != badge.background) << name;
    }
}

// Random lists, heights and scrolls at 96, 144 and 192 dpi against what the list must do: the scroll
// stays between the top and the last row's bottom at the client's bottom; a point hits the row drawn
// under it (the top band is always the header); painting visits exactly the rows that meet the
// client; the thumb shows only while the rows do not fit, keeps its insets, its width and its least
// height, moves down with the scroll from the top to the bottom of its track, and dragged by its
// centre to where it is drawn gives back the scroll it was drawn for.
TEST(SidebarRows, ScrollRowsAndThumbFollowTheList) {
    std::mt19937 rng(14);
    for (int round = 0; round < 3000; ++round) {
        const int dpi = 96 + 48 * (round % 3), row = Scale(22, dpi), inset = Scale(8, dpi);
        const size_t rows = rng() % 4 ? rng() % 200 : rng() % 100000;
        const int height = Scale(40 + static_cast<int>(rng() % 800), dpi), width = Scale(220, dpi);
        const long long range = std::max(0LL, static_cast<long long>(rows) * row - height);
        const int scroll = ClampSidebarScrollValue(static_cast<int>(rng() % 4000000) - 1000, rows, height, dpi);
        SCOPED_TRACE(testing::Message() << rows << " rows in " << height << " at " << dpi << ", scroll " << scroll);
        ASSERT_TRUE(scroll >= 0 && scroll <= range);
        EXPECT_EQ(range, ClampSidebarScrollValue(INT32_MAX, rows, height, dpi));
        for (int y = 0; y < height; y += 1 + static_cast<int>(rng() % 9)) {
            const int at = SidebarRowAt(scroll, y, rows, dpi);
            const auto under = [&](long long i) { return SidebarRowTop(i, scroll, dpi) <= y && y < SidebarRowTop(i, scroll, dpi) + row; };
            if (rows && y >= 0 && y < row) {
                ASSERT_EQ(0, at) << y;
            } else if (at >= 0) {
                ASSERT_TRUE(at > 0 && at < static_cast<int>(rows) && under(at)) << y;
            } else {
                const long long guess = (static_cast<long long>(scroll) + y) / row;
                for (long long i = std::max(1LL, guess - 1); i <= guess + 1 && i < static_cast<long long>(rows); ++i)
                    ASSERT_FALSE(under(i)) << y << " misses row " << i;
            }
        }
        const RowRange paint = VisibleSidebarRows(scroll, height, rows, dpi);
        const auto meets = [&](size_t i) { return i * row + row > static_cast<size_t>(scroll) && i * row < static_cast<size_t>(scroll) + height; };
        ASSERT_LE(paint.last, rows);
        for (size_t i = paint.first; i < paint.last; ++i) ASSERT_TRUE(meets(i)) << i;
        ASSERT_TRUE(paint.first == paint.last || paint.first == 0 || !meets(paint.first - 1));
        ASSERT_TRUE(paint.last == rows || !meets(paint.last));
        ASSERT_EQ(rows == 0, paint.first == paint.last);

        const auto thumbAt = [&](int s) { return SidebarThumbRect(width, height, rows, s, dpi); };
        const SidebarThumb thumb = thumbAt(scroll), first = thumbAt(0), last = thumbAt(static_cast<int>(range));
        ASSERT_EQ(range > 0, thumb.exists);
        if (!thumb.exists) continue;
        EXPECT_EQ(width - Scale(10, dpi), thumb.left);
        EXPECT_EQ(width - Scale(2, dpi), thumb.right);
        EXPECT_GE(thumb.bottom - thumb.top, Scale(20, dpi));
        EXPECT_EQ(inset, first.top);
        EXPECT_LE(std::abs(last.bottom - (height - inset)), 1);
        EXPECT_TRUE(first.top <= thumb.top && thumb.top <= last.top);
        const int back = ClampSidebarScrollValue(
            SidebarDragScroll((thumb.top + thumb.bottom) / 2, height, rows, thumb.bottom - thumb.top, dpi), rows, height, dpi);
        EXPECT_LE(std::abs(thumbAt(back).top - thumb.top), 1) << back;
    }
    EXPECT_EQ(0, SidebarWheelScroll(30, 120));
    EXPECT_EQ(80, SidebarWheelScroll(40, -120));
}

// Numbers in names sort by their value, as the file manager shows them; names are compared without
// case and folders still come first.
TEST(SidebarRows, NamesSortNaturally) {
    FakeDisk disk;
    disk.folders[L"C:\\r"] = {{L"extra_19.txt", false}, {L"extra_2.txt", false}, {L"Extra_100.txt", false},
                                {L"b", true},             {L"A10", true},          {L"a9", true}};
    std::vector<std::wstring> names;
    for (const SidebarRow& row : BuildSidebarRows(L"C:\\r", {L"C:\\r"}, disk.Lister())) names.push_back(row.name);
    EXPECT_EQ((std::vector<std::wstring>{L"FOLDERS", L"r", L"a9", L"A10", L"b", L"extra_2.txt", L"extra_19.txt",
                                         L"Extra_100.txt"}),
              names);
    // Property: for any two numbers the smaller one's name comes first; equal names other than by
    // case still have one order.
    unsigned seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    for (int i = 0; i < 2000; ++i) {
        const unsigned a = next() % 100000, b = next() % 100000;
        const std::wstring na = L"part_" + std::to_wstring(a) + L".txt", nb = L"part_" + std::to_wstring(b) + L".txt";
        EXPECT_EQ(a < b, NaturalNameLess(na, nb)) << a << " " << b;
    }
    EXPECT_NE(NaturalNameLess(L"Readme", L"README"), NaturalNameLess(L"README", L"Readme"));
}

// Every badge label fits its badge in the interface font at the sizes it is used at, and long
// names keep their beginning and end in "…" where they are cut.
TEST(SidebarRows, BadgesAndNamesFitTheirBoxes) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, dc);
    for (int height : {-12, -15, -18, -24}) {
        HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                                 L"Segoe UI");
        ASSERT_NE(nullptr, font);
        ASSERT_GT(TextWidth(dc, font, L"CSS"), 10) << "the font measures nothing: the test would prove nothing";
        int widest = 0;
        for (const std::wstring& label : BadgeLabels()) widest = std::max(widest, TextWidth(dc, font, label));
        const int badge = SidebarBadgeWidth(widest, 96);
        for (const std::wstring& label : BadgeLabels())
            EXPECT_LE(TextWidth(dc, font, label) + 4, badge) << "label " << std::string(label.begin(), label.end());

        const std::wstring name = L"component_01_service_registry_with_a_long_name.cpp";
        for (int width : {40, 90, 150}) {
            const std::wstring shown = EndEllipsisText(dc, font, name, width);
            ASSERT_GE(shown.size(), 1u);
            EXPECT_EQ(L'\u2026', shown.back()) << width;
            EXPECT_EQ(0u, name.find(shown.substr(0, shown.size() - 1))) << "the front was cut at width " << width;
            EXPECT_LE(TextWidth(dc, font, shown), width);
            // Nothing more would have fitted.
            EXPECT_GT(TextWidth(dc, font, name.substr(0, shown.size()) + L"\u2026"), width);
        }
        EXPECT_EQ(L"a.txt", EndEllipsisText(dc, font, L"a.txt", 200));
        DeleteObject(font);
    }
    DeleteDC(dc);
}
