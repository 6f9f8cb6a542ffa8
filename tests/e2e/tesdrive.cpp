// tesdrive: drives a running Tessary from the outside, one action per invocation.
// Exit codes: 0 success, 1 failure or timeout (reason on stderr), 2 bad usage.
// Output is UTF-8, one item per line; backslash, CR and LF inside an item are escaped
// (\\, \r, \n) so that callers can read it line by line.
//
// Build: x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -municode -static -static-libgcc
//        -static-libstdc++ tesdrive.cpp -o tesdrive.exe -luser32 -lgdi32

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultTimeoutMs = 10000;
constexpr DWORD kDefaultQuietMs = 1500;
constexpr DWORD kPollMs = 50;
constexpr DWORD kKeyGapMs = 30;
constexpr UINT kSendTimeoutMs = 5000;
constexpr int kMsgBoxTextId = 0xFFFF;
const wchar_t kDialogClass[] = L"#32770";

enum ExitCode { kOk = 0, kFailed = 1, kBadUsage = 2 };

// Raw bytes, so neither the console code page nor Wine's line-ending handling gets a say.
void WriteUtf8(DWORD which, const std::wstring& text) {
    if (text.empty()) return;
    int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    HANDLE handle = GetStdHandle(which);
    const char* at = bytes.data();
    DWORD left = static_cast<DWORD>(bytes.size());
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(handle, at, left, &written, nullptr) || written == 0) return;
        at += written;
        left -= written;
    }
}

std::wstring Escape(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'\\')
            out += L"\\\\";
        else if (c == L'\n')
            out += L"\\n";
        else if (c == L'\r')
            out += L"\\r";
        else
            out += c;
    }
    return out;
}

void PrintLine(const std::wstring& text) { WriteUtf8(STD_OUTPUT_HANDLE, Escape(text) + L"\n"); }

int Fail(const std::wstring& reason) {
    WriteUtf8(STD_ERROR_HANDLE, L"tesdrive: " + Escape(reason) + L"\n");
    return kFailed;
}

int BadUsage(const std::wstring& reason) {
    WriteUtf8(STD_ERROR_HANDLE, L"tesdrive: " + reason + L"\n");
    return kBadUsage;
}

int Usage(const std::wstring& synopsis) { return BadUsage(L"usage: tesdrive " + synopsis); }

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Decimal or 0x-hex, optionally negative; the whole argument must be consumed.
bool ParseNumber(const std::wstring& text, long long& value) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == L'-' || text[at] == L'+')) negative = text[at++] == L'-';
    int base = 10;
    if (text.size() - at > 2 && text[at] == L'0' && (text[at + 1] == L'x' || text[at + 1] == L'X')) {
        base = 16;
        at += 2;
    }
    if (at >= text.size()) return false;
    unsigned long long magnitude = 0;
    for (; at < text.size(); ++at) {
        wchar_t c = static_cast<wchar_t>(std::towlower(text[at]));
        int digit = -1;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        if (digit < 0) return false;
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

bool ParseTimeout(const std::vector<std::wstring>& args, size_t index, DWORD fallback, DWORD& timeout) {
    timeout = fallback;
    if (index >= args.size()) return true;
    long long value = 0;
    if (!ParseNumber(args[index], value) || value < 0 || value > 0x7FFFFFFF) return false;
    timeout = static_cast<DWORD>(value);
    return true;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

// Stored window text; does not send a message, so a busy target cannot block us.
std::wstring TextOf(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

struct WindowSearch {
    std::wstring className;
    HWND visible = nullptr;
    HWND any = nullptr;
    int count = 0;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    if (ClassOf(hwnd) != search.className) return TRUE;
    ++search.count;
    if (!search.any) search.any = hwnd;
    if (!search.visible && IsWindowVisible(hwnd)) search.visible = hwnd;
    return TRUE;
}

WindowSearch FindTopLevel(const std::wstring& className) {
    WindowSearch search{className};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

WindowSearch FindDescendants(HWND parent, const std::wstring& className) {
    WindowSearch search{className};
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

HWND FindTarget(const std::wstring& className) {
    WindowSearch search = FindTopLevel(className);
    return search.visible ? search.visible : search.any;
}

// Polls done() until it holds or the timeout passes; checks once more at the deadline.
template <typename Check>
bool WaitUntil(DWORD timeoutMs, Check done) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

HWND WaitForTopLevel(const std::wstring& className, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(timeoutMs, [&] { return (found = FindTopLevel(className).visible) != nullptr; });
    return found;
}

std::wstring MessageBoxText(HWND dialog) {
    std::wstring fallback;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (Lower(ClassOf(child)) != L"static") continue;
        std::wstring text = TextOf(child);
        if (text.empty()) continue;
        if ((GetDlgCtrlID(child) & 0xFFFF) == kMsgBoxTextId) return text;
        if (fallback.empty()) fallback = text;
    }
    return fallback;
}

void PrintMessageBox(HWND dialog) {
    PrintLine(TextOf(dialog));
    PrintLine(MessageBoxText(dialog));
}

// Sends and waits up to kSendTimeoutMs for the answer. Not SMTO_ABORTIFHUNG: a thread counts as
// hung when it has not asked for a message for 5 s, which is how the program's thread looks on a
// loaded machine until its first message box starts pumping, so a press sent at once would fail.
bool SendQuietly(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs,
                               result ? result : &ignored) != 0;
}

// Key input only reaches the app once its window is the foreground one. While a modal
// dialog disables the window, the dialog is what a user switching to the app would get.
bool BringToFront(HWND hwnd) {
    HWND popup = GetLastActivePopup(hwnd);
    HWND wanted = popup && IsWindowVisible(popup) && IsWindowEnabled(popup) ? popup : hwnd;
    ULONGLONG deadline = GetTickCount64() + 2000;
    for (;;) {
        SetForegroundWindow(wanted);
        HWND front = GetForegroundWindow();
        if (front == hwnd || (front && GetAncestor(front, GA_ROOTOWNER) == hwnd)) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

HWND FirstScintilla(HWND top) {
    WindowSearch search = FindDescendants(top, L"Scintilla");
    return search.visible ? search.visible : search.any;
}

struct KeyStroke {
    std::vector<WORD> modifiers;
    WORD key = 0;
};

WORD KeyFromName(const std::wstring& name, bool ctrlHeld) {
    if (name.size() == 1 && name[0] >= L'a' && name[0] <= L'z') return static_cast<WORD>(std::towupper(name[0]));
    if (name.size() == 1 && name[0] >= L'0' && name[0] <= L'9') return static_cast<WORD>(name[0]);
    if (name.size() >= 2 && name.size() <= 3 && name[0] == L'f' && std::iswdigit(name[1]) &&
        (name.size() == 2 || std::iswdigit(name[2]))) {
        int n = std::stoi(name.substr(1));
        if (n >= 1 && n <= 24) return static_cast<WORD>(VK_F1 + n - 1);
    }
    struct Named {
        const wchar_t* name;
        WORD key;
    };
    static const Named names[] = {
        {L"enter", VK_RETURN},  {L"escape", VK_ESCAPE},   {L"esc", VK_ESCAPE},      {L"tab", VK_TAB},
        {L"space", VK_SPACE},   {L"back", VK_BACK},       {L"backspace", VK_BACK},  {L"delete", VK_DELETE},
        {L"home", VK_HOME},     {L"end", VK_END},         {L"up", VK_UP},           {L"down", VK_DOWN},
        {L"left", VK_LEFT},     {L"right", VK_RIGHT},     {L"pageup", VK_PRIOR},    {L"pagedown", VK_NEXT},
        {L"plus", VK_OEM_PLUS}, {L"minus", VK_OEM_MINUS}, {L"comma", VK_OEM_COMMA}, {L"slash", VK_OEM_2},
        {L"insert", VK_INSERT}, {L"add", VK_ADD},         {L"ctrl", VK_CONTROL},    {L"subtract", VK_SUBTRACT},
        {L"shift", VK_SHIFT},   {L"alt", VK_MENU},
    };
    // A real keyboard reports Ctrl+Break as VK_CANCEL and plain Break as VK_PAUSE.
    if (name == L"break") return ctrlHeld ? VK_CANCEL : VK_PAUSE;
    for (const Named& entry : names)
        if (name == entry.name) return entry.key;
    return 0;
}

bool ParseCombo(const std::wstring& combo, KeyStroke& stroke) {
    std::vector<std::wstring> parts;
    std::wstring text = Lower(combo);
    size_t start = 0;
    for (;;) {
        size_t plus = text.find(L'+', start);
        parts.push_back(text.substr(start, plus == std::wstring::npos ? std::wstring::npos : plus - start));
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    bool ctrl = false;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::wstring& part = parts[i];
        if (part == L"ctrl" || part == L"control") {
            stroke.modifiers.push_back(VK_CONTROL);
            ctrl = true;
        } else if (part == L"shift") {
            stroke.modifiers.push_back(VK_SHIFT);
        } else if (part == L"alt") {
            stroke.modifiers.push_back(VK_MENU);
        } else if (part == L"altgr") {
            // What the right Alt key of a layout with AltGr sends: a left Ctrl, then the right Alt.
            stroke.modifiers.push_back(VK_CONTROL);
            stroke.modifiers.push_back(VK_RMENU);
            ctrl = true;
        } else {
            return false;
        }
    }
    stroke.key = KeyFromName(parts.back(), ctrl);
    return stroke.key != 0;
}

bool IsExtendedKey(WORD key) {
    switch (key) {
        case VK_INSERT:
        case VK_DELETE:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_RMENU:
        case VK_CANCEL: return true;
        default: return false;
    }
}

bool SendKey(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    bool sent = SendInput(1, &input, sizeof(input)) == 1;
    Sleep(kKeyGapMs);
    return sent;
}

// Gives the window's program a moment to take in the input sent so far (pointer motion that a
// SetCursorPos has caused on the X server, keys), so that it cannot arrive after the messages of a
// later step.
void LetInputSettle(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = pid ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid) : nullptr;
    Sleep(30);
    if (!process) return;
    WaitForInputIdle(process, 2000);
    CloseHandle(process);
}

bool SendStroke(const KeyStroke& stroke) {
    bool ok = true;
    for (WORD modifier : stroke.modifiers) ok = SendKey(modifier, false) && ok;
    ok = SendKey(stroke.key, false) && ok;
    ok = SendKey(stroke.key, true) && ok;
    for (auto it = stroke.modifiers.rbegin(); it != stroke.modifiers.rend(); ++it) ok = SendKey(*it, true) && ok;
    return ok;
}

// Deepest visible, enabled child under a client point of top, the way the mouse would hit it.
HWND HitChild(HWND top, POINT& point) {
    HWND current = top;
    for (;;) {
        HWND child = ChildWindowFromPointEx(current, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
        if (!child || child == current) return current;
        MapWindowPoints(current, child, &point, 1);
        current = child;
    }
}

LPARAM PointParam(POINT point) { return MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)); }

// ---- subcommands ----------------------------------------------------------------------------

using Args = std::vector<std::wstring>;

int CmdWaitWindow(const Args& args) {
    DWORD timeout = 0;
    if (args.size() < 1 || args.size() > 2 || !ParseTimeout(args, 1, kDefaultTimeoutMs, timeout))
        return Usage(L"wait-window <class> [timeout]");
    HWND hwnd = WaitForTopLevel(args[0], timeout);
    if (!hwnd) return Fail(L"no visible window of class " + args[0]);
    PrintLine(TextOf(hwnd));
    return kOk;
}

int CmdTitle(const Args& args) {
    if (args.size() != 1) return Usage(L"title <class>");
    HWND hwnd = FindTarget(args[0]);
    if (!hwnd) return Fail(L"no window of class " + args[0]);
    PrintLine(TextOf(hwnd));
    return kOk;
}

// What a visible top-level window answers to WM_GETTEXT (for a tooltip, the tip it shows).
int CmdWindowText(const Args& args) {
    if (args.size() != 1) return Usage(L"window-text <class>");
    HWND hwnd = FindTopLevel(args[0]).visible;
    if (!hwnd) return Fail(L"no visible window of class " + args[0]);
    wchar_t text[512] = {};
    if (!SendQuietly(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text))) return Fail(L"window did not answer");
    PrintLine(text);
    return kOk;
}

// The first visible window of class args[1] at any depth inside the window of class args[0]; null,
// with the reason printed, when there is none.
HWND VisibleChildOf(const Args& args) {
    HWND top = FindTarget(args[0]);
    if (!top) {
        Fail(L"no window of class " + args[0]);
        return nullptr;
    }
    HWND child = FindDescendants(top, args[1]).visible;
    if (!child) Fail(L"no visible window of class " + args[1] + L" in " + args[0]);
    return child;
}

// The text of the first visible window of a class inside a top-level window (a self-drawn list
// answers with what it shows).
int CmdChildText(const Args& args) {
    if (args.size() != 2) return Usage(L"child-text <class> <child class>");
    HWND child = VisibleChildOf(args);
    if (!child) return kFailed;
    wchar_t text[1024] = {};
    if (!SendQuietly(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text))) return Fail(L"window did not answer");
    PrintLine(text);
    return kOk;
}

// Screen rectangle "x y width height" of a visible child window (at any depth) of CLASS.
int CmdChildRect(const Args& args) {
    if (args.size() != 2) return Usage(L"child-rect <class> <child class>");
    HWND child = VisibleChildOf(args);
    if (!child) return kFailed;
    RECT rect = {};
    GetWindowRect(child, &rect);
    PrintLine(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
              std::to_wstring(rect.right - rect.left) + L" " + std::to_wstring(rect.bottom - rect.top));
    return kOk;
}

int CmdRect(const Args& args) {
    if (args.size() != 1) return Usage(L"rect <class>");
    HWND hwnd = FindTarget(args[0]);
    if (!hwnd) return Fail(L"no window of class " + args[0]);
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    PrintLine(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
              std::to_wstring(rect.right - rect.left) + L" " + std::to_wstring(rect.bottom - rect.top));
    return kOk;
}

int PostTo(const std::wstring& className, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = FindTarget(className);
    if (!hwnd) return Fail(L"no window of class " + className);
    if (!PostMessageW(hwnd, msg, wParam, lParam)) return Fail(L"PostMessage failed");
    return kOk;
}

int CmdCommand(const Args& args) {
    long long id = 0, lParam = 0;
    if (args.size() < 2 || args.size() > 3 || !ParseNumber(args[1], id) ||
        (args.size() == 3 && !ParseNumber(args[2], lParam)))
        return Usage(L"command <class> <id> [lparam]");
    return PostTo(args[0], WM_COMMAND, static_cast<WPARAM>(id), static_cast<LPARAM>(lParam));
}

int CmdPost(const Args& args) {
    long long msg = 0, wParam = 0, lParam = 0;
    if (args.size() != 4 || !ParseNumber(args[1], msg) || !ParseNumber(args[2], wParam) ||
        !ParseNumber(args[3], lParam))
        return Usage(L"post <class> <msg> <wparam> <lparam>");
    return PostTo(args[0], static_cast<UINT>(msg), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

// SendMessage to the top-level window; the result is printed as a signed decimal. A timeout (ms)
// lets the answer wait for a prompt the message raises (WM_QUERYENDSESSION asking to save).
int CmdSend(const Args& args) {
    long long msg = 0, wParam = 0, lParam = 0;
    DWORD timeout = kSendTimeoutMs;
    if (args.size() < 2 || args.size() > 5 || !ParseNumber(args[1], msg) ||
        (args.size() > 2 && !ParseNumber(args[2], wParam)) || (args.size() > 3 && !ParseNumber(args[3], lParam)) ||
        !ParseTimeout(args, 4, kSendTimeoutMs, timeout))
        return Usage(L"send <class> <msg> [wparam] [lparam] [timeout]");
    HWND hwnd = FindTarget(args[0]);
    if (!hwnd) return Fail(L"no window of class " + args[0]);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, static_cast<UINT>(msg), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam),
                             SMTO_NORMAL, timeout, &result))
        return Fail(L"window did not answer");
    PrintLine(std::to_wstring(static_cast<long long>(static_cast<LONG_PTR>(result))));
    return kOk;
}

// Types a path into an open or save dialog's file-name field and presses OK, as a user would.
// With "overwrite" last, the dialog's question whether to replace an existing file is answered Yes.
int CmdFileDialog(Args args) {
    const bool overwrite = !args.empty() && args.back() == L"overwrite";
    if (overwrite) args.pop_back();
    DWORD timeout = 0;
    if (args.empty() || args.size() > 2 || !ParseTimeout(args, 1, kDefaultTimeoutMs, timeout))
        return Usage(L"file-dialog <path> [timeout] [overwrite]");
    HWND dialog = nullptr;
    HWND field = nullptr;
    WaitUntil(timeout, [&] {
        dialog = FindTopLevel(kDialogClass).visible;
        if (!dialog) return false;
        field = GetDlgItem(dialog, 0x47C);  // the file-name combo box of the explorer-style dialog
        if (!field) field = GetDlgItem(dialog, 0x480);
        return field != nullptr;
    });
    if (!dialog || !field) return Fail(L"no file dialog appeared");
    if (!SendQuietly(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[0].c_str())))
        return Fail(L"file dialog did not take the name");
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    const auto closed = [&] {
        if (!IsWindow(dialog)) return true;
        HWND question = GetLastActivePopup(dialog);
        if (overwrite && question && question != dialog && IsWindowVisible(question))
            PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(question, IDYES)));
        return false;
    };
    if (!WaitUntil(timeout, closed)) return Fail(L"file dialog stayed open");
    return kOk;
}

// The clipboard's Unicode text; fails when it holds none.
int CmdClipboard(const Args& args) {
    if (!args.empty()) return Usage(L"clipboard");
    if (!OpenClipboard(nullptr)) return Fail(L"cannot open the clipboard");
    std::wstring text;
    bool found = false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = units;
            found = true;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    if (!found) return Fail(L"no text on the clipboard");
    PrintLine(text);
    return kOk;
}

// Holds a file open without sharing for a while, as another program locking it would.
// Set by `unlock` to end a `lock-file` early.
constexpr wchar_t kUnlockEvent[] = L"Local\\TesdriveUnlock";

// Holds a file open without sharing until `unlock` or until <ms> have passed.
int CmdLockFile(const Args& args) {
    long long ms = 0;
    if (args.size() != 2 || !ParseNumber(args[1], ms) || ms < 0) return Usage(L"lock-file <path> <ms>");
    HANDLE unlock = CreateEventW(nullptr, TRUE, FALSE, kUnlockEvent);
    if (!unlock) return Fail(L"cannot create the unlock event");
    ResetEvent(unlock);
    HANDLE file = CreateFileW(args[0].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        CloseHandle(unlock);
        return Fail(L"cannot lock " + args[0]);
    }
    PrintLine(L"locked");
    WaitForSingleObject(unlock, static_cast<DWORD>(ms));
    CloseHandle(file);
    CloseHandle(unlock);
    return kOk;
}

int CmdUnlock(const Args& args) {
    if (!args.empty()) return Usage(L"unlock");
    HANDLE unlock = OpenEventW(EVENT_MODIFY_STATE, FALSE, kUnlockEvent);
    if (!unlock) return Fail(L"nothing is locked");
    SetEvent(unlock);
    CloseHandle(unlock);
    return kOk;
}

int CmdWaitMsgBox(const Args& args) {
    DWORD timeout = 0;
    if (args.size() > 1 || !ParseTimeout(args, 0, kDefaultTimeoutMs, timeout)) return Usage(L"wait-msgbox [timeout]");
    HWND dialog = WaitForTopLevel(kDialogClass, timeout);
    if (!dialog) return Fail(L"no message box appeared");
    PrintMessageBox(dialog);
    return kOk;
}

int CmdAnswerMsgBox(const Args& args) {
    struct Button {
        const wchar_t* name;
        int id;
    };
    static const Button buttons[] = {
        {L"yes", IDYES},     {L"no", IDNO},       {L"cancel", IDCANCEL}, {L"ok", IDOK},
        {L"retry", IDRETRY}, {L"abort", IDABORT}, {L"ignore", IDIGNORE},
    };
    DWORD timeout = 0;
    if (args.size() < 1 || args.size() > 2 || !ParseTimeout(args, 1, kDefaultTimeoutMs, timeout))
        return Usage(L"answer-msgbox <yes|no|cancel|ok|retry|abort|ignore> [timeout]");
    int id = 0;
    for (const Button& button : buttons)
        if (Lower(args[0]) == button.name) id = button.id;
    if (id == 0) return BadUsage(L"unknown button " + args[0]);

    ULONGLONG start = GetTickCount64();
    HWND dialog = WaitForTopLevel(kDialogClass, timeout);
    if (!dialog) return Fail(L"no message box appeared");
    PrintMessageBox(dialog);
    HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowVisible(button)) return Fail(L"message box has no " + args[0] + L" button");
    if (!SendQuietly(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)))
        return Fail(L"message box did not take the button press");
    // Return only once the box is gone, so the next step sees what the answer led to.
    DWORD elapsed = static_cast<DWORD>(GetTickCount64() - start);
    DWORD left = timeout > elapsed ? timeout - elapsed : 0;
    if (!WaitUntil(left + kPollMs, [&] { return !IsWindow(dialog); }))
        return Fail(L"message box stayed open after pressing " + args[0]);
    return kOk;
}

// How long the window takes to answer a message again after being set to work, in milliseconds:
// `command <id>` sends that WM_COMMAND and waits for it; `answer <button> <title>` presses a
// message-box button and waits until the window shows that title and answers. For benchmarks.
int CmdBusyTime(const Args& args) {
    long long id = 0;
    const bool command = args.size() == 3 && args[1] == L"command" && ParseNumber(args[2], id);
    const bool answer = args.size() == 4 && args[1] == L"answer";
    if (!command && !answer)
        return Usage(L"busy-time <class> command <id> | busy-time <class> answer <button> <title>");
    HWND hwnd = FindTarget(args[0]);
    if (!hwnd) return Fail(L"no window of class " + args[0]);
    constexpr UINT kLongMs = 600000;
    DWORD_PTR ignored = 0;
    ULONGLONG start = GetTickCount64();
    if (command) {
        if (!SendMessageTimeoutW(hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_NORMAL, kLongMs, &ignored))
            return Fail(L"window did not answer");
    } else {
        const int button = Lower(args[2]) == L"yes" ? IDYES : Lower(args[2]) == L"no" ? IDNO : IDOK;
        HWND dialog = WaitForTopLevel(kDialogClass, kDefaultTimeoutMs);
        if (!dialog || !GetDlgItem(dialog, button)) return Fail(L"no message box with that button appeared");
        start = GetTickCount64();
        if (!SendQuietly(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, button))))
            return Fail(L"message box did not take the button press");
        // The title changes once the work is done; the answer comes once the window reads messages.
        const bool done = WaitUntil(kLongMs, [&] {
            return TextOf(hwnd) == args[3] &&
                   SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kLongMs, &ignored) != 0;
        });
        if (!done) return Fail(L"the window did not get to the title " + args[3]);
    }
    PrintLine(std::to_wstring(GetTickCount64() - start));
    return kOk;
}

// How the window answers while it works after a message-box button press, until it shows the title
// `title`: WM_NULL is sent again and again, and the longest wait between two answers is the worst
// gap. Prints "<ms until the title> <worst gap ms>". For benchmarks.
int CmdAnswerGaps(const Args& args) {
    if (args.size() != 3) return Usage(L"answer-gaps <class> <button> <title>");
    HWND hwnd = FindTarget(args[0]);
    if (!hwnd) return Fail(L"no window of class " + args[0]);
    const int button = Lower(args[1]) == L"yes" ? IDYES : Lower(args[1]) == L"no" ? IDNO : IDOK;
    HWND dialog = WaitForTopLevel(kDialogClass, kDefaultTimeoutMs);
    if (!dialog || !GetDlgItem(dialog, button)) return Fail(L"no message box with that button appeared");
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const auto nowMs = [&frequency] {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    };
    constexpr UINT kLongMs = 600000;
    const double start = nowMs();
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, button))))
        return Fail(L"message box did not take the button press");
    double last = start, worst = 0;
    for (;;) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kLongMs, &ignored))
            return Fail(L"window did not answer");
        const double now = nowMs();
        worst = std::max(worst, now - last);
        last = now;
        if (!IsWindow(dialog) && TextOf(hwnd) == args[2]) break;
        if (now - start > kLongMs) return Fail(L"the window did not get to the title " + args[2]);
        Sleep(1);
    }
    PrintLine(std::to_wstring(static_cast<long long>(last - start)) + L" " +
              std::to_wstring(static_cast<long long>(worst)));
    return kOk;
}

// The worst wait for an answer to WM_NULL over the next `ms` milliseconds: work that holds the
// window up shows as one long gap. Prints the gap in ms. For benchmarks.
int CmdGaps(const Args& args) {
    long long span = 0;
    if (args.size() != 2 || !ParseNumber(args[1], span)) return Usage(L"gaps <class> <ms>");
    HWND hwnd = FindTarget(args[0]);
    if (!hwnd) return Fail(L"no window of class " + args[0]);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const auto nowMs = [&frequency] {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    };
    const double start = nowMs();
    double last = start, worst = 0;
    while (last - start < static_cast<double>(span)) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &ignored))
            return Fail(L"window did not answer");
        const double now = nowMs();
        worst = std::max(worst, now - last);
        last = now;
        Sleep(1);
    }
    PrintLine(std::to_wstring(static_cast<long long>(worst)));
    return kOk;
}

int CmdNoMsgBox(const Args& args) {
    DWORD quiet = 0;
    if (args.size() > 1 || !ParseTimeout(args, 0, kDefaultQuietMs, quiet)) return Usage(L"no-msgbox [ms]");
    HWND dialog = WaitForTopLevel(kDialogClass, quiet);
    if (dialog) return Fail(L"unexpected message box: " + TextOf(dialog) + L": " + MessageBoxText(dialog));
    return kOk;
}

HWND FocusOf(HWND top) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND focus = nullptr;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info)) focus = info.hwndFocus;
    return focus ? focus : FirstScintilla(top);
}

int CmdType(const Args& args) {
    if (args.size() != 2) return Usage(L"type <class> <text>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    BringToFront(top);
    HWND focus = FocusOf(top);
    if (!focus) return Fail(L"nothing has the keyboard focus in " + args[0]);
    for (wchar_t unit : args[1])
        if (!SendQuietly(focus, WM_CHAR, unit, 1)) return Fail(L"window stopped answering while typing");
    return kOk;
}

// A combination pressed and released, or "down:<key>" / "up:<key>" for one key held or let go.
struct KeyStep {
    KeyStroke stroke;
    int only = 0;  // 0: the whole stroke; 1: key down only; -1: key up only
};

bool ParseStep(const std::wstring& text, KeyStep& step) {
    const std::wstring lower = Lower(text);
    for (const auto& [prefix, only] : {std::pair<const wchar_t*, int>{L"down:", 1}, {L"up:", -1}}) {
        if (lower.rfind(prefix, 0) != 0) continue;
        step.only = only;
        step.stroke.key = KeyFromName(lower.substr(wcslen(prefix)), false);
        return step.stroke.key != 0;
    }
    return ParseCombo(text, step.stroke);
}

int CmdKeys(const Args& args) {
    if (args.size() < 2) return Usage(L"keys <class> <combo|down:key|up:key> [...]");
    std::vector<KeyStep> steps;
    for (size_t i = 1; i < args.size(); ++i) {
        KeyStep step;
        if (!ParseStep(args[i], step)) return BadUsage(L"unknown key combination " + args[i]);
        steps.push_back(step);
    }
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    if (!BringToFront(top)) return Fail(L"could not bring " + args[0] + L" to the foreground");
    for (const KeyStep& step : steps) {
        const bool sent = step.only ? SendKey(step.stroke.key, step.only < 0) : SendStroke(step.stroke);
        if (!sent) return Fail(L"SendInput failed");
    }
    // Let the target drain what it can before we return; callers still poll for effects.
    SendQuietly(top, WM_NULL, 0, 0);
    return kOk;
}

// Lets go of every modifier key, whatever window is in front (or none): a script that dies while
// it holds Ctrl down would otherwise leave it held for the next one.
int CmdReleaseModifiers(const Args& args) {
    if (!args.empty()) return Usage(L"release-modifiers");
    bool ok = true;
    for (WORD key : {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LCONTROL, VK_RCONTROL, VK_LSHIFT, VK_RSHIFT, VK_LMENU, VK_RMENU,
                     VK_LWIN, VK_RWIN})
        ok = SendKey(key, true) && ok;
    return ok ? kOk : Fail(L"SendInput failed");
}

// Presses a combination whose key the keyboard layout turns into <text> (AltGr+S giving "ś" on a
// Polish layout): once the program has taken the key press, the characters arrive while the keys
// are still held. (They are sent as WM_CHAR: Wine's Unicode key input adds its Alt flag to them.)
int CmdKeyChar(const Args& args) {
    KeyStroke stroke;
    if (args.size() != 3) return Usage(L"key-char <class> <combo> <text>");
    if (!ParseCombo(args[1], stroke)) return BadUsage(L"unknown key combination " + args[1]);
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    if (!BringToFront(top)) return Fail(L"could not bring " + args[0] + L" to the foreground");
    HWND focus = FocusOf(top);
    if (!focus) return Fail(L"nothing has the keyboard focus in " + args[0]);
    bool ok = true;
    for (WORD modifier : stroke.modifiers) ok = SendKey(modifier, false) && ok;
    ok = SendKey(stroke.key, false) && ok;
    LetInputSettle(top);
    for (wchar_t unit : args[2]) ok = SendQuietly(focus, WM_CHAR, unit, 1) && ok;
    ok = SendKey(stroke.key, true) && ok;
    for (auto it = stroke.modifiers.rbegin(); it != stroke.modifiers.rend(); ++it) ok = SendKey(*it, true) && ok;
    if (!ok) return Fail(L"the key or its character did not go through");
    SendQuietly(top, WM_NULL, 0, 0);
    return kOk;
}

// The class of the window holding the mouse capture in the target's thread; empty when none does.
int CmdCapture(const Args& args) {
    if (args.size() != 1) return Usage(L"capture <class>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info)) return Fail(L"no thread information");
    PrintLine(info.hwndCapture ? ClassOf(info.hwndCapture) : std::wstring());
    return kOk;
}

int CmdEditorText(const Args& args) {
    if (args.size() != 1) return Usage(L"editor-text <class>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    HWND editor = FindDescendants(top, L"Scintilla").visible;
    if (!editor) return Fail(L"no visible Scintilla window in " + args[0]);
    DWORD_PTR length = 0;
    if (!SendQuietly(editor, WM_GETTEXTLENGTH, 0, 0, &length)) return Fail(L"editor did not answer");
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendQuietly(editor, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), &copied))
        return Fail(L"editor did not answer");
    text.resize(copied < length ? copied : length);
    PrintLine(text);
    return kOk;
}

// Numeric messages only: the result is printed as a signed decimal.
int CmdEditorSend(const Args& args) {
    long long msg = 0, w = 0, l = 0;
    if (args.size() < 2 || args.size() > 4 || !ParseNumber(args[1], msg) ||
        (args.size() > 2 && !ParseNumber(args[2], w)) || (args.size() > 3 && !ParseNumber(args[3], l)))
        return Usage(L"editor-send <class> <msg> [wparam] [lparam]");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    HWND editor = FindDescendants(top, L"Scintilla").visible;
    if (!editor) return Fail(L"no visible Scintilla window in " + args[0]);
    DWORD_PTR result = 0;
    if (!SendQuietly(editor, static_cast<UINT>(msg), static_cast<WPARAM>(w), static_cast<LPARAM>(l), &result))
        return Fail(L"editor did not answer");
    PrintLine(std::to_wstring(static_cast<long long>(result)));
    return kOk;
}

// The width in pixels of a text drawn in one style of the visible editor (SCI_TEXTWIDTH), the text
// handed over in the editor's own process.
int CmdEditorTextWidth(const Args& args) {
    long long style = 0;
    if (args.size() != 3 || !ParseNumber(args[1], style)) return Usage(L"editor-text-width <class> <style> <text>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    HWND editor = FindDescendants(top, L"Scintilla").visible;
    if (!editor) return Fail(L"no visible Scintilla window in " + args[0]);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, args[2].c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, args[2].c_str(), -1, text.data(), bytes, nullptr, nullptr);
    DWORD processId = 0;
    GetWindowThreadProcessId(editor, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return Fail(L"cannot open the editor's process");
    void* remote = VirtualAllocEx(process, nullptr, text.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR result = 0;
    const bool sent = remote && WriteProcessMemory(process, remote, text.data(), text.size(), nullptr) &&
                      SendQuietly(editor, 2276, static_cast<WPARAM>(style), reinterpret_cast<LPARAM>(remote), &result);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!sent) return Fail(L"editor did not measure the text");
    PrintLine(std::to_wstring(static_cast<long long>(result)));
    return kOk;
}

// A dialog's control by its id: read its text, replace it, or send it a numeric message.
int CmdControl(const Args& args) {
    long long id = 0, msg = 0, w = 0, l = 0;
    const bool send = args.size() >= 3 && args[2] == L"send";
    if (args.size() < 3 || !ParseNumber(args[1], id) ||
        !(args[2] == L"text" || (args[2] == L"set" && args.size() == 4) ||
          (send && args.size() >= 4 && args.size() <= 6 && ParseNumber(args[3], msg) &&
           (args.size() < 5 || ParseNumber(args[4], w)) && (args.size() < 6 || ParseNumber(args[5], l)))))
        return Usage(L"control <class> <id> text | set <text> | send <msg> [wparam] [lparam]");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    HWND control = GetDlgItem(top, static_cast<int>(id));
    if (!control) return Fail(L"no control " + args[1] + L" in " + args[0]);
    DWORD_PTR result = 0;
    if (args[2] == L"text") {
        // An edit control keeps its text to itself: ask for it.
        wchar_t text[1024] = {};
        if (!SendQuietly(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text)))
            return Fail(L"control did not answer");
        PrintLine(text);
    } else if (args[2] == L"set") {
        if (!SendQuietly(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[3].c_str())))
            return Fail(L"control did not take the text");
    } else {
        if (!SendQuietly(control, static_cast<UINT>(msg), static_cast<WPARAM>(w), static_cast<LPARAM>(l), &result))
            return Fail(L"control did not answer");
        PrintLine(std::to_wstring(static_cast<long long>(static_cast<LONG_PTR>(result))));
    }
    return kOk;
}

int CmdCount(const Args& args) {
    if (args.size() != 1) return Usage(L"count <class>");
    PrintLine(std::to_wstring(FindTopLevel(args[0]).count));
    return kOk;
}

// "1" while the window takes input, "0" while it is disabled (under a modal dialog).
int CmdEnabled(const Args& args) {
    if (args.size() != 1) return Usage(L"enabled <class>");
    HWND hwnd = FindTarget(args[0]);
    if (!hwnd) return Fail(L"no window of class " + args[0]);
    PrintLine(IsWindowEnabled(hwnd) ? L"1" : L"0");
    return kOk;
}

int CmdChildCount(const Args& args) {
    if (args.size() != 2) return Usage(L"child-count <class> <childClass>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    PrintLine(std::to_wstring(FindDescendants(top, args[1]).count));
    return kOk;
}

// Where the visible editor lies in the main window's client area, as "x y width height".
int CmdEditorRect(const Args& args) {
    if (args.size() != 1) return Usage(L"editor-rect <class>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    HWND editor = FirstScintilla(top);
    if (!editor) return Fail(L"no editor in " + args[0]);
    RECT rect = {};
    GetWindowRect(editor, &rect);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&rect), 2);
    PrintLine(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
              std::to_wstring(rect.right - rect.left) + L" " + std::to_wstring(rect.bottom - rect.top));
    return kOk;
}

// A part of the main window as the program reports it (client pixels): "left top width height".
// Parts: caption, menubar, toolbar, tabbar, editor, statusbar, sidebar, searchpanel, close, toggle,
// tabN, titleN; "dpi" prints the window's dots per inch.
int CmdPart(const Args& args) {
    if (args.size() != 2) return Usage(L"part <class> caption|menubar|toolbar|tabbar|editor|...|tabN|titleN|dpi");
    static const wchar_t* const kNames[] = {L"caption",   L"menubar", L"toolbar",     L"tabbar", L"editor",
                                            L"statusbar", L"sidebar", L"searchpanel", L"close",  L"toggle"};
    long long part = -1, index = 0;
    for (size_t i = 0; i < sizeof kNames / sizeof kNames[0]; ++i)
        if (args[1] == kNames[i]) part = static_cast<long long>(i);
    if (args[1] == L"dpi") part = 0xFFFF;
    if (args[1].rfind(L"tab", 0) == 0 && args[1].size() > 3 && ParseNumber(args[1].substr(3), index))
        part = 0x100 + index;
    if (args[1].rfind(L"title", 0) == 0 && args[1].size() > 5 && ParseNumber(args[1].substr(5), index))
        part = 0x200 + index;
    if (part < 0) return Usage(L"part <class> <part>");
    HWND hwnd = FindTarget(args[0]);
    if (!hwnd) return Fail(L"no window of class " + args[0]);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, WM_APP + 0x62, static_cast<WPARAM>(part), 0, SMTO_NORMAL, kSendTimeoutMs,
                             &result))
        return Fail(L"window did not answer");
    const auto value = static_cast<unsigned long long>(result);
    if (part == 0xFFFF) {
        PrintLine(std::to_wstring(value));
        return kOk;
    }
    if (static_cast<long long>(value) == -1) return Fail(L"no such part: " + args[1]);
    const auto field = [value](int shift) { return static_cast<int>(static_cast<uint16_t>(value >> shift)); };
    const int left = field(0), top = field(16), right = field(32), bottom = field(48);
    PrintLine(std::to_wstring(left) + L" " + std::to_wstring(top) + L" " + std::to_wstring(right - left) + L" " +
              std::to_wstring(bottom - top));
    return kOk;
}

int CmdWaitGone(const Args& args) {
    DWORD timeout = 0;
    if (args.size() < 1 || args.size() > 2 || !ParseTimeout(args, 1, kDefaultTimeoutMs, timeout))
        return Usage(L"wait-gone <class> [timeout]");
    if (!WaitUntil(timeout, [&] { return FindTopLevel(args[0]).any == nullptr; }))
        return Fail(L"window of class " + args[0] + L" still exists");
    return kOk;
}

enum class Mouse { Click, RightClick, Move, Press, Release };

int CmdMouse(const Args& args, Mouse kind) {
    long long x = 0, y = 0;
    if (args.size() != 3 || !ParseNumber(args[1], x) || !ParseNumber(args[2], y))
        return Usage(L"click|rclick|move|press|release <class> <x> <y>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    POINT point = {static_cast<LONG>(x), static_cast<LONG>(y)};
    POINT screen = point;
    ClientToScreen(top, &screen);
    HWND target = HitChild(top, point);
    // Put the real pointer there too, so GetCursorPos and GetMessagePos agree with the message.
    SetCursorPos(screen.x, screen.y);
    LetInputSettle(top);
    LPARAM where = PointParam(point);
    bool ok = PostMessageW(target, WM_MOUSEMOVE, 0, where);
    if (kind == Mouse::Click) {
        ok = ok && PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
        ok = ok && PostMessageW(target, WM_LBUTTONUP, 0, where);
    } else if (kind == Mouse::Press) {
        ok = ok && PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
    } else if (kind == Mouse::Release) {
        ok = ok && PostMessageW(target, WM_LBUTTONUP, 0, where);
    } else if (kind == Mouse::RightClick) {
        ok = ok && PostMessageW(target, WM_RBUTTONDOWN, MK_RBUTTON, where);
        ok = ok && PostMessageW(target, WM_RBUTTONUP, 0, where);
    }
    return ok ? kOk : Fail(L"PostMessage failed");
}

int CmdDoubleClickCaption(const Args& args) {
    long long x = -1, y = 1;
    if ((args.size() != 1 && args.size() != 3) ||
        (args.size() == 3 && (!ParseNumber(args[1], x) || !ParseNumber(args[2], y))))
        return Usage(L"dblclick-caption <class> [x y]");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    RECT client = {};
    GetClientRect(top, &client);
    POINT screen = {x < 0 ? client.right / 2 : static_cast<LONG>(x), static_cast<LONG>(y)};
    ClientToScreen(top, &screen);
    if (!PostMessageW(top, WM_NCLBUTTONDBLCLK, HTCAPTION, PointParam(screen))) return Fail(L"PostMessage failed");
    return kOk;
}

// The class of the window holding the keyboard focus in the target's thread; empty when none does.
int CmdFocus(const Args& args) {
    if (args.size() != 1) return Usage(L"focus <class>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info)) return Fail(L"no thread information");
    PrintLine(info.hwndFocus ? ClassOf(info.hwndFocus) : std::wstring());
    return kOk;
}

// The text of one entry of a list box control (by its id) of the target.
int CmdListItem(const Args& args) {
    long long id = 0, index = 0;
    if (args.size() != 3 || !ParseNumber(args[1], id) || !ParseNumber(args[2], index))
        return Usage(L"list-item <class> <id> <index>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    HWND list = GetDlgItem(top, static_cast<int>(id));
    if (!list) return Fail(L"no control " + args[1] + L" in " + args[0]);
    DWORD_PTR length = 0;
    if (!SendQuietly(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, &length) ||
        static_cast<LONG_PTR>(length) == LB_ERR)
        return Fail(L"no entry " + args[2]);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendQuietly(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()), &copied) ||
        static_cast<LONG_PTR>(copied) == LB_ERR)
        return Fail(L"list did not answer");
    text.resize(copied);
    PrintLine(text);
    return kOk;
}

// Moves a top-level window, keeping its size.
int CmdPlace(const Args& args) {
    long long x = 0, y = 0;
    if (args.size() != 3 || !ParseNumber(args[1], x) || !ParseNumber(args[2], y))
        return Usage(L"place <class> <x> <y>");
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    if (!SetWindowPos(top, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        return Fail(L"the window did not move");
    return kOk;
}


// Typing latency as a user meets it: each key is one WM_CHAR sent synchronously to the visible
// editing component, then a synchronous repaint of the whole window, so that what the program
// scheduled for the key is counted too. Prints "median p95 max" in milliseconds over the keys.
int CmdKeyTiming(const Args& args) {
    long long count = 0;
    if (args.size() < 2 || args.size() > 3 || !ParseNumber(args[1], count) || count < 1 || count > 100000)
        return Usage(L"key-timing <class> <count> [char]");
    const wchar_t typed = args.size() == 3 && !args[2].empty() ? args[2][0] : L'x';
    HWND top = FindTarget(args[0]);
    if (!top) return Fail(L"no window of class " + args[0]);
    HWND editor = FindDescendants(top, L"Scintilla").visible;
    if (!editor) return Fail(L"no visible Scintilla window in " + args[0]);
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(count));
    for (long long i = 0; i < count; ++i) {
        QueryPerformanceCounter(&start);
        // A slow key is what is being measured: a minute before it counts as no answer.
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(editor, WM_CHAR, typed, 1, SMTO_NORMAL, 60000, &ignored))
            return Fail(L"editor stopped answering while typing");
        RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        QueryPerformanceCounter(&end);
        ms.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                     static_cast<double>(frequency.QuadPart));
    }
    std::sort(ms.begin(), ms.end());
    auto at = [&](double fraction) { return ms[std::min(ms.size() - 1, static_cast<size_t>(fraction * ms.size()))]; };
    wchar_t line[96];
    swprintf(line, 96, L"%.3f %.3f %.3f", at(0.5), at(0.95), ms.back());
    PrintLine(line);
    return kOk;
}
}  // namespace

// The driver reads and places the program's windows in real pixels at every display scale, as the
// program itself does; a driver the system scaled would see other coordinates than it posts.
void BecomeDpiAware() {
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        if (auto set = reinterpret_cast<SetContextFn>(
                reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))) {
            if (set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;  // per monitor, version 2
        }
    }
    SetProcessDPIAware();
}

int wmain(int argc, wchar_t** argv) {
    const wchar_t* commands =
        L"wait-window|title|window-text|rect|command|post|wait-msgbox|answer-msgbox|no-msgbox|type|keys|release-"
        L"modifiers|"
        L"key-char|capture|editor-text|editor-send|send|file-dialog|lock-file|unlock|child-count|wait-gone|click|"
        L"rclick|move|press|release|dblclick-caption|clipboard|control|enabled|count|busy-time|answer-gaps|gaps|"
        L"focus|list-item|place|editor-rect|part|key-timing|editor-text-width|child-text|child-rect";
    BecomeDpiAware();
    if (argc < 2) return Usage(std::wstring(L"<") + commands + L"> ...");
    std::wstring command = argv[1];
    Args args(argv + 2, argv + argc);
    if (command == L"wait-window") return CmdWaitWindow(args);
    if (command == L"title") return CmdTitle(args);
    if (command == L"window-text") return CmdWindowText(args);
    if (command == L"child-text") return CmdChildText(args);
    if (command == L"rect") return CmdRect(args);
    if (command == L"child-rect") return CmdChildRect(args);
    if (command == L"command") return CmdCommand(args);
    if (command == L"post") return CmdPost(args);
    if (command == L"wait-msgbox") return CmdWaitMsgBox(args);
    if (command == L"answer-msgbox") return CmdAnswerMsgBox(args);
    if (command == L"no-msgbox") return CmdNoMsgBox(args);
    if (command == L"busy-time") return CmdBusyTime(args);
    if (command == L"answer-gaps") return CmdAnswerGaps(args);
    if (command == L"gaps") return CmdGaps(args);
    if (command == L"type") return CmdType(args);
    if (command == L"keys") return CmdKeys(args);
    if (command == L"release-modifiers") return CmdReleaseModifiers(args);
    if (command == L"key-char") return CmdKeyChar(args);
    if (command == L"capture") return CmdCapture(args);
    if (command == L"editor-text") return CmdEditorText(args);
    if (command == L"child-count") return CmdChildCount(args);
    if (command == L"editor-send") return CmdEditorSend(args);
    if (command == L"editor-text-width") return CmdEditorTextWidth(args);
    if (command == L"send") return CmdSend(args);
    if (command == L"lock-file") return CmdLockFile(args);
    if (command == L"unlock") return CmdUnlock(args);
    if (command == L"file-dialog") return CmdFileDialog(args);
    if (command == L"wait-gone") return CmdWaitGone(args);
    if (command == L"click") return CmdMouse(args, Mouse::Click);
    if (command == L"rclick") return CmdMouse(args, Mouse::RightClick);
    if (command == L"move") return CmdMouse(args, Mouse::Move);
    if (command == L"press") return CmdMouse(args, Mouse::Press);
    if (command == L"release") return CmdMouse(args, Mouse::Release);
    if (command == L"dblclick-caption") return CmdDoubleClickCaption(args);
    if (command == L"clipboard") return CmdClipboard(args);
    if (command == L"control") return CmdControl(args);
    if (command == L"enabled") return CmdEnabled(args);
    if (command == L"count") return CmdCount(args);
    if (command == L"focus") return CmdFocus(args);
    if (command == L"list-item") return CmdListItem(args);
    if (command == L"place") return CmdPlace(args);
    if (command == L"editor-rect") return CmdEditorRect(args);
    if (command == L"part") return CmdPart(args);
    if (command == L"key-timing") return CmdKeyTiming(args);
    return BadUsage(L"unknown subcommand " + command + L"; expected one of " + commands);
}
