// The layout as properties over many window sizes and every combination of the optional parts:
// the regions tile the client area without overlap, the optional ones exist exactly when shown,
// and hit tests agree with the rectangles they test.
#include "app/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "app/hit_test.h"

namespace {

bool Overlap(const Rect& a, const Rect& b) {
    return !a.Empty() && !b.Empty() && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.Empty() || (inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
                             inner.bottom <= outer.bottom);
}

long long Area(const Rect& r) { return r.Empty() ? 0 : static_cast<long long>(r.Width()) * r.Height(); }

// Pairwise disjoint and inside `outer`; returns the area they cover.
long long DisjointInside(const std::vector<Rect>& rects, const Rect& outer) {
    long long area = 0;
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_TRUE(Inside(rects[i], outer)) << "region " << i;
        for (size_t j = i + 1; j < rects.size(); ++j) EXPECT_FALSE(Overlap(rects[i], rects[j])) << i << " and " << j;
        area += Area(rects[i]);
    }
    return area;
}

TEST(Layout, RegionsTileTheClientWithoutOverlap) {
    std::mt19937 rng(8);
    for (int round = 0; round < 300; ++round) {
        LayoutInput in;
        in.width = 700 + static_cast<int>(rng() % 1400);
        in.height = 400 + static_cast<int>(rng() % 1000);
        in.sidebarVisible = rng() % 2, in.statusBarVisible = rng() % 2, in.searchPanelOpen = rng() % 2;
        in.searchPanelWidth = 200 + static_cast<int>(rng() % 250);
        SCOPED_TRACE(testing::Message() << in.width << "x" << in.height << " sidebar " << in.sidebarVisible
                                        << " status " << in.statusBarVisible << " panel " << in.searchPanelOpen);
        const LayoutRects r = ComputeLayout(in);
        const Rect client{0, 0, in.width, in.height};
        // The tab bar ends where the open search panel starts, so that the panel hides no tab.
        const Rect tabs = r.tabBar;
        EXPECT_EQ(r.tabBar.right, r.searchPanel.Empty() ? in.width : r.searchPanel.left);
        // Everything but the square where the two scroll bars meet.
        const long long covered = DisjointInside(
            {r.caption, r.menuBar, r.toolbar, r.sidebar, tabs, r.editor, r.vScroll, r.hScroll, r.statusBar, r.searchPanel},
            client);
        EXPECT_EQ(covered, Area(client) - kScrollBarSize * kScrollBarSize);
        EXPECT_EQ(r.sidebar.Empty(), !in.sidebarVisible);
        EXPECT_EQ(r.statusBar.Empty(), !in.statusBarVisible);
        EXPECT_EQ(r.searchPanel.Width(), in.searchPanelOpen ? in.searchPanelWidth : 0);
        EXPECT_FALSE(r.editor.Empty());
        // The tab bar heads the editor; the scroll bars run along its right and bottom edges.
        EXPECT_EQ(r.tabBar.bottom, r.editor.top);
        EXPECT_EQ(r.tabBar.left, r.editor.left);
        EXPECT_EQ(r.vScroll.left, r.editor.right);
        EXPECT_EQ(r.hScroll.top, r.editor.bottom);
        // The caption's buttons sit inside it, side by side, ending at the right edge.
        DisjointInside({r.sidebarToggle, r.minimize, r.maximize, r.close}, r.caption);
        EXPECT_EQ(r.close.right, in.width);
        EXPECT_EQ(r.maximize.right, r.close.left);
        EXPECT_EQ(r.minimize.right, r.maximize.left);
    }
}

TEST(Layout, FocusModeCentresTheEditorWhateverElseIsShown) {
    for (int width : {600, 800, 1600, 2560}) {
        LayoutInput in;
        in.width = width, in.height = 700, in.focusMode = true;
        const LayoutRects first = ComputeLayout(in);
        EXPECT_EQ(first.editor.left, width - first.editor.right);
        EXPECT_GE(first.editor.left, 100);
        EXPECT_GE(first.editor.left, width / 8);
        EXPECT_EQ(first.editor.bottom, in.height);
        EXPECT_TRUE(first.sidebar.Empty() && first.statusBar.Empty() && first.searchPanel.Empty());
        // No chrome at all: the text column runs from the top of the window, and no point of the
        // window is a caption, a caption button or a toolbar button.
        EXPECT_EQ(0, first.editor.top);
        for (const Rect& chrome : {first.caption, first.minimize, first.maximize, first.close, first.sidebarToggle,
                                   first.menuBar, first.toolbar, first.tabBar})
            EXPECT_TRUE(chrome.Empty());
        for (int y = 0; y < in.height; y += 7) {
            for (int x = 0; x < width; x += 13) {
                EXPECT_EQ(-1, ToolbarButtonAt(first.toolbar, x, y, 96));
                EXPECT_EQ(FrameHit::Client, FrameHitTest(first, width, in.height, x, y, true, 96));
            }
        }
        for (int flags = 0; flags < 8; ++flags) {
            in.sidebarVisible = flags & 1, in.statusBarVisible = flags & 2, in.searchPanelOpen = flags & 4;
            const LayoutRects r = ComputeLayout(in);
            EXPECT_EQ(r.editor, first.editor);
            EXPECT_EQ(r.tabBar, first.tabBar);
        }
    }
}

// Every point of the toolbar hits the button whose rectangle holds it, or none.
TEST(Layout, ToolbarHitTestAgreesWithTheButtons) {
    for (const Rect toolbar : {Rect{0, 62, 1000, 92}, Rect{100, 10, 600, 39}}) {
        std::vector<Rect> buttons;
        for (int i = 0; i < kToolbarButtonCount; ++i) buttons.push_back(ToolbarButtonRect(toolbar, i, 96));
        DisjointInside(buttons, toolbar);
        for (int i = 1; i < kToolbarButtonCount; ++i) EXPECT_LT(buttons[i - 1].right, buttons[i].left);
        for (int y = toolbar.top; y < toolbar.bottom; ++y) {
            for (int x = toolbar.left; x < buttons.back().right + 4; ++x) {
                int expected = -1;
                for (int i = 0; i < kToolbarButtonCount; ++i)
                    if (buttons[i].Contains(x, y)) expected = i;
                ASSERT_EQ(expected, ToolbarButtonAt(toolbar, x, y, 96)) << x << "," << y;
            }
        }
    }
}

TEST(Layout, SearchPanelChildrenDoNotOverlap) {
    for (const auto& [w, h, font] : {std::tuple{300, 500, 16}, {420, 900, 20}, {260, 160, 15}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const SearchPanelLayout p = ComputeSearchPanelLayout(w, h, font, 96);
        DisjointInside({p.close, p.findBox, p.replaceBox, p.caseButton, p.wordButton, p.regexButton,
                        p.allFilesButton, p.replaceButton, p.replaceAllButton, p.results},
                       Rect{0, 0, w, h});
        EXPECT_TRUE(Inside(p.findText, Rect{0, 0, p.findBox.Width(), p.findBox.Height()}));
        EXPECT_TRUE(Inside(p.replaceText, Rect{0, 0, p.replaceBox.Width(), p.replaceBox.Height()}));
        EXPECT_GE(p.results.top, p.replaceBox.bottom);
    }
    // Cramped, the boxes keep a usable width (under the buttons) and the results list is empty.
    const SearchPanelLayout cramped = ComputeSearchPanelLayout(150, 100, 15, 96);
    EXPECT_GE(cramped.findBox.Width(), 80);
    EXPECT_GE(cramped.replaceBox.Width(), 80);
    EXPECT_TRUE(cramped.results.Empty());
}

}  // namespace
