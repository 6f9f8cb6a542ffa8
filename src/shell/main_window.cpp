#include "shell/main_window.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <uxtheme.h>
#include <windowsx.h>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "shell/command_line.h"
#include "base/editor.h"
#include "base/gdi_util.h"
#include "shell/hit_test.h"
#include "shell/key_routing.h"
#include "views/scroll_bars.h"
#include "workflow/tab_actions.h"
#include "io/text_stream.h"
#include "shell/view_refresh.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/open.h"
#include "persist/persist.h"
#include "persist/recovery.h"
#include "project/sidebar.h"
#include "search/quick_open.h"
#include "search/result_list.h"
#include "search/search_panel.h"
#include "syntax/palette.h"
#include "tools/screen_mode.h"
#include "tools/build_runner.h"
#include "shell/chrome.h"
#include "shell/child_windows.h"
#include "shell/window_frame.h"
#include "shell/window_mouse.h"
#include "base/command_ids.h"
#include "shell/commands.h"
#include "shell/keyboard.h"
#include "shell/menu_bar.h"
#include "shell/toolbar.h"
#include "views/hex_view.h"
#include "views/views.h"

namespace {

// `height` is the character height in design pixels; the font is made for the window's display.
HFONT MakeFont(const wchar_t* face, int height, int weight) { return CreateDesignFont(face, height, weight, app.dpi); }

HFONT* const kUiFonts[] = {&app.monoFont,    &app.tabFont,      &app.uiFont,  &app.panelTitleFont,
                           &app.captionFont, &app.listBoldFont, &app.menuFont};

void DeleteUiFonts() {
    for (HFONT* font : kUiFonts) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

// The interface's fonts for the window's current display scale.
void CreateUiFonts() {
    app.monoFont = MakeFont(L"Consolas", 15, FW_NORMAL);
    app.tabFont = MakeFont(L"Consolas", 12, FW_NORMAL);
    app.uiFont = CreateUiFont(app.dpi);
    app.panelTitleFont = MakeFont(L"Segoe UI", 14, FW_BOLD);
    app.captionFont = CreateCaptionFont(app.dpi);
    app.listBoldFont = MakeFont(L"Segoe UI", 12, FW_BOLD);
    app.menuFont = MakeFont(L"Segoe UI", 14, FW_NORMAL);
    app.monoCharWidth = 0;  // measured again with the new font
}

void OnCreate(HWND window) {
    app.mainWindow = window;
    app.dpi = WindowDpi(window);
    SetChangeHandler(FollowChange);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CreateToolbarTooltip(window);
    CreateUiFonts();

    app.sidebarWindow = CreateWindowExW(0, L"TesSide", L"", WS_CHILD, 0, 0, Px(kSidebarWidth), 100, window,
                                        reinterpret_cast<HMENU>(1), app.instance, nullptr);
    if (app.sidebarWindow) {
        SetDarkFrame(app.sidebarWindow);
        ShowWindow(app.sidebarWindow, SW_SHOW);
    }
    CreateSearchPanel(window);
    app.inputBrush = CreateSolidBrush(palette.inputColor);
    BuildMenuModel();
    RelabelMenus();
    RebuildSidebarRows();
    CreateTab(L"", window);
    CloseSearchPanel();
}

void OnDestroy() {
    if (app.inputBrush) DeleteObject(app.inputBrush);
    app.inputBrush = nullptr;
    if (app.toolbarTooltip) DestroyWindow(app.toolbarTooltip);
    app.toolbarTooltip = nullptr;
    ReleaseChromeResources();
    DeleteUiFonts();
    if (app.backBuffer) DeleteObject(app.backBuffer);
    app.backBuffer = nullptr;
    SaveSessionAndUiStateOnce();
    PostQuitMessage(0);
}

// The close sequence: session and interface state first, then every tab with its save prompt.
// False when a prompt was cancelled or a save failed: the program stays open.
bool CloseEverything() {
    SaveSessionAndUiStateOnce();
    while (!documents.empty()) {
        const size_t before = documents.size();
        CloseTab(0, false);
        if (documents.size() == before) {
            app.sessionSaved = 0;  // the user kept the program open; write again at the next close
            return false;
        }
    }
    return true;
}

void OnClose(HWND window) {
    if (CloseEverything()) DestroyWindow(window);
}

// Log-off or shutdown asks first: the session and interface state are written and every unsaved
// tab is settled now, but nothing closes, since another program may still veto the end. False when
// the user cancelled a prompt or a save failed.
bool QueryEndSession() {
    SaveSessionAndUiStateOnce();
    for (size_t i = 0; i < documents.size(); ++i) {
        if (!SettleUnsavedChanges(static_cast<int>(i))) {
            app.sessionSaved = 0;
            return false;
        }
    }
    return true;
}

void EndSession(HWND window, bool ending) {
    if (!ending) {
        // Vetoed: every tab stays as it is, and the next close writes the session again.
        app.sessionSaved = 0;
        return;
    }
    // The prompts were answered at the query: what is still unsaved was declined there.
    for (Document& doc : documents) doc.modified = 0;
    CloseEverything();
    // The system may end the process once this message returns: the snapshots go now, not after
    // the message loop.
    EndRecovery(documents.empty());
    DestroyWindow(window);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    const int w = std::max<int>(client.right, 1), h = std::max<int>(client.bottom, 1);
    bool fresh = false;
    if (!app.backBuffer || app.backBufferWidth != w || app.backBufferHeight != h) {
        if (app.backBuffer) DeleteObject(app.backBuffer);
        app.backBuffer = CreateCompatibleBitmap(screen, w, h);
        app.backBufferWidth = w;
        app.backBufferHeight = h;
        fresh = true;
    }
    // The parts are independent rectangles: only those that meet the region being repainted are
    // drawn again (a keystroke repaints the status bar, not the whole chrome). The rest of the
    // back buffer still holds them from before; a new buffer is drawn whole.
    auto due = [&](const Rect& part) {
        RECT r = ToRECT(part);
        return fresh || (!part.Empty() && RectVisible(screen, &r));
    };
    const LayoutRects& r = app.rects;
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, app.backBuffer);
    if (due(r.caption)) PaintCaption(dc);
    if (due(r.menuBar)) PaintMenuBar(dc);
    if (due(r.toolbar)) PaintToolbar(dc);
    if (due(r.tabBar)) PaintTabBar(dc);
    if (!app.focusMode && due(r.statusBar)) PaintStatusBar(dc);
    const Rect below{0, r.editor.top, w, h};
    if (app.focusMode) {
        if (due(below)) FillSolid(dc, below, palette.chromeColor);
    } else if (due(r.editor)) {
        FillSolid(dc, r.editor, palette.editorColor);
    }
    if (due(r.editor) || due(r.vScroll) || due(r.hScroll)) PaintEditorArea(dc);
    RECT part;
    if (IntersectRect(&part, &ps.rcPaint, &client)) {
        BitBlt(screen, part.left, part.top, part.right - part.left, part.bottom - part.top, dc, part.left, part.top,
               SRCCOPY);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    EndPaint(window, &ps);
}

Document* DocumentOfEditor(HWND ed) {
    for (Document& doc : documents) {
        if (doc.editor == ed) return &doc;
    }
    return nullptr;
}

// Set when an edit added or removed lines of the active tab; the next update of its view fits the
// line-number margin to the new count (a character typed within a line leaves it alone). Another
// tab's margin is fitted when it becomes the active one.
bool lineCountChanged = false;

// Every tab's line-length tally follows its own edits, the active tab's or not.
void FollowEdit(const editor::NotifyHeader& n) {
    Document* doc = DocumentOfEditor(n.nmhdr.hwndFrom);
    if (!doc) return;
    if (n.linesAdded != 0 && doc == ActiveDocument()) lineCountChanged = true;
    if (app.settingText) {
        doc->lineLengths.Invalidate();  // the whole text is being replaced; measured again at the next paint
        return;
    }
    const long long longest = doc->lineLengths.Longest();
    FollowLineLengths(doc->lineLengths, doc->editor, n);
    if (doc == ActiveDocument() && doc->lineLengths.Longest() != longest) RepaintArea(app.rects.hScroll);
}

void OnEditorNotify(const editor::NotifyHeader& n) {
    if (n.nmhdr.code == editor::kNotifyModified) {
        FollowEdit(n);
        if (n.modificationType & (editor::kModInsertText | editor::kModDeleteText))
            NoteSearchedTextChanged(n.nmhdr.hwndFrom);
    }
    Document* doc = ActiveDocument();
    if (!doc || n.nmhdr.hwndFrom != doc->editor) {
        // A background tab changed (Save All, a reload from the tab menu): its snapshot follows.
        const bool textChanged = n.nmhdr.code == editor::kNotifyModified &&
                                 (n.modificationType & (editor::kModInsertText | editor::kModDeleteText));
        if (!app.settingText && (textChanged || n.nmhdr.code == editor::kNotifySavePointReached ||
                                 n.nmhdr.code == editor::kNotifySavePointLeft))
            NoteRecoveryEditorChange(n.nmhdr.hwndFrom);
        return;
    }
    switch (n.nmhdr.code) {
        case editor::kNotifySavePointReached:
        case editor::kNotifySavePointLeft:
            if (app.settingText || doc->hexMode) break;
            doc->modified = n.nmhdr.code == editor::kNotifySavePointLeft ? 1 : 0;
            NoteChange(kChangeTabText | kChangeTitle | kChangeTabBar | kChangeStatusBar);  // its modified mark
            break;
        case editor::kNotifyModified:
            if (app.settingText) break;
            if (n.modificationType & (editor::kModInsertText | editor::kModDeleteText)) NoteRecoveryChange();
            break;
        case editor::kNotifyModifyAttemptRO: {
            const DWORD now = GetTickCount();
            if (!app.lastBeepValid || now - app.lastBeepTick >= 1000) {
                MessageBeep(MB_ICONINFORMATION);
                app.lastBeepTick = now;
                app.lastBeepValid = true;
            }
            break;
        }
        case editor::kNotifyUpdateUI:
            RepaintArea(StatusBarTextRect());
            if ((n.updated & editor::kUpdateContent) && lineCountChanged) {
                lineCountChanged = false;
                UpdateLineNumberMargin(doc->editor);
            }
            if (n.updated & (editor::kUpdateVScroll | editor::kUpdateHScroll)) RepaintScrollBars();
            break;
        default: break;
    }
}

void PostToEditor(UINT message, WPARAM wParam, LPARAM lParam) {
    if (Document* doc = ActiveDocument()) {
        if (doc->editor) PostMessageW(doc->editor, message, wParam, lParam);
    }
}

// Set when the main window handled a key itself: the character the system makes of it is dropped.
bool dropNextControlChar = false;

void OnKeyDown(WPARAM vk, LPARAM lParam) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0 && !IsAltGrInput(WM_KEYDOWN, vk);
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const MainKeyAction action = ClassifyMainKeyDown(static_cast<unsigned>(vk), ctrl, shift);
    dropNextControlChar = action != MainKeyAction::PassToEditor;
    switch (action) {
        case MainKeyAction::CtrlHandler: HandleCtrlKey(static_cast<unsigned>(vk), shift); break;
        case MainKeyAction::Documentation: ExecuteCommand(kCmdDocumentation); break;
        case MainKeyAction::FindNext: ExecuteCommand(kCmdFindNext); break;
        case MainKeyAction::FindPrevious: ExecuteCommand(kCmdFindPrevious); break;
        case MainKeyAction::FullScreen: ExecuteCommand(kCmdFullScreen); break;
        case MainKeyAction::FocusMode: ExecuteCommand(kCmdDistractionFree); break;
        case MainKeyAction::Escape: {
            const Document* doc = ActiveDocument();
            HandleEscape(doc ? doc->editor : nullptr);
            break;
        }
        case MainKeyAction::Drop: break;
        case MainKeyAction::PassToEditor: {
            // The hex view takes its keys here: a key down posted to the hidden editor would be
            // translated into a second character.
            const Document* doc = ActiveDocument();
            if (doc && doc->hexMode)
                HexKey(static_cast<unsigned>(vk), ctrl, shift);
            else
                PostToEditor(WM_KEYDOWN, vk, lParam);
            break;
        }
    }
}

// Hands the fonts made for the new scale to every child control that used one of the old ones.
struct FontSwap {
    HFONT from[std::size(kUiFonts)];
    HFONT to[std::size(kUiFonts)];
};

BOOL CALLBACK SwapChildFont(HWND child, LPARAM param) {
    const auto* swap = reinterpret_cast<const FontSwap*>(param);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
    for (size_t i = 0; font && i < std::size(kUiFonts); ++i) {
        if (font == swap->from[i]) {
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(swap->to[i]), TRUE);
            break;
        }
    }
    return TRUE;
}

// The window moved to a display of another scale (or the scale changed): new fonts and images,
// the system's suggested rectangle (when there is one), a new layout, and everything painted again.
void OnDpiChanged(HWND window, int dpi, const RECT* suggested) {
    if (dpi <= 0) return;
    FontSwap swap{};
    for (size_t i = 0; i < std::size(kUiFonts); ++i) swap.from[i] = *kUiFonts[i];
    app.dpi = dpi;
    CreateUiFonts();
    for (size_t i = 0; i < std::size(kUiFonts); ++i) swap.to[i] = *kUiFonts[i];
    EnumChildWindows(window, SwapChildFont, reinterpret_cast<LPARAM>(&swap));
    if (app.quickOpenPopup) EnumChildWindows(app.quickOpenPopup, SwapChildFont, reinterpret_cast<LPARAM>(&swap));
    for (HFONT old : swap.from) {
        if (old) DeleteObject(old);
    }
    ReleaseChromeResources();  // the tab widths were measured with the old font
    app.scrollWidthDirty = 1;  // and the lines' widths
    ReloadToolbarImages();
    if (suggested) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Layout();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    FollowQuickOpenDpi();
}

LRESULT OnHitTest(HWND window, LPARAM lParam) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(window, &p);
    RECT client;
    GetClientRect(window, &client);
    switch (FrameHitTest(app.rects, client.right, client.bottom, p.x, p.y, app.maximized || app.fullScreen, app.dpi)) {
        case FrameHit::Caption: return HTCAPTION;
        case FrameHit::Left: return HTLEFT;
        case FrameHit::Right: return HTRIGHT;
        case FrameHit::Bottom: return HTBOTTOM;
        case FrameHit::BottomLeft: return HTBOTTOMLEFT;
        case FrameHit::BottomRight: return HTBOTTOMRIGHT;
        case FrameHit::Client: break;
    }
    return HTCLIENT;
}

}  // namespace

LRESULT ActiveTabState() {
    const Document* doc = ActiveDocument();
    if (!doc) return -1;
    return (doc->encoding & 0xF) | ((doc->lineEnding & 0xF) << 4) | ((doc->hexMode & 1) << 8) |
           ((doc->mapped & 1) << 9) | ((doc->modified & 1) << 10) | ((doc->readOnlyFile & 1) << 11);
}

LRESULT PartRect(WPARAM part) {
    if (part == kPartDpi) return app.dpi;
    const LayoutRects& r = app.rects;
    Rect rect;
    switch (part) {
        case kPartCaption: rect = r.caption; break;
        case kPartMenuBar: rect = r.menuBar; break;
        case kPartToolbar: rect = r.toolbar; break;
        case kPartTabBar: rect = r.tabBar; break;
        case kPartEditor: rect = r.editor; break;
        case kPartStatusBar: rect = r.statusBar; break;
        case kPartSidebar: rect = r.sidebar; break;
        case kPartSearchPanel: rect = r.searchPanel; break;
        case kPartClose: rect = r.close; break;
        case kPartSidebarToggle: rect = r.sidebarToggle; break;
        default:
            if (part >= kPartTab && part < kPartTab + 0x100) {
                rect = TabRect(static_cast<int>(part - kPartTab));
            } else if (part >= kPartMenuTitle && part < kPartMenuTitle + 0x100) {
                rect = MenuTitleRect(static_cast<int>(part - kPartMenuTitle));
            } else {
                return -1;
            }
    }
    if (rect.Empty()) return -1;
    const auto field = [](int v, int shift) { return static_cast<LRESULT>(static_cast<uint16_t>(v)) << shift; };
    return field(rect.left, 0) | field(rect.top, 16) | field(rect.right, 32) | field(rect.bottom, 48);
}

namespace {

// The control that had the keyboard focus when the window was last left.
HWND focusWhenLeft = nullptr;

// Back in the window, the focus returns to where the user left it when that was the find box,
// the replace box, the results list or the sidebar (still shown); else to the active editor.
void RestoreFocusOnActivation() {
    HWND back = focusWhenLeft;
    focusWhenLeft = nullptr;
    const HWND findBox = app.searchPanelWindow ? GetDlgItem(app.searchPanelWindow, kPanelFind) : nullptr;
    const HWND replaceBox = app.searchPanelWindow ? GetDlgItem(app.searchPanelWindow, kPanelReplace) : nullptr;
    const bool known = back && (back == findBox || back == replaceBox || back == app.resultListWindow ||
                                (app.sidebarWindow && (back == app.sidebarWindow || IsChild(app.sidebarWindow, back))));
    if (known && IsWindow(back) && IsWindowVisible(back) && IsChild(app.mainWindow, back)) {
        SetFocus(back);
        return;
    }
    if (Document* doc = ActiveDocument()) {
        if (doc->editor && !doc->hexMode) SetFocus(doc->editor);
    }
}

void OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        focusWhenLeft = GetFocus();
    } else if (app.activeTab >= 0) {
        CheckExternalChange(app.activeTab);
        RestoreFocusOnActivation();
    }
}

void OnSetFocus() {
    if (Document* doc = ActiveDocument()) {
        if (doc->editor && !doc->hexMode) SetFocus(doc->editor);
    }
}

// The mouse on the main window's own area (the chrome, the scroll bars, the editor's place).
void OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
        // The class asks for double clicks, so the second of two quick clicks arrives as a double
        // click: on the chrome it is a press like the first (the caption's own double click is a
        // non-client message).
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: MainWindowLeftButtonDown(x, y, wParam); break;
        case WM_LBUTTONUP: MainWindowLeftButtonUp(); break;
        case WM_RBUTTONUP: MainWindowRightButtonUp(x, y); break;
        case WM_MOUSEMOVE: MainWindowMouseMove(x, y); break;
        case WM_MOUSELEAVE: MainWindowMouseLeave(); break;
        case WM_MOUSEWHEEL:
            if (!WheelOverTabBar(wParam, lParam)) PostToEditor(message, wParam, lParam);
            break;
        case WM_CAPTURECHANGED: MainWindowCaptureChanged(); break;
        default: break;
    }
}

// Keys and characters that reach the main window; the editor gets what the window does not take.
void OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN: OnKeyDown(wParam, lParam); break;
        case WM_CHAR: {
            const bool dropAfterKey = dropNextControlChar && wParam < 32;
            dropNextControlChar = false;
            if (dropAfterKey || DropControlChar(static_cast<unsigned>(wParam), GetKeyState(VK_CONTROL) < 0)) break;
            if (const Document* doc = ActiveDocument(); doc && doc->hexMode)
                HexChar(static_cast<wchar_t>(wParam));
            else
                PostToEditor(message, wParam, lParam);
            break;
        }
        default: PostToEditor(message, wParam, lParam); break;  // WM_KEYUP, WM_IME_CHAR
    }
}

// Menu and accelerator commands; ids outside the known ranges are ignored.
void OnCommandMessage(WPARAM wParam) {
    const int id = LOWORD(wParam);
    if ((id >= kCmdNewFile && id <= 300) ||
        (id >= kCmdInterfaceLanguageFirst && id < kCmdInterfaceLanguageFirst + kInterfaceLanguageCount) ||
        (id >= kCmdThemeFirst && id < kCmdSchemeFirst + 6))
        ExecuteCommand(id);
}

void OnNotifyMessage(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == TTN_GETDISPINFOW && header->hwndFrom == app.toolbarTooltip) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        info->lpszText = const_cast<wchar_t*>(ToolbarTooltipText(static_cast<int>(header->idFrom) - 1));
        return;
    }
    OnEditorNotify(*reinterpret_cast<const editor::NotifyHeader*>(lParam));
}

// The program's own messages: queries and switches for test drivers, and work posted from
// background threads.
LRESULT OnProgramMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kQueryActiveTabState: return ActiveTabState();
        case kQueryPartRect: return PartRect(wParam);
        case kFailNextLargeAllocation: FailNextLargeAllocationForTesting(); return 0;
        case kPauseLoadsForTesting: PauseBackgroundReadsForTesting(wParam != 0); return 0;
        case kQuerySearchState: return QuerySearchState(wParam);
        case kRunBuildMessage: RunBuild(); return 0;
        case kHexReadFailed: ReportHexReadFailure(); return 0;
        case kTextLoadMessage: OnTextLoadMessage(wParam, lParam); return 0;
        default: return 0;
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: OnCreate(window); return 0;
        case WM_DPICHANGED: OnDpiChanged(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_SIZE: Layout(); return 0;
        case WM_PAINT: OnPaint(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_NCCALCSIZE: return 0;
        case WM_NCHITTEST: return OnHitTest(window, lParam);
        case WM_NCLBUTTONDBLCLK:
            if (wParam == HTCAPTION) {
                ToggleMaximize();
                return 0;
            }
            break;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = POINT{Px(480), Px(240)};
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
        case WM_MOUSEWHEEL:
        case WM_CAPTURECHANGED: OnMouseMessage(message, wParam, lParam); return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_IME_CHAR:
        case WM_CHAR: OnKeyMessage(message, wParam, lParam); return 0;
        case WM_COMMAND: OnCommandMessage(wParam); return 0;
        case WM_TIMER:
            if (wParam == kRecoveryTimerId) OnRecoveryTimer();
            if (wParam == kHandedPathsTimerId) OpenHandedPaths();
            return 0;
        case WM_COPYDATA: return ReceiveHandedPaths(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_DROPFILES: OpenDroppedFiles(reinterpret_cast<HDROP>(wParam)); return 0;
        case WM_NOTIFY: OnNotifyMessage(lParam); return 0;
        case WM_ACTIVATE: OnActivate(wParam); return 0;
        case WM_SETFOCUS: OnSetFocus(); return 0;
        case kQueryActiveTabState:
        case kQueryPartRect:
        case kFailNextLargeAllocation:
        case kPauseLoadsForTesting:
        case kQuerySearchState:
        case kRunBuildMessage:
        case kHexReadFailed:
        case kTextLoadMessage: return OnProgramMessage(message, wParam, lParam);
        case WM_CLOSE: OnClose(window); return 0;
        // Log-off and shutdown end the process without WM_CLOSE; a cancelled save prompt refuses
        // the end of the session.
        case WM_QUERYENDSESSION: return QueryEndSession() ? TRUE : FALSE;
        case WM_ENDSESSION: EndSession(window, wParam != 0); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
