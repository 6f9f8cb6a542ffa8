#pragma once
// The sidebar's folder tree as plain data: the rows built from the open folder and the set of
// expanded folders, the file badges, and the geometry of the rows and the scroll thumb. Nothing
// here touches a window; the only system call is the folder enumeration behind ListFolder.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

struct SidebarRow {
    bool isHeader = false;
    bool isFolder = false;  // false for the header and for files
    int depth = 0;          // 0 for the header and the root, 1 for the root's children, ...
    std::wstring name;      // "FOLDERS" for the header
    std::wstring path;      // full path; empty for the header
};

// Full folder paths, compared by UTF-16 units (case-sensitive).
using FolderSet = std::set<std::wstring>;

struct FolderEntry {
    std::wstring name;
    bool isFolder = false;
};

// Lists one folder's entries other than "." and "..", hidden and system entries included. False
// (and no entries) when the folder cannot be enumerated.
using FolderLister = std::function<bool(const std::wstring& folder, std::vector<FolderEntry>& entries)>;
// The file system's enumeration. Links and junctions to folders count as folders; they are read
// only when their own path is expanded, like any other folder.
bool ListFolder(const std::wstring& folder, std::vector<FolderEntry>& entries);

// Design pixels (96 dpi); the geometry below takes the display's dpi and scales them.
constexpr int kSidebarRowHeight = 22;
constexpr int kSidebarScrollZone = 16;  // right-hand strip left to the scroll bar

// The header, then (when `root` is not empty) the root row and, when the root is expanded, its
// contents: at every level the folders, then the files, each sorted by name as the file manager
// sorts (NaturalNameLess); an expanded folder's contents follow its row. Only folders whose path is
// in `expanded` are listed, each once per call.
std::vector<SidebarRow> BuildSidebarRows(const std::wstring& root, const FolderSet& expanded,
                                         const FolderLister& list = ListFolder);

// Appends the rows of `folder`'s contents at `depth`, descending into expanded sub-folders.
void ScanFolder(const std::wstring& folder, int depth, const FolderSet& expanded, const FolderLister& list,
                std::vector<SidebarRow>& rows);

// The file manager's order of names: without case, runs of digits by their value ("extra_2" before
// "extra_19"); names it holds equal are ordered by their UTF-16 units.
bool NaturalNameLess(const std::wstring& a, const std::wstring& b);

// The text after the last backslash or slash, or the whole path.
std::wstring LastPathPart(const std::wstring& path);

struct FileBadge {
    uint32_t background = 0;  // COLORREF order: red in the lowest byte
    uint32_t text = 0;
    const wchar_t* label = L"";
};
// By the first matching ending of the name with ASCII capitals lowered; "·" for any other name.
FileBadge BadgeForName(const std::wstring& name);
// Every label a badge can show.
std::vector<std::wstring> BadgeLabels();

// min(scroll, max(0, rowCount * 22 - clientHeight)), and never below 0.
int ClampSidebarScrollValue(int scroll, size_t rowCount, int clientHeight, int dpi);

// The row under client y, or -1 when there is none. The header (row 0) stays at the top while the
// rest scrolls beneath it: the top band is always the header.
int SidebarRowAt(int scroll, int y, size_t rowCount, int dpi);

// Where row `index` is drawn: the header at 0, the others at their scrolled place.
int SidebarRowTop(size_t index, int scroll, int dpi);

// The part of a file badge a label needs: its width for the widest label's text width, at least
// the 18 pixels a one-letter badge has, with two pixels of room on either side (design pixels,
// scaled to `dpi`).
int SidebarBadgeWidth(int widestLabel, int dpi);

// Rows [first, last) whose bands meet a client area of the given height (the fixed header aside).
struct RowRange {
    size_t first = 0, last = 0;
};
RowRange VisibleSidebarRows(int scroll, int clientHeight, size_t rowCount, int dpi);

struct SidebarThumb {
    bool exists = false;
    int left = 0, top = 0, right = 0, bottom = 0;
};
// No thumb while the rows fit; otherwise height max(20, (H - 16) * H / T), placed between 8 and
// H - 8 by the scroll position, spanning x from W - 10 to W - 2.
SidebarThumb SidebarThumbRect(int clientWidth, int clientHeight, size_t rowCount, int scroll, int dpi);

// The scroll position for a thumb dragged by its centre to client y (before clamping).
int SidebarDragScroll(int y, int clientHeight, size_t rowCount, int thumbHeight, int dpi);

// Wheel: 40 pixels per standard notch, never above the top.
inline int SidebarWheelScroll(int scroll, int delta) {
    const int next = scroll - delta / 3;
    return next < 0 ? 0 : next;
}
