#include "base/editor.h"

#include <vector>

namespace editor {
namespace {

using CreateLexerFn = void*(__stdcall*)(const char* name);
HMODULE componentModule = nullptr;

// The component's messages start here; below are the system's window messages.
constexpr UINT kFirstComponentMessage = 2000;

using DirectFn = LRESULT (*)(LPARAM pointer, UINT msg, WPARAM w, LPARAM l);
struct Direct {
    HWND window;
    DirectFn function;
    LPARAM pointer;
};
// A handful of windows, one per tab; the last one used is looked at first.
std::vector<Direct> directs;
size_t lastDirect = 0;

const Direct* DirectOf(HWND window) {
    if (lastDirect < directs.size() && directs[lastDirect].window == window) return &directs[lastDirect];
    for (size_t i = 0; i < directs.size(); ++i) {
        if (directs[i].window == window) {
            lastDirect = i;
            return &directs[i];
        }
    }
    return nullptr;
}

}  // namespace

LRESULT Send(HWND editor, UINT msg, WPARAM w, LPARAM l) {
    if (!editor) return 0;
    if (msg >= kFirstComponentMessage) {
        if (const Direct* d = DirectOf(editor)) return d->function(d->pointer, msg, w, l);
    }
    return SendMessageW(editor, msg, w, l);
}

HWND Create(HWND parent, DWORD style, int id, HINSTANCE instance) {
    HWND window = CreateWindowExW(0, L"Scintilla", L"", style, 0, 0, 10, 10, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!window) return nullptr;
    auto function = reinterpret_cast<DirectFn>(SendMessageW(window, kGetDirectFunction, 0, 0));
    const LPARAM pointer = SendMessageW(window, kGetDirectPointer, 0, 0);
    if (function && pointer) directs.push_back(Direct{window, function, pointer});
    return window;
}

void Forget(HWND editor) {
    for (size_t i = 0; i < directs.size(); ++i) {
        if (directs[i].window == editor) {
            directs.erase(directs.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    lastDirect = 0;
}

void Destroy(HWND editor) {
    if (!editor) return;
    Forget(editor);
    DestroyWindow(editor);
}

void SetText(HWND editor, const std::string& utf8) {
    // Not SCI_SETTEXT: it takes a zero-terminated string and would cut the text at its first NUL.
    Send(editor, kBeginUndoAction);
    Send(editor, kClearAll);
    Send(editor, kAppendText, utf8.size(), reinterpret_cast<LPARAM>(utf8.data()));
    Send(editor, kEndUndoAction);
}

std::string GetText(HWND editor) {
    const auto length = static_cast<size_t>(Send(editor, kGetLength));
    std::string text(length + 1, '\0');
    Send(editor, kGetText, length + 1, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

const char* RangePointer(HWND editor, long long position, long long length) {
    return reinterpret_cast<const char*>(
        Send(editor, kGetRangePointer, static_cast<WPARAM>(position), static_cast<LPARAM>(length)));
}

void AddText(HWND editor, const char* data, size_t length) {
    Send(editor, kAddText, length, reinterpret_cast<LPARAM>(data));
}

long long Length(HWND editor) { return Send(editor, kGetLength); }
long long LineCount(HWND editor) { return Send(editor, kGetLineCount); }
long long FirstVisibleLine(HWND editor) { return Send(editor, kGetFirstVisibleLine); }
void SetFirstVisibleLine(HWND editor, long long line) { Send(editor, kSetFirstVisibleLine, static_cast<WPARAM>(line)); }
long long LinesOnScreen(HWND editor) { return Send(editor, kLinesOnScreen); }
long long DisplayLineCount(HWND editor) {
    const long long last = LineCount(editor) - 1;
    return Send(editor, kVisibleFromDocLine, static_cast<WPARAM>(last)) +
           Send(editor, kWrapCount, static_cast<WPARAM>(last));
}
long long XOffset(HWND editor) { return Send(editor, kGetXOffset); }
void SetXOffset(HWND editor, long long offset) { Send(editor, kSetXOffset, static_cast<WPARAM>(offset)); }
long long PositionFromPoint(HWND editor, int x, int y) {
    return Send(editor, kPositionFromPointClose, static_cast<WPARAM>(x), static_cast<LPARAM>(y));
}
void SetSavePoint(HWND editor) { Send(editor, kSetSavePoint); }
void SetReadOnly(HWND editor, bool readOnly) { Send(editor, kSetReadOnly, readOnly ? 1 : 0); }

void StyleSetColours(HWND editor, int style, COLORREF fore, COLORREF back) {
    Send(editor, kStyleSetFore, static_cast<WPARAM>(style), static_cast<LPARAM>(fore));
    Send(editor, kStyleSetBack, static_cast<WPARAM>(style), static_cast<LPARAM>(back));
}

const char* LexerName(int lexerId) {
    switch (lexerId) {
        case 1: return "null";
        case 2: return "python";
        case 3: return "cpp";
        case 4: return "hypertext";
        case 5: return "xml";
        case 38: return "css";
        case 98: return "markdown";
        case 120: return "json";
        default: return nullptr;
    }
}

bool SetLexer(HWND editor, int lexerId) {
    const char* name = LexerName(lexerId);
    if (!name || !editor || !componentModule) return false;
    auto create =
        reinterpret_cast<CreateLexerFn>(reinterpret_cast<void*>(GetProcAddress(componentModule, "CreateLexer")));
    if (!create) return false;
    void* lexer = create(name);
    if (!lexer) return false;
    // The component takes ownership of the lexer object.
    Send(editor, kSetILexer, 0, reinterpret_cast<LPARAM>(lexer));
    return true;
}

HMODULE LoadComponent(const std::wstring& dllPath) {
    // Exactly this file, by its full path; what it needs comes from its own folder or the system's.
    componentModule =
        LoadLibraryExW(dllPath.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    return componentModule;
}

}  // namespace editor
