// The sidebar's rows and thumb at display scales above 96 dpi, against the 96-dpi answers for the
// same list: the scaled list is the 96 one scaled.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/geometry.h"
#include "project/sidebar_rows.h"

TEST(SidebarDisplayScale, RowsAndThumbAreThe96OnesScaled) {
    for (int dpi : {144, 192}) {
        const double f = dpi / 96.0;
        for (size_t rows : {3u, 40u, 1000u}) {
            for (int height : {200, 550}) {
                for (int scroll : {0, 37, 500, 100000}) {
                    const int scroll96 = ClampSidebarScrollValue(scroll, rows, height, 96);
                    const int scrolled = ClampSidebarScrollValue(Scale(scroll, dpi), rows, Scale(height, dpi), dpi);
                    EXPECT_LE(std::abs(scrolled - scroll96 * f), 1.0) << rows << " rows, " << dpi << " dpi";
                    // The middle of each visible 96-dpi row lands on the same row at the scale.
                    for (int y = 11; y < height; y += 22) {
                        const int at = static_cast<int>((y + 0.5) * f);
                        EXPECT_EQ(SidebarRowAt(Scale(scroll96, dpi), at, rows, dpi),
                                  SidebarRowAt(scroll96, y, rows, 96))
                            << y;
                    }
                    const RowRange a = VisibleSidebarRows(scroll96, height, rows, 96);
                    const RowRange b = VisibleSidebarRows(Scale(scroll96, dpi), Scale(height, dpi), rows, dpi);
                    EXPECT_EQ(a.first, b.first);
                    EXPECT_LE(b.last > a.last ? b.last - a.last : a.last - b.last, 1u);
                    const SidebarThumb t96 = SidebarThumbRect(220, height, rows, scroll96, 96);
                    const SidebarThumb t =
                        SidebarThumbRect(Scale(220, dpi), Scale(height, dpi), rows, Scale(scroll96, dpi), dpi);
                    ASSERT_EQ(t.exists, t96.exists);
                    if (!t.exists) continue;
                    EXPECT_LE(std::abs(t.left - t96.left * f), 1.0);
                    EXPECT_LE(std::abs(t.right - t96.right * f), 1.0);
                    EXPECT_LE(std::abs(t.top - t96.top * f), 2.0);
                    EXPECT_LE(std::abs(t.bottom - t96.bottom * f), 2.0);
                }
            }
        }
    }
}
