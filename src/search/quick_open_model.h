#pragma once
// What the quick-open popup lists and what picking an entry does, without a window: the command
// palette and its two-pass filter, the files of the open folder, the text found in open tabs, and
// the reading of a picked entry or a typed ":line".
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "search/find_in_files.h"

// One list entry. `code` is the command to run in the palette; elsewhere the kind below.
struct QuickItem {
    std::wstring label;
    int code = 0;
    std::wstring data;
};

enum QuickCode {
    kQuickOpenFile = 200,  // data: full path
    kQuickLine = 201,      // data: 1-based line of the active tab
    kQuickInfo = 299,      // information row, picking it does nothing
    kQuickTabLine = 300,   // data: "tab:<index>" or a path, U+0001, the 1-based line
};

enum QuickMode { kQuickPalette = 0, kQuickAnything = 1, kQuickSymbol = 2, kQuickText = 3, kQuickGotoLine = 4 };

// Letters A to Z become a to z; nothing else changes.
std::wstring LowerAscii(std::wstring text);
// Whether `label` holds every character of `query` in order; each label character is lower-cased
// with the runtime's wide-character function first (the query is compared as it is).
bool ContainsInOrder(std::wstring_view label, std::wstring_view query);

// The 41 palette entries, in menu order; the same labels in every interface language.
std::vector<QuickItem> PaletteEntries();
// Entries whose lower-cased label holds the query, then (for queries of two or more characters)
// those that hold its characters in order only; both in the order of `all`.
std::vector<QuickItem> FilterPalette(const std::vector<QuickItem>& all, const std::wstring& query);

// ---- files of the open folder -------------------------------------------------------------------

struct FileListLimits {
    size_t maxVisited = 4000;  // entries of any kind, checked after each one
    size_t maxMatches = 400;   // listed files, checked before each folder is read
};

// The files a walk met up to the entry limit, in discovery order; the stop at maxMatches depends
// on the query and is applied when the list is made, so one walk serves every keystroke.
struct FolderFiles {
    struct File {
        std::wstring path;
        std::wstring lowerName;
        size_t folder = 0;  // how many folders had been read before this one's
    };
    std::vector<File> files;
    bool rootOpen = false;  // false when no folder is open
    std::wstring root;
};
FolderFiles WalkQuickOpenFolder(const std::wstring& root, const FileListLimits& limits = {},
                                const FolderReader& read = ReadFolderEntries);
// The walk skips the folders the search in files skips (names beginning with ".", such as .git).
// One entry per file whose name matches the query, best matches first (FileMatchQuality), then by
// the path within the folder; each as "name  —  path within the folder", or just the name for a
// file of the folder itself. The information row when no folder is open. Only the name is matched.
std::vector<QuickItem> FileListItems(const FolderFiles& walk, const std::wstring& query,
                                     const FileListLimits& limits = {});
// How well a lower-cased file name matches a lower-cased query: 0 the whole name, 1 its
// beginning, 2 a part of it, 3 its letters in order; -1 no match. An empty query matches all as 0.
int FileMatchQuality(const std::wstring& lowerName, const std::wstring& lowerQuery);
// The path below `root` ("src\\a.cpp" for root "C:\\p" and "C:\\p\\src\\a.cpp"); the path itself when it
// does not lie below root.
std::wstring PathWithinFolder(const std::wstring& root, const std::wstring& path);
// What goto anything lists for a query starting with ":": a row that moves to the line typed after
// it, or an information row while no line number is there.
std::vector<QuickItem> GotoLineItems(const std::wstring& afterColon);

// ---- text in open tabs --------------------------------------------------------------------------

constexpr long long kTabSearchBytes = 16ll * 1024 * 1024;  // searched per tab
constexpr size_t kTextListLimit = 500;
constexpr size_t kLabelContext = 200;  // characters of the line a label shows around its match

// A line of a tab: 0-based number and its byte span without the line end.
struct TabLine {
    long long number = 0, start = 0, end = 0;
};
// One open tab as the text list reads it: its bytes from the start (the search stops at
// `searchEnd`; lines may be read further, up to the end of `text`), the editor's lines, and its
// search: the first match of the UTF-8 query in [from, to) and its end, or a negative value.
struct TabText {
    std::wstring title;
    int index = 0;
    std::string_view text;
    long long searchEnd = 0;
    std::function<TabLine(long long position)> lineAt;
    std::function<long long(const std::string& query, long long from, long long to, long long& matchEnd)> find;
};
// An entry per match of `query` as the tab's own search finds it, "title:line: text" with the
// line's text cut to about kLabelContext characters around the match; at most kTextListLimit
// entries. An information row asks for a keyword (empty query) or says nothing was found.
std::vector<QuickItem> TextListItems(const std::vector<TabText>& tabs, const std::wstring& query);
// The first position at or after `from` where `folded` (lower-case ASCII letters) occurs in `text`
// with letters A to Z compared without case; npos when nowhere.
size_t FindFolded(std::string_view text, size_t from, std::string_view folded);
// Letters A to Z of UTF-8 text become a to z.
std::string LowerAsciiBytes(std::string text);
// The part of a line a label shows: about kLabelContext characters around [column, column +
// length), with "…" where it was cut; CR and LF become spaces.
std::wstring LabelExcerpt(const std::wstring& line, size_t column, size_t length);

// ---- drawing the list ----------------------------------------------------------------------------

// The letters of a label that the typed query matched, as spans of [start, start + length): the
// first place the whole query stands in the label (letters compared without case), or else each
// letter of the query where an in-order match finds it; none when the label does not match.
struct MatchSpan {
    size_t start = 0, length = 0;
};
std::vector<MatchSpan> MatchSpans(const std::wstring& label, const std::wstring& query);
// The query a mode's rows were matched against: goto anything's "@" and "#" are not part of it,
// and ":" rows match nothing.
std::wstring HighlightQuery(int mode, const std::wstring& query);
// The list's height for the room it has: whole rows only.
inline int WholeRowsHeight(int room, int rowHeight) { return rowHeight > 0 ? room / rowHeight * rowHeight : room; }

// ---- picking ------------------------------------------------------------------------------------

// A decimal line number: leading blanks, an optional sign, then digits up to the first other
// character. Numbers too large for the type saturate; no digits give 0.
long long ParseLineNumber(std::wstring_view text);

struct QuickPick {
    enum Kind { Nothing, RunCommand, GotoLine, ActivateTab, OpenFile, FindWord } kind = Nothing;
    int command = 0;     // RunCommand
    long long line = 0;  // the line to move to afterwards (GotoLine, ActivateTab, OpenFile); < 1: none
    int tab = -1;        // ActivateTab
    std::wstring text;   // OpenFile: the path; FindWord: the lower-cased word
};
// What picking does (Enter, or a double click when `byEnter` is false) with the selected entry
// (nullptr: none) and the typed query, in a mode other than goto line.
QuickPick DecidePick(int mode, const QuickItem* selected, const std::wstring& query, bool byEnter, int tabCount);
// The editor line (0-based) for a typed line number, or -1 when the number does nothing; a number
// beyond the end goes to the last line.
long long TargetLine(long long typed, long long lineCount);
