#pragma once
// The process-wide palette: thirteen interface colours chosen by the theme and six syntax colours
// chosen by the colour scheme. Colours are COLORREF values (red in the lowest byte).
#include <cstdint>

using Colour = uint32_t;

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }
constexpr Colour Hex(uint32_t rrggbb) { return Rgb((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

struct Palette {
    Colour chromeColor, panelColor, editorColor, inputColor, hoverColor, activeColor, selectionColor, textColor,
        dimTextColor, faintTextColor, lineNumberColor, accentColor, borderColor;
    Colour keywordColor, stringColor, propertyColor, typeColor, commentColor, numberColor;
};

constexpr int kThemeCount = 3;
constexpr int kSchemeCount = 6;

extern Palette palette;

// The palette for a theme and scheme row (indices are clamped into range).
Palette PaletteFor(int theme, int scheme);
// The palette before any theme is applied: theme 0, scheme 0, selection #3D5A7B.
Palette StartPalette();
const wchar_t* SchemeName(int scheme);
