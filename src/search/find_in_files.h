#pragma once
// Searching the files of the open folder that are not open in a tab: a depth-first walk within
// budgets of file count, total size, size per file and hits. No window is touched.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "search/search_model.h"
#include "search/text_match.h"

struct FolderSearchLimits {
    size_t maxFiles = 3000;                   // files met, whatever happened to them
    uint64_t maxBytes = 64ull * 1024 * 1024;  // sum of their sizes
    uint64_t maxFileSize = 2ull * 1024 * 1024;
};

struct FolderSearchStats {
    size_t filesSeen = 0;
    uint64_t bytesSeen = 0;
    size_t filesSearched = 0;
};

// One file met by the walk, with its size and attributes from the directory listing.
struct FolderFile {
    std::wstring path;
    uint64_t size = 0;
    uint32_t attributes = 0;
};

// The walk below `root`, depth first: every file met counts towards the limits (size limit aside)
// and is then handed to `visit`, which returns false to end the walk. Directories whose names
// begin with "." and directory reparse points are not entered; a directory that cannot be listed,
// or vanishes before or while it is listed, is passed over. The limits are checked after every
// entry. `filesSearched` is left to the caller.
FolderSearchStats WalkFolderFiles(const std::wstring& root, const FolderSearchLimits& limits,
                                  const std::function<bool(const FolderFile&)>& visit);

// Appends the hits of the files below `root` whose full paths are not in `openPaths` (exact,
// case-sensitive comparison), until the budget (none when null) runs out. Directories whose names begin with "." and directory reparse points
// (junctions, links) are not entered; files that are offline or would be recalled from elsewhere
// on access are not read. The limits are checked after every entry.
FolderSearchStats SearchFolder(const std::wstring& root, const LineMatcher& matcher,
                               const std::set<std::wstring>& openPaths, std::vector<SearchHit>& hits,
                               const FolderSearchLimits& limits = {}, SearchBudget* budget = nullptr);

// Matches the bytes of one file, decoded as on opening it: in place when they are UTF-8, else
// after decoding them.
void SearchFileBytes(const uint8_t* bytes, size_t length, const LineMatcher& matcher, const std::wstring& path,
                     std::vector<SearchHit>& hits, SearchBudget* budget = nullptr);

// Reads, decodes and matches one file; false when it could not be read or is larger than maxSize.
// `buffer` is scratch space reused from file to file.
bool SearchFile(const std::wstring& path, uint64_t maxSize, const LineMatcher& matcher, std::vector<SearchHit>& hits,
                std::vector<uint8_t>& buffer, SearchBudget* budget = nullptr);

// One entry of a folder as a walk reads it.
struct WalkEntry {
    std::wstring name;
    uint32_t attributes = 0;  // FILE_ATTRIBUTE_* bits
    uint64_t size = 0;        // of a file, as listed
};
// Hands the entries of one folder but "." and ".." to `each` until it returns false; false when the
// folder cannot be read.
using FolderReader = std::function<bool(const std::wstring& folder, const std::function<bool(const WalkEntry&)>& each)>;
// The reader of folders on disk.
bool ReadFolderEntries(const std::wstring& folder, const std::function<bool(const WalkEntry&)>& each);

// Depth-first walk below `root` with an explicit stack: the folder pushed last is read next.
// `visit` gets each entry with its full path and returns false to stop the walk at once; `more` is
// asked before each folder is read and stops the walk when it returns false. Directory reparse
// points (junctions, links) are visited but never entered, so a link to an ancestor cannot make a
// loop; with `skipDotFolders`, neither are directories whose names begin with ".".
void WalkFolder(const std::wstring& root, bool skipDotFolders,
                const std::function<bool(const std::wstring& path, const WalkEntry& entry)>& visit,
                const std::function<bool()>& more, const FolderReader& read = ReadFolderEntries);
