#include "io/path_identity.h"

#include <windows.h>

#include <vector>

#include "base/file_access.h"

namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool HasDrive(const std::wstring& p) { return p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == L':'; }

// The root of a full path written with "\" only: "c:" for a drive, "\\server\share" for a network
// path; the rest follows it. False when `p` has neither.
bool SplitRoot(const std::wstring& p, std::wstring& root, std::wstring& rest) {
    if (HasDrive(p)) {
        root = p.substr(0, 2);
        rest = p.substr(2);
        return true;
    }
    if (p.size() >= 2 && p[0] == L'\\' && p[1] == L'\\') {
        size_t server = p.find(L'\\', 2);
        if (server == std::wstring::npos) {
            root = p;
            rest.clear();
            return true;
        }
        size_t share = p.find(L'\\', server + 1);
        if (share == std::wstring::npos) share = p.size();
        root = p.substr(0, share);
        rest = p.substr(share);
        return true;
    }
    return false;
}

std::wstring WithBackslashes(std::wstring p) {
    for (wchar_t& c : p)
        if (c == L'/') c = L'\\';
    if (p.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + p.substr(8);
    if (p.rfind(L"\\\\?\\", 0) == 0 || p.rfind(L"\\??\\", 0) == 0) return p.substr(4);
    return p;
}

// Resolves the steps below a root as the system does: "." and ".." steps go, a step ending in one
// dot loses it, and the last step (unless a separator ends the path) loses all trailing dots and
// spaces. A step of three or more dots is a name and stays.
std::wstring Resolve(const std::wstring& root, const std::wstring& rest) {
    std::vector<std::wstring> steps;
    const bool endsInSeparator = !rest.empty() && rest.back() == L'\\';
    size_t at = 0;
    while (at <= rest.size()) {
        size_t end = rest.find(L'\\', at);
        if (end == std::wstring::npos) end = rest.size();
        std::wstring step = rest.substr(at, end - at);
        const bool last = end == rest.size();
        at = end + 1;
        if (step.empty() || step == L".") continue;
        if (step == L"..") {
            if (!steps.empty()) steps.pop_back();
            continue;
        }
        if (last && !endsInSeparator) {
            while (!step.empty() && (step.back() == L'.' || step.back() == L' ')) step.pop_back();
        } else if (step.size() >= 2 && step.back() == L'.' && step[step.size() - 2] != L'.') {
            step.pop_back();
        }
        if (!step.empty()) steps.push_back(std::move(step));
    }
    std::wstring full = root;
    for (const std::wstring& step : steps) full += L'\\' + step;
    if (steps.empty() && HasDrive(root)) full += L'\\';
    return full;
}

std::wstring CurrentFolder() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring folder(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, folder.data());
    folder.resize(got < n ? got : 0);
    return folder;
}

std::wstring WithoutExtendedPrefix(const std::wstring& p) { return WithBackslashes(p); }

// The long form of an existing path, or of its longest existing folder with the rest appended.
std::wstring LongForm(const std::wstring& full) {
    const std::wstring extended = ExtendedPath(full);
    const DWORD n = GetLongPathNameW(extended.c_str(), nullptr, 0);
    if (n > 0) {
        std::wstring buffer(n, L'\0');
        const DWORD got = GetLongPathNameW(extended.c_str(), buffer.data(), n);
        if (got > 0 && got < n) {
            buffer.resize(got);
            return WithoutExtendedPrefix(buffer);
        }
    }
    const size_t last = full.find_last_of(L'\\');
    std::wstring root, rest;
    if (last == std::wstring::npos || !SplitRoot(full, root, rest) || last < root.size()) return full;
    if (last == root.size()) return full;  // the first step below the root: nothing to expand above it
    return LongForm(full.substr(0, last)) + full.substr(last);
}

}  // namespace

std::wstring LexicalFullPath(const std::wstring& path, const std::wstring& base) {
    if (path.empty()) return {};
    const std::wstring p = WithBackslashes(path);
    std::wstring root, rest;
    if (HasDrive(p) && (p.size() == 2 || p[2] != L'\\')) {
        // "c:a": relative to the base when the base is on that drive, else to the drive's root.
        std::wstring baseRoot, baseRest;
        const std::wstring fullBase = base.empty() ? std::wstring() : LexicalFullPath(base, L"");
        if (SplitRoot(fullBase, baseRoot, baseRest) && CompareStringOrdinal(baseRoot.c_str(), -1, p.substr(0, 2).c_str(), -1, TRUE) == CSTR_EQUAL)
            return Resolve(baseRoot, baseRest + L'\\' + p.substr(2));
        return Resolve(p.substr(0, 2), p.substr(2));
    }
    if (SplitRoot(p, root, rest)) return Resolve(root, rest);
    if (base.empty()) return {};
    const std::wstring fullBase = LexicalFullPath(base, L"");
    if (!SplitRoot(fullBase, root, rest)) return {};
    if (p[0] == L'\\') return Resolve(root, p);  // rooted on the base's drive
    return Resolve(root, rest + L'\\' + p);
}

bool SamePathText(const std::wstring& a, const std::wstring& b) {
    std::wstring fa = LexicalFullPath(a, L""), fb = LexicalFullPath(b, L"");
    if (fa.empty() || fb.empty()) {
        fa = a;
        fb = b;
    }
    return CompareStringOrdinal(fa.c_str(), static_cast<int>(fa.size()), fb.c_str(), static_cast<int>(fb.size()),
                                TRUE) == CSTR_EQUAL;
}

std::wstring FullPathAgainst(const std::wstring& path, const std::wstring& base) {
    if (path.empty()) return {};
    const std::wstring full = LexicalFullPath(path, base);
    if (full.empty()) return path;
    return LongForm(full);
}

std::wstring TabPathOf(const std::wstring& path) { return FullPathAgainst(path, CurrentFolder()); }

FileId FileIdOf(const std::wstring& path) {
    FileId id;
    if (path.empty()) return id;
    // No access asked for: a file another program holds without sharing can still be identified.
    HANDLE file = CreateFileW(ExtendedPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return id;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(file, &info)) {
        id.volume = info.dwVolumeSerialNumber;
        id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        id.valid = true;
    }
    CloseHandle(file);
    return id;
}

bool PathsNameOneFile(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty()) return false;
    return SamePathText(a, b) || SameFileId(FileIdOf(a), FileIdOf(b));
}
