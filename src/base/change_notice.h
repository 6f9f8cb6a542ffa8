#pragma once
// The one way the lower layers (tabs, file input and output, settings, sessions) tell the views
// that something changed. They never call the main window, the panels or the menus themselves: the
// shell installs one handler at start-up and brings every view up to date from the flags.
#include <windows.h>

enum Change : unsigned {
    kChangeTitle = 1u << 0,          // the active tab's name or modified state: window title and caption
    kChangeMenuBar = 1u << 1,
    kChangeTabBar = 1u << 2,
    kChangeEditorArea = 1u << 3,     // what the editor's rectangle shows (hex view, an empty area)
    kChangeScrollBars = 1u << 4,
    kChangeStatusBar = 1u << 5,
    kChangeLayout = 1u << 6,         // rectangles to recompute and child windows to move
    kChangeRecentFiles = 1u << 7,    // the recent-files list: its menu is built again
    kChangeActiveTab = 1u << 8,      // another tab is the active one: an open search runs again on it
    kChangeTabText = 1u << 9,        // the active tab's text or modified state: its crash snapshot is due
    kChangeTabSet = 1u << 10,        // tabs were closed or changes discarded: the crash snapshot is due
    kChangeEditorCreated = 1u << 11, // `editor` is a new tab's editor: frame, dropped files, keys
    kChangeStatusBarNow = 1u << 12,  // drawn at once, for work that keeps the thread from painting
};

using ChangeHandler = void (*)(unsigned what, HWND editor);

// Runs synchronously, so that what the user sees follows in the order the changes happened.
void NoteChange(unsigned what, HWND editor = nullptr);
// The handler that follows the notes; until one is installed (tests, start-up) notes are dropped.
void SetChangeHandler(ChangeHandler handler);

// While one lives, notes are gathered and handed on together when the last one ends, so that work
// over many tabs brings the views up to date once. A new editor and a status bar to draw at once
// are still handed on at once.
struct ChangeBatch {
    ChangeBatch();
    ~ChangeBatch();
    ChangeBatch(const ChangeBatch&) = delete;
    ChangeBatch& operator=(const ChangeBatch&) = delete;
};
