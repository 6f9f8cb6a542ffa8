// The main window's frame: where its parts lie (the layout pass), repainting them, the wheel over
// the tab bar, and the screen modes (maximized, full screen, distraction free).
#include "shell/window_frame.h"

#include <windowsx.h>

#include <algorithm>

#include "base/app_state.h"
#include "base/command_ids.h"
#include "document/document.h"
#include "search/quick_open.h"
#include "shell/chrome.h"
#include "shell/child_windows.h"
#include "shell/commands.h"
#include "shell/menu_bar.h"
#include "tools/screen_mode.h"
#include "views/views.h"

void RepaintArea(const Rect& area) {
    if (!app.mainWindow) return;
    RECT r = ToRECT(area);
    InvalidateRect(app.mainWindow, &r, FALSE);
}

void PaintStatusBarNow() {
    if (!app.mainWindow || !app.backBuffer || !IsWindowVisible(app.mainWindow)) return;
    const Rect& bar = app.rects.statusBar;
    HDC screen = GetDC(app.mainWindow);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, app.backBuffer);
    PaintStatusBar(dc);
    BitBlt(screen, bar.left, bar.top, bar.Width(), bar.Height(), dc, bar.left, bar.top, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(app.mainWindow, screen);
    GdiFlush();
}

void Layout() {
    if (!app.mainWindow) return;
    RECT client;
    GetClientRect(app.mainWindow, &client);
    LayoutInput in(app.dpi);
    in.width = client.right;
    in.height = client.bottom;
    in.sidebarVisible = app.sidebarVisible != 0;
    in.statusBarVisible = app.statusBarVisible != 0;
    in.searchPanelOpen = app.searchPanelOpen != 0;
    in.focusMode = app.focusMode != 0;
    in.searchPanelWidth = app.searchPanelWidth;
    app.rects = ComputeLayout(in);
    const LayoutRects& r = app.rects;

    HDC dc = GetDC(app.mainWindow);
    LayoutMenuTitles(dc);
    ReleaseDC(app.mainWindow, dc);
    UpdateTooltipRects();

    Document* doc = ActiveDocument();
    if (doc && doc->editor)
        MoveWindow(doc->editor, r.editor.left, r.editor.top, r.editor.Width(), r.editor.Height(), TRUE);
    if (app.focusMode) {
        if (app.searchPanelWindow) ShowWindow(app.searchPanelWindow, SW_HIDE);
        if (app.sidebarWindow) ShowWindow(app.sidebarWindow, SW_HIDE);
    } else {
        if (app.sidebarWindow) {
            ShowWindow(app.sidebarWindow, r.sidebar.Width() > 0 ? SW_SHOW : SW_HIDE);
            if (r.sidebar.Width() > 0)
                MoveWindow(app.sidebarWindow, r.sidebar.left, r.sidebar.top, r.sidebar.Width(), r.sidebar.Height(),
                           TRUE);
        }
        if (app.searchPanelWindow && app.searchPanelOpen) {
            ShowWindow(app.searchPanelWindow, SW_SHOW);
            MoveWindow(app.searchPanelWindow, r.searchPanel.left, r.searchPanel.top, r.searchPanel.Width(),
                       r.searchPanel.Height(), TRUE);
            LayoutSearchPanel();
        }
    }
    InvalidateRect(app.mainWindow, nullptr, TRUE);
    RepaintArea(r.statusBar);
}

namespace {

// The main window over its monitor's work area, or over the whole monitor.
void CoverMonitor(bool whole) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(app.mainWindow, MONITOR_DEFAULTTONEAREST), &mi);
    const RECT& r = whole ? mi.rcMonitor : mi.rcWork;
    SetWindowPos(app.mainWindow, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOOWNERZORDER);
}

}  // namespace

void EnterMaximized() {
    app.savedPlacement.length = sizeof(WINDOWPLACEMENT);
    app.hasSavedPlacement = GetWindowPlacement(app.mainWindow, &app.savedPlacement) != FALSE;
    CoverMonitor(false);
    app.maximized = 1;
}

void ToggleMaximize() {
    if (app.focusMode) {
        ExitFocusMode();
        return;
    }
    if (app.fullScreen) {
        ExecuteCommand(kCmdFullScreen);
    } else if (app.maximized) {
        if (app.hasSavedPlacement) SetWindowPlacement(app.mainWindow, &app.savedPlacement);
        app.hasSavedPlacement = false;
        app.maximized = 0;
    } else {
        EnterMaximized();
    }
    Layout();
}

namespace {

void ChangeScreenModes(ScreenEvent event) {
    const ScreenTransition t = NextScreenModes({app.fullScreen != 0, app.focusMode != 0}, event);
    if (t.enteredFocus) {
        CloseMenus();
        HideQuickOpen();
    }
    if (t.placement == PlacementStep::SaveAndCover) {
        app.screenPlacement.length = sizeof(WINDOWPLACEMENT);
        app.hasScreenPlacement = GetWindowPlacement(app.mainWindow, &app.screenPlacement) != FALSE;
        CoverMonitor(true);
    } else if (t.placement == PlacementStep::Restore) {
        if (app.hasScreenPlacement) SetWindowPlacement(app.mainWindow, &app.screenPlacement);
        app.hasScreenPlacement = false;
    }
    app.fullScreen = t.next.fullScreen ? 1 : 0;
    app.focusMode = t.next.focusMode ? 1 : 0;
    Layout();
    if (t.enteredFocus) {
        if (const Document* doc = ActiveDocument(); doc && doc->editor && !doc->hexMode) SetFocus(doc->editor);
    }
}

}  // namespace

void ToggleFullScreen() { ChangeScreenModes(ScreenEvent::FullScreen); }
void ToggleFocusMode() { ChangeScreenModes(ScreenEvent::DistractionFree); }
void ExitFocusMode() { ChangeScreenModes(ScreenEvent::ExitFocus); }

bool WheelOverTabBar(WPARAM wParam, LPARAM lParam) {
    if (!app.mainWindow) return false;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (WindowFromPoint(p) != app.mainWindow) return false;
    ScreenToClient(app.mainWindow, &p);
    if (!app.rects.tabBar.Contains(p.x, p.y)) return false;
    if (ScrollTabBar(GET_WHEEL_DELTA_WPARAM(wParam))) {
        app.hoveredTab = TabAt(p.x);
        app.hoveredTabClose = app.hoveredTab >= 0 && TabCloseMarkAt(app.hoveredTab, p.x);
        RepaintArea(app.rects.tabBar);
    }
    return true;
}
