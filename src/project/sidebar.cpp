#include "project/sidebar.h"

#include <shlobj.h>

#include <set>

#include "app/app_state.h"
#include "app/main_window.h"
#include "document/tabs.h"
#include "persist/persist.h"
#include "project/file_actions.h"

#include "app/gdi_util.h"
#include "syntax/palette.h"

// Until a folder can be opened the sidebar is an empty panel with its right border.
LRESULT CALLBACK SidebarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        FillSolid(dc, client, palette.panelColor);
        FillSolid(dc, RECT{client.right - 1, client.top, client.right, client.bottom}, palette.borderColor);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

namespace {
std::set<std::wstring> expandedFolders;
}

void RebuildSidebarRows() {}

std::wstring BrowseForFolder() {
    BROWSEINFOW info{};
    info.hwndOwner = app.mainWindow;
    info.lpszTitle = L"\u9009\u62E9\u6587\u4EF6\u5939";  // the same in every interface language
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    if (!list) return {};
    wchar_t path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListW(list, path) != FALSE;
    CoTaskMemFree(list);
    return ok ? std::wstring(path) : std::wstring();
}

void OpenFolder() { OpenFolderPath(BrowseForFolder()); }

void OpenFolderPath(const std::wstring& folder) {
    if (folder.empty()) return;
    app.folderRoot = folder;
    expandedFolders.insert(folder);
    app.sidebarVisible = 1;
    RebuildSidebarRows();
    ClampSidebarScroll();
    if (app.sidebarWindow) InvalidateRect(app.sidebarWindow, nullptr, TRUE);
    Layout();
    UpdateWindowTitle();
    SaveUiState();
}

// Project files arrive with their own loader; until then a ".tessary" file is left alone.
void OpenProjectPath(const std::wstring& path) {
    const std::wstring suffix = L".tessary";
    if (path.size() >= 8 && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) return;
    const std::wstring folder = FolderOf(path);
    if (folder.empty()) return;
    app.folderRoot = folder;
    expandedFolders.clear();
    RebuildSidebarRows();
    Layout();
    UpdateWindowTitle();
}
void ClampSidebarScroll() {}
