#include "app/scroll_geometry.h"

#include <climits>

#include <gtest/gtest.h>

TEST(ScrollGeometry, VerticalThumbFollowsPosition) {
    // Track 100..500, 1000 lines, 100 visible: thumb 40 px with 360 px of travel.
    EXPECT_FALSE(VerticalThumb(100, 400, 100, 100, 0).visible);
    EXPECT_FALSE(VerticalThumb(100, 400, 50, 100, 0).visible);

    ScrollThumb t = VerticalThumb(100, 400, 1000, 100, 0);
    EXPECT_TRUE(t.visible);
    EXPECT_EQ(t.length, 40);
    EXPECT_EQ(t.start, 100);
    EXPECT_EQ(VerticalThumb(100, 400, 1000, 100, 450).start, 280);
    EXPECT_EQ(VerticalThumb(100, 400, 1000, 100, 900).start, 460);
    // Out-of-range positions pin to the ends instead of leaving the track.
    EXPECT_EQ(VerticalThumb(100, 400, 1000, 100, 5000).start, 460);
    EXPECT_EQ(VerticalThumb(100, 400, 1000, 100, -7).start, 100);

    // Both steps truncate: 401/3 = 133.67 -> 133, then 0.5 * 268 = 134.
    t = VerticalThumb(0, 401, 3, 1, 1);
    EXPECT_EQ(t.length, 133);
    EXPECT_EQ(t.start, 134);
}

TEST(ScrollGeometry, VerticalThumbMinimumLengthAndTinyTracks) {
    ScrollThumb t = VerticalThumb(50, 400, 1000000, 10, 1000000);
    EXPECT_EQ(t.length, 24);
    EXPECT_EQ(t.start, 50 + 376);

    // Track shorter than the minimum thumb: no travel, nothing negative.
    for (int track : {0, 10, 23, 24}) {
        t = VerticalThumb(50, track, 1000, 10, 500);
        EXPECT_TRUE(t.visible);
        EXPECT_EQ(t.length, 24);
        EXPECT_EQ(t.start, 50) << track;
    }
    t = VerticalThumb(50, -20, 1000, 10, 500);
    EXPECT_EQ(t.start, 50);
    EXPECT_EQ(t.length, 24);
}

TEST(ScrollGeometry, VerticalThumbWithHugeCountsDoesNotOverflow) {
    const ScrollThumb t = VerticalThumb(0, 400, LLONG_MAX, LLONG_MAX / 2, LLONG_MAX);
    EXPECT_GE(t.length, 199);
    EXPECT_LE(t.length, 200);
    EXPECT_EQ(t.start + t.length, 400);
}

TEST(ScrollGeometry, HorizontalThumb) {
    EXPECT_FALSE(HorizontalThumb(10, 300, 300, 0).visible);
    ScrollThumb t = HorizontalThumb(10, 300, 900, 300);
    EXPECT_TRUE(t.visible);
    EXPECT_EQ(t.length, 100);
    EXPECT_EQ(t.start, 110);
    EXPECT_EQ(HorizontalThumb(10, 300, 900, 10000).start, 210);
    EXPECT_EQ(HorizontalThumb(10, 300, 100000, 0).length, 24);

    t = HorizontalThumb(10, 8, 1000, 500);
    EXPECT_EQ(t.length, 24);
    EXPECT_EQ(t.start, 10);
}

TEST(ScrollGeometry, DragPosition) {
    // Track 100..500, thumb 40: the centre travels from 120 to 480.
    EXPECT_EQ(DragPosition(120, 100, 400, 40, 900), 0);
    EXPECT_EQ(DragPosition(121, 100, 400, 40, 900), 2);  // 2.5 truncated
    EXPECT_EQ(DragPosition(300, 100, 400, 40, 900), 450);
    EXPECT_EQ(DragPosition(480, 100, 400, 40, 900), 900);
    EXPECT_EQ(DragPosition(-5000, 100, 400, 40, 900), 0);
    EXPECT_EQ(DragPosition(5000, 100, 400, 40, 900), 900);
    EXPECT_EQ(DragPosition(5000, 100, 400, 40, LLONG_MAX), LLONG_MAX);

    // No travel left for the thumb: a fixed, finite answer.
    EXPECT_EQ(DragPosition(300, 100, 24, 24, 900), 0);
    EXPECT_EQ(DragPosition(300, 100, 10, 24, 900), 0);
    EXPECT_EQ(DragPosition(300, 100, 400, 40, 0), 0);
}

TEST(ScrollGeometry, PageScrollClamps) {
    EXPECT_EQ(PageScroll(10, 30, 1, 100, 20), 40);
    EXPECT_EQ(PageScroll(10, 30, -1, 100, 20), 0);
    EXPECT_EQ(PageScroll(70, 30, 1, 100, 20), 80);
    EXPECT_EQ(PageScroll(10, 30, 1, 15, 20), 0);      // everything fits
    EXPECT_EQ(PageScroll(500, 30, -1, 100, 20), 80);  // start beyond the end
    EXPECT_EQ(PageScroll(5, LLONG_MAX, 1, LLONG_MAX, 0), LLONG_MAX);
    EXPECT_EQ(PageScroll(5, LLONG_MAX, -3, LLONG_MAX, 0), 0);
}

TEST(ScrollGeometry, HexRowCount) {
    EXPECT_EQ(HexRowCount(0), 0);
    EXPECT_EQ(HexRowCount(1), 1);
    EXPECT_EQ(HexRowCount(16), 1);
    EXPECT_EQ(HexRowCount(17), 2);
    EXPECT_EQ(HexRowCount(16ULL * INT_MAX), INT_MAX);
    EXPECT_EQ(HexRowCount(16ULL * INT_MAX + 1), INT_MAX);
    EXPECT_EQ(HexRowCount(ULLONG_MAX), INT_MAX);
}

TEST(ScrollGeometry, LineNumberMarginWidth) {
    EXPECT_EQ(LineNumberMarginWidth(0, 8), 18);
    EXPECT_EQ(LineNumberMarginWidth(9, 8), 18);
    EXPECT_EQ(LineNumberMarginWidth(10, 8), 26);
    EXPECT_EQ(LineNumberMarginWidth(1000000, 8), 66);
    EXPECT_EQ(LineNumberMarginWidth(99, 0), 30);
    EXPECT_EQ(LineNumberMarginWidth(99, -3), 30);
    EXPECT_EQ(LineNumberMarginWidth(LLONG_MAX, INT_MAX), INT_MAX);
}
