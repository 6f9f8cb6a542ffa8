#pragma once
// The main window: its procedure, its layout and painting, and the screen modes.
#include <windows.h>

#include "app/geometry.h"

// Automation: the active tab's state for test drivers and accessibility tools. The result packs
// encoding (bits 0-3), line ending (4-7), hex mode (8), mapped (9), modified (10), read-only
// file (11); -1 when no tab is active.
constexpr UINT kQueryActiveTabState = WM_APP + 0x54;
LRESULT ActiveTabState();
// For tests driving the program from outside: the next copy of a whole text or file fails as on a
// machine out of memory (CheckLargeAllocation).
constexpr UINT kFailNextLargeAllocation = WM_APP + 0x57;

// A wheel turn (screen point in lParam) over the tab bar scrolls the strip; false elsewhere.
bool WheelOverTabBar(WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
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
