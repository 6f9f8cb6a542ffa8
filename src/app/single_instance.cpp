#include "app/single_instance.h"

#include <sddl.h>

#include <cwctype>

#include "app/app_state.h"
#include "app/command_line.h"

namespace {

constexpr ULONG_PTR kHandOffTag = 0x54534131;  // marks a WM_COPYDATA block as a list of paths
constexpr LRESULT kTaken = 0x7E55;
constexpr DWORD kHandOffWaitMs = 60000;  // how long a later start waits for the running window
const wchar_t kWindowMark[] = L"TessaryInstance";

HANDLE instanceMutex = nullptr;
bool ready = false;
std::vector<std::wstring> handed;

std::wstring UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return L"user";
    std::wstring sid = L"user";
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        wchar_t* text = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
            sid = text;
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

HANDLE MarkOf(uint64_t key) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(key | 1)); }

struct WindowSearch {
    HANDLE mark;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) == L"TessaryClass" && GetPropW(window, kWindowMark) == search.mark) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindInstanceWindow(uint64_t key) {
    WindowSearch search{MarkOf(key), nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void BringToFront() {
    HWND window = app.mainWindow;
    if (!window) return;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    // A question on screen stays on top of its window.
    HWND popup = GetLastActivePopup(window);
    SetForegroundWindow(popup && IsWindowVisible(popup) ? popup : window);
}

}  // namespace

uint64_t InstanceKey(const std::wstring& programDirectory) {
    uint64_t hash = 1469598103934665603ull;
    for (wchar_t c : programDirectory) {
        hash ^= static_cast<uint64_t>(std::towlower(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

std::vector<wchar_t> PackPaths(const std::vector<std::wstring>& paths) {
    std::vector<wchar_t> block;
    for (const std::wstring& path : paths) {
        if (path.empty() || path.find(L'\0') != std::wstring::npos) continue;
        block.insert(block.end(), path.begin(), path.end());
        block.push_back(L'\0');
    }
    return block;
}

bool UnpackPaths(const void* data, size_t bytes, std::vector<std::wstring>& paths) {
    paths.clear();
    if (bytes % sizeof(wchar_t) != 0 || (bytes && !data)) return false;
    const auto* units = static_cast<const wchar_t*>(data);
    const size_t count = bytes / sizeof(wchar_t);
    if (count && units[count - 1] != L'\0') return false;
    std::wstring current;
    for (size_t i = 0; i < count; ++i) {
        if (units[i] != L'\0') {
            current += units[i];
        } else if (current.empty()) {
            return false;
        } else {
            paths.push_back(std::move(current));
            current.clear();
        }
    }
    return true;
}

bool HandOffToRunningInstance(const std::vector<std::wstring>& fullPaths) {
    const std::wstring dir = ProgramDirectory();
    if (dir.empty()) return false;
    const uint64_t key = InstanceKey(dir);
    wchar_t suffix[24];
    swprintf(suffix, 24, L"%016llx", static_cast<unsigned long long>(key));
    // Local\: one per logon session; the user's SID: one per user in it.
    const std::wstring name = L"Local\\Tessary-" + UserSid() + L"-" + suffix;
    HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
    if (!mutex) return false;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        instanceMutex = mutex;
        return false;
    }
    std::vector<wchar_t> block = PackPaths(fullPaths);
    const ULONGLONG deadline = GetTickCount64() + kHandOffWaitMs;
    while (GetTickCount64() < deadline) {
        if (HWND window = FindInstanceWindow(key)) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            // This start came from the user, so it may let the running window take the foreground.
            AllowSetForegroundWindow(process);
            COPYDATASTRUCT data{kHandOffTag, static_cast<DWORD>(block.size() * sizeof(wchar_t)),
                                block.empty() ? nullptr : block.data()};
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                    10000, &answer) &&
                answer == static_cast<DWORD_PTR>(kTaken)) {
                CloseHandle(mutex);
                return true;
            }
        }
        // The running instance holds the mutex for its whole life: once it is ours, that one ended.
        const DWORD wait = WaitForSingleObject(mutex, 100);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
            instanceMutex = mutex;
            return false;
        }
    }
    // The running instance never answered: rather a second window than a start that does nothing.
    CloseHandle(mutex);
    return false;
}

void PublishInstanceWindow(HWND mainWindow) {
    const std::wstring dir = ProgramDirectory();
    if (mainWindow && !dir.empty()) SetPropW(mainWindow, kWindowMark, MarkOf(InstanceKey(dir)));
}

void InstanceReady() {
    ready = true;
    if (!handed.empty() && app.mainWindow) SetTimer(app.mainWindow, kHandedPathsTimerId, 50, nullptr);
}

LRESULT ReceiveHandedPaths(const COPYDATASTRUCT* data) {
    if (!data || data->dwData != kHandOffTag || !app.mainWindow) return 0;
    // A close under way would drop them: the sender tries again until this process has ended.
    if (app.sessionSaved) return 0;
    std::vector<std::wstring> paths;
    if (!UnpackPaths(data->lpData, data->cbData, paths)) return 0;
    handed.insert(handed.end(), paths.begin(), paths.end());
    BringToFront();
    if (!handed.empty()) SetTimer(app.mainWindow, kHandedPathsTimerId, 50, nullptr);
    return kTaken;
}

void OpenHandedPaths() {
    // Not while start-up asks its questions or any other modal window is up.
    if (!ready || !app.mainWindow || !IsWindowEnabled(app.mainWindow) || app.sessionSaved) return;
    KillTimer(app.mainWindow, kHandedPathsTimerId);
    std::vector<std::wstring> paths;
    paths.swap(handed);
    OpenPaths(paths);
    BringToFront();
}

void EndInstance() {
    if (!instanceMutex) return;
    ReleaseMutex(instanceMutex);
    CloseHandle(instanceMutex);
    instanceMutex = nullptr;
}
