#pragma once
// A folder of a test's own under the system's temporary folder, removed with all it holds.
#include <windows.h>

#include <string>
#include <vector>

#include "base/file_access.h"

class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + name + L" " + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes `bytes` to `relative` (below the folder) and returns the file's path.
    std::wstring Write(const std::wstring& relative, const std::string& bytes = {}, DWORD attributes = 0) const {
        const std::wstring file = path + L"\\" + relative;
        HANDLE f = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
        return file;
    }
    void MakeDir(const std::wstring& relative) const { CreateDirectoryW((path + L"\\" + relative).c_str(), nullptr); }

    static void RemoveTree(const std::wstring& dir) {
        WIN32_FIND_DATAW e;
        HANDLE f = FindFirstFileW((dir + L"\\*").c_str(), &e);
        if (f != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = e.cFileName, child = dir + L"\\" + name;
                if (name == L"." || name == L"..") continue;
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
                else DeleteFileW(child.c_str());
            } while (FindNextFileW(f, &e));
            FindClose(f);
        }
        RemoveDirectoryW(dir.c_str());
    }

    std::wstring path;
};

// A file's bytes as a string (nothing when it cannot be read).
inline std::string FileBytes(const std::wstring& path) {
    const std::vector<uint8_t> bytes = ReadAllBytes(path);
    return std::string(bytes.begin(), bytes.end());
}
