// Follows the change notes of the lower layers: every view that shows tab state is brought up to
// date here, in one fixed order (title, menus, painted areas, layout, crash snapshot, search).
#include "shell/view_refresh.h"

#include <shellapi.h>

#include "base/app_state.h"
#include "base/gdi_util.h"
#include "base/change_notice.h"
#include "shell/window_frame.h"
#include "document/document.h"
#include "document/tabs.h"
#include "persist/recovery.h"
#include "search/search_panel.h"
#include "shell/keyboard.h"
#include "shell/menu_bar.h"

void FollowChange(unsigned what, HWND editor) {
    if ((what & kChangeEditorCreated) && editor) {
        SetDarkFrame(editor);
        DragAcceptFiles(editor, TRUE);
        const WNDPROC base = SubclassEditor(editor);
        for (Document& doc : documents) {
            if (doc.editor == editor) doc.baseEditorProc = base;
        }
    }
    if (!app.mainWindow) return;
    if (what & kChangeTitle) {
        SetWindowTextW(app.mainWindow, CurrentWindowTitle().c_str());
        RepaintArea(app.rects.caption);
    }
    if (what & kChangeRecentFiles) {
        RebuildRecentFilesMenu();
        if (app.openMenu == 0) CloseMenus();
        RepaintArea(app.rects.menuBar);
    }
    if (what & kChangeMenuBar) RepaintArea(app.rects.menuBar);
    if (what & kChangeTabBar) RepaintArea(app.rects.tabBar);
    if (what & kChangeEditorArea) RepaintArea(app.rects.editor);
    if (what & kChangeScrollBars) {
        RepaintArea(app.rects.vScroll);
        RepaintArea(app.rects.hScroll);
    }
    if (what & kChangeStatusBar) RepaintArea(app.rects.statusBar);
    if (what & kChangeStatusBarNow) PaintStatusBarNow();
    if (what & kChangeLayout) Layout();
    if (what & kChangeTabText) NoteRecoveryChange();
    if (what & kChangeTabSet) NoteRecoverySetChange();
    if ((what & kChangeActiveTab) && app.searchPanelOpen) RunSearch();
}
