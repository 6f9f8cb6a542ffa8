// The folder tree's rows, badges and scroll geometry.

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "app/gdi_util.h"
#include "project/sidebar_rows.h"
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
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"tessary-sidebar-test";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
    for (const wchar_t* name : {L"\\alpha.txt", L"\\Zeta.txt", L"\\.hidden"}) {
        HANDLE file = CreateFileW((root + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_HIDDEN, nullptr);
        CloseHandle(file);
    }
    const auto rows = BuildSidebarRows(root, {root});
    std::vector<std::wstring> names;
    for (const SidebarRow& row : rows) names.push_back(row.name);
    EXPECT_EQ(
        (std::vector<std::wstring>{L"FOLDERS", L"tessary-sidebar-test", L"sub", L".hidden", L"alpha.txt", L"Zeta.txt"}),
        names);
    EXPECT_TRUE(rows[2].isFolder);
    EXPECT_EQ(root + L"\\Zeta.txt", rows[5].path);
    for (const wchar_t* name : {L"\\alpha.txt", L"\\Zeta.txt", L"\\.hidden"}) {
        SetFileAttributesW((root + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((root + name).c_str());
    }
    RemoveDirectoryW((root + L"\\sub").c_str());
    RemoveDirectoryW(root.c_str());
    EXPECT_EQ(2u, BuildSidebarRows(root, {root}).size());  // gone: the root row stays
}

TEST(SidebarRows, BadgesByEnding) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"index.JSX", L"JS"},    {L"a.cjs", L"JS"},    {L"site.CSS", L"CSS"}, {L"x.markdown", L"MD"},
        {L"a.htm", L"HT"},        {L"s.py", L"PY"},     {L"p.Json", L"{}"},    {L"a.xml", L"XML"},
        {L"m.cc", L"C"},          {L"h.H", L"C"},       {L"p.cs", L"#"},       {L"r.txt", L"TX"},
        {L"Makefile", L"\u00B7"}, {L"a.rs", L"\u00B7"}, {L"json", L"\u00B7"},  {L"", L"\u00B7"}};
    for (const auto& [name, label] : cases) EXPECT_STREQ(label, BadgeForName(name).label) << name;
    EXPECT_EQ(Hex(0xF7DF1E), BadgeForName(L"a.ts").background);
    EXPECT_EQ(Hex(0x000000), BadgeForName(L"a.ts").text);
    EXPECT_EQ(Hex(0x4A4A4A), BadgeForName(L"README").background);
    EXPECT_EQ(Hex(0xC0C0C0), BadgeForName(L"README").text);
}

TEST(SidebarRows, ScrollAndThumbGeometry) {
    EXPECT_FALSE(SidebarThumbRect(220, 500, 3, 0, 96).exists);
    EXPECT_FALSE(SidebarThumbRect(220, 550, 25, 0, 96).exists);  // exactly fits

    // 100 rows (2200 px) in 550 px: 534 * 550 / 2200 = 133.5 -> 133 high, between 8 and 542.
    SidebarThumb top = SidebarThumbRect(220, 550, 100, 0, 96);
    ASSERT_TRUE(top.exists);
    EXPECT_EQ(8, top.top);
    EXPECT_EQ(133, top.bottom - top.top);
    EXPECT_EQ(210, top.left);
    EXPECT_EQ(218, top.right);
    EXPECT_EQ(409, SidebarThumbRect(220, 550, 100, 1650, 96).top);
    EXPECT_EQ(20, SidebarThumbRect(220, 100, 100000, 0, 96).bottom - SidebarThumbRect(220, 100, 100000, 0, 96).top);

    EXPECT_EQ(1650, ClampSidebarScrollValue(5000, 100, 550, 96));
    EXPECT_EQ(0, ClampSidebarScrollValue(40, 3, 500, 96));
    EXPECT_EQ(0, ClampSidebarScrollValue(-5, 100, 550, 96));
    EXPECT_EQ(0, SidebarDragScroll(8 + 66, 550, 100, 133, 96));
    EXPECT_EQ(1650, SidebarDragScroll(549, 550, 100, 133, 96));
    EXPECT_EQ(822, SidebarDragScroll(8 + 66 + 200, 550, 100, 133, 96));  // 200 / 401 of 1650

    // The header stays at the top: its band is the header's whatever the scroll.
    EXPECT_EQ(0, SidebarRowAt(30, 0, 100, 96));
    EXPECT_EQ(0, SidebarRowAt(5000, 21, 100, 96));
    EXPECT_EQ(2, SidebarRowAt(30, 22, 100, 96));
    EXPECT_EQ(0, SidebarRowTop(0, 5000, 96));
    EXPECT_EQ(44 - 30, SidebarRowTop(2, 30, 96));
    EXPECT_EQ(2, SidebarRowAt(0, 44, 100, 96));
    EXPECT_EQ(-1, SidebarRowAt(0, 66, 3, 96));
    EXPECT_EQ(0, SidebarWheelScroll(30, 120));
    EXPECT_EQ(80, SidebarWheelScroll(40, -120));

    // Painting visits only the rows that meet the client area: 1 to 3 for 50 px scrolled by 30.
    const RowRange range = VisibleSidebarRows(30, 50, 50000, 96);
    EXPECT_EQ(1u, range.first);
    EXPECT_EQ(4u, range.last);
    EXPECT_EQ(0u, VisibleSidebarRows(5000, 500, 3, 96).last - VisibleSidebarRows(5000, 500, 3, 96).first);
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
        EXPECT_GE(badge, TextWidth(dc, font, L"CSS") + 4);
        EXPECT_GE(badge, TextWidth(dc, font, L"XML") + 4);

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
