#pragma once
// What the settings and about dialogs share: a frameless, self-drawn modal window owned by the
// main window, with a title strip that drags it, a close button and owner-drawn buttons that
// light up under the mouse.
#include <windows.h>

#include <string>

#include "base/geometry.h"

constexpr int kCloseButtonId = 1011;

// True while one of the dialogs or the key-binding list is open; the others then do nothing.
bool DialogIsOpen();

// Registers `className` once (arrow cursor, no background brush: the dialogs paint everything).
void RegisterDialogClass(const wchar_t* className, WNDPROC proc);

// A dialog's own display scale and the fonts made for it. The dialogs are designed in 96-dpi pixels;
// a dialog opens at the scale of the display under the main window and follows its own window's
// WM_DPICHANGED from then on, whatever the main window does.
struct DialogDisplay {
    int dpi = kDesignDpi;
    HFONT uiFont = nullptr, captionFont = nullptr;
    int Px(int design) const { return Scale(design, dpi); }
    Rect Px(const Rect& design) const { return Scale(design, dpi); }
    // Makes the fonts for `newDpi`; the old ones are left to the caller (see FollowDpiChange).
    void MakeFonts(int newDpi);
    void DeleteFonts();
};
// The scale a dialog opens at: that of the display the main window is on.
int DialogOpeningDpi();

// A hidden popup `width` x `height` pixels, centred on the main window and owned by it.
HWND CreateDialogWindow(const wchar_t* className, const std::wstring& title, int width, int height);
// An owner-drawn push button at `box` (pixels) that reports the mouse hovering over it (see IsHot).
HWND CreateOwnerDrawnButton(HWND dialog, int id, const Rect& box, const std::wstring& text, bool tabStop, HFONT font);
// Moves a child window to `box` (pixels) without repainting it yet.
void PlaceChild(HWND dialog, int id, const Rect& box);
// WM_DPICHANGED (or a scale found different after opening): new fonts for `dpi` on the dialog and
// all its children, the old ones released, and the window moved to `suggested`, or, where the
// system suggests nothing, resized to width x height about its centre. The caller then places its
// controls for the new scale and repaints.
void FollowDpiChange(HWND dialog, DialogDisplay& display, int dpi, const RECT* suggested, int width, int height);
// True while the mouse is over the button, or the platform reports it hot.
bool IsHot(const DRAWITEMSTRUCT& item);
bool IsPressed(const DRAWITEMSTRUCT& item);

// Disables the main window, shows `dialog`, focuses `focus` and runs the dialog's own message loop
// (Tab moves between fields, Enter presses OK, Escape Cancel) until the window is gone; then the
// main window is repainted.
void RunModal(HWND dialog, HWND focus);
// Modal windows open now (RunModal counts its own); DialogIsOpen is true while any is.
void NoteModalOpened();
void NoteModalClosed();

// Re-enables the main window, brings it forward and destroys the dialog.
void EndModal(HWND dialog);

// Background, title strip with icon and caption, and the 1-pixel frame.
void PaintDialogFrame(HDC dc, const RECT& client, const std::wstring& caption, const DialogDisplay& display);
// The close button: red under the mouse or pressed, an X in its centre.
void DrawCloseButton(const DRAWITEMSTRUCT& item, int dpi);
// WM_NCHITTEST: the title strip drags the window, except over the close button (a design rectangle);
// the point is measured at the dialog's own scale.
LRESULT DialogHitTest(HWND dialog, LPARAM screenPoint, const Rect& closeButton, int dpi);
