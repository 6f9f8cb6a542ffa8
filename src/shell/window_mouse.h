#pragma once
// The main window's mouse: hover marks, and presses on the caption, menu bar, toolbar, tab bar,
// scroll bars and editor area. Points are in client pixels.
#include <windows.h>

void MainWindowMouseMove(int x, int y);
void MainWindowMouseLeave();
// `keys` are the message's key flags, passed on to the editor.
void MainWindowLeftButtonDown(int x, int y, WPARAM keys);
void MainWindowLeftButtonUp();
// A right click on a tab opens the tab menu.
void MainWindowRightButtonUp(int x, int y);
// Another window took the mouse: drags in progress end.
void MainWindowCaptureChanged();
