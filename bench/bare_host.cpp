// The baseline for the typing benchmark: a window of its own class ("TesBareHost") with one
// editing component filling it, holding the file named on the command line and nothing else. A
// file ending in .cpp, .h or .c gets the C++ lexer, like the editor would give it.
//
//   TesBareHost.exe FILE      (SciLexer.dll is loaded from the executable's folder)
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

namespace {

constexpr UINT kSetCodePage = 2037, kAppendText = 2282, kEmptyUndoBuffer = 2175, kSetSavePoint = 2014,
               kSetILexer = 4033, kGotoPos = 2025;
HWND editor = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (editor) MoveWindow(editor, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_SETFOCUS:
            if (editor) SetFocus(editor);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::string ReadAll(const wchar_t* path) {
    std::string bytes;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        if (!ReadFile(file, bytes.data() + done, want, &got, nullptr) || got == 0) break;
        done += got;
    }
    bytes.resize(done);
    CloseHandle(file);
    return bytes;
}

bool EndsWith(const std::wstring& text, const wchar_t* tail) {
    const std::wstring t(tail);
    return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    const std::wstring path = argv[1];

    wchar_t module[MAX_PATH];
    std::wstring dir(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
    dir.resize(dir.find_last_of(L"\\/") + 1);
    HMODULE component = LoadLibraryW((dir + L"SciLexer.dll").c_str());
    if (!component) return 3;

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"TesBareHost";
    RegisterClassExW(&wc);
    HWND window = CreateWindowExW(0, L"TesBareHost", L"TesBareHost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                  1200, 800, nullptr, nullptr, instance, nullptr);
    if (!window) return 4;
    editor = CreateWindowExW(0, L"Scintilla", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, window, nullptr, instance,
                             nullptr);
    if (!editor) return 5;
    SendMessageW(editor, kSetCodePage, 65001, 0);
    if (EndsWith(path, L".cpp") || EndsWith(path, L".h") || EndsWith(path, L".c")) {
        using CreateLexerFn = void*(__stdcall*)(const char*);
        auto create = reinterpret_cast<CreateLexerFn>(reinterpret_cast<void*>(GetProcAddress(component, "CreateLexer")));
        if (void* lexer = create ? create("cpp") : nullptr) SendMessageW(editor, kSetILexer, 0, reinterpret_cast<LPARAM>(lexer));
    }
    const std::string text = ReadAll(path.c_str());
    SendMessageW(editor, kAppendText, text.size(), reinterpret_cast<LPARAM>(text.data()));
    SendMessageW(editor, kEmptyUndoBuffer, 0, 0);
    SendMessageW(editor, kSetSavePoint, 0, 0);
    SendMessageW(editor, kGotoPos, 0, 0);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetFocus(editor);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
