#include "search/find_in_files.h"

#include <windows.h>

#include <cwchar>

#include "base/encoding.h"
#include "base/file_access.h"

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
                std::vector<uint8_t>& buffer, SearchBudget* budget) {
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
    SearchFileBytes(buffer.data(), buffer.size(), matcher, path, hits, budget);
    return true;
}

void SearchFileBytes(const uint8_t* bytes, size_t length, const LineMatcher& matcher, const std::wstring& path,
                     std::vector<SearchHit>& hits, SearchBudget* budget) {
    const std::wstring title = FileNamePart(path);
    if (!SearchUtf8Lines(bytes, length, matcher, path, title, hits, budget)) {
        std::wstring text = DecodeBytes(bytes, length, nullptr, nullptr);
        SearchTextLines(text, matcher, path, title, hits, budget);
    }
}

FolderSearchStats WalkFolderFiles(const std::wstring& root, const FolderSearchLimits& limits,
                                  const std::function<bool(const FolderFile&)>& visit) {
    FolderSearchStats stats;
    bool stopped = false;
    auto more = [&] { return !stopped && stats.filesSeen < limits.maxFiles && stats.bytesSeen < limits.maxBytes; };
    FolderFile file;
    WalkFolder(
        root, true,
        [&](const std::wstring& path, const WalkEntry& entry) {
            if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
            file.path = path;
            file.size = entry.size;
            file.attributes = entry.attributes;
            ++stats.filesSeen;
            stats.bytesSeen += file.size;
            stopped = !visit(file);
            return more();
        },
        more);
    return stats;
}

bool ReadFolderEntries(const std::wstring& folder, const std::function<bool(const WalkEntry&)>& each) {
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileExW(ExtendedPath(JoinPath(folder, L"*")).c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return false;
    WalkEntry entry;
    do {
        entry.name = data.cFileName;
        if (entry.name == L"." || entry.name == L"..") continue;
        entry.attributes = data.dwFileAttributes;
        entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        if (!each(entry)) break;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

void WalkFolder(const std::wstring& root, bool skipDotFolders,
                const std::function<bool(const std::wstring& path, const WalkEntry& entry)>& visit,
                const std::function<bool()>& more, const FolderReader& read) {
    if (root.empty()) return;
    std::vector<std::wstring> stack{root};
    bool stopped = false;
    while (!stopped && !stack.empty() && more()) {
        const std::wstring folder = std::move(stack.back());
        stack.pop_back();
        read(folder, [&](const WalkEntry& entry) {
            const std::wstring path = JoinPath(folder, entry.name);
            if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                !(skipDotFolders && entry.name[0] == L'.'))
                stack.push_back(path);
            stopped = !visit(path, entry);
            return !stopped;
        });
    }
}

FolderSearchStats SearchFolder(const std::wstring& root, const LineMatcher& matcher,
                               const std::set<std::wstring>& openPaths, std::vector<SearchHit>& hits,
                               const FolderSearchLimits& limits, SearchBudget* budget) {
    if (!matcher.usable || hits.size() >= kMaxHits || (budget && budget->stopped)) return {};
    std::vector<uint8_t> buffer;
    size_t searched = 0;
    FolderSearchStats stats = WalkFolderFiles(root, limits, [&](const FolderFile& file) {
        if (file.size > limits.maxFileSize || (file.attributes & kRemoteFileAttributes)) return true;
        if (openPaths.count(file.path)) return true;  // its tab was searched already
        if (SearchFile(file.path, limits.maxFileSize, matcher, hits, buffer, budget)) ++searched;
        return hits.size() < kMaxHits && !(budget && budget->stopped);
    });
    stats.filesSearched = searched;
    return stats;
}
