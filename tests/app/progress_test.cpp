#include "workflow/progress.h"

#include <gtest/gtest.h>

// Short work shows nothing; long work shows each new whole percentage once, never beyond 100.
TEST(Progress, DrawnOnlyForLongWorkAndOnlyWhenItChanges) {
    ProgressClock clock;
    clock.startMs = 1000;
    EXPECT_EQ(-1, ProgressToDraw(clock, 1000, 10, 100));
    EXPECT_EQ(-1, ProgressToDraw(clock, 1000 + kProgressDelayMs - 1, 90, 100));
    EXPECT_EQ(90, ProgressToDraw(clock, 1000 + kProgressDelayMs, 90, 100));
    EXPECT_EQ(-1, ProgressToDraw(clock, 2000, 905, 1000));
    EXPECT_EQ(91, ProgressToDraw(clock, 2000, 910, 1000));
    EXPECT_EQ(100, ProgressToDraw(clock, 3000, 5000, 1000));
    EXPECT_EQ(-1, ProgressToDraw(clock, 3000, 1000, 1000));
    // Sizes beyond 4 GiB keep their proportions.
    ProgressClock large;
    EXPECT_EQ(50, ProgressToDraw(large, 10000, uint64_t(3) << 32, uint64_t(6) << 32));
    EXPECT_EQ(-1, ProgressToDraw(large, 10000, 0, 0));
}
