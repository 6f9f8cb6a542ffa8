#pragma once
#include <windows.h>

// Measures the menu-bar titles and lays them out from x = 8.
void LayoutMenuTitles(HDC measuringDc);
void PaintMenuBar(HDC dc);
// The menu-bar title under a client point, or -1.
int MenuTitleAt(int x, int y);
void OpenMenu(int index);
void CloseMenus();
LRESULT CALLBACK MenuPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The menu model and its labels in the current interface language.
void BuildMenuModel();
void RelabelMenus();
