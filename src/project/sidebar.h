#pragma once
// The sidebar panel: the folder tree of the open folder, drawn and scrolled by the panel itself.
#include <windows.h>

#include <string>
#include <vector>

#include "project/sidebar_rows.h"

struct SidebarState {
    std::vector<SidebarRow> rows;  // rebuilt in full from the disk, never while painting
    FolderSet expandedFolders;     // outlives rebuilds; saved nowhere
    int scroll = 0;                // pixels from the top, 0 or more
    int hoverRow = -1;
    bool thumbHover = false;
    bool thumbDragging = false;
};
extern SidebarState sidebar;

LRESULT CALLBACK SidebarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Rows from the open folder and the expanded folders; reads the expanded folders from the disk.
void RebuildSidebarRows();
void ClampSidebarScroll();
// Draws the whole panel (client size width x height) into `dc`; only rows inside it are drawn.
void PaintSidebar(HDC dc, int width, int height);

// The shell's folder browser; "" when cancelled.
std::wstring BrowseForFolder();
// Commands 102 and 242: the chosen folder becomes the sidebar's root and is shown.
void OpenFolder();
// The folder becomes the root, expanded, and the sidebar is shown (Open Folder, project loading).
void ShowFolderExpanded(const std::wstring& folder);
// The folder becomes the root with nothing expanded; the sidebar's visibility is kept.
void ShowFolderCollapsed(const std::wstring& folder);
