#pragma once
// Selection commands as arithmetic on positions: the handlers read these facts from the editor and
// apply the change that comes back. Positions are the component's byte positions.

struct SelectionFacts {
    long long start = 0, end = 0;          // main selection
    long long caret = 0;                   // main caret
    long long wordStart = 0, wordEnd = 0;  // word around the caret (word characters only)
    long long startLine = 0, endLine = 0;  // lines of start and of end
    long long lineStart = 0, lineEnd = 0;  // first position and end (before its line end) of startLine
    long long length = 0;                  // of the whole text
};

enum class SelectionAction {
    None,       // leave the selection as it is
    Select,     // one selection: caret, anchor
    SelectAll,  // the whole text
    MainOnly,   // only make selection 0 the main one
};

struct SelectionChange {
    SelectionAction action = SelectionAction::None;
    long long caret = 0, anchor = 0;
    bool firstBecomesMain = false;  // afterwards make selection 0 the main one
};

// Word, then line (without its line end), then the whole text.
SelectionChange ExpandSelection(const SelectionFacts& f);
// Lines to their first line, a line part to the word at the caret, a word to a caret.
SelectionChange ShrinkSelection(const SelectionFacts& f);

// The last line a selection counts: one ending at the very start of a line does not count that
// line. `endLineStart` is the first position of the line of `end`.
long long LastSelectedLine(long long start, long long end, long long endLine, long long endLineStart);

// Split into Lines puts a caret on every line from `first` to `last`; above this many lines it is
// refused (the component's cost grows with the square of the count).
constexpr long long kMaxSplitLines = 10000;
bool SplitAllowed(long long first, long long last);
