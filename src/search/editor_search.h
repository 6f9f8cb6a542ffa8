#pragma once
// Searching and replacing inside one editing-component window with the component's own search
// (plain text, or its regular expressions with kFindRegex). Queries are UTF-8; positions are the
// component's byte positions, 64-bit like its own.
#include <windows.h>

#include <string>
#include <vector>

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
// `hits` holds kMaxHits. After a line's hit the search goes on at the next line.
void CollectEditorHits(HWND editor, const std::string& query, int flags, long long limit, const HitSource& source,
                       std::vector<SearchHit>& hits);

// Selects the next match after the caret, or the previous one before the selection start, wrapping
// around the document's ends. False (and nothing changes) when there is none.
bool FindInEditor(HWND editor, const std::string& query, int flags, bool forward);

// Replaces the selection when it is exactly a non-empty match, then finds the next match.
// `replacement` is already in the component's form (ConvertReplacement for expressions).
void ReplaceCurrentInEditor(HWND editor, const std::string& query, const std::string& replacement, int flags);

// Replaces every non-empty match as one undo step; returns the number of replacements.
long long ReplaceAllInEditor(HWND editor, const std::string& query, const std::string& replacement, int flags);
