// Follows the change notes of the lower layers: every view that shows tab state is brought up to
// date here, in one fixed order (title, menus, painted areas, layout, crash snapshot, search).
#include "app/view_refresh.h"

#include <shellapi.h>

#include "app/app_state.h"
#include "app/gdi_util.h"
#include "app/change_notice.h"
#include "app/main_window.h"
#include "document/document.h"
#include "document/tabs.h"
#include "persist/recovery.h"
#include "search/search_panel.h"
#include "ui/keyboard.h"
#include "ui/menu_bar.h"

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
