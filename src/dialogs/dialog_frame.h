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
// The dialogs are laid out in design pixels (96 dpi); the functions below scale what they are given
// to the main window's display.
// A hidden popup of the given size, centred on the main window and owned by it.
HWND CreateDialogWindow(const wchar_t* className, const std::wstring& title, int designWidth, int designHeight);
// An owner-drawn push button that reports the mouse hovering over it (see IsHot).
HWND CreateOwnerDrawnButton(HWND dialog, int id, const Rect& designBox, const std::wstring& text, bool tabStop);
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
void PaintDialogFrame(HDC dc, const RECT& client, const std::wstring& caption);
// The close button: red under the mouse or pressed, an X in its centre.
void DrawCloseButton(const DRAWITEMSTRUCT& item);
// WM_NCHITTEST: the title strip drags the window, except over the close button (a design rectangle).
LRESULT DialogHitTest(HWND dialog, LPARAM screenPoint, const Rect& closeButton);
