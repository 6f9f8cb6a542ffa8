// The window's geometry as properties over many window sizes, display scales and every combination
// of the optional parts: the regions tile the client area without overlap, the optional ones exist
// exactly when shown, hit tests agree with the rectangles they test, and at scales above 96 dpi
// every rectangle is the 96 one scaled (within a pixel).
#include "base/layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <tuple>
#include <vector>

#include "base/scroll_geometry.h"
#include "document/tab_rules.h"
#include "shell/hit_test.h"
#include "shell/menu_model.h"

namespace {

constexpr int kScaledDpis[] = {144, 192};

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

// `scaled` is `design` scaled to `dpi`, each edge within one pixel of the exact product.
::testing::AssertionResult ScaledWithinAPixel(const Rect& design, const Rect& scaled, int dpi) {
    const double f = dpi / 96.0;
    const int edges[][2] = {{design.left, scaled.left},
                            {design.top, scaled.top},
                            {design.right, scaled.right},
                            {design.bottom, scaled.bottom}};
    for (const auto& e : edges) {
        if (std::abs(e[0] * f - e[1]) > 1.0) {
            return ::testing::AssertionFailure()
                   << "{" << design.left << "," << design.top << "," << design.right << "," << design.bottom << "} at "
                   << dpi << " dpi became {" << scaled.left << "," << scaled.top << "," << scaled.right << ","
                   << scaled.bottom << "}";
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<Rect> AllRects(const LayoutRects& r) {
    return {r.caption, r.sidebarToggle, r.minimize, r.maximize, r.close,   r.menuBar,   r.toolbar,
            r.sidebar, r.tabBar,        r.editor,   r.vScroll,  r.hScroll, r.statusBar, r.searchPanel};
}

Rect Centre(const Rect& r) {
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    return Rect{x, y, x + 1, y + 1};
}

LayoutInput RandomInput(std::mt19937& rng) {
    LayoutInput in(kDesignDpi);
    in.width = 700 + static_cast<int>(rng() % 1400);
    in.height = 400 + static_cast<int>(rng() % 1000);
    in.sidebarVisible = rng() % 2, in.statusBarVisible = rng() % 2, in.searchPanelOpen = rng() % 2;
    in.focusMode = rng() % 5 == 0;
    in.searchPanelWidth = 200 + static_cast<int>(rng() % 250);
    return in;
}

TEST(Layout, RegionsTileTheClientWithoutOverlap) {
    std::mt19937 rng(8);
    for (int round = 0; round < 300; ++round) {
        LayoutInput in = RandomInput(rng);
        in.focusMode = false;
        in.dpi = round % 3 ? 96 + 24 * static_cast<int>(rng() % 9) : 96;  // 100 % to 300 %
        in.width = Scale(in.width, in.dpi);
        in.height = Scale(in.height, in.dpi);
        SCOPED_TRACE(testing::Message() << in.width << "x" << in.height << " at " << in.dpi << " sidebar "
                                        << in.sidebarVisible << " status " << in.statusBarVisible << " panel "
                                        << in.searchPanelOpen);
        const LayoutRects r = ComputeLayout(in);
        const Rect client{0, 0, in.width, in.height};
        // The tab bar ends where the open search panel starts, so that the panel hides no tab.
        EXPECT_EQ(r.tabBar.right, r.searchPanel.Empty() ? in.width : r.searchPanel.left);
        // Everything but the square where the two scroll bars meet.
        const long long covered = DisjointInside({r.caption, r.menuBar, r.toolbar, r.sidebar, r.tabBar, r.editor,
                                                  r.vScroll, r.hScroll, r.statusBar, r.searchPanel},
                                                 client);
        const int bar = r.vScroll.Width();
        EXPECT_EQ(bar, Scale(kScrollBarSize, in.dpi));
        EXPECT_EQ(r.hScroll.Height(), bar);
        EXPECT_EQ(covered, Area(client) - static_cast<long long>(bar) * bar);
        EXPECT_EQ(r.sidebar.Empty(), !in.sidebarVisible);
        EXPECT_EQ(r.statusBar.Empty(), !in.statusBarVisible);
        EXPECT_EQ(r.searchPanel.Width(), in.searchPanelOpen ? Scale(in.searchPanelWidth, in.dpi) : 0);
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

// Every point of the window against what it shows: a caption button's rectangle is that button and
// no drag; the rest of the caption row drags (its top corners too: there is no top sizing band); a
// band of 6 design pixels along the left, right and bottom edges sizes, except when maximized.
TEST(Layout, FrameHitTestsFollowTheRectangles) {
    std::mt19937 rng(12);
    for (int round = 0; round < 300; ++round) {
        LayoutInput in = RandomInput(rng);
        in.focusMode = false;
        in.dpi = round % 3 == 0 ? 96 : kScaledDpis[round % 2];
        in.width = Scale(in.width, in.dpi), in.height = Scale(in.height, in.dpi);
        const bool maximized = round % 4 == 0;
        const LayoutRects r = ComputeLayout(in);
        const int band = Scale(6, in.dpi);
        for (int n = 0; n < 600; ++n) {
            // Half the points near an edge, where the bands and the caption's buttons are.
            const auto near = [&](int size) {
                const int d = static_cast<int>(rng() % (2 * band));
                return rng() % 2 ? d : size - 1 - d;
            };
            const int x = n % 2 ? static_cast<int>(rng() % in.width) : near(in.width);
            const int y = n % 3 ? static_cast<int>(rng() % in.height)
                                : n % 2 ? static_cast<int>(rng() % (r.caption.bottom + 2)) : near(in.height);
            int button = 0;
            for (const auto& [id, rect] : {std::pair{kCaptionMinimize, r.minimize}, {kCaptionMaximize, r.maximize},
                                           {kCaptionClose, r.close}, {kCaptionSidebarToggle, r.sidebarToggle}}) {
                EXPECT_EQ(rect, CaptionButtonRect(r, id));
                if (rect.Contains(x, y)) button = id;
            }
            ASSERT_EQ(button, CaptionButtonAt(r, x, y)) << x << "," << y;
            const bool left = x < band, right = x > in.width - band, bottom = y > in.height - band;
            FrameHit expected = FrameHit::Client;
            if (y < r.caption.bottom) expected = button ? FrameHit::Client : FrameHit::Caption;
            else if (maximized) expected = FrameHit::Client;
            else if (bottom) expected = left ? FrameHit::BottomLeft : right ? FrameHit::BottomRight : FrameHit::Bottom;
            else if (left || right) expected = left ? FrameHit::Left : FrameHit::Right;
            ASSERT_EQ(expected, FrameHitTest(r, in.width, in.height, x, y, maximized, in.dpi))
                << x << "," << y << " in " << in.width << "x" << in.height << " at " << in.dpi;
        }
    }
    EXPECT_TRUE(CaptionButtonRect(ComputeLayout(LayoutInput(kDesignDpi)), 4).Empty());
}

TEST(Layout, FocusModeCentresTheEditorWhateverElseIsShown) {
    for (int width : {600, 800, 1600, 2560}) {
        LayoutInput in(kDesignDpi);
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

TEST(DisplayScale, ScaleIsTheIdentityAt96AndRoundsToTheNearestPixel) {
    for (int px = -500; px <= 5000; ++px) {
        ASSERT_EQ(Scale(px, 96), px);
        for (int dpi : {120, 144, 168, 192, 240, 288}) {
            const double exact = static_cast<double>(px) * dpi / 96;
            ASSERT_LE(std::abs(Scale(px, dpi) - exact), 0.5) << px << " at " << dpi;
            // Back to design pixels loses nothing at scales of 100 % and more.
            ASSERT_EQ(Unscale(Scale(px, dpi), dpi), px) << px << " at " << dpi;
        }
    }
}

TEST(DisplayScale, TheMainWindowLayoutIsThe96OneScaled) {
    std::mt19937 rng(29);
    for (int round = 0; round < 300; ++round) {
        const LayoutInput design = RandomInput(rng);
        const LayoutRects at96 = ComputeLayout(design);
        for (int dpi : kScaledDpis) {
            LayoutInput in = design;  // the same window on a display of another scale
            in.dpi = dpi;
            in.width = Scale(design.width, dpi);
            in.height = Scale(design.height, dpi);
            const LayoutRects r = ComputeLayout(in);
            const std::vector<Rect> a = AllRects(at96), b = AllRects(r);
            for (size_t i = 0; i < a.size(); ++i) {
                EXPECT_EQ(a[i].Empty(), b[i].Empty()) << "region " << i;
                EXPECT_TRUE(ScaledWithinAPixel(a[i], b[i], dpi)) << "region " << i << " round " << round;
            }
            // The bars the user sees keep their proportions exactly.
            EXPECT_EQ(r.caption.Height(), Scale(at96.caption.Height(), dpi));
            EXPECT_EQ(r.menuBar.Height(), Scale(at96.menuBar.Height(), dpi));
            EXPECT_EQ(r.tabBar.Height(), Scale(at96.tabBar.Height(), dpi));
        }
    }
}

TEST(DisplayScale, ToolbarButtonsAreThe96OnesScaledAndHitAtTheirCentres) {
    const Rect toolbar96{0, 62, 1000, 92};
    for (int dpi : kScaledDpis) {
        const Rect toolbar{0, Scale(62, dpi), Scale(1000, dpi), Scale(92, dpi)};
        Rect previous{};
        for (int i = 0; i < kToolbarButtonCount; ++i) {
            const Rect b = ToolbarButtonRect(toolbar, i, dpi);
            EXPECT_TRUE(ScaledWithinAPixel(ToolbarButtonRect(toolbar96, i, 96), b, dpi)) << i;
            const Rect c = Centre(b);
            EXPECT_EQ(ToolbarButtonAt(toolbar, c.left, c.top, dpi), i);
            if (i > 0) {
                EXPECT_LT(previous.right, b.left);
            }
            previous = b;
        }
    }
}

TEST(DisplayScale, SearchPanelChildrenAreThe96OnesScaled) {
    for (const int w : {260, 300, 420}) {
        const SearchPanelLayout at96 = ComputeSearchPanelLayout(w, 600, 16, 96);
        const Rect a[] = {
            at96.close,       at96.findBox,        at96.replaceBox,    at96.caseButton,       at96.wordButton,
            at96.regexButton, at96.allFilesButton, at96.replaceButton, at96.replaceAllButton, at96.results};
        for (int dpi : kScaledDpis) {
            const SearchPanelLayout p = ComputeSearchPanelLayout(Scale(w, dpi), Scale(600, dpi), Scale(16, dpi), dpi);
            const Rect b[] = {p.close,       p.findBox,        p.replaceBox,    p.caseButton,       p.wordButton,
                              p.regexButton, p.allFilesButton, p.replaceButton, p.replaceAllButton, p.results};
            for (size_t i = 0; i < std::size(a); ++i) {
                EXPECT_TRUE(ScaledWithinAPixel(a[i], b[i], dpi)) << "child " << i << " width " << w;
                for (size_t j = i + 1; j < std::size(b); ++j) EXPECT_FALSE(Overlap(b[i], b[j])) << i << "," << j;
            }
            // The line of text stays centred in its scaled box.
            EXPECT_LE(std::abs((p.findText.top - 0) - (p.findBox.Height() - p.findText.bottom)), 1);
        }
    }
}

TEST(DisplayScale, TabStripAndMenuTitlesScale) {
    for (int dpi : kScaledDpis) {
        for (int text = 0; text < 400; text += 7) {
            // A title measured with the scaled font is the scaled width: the tab is the scaled tab.
            const int at96 = TabWidthForText(text, 96);
            EXPECT_LE(std::abs(TabWidthForText(Scale(text, dpi), dpi) - at96 * dpi / 96.0), 1.0) << text;
        }
        const std::vector<int> edges96 = TabEdges(220, {180, 210, 320});
        std::vector<int> edges;
        for (int e : edges96) edges.push_back(Scale(e, dpi));
        for (int tab = 0; tab < 3; ++tab) {
            for (int x = edges96[tab]; x < edges96[tab + 1]; ++x) {
                // Where the middle of a 96-dpi pixel column lands, the close mark and the tab are hit
                // as they were at 96 (the columns at the mark's edges may round either way).
                if (x == edges96[tab + 1] - 18 || x == edges96[tab + 1] - 7 || x == edges96[tab + 1] - 6) continue;
                const int scaledX = static_cast<int>((x + 0.5) * dpi / 96.0);
                EXPECT_EQ(TabCloseMarkHit(edges, tab, scaledX, dpi), TabCloseMarkHit(edges96, tab, x, 96)) << x;
                EXPECT_EQ(TabAt(edges, scaledX), tab);
            }
        }
        const std::vector<Rect> titles96 = LayoutTitleRects({30, 28, 55}, 32, 62, 96);
        const std::vector<Rect> titles =
            LayoutTitleRects({Scale(30, dpi), Scale(28, dpi), Scale(55, dpi)}, Scale(32, dpi), Scale(62, dpi), dpi);
        for (size_t i = 0; i < titles.size(); ++i) {
            // Sums of scaled parts: each part within half a pixel, so the edges within a pixel and a half.
            EXPECT_LE(std::abs(titles[i].left - titles96[i].left * dpi / 96.0), 1.5) << i;
            EXPECT_LE(std::abs(titles[i].right - titles96[i].right * dpi / 96.0), 1.5) << i;
            const Rect c = Centre(titles[i]);
            EXPECT_EQ(TitleAt(titles, c.left, c.top), static_cast<int>(i));
        }
    }
}

TEST(DisplayScale, TheShortestScrollThumbScales) {
    for (int dpi : kScaledDpis) {
        const ScrollThumb at96 = VerticalThumb(0, 500, 1000000, 30, 0, 96);
        const ScrollThumb v = VerticalThumb(0, Scale(500, dpi), 1000000, 30, 0, dpi);
        EXPECT_EQ(v.length, Scale(at96.length, dpi));
        const ScrollThumb h = HorizontalThumb(0, Scale(500, dpi), 100000000, 0, dpi);
        EXPECT_EQ(h.length, Scale(HorizontalThumb(0, 500, 100000000, 0, 96).length, dpi));
    }
}
