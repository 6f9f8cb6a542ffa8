#pragma once
#include <windows.h>

LRESULT CALLBACK SidebarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RebuildSidebarRows();
void ClampSidebarScroll();
