#include "shell/single_instance.h"

#include <sddl.h>

#include <cwctype>

namespace {

constexpr DWORD kHandOffWaitMs = 60000;  // how long a later start waits for the running window
const wchar_t kWindowMark[] = L"TessaryInstance";

HANDLE instanceMutex = nullptr;

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

bool HandOffToRunningInstance(const std::wstring& programDirectory, const std::vector<std::wstring>& fullPaths) {
    if (programDirectory.empty()) return false;
    const uint64_t key = InstanceKey(programDirectory);
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
                answer == static_cast<DWORD_PTR>(kHandOffTaken)) {
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

void PublishInstanceWindow(HWND mainWindow, const std::wstring& programDirectory) {
    if (mainWindow && !programDirectory.empty()) SetPropW(mainWindow, kWindowMark, MarkOf(InstanceKey(programDirectory)));
}

void EndInstance() {
    if (!instanceMutex) return;
    ReleaseMutex(instanceMutex);
    CloseHandle(instanceMutex);
    instanceMutex = nullptr;
}
