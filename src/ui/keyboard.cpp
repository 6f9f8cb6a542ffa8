#include "ui/keyboard.h"

#include "app/app_state.h"
#include "app/key_routing.h"
#include "io/open.h"
#include "ui/commands.h"

namespace {

// After a Ctrl combination the system still delivers its control character; drop it.
bool suppressNextControlChar = false;
const wchar_t kBaseProcProperty[] = L"TessaryBaseProc";

WNDPROC BaseProcOf(HWND window) { return reinterpret_cast<WNDPROC>(GetPropW(window, kBaseProcProperty)); }

}  // namespace

WNDPROC SubclassEditor(HWND editorWindow) {
    auto base = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(editorWindow, GWLP_WNDPROC));
    // The base procedure is kept on the window itself so that it is found even while the
    // window's Document is still being built or already being removed.
    SetPropW(editorWindow, kBaseProcProperty, reinterpret_cast<HANDLE>(base));
    SetWindowLongPtrW(editorWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorProc));
    return base;
}

bool IsCtrlTableKey(unsigned vk) { return ClassifyMainKeyDown(vk, true, false) == MainKeyAction::CtrlHandler; }

void HandleCtrlKey(unsigned vk, bool shift) {
    switch (vk) {
        case 'N': ExecuteCommand(100); break;
        case 'O': ExecuteCommand(101); break;
        case 'S': ExecuteCommand(shift ? 104 : 103); break;
        case 'W': ExecuteCommand(shift ? 108 : 107); break;
        default: break;
    }
}

LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC base = BaseProcOf(window);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (message == WM_KEYDOWN && ctrl && IsCtrlTableKey(static_cast<unsigned>(wParam))) {
        HandleCtrlKey(static_cast<unsigned>(wParam), GetKeyState(VK_SHIFT) < 0);
        suppressNextControlChar = true;
        return 0;
    }
    if (message == WM_DROPFILES) {  // files dropped on the text open like files dropped on the window
        OpenDroppedFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    if (message == WM_CHAR && suppressNextControlChar) {
        suppressNextControlChar = false;
        if (wParam < 32) return 0;
    }
    if (!base) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) RemovePropW(window, kBaseProcProperty);
    return CallWindowProcW(base, window, message, wParam, lParam);
}
