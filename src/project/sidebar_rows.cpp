#include "project/sidebar_rows.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

#include "base/geometry.h"
#include "base/file_access.h"
#include "base/scroll_geometry.h"
#include "syntax/palette.h"

namespace {
// A drive root such as C:\ ends in its separator already.
bool EndsWithSeparator(const std::wstring& folder) {
    return !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
}
}  // namespace

bool ListFolder(const std::wstring& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW data;
    // The basic information level skips the short 8.3 names, and the large fetch asks for entries in
    // big batches: both matter for folders of tens of thousands of entries.
    const std::wstring pattern = folder + (EndsWithSeparator(folder) ? L"*" : L"\\*");
    HANDLE find = FindFirstFileExW(ExtendedPath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
        entries.push_back(FolderEntry{name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

bool NaturalNameLess(const std::wstring& a, const std::wstring& b) {
    const int order = StrCmpLogicalW(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
}

std::wstring LastPathPart(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

void ScanFolder(const std::wstring& folder, int depth, const FolderSet& expanded, const FolderLister& list,
                std::vector<SidebarRow>& rows) {
    std::vector<FolderEntry> entries;
    if (!list(folder, entries)) return;
    // Every name comes from one folder, so the full paths share their prefix: ordering by name with
    // the path as tie-break is ordering by name.
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return a.isFolder != b.isFolder ? a.isFolder : NaturalNameLess(a.name, b.name);
    });
    rows.reserve(rows.size() + entries.size());
    const bool endsWithSeparator = EndsWithSeparator(folder);
    for (FolderEntry& entry : entries) {
        SidebarRow row;
        row.isFolder = entry.isFolder;
        row.depth = depth;
        row.path.reserve(folder.size() + 1 + entry.name.size());
        row.path.append(folder);
        if (!endsWithSeparator) row.path += L'\\';
        row.path += entry.name;
        row.name = std::move(entry.name);
        const bool open = row.isFolder && expanded.count(row.path) != 0;
        const std::wstring path = open ? row.path : std::wstring();
        rows.push_back(std::move(row));
        if (open) ScanFolder(path, depth + 1, expanded, list, rows);
    }
}

std::vector<SidebarRow> BuildSidebarRows(const std::wstring& root, const FolderSet& expanded,
                                         const FolderLister& list) {
    std::vector<SidebarRow> rows;
    SidebarRow header;
    header.isHeader = true;
    header.name = L"FOLDERS";
    rows.push_back(std::move(header));
    if (root.empty()) return rows;
    SidebarRow top;
    top.isFolder = true;
    top.name = LastPathPart(root);
    top.path = root;
    rows.push_back(std::move(top));
    if (expanded.count(root)) ScanFolder(root, 1, expanded, list, rows);
    return rows;
}

namespace {

struct BadgeKind {
    std::vector<const wchar_t*> endings;
    FileBadge badge;
};

const FileBadge kOtherBadge{Hex(0x4A4A4A), Hex(0xC0C0C0), L"\u00B7"};

const std::vector<BadgeKind>& BadgeKinds() {
    static const std::vector<BadgeKind> kinds = {
        {{L".js", L".ts", L".jsx", L".tsx", L".mjs", L".cjs"}, {Hex(0xF7DF1E), Hex(0x000000), L"JS"}},
        {{L".css"}, {Hex(0x264DE4), Hex(0xFFFFFF), L"CSS"}},
        {{L".md", L".markdown"}, {Hex(0x083FA1), Hex(0xFFFFFF), L"MD"}},
        {{L".html", L".htm"}, {Hex(0xE34C26), Hex(0xFFFFFF), L"HT"}},
        {{L".py"}, {Hex(0x3776AB), Hex(0xFFFFFF), L"PY"}},
        {{L".json"}, {Hex(0xC9B43A), Hex(0x000000), L"{}"}},
        {{L".xml"}, {Hex(0x8BC34A), Hex(0x000000), L"XML"}},
        {{L".c", L".h", L".cpp", L".hpp", L".cc"}, {Hex(0x5A5A5A), Hex(0xE0E0E0), L"C"}},
        {{L".cs"}, {Hex(0x6A6A6A), Hex(0xE0E0E0), L"#"}},
        {{L".txt"}, {Hex(0x5A5A5A), Hex(0xE0E0E0), L"TX"}},
    };
    return kinds;
}

}  // namespace

std::vector<std::wstring> BadgeLabels() {
    std::vector<std::wstring> labels{kOtherBadge.label};
    for (const BadgeKind& kind : BadgeKinds()) labels.push_back(kind.badge.label);
    return labels;
}

FileBadge BadgeForName(const std::wstring& name) {
    std::wstring lower = name;
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    for (const BadgeKind& kind : BadgeKinds()) {
        for (const wchar_t* ending : kind.endings) {
            const size_t n = std::wcslen(ending);
            if (lower.size() >= n && lower.compare(lower.size() - n, n, ending) == 0) return kind.badge;
        }
    }
    return kOtherBadge;
}

namespace {
long long ContentHeight(size_t rowCount, int dpi) {
    return static_cast<long long>(rowCount) * Scale(kSidebarRowHeight, dpi);
}
}  // namespace

int ClampSidebarScrollValue(int scroll, size_t rowCount, int clientHeight, int dpi) {
    const long long limit = std::max(0LL, ContentHeight(rowCount, dpi) - clientHeight);
    return static_cast<int>(std::clamp<long long>(scroll, 0, std::min<long long>(limit, INT32_MAX)));
}

int SidebarRowAt(int scroll, int y, size_t rowCount, int dpi) {
    const int rowHeight = Scale(kSidebarRowHeight, dpi);
    if (y >= 0 && y < rowHeight && rowCount > 0) return 0;  // the fixed header
    const long long offset = static_cast<long long>(scroll) + y;
    if (offset < 0) return -1;
    const long long row = offset / rowHeight;
    return row < static_cast<long long>(rowCount) ? static_cast<int>(row) : -1;
}

int SidebarRowTop(size_t index, int scroll, int dpi) {
    return index == 0 ? 0 : static_cast<int>(index) * Scale(kSidebarRowHeight, dpi) - scroll;
}

int SidebarBadgeWidth(int widestLabel, int dpi) { return std::max(Scale(18, dpi), widestLabel + Scale(4, dpi)); }

RowRange VisibleSidebarRows(int scroll, int clientHeight, size_t rowCount, int dpi) {
    if (clientHeight <= 0 || rowCount == 0) return {};
    const long long top = std::max(0, scroll);
    const long long bottom = top + clientHeight;  // exclusive
    const long long rowHeight = Scale(kSidebarRowHeight, dpi);
    RowRange range;
    range.first = static_cast<size_t>(std::min<long long>(top / rowHeight, rowCount));
    range.last = static_cast<size_t>(
        std::min<long long>((bottom + rowHeight - 1) / rowHeight, static_cast<long long>(rowCount)));
    return range;
}

SidebarThumb SidebarThumbRect(int clientWidth, int clientHeight, size_t rowCount, int scroll, int dpi) {
    const ScrollThumb thumb = ListThumb(clientHeight, ContentHeight(rowCount, dpi), scroll, dpi);
    if (!thumb.visible) return SidebarThumb{};
    return SidebarThumb{true, clientWidth - Scale(10, dpi), thumb.start, clientWidth - Scale(2, dpi),
                        thumb.start + thumb.length};
}

int SidebarDragScroll(int y, int clientHeight, size_t rowCount, int thumbHeight, int dpi) {
    return ListDragScroll(y, clientHeight, ContentHeight(rowCount, dpi), thumbHeight, dpi);
}
