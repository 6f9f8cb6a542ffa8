#include "project/sidebar.h"

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

void RebuildSidebarRows() {}
void ClampSidebarScroll() {}
