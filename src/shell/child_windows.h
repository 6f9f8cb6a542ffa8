#pragma once
// The main window's child windows: the search panel with its fields, buttons and results list,
// and the toolbar's tooltips.
#include <windows.h>

// Creates the search panel (hidden) and its children under the main window.
void CreateSearchPanel(HWND window);
// Places the search panel's children within its current client area.
void LayoutSearchPanel();
void CreateToolbarTooltip(HWND window);
// Moves the tooltips' hot areas onto the toolbar buttons as laid out now.
void UpdateTooltipRects();
