#pragma once
#include <windows.h>

#include <string>

LRESULT CALLBACK SidebarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RebuildSidebarRows();
void ClampSidebarScroll();

// The shell's folder browser; "" when cancelled.
std::wstring BrowseForFolder();
// Commands 102 and 242: the chosen folder becomes the sidebar's root and is shown.
void OpenFolder();
// `folder` becomes the sidebar's root and is shown; "" does nothing.
void OpenFolderPath(const std::wstring& folder);
// Command 240: a ".tessary" file is opened as a project; any other file's folder becomes the root.
void OpenProjectPath(const std::wstring& path);
