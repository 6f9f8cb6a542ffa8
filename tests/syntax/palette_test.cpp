// Properties of the palette rather than its table: text stays readable on every surface it is drawn
// on, the theme and the scheme choose their colours independently, and indices are clamped.
#include "syntax/palette.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/contrast.h"

namespace {

TEST(Palette, HexIsColorrefOrder) { EXPECT_EQ(0x00332211u, Hex(0x112233)); }

TEST(Palette, InterfaceTextIsReadableOnEverySurfaceOfEveryTheme) {
    for (int theme = 0; theme < kThemeCount; ++theme) {
        SCOPED_TRACE(theme);
        const Palette p = PaletteFor(theme, 0);
        for (Colour surface : {p.chromeColor, p.panelColor, p.editorColor, p.inputColor, p.hoverColor,
                               p.activeColor, p.selectionColor}) {
            EXPECT_GE(Contrast(p.textColor, surface), 4.5) << std::hex << surface;
            EXPECT_GE(Contrast(p.dimTextColor, surface), 3.0) << std::hex << surface;
        }
        EXPECT_GE(Contrast(p.lineNumberColor, p.editorColor), 3.0);
        EXPECT_GE(Contrast(p.accentColor, p.chromeColor), 3.0);
        // Faint text (placeholders) is quieter than dim text, yet not invisible.
        EXPECT_LT(Contrast(p.faintTextColor, p.editorColor), Contrast(p.dimTextColor, p.editorColor));
        EXPECT_GE(Contrast(p.faintTextColor, p.editorColor), 2.0);
    }
}

// Every style an editor draws with reads on the editor background of every theme, whatever scheme
// is chosen with it (text 4.5 : 1); the scroll thumbs stand out from the editor and the panels
// (3 : 1) in every state.
TEST(Palette, EveryStyleColourReadsOnEveryThemeWithEveryScheme) {
    for (int theme = 0; theme < kThemeCount; ++theme) {
        for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
            SCOPED_TRACE(testing::Message() << "theme " << theme << " scheme " << scheme);
            const Palette p = PaletteFor(theme, scheme);
            for (Colour c : {p.textColor, p.lineNumberColor, p.keywordColor, p.stringColor, p.propertyColor,
                             p.typeColor, p.commentColor, p.numberColor})
                EXPECT_GE(Contrast(c, p.editorColor), 4.5) << std::hex << c << " on " << p.editorColor;
            for (Colour thumb : {p.thumbColor, p.thumbHoverColor, p.thumbDragColor}) {
                EXPECT_GE(Contrast(thumb, p.editorColor), 3.0) << std::hex << thumb;
                EXPECT_GE(Contrast(thumb, p.panelColor), 3.0) << std::hex << thumb;
            }
        }
    }
}

TEST(Palette, ThemeAndSchemeChooseIndependentlyAndIndicesAreClamped) {
    for (int theme = 0; theme < kThemeCount; ++theme) {
        for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
            const Palette p = PaletteFor(theme, scheme), sameTheme = PaletteFor(theme, 0);
            EXPECT_EQ(p.editorColor, sameTheme.editorColor);
            EXPECT_EQ(p.textColor, sameTheme.textColor);
            EXPECT_EQ(p.selectionColor, sameTheme.selectionColor);
            // A scheme has one variant for light editor backgrounds and one for dark ones.
            const Palette sameSchemeDark = PaletteFor(0, scheme), sameSchemeLight = PaletteFor(1, scheme);
            const Palette& sameScheme = IsLightColour(p.editorColor) ? sameSchemeLight : sameSchemeDark;
            EXPECT_EQ(p.keywordColor, sameScheme.keywordColor);
            EXPECT_EQ(p.commentColor, sameScheme.commentColor);
        }
    }
    // The themes differ from one another where it shows most.
    EXPECT_NE(PaletteFor(0, 0).editorColor, PaletteFor(1, 0).editorColor);
    EXPECT_NE(PaletteFor(1, 0).editorColor, PaletteFor(2, 0).editorColor);
    EXPECT_EQ(PaletteFor(kThemeCount - 1, kSchemeCount - 1).textColor, PaletteFor(7, 9).textColor);
    EXPECT_EQ(PaletteFor(0, 0).keywordColor, PaletteFor(-3, -1).keywordColor);
}

TEST(Palette, StartValuesDifferOnlyInTheSelection) {
    Palette start = StartPalette();
    const Palette dark = PaletteFor(0, 0);
    EXPECT_NE(dark.selectionColor, start.selectionColor);
    start.selectionColor = dark.selectionColor;
    EXPECT_EQ(0, std::memcmp(&start, &dark, sizeof start));
}

}  // namespace
