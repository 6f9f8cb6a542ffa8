#include "tools/selection_math.h"

namespace {

SelectionChange Select(long long caret, long long anchor, bool firstBecomesMain = false) {
    return {SelectionAction::Select, caret, anchor, firstBecomesMain};
}

}  // namespace

SelectionChange ExpandSelection(const SelectionFacts& f) {
    if (f.start == f.end) return f.wordEnd > f.wordStart ? Select(f.wordStart, f.wordEnd) : SelectionChange{};
    if (f.startLine == f.endLine && (f.start > f.lineStart || f.end < f.lineEnd)) return Select(f.lineStart, f.lineEnd);
    if (f.start <= 0 && f.end >= f.length) return {};
    return {SelectionAction::SelectAll, 0, 0, false};
}

SelectionChange ShrinkSelection(const SelectionFacts& f) {
    if (f.start == f.end) return {SelectionAction::MainOnly, 0, 0, true};
    if (f.startLine != f.endLine) return Select(f.lineStart, f.lineEnd, true);
    const bool isWord = f.start == f.wordStart && f.end == f.wordEnd;
    if (!isWord && f.wordEnd > f.wordStart) return Select(f.wordStart, f.wordEnd, true);
    return Select(f.caret, f.caret, true);
}

long long LastSelectedLine(long long start, long long end, long long endLine, long long endLineStart) {
    return end > start && end == endLineStart && endLine > 0 ? endLine - 1 : endLine;
}

bool SplitAllowed(long long first, long long last) { return last - first + 1 <= kMaxSplitLines; }
