#include "document/line_lengths.h"

#include <algorithm>

void LineLengthTally::Add(long long length) {
    if (!valid_) return;
    ++counts_[length];
    ++lines_;
}

void LineLengthTally::Remove(long long length) {
    if (!valid_) return;
    const auto it = counts_.find(length);
    if (it == counts_.end()) {
        // A line the tally never saw: it no longer knows the text.
        Invalidate();
        return;
    }
    if (--it->second == 0) counts_.erase(it);
    --lines_;
}

namespace {

template <typename Each>
void ForTouchedLines(LineLengthTally& tally, const LineReader& text, long long from, long long to, long long maxLines,
                     Each each) {
    if (!tally.Valid()) return;
    const long long first = text.lineOf(std::max(0LL, from - 1));
    const long long last = text.lineOf(to);
    if (last - first + 1 > maxLines) {
        tally.Invalidate();
        return;
    }
    for (long long line = first; line <= last; ++line) each(text.lengthOf(line));
}

}  // namespace

void TallyTakeOut(LineLengthTally& tally, const LineReader& text, long long from, long long to, long long maxLines) {
    ForTouchedLines(tally, text, from, to, maxLines, [&](long long length) { tally.Remove(length); });
}

void TallyPutIn(LineLengthTally& tally, const LineReader& text, long long from, long long to, long long maxLines) {
    ForTouchedLines(tally, text, from, to, maxLines, [&](long long length) { tally.Add(length); });
}

void TallyRebuild(LineLengthTally& tally, const LineReader& text, long long lineCount, long long source) {
    tally.Reset(source);
    for (long long line = 0; line < lineCount; ++line) tally.Add(text.lengthOf(line));
}
