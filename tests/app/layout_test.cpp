#include "app/layout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

LayoutInput Input(int w, int h, bool sidebar, bool status, bool panel, bool focus) {
    LayoutInput in;
    in.width = w;
    in.height = h;
    in.sidebarVisible = sidebar;
    in.statusBarVisible = status;
    in.searchPanelOpen = panel;
    in.focusMode = focus;
    return in;
}

}  // namespace

TEST(Layout, ChromeRowsAreFixedInEveryMode) {
    for (bool focus : {false, true}) {
        const LayoutRects r = ComputeLayout(Input(1000, 700, true, true, false, focus));
        EXPECT_EQ(r.caption, (Rect{0, 0, 1000, 32}));
        EXPECT_EQ(r.close, (Rect{954, 0, 1000, 32}));
        EXPECT_EQ(r.maximize, (Rect{908, 0, 954, 32}));
        EXPECT_EQ(r.minimize, (Rect{862, 0, 908, 32}));
        EXPECT_EQ(r.sidebarToggle, (Rect{826, 3, 854, 29}));
        EXPECT_EQ(r.menuBar, (Rect{0, 32, 1000, 62}));
        EXPECT_EQ(r.toolbar, (Rect{0, 62, 1000, 92}));
        EXPECT_EQ(r.tabBar.top, 92);
        EXPECT_EQ(r.tabBar.bottom, 126);
        EXPECT_EQ(r.tabBar.right, 1000);
    }
}

// The editor, its two bars and the side regions must tile the area below the tab bar.
TEST(Layout, RegionsTileTheClientAreaForEveryFlagCombination) {
    const int sizes[][2] = {{1280, 800}, {800, 600}, {640, 400}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        for (int flags = 0; flags < 8; ++flags) {
            const bool sidebar = flags & 1, status = flags & 2, panel = flags & 4;
            SCOPED_TRACE(testing::Message() << w << "x" << h << " flags " << flags);
            const LayoutRects r = ComputeLayout(Input(w, h, sidebar, status, panel, false));
            const int s = sidebar ? 220 : 0;
            const int b = status ? h - 24 : h;
            const int p = panel ? 300 : 0;
            EXPECT_EQ(r.sidebar, (Rect{0, 92, s, b}));
            EXPECT_EQ(r.tabBar.left, s);
            EXPECT_EQ(r.editor, (Rect{s, 126, w - p - 12, b - 12}));
            EXPECT_EQ(r.vScroll, (Rect{r.editor.right, 126, w - p, r.editor.bottom}));
            EXPECT_EQ(r.hScroll, (Rect{s, r.editor.bottom, r.editor.right, b}));
            EXPECT_EQ(r.statusBar, (Rect{0, b, w, h}));
            EXPECT_EQ(r.statusBar.Empty(), !status);
            EXPECT_EQ(r.searchPanel, (Rect{w - p, 92, w, b}));
            EXPECT_EQ(r.searchPanel.Empty(), !panel);
        }
        for (int flags = 0; flags < 8; ++flags) {
            // Focus mode ignores the other flags.
            const LayoutRects r = ComputeLayout(Input(w, h, flags & 1, flags & 2, flags & 4, true));
            const int m = std::max(w / 8, 100);
            EXPECT_EQ(r.tabBar.left, 0);
            EXPECT_EQ(r.editor, (Rect{m, 126, w - m, h}));
            EXPECT_EQ(r.vScroll, (Rect{w - m, 126, w - m + 12, h}));
            EXPECT_EQ(r.hScroll, (Rect{m, h, w - m, h + 12}));
            EXPECT_EQ(r.sidebar, Rect{});
            EXPECT_EQ(r.statusBar, Rect{});
            EXPECT_EQ(r.searchPanel, Rect{});
        }
    }
}

TEST(Layout, BareEditorFillsWidthAndKeepsLastRowsForHorizontalBar) {
    const LayoutRects r = ComputeLayout(Input(900, 500, false, false, false, false));
    EXPECT_EQ(r.editor.left, 0);
    EXPECT_EQ(r.editor.bottom, 488);
    EXPECT_EQ(r.hScroll, (Rect{0, 488, 888, 500}));
    EXPECT_EQ(r.sidebar.Width(), 0);
}

TEST(Layout, FocusModeMarginNeverBelow100) {
    const LayoutRects narrow = ComputeLayout(Input(600, 400, true, true, true, true));
    EXPECT_EQ(narrow.editor.left, 100);
    EXPECT_EQ(narrow.editor.right, 500);
    const LayoutRects wide = ComputeLayout(Input(1600, 900, true, true, true, true));
    EXPECT_EQ(wide.editor.left, 200);
    EXPECT_EQ(wide.editor.right, 1400);
}

TEST(Layout, CustomSearchPanelWidth) {
    LayoutInput in = Input(1000, 700, true, true, true, false);
    in.searchPanelWidth = 420;
    const LayoutRects r = ComputeLayout(in);
    EXPECT_EQ(r.searchPanel.left, 580);
    EXPECT_EQ(r.vScroll.right, 580);
}

TEST(Layout, ToolbarButtonsAndGaps) {
    const Rect toolbar{0, 62, 1000, 92};
    EXPECT_EQ(ToolbarButtonRect(toolbar, 0), (Rect{4, 65, 30, 89}));
    EXPECT_EQ(ToolbarButtonRect(toolbar, 16), (Rect{452, 65, 478, 89}));

    EXPECT_EQ(ToolbarButtonAt(toolbar, 4, 65), 0);
    EXPECT_EQ(ToolbarButtonAt(toolbar, 29, 88), 0);   // last pixel
    EXPECT_EQ(ToolbarButtonAt(toolbar, 30, 70), -1);  // 2-px gap
    EXPECT_EQ(ToolbarButtonAt(toolbar, 31, 70), -1);
    EXPECT_EQ(ToolbarButtonAt(toolbar, 32, 70), 1);
    EXPECT_EQ(ToolbarButtonAt(toolbar, 477, 70), 16);
    EXPECT_EQ(ToolbarButtonAt(toolbar, 478, 70), -1);
    EXPECT_EQ(ToolbarButtonAt(toolbar, 3, 70), -1);
    EXPECT_EQ(ToolbarButtonAt(toolbar, 10, 64), -1);  // above the buttons
    EXPECT_EQ(ToolbarButtonAt(toolbar, 10, 89), -1);  // below

    // Odd heights round the top margin down; offsets follow the toolbar's origin.
    const Rect shifted{100, 10, 600, 39};
    EXPECT_EQ(ToolbarButtonRect(shifted, 1), (Rect{132, 12, 158, 36}));
    EXPECT_EQ(ToolbarButtonAt(shifted, 132, 12), 1);
}

TEST(Layout, SearchPanelChildren) {
    const SearchPanelLayout p = ComputeSearchPanelLayout(300, 500, 16);
    EXPECT_EQ(p.close, (Rect{266, 3, 290, 27}));
    EXPECT_EQ(p.allFilesButton, (Rect{260, 38, 290, 68}));
    EXPECT_EQ(p.regexButton, (Rect{222, 38, 252, 68}));
    EXPECT_EQ(p.wordButton, (Rect{184, 38, 214, 68}));
    EXPECT_EQ(p.caseButton, (Rect{146, 38, 176, 68}));
    EXPECT_EQ(p.findBox, (Rect{10, 38, 130, 68}));
    EXPECT_EQ(p.replaceAllButton, (Rect{246, 76, 290, 106}));
    EXPECT_EQ(p.replaceButton, (Rect{208, 76, 238, 106}));
    EXPECT_EQ(p.replaceBox, (Rect{10, 76, 192, 106}));
    EXPECT_EQ(p.results, (Rect{10, 114, 290, 490}));
    EXPECT_EQ(p.findText, (Rect{0, 7, 120, 23}));
    EXPECT_EQ(p.replaceText, (Rect{0, 7, 182, 23}));
}

TEST(Layout, CrampedSearchPanelKeepsMinimumBoxesAndEmptyResults) {
    const SearchPanelLayout p = ComputeSearchPanelLayout(150, 100, 15);
    EXPECT_EQ(p.findBox.Width(), 80);
    EXPECT_EQ(p.replaceBox.Width(), 80);
    EXPECT_EQ(p.results.Height(), 0);
    EXPECT_TRUE(p.results.Empty());
    EXPECT_EQ(p.findText, (Rect{0, 7, 80, 22}));
}
