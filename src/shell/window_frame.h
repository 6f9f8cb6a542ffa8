#pragma once
// The main window's frame: where its parts lie (the layout pass), repainting them, the wheel over
// the tab bar, and the screen modes (maximized, full screen, distraction free).
#include <windows.h>

#include "base/geometry.h"

// A wheel turn (screen point in lParam) over the tab bar scrolls the strip; false elsewhere.
bool WheelOverTabBar(WPARAM wParam, LPARAM lParam);

// Recomputes every layout rectangle from the client size and the flags, moves the child windows
// and repaints.
void Layout();
// Repaints one area of the main window (no erase: painting covers every pixel).
void RepaintArea(const Rect& area);
// Draws the status bar straight to the window at once, for work that keeps the thread from painting.
void PaintStatusBarNow();
void ToggleMaximize();
// Stores the window placement and fills the work area of the nearest monitor.
void EnterMaximized();
// F11 (leaves distraction free when it is on), Shift+F11, and Escape's way out of distraction free.
void ToggleFullScreen();
void ToggleFocusMode();
void ExitFocusMode();
