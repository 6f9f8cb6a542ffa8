#pragma once
// Searching and replacing inside one editing-component window: plain text with the component's
// own search, regular expressions (kFindRegex) with the program's engine over the component's
// bytes in place (regex_search.h), within a budget. Queries are UTF-8; positions are the
// component's byte positions, 64-bit like its own.
#include <windows.h>

#include <string>
#include <vector>

#include "search/regex_search.h"
#include "search/search_model.h"

// The match position in [from, to) (a range whose start lies after its end searches backwards),
// or a negative value; the match end is then the component's target end.
long long SearchEditorRange(HWND editor, const std::string& query, long long from, long long to, int flags);
// The same forwards (from < to), giving the same match and target; a plain search without case
// skips by a byte scan to the places where the component could begin a match.
long long SearchEditorForward(HWND editor, const std::string& query, long long from, long long to, int flags);

// Which tab the hits belong to.
struct HitSource {
    std::wstring path, title;
    int docIndex = -1;
};

// Appends one hit per line holding a match, searching the first `limit` bytes (0: all), until
// `hits` holds kMaxHits or the budget runs out. After a line's hit the search goes on at the next
// line. An expression's hits count columns and lengths in UTF-16 units of the line, as the hits
// of files do.
void CollectEditorHits(HWND editor, const std::string& query, int flags, long long limit, const HitSource& source,
                       std::vector<SearchHit>& hits, SearchBudget& budget);

// Selects the next match after the caret (or after `from` when it is not negative), or the
// previous one before the selection start, wrapping around the document's ends. False (and
// nothing changes) when there is none or the budget (an interactive one when null) ran out.
bool FindInEditor(HWND editor, const std::string& query, int flags, bool forward, SearchBudget* budget = nullptr,
                  long long from = -1);

// Replaces the selection when it is exactly a non-empty match, then finds the next match after
// the inserted text. `replacement` is in the component's form (ConvertReplacement for expressions).
void ReplaceCurrentInEditor(HWND editor, const std::string& query, const std::string& replacement, int flags,
                            SearchBudget* budget = nullptr);

// Replaces every non-empty match of the text as it is as one undo step; returns the number of
// replacements. An expression's matches are all found first, so that nothing inserted is searched
// again and anchors see the original text; when the budget runs out first nothing is replaced.
long long ReplaceAllInEditor(HWND editor, const std::string& query, const std::string& replacement, int flags,
                             SearchBudget* budget = nullptr);
