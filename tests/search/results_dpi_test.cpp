// The results list's rows and thumbs at display scales above 96 dpi, against the 96-dpi answers
// for the same list.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/geometry.h"
#include "search/search_model.h"

TEST(ResultsDisplayScale, RowsAndThumbsAreThe96OnesScaled) {
    for (int dpi : {144, 192}) {
        const double f = dpi / 96.0;
        for (int rows : {5, 60, 3000}) {
            const int height = 300;
            for (int scroll : {0, 45, 1000, 1000000}) {
                const int scroll96 = ClampResultScrollY(scroll, rows, height, 96);
                const int scrolled = ClampResultScrollY(Scale(scroll, dpi), rows, Scale(height, dpi), dpi);
                EXPECT_LE(std::abs(scrolled - scroll96 * f), 1.0) << rows << " rows at " << dpi;
                for (int y = 11; y < height; y += 22) {
                    const int at = static_cast<int>((y + 0.5) * f);
                    EXPECT_EQ(ResultRowAt(at, Scale(scroll96, dpi), rows, dpi), ResultRowAt(y, scroll96, rows, 96))
                        << y;
                }
                const Thumb v96 = VerticalThumb(rows, height, scroll96, 96);
                const Thumb v = VerticalThumb(rows, Scale(height, dpi), Scale(scroll96, dpi), dpi);
                ASSERT_EQ(v.shown, v96.shown);
                if (v.shown) {
                    EXPECT_LE(std::abs(v.start - v96.start * f), 2.0);
                    EXPECT_LE(std::abs(v.length - v96.length * f), 2.0);
                }
            }
            // Showing a row keeps it whole in view at every scale.
            for (int row : {0, rows / 2, rows - 1}) {
                const int y = ScrollToShowRow(row, 0, Scale(height, dpi), dpi);
                EXPECT_LE(ResultRowAt(0, y, rows, dpi), row);
                const int last = ResultRowAt(Scale(height, dpi) - 1, y, rows, dpi);
                EXPECT_TRUE(last < 0 || last >= row) << row;
            }
        }
        const Thumb h96 = HorizontalThumb(2000, 280, 0, 96);
        const Thumb h = HorizontalThumb(Scale(2000, dpi), Scale(280, dpi), 0, dpi);
        ASSERT_TRUE(h.shown && h96.shown);
        EXPECT_LE(std::abs(h.length - h96.length * f), 2.0);
    }
}
