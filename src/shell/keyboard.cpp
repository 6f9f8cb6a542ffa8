#include "shell/keyboard.h"

#include <windowsx.h>

#include <string>

#include "base/app_state.h"
#include "base/editor.h"
#include "shell/window_frame.h"
#include "workflow/tab_actions.h"
#include "document/document.h"
#include "io/open.h"
#include "persist/persist.h"
#include "search/quick_open.h"
#include "search/search_panel.h"
#include "base/command_ids.h"
#include "shell/commands.h"
#include "shell/key_table.h"
#include "shell/menu_bar.h"
#include "views/hex_view.h"

namespace {

// After a handled combination the system still delivers its control character; drop it.
bool suppressNextControlChar = false;
char pendingChord = 0;
const wchar_t kBaseProcProperty[] = L"TessaryBaseProc";

WNDPROC BaseProcOf(HWND window) { return reinterpret_cast<WNDPROC>(GetPropW(window, kBaseProcProperty)); }

bool KeyHeld(int vk) { return GetKeyState(vk) < 0; }

// The wheel goes to the focused editor; when the pointer rests on the sidebar, the results list
// an open drop-down menu or the tab bar, that one scrolls instead, as it would for any other pointer action there.
bool WheelToPanelUnderPointer(WPARAM wParam, LPARAM lParam) {
    if (WheelOverTabBar(wParam, lParam)) return true;
    HWND target = WindowFromPoint(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (!target || (target != app.sidebarWindow && target != app.resultListWindow && target != app.menuPopupWindow))
        return false;
    SendMessageW(target, WM_MOUSEWHEEL, wParam, lParam);
    return true;
}

Document* DocumentOf(HWND window) {
    for (Document& doc : documents) {
        if (doc.editor == window) return &doc;
    }
    return nullptr;
}

// The text position under a point and, past the end of its line, the virtual space up to it.
void PointToPosition(HWND ed, int x, int y, LRESULT& position, LRESULT& virtualSpace) {
    using namespace editor;
    // The nearest position: past the end of a line that is the line's end, below the text the last
    // line's (the "close" variant answers -1 for both, which is no line at all).
    position = Send(ed, kPositionFromPoint, static_cast<WPARAM>(x), y);
    if (position < 0) position = Send(ed, kGetLength);
    virtualSpace = 0;
    const LRESULT lineEnd = Send(ed, kGetLineEndPosition, static_cast<WPARAM>(Send(ed, kLineFromPosition, position)));
    if (position >= lineEnd) {
        const LRESULT xEnd = Send(ed, kPointXFromPosition, 0, lineEnd);
        const LRESULT space = Send(ed, kTextWidth, kDefaultStyle, reinterpret_cast<LPARAM>(" "));
        if (space > 0 && x > xEnd) virtualSpace = (x - xEnd) / space;
    }
}

// Ctrl+drag, and any drag in column mode, selects a rectangle.
bool HandleRectangleMouse(HWND ed, UINT message, LPARAM lParam) {
    const bool ctrl = KeyHeld(VK_CONTROL);
    const MouseEvent event = message == WM_LBUTTONDOWN ? MouseEvent::Press
                             : message == WM_MOUSEMOVE ? MouseEvent::Move
                                                       : MouseEvent::Release;
    const RectangleMouse step =
        RectangleMouseStep(event, app.rectangleDragging != 0, app.columnMode != 0, ctrl, pendingChord != 0);
    if (step == RectangleMouse::None) return false;
    if (step == RectangleMouse::End) {
        app.rectangleDragging = 0;
        ReleaseCapture();
        return true;
    }
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    LRESULT position = 0, virtualSpace = 0;
    using namespace editor;
    if (step == RectangleMouse::Start) {
        if (ctrl && !app.columnMode) {
            Send(ed, kSetSelectionMode, 1);
            Send(ed, kSetVirtualSpaceOptions, 1);
        }
        PointToPosition(ed, x, y, position, virtualSpace);
        Send(ed, kSetRectangularSelectionAnchor, static_cast<WPARAM>(position));
        Send(ed, kSetRectangularSelectionAnchorVirtualSpace, static_cast<WPARAM>(virtualSpace));
        Send(ed, kSetRectangularSelectionCaret, static_cast<WPARAM>(position));
        Send(ed, kSetRectangularSelectionCaretVirtualSpace, static_cast<WPARAM>(virtualSpace));
        SetCapture(ed);  // first: taking the capture over from itself may report a capture change
        app.rectangleDragging = 1;
        SetFocus(ed);
        return true;
    }
    PointToPosition(ed, x, y, position, virtualSpace);
    Send(ed, kSetRectangularSelectionCaret, static_cast<WPARAM>(position));
    Send(ed, kSetRectangularSelectionCaretVirtualSpace, static_cast<WPARAM>(virtualSpace));
    return true;
}

bool IsRecordedKey(WPARAM vk) { return vk == VK_DELETE || (vk >= VK_PRIOR && vk <= VK_DOWN); }

}  // namespace

WNDPROC SubclassEditor(HWND editorWindow) {
    // The component zooms its own window on Ctrl with the keypad's +, - and /; zoom is the
    // program's, for every tab at once and saved with the settings.
    constexpr WPARAM kCtrl = 2 << 16, kPadPlus = 310, kPadMinus = 311, kPadDivide = 312;
    for (WPARAM key : {kPadPlus, kPadMinus, kPadDivide}) editor::Send(editorWindow, editor::kClearCmdKey, key | kCtrl);
    auto base = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(editorWindow, GWLP_WNDPROC));
    // The base procedure is kept on the window itself so that it is found even while the
    // window's Document is still being built or already being removed.
    SetPropW(editorWindow, kBaseProcProperty, reinterpret_cast<HANDLE>(base));
    SetWindowLongPtrW(editorWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorProc));
    return base;
}

void HandleCtrlKey(unsigned vk, bool shift) {
    const KeyResult result = LookupCtrlKey(vk, shift, KeyHeld(VK_MENU), pendingChord);
    pendingChord = result.pendingChord;
    Document* doc = ActiveDocument();
    switch (result.action) {
        case KeyAction::Command: ExecuteCommand(result.command); break;
        case KeyAction::SelectAll:
            if (doc && !doc->hexMode) editor::Send(doc->editor, editor::kSelectAll);
            break;
        case KeyAction::SelectNextOccurrence:
            if (doc && !doc->hexMode) SelectNextOccurrence(doc->editor);
            break;
        case KeyAction::ToggleSidebar: ExecuteCommand(kCmdSidebar); break;
        case KeyAction::StartChord:
        case KeyAction::None: break;
    }
}

bool IsAltGrInput(UINT message, WPARAM wParam) {
    const bool ctrl = KeyHeld(VK_CONTROL), alt = KeyHeld(VK_MENU);
    if (!ctrl || !alt) return false;
    unsigned typed = static_cast<unsigned>(wParam);
    if (message != WM_CHAR) {
        // TranslateMessage has queued the character of a key press before the press is dispatched.
        MSG next{};
        typed = PeekMessageW(&next, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE | PM_NOYIELD | PM_QS_POSTMESSAGE)
                    ? static_cast<unsigned>(next.wParam)
                    : 0;
    }
    return IsAltGrTyping(ctrl, alt, KeyHeld(VK_RMENU), typed);
}

bool HandleEscape(HWND ed) {
    if (app.openMenu >= 0) {
        CloseMenus();
        return true;
    }
    if (HideQuickOpen()) return true;
    if (CancelActiveLoad()) return true;
    if (app.focusMode) {
        ExitFocusMode();
        return true;
    }
    if (app.searchPanelOpen) {
        CloseSearchPanel();
        return true;
    }
    if (ed && editor::Send(ed, editor::kGetSelections) > 1) {
        const LRESULT caret = editor::Send(ed, editor::kGetCurrentPos);
        editor::Send(ed, editor::kSetSelection, static_cast<WPARAM>(caret), caret);
        editor::Send(ed, editor::kSetMainSelection, 0);
        return true;
    }
    return false;
}

void SelectNextOccurrence(HWND ed) {
    using namespace editor;
    LRESULT searchStart = Send(ed, kGetSelectionEnd);
    if (Send(ed, kGetSelectionStart) == searchStart) {
        const LRESULT caret = Send(ed, kGetCurrentPos);
        const LRESULT start = Send(ed, kWordStartPosition, static_cast<WPARAM>(caret), 1);
        const LRESULT end = Send(ed, kWordEndPosition, static_cast<WPARAM>(caret), 1);
        if (end > start) {
            Send(ed, kSetSelection, static_cast<WPARAM>(start), end);
            searchStart = end;
        }
    }
    const LRESULT length = Send(ed, kGetSelText, 0, 0);
    std::string selected(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    Send(ed, kGetSelText, 0, reinterpret_cast<LPARAM>(selected.data()));
    selected.resize(std::char_traits<char>::length(selected.c_str()));
    if (selected.empty()) return;
    Send(ed, kSetSearchFlags, 0);
    Send(ed, kSetTargetRange, static_cast<WPARAM>(searchStart), Send(ed, kGetLength));
    const LRESULT found = Send(ed, kSearchInTarget, selected.size(), reinterpret_cast<LPARAM>(selected.data()));
    if (found < 0) return;
    const LRESULT count = Send(ed, kGetSelections);
    Send(ed, kAddSelection, static_cast<WPARAM>(found), found + static_cast<LPARAM>(selected.size()));
    Send(ed, kSetMainSelection, static_cast<WPARAM>(count));
    Send(ed, kScrollCaret);
}

void ToggleMacroRecording() {
    app.macroRecording = !app.macroRecording;
    if (app.macroRecording) app.macroBuffer.clear();
    RepaintArea(app.rects.statusBar);
}

void PlayMacro() {
    const Document* doc = ActiveDocument();
    if (app.macroBuffer.empty() || !doc || doc->readOnlyFile || !doc->editor) return;
    // Posted, not sent: the keys run after this command returns, in order, through EditorProc.
    for (int entry : app.macroBuffer) {
        const MacroStep step = MacroStepFor(entry);
        if (step.message) PostMessageW(doc->editor, step.message, step.wParam, step.message == WM_CHAR ? 1 : 0);
    }
}

namespace {

// The byte view is drawn by the main window; its keys, digits, clicks and wheel arrive here. True
// for every key and mouse message: none of them reaches the hidden editor.
bool HexViewInput(UINT message, WPARAM wParam, LPARAM lParam, bool ctrl, bool shift) {
    const auto vk = static_cast<unsigned>(wParam);
    if (message == WM_KEYDOWN && ctrl && EditorRoutesCtrlKey(vk, KeyHeld(VK_MENU)))
        HandleCtrlKey(vk, shift);
    else if (message == WM_KEYDOWN)
        HexKey(vk, ctrl, shift);
    else if (message == WM_CHAR && !ctrl)
        HexChar(static_cast<wchar_t>(wParam));
    else if (message == WM_LBUTTONDOWN)
        HexClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    else if (message == WM_MOUSEWHEEL)
        HexWheel(GET_WHEEL_DELTA_WPARAM(wParam));
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

// A character typed into the editor: recorded for the macro, and true when it is dropped (the
// control character of a key handled at key-down, or a Ctrl+letter's control character).
bool EditorCharTaken(WPARAM wParam, bool ctrl) {
    if (app.macroRecording && !ctrl && (wParam >= 32 || wParam == 8 || wParam == 9 || wParam == 13))
        app.macroBuffer.push_back(static_cast<int>(wParam));
    if (suppressNextControlChar) {
        suppressNextControlChar = false;
        return wParam < 32;
    }
    return ctrl && wParam < 32;
}

// A key pressed in the editor: true when the program handled it (F3, the Ctrl keys it routes,
// Ctrl+D, F11, Escape); the other keys are recorded for the macro and left to the component.
bool EditorKeyTaken(HWND window, unsigned vk, bool ctrl, bool shift) {
    if (!ctrl) {
        if (vk == VK_F3) {
            ExecuteCommand(shift ? kCmdFindPrevious : kCmdFindNext);
            suppressNextControlChar = true;
            return true;
        }
        if (app.macroRecording && IsRecordedKey(vk)) app.macroBuffer.push_back(-static_cast<int>(vk));
    } else if (EditorRoutesCtrlKey(vk, KeyHeld(VK_MENU))) {
        HandleCtrlKey(vk, shift);
        suppressNextControlChar = true;
        return true;
    } else if (vk == 'D') {
        SelectNextOccurrence(window);
        return true;
    }
    if (vk == VK_F11) {
        ExecuteCommand(shift ? kCmdDistractionFree : kCmdFullScreen);
        suppressNextControlChar = true;
        return true;
    }
    if (vk == VK_ESCAPE && HandleEscape(window)) {
        suppressNextControlChar = true;  // or the component would insert the ESC character
        return true;
    }
    return false;
}

}  // namespace

LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Every message of the editor passes here, painting included: the window property is only
    // asked for when no tab knows the window (any longer).
    const Document* doc = DocumentOf(window);
    WNDPROC base = doc && doc->baseEditorProc ? doc->baseEditorProc : BaseProcOf(window);
    auto passOn = [&] {
        return base ? CallWindowProcW(base, window, message, wParam, lParam)
                    : DefWindowProcW(window, message, wParam, lParam);
    };
    if (message == WM_NCDESTROY) {
        editor::Forget(window);  // the component's object goes with the window
        RemovePropW(window, kBaseProcProperty);
        return base ? CallWindowProcW(base, window, message, wParam, lParam) : 0;
    }
    if (message == WM_DROPFILES) {
        OpenDroppedFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    const bool input = (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
                       (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_CAPTURECHANGED;
    if (!input) return passOn();
    const bool altGr = (message == WM_KEYDOWN || message == WM_CHAR) && IsAltGrInput(message, wParam);
    const bool ctrl = KeyHeld(VK_CONTROL) && !altGr, shift = KeyHeld(VK_SHIFT);
    if (message == WM_MOUSEWHEEL && WheelToPanelUnderPointer(wParam, lParam)) return 0;
    if (doc && doc->hexMode && HexViewInput(message, wParam, lParam, ctrl, shift)) return 0;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            if (HandleRectangleMouse(window, message, lParam)) return 0;
            break;
        case WM_CAPTURECHANGED:  // Alt+Tab and the like take the mouse away in the middle of a drag
            app.rectangleDragging = 0;
            break;
        case WM_CHAR:
            if (EditorCharTaken(wParam, ctrl)) return 0;
            break;
        case WM_KEYDOWN:
            if (EditorKeyTaken(window, static_cast<unsigned>(wParam), ctrl, shift)) return 0;
            break;
        case WM_MOUSEWHEEL:
            if (ctrl) {
                ChangeZoom(static_cast<short>(HIWORD(wParam)) > 0 ? 1 : -1);
                return 0;
            }
            break;
        default: break;
    }
    return passOn();
}
