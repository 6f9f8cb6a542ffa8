// The main window's mouse: hover marks, and presses on the caption, menu bar, toolbar, tab bar,
// scroll bars and editor area.
#include "shell/window_mouse.h"

#include "base/app_state.h"
#include "base/editor.h"
#include "base/layout.h"
#include "document/document.h"
#include "persist/persist.h"
#include "shell/chrome.h"
#include "shell/commands.h"
#include "shell/hit_test.h"
#include "shell/menu_bar.h"
#include "shell/toolbar.h"
#include "shell/window_frame.h"
#include "views/scroll_bars.h"
#include "workflow/tab_actions.h"

namespace {

// The value takes the field's type (a flag or an index), whatever the expression gives.
template <typename T>
struct FieldType {
    using type = T;
};

template <typename T>
void SetHover(T& field, typename FieldType<T>::type value, const Rect& area) {
    if (field == value) return;
    field = value;
    RepaintArea(area);
}

}  // namespace

void MainWindowMouseMove(int x, int y) {
    Document* doc = ActiveDocument();
    if (app.rectangleDragging && doc && !doc->hexMode) {
        const LRESULT pos = editor::PositionFromPoint(doc->editor, x - app.rects.editor.left, y - app.rects.editor.top);
        if (pos >= 0) editor::Send(doc->editor, editor::kSetRectangularSelectionCaret, static_cast<WPARAM>(pos));
        return;
    }
    SetHover(app.hoveredToolbarButton, ToolbarButtonAt(app.rects.toolbar, x, y, app.dpi), app.rects.toolbar);
    const int tab = app.rects.tabBar.Contains(x, y) ? TabAt(x) : -1;
    SetHover(app.hoveredTab, tab, app.rects.tabBar);
    SetHover(app.hoveredTabClose, tab >= 0 && TabCloseMarkAt(tab, x), app.rects.tabBar);
    SetHover(app.hoveredTabList, TabListButtonAt(x, y), app.rects.tabBar);
    SetHover(app.vScrollHover, app.vScrollDragging || app.rects.vScroll.Contains(x, y), app.rects.vScroll);
    SetHover(app.hScrollHover, app.hScrollDragging || app.rects.hScroll.Contains(x, y), app.rects.hScroll);
    if (app.vScrollDragging) VerticalBarDrag(y);
    if (app.hScrollDragging) HorizontalBarDrag(x);
    const int title = MenuTitleAt(x, y);
    if (app.hoveredMenuItem != title) {
        app.hoveredMenuItem = title;
        if (app.openMenu >= 0 && title >= 0 && title != app.openMenu) OpenMenu(title);
        RepaintArea(app.rects.menuBar);
    }
    SetHover(app.hoveredCaptionButton, y < 32 ? CaptionButtonAt(app.rects, x, y) : 0, app.rects.caption);
    if (app.hoveredToolbarButton >= 0 || app.hoveredTab >= 0 || app.hoveredTabList || app.hoveredCaptionButton ||
        app.hoveredMenuItem >= 0 || app.vScrollHover || app.hScrollHover) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, app.mainWindow, 0};
        TrackMouseEvent(&tme);
    }
}

void MainWindowMouseLeave() {
    SetHover(app.hoveredToolbarButton, -1, app.rects.toolbar);
    SetHover(app.hoveredTab, -1, app.rects.tabBar);
    SetHover(app.hoveredTabClose, false, app.rects.tabBar);
    SetHover(app.hoveredTabList, false, app.rects.tabBar);
    SetHover(app.hoveredCaptionButton, 0, app.rects.caption);
    if (!app.vScrollDragging) SetHover(app.vScrollHover, 0, app.rects.vScroll);
    if (!app.hScrollDragging) SetHover(app.hScrollHover, 0, app.rects.hScroll);
    if (app.hoveredMenuItem >= 0) {
        app.hoveredMenuItem = -1;
        RepaintArea(app.rects.menuBar);
    }
}

namespace {

// A press on a caption button (the sidebar toggle, minimize, maximize, close); false elsewhere.
bool PressCaptionButton(int x, int y) {
    const LayoutRects& r = app.rects;
    if (r.sidebarToggle.Contains(x, y)) {
        app.hoveredCaptionButton = 0;
        app.sidebarVisible = !app.sidebarVisible;
        Layout();
        SaveUiState();
        return true;
    }
    if (r.minimize.Contains(x, y)) {
        app.hoveredCaptionButton = 0;
        ShowWindow(app.mainWindow, SW_MINIMIZE);
        return true;
    }
    if (r.maximize.Contains(x, y)) {
        app.hoveredCaptionButton = 0;
        ToggleMaximize();
        return true;
    }
    if (r.close.Contains(x, y)) {
        app.hoveredCaptionButton = 0;
        app.closePressed = 1;
        SetCapture(app.mainWindow);
        RepaintArea(r.caption);
        return true;
    }
    return false;
}

// A press on a toolbar button, the menu bar or the tab list button; false elsewhere.
bool PressToolbarOrMenu(int x, int y) {
    const LayoutRects& r = app.rects;
    const int button = ToolbarButtonAt(r.toolbar, x, y, app.dpi);
    if (button >= 0) {
        app.hoveredToolbarButton = -1;
        CloseMenus();
        RepaintArea(r.toolbar);
        ExecuteCommand(kToolbarButtons[button].command);
        return true;
    }
    if (r.menuBar.Contains(x, y)) {
        const int title = MenuTitleAt(x, y);
        if (title >= 0) {
            if (title == app.openMenu)
                CloseMenus();
            else
                OpenMenu(title);
        } else {
            CloseMenus();
        }
        return true;
    }
    if (TabListButtonAt(x, y)) {
        // A second click on the button closes the list it opened.
        if (app.openMenu == kTabListMenu) {
            CloseMenus();
            return true;
        }
        CloseMenus();
        const Rect list = TabListButtonRect();
        POINT at{list.right, list.bottom};
        ClientToScreen(app.mainWindow, &at);
        OpenTabList(at);
        return true;
    }
    return false;
}

// A press at (ex, ey) in the editor's area: the editor's own click, or in column mode the start
// of a rectangular selection that the main window drags.
void PressEditor(const Document& doc, int ex, int ey, WPARAM keys) {
    if (!app.columnMode || doc.hexMode) {
        SetFocus(doc.editor);
        PostMessageW(doc.editor, WM_LBUTTONDOWN, keys, MAKELPARAM(ex, ey));
        return;
    }
    const LRESULT pos = editor::PositionFromPoint(doc.editor, ex, ey);
    if (pos >= 0) {
        editor::Send(doc.editor, editor::kSetRectangularSelectionAnchor, static_cast<WPARAM>(pos));
        editor::Send(doc.editor, editor::kSetRectangularSelectionCaret, static_cast<WPARAM>(pos));
    }
    app.rectangleDragging = 1;
    SetCapture(app.mainWindow);
    SetFocus(doc.editor);
}

}  // namespace

void MainWindowLeftButtonDown(int x, int y, WPARAM keys) {
    if (PressCaptionButton(x, y) || PressToolbarOrMenu(x, y)) return;
    CloseMenus();
    const LayoutRects& r = app.rects;
    if (r.tabBar.Contains(x, y)) {
        const int tab = TabAt(x);
        if (tab < 0) return;
        if (TabCloseMarkAt(tab, x))
            CloseTab(tab, true);
        else
            ActivateTab(tab);
        return;
    }
    Document* doc = ActiveDocument();
    if (!doc) return;
    if (r.vScroll.Contains(x, y)) return VerticalBarPress(y);
    if (r.hScroll.Contains(x, y)) return HorizontalBarPress(x);
    if (r.editor.Contains(x, y) && doc->editor) PressEditor(*doc, x - r.editor.left, y - r.editor.top, keys);
}

void MainWindowLeftButtonUp() {
    if (app.closePressed) {
        app.closePressed = 0;
        ReleaseCapture();
        PostMessageW(app.mainWindow, WM_CLOSE, 0, 0);
    } else if (app.rectangleDragging) {
        app.rectangleDragging = 0;
        ReleaseCapture();
    } else if (app.vScrollDragging || app.hScrollDragging) {
        app.vScrollDragging = 0;
        app.hScrollDragging = 0;
        ReleaseCapture();
        RepaintScrollBars();
    }
}

void MainWindowRightButtonUp(int x, int y) {
    if (!app.rects.tabBar.Contains(x, y)) return;
    const int tab = TabAt(x);
    if (tab < 0) return;
    if (tab != app.activeTab) ActivateTab(tab);
    app.contextTab = tab;
    POINT at{x, y + Px(4)};
    ClientToScreen(app.mainWindow, &at);
    OpenMenuAt(8, at);
}

void MainWindowCaptureChanged() {
    app.rectangleDragging = 0;
    if (app.vScrollDragging || app.hScrollDragging) {
        app.vScrollDragging = app.hScrollDragging = 0;
        RepaintScrollBars();
    }
}
