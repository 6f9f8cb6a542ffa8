#pragma once
// Painting the quick-open popup: its background, its buttons, its list rows, and its controls' colours.
#include <windows.h>

#include <string>
#include <vector>

#include "search/quick_open_model.h"

// The popup's background; in line mode (the goto-line box) with the line box's rounded field.
void PaintQuickOpen(HWND window, bool lineMode);
// The Go and close buttons.
void DrawQuickOpenButton(const DRAWITEMSTRUCT& item);
// One row of the list in the theme's colours, the letters `query` matched in the accent colour.
void DrawQuickOpenRow(const DRAWITEMSTRUCT& item, const std::vector<QuickItem>& items, int mode,
                      const std::wstring& query);
// WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC: the line box in the search fields' fill, the rest in the
// popup's colour.
LRESULT QuickOpenControlColour(WPARAM wParam, LPARAM lParam, bool isStatic);
// WM_CTLCOLORLISTBOX: the part of the list below its rows, and its frame, in the popup's colour.
LRESULT QuickOpenListColour(HDC dc);
void ReleaseQuickOpenBrushes();
