#pragma once
#include <windows.h>

#include "app/geometry.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Recomputes every layout rectangle from the client size and the flags, moves the child windows
// and repaints.
void Layout();
// Repaints one area of the main window (no erase: painting covers every pixel).
void RepaintArea(const Rect& area);
void ToggleMaximize();
// Stores the window placement and fills the work area of the nearest monitor.
void EnterMaximized();
void ExitFocusMode();
// Asks the system for a dark frame on a window.
void SetDarkFrame(HWND window);
