#include "search/find_in_files.h"

#include <windows.h>

#include <cwchar>

#include "io/encoding.h"
#include "io/file_access.h"

namespace {

// Placeholders of files kept elsewhere (cloud storage, archives): reading them would fetch them.
constexpr DWORD kRemoteFileAttributes =
    FILE_ATTRIBUTE_OFFLINE | 0x00040000 /* recall on open */ | 0x00400000 /* recall on data access */;

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
    return folder + L'\\' + name;
}

std::wstring FileNamePart(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

}  // namespace

bool SearchFile(const std::wstring& path, uint64_t maxSize, const LineMatcher& matcher, std::vector<SearchHit>& hits,
                std::vector<uint8_t>& buffer) {
    HANDLE file = OpenForReading(path, FILE_FLAG_SEQUENTIAL_SCAN);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > maxSize) {
        CloseHandle(file);
        return false;
    }
    buffer.resize(static_cast<size_t>(size.QuadPart));
    size_t got = 0;
    while (got < buffer.size()) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data() + got, static_cast<DWORD>(buffer.size() - got), &read, nullptr) || read == 0)
            break;
        got += read;
    }
    CloseHandle(file);
    buffer.resize(got);  // a file that shrank meanwhile is searched as far as it reached
    const std::wstring title = FileNamePart(path);
    if (!SearchUtf8Lines(buffer.data(), buffer.size(), matcher, path, title, hits)) {
        std::wstring text = DecodeBytes(buffer.data(), buffer.size(), nullptr, nullptr);
        SearchTextLines(text, matcher, path, title, hits);
    }
    return true;
}

FolderSearchStats WalkFolderFiles(const std::wstring& root, const FolderSearchLimits& limits,
                                  const std::function<bool(const FolderFile&)>& visit) {
    FolderSearchStats stats;
    if (root.empty()) return stats;
    bool stopped = false;
    auto exhausted = [&] {
        return stopped || stats.filesSeen >= limits.maxFiles || stats.bytesSeen >= limits.maxBytes;
    };
    std::vector<std::wstring> stack{root};
    FolderFile file;
    while (!stack.empty() && !exhausted()) {
        const std::wstring folder = std::move(stack.back());
        stack.pop_back();
        WIN32_FIND_DATAW entry{};
        HANDLE find = FindFirstFileExW(ExtendedPath(JoinPath(folder, L"*")).c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) continue;  // gone or not readable: skipped
        do {
            const wchar_t* name = entry.cFileName;
            if (!wcscmp(name, L".") || !wcscmp(name, L"..")) continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name[0] != L'.' && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    stack.push_back(JoinPath(folder, name));
                continue;
            }
            file.size = (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
            file.attributes = entry.dwFileAttributes;
            file.path = JoinPath(folder, name);
            ++stats.filesSeen;
            stats.bytesSeen += file.size;
            stopped = !visit(file);
        } while (!exhausted() && FindNextFileW(find, &entry));
        FindClose(find);
    }
    return stats;
}

FolderSearchStats SearchFolder(const std::wstring& root, const LineMatcher& matcher,
                               const std::set<std::wstring>& openPaths, std::vector<SearchHit>& hits,
                               const FolderSearchLimits& limits) {
    if (!matcher.usable || hits.size() >= kMaxHits) return {};
    std::vector<uint8_t> buffer;
    size_t searched = 0;
    FolderSearchStats stats = WalkFolderFiles(root, limits, [&](const FolderFile& file) {
        if (file.size > limits.maxFileSize || (file.attributes & kRemoteFileAttributes)) return true;
        if (openPaths.count(file.path)) return true;  // its tab was searched already
        if (SearchFile(file.path, limits.maxFileSize, matcher, hits, buffer)) ++searched;
        return hits.size() < kMaxHits;
    });
    stats.filesSearched = searched;
    return stats;
}
