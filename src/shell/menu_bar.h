#pragma once
// The self-drawn menu bar and its popup menus: one layered popup for the open menu ("TesMenuPop")
// and one for an open submenu ("TesSubPop"). The popup holds the mouse capture while open.
#include <windows.h>

#include "shell/menu_model.h"

// Measures the menu-bar titles and lays them out from x = 8.
void LayoutMenuTitles(HDC measuringDc);
void PaintMenuBar(HDC dc);
// The menu-bar title under a client point, or -1.
int MenuTitleAt(int x, int y);
// Where menu-bar title `index` lies, in client pixels; empty for no such title.
Rect MenuTitleRect(int index);
// Opens a menu-bar menu below its title.
void OpenMenu(int index);
// Opens any menu (8: the tab context menu) with its body's top-left corner at a screen point.
void OpenMenuAt(int index, POINT screen);
// Opens the list of every tab (menu 9) with its body's top-right corner at a screen point.
void OpenTabList(POINT screen);
void OpenSubmenu(int index, POINT screen);
void CloseSubmenu();
void CloseMenus();
// Repaints the open menu and submenu, e.g. after a checkmark changed.
void RepaintOpenMenus();
LRESULT CALLBACK MenuPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The menu model and its labels in the current interface language.
void BuildMenuModel();
void RelabelMenus();
// Regenerates the Recent Files submenu from the settings' recent list.
void RebuildRecentFilesMenu();
const MenuModel& CurrentMenuModel();
