// The window's geometry at display scales above 96 dpi, as properties against the 96-dpi layout of
// the same window: every rectangle is the 96 one scaled (within a pixel), the regions still tile
// the client, and the hit tests land on the scaled rectangles.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "app/hit_test.h"
#include "app/layout.h"
#include "app/scroll_geometry.h"
#include "document/tab_rules.h"
#include "ui/menu_model.h"

namespace {

constexpr int kScaledDpis[] = {144, 192};

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

bool Overlap(const Rect& a, const Rect& b) {
    return !a.Empty() && !b.Empty() && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

long long Area(const Rect& r) { return r.Empty() ? 0 : static_cast<long long>(r.Width()) * r.Height(); }

Rect Centre(const Rect& r) {
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    return Rect{x, y, x + 1, y + 1};
}

LayoutInput RandomInput(std::mt19937& rng) {
    LayoutInput in;
    in.width = 700 + static_cast<int>(rng() % 1400);
    in.height = 400 + static_cast<int>(rng() % 1000);
    in.sidebarVisible = rng() % 2, in.statusBarVisible = rng() % 2, in.searchPanelOpen = rng() % 2;
    in.focusMode = rng() % 5 == 0;
    in.searchPanelWidth = 200 + static_cast<int>(rng() % 250);
    return in;
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

TEST(DisplayScale, RegionsTileTheClientWithoutOverlapAtEveryScale) {
    std::mt19937 rng(30);
    for (int round = 0; round < 300; ++round) {
        LayoutInput in = RandomInput(rng);
        in.focusMode = false;
        in.dpi = 96 + 24 * static_cast<int>(rng() % 9);  // 100 % to 300 %
        in.width = Scale(in.width, in.dpi);
        in.height = Scale(in.height, in.dpi);
        SCOPED_TRACE(testing::Message() << in.width << "x" << in.height << " at " << in.dpi);
        const LayoutRects r = ComputeLayout(in);
        Rect tabs = r.tabBar;
        if (!r.searchPanel.Empty()) tabs.right = r.searchPanel.left;
        const std::vector<Rect> parts{r.caption, r.menuBar, r.toolbar, r.sidebar,   tabs,
                                      r.editor,  r.vScroll, r.hScroll, r.statusBar, r.searchPanel};
        const Rect client{0, 0, in.width, in.height};
        long long covered = 0;
        for (size_t i = 0; i < parts.size(); ++i) {
            for (size_t j = i + 1; j < parts.size(); ++j) EXPECT_FALSE(Overlap(parts[i], parts[j])) << i << "," << j;
            EXPECT_TRUE(parts[i].Empty() || (parts[i].left >= 0 && parts[i].top >= 0 && parts[i].right <= in.width &&
                                             parts[i].bottom <= in.height))
                << i;
            covered += Area(parts[i]);
        }
        // Everything but the square where the two scroll bars meet.
        const int bar = r.vScroll.Width();
        EXPECT_EQ(covered, Area(client) - static_cast<long long>(bar) * bar);
        EXPECT_EQ(r.hScroll.Height(), bar);
    }
}

TEST(DisplayScale, CaptionHitTestsLandOnTheScaledButtons) {
    for (int dpi : kScaledDpis) {
        LayoutInput in;
        in.width = Scale(1000, dpi), in.height = Scale(700, dpi), in.dpi = dpi;
        const LayoutRects r = ComputeLayout(in);
        for (int id : {kCaptionMinimize, kCaptionMaximize, kCaptionClose, kCaptionSidebarToggle}) {
            const Rect c = Centre(CaptionButtonRect(r, id));
            EXPECT_EQ(CaptionButtonAt(r, c.left, c.top), id) << id << " at " << dpi;
            EXPECT_EQ(FrameHitTest(r, in.width, in.height, c.left, c.top, false, dpi), FrameHit::Client);
        }
        // The whole scaled caption row drags, down to its last pixel row.
        EXPECT_EQ(FrameHitTest(r, in.width, in.height, in.width / 2, r.caption.bottom - 1, false, dpi),
                  FrameHit::Caption);
        EXPECT_EQ(FrameHitTest(r, in.width, in.height, in.width / 2, r.caption.bottom, false, dpi), FrameHit::Client);
        // The sizing bands grow with the scale: 6 design pixels.
        const int band = Scale(6, dpi);
        EXPECT_EQ(FrameHitTest(r, in.width, in.height, band - 1, 300, false, dpi), FrameHit::Left);
        EXPECT_EQ(FrameHitTest(r, in.width, in.height, band, 300, false, dpi), FrameHit::Client);
        EXPECT_EQ(FrameHitTest(r, in.width, in.height, in.width / 2, in.height - band, false, dpi), FrameHit::Client);
        EXPECT_EQ(FrameHitTest(r, in.width, in.height, in.width / 2, in.height - band + 1, false, dpi),
                  FrameHit::Bottom);
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
            if (i > 0) EXPECT_LT(previous.right, b.left);
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
