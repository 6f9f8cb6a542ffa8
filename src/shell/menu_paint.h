#pragma once
// Drawing the menu popups: the shadowed body and its rows, rendered with GDI+ into a layered window.
#include <windows.h>

#include <string>
#include <vector>

#include "base/gdiplus_inc.h"
#include "syntax/palette.h"

// One row of a popup as it is drawn.
struct PopupRow {
    bool separator = false;
    std::wstring label, shortcut;
    bool checked = false, opensSubmenu = false, hovered = false;
};

struct PopupImage {
    int bodyWidth = 0, bodyHeight = 0;
    int scroll = 0;      // pixels of rows above the body's top
    int labelRight = 0;  // right end of the label box, popup coordinates
    std::vector<PopupRow> rows;
};

// The popups are measured and drawn in design pixels and scaled to the display as a whole, so
// their fonts are the menu font at its design size; shortcuts use the same face one unit smaller.
LOGFONTW MenuLogFont();
LOGFONTW ShortcutLogFont();
// Dark text on light fills; the fixed white would vanish on the Light theme's greys.
Colour TextOnFill(Colour fill);
// Widest of some texts in a font, measured the way they are drawn.
double WidestText(Gdiplus::Graphics& g, const Gdiplus::Font& font, const std::vector<const std::wstring*>& texts);
// Renders a popup into a premultiplied 32-bit image and hands it to the layered window at `position`.
void PaintMenuPopup(HWND window, POINT position, const PopupImage& image);
