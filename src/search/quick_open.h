#pragma once
// The quick-open popup (window class "TessaryPopup"): a query box over a list for the command
// palette, goto anything, goto symbol and the text of open tabs, and a compact goto-line box.
// What the lists hold and what picking does is decided in search/quick_open_model and
// search/symbols; this file only moves it in and out of the controls.
#include <windows.h>

#include <string>

#include "search/quick_open_model.h"

// Child control ids of the popup.
enum QuickOpenControl {
    kQuickQuery = 1,
    kQuickList = 2,
    kQuickLineLabel = 3,
    kQuickLineBox = 4,
    kQuickGo = 5,
    kQuickClose = 6,
};

// Automation: the popup answers this with wParam 0 its mode, 1 the number of list entries, 2 the
// selected entry (-1 none), 3 the id of its child holding the focus (0 none).
constexpr UINT kQueryQuickOpenState = WM_APP + 0x56;

LRESULT CALLBACK QuickOpenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Modes 0 palette, 1 goto anything, 2 goto symbol, 3 text in open tabs: the query box and the list,
// built for an empty query, focused. Nothing happens before the popup exists.
void OpenQuickOpen(int mode);
// Mode 4: the small box that takes a line number.
void OpenGotoLine();
// Hides the popup when it is visible; returns whether it was.
bool HideQuickOpen();
// The shown popup placed and sized again after the main window's scale has changed.
void FollowQuickOpenDpi();

// An editor as the text list searches it: its first 16 MiB, its lines, and the component's own
// plain search without case.
TabText EditorTabText(HWND editor, const std::wstring& title, int index);
