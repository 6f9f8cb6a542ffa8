#include "document/tab_rules.h"
#include "base/file_access.h"

#include <algorithm>
#include <climits>
#include <random>

#include <gtest/gtest.h>

TEST(TabRules, FileNameOf) {
    EXPECT_EQ(FileNameOf(L"C:\\work\\main.cpp"), L"main.cpp");
    EXPECT_EQ(FileNameOf(L"C:/work\\sub/notes.txt"), L"notes.txt");
    EXPECT_EQ(FileNameOf(L"readme"), L"readme");
    EXPECT_EQ(FileNameOf(L"C:\\work\\"), L"");
    EXPECT_EQ(FileNameOf(L""), L"");
}

TEST(TabRules, NextUntitledNumber) {
    const std::wstring word = L"New File";
    EXPECT_EQ(NextUntitledNumber({}, word), 1);
    EXPECT_EQ(NextUntitledNumber({L"New File 1", L"New File 3"}, word), 4);
    EXPECT_EQ(NextUntitledNumber({L"New File 3", L"main.cpp", L"New File 1"}, word), 4);
    EXPECT_EQ(NextUntitledNumber({L"New File   7"}, word), 8);
    EXPECT_EQ(NextUntitledNumber({L"New File 007"}, word), 8);
    EXPECT_EQ(NextUntitledNumber({L"New File5"}, word), 6);  // the spaces are optional
    EXPECT_EQ(NextUntitledNumber({L"New File", L"New File x2", L"New Filex", L"New File 2a", L"New File ",
                                  L"new file 5", L"Old New File 9"},
                                 word),
              1);
}

TEST(TabRules, NextUntitledNumberIgnoresNumbersOutsideInt) {
    const std::wstring word = L"New File";
    EXPECT_EQ(NextUntitledNumber({L"New File 99999999999", L"New File 2"}, word), 3);
    EXPECT_EQ(NextUntitledNumber({L"New File 99999999999999999999999999999999"}, word), 1);
    EXPECT_EQ(NextUntitledNumber({L"New File 2147483647"}, word), 1);
    EXPECT_EQ(NextUntitledNumber({L"New File 2147483646"}, word), INT_MAX);
    EXPECT_EQ(NextUntitledNumber({L"New File 00000000000000000000042"}, word), 43);
}

// The titles untitled tabs get ("New File 2") are the end-to-end tests'.

TEST(TabRules, ActiveIndexAfterClose) {
    EXPECT_EQ(ActiveIndexAfterClose(0, 0, 1), -1);
    EXPECT_EQ(ActiveIndexAfterClose(3, 1, 5), 2);  // closed before the active tab
    EXPECT_EQ(ActiveIndexAfterClose(2, 2, 5), 2);  // the next tab slides into place
    EXPECT_EQ(ActiveIndexAfterClose(4, 4, 5), 3);  // closing the last one falls back
    EXPECT_EQ(ActiveIndexAfterClose(1, 3, 5), 1);  // closed after: unchanged
    EXPECT_EQ(ActiveIndexAfterClose(0, 0, 2), 0);
    EXPECT_EQ(ActiveIndexAfterClose(1, 1, 2), 0);
}

TEST(TabRules, WorkspaceNameOf) {
    EXPECT_EQ(WorkspaceNameOf(L""), L"Tessary");
    EXPECT_EQ(WorkspaceNameOf(L"C:\\src\\proj"), L"proj");
    EXPECT_EQ(WorkspaceNameOf(L"C:\\src\\proj\\"), L"proj");
    EXPECT_EQ(WorkspaceNameOf(L"/home/me/proj/"), L"proj");
    EXPECT_EQ(WorkspaceNameOf(L"D:\\"), L"D:");
    EXPECT_EQ(WorkspaceNameOf(L"/"), L"Tessary");
}

TEST(TabRules, DirectoryWithSeparator) {
    EXPECT_EQ(DirectoryWithSeparator(L"C:\\Tools\\tessary.exe"), L"C:\\Tools\\");
    EXPECT_EQ(DirectoryWithSeparator(L"/opt/t/tessary.exe"), L"/opt/t/");
    EXPECT_EQ(DirectoryWithSeparator(L"tessary.exe"), L"");
    EXPECT_EQ(DirectoryWithSeparator(L""), L"");

    const std::wstring dir = L"C:\\" + std::wstring(300, L'd') + L"\\";
    EXPECT_EQ(DirectoryWithSeparator(dir + L"tessary.exe"), dir);
}

TEST(TabRules, TabStripGeometry) {
    EXPECT_EQ(TabWidthForText(0, 96), 180);
    EXPECT_EQ(TabWidthForText(150, 96), 210);
    EXPECT_EQ(TabWidthForText(1000, 96), 320);
    EXPECT_EQ(TabWidthForText(INT_MAX, 96), 320);

    const std::vector<int> edges = TabEdges(220, {180, 200, 320});
    EXPECT_EQ(edges, (std::vector<int>{220, 400, 600, 920}));
    EXPECT_EQ(TabEdges(5, {}), std::vector<int>{5});

    for (int x = 200; x < 940; ++x)
        EXPECT_EQ(x < 220 || x >= 920 ? -1 : x < 400 ? 0 : x < 600 ? 1 : 2, TabAt(edges, x)) << x;
    EXPECT_EQ(TabAt({}, 0), -1);

    EXPECT_FALSE(TabCloseMarkHit(edges, 1, 581, 96));
    EXPECT_TRUE(TabCloseMarkHit(edges, 1, 582, 96));
    EXPECT_TRUE(TabCloseMarkHit(edges, 1, 593, 96));
    EXPECT_FALSE(TabCloseMarkHit(edges, 1, 594, 96));
    EXPECT_FALSE(TabCloseMarkHit(edges, 3, 910, 96));
    EXPECT_FALSE(TabCloseMarkHit(edges, -1, 210, 96));
}

// Random tab counts, widths, bars, scrolls and active tabs: the active tab lies wholly in the view
// whenever the view can hold it; tabs follow each other without overlap or gaps; none is narrower
// than the minimum unless it was measured so; tabs shrink before anything scrolls.
TEST(TabRules, TabStripKeepsTheActiveTabInView) {
    std::mt19937 rng(32);
    for (int round = 0; round < 3000; ++round) {
        TabStripInput in;
        in.left = static_cast<int>(rng() % 400);
        in.right = in.left + static_cast<int>(rng() % 2000);
        const int count = static_cast<int>(rng() % 60);
        for (int i = 0; i < count; ++i)
            in.widths.push_back(round % 7 == 0 ? 40 + static_cast<int>(rng() % 300)
                                               : TabWidthForText(static_cast<int>(rng() % 400), 96));
        in.minWidth = 60 + static_cast<int>(rng() % 100);
        in.buttonWidth = 34;
        in.active = count ? static_cast<int>(rng() % count) : -1;
        in.scroll = static_cast<int>(rng() % 20000) - 1000;
        const TabStrip s = LayOutTabStrip(in);
        SCOPED_TRACE(testing::Message() << "round " << round << " tabs " << count << " bar " << in.left << ".."
                                        << in.right << " active " << in.active << " min " << in.minWidth);
        ASSERT_EQ(s.edges.size(), in.widths.size() + 1);
        EXPECT_EQ(s.viewLeft, in.left);
        EXPECT_LE(s.viewRight, s.buttonLeft);
        EXPECT_LE(s.buttonLeft, in.right);
        EXPECT_GE(s.scroll, 0);
        EXPECT_LE(s.scroll, s.maxScroll);
        long long natural = 0;
        for (int w : in.widths) natural += w;
        const bool fits = natural <= in.right - in.left;
        if (in.right > in.left) { EXPECT_EQ(s.HasButton(in.right), !fits); }  // an empty bar holds no button
        if (s.HasButton(in.right) && in.right - in.left >= in.buttonWidth) {
            EXPECT_EQ(in.right - s.buttonLeft, in.buttonWidth);
        }
        bool shrunk = false;
        for (size_t i = 0; i < in.widths.size(); ++i) {
            const int w = s.edges[i + 1] - s.edges[i];
            EXPECT_GE(w, std::min(in.widths[i], in.minWidth)) << "tab " << i;
            EXPECT_LE(w, in.widths[i]) << "tab " << i;
            shrunk = shrunk || w < in.widths[i];
        }
        EXPECT_EQ(s.edges.front(), s.viewLeft - s.scroll);
        if (fits) { EXPECT_FALSE(shrunk); }
        // Scrolling only once every tab that can shrink is at the minimum.
        if (s.maxScroll > 0) {
            for (size_t i = 0; i < in.widths.size(); ++i)
                EXPECT_EQ(s.edges[i + 1] - s.edges[i], std::min(in.widths[i], in.minWidth)) << "tab " << i;
        }
        if (in.active >= 0) {
            const int l = s.edges[static_cast<size_t>(in.active)], r = s.edges[static_cast<size_t>(in.active) + 1];
            if (r - l <= s.viewRight - s.viewLeft) {
                EXPECT_GE(l, s.viewLeft);
                EXPECT_LE(r, s.viewRight);
            } else {
                EXPECT_EQ(l, s.viewLeft);  // too wide for the view: its start shows
            }
        }
        // Without the reveal the scroll stays where it was, within its range.
        in.revealActive = false;
        EXPECT_EQ(LayOutTabStrip(in).scroll, std::clamp(in.scroll, 0, s.maxScroll));
    }
}

// The wheel over the strip (a notch scrolls it one narrowest tab) is the end-to-end test's
// (test_tab_overflow.sh); the layout above keeps any scroll within its range.
