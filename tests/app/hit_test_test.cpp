#include "app/hit_test.h"

#include <gtest/gtest.h>

namespace {

constexpr int kW = 1000;
constexpr int kH = 700;

LayoutRects Layout() {
    LayoutInput in;
    in.width = kW;
    in.height = kH;
    return ComputeLayout(in);
}

}  // namespace

TEST(HitTest, CaptionRowDragsExceptOnButtons) {
    const LayoutRects r = Layout();
    EXPECT_EQ(FrameHitTest(r, kW, kH, 500, 10, false, 96), FrameHit::Caption);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 0, 0, false, 96), FrameHit::Caption);  // no top/left sizing here
    EXPECT_EQ(FrameHitTest(r, kW, kH, 2, 31, false, 96), FrameHit::Caption);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 999, 0, false, 96), FrameHit::Client);    // close button corner
    EXPECT_EQ(FrameHitTest(r, kW, kH, 862, 31, false, 96), FrameHit::Client);   // minimize
    EXPECT_EQ(FrameHitTest(r, kW, kH, 826, 3, false, 96), FrameHit::Client);    // sidebar toggle
    EXPECT_EQ(FrameHitTest(r, kW, kH, 826, 2, false, 96), FrameHit::Caption);   // just above it
    EXPECT_EQ(FrameHitTest(r, kW, kH, 855, 10, false, 96), FrameHit::Caption);  // between toggle and minimize
    EXPECT_EQ(FrameHitTest(r, kW, kH, 500, 10, true, 96), FrameHit::Caption);   // still draggable when maximized
}

TEST(HitTest, SizingBordersBelowCaption) {
    const LayoutRects r = Layout();
    EXPECT_EQ(FrameHitTest(r, kW, kH, 0, 32, false, 96), FrameHit::Left);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 5, 300, false, 96), FrameHit::Left);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 6, 300, false, 96), FrameHit::Client);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 995, 300, false, 96), FrameHit::Right);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 994, 300, false, 96), FrameHit::Client);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 500, 695, false, 96), FrameHit::Bottom);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 500, 694, false, 96), FrameHit::Client);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 0, 699, false, 96), FrameHit::BottomLeft);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 999, 699, false, 96), FrameHit::BottomRight);
    EXPECT_EQ(FrameHitTest(r, kW, kH, 500, 400, false, 96), FrameHit::Client);
}

TEST(HitTest, MaximizedHasNoBorders) {
    const LayoutRects r = Layout();
    const int points[][2] = {{0, 300}, {999, 300}, {500, 699}, {0, 699}, {999, 699}};
    for (const auto& [x, y] : points)
        EXPECT_EQ(FrameHitTest(r, kW, kH, x, y, true, 96), FrameHit::Client) << x << "," << y;
}

TEST(HitTest, CaptionButtons) {
    const LayoutRects r = Layout();
    EXPECT_EQ(CaptionButtonRect(r, 1), r.minimize);
    EXPECT_EQ(CaptionButtonRect(r, 2), r.maximize);
    EXPECT_EQ(CaptionButtonRect(r, 3), r.close);
    EXPECT_EQ(CaptionButtonRect(r, 5), r.sidebarToggle);
    EXPECT_TRUE(CaptionButtonRect(r, 4).Empty());
    EXPECT_TRUE(CaptionButtonRect(r, 0).Empty());

    EXPECT_EQ(CaptionButtonAt(r, 953, 10), 2);
    EXPECT_EQ(CaptionButtonAt(r, 954, 10), 3);
    EXPECT_EQ(CaptionButtonAt(r, 907, 10), 1);
    EXPECT_EQ(CaptionButtonAt(r, 853, 28), 5);
    EXPECT_EQ(CaptionButtonAt(r, 854, 28), 0);
    EXPECT_EQ(CaptionButtonAt(r, 954, 32), 0);
    EXPECT_EQ(CaptionButtonAt(r, 100, 10), 0);
}
