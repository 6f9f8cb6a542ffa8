#pragma once
#include <windows.h>

LRESULT CALLBACK SearchPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ResultListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK QuickOpenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FindFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Hides the search panel and lays the window out again.
// Subclasses one of the panel's edit fields with FindFieldProc.
void SubclassFindField(HWND field);
void CloseSearchPanel();
// The live search of the open panel.
void RunSearch();
// Closes the quick-open popup when it is visible; returns whether it was.
bool HideQuickOpen();
