#pragma once
// The process-wide palette: thirteen interface colours and three scroll-thumb colours chosen by the
// theme, and six syntax colours chosen by the colour scheme, in the scheme's variant for a light or
// a dark editor background. Colours are COLORREF values (red in the lowest byte).
//
// Readability: every syntax colour, the text and the line numbers stand out from the editor
// background of every theme by a contrast ratio of at least 4.5 : 1; the thumbs stand out from the
// editor and panel backgrounds by at least 3 : 1.
#include <cstdint>

using Colour = uint32_t;

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }
constexpr Colour Hex(uint32_t rrggbb) { return Rgb((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

struct Palette {
    Colour chromeColor, panelColor, editorColor, inputColor, hoverColor, activeColor, selectionColor, textColor,
        dimTextColor, faintTextColor, lineNumberColor, accentColor, borderColor;
    Colour thumbColor, thumbHoverColor, thumbDragColor;
    Colour keywordColor, stringColor, propertyColor, typeColor, commentColor, numberColor;
};

constexpr int kThemeCount = 3;
constexpr int kSchemeCount = 6;

extern Palette palette;

// The contrast ratio of two colours, 1 to 21, from their relative luminance.
double ContrastRatio(Colour a, Colour b);

// Whether a background is light (dark text belongs on it): its luminance is above the middle.
bool IsLightColour(Colour background);

// The palette for a theme and scheme row (indices are clamped into range); the scheme's light
// variant when the theme's editor background is light.
Palette PaletteFor(int theme, int scheme);
// The palette before any theme is applied: theme 0, scheme 0, selection #3D5A7B.
Palette StartPalette();
const wchar_t* SchemeName(int scheme);
