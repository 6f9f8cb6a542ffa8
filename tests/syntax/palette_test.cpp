#include "syntax/palette.h"

#include <gtest/gtest.h>

TEST(Palette, ColoursAreInColorrefOrder) {
    EXPECT_EQ(0x00332211u, Hex(0x112233));
    EXPECT_EQ(0x001E1E1Eu, PaletteFor(0, 0).editorColor);
    EXPECT_EQ(Hex(0xF92672), PaletteFor(0, 0).keywordColor);
}

TEST(Palette, StartValuesDifferOnlyInTheSelection) {
    const Palette start = StartPalette();
    const Palette dark = PaletteFor(0, 0);
    EXPECT_EQ(Hex(0x3D5A7B), start.selectionColor);
    EXPECT_EQ(Hex(0x1F2C42), dark.selectionColor);
    EXPECT_EQ(dark.editorColor, start.editorColor);
    EXPECT_EQ(dark.commentColor, start.commentColor);
}

TEST(Palette, ThemeAndSchemeAreIndependent) {
    const Palette lightNord = PaletteFor(1, 3);
    EXPECT_EQ(Hex(0xFFFFFF), lightNord.editorColor);
    EXPECT_EQ(Hex(0x88C0D0), lightNord.keywordColor);
    EXPECT_EQ(Hex(0xFFE000), PaletteFor(2, 5).accentColor);
    EXPECT_EQ(Hex(0x9A009A), PaletteFor(2, 5).numberColor);
    // Out-of-range indices never read past the tables.
    EXPECT_EQ(PaletteFor(2, 5).textColor, PaletteFor(7, 9).textColor);
}
