#include "shell/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include "base/app_state.h"
#include "shell/single_instance.h"
#include "workflow/tab_actions.h"
#include "base/file_access.h"
#include "document/tabs.h"
#include "io/open.h"
#include "persist/persist.h"
#include "project/sidebar.h"

namespace {

bool ready = false;
std::vector<std::wstring> handed;  // paths of later starts, not opened yet

void BringToFront() {
    HWND window = app.mainWindow;
    if (!window) return;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    // A question on screen stays on top of its window.
    HWND popup = GetLastActivePopup(window);
    SetForegroundWindow(popup && IsWindowVisible(popup) ? popup : window);
}

}  // namespace

std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine) {
    std::vector<std::wstring> arguments;
    if (!commandLine || !*commandLine) return arguments;
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(commandLine, &count);
    if (!split) return arguments;
    for (int i = 1; i < count; ++i) {
        if (split[i][0] != L'\0') arguments.emplace_back(split[i]);
    }
    LocalFree(split);
    return arguments;
}

std::wstring FullPathOfArgument(const std::wstring& argument) {
    if (argument.empty()) return {};
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFullPathNameW(argument.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(n);  // n counts the terminating null when the buffer was too small
    }
}

std::vector<std::wstring> CommandLineFullPaths() {
    std::vector<std::wstring> paths;
    for (const std::wstring& argument : CommandLineArguments(GetCommandLineW())) {
        std::wstring path = FullPathOfArgument(argument);
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

void OpenPaths(const std::vector<std::wstring>& fullPaths) {
    const RecentFilesBatch oneWrite;
    const TabBatch together;
    for (const std::wstring& path : fullPaths) {
        const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ShowFolderExpanded(path);
        } else {
            OpenPath(path);
        }
    }
}

void CommandLineReady() {
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
    return kHandOffTaken;
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
