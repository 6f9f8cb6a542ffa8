#pragma once
// The results list of the search panel (window class "TesResultList"): hits grouped by file, with
// folding, selection, copying and a double click or Enter that opens a hit.
#include <windows.h>

// Automation: the main window and the results list answer this with a figure of the search
// (wParam 0 hits, 1 groups, 2 rows, 3 folded groups, 4 the id of the panel child holding the
// focus or 0, 5 whether the panel is open, 6 whether the last search stopped as too costly).
constexpr UINT kQuerySearchState = WM_APP + 0x55;
LRESULT QuerySearchState(WPARAM what);

LRESULT CALLBACK ResultListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Results list operations (the list window's own procedure calls them too).
void RebuildResultRows();
void ToggleGroup(int group);
void OpenHit(int row);
void CopyResults(bool selectionOnly);
