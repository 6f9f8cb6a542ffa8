// The line-length tally's own bookkeeping. Its following of edits (typing, deleting, lines split
// and joined, "\r" and "\n" meeting or parting, undo, edits over too many lines) is tested against
// the real editing component in tests/app/line_lengths_component_test.cpp.
#include "document/line_lengths.h"

#include <gtest/gtest.h>

namespace {

TEST(LineLengthTally, AnUnknownLineInvalidatesInsteadOfGoingWrong) {
    LineLengthTally tally;
    tally.Reset();
    tally.Add(5);
    tally.Remove(7);
    EXPECT_FALSE(tally.Valid());
    EXPECT_EQ(0, tally.Longest());
    tally.Add(9);  // ignored until measured again
    EXPECT_EQ(0, tally.Longest());
}

}  // namespace
