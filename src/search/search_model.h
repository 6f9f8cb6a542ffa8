#pragma once
// The data of a search and the arithmetic of the results list: hits, their grouping by file, the
// display rows, the copied text, the replacement form the component expects, and the scroll-bar
// geometry. Nothing here touches a window.
#include <cstdint>
#include <string>
#include <vector>

// The component's search flags, also read by the file search.
constexpr int kFindWholeWord = 2;
constexpr int kFindMatchCase = 4;
constexpr int kFindRegex = 0x00200000;

// One search stops collecting at this many hits.
constexpr size_t kMaxHits = 10000;

int SearchFlagWord(bool matchCase, bool wholeWord, bool regex);

struct SearchHit {
    std::wstring path;                         // empty for an untitled tab
    std::wstring title;                        // tab title, or the file name of a file found on disk
    int docIndex = -1;                         // -1 for a file found on disk
    uintptr_t tabKey = 0;                      // the tab's editor window; 0 for a file found on disk
    int line = 0;                              // 1-based
    long long matchStart = -1, matchEnd = -1;  // byte positions in the tab; -1 for a file on disk
    int column = 0;                            // characters from the line start to the match
    int matchLength = 0;                       // characters in the match
    std::wstring lineText;
};

struct HitGroup {
    std::wstring label;
    int first = 0;
    int count = 0;
    uint32_t collapsed = 0;
};

// Runs of consecutive hits with the same tab index and path; a group takes its folded state from
// the first group of `previous` with the same label.
std::vector<HitGroup> GroupHits(const std::vector<SearchHit>& hits, const std::vector<HitGroup>& previous);

enum RowKind : uint32_t { kRowSummary = 0, kRowHeader = 1, kRowHit = 2 };
struct ResultRow {
    uint32_t kind = kRowSummary;
    int group = -1;
    int hit = -1;
};

// A summary row when there are hits or `summary` asks for one (a search ran: its "No matches", a
// pattern error, a stop), then per group a header and (unless folded) its hits.
std::vector<ResultRow> BuildResultRows(const std::vector<SearchHit>& hits, const std::vector<HitGroup>& groups,
                                       bool summary = false);

// The summary row's text in an interface language: the count of matches in the count of files
// (each in its singular or plural form), "No matches" when a search found nothing, or, for an
// expression the engine refused, its message after the position (UTF-16 units before the error);
// the note of a search that ran out of its budget follows.
struct SearchOutcome {
    size_t hits = 0, files = 0;
    bool stopped = false;
    bool invalidPattern = false;
    long long errorPosition = 0;
    std::wstring errorMessage;  // the engine's own words
};
std::wstring SearchSummaryText(int language, const SearchOutcome& outcome);

// "path:line: text" lines (the title for an untitled tab), CR LF after each. All hits when either
// end of the selection is -1, else the hit rows from the lower to the higher end.
std::wstring ResultsCopyText(const std::vector<SearchHit>& hits, const std::vector<ResultRow>& rows, int selAnchor,
                             int selEnd);

// Text pasted into the find or replace box, on one line: each line break (CR LF, LF or CR) becomes
// `lineBreak` (`\R` or `\n` for an expression, a space for plain text).
std::wstring FlattenPastedText(const std::wstring& text, const std::wstring& lineBreak);

// In a regular-expression replacement "$n" becomes the component's "\n"; other dollars stay.
std::wstring ConvertReplacement(const std::wstring& text);

// The line text as a hit row draws it: without trailing CR/LF, split into the part before the
// match, the match and the rest (the match clipped to the line).
struct HighlightSpan {
    int length = 0;  // characters of the line shown
    int start = 0;   // match start
    int count = 0;   // match characters
};
HighlightSpan HitHighlight(const std::wstring& lineText, int column, int matchLength);

// Results-list geometry: rows of 22 pixels, the text starting at x 48, a 70-pixel allowance, in
// design pixels (96 dpi) that the functions below scale to the display's `dpi`.
constexpr int kResultRowHeight = 22;
int ClampResultScrollY(int scrollY, int rowCount, int height, int dpi);
int ClampResultScrollX(int scrollX, int maxTextWidth, int width, int dpi);
struct Thumb {
    bool shown = false;
    int start = 0;   // top (vertical) or left (horizontal)
    int length = 0;  // L
};
Thumb VerticalThumb(int rowCount, int height, int scrollY, int dpi);
Thumb HorizontalThumb(int maxTextWidth, int width, int scrollX, int dpi);
// The scroll offset for a thumb dragged so that the pointer is at its middle.
int ScrollYForThumbDrag(int y, int rowCount, int height, int dpi);
int ScrollXForThumbDrag(int x, int maxTextWidth, int width, int dpi);
// The row under y, or -1.
int ResultRowAt(int y, int scrollY, int rowCount, int dpi);
// Up/Down: the new selected row and the scroll offset that shows it whole.
int ScrollToShowRow(int row, int scrollY, int height, int dpi);

// How long the results of a tab wait after its last edit before they are searched again: a short
// pause for an ordinary file, longer for a large one, whose search costs more.
unsigned SearchRefreshDelayMs(long long documentBytes);

// The search panel's width while its left edge is dragged to x (main-window client coordinates).
int PanelWidthForDrag(int mainWidth, int sidebarWidth, int x);
