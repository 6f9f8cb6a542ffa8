#pragma once
// Small drawing helpers shared by everything that paints into the back buffer.
#include <windows.h>
#include <string>

#include "base/geometry.h"

void FillSolid(HDC dc, const Rect& r, COLORREF colour);
void FillSolid(HDC dc, const RECT& r, COLORREF colour);
// Single-line text in a box, transparent background; `format` adds DT_* flags (alignment, ellipsis).
void DrawTextBox(HDC dc, const std::wstring& text, const Rect& box, HFONT font, COLORREF colour, UINT format);
// A rounded rectangle from r.left, r.top to r.right, r.bottom, filled and outlined one pixel wide.
void RoundBox(HDC dc, const RECT& r, int corner, COLORREF fill, COLORREF outline);
void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour);
// Asks the system for a dark frame on a window.
void SetDarkFrame(HWND window);
// A font of `face` whose characters are `height` design pixels tall, made for a display at `dpi`;
// the caller owns it.
HFONT CreateDesignFont(const wchar_t* face, int height, int weight, int dpi);
// The interface font (app.uiFont) of labels, buttons, lists and the status bar.
HFONT CreateUiFont(int dpi);
// The bold font of window and dialog captions (app.captionFont).
HFONT CreateCaptionFont(int dpi);
// The text as it fits `width` pixels in `font`: whole when it fits, else its longest beginning
// followed by "…" that fits (the end is what is cut, never the front).
std::wstring EndEllipsisText(HDC dc, HFONT font, const std::wstring& text, int width);
// Width of a text in a font, in pixels.
int TextWidth(HDC dc, HFONT font, const std::wstring& text);
// Character height of a font, in pixels.
int FontHeight(HDC dc, HFONT font);

// Dots per inch of the display `window` is on (the primary display's for nullptr). Asked of the
// system's per-window call where there is one; older systems answer for the whole screen.
int WindowDpi(HWND window);

// Size of "M" in the editor's monospace font (app.monoFont) on the main window; at least 1 x 1.
SIZE MonoCellSize();

// Where the pointer is, in the client coordinates of `window`.
inline POINT CursorInClient(HWND window) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return p;
}

// A solid brush kept for the colour last asked for, for WM_CTLCOLOR* answers that follow the theme.
struct ColourBrush {
    HBRUSH brush = nullptr;
    COLORREF colour = 0;
    HBRUSH For(COLORREF wanted) {
        if (!brush || colour != wanted) {
            if (brush) DeleteObject(brush);
            colour = wanted;
            brush = CreateSolidBrush(wanted);
        }
        return brush;
    }
    void Release() {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
};
