#include "search/search_panel.h"

#include "app/app_state.h"
#include "app/main_window.h"

namespace {
WNDPROC baseFieldProc = nullptr;
}

LRESULT CALLBACK SearchPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ResultListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK QuickOpenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FindFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!baseFieldProc) return DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(baseFieldProc, window, message, wParam, lParam);
}

void SubclassFindField(HWND field) {
    baseFieldProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FindFieldProc)));
}

void CloseSearchPanel() {
    app.searchPanelOpen = 0;
    if (app.searchPanelWindow) ShowWindow(app.searchPanelWindow, SW_HIDE);
    Layout();
}

void RunSearch() {}

bool HideQuickOpen() {
    if (!app.quickOpenPopup || !IsWindowVisible(app.quickOpenPopup)) return false;
    ShowWindow(app.quickOpenPopup, SW_HIDE);
    return true;
}
