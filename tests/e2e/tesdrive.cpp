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
#include <cwchar>
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
    for (wchar_t c : text) out += c == L'\\' ? L"\\\\" : c == L'\n' ? L"\\n" : c == L'\r' ? L"\\r" : std::wstring(1, c);
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
    const size_t at = !text.empty() && (text[0] == L'-' || text[0] == L'+') ? 1 : 0;
    const bool hex = text.size() > at + 2 && text[at] == L'0' && std::towlower(text[at + 1]) == L'x';
    wchar_t* end = nullptr;
    value = std::wcstoll(text.c_str(), &end, hex ? 16 : 10);
    return !text.empty() && !std::iswspace(text[0]) && end == text.c_str() + text.size();
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
    static const std::pair<std::wstring, std::vector<WORD>> kModifiers[] = {
        {L"ctrl", {VK_CONTROL}}, {L"control", {VK_CONTROL}}, {L"shift", {VK_SHIFT}}, {L"alt", {VK_MENU}},
        // What the right Alt key of a layout with AltGr sends: a left Ctrl, then the right Alt.
        {L"altgr", {VK_CONTROL, VK_RMENU}}};
    std::wstring text = Lower(combo);
    for (size_t plus; (plus = text.find(L'+')) != std::wstring::npos; text.erase(0, plus + 1)) {
        const auto* found = std::find_if(std::begin(kModifiers), std::end(kModifiers),
                                         [&](const auto& modifier) { return text.substr(0, plus) == modifier.first; });
        if (found == std::end(kModifiers)) return false;
        stroke.modifiers.insert(stroke.modifiers.end(), found->second.begin(), found->second.end());
    }
    const bool ctrl = std::count(stroke.modifiers.begin(), stroke.modifiers.end(), VK_CONTROL) > 0;
    stroke.key = KeyFromName(text, ctrl);
    return stroke.key != 0;
}

bool IsExtendedKey(WORD key) {
    for (WORD extended : {VK_INSERT, VK_DELETE, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT,
                          VK_RMENU, VK_CANCEL})
        if (key == extended) return true;
    return false;
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

using Args = std::vector<std::wstring>;

// ---- verbs ----------------------------------------------------------------------------------
// A verb's body throws Failure (reason on stderr, exit code 1) or BadArgs (its usage, exit code 2)
// rather than returning early, so that each body reads as the steps it takes.

struct Failure {
    std::wstring reason;
};
struct BadArgs {
    std::wstring reason;  // empty: the verb's usage says it
};

void Check(bool ok, const std::wstring& reason) { if (!ok) throw Failure{reason}; }

// Argument i as a number (decimal or 0x-hex); the fallback when it is not given.
long long Number(const Args& args, size_t i, long long fallback = 0) {
    long long value = fallback;
    if (i < args.size() && !ParseNumber(args[i], value)) throw BadArgs{};
    return value;
}

DWORD Timeout(const Args& args, size_t i, DWORD fallback) {
    const long long value = Number(args, i, fallback);
    if (value < 0 || value > 0x7FFFFFFF) throw BadArgs{};
    return static_cast<DWORD>(value);
}

HWND Target(const std::wstring& className) {
    HWND hwnd = FindTarget(className);
    Check(hwnd != nullptr, L"no window of class " + className);
    return hwnd;
}

HWND VisibleTopLevel(const std::wstring& className) {
    HWND hwnd = FindTopLevel(className).visible;
    Check(hwnd != nullptr, L"no visible window of class " + className);
    return hwnd;
}

// The first visible window of class childClass at any depth inside the window of class className.
HWND VisibleChild(const std::wstring& className, const std::wstring& childClass) {
    HWND child = FindDescendants(Target(className), childClass).visible;
    Check(child != nullptr, L"no visible window of class " + childClass + L" in " + className);
    return child;
}

HWND VisibleEditor(const std::wstring& className) { return VisibleChild(className, L"Scintilla"); }

DWORD_PTR Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const wchar_t* failure = L"window did not answer") {
    DWORD_PTR result = 0;
    Check(SendQuietly(hwnd, msg, wParam, lParam, &result), failure);
    return result;
}

void PrintNumber(DWORD_PTR result) { PrintLine(std::to_wstring(static_cast<long long>(static_cast<LONG_PTR>(result)))); }

void PrintRect(const RECT& rect) {
    PrintLine(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
              std::to_wstring(rect.right - rect.left) + L" " + std::to_wstring(rect.bottom - rect.top));
}

void PrintWindowRect(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    PrintRect(rect);
}

// What a window answers to WM_GETTEXT (an edit control keeps its text to itself; a tooltip gives
// the tip it shows; a self-drawn list what it shows).
void PrintAskedText(HWND hwnd, const wchar_t* failure = L"window did not answer") {
    wchar_t text[1024] = {};
    Send(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), failure);
    PrintLine(text);
}

void PostChecked(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Check(PostMessageW(hwnd, msg, wParam, lParam) != 0, L"PostMessage failed");
}

void Foreground(HWND top, const std::wstring& className) {
    Check(BringToFront(top), L"could not bring " + className + L" to the foreground");
}

int ButtonId(const std::wstring& name) {
    static const std::pair<const wchar_t*, int> buttons[] = {
        {L"yes", IDYES},     {L"no", IDNO},       {L"cancel", IDCANCEL}, {L"ok", IDOK},
        {L"retry", IDRETRY}, {L"abort", IDABORT}, {L"ignore", IDIGNORE},
    };
    for (const auto& [button, id] : buttons)
        if (Lower(name) == button) return id;
    return 0;
}

// The open message box that has the button, and the button pressed (sent or posted).
HWND MessageBoxWith(int button, DWORD timeout) {
    HWND dialog = WaitForTopLevel(kDialogClass, timeout);
    Check(dialog && GetDlgItem(dialog, button), L"no message box with that button appeared");
    return dialog;
}

void Press(HWND dialog, int button, bool post = false) {
    const WPARAM wParam = MAKEWPARAM(button, BN_CLICKED);
    const LPARAM lParam = reinterpret_cast<LPARAM>(GetDlgItem(dialog, button));
    Check(post ? PostMessageW(dialog, WM_COMMAND, wParam, lParam) != 0 : SendQuietly(dialog, WM_COMMAND, wParam, lParam),
          L"message box did not take the button press");
}

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

constexpr UINT kLongMs = 600000;

// WM_NULL answered, waiting as long as the window's work takes.
bool Answers(HWND hwnd) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kLongMs, &ignored) != 0;
}

void CmdWaitWindow(const Args& args) {
    HWND hwnd = WaitForTopLevel(args[0], Timeout(args, 1, kDefaultTimeoutMs));
    Check(hwnd != nullptr, L"no visible window of class " + args[0]);
    PrintLine(TextOf(hwnd));
}

void CmdTitle(const Args& args) { PrintLine(TextOf(Target(args[0]))); }

// What a visible top-level window answers to WM_GETTEXT (for a tooltip, the tip it shows).
void CmdWindowText(const Args& args) { PrintAskedText(VisibleTopLevel(args[0])); }

// The text of the first visible window of a class inside a top-level window.
void CmdChildText(const Args& args) { PrintAskedText(VisibleChild(args[0], args[1])); }

// Screen rectangle "x y width height" of a visible child window (at any depth) of CLASS.
void CmdChildRect(const Args& args) { PrintWindowRect(VisibleChild(args[0], args[1])); }

void CmdRect(const Args& args) { PrintWindowRect(Target(args[0])); }

void CmdCommand(const Args& args) {
    PostChecked(Target(args[0]), WM_COMMAND, static_cast<WPARAM>(Number(args, 1)), static_cast<LPARAM>(Number(args, 2)));
}

void CmdPost(const Args& args) {
    PostChecked(Target(args[0]), static_cast<UINT>(Number(args, 1)), static_cast<WPARAM>(Number(args, 2)),
                static_cast<LPARAM>(Number(args, 3)));
}

// SendMessage to the top-level window; the result is printed as a signed decimal. A timeout (ms)
// lets the answer wait for a prompt the message raises (WM_QUERYENDSESSION asking to save).
void CmdSend(const Args& args) {
    const auto msg = static_cast<UINT>(Number(args, 1));
    const auto wParam = static_cast<WPARAM>(Number(args, 2));
    const auto lParam = static_cast<LPARAM>(Number(args, 3));
    const DWORD timeout = Timeout(args, 4, kSendTimeoutMs);
    DWORD_PTR result = 0;
    Check(SendMessageTimeoutW(Target(args[0]), msg, wParam, lParam, SMTO_NORMAL, timeout, &result) != 0,
          L"window did not answer");
    PrintNumber(result);
}

// Types a path into an open or save dialog's file-name field and presses OK, as a user would.
// With "overwrite" last, the dialog's question whether to replace an existing file is answered Yes.
void CmdFileDialog(const Args& given) {
    Args args = given;
    const bool overwrite = args.back() == L"overwrite";
    if (overwrite) args.pop_back();
    if (args.empty() || args.size() > 2) throw BadArgs{};
    const DWORD timeout = Timeout(args, 1, kDefaultTimeoutMs);
    HWND dialog = nullptr;
    HWND field = nullptr;
    WaitUntil(timeout, [&] {
        dialog = FindTopLevel(kDialogClass).visible;
        if (!dialog) return false;
        field = GetDlgItem(dialog, 0x47C);  // the file-name combo box of the explorer-style dialog
        if (!field) field = GetDlgItem(dialog, 0x480);
        return field != nullptr;
    });
    Check(dialog && field, L"no file dialog appeared");
    Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[0].c_str()), L"file dialog did not take the name");
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    const auto closed = [&] {
        if (!IsWindow(dialog)) return true;
        HWND question = GetLastActivePopup(dialog);
        if (overwrite && question && question != dialog && IsWindowVisible(question)) Press(question, IDYES, true);
        return false;
    };
    Check(WaitUntil(timeout, closed), L"file dialog stayed open");
}

// The clipboard's Unicode text; fails when it holds none.
void CmdClipboard(const Args&) {
    Check(OpenClipboard(nullptr) != 0, L"cannot open the clipboard");
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* units = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    const std::wstring text = units ? units : L"";
    if (units) GlobalUnlock(data);
    CloseClipboard();
    Check(units != nullptr, L"no text on the clipboard");
    PrintLine(text);
}

// Set by `unlock` to end a `lock-file` early.
constexpr wchar_t kUnlockEvent[] = L"Local\\TesdriveUnlock";

// Holds a file open without sharing, as another program locking it would, until `unlock` or until
// <ms> have passed.
void CmdLockFile(const Args& args) {
    const long long ms = Number(args, 1);
    if (ms < 0) throw BadArgs{};
    HANDLE unlock = CreateEventW(nullptr, TRUE, FALSE, kUnlockEvent);
    Check(unlock != nullptr, L"cannot create the unlock event");
    ResetEvent(unlock);
    HANDLE file = CreateFileW(args[0].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) CloseHandle(unlock);
    Check(file != INVALID_HANDLE_VALUE, L"cannot lock " + args[0]);
    PrintLine(L"locked");
    WaitForSingleObject(unlock, static_cast<DWORD>(ms));
    CloseHandle(file);
    CloseHandle(unlock);
}

void CmdUnlock(const Args&) {
    HANDLE unlock = OpenEventW(EVENT_MODIFY_STATE, FALSE, kUnlockEvent);
    Check(unlock != nullptr, L"nothing is locked");
    SetEvent(unlock);
    CloseHandle(unlock);
}

void CmdWaitMsgBox(const Args& args) {
    HWND dialog = WaitForTopLevel(kDialogClass, Timeout(args, 0, kDefaultTimeoutMs));
    Check(dialog != nullptr, L"no message box appeared");
    PrintMessageBox(dialog);
}

void CmdAnswerMsgBox(const Args& args) {
    const int id = ButtonId(args[0]);
    if (id == 0) throw BadArgs{};
    const DWORD timeout = Timeout(args, 1, kDefaultTimeoutMs);
    ULONGLONG start = GetTickCount64();
    HWND dialog = WaitForTopLevel(kDialogClass, timeout);
    Check(dialog != nullptr, L"no message box appeared");
    PrintMessageBox(dialog);
    HWND button = GetDlgItem(dialog, id);
    Check(button && IsWindowVisible(button), L"message box has no " + args[0] + L" button");
    Press(dialog, id);
    // Return only once the box is gone, so the next step sees what the answer led to.
    DWORD elapsed = static_cast<DWORD>(GetTickCount64() - start);
    DWORD left = timeout > elapsed ? timeout - elapsed : 0;
    Check(WaitUntil(left + kPollMs, [&] { return !IsWindow(dialog); }),
          L"message box stayed open after pressing " + args[0]);
}

void CmdNoMsgBox(const Args& args) {
    HWND dialog = WaitForTopLevel(kDialogClass, Timeout(args, 0, kDefaultQuietMs));
    Check(!dialog, L"unexpected message box: " + (dialog ? TextOf(dialog) + L": " + MessageBoxText(dialog) : L""));
}

// How long the window takes to answer a message again after being set to work, in milliseconds:
// `command <id>` sends that WM_COMMAND and waits for it; `answer <button> <title>` presses a
// message-box button and waits until the window shows that title and answers. For benchmarks.
void CmdBusyTime(const Args& args) {
    const bool command = args.size() == 3 && args[1] == L"command";
    if (!command && !(args.size() == 4 && args[1] == L"answer")) throw BadArgs{};
    const long long id = command ? Number(args, 2) : 0;
    HWND hwnd = Target(args[0]);
    DWORD_PTR ignored = 0;
    ULONGLONG start = GetTickCount64();
    if (command) {
        Check(SendMessageTimeoutW(hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_NORMAL, kLongMs, &ignored) != 0,
              L"window did not answer");
    } else {
        const int button = Lower(args[2]) == L"yes" ? IDYES : Lower(args[2]) == L"no" ? IDNO : IDOK;
        HWND dialog = MessageBoxWith(button, kDefaultTimeoutMs);
        start = GetTickCount64();
        Press(dialog, button);
        // The title changes once the work is done; the answer comes once the window reads messages.
        Check(WaitUntil(kLongMs, [&] { return TextOf(hwnd) == args[3] && Answers(hwnd); }),
              L"the window did not get to the title " + args[3]);
    }
    PrintLine(std::to_wstring(GetTickCount64() - start));
}

// How the window answers while it works after a message-box button press, until it shows the title
// `title`: WM_NULL is sent again and again, and the longest wait between two answers is the worst
// gap. Prints "<ms until the title> <worst gap ms>". For benchmarks.
void CmdAnswerGaps(const Args& args) {
    HWND hwnd = Target(args[0]);
    const int button = Lower(args[1]) == L"yes" ? IDYES : Lower(args[1]) == L"no" ? IDNO : IDOK;
    HWND dialog = MessageBoxWith(button, kDefaultTimeoutMs);
    const double start = NowMs();
    Press(dialog, button, true);
    double last = start, worst = 0;
    for (;;) {
        Check(Answers(hwnd), L"window did not answer");
        const double now = NowMs();
        worst = std::max(worst, now - last);
        last = now;
        if (!IsWindow(dialog) && TextOf(hwnd) == args[2]) break;
        Check(now - start <= kLongMs, L"the window did not get to the title " + args[2]);
        Sleep(1);
    }
    PrintLine(std::to_wstring(static_cast<long long>(last - start)) + L" " +
              std::to_wstring(static_cast<long long>(worst)));
}

// The worst wait for an answer to WM_NULL over the next `ms` milliseconds: work that holds the
// window up shows as one long gap. Prints the gap in ms. For benchmarks.
void CmdGaps(const Args& args) {
    const auto span = static_cast<double>(Number(args, 1));
    HWND hwnd = Target(args[0]);
    const double start = NowMs();
    double last = start, worst = 0;
    while (last - start < span) {
        Check(Answers(hwnd), L"window did not answer");
        const double now = NowMs();
        worst = std::max(worst, now - last);
        last = now;
        Sleep(1);
    }
    PrintLine(std::to_wstring(static_cast<long long>(worst)));
}

HWND FocusOf(HWND top, const std::wstring& className) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND focus = nullptr;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info)) focus = info.hwndFocus;
    if (!focus) focus = FirstScintilla(top);
    Check(focus != nullptr, L"nothing has the keyboard focus in " + className);
    return focus;
}

void TypeUnits(HWND focus, const std::wstring& text) {
    for (wchar_t unit : text) Check(SendQuietly(focus, WM_CHAR, unit, 1), L"window stopped answering while typing");
}

void CmdType(const Args& args) {
    HWND top = Target(args[0]);
    BringToFront(top);
    TypeUnits(FocusOf(top, args[0]), args[1]);
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

void CmdKeys(const Args& args) {
    std::vector<KeyStep> steps(args.size() - 1);
    for (size_t i = 1; i < args.size(); ++i)
        if (!ParseStep(args[i], steps[i - 1])) throw BadArgs{L"unknown key combination " + args[i]};
    HWND top = Target(args[0]);
    Foreground(top, args[0]);
    for (const KeyStep& step : steps)
        Check(step.only ? SendKey(step.stroke.key, step.only < 0) : SendStroke(step.stroke), L"SendInput failed");
    // Let the target drain what it can before we return; callers still poll for effects.
    SendQuietly(top, WM_NULL, 0, 0);
}

// Lets go of every modifier key, whatever window is in front (or none): a script that dies while
// it holds Ctrl down would otherwise leave it held for the next one.
void CmdReleaseModifiers(const Args&) {
    bool ok = true;
    for (WORD key : {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LCONTROL, VK_RCONTROL, VK_LSHIFT, VK_RSHIFT, VK_LMENU, VK_RMENU,
                     VK_LWIN, VK_RWIN})
        ok = SendKey(key, true) && ok;
    Check(ok, L"SendInput failed");
}

// Presses a combination whose key the keyboard layout turns into <text> (AltGr+S giving "ś" on a
// Polish layout): once the program has taken the key press, the characters arrive while the keys
// are still held. (They are sent as WM_CHAR: Wine's Unicode key input adds its Alt flag to them.)
void CmdKeyChar(const Args& args) {
    KeyStroke stroke;
    if (!ParseCombo(args[1], stroke)) throw BadArgs{L"unknown key combination " + args[1]};
    HWND top = Target(args[0]);
    Foreground(top, args[0]);
    HWND focus = FocusOf(top, args[0]);
    bool ok = true;
    for (WORD modifier : stroke.modifiers) ok = SendKey(modifier, false) && ok;
    ok = SendKey(stroke.key, false) && ok;
    LetInputSettle(top);
    for (wchar_t unit : args[2]) ok = SendQuietly(focus, WM_CHAR, unit, 1) && ok;
    ok = SendKey(stroke.key, true) && ok;
    for (auto it = stroke.modifiers.rbegin(); it != stroke.modifiers.rend(); ++it) ok = SendKey(*it, true) && ok;
    Check(ok, L"the key or its character did not go through");
    SendQuietly(top, WM_NULL, 0, 0);
}

// The class of the window holding the mouse capture (or the keyboard focus) in the target's
// thread; empty when none does.
template <HWND GUITHREADINFO::*which>
void CmdThreadWindow(const Args& args) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    Check(GetGUIThreadInfo(GetWindowThreadProcessId(Target(args[0]), nullptr), &info) != 0, L"no thread information");
    PrintLine(info.*which ? ClassOf(info.*which) : std::wstring());
}

void CmdEditorText(const Args& args) {
    HWND editor = VisibleEditor(args[0]);
    const DWORD_PTR length = Send(editor, WM_GETTEXTLENGTH, 0, 0, L"editor did not answer");
    std::wstring text(length + 1, L'\0');
    const DWORD_PTR copied =
        Send(editor, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), L"editor did not answer");
    text.resize(copied < length ? copied : length);
    PrintLine(text);
}

// Numeric messages only: the result is printed as a signed decimal.
void CmdEditorSend(const Args& args) {
    const auto msg = static_cast<UINT>(Number(args, 1));
    const auto w = static_cast<WPARAM>(Number(args, 2));
    const auto l = static_cast<LPARAM>(Number(args, 3));
    PrintNumber(Send(VisibleEditor(args[0]), msg, w, l, L"editor did not answer"));
}

// The width in pixels of a text drawn in one style of the visible editor (SCI_TEXTWIDTH), the text
// handed over in the editor's own process.
void CmdEditorTextWidth(const Args& args) {
    const long long style = Number(args, 1);
    HWND editor = VisibleEditor(args[0]);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, args[2].c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, args[2].c_str(), -1, text.data(), bytes, nullptr, nullptr);
    DWORD processId = 0;
    GetWindowThreadProcessId(editor, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    Check(process != nullptr, L"cannot open the editor's process");
    void* remote = VirtualAllocEx(process, nullptr, text.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR result = 0;
    const bool sent = remote && WriteProcessMemory(process, remote, text.data(), text.size(), nullptr) &&
                      SendQuietly(editor, 2276, static_cast<WPARAM>(style), reinterpret_cast<LPARAM>(remote), &result);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    Check(sent, L"editor did not measure the text");
    PrintLine(std::to_wstring(static_cast<long long>(result)));
}

// A dialog's control by its id: read its text or its place ("x y width height" in the dialog's
// client area), replace its text, or send it a numeric message.
void CmdControl(const Args& args) {
    const bool send = args[2] == L"send" && args.size() >= 4;
    const bool read = (args[2] == L"text" || args[2] == L"rect") && args.size() == 3;
    if (!read && !(args[2] == L"set" && args.size() == 4) && !send) throw BadArgs{};
    const auto msg = static_cast<UINT>(send ? Number(args, 3) : 0);
    const auto w = static_cast<WPARAM>(Number(args, 4));
    const auto l = static_cast<LPARAM>(Number(args, 5));
    HWND top = Target(args[0]);
    HWND control = GetDlgItem(top, static_cast<int>(Number(args, 1)));
    Check(control != nullptr, L"no control " + args[1] + L" in " + args[0]);
    if (args[2] == L"rect") {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
        PrintLine(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) +
                  L" " + std::to_wstring(r.bottom - r.top));
    } else if (args[2] == L"text")
        PrintAskedText(control, L"control did not answer");
    else if (args[2] == L"set")
        Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[3].c_str()), L"control did not take the text");
    else
        PrintNumber(Send(control, msg, w, l, L"control did not answer"));
}

// WM_DPICHANGED as the system sends it when a window reaches a display of another scale: the new
// dpi and a suggested window rectangle, which lives in the target's own memory.
void CmdDpiChanged(const Args& args) {
    HWND hwnd = Target(args[0]);
    const auto dpi = static_cast<WORD>(Number(args, 1));
    const auto x = static_cast<LONG>(Number(args, 2)), y = static_cast<LONG>(Number(args, 3));
    const RECT suggested{x, y, x + static_cast<LONG>(Number(args, 4)), y + static_cast<LONG>(Number(args, 5))};
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    Check(process != nullptr, L"cannot open the window's process");
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool written = remote && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr);
    DWORD_PTR result = 0;
    const bool sent = written && SendMessageTimeoutW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                                     reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, kSendTimeoutMs,
                                                     &result);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    Check(written, L"cannot place the rectangle in the window's process");
    Check(sent, L"window did not answer");
}

void CmdCount(const Args& args) { PrintLine(std::to_wstring(FindTopLevel(args[0]).count)); }

// "1" while the window takes input, "0" while it is disabled (under a modal dialog).
void CmdEnabled(const Args& args) { PrintLine(IsWindowEnabled(Target(args[0])) ? L"1" : L"0"); }

void CmdChildCount(const Args& args) { PrintLine(std::to_wstring(FindDescendants(Target(args[0]), args[1]).count)); }

// Where the visible editor lies in the main window's client area, as "x y width height".
void CmdEditorRect(const Args& args) {
    HWND top = Target(args[0]);
    HWND editor = FirstScintilla(top);
    Check(editor != nullptr, L"no editor in " + args[0]);
    RECT rect = {};
    GetWindowRect(editor, &rect);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&rect), 2);
    PrintRect(rect);
}

// A part of the main window as the program reports it (client pixels): "left top width height".
// Parts: caption, menubar, toolbar, tabbar, editor, statusbar, sidebar, searchpanel, close, toggle,
// tabN, titleN; "dpi" prints the window's dots per inch.
void CmdPart(const Args& args) {
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
    if (part < 0) throw BadArgs{};
    const auto value = static_cast<unsigned long long>(Send(Target(args[0]), WM_APP + 0x62, static_cast<WPARAM>(part), 0));
    if (part == 0xFFFF) {
        PrintLine(std::to_wstring(value));
        return;
    }
    Check(static_cast<long long>(value) != -1, L"no such part: " + args[1]);
    const auto field = [value](int shift) { return static_cast<LONG>(static_cast<uint16_t>(value >> shift)); };
    PrintRect(RECT{field(0), field(16), field(32), field(48)});
}

void CmdWaitGone(const Args& args) {
    Check(WaitUntil(Timeout(args, 1, kDefaultTimeoutMs), [&] { return FindTopLevel(args[0]).any == nullptr; }),
          L"window of class " + args[0] + L" still exists");
}

// A pointer move to <x> <y> (client pixels of the target) and then the button messages given.
template <UINT... messages>
void CmdMouse(const Args& args) {
    POINT point = {static_cast<LONG>(Number(args, 1)), static_cast<LONG>(Number(args, 2))};
    HWND top = Target(args[0]);
    POINT screen = point;
    ClientToScreen(top, &screen);
    HWND target = HitChild(top, point);
    // Put the real pointer there too, so GetCursorPos and GetMessagePos agree with the message.
    SetCursorPos(screen.x, screen.y);
    LetInputSettle(top);
    const LPARAM where = PointParam(point);
    PostChecked(target, WM_MOUSEMOVE, 0, where);
    for (UINT message : std::initializer_list<UINT>{messages...})
        PostChecked(target, message,
                    message == WM_LBUTTONDOWN ? MK_LBUTTON : message == WM_RBUTTONDOWN ? MK_RBUTTON : 0, where);
}

void CmdDoubleClickCaption(const Args& args) {
    if (args.size() == 2) throw BadArgs{};
    const long long x = Number(args, 1, -1), y = Number(args, 2, 1);
    HWND top = Target(args[0]);
    RECT client = {};
    GetClientRect(top, &client);
    POINT screen = {x < 0 ? client.right / 2 : static_cast<LONG>(x), static_cast<LONG>(y)};
    ClientToScreen(top, &screen);
    PostChecked(top, WM_NCLBUTTONDBLCLK, HTCAPTION, PointParam(screen));
}

// The text of one entry of a list box control (by its id) of the target.
void CmdListItem(const Args& args) {
    const auto index = static_cast<WPARAM>(Number(args, 2));
    HWND list = GetDlgItem(Target(args[0]), static_cast<int>(Number(args, 1)));
    Check(list != nullptr, L"no control " + args[1] + L" in " + args[0]);
    DWORD_PTR length = 0;
    Check(SendQuietly(list, LB_GETTEXTLEN, index, 0, &length) && static_cast<LONG_PTR>(length) != LB_ERR,
          L"no entry " + args[2]);
    std::wstring text(length + 1, L'\0');
    const DWORD_PTR copied = Send(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()), L"list did not answer");
    Check(static_cast<LONG_PTR>(copied) != LB_ERR, L"list did not answer");
    text.resize(copied);
    PrintLine(text);
}

// Moves a top-level window, keeping its size.
void CmdPlace(const Args& args) {
    const int x = static_cast<int>(Number(args, 1)), y = static_cast<int>(Number(args, 2));
    Check(SetWindowPos(Target(args[0]), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != 0,
          L"the window did not move");
}

// Typing latency as a user meets it: each key is one WM_CHAR sent synchronously to the visible
// editing component, then a synchronous repaint of the whole window, so that what the program
// scheduled for the key is counted too. Prints "median p95 max" in milliseconds over the keys.
void CmdKeyTiming(const Args& args) {
    const long long count = Number(args, 1);
    if (count < 1 || count > 100000) throw BadArgs{};
    const wchar_t typed = args.size() == 3 && !args[2].empty() ? args[2][0] : L'x';
    HWND top = Target(args[0]);
    HWND editor = VisibleEditor(args[0]);
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(count));
    for (long long i = 0; i < count; ++i) {
        const double start = NowMs();
        // A slow key is what is being measured: a minute before it counts as no answer.
        DWORD_PTR ignored = 0;
        Check(SendMessageTimeoutW(editor, WM_CHAR, typed, 1, SMTO_NORMAL, 60000, &ignored) != 0,
              L"editor stopped answering while typing");
        RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        ms.push_back(NowMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    auto at = [&](double fraction) { return ms[std::min(ms.size() - 1, static_cast<size_t>(fraction * ms.size()))]; };
    wchar_t line[96];
    swprintf(line, 96, L"%.3f %.3f %.3f", at(0.5), at(0.95), ms.back());
    PrintLine(line);
}

struct Verb {
    const wchar_t* name;
    size_t minArgs, maxArgs;
    const wchar_t* usage;
    void (*run)(const Args&);
};

constexpr size_t kMany = 1000;
const Verb kVerbs[] = {
    {L"wait-window", 1, 2, L"<class> [timeout]", CmdWaitWindow},
    {L"title", 1, 1, L"<class>", CmdTitle},
    {L"window-text", 1, 1, L"<class>", CmdWindowText},
    {L"child-text", 2, 2, L"<class> <child class>", CmdChildText},
    {L"rect", 1, 1, L"<class>", CmdRect},
    {L"child-rect", 2, 2, L"<class> <child class>", CmdChildRect},
    {L"editor-rect", 1, 1, L"<class>", CmdEditorRect},
    {L"part", 2, 2, L"<class> caption|menubar|toolbar|tabbar|editor|...|tabN|titleN|dpi", CmdPart},
    {L"command", 2, 3, L"<class> <id> [lparam]", CmdCommand},
    {L"post", 4, 4, L"<class> <msg> <wparam> <lparam>", CmdPost},
    {L"send", 2, 5, L"<class> <msg> [wparam] [lparam] [timeout]", CmdSend},
    {L"wait-msgbox", 0, 1, L"[timeout]", CmdWaitMsgBox},
    {L"answer-msgbox", 1, 2, L"<yes|no|cancel|ok|retry|abort|ignore> [timeout]", CmdAnswerMsgBox},
    {L"no-msgbox", 0, 1, L"[ms]", CmdNoMsgBox},
    {L"busy-time", 3, 4, L"<class> command <id> | busy-time <class> answer <button> <title>", CmdBusyTime},
    {L"answer-gaps", 3, 3, L"<class> <button> <title>", CmdAnswerGaps},
    {L"gaps", 2, 2, L"<class> <ms>", CmdGaps},
    {L"type", 2, 2, L"<class> <text>", CmdType},
    {L"keys", 2, kMany, L"<class> <combo|down:key|up:key> [...]", CmdKeys},
    {L"release-modifiers", 0, 0, L"", CmdReleaseModifiers},
    {L"key-char", 3, 3, L"<class> <combo> <text>", CmdKeyChar},
    {L"key-timing", 2, 3, L"<class> <count> [char]", CmdKeyTiming},
    {L"capture", 1, 1, L"<class>", CmdThreadWindow<&GUITHREADINFO::hwndCapture>},
    {L"focus", 1, 1, L"<class>", CmdThreadWindow<&GUITHREADINFO::hwndFocus>},
    {L"editor-text", 1, 1, L"<class>", CmdEditorText},
    {L"editor-send", 2, 4, L"<class> <msg> [wparam] [lparam]", CmdEditorSend},
    {L"editor-text-width", 3, 3, L"<class> <style> <text>", CmdEditorTextWidth},
    {L"child-count", 2, 2, L"<class> <childClass>", CmdChildCount},
    {L"count", 1, 1, L"<class>", CmdCount},
    {L"enabled", 1, 1, L"<class>", CmdEnabled},
    {L"control", 3, 6, L"<class> <id> text | rect | set <text> | send <msg> [wparam] [lparam]", CmdControl},
    {L"dpi-changed", 6, 6, L"<class> <dpi> <left> <top> <width> <height>", CmdDpiChanged},
    {L"list-item", 3, 3, L"<class> <id> <index>", CmdListItem},
    {L"file-dialog", 1, 3, L"<path> [timeout] [overwrite]", CmdFileDialog},
    {L"lock-file", 2, 2, L"<path> <ms>", CmdLockFile},
    {L"unlock", 0, 0, L"", CmdUnlock},
    {L"wait-gone", 1, 2, L"<class> [timeout]", CmdWaitGone},
    {L"click", 3, 3, L"<class> <x> <y>", CmdMouse<WM_LBUTTONDOWN, WM_LBUTTONUP>},
    {L"rclick", 3, 3, L"<class> <x> <y>", CmdMouse<WM_RBUTTONDOWN, WM_RBUTTONUP>},
    {L"move", 3, 3, L"<class> <x> <y>", CmdMouse<>},
    {L"press", 3, 3, L"<class> <x> <y>", CmdMouse<WM_LBUTTONDOWN>},
    {L"release", 3, 3, L"<class> <x> <y>", CmdMouse<WM_LBUTTONUP>},
    {L"dblclick-caption", 1, 3, L"<class> [x y]", CmdDoubleClickCaption},
    {L"place", 3, 3, L"<class> <x> <y>", CmdPlace},
    {L"clipboard", 0, 0, L"", CmdClipboard},
};
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
    BecomeDpiAware();
    std::wstring names;
    for (const Verb& verb : kVerbs) names += (names.empty() ? L"" : L"|") + std::wstring(verb.name);
    if (argc < 2) return Usage(L"<" + names + L"> ...");
    const std::wstring command = argv[1];
    const Args args(argv + 2, argv + argc);
    for (const Verb& verb : kVerbs) {
        if (command != verb.name) continue;
        const auto usage = [&] { return Usage(command + (*verb.usage ? L" " : L"") + verb.usage); };
        if (args.size() < verb.minArgs || args.size() > verb.maxArgs) return usage();
        try {
            verb.run(args);
            return kOk;
        } catch (const BadArgs& bad) {
            return bad.reason.empty() ? usage() : BadUsage(bad.reason);
        } catch (const Failure& failure) {
            return Fail(failure.reason);
        }
    }
    return BadUsage(L"unknown subcommand " + command + L"; expected one of " + names);
}
