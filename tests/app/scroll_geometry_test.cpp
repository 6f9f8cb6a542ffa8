#include "base/scroll_geometry.h"

#include <climits>
#include <random>

#include <gtest/gtest.h>

// Random tracks and contents against what a scroll bar must do: a thumb shows only when not
// everything fits; its length is the visible share of the track but never under the minimum; it
// sits at the track's start for the first position (or one before it) and at its end for the last
// (or one past it), pinned to the start when the track is shorter than the thumb, and moves forward
// with the position. Dragging its centre to where it is drawn gives the position drawn there (or,
// when one position is worth several pixels, the last one drawn before it).
TEST(ScrollGeometry, ThumbsFollowTheirPositionAndDragBack) {
    std::mt19937_64 random(11);
    for (int round = 0; round < 20000; ++round) {
        const bool horizontal = round % 2;
        const int trackStart = static_cast<int>(random() % 500), track = static_cast<int>(random() % 800) - 20;
        const long long total = static_cast<long long>(random() % 5000), visible = static_cast<long long>(random() % 200);
        const long long t = std::max(track, 0), range = total - (horizontal ? t : visible);
        const auto thumbAt = [&](long long pos) {
            return horizontal ? HorizontalThumb(trackStart, track, total, pos, 96)
                              : VerticalThumb(trackStart, track, total, visible, pos, 96);
        };
        const ScrollThumb first = thumbAt(random() % 2 ? 0 : -7);
        ASSERT_EQ(range > 0, first.visible) << round;
        if (!first.visible) continue;
        ASSERT_EQ(std::max<long long>(kMinThumbLength, t * (horizontal ? t : visible) / total), first.length) << round;
        ASSERT_EQ(trackStart, first.start) << round;
        const ScrollThumb last = thumbAt(range + static_cast<long long>(random() % 2) * 1000);
        ASSERT_EQ(trackStart + std::max<long long>(t - first.length, 0), last.start) << round;
        int previous = first.start;
        for (long long pos : {range / 4, range / 2, range - 1}) {
            const ScrollThumb thumb = thumbAt(pos);
            ASSERT_TRUE(thumb.start >= previous && thumb.start <= last.start) << round;
            previous = thumb.start;
            const long long back = DragPosition(thumb.start + thumb.length / 2, trackStart, track, thumb.length, range);
            ASSERT_TRUE(back >= 0 && back <= range) << round;
            ASSERT_LE(thumbAt(back).start, thumb.start) << round;
            ASSERT_TRUE(back == range || thumbAt(back + 1).start >= thumb.start) << round;
        }
    }
}

TEST(ScrollGeometry, VerticalThumbWithHugeCountsDoesNotOverflow) {
    const ScrollThumb t = VerticalThumb(0, 400, LLONG_MAX, LLONG_MAX / 2, LLONG_MAX, 96);
    EXPECT_GE(t.length, 199);
    EXPECT_LE(t.length, 200);
    EXPECT_EQ(t.start + t.length, 400);
}

TEST(ScrollGeometry, DragPositionEnds) {
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
