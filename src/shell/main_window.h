#pragma once
// The main window: its procedure, and the automation queries it answers.
#include <windows.h>

#include "base/geometry.h"

// Automation: the active tab's state for test drivers and accessibility tools. The result packs
// encoding (bits 0-3), line ending (4-7), hex mode (8), mapped (9), modified (10), read-only
// file (11); -1 when no tab is active.
constexpr UINT kQueryActiveTabState = WM_APP + 0x54;
LRESULT ActiveTabState();
// For tests driving the program from outside: the next copy of a whole text or file fails as on a
// machine out of memory (CheckLargeAllocation).
constexpr UINT kFailNextLargeAllocation = WM_APP + 0x57;
// wParam 1 holds background reads of large texts before their next chunk, 0 lets them go on.
constexpr UINT kPauseLoadsForTesting = WM_APP + 0x6B;

// Automation: where a part of the main window lies, in client pixels, for test drivers and
// accessibility tools. wParam names the part: kPart* below, kPartTab + i the i-th tab, kPartMenuTitle
// + i the i-th menu-bar title; the result packs left, top, right and bottom as 16 bits each (left
// lowest), -1 for an unknown part. kPartDpi answers the window's dots per inch instead.
constexpr UINT kQueryPartRect = WM_APP + 0x62;
enum : WPARAM {
    kPartCaption = 0,
    kPartMenuBar,
    kPartToolbar,
    kPartTabBar,
    kPartEditor,
    kPartStatusBar,
    kPartSidebar,
    kPartSearchPanel,
    kPartClose,
    kPartSidebarToggle,
    kPartTab = 0x100,
    kPartMenuTitle = 0x200,
    kPartDpi = 0xFFFF
};
LRESULT PartRect(WPARAM part);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
