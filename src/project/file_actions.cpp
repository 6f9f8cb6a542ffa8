#include "project/file_actions.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "base/app_state.h"
#include "base/file_access.h"

std::wstring FolderOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

void ShowInExplorer(const std::wstring& path) {
    if (path.empty()) return;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const std::wstring parameters = L"/select,\"" + path + L"\"";
        // The system's own file manager, by its full path.
        wchar_t windows[MAX_PATH];
        const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        const std::wstring explorer = std::wstring(windows, n) + L"\\explorer.exe";
        ShellExecuteW(app.mainWindow, L"open", explorer.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
        return;
    }
    std::wstring folder = path;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        folder = FolderOf(path);
        if (folder.empty()) folder = path;
    }
    ShellExecuteW(app.mainWindow, L"explore", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CopyTextToClipboard(const std::wstring& text) {
    if (text.empty()) return;
    if (!OpenClipboard(app.resultListWindow ? app.resultListWindow : app.mainWindow)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(block)) {
            std::memcpy(target, text.c_str(), bytes);
            GlobalUnlock(block);
            if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
        } else {
            GlobalFree(block);
        }
    }
    CloseClipboard();
}

bool MoveFileTo(const std::wstring& source, const std::wstring& target, std::wstring& reason) {
    // A change of letter case alone names the same file, which the move allows.
    if (MoveFileExW(ExtendedPath(source).c_str(), ExtendedPath(target).c_str(),
                    MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return true;
    reason = SystemErrorText(GetLastError());
    return false;
}
