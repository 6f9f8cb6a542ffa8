#pragma once
// How many lines of a text have each length, so that the longest line stays known while edits
// change a few lines at a time, without looking at the others again.
#include <functional>
#include <map>

class LineLengthTally {
public:
    // Holds nothing until Reset: the text was replaced behind the tally's back.
    void Invalidate() {
        counts_.clear();
        lines_ = 0;
        valid_ = false;
    }
    // Starts over with no lines, to be fed the lengths of all of them. `source` names the text
    // they come from (any value the caller can compare later, such as the address of the buffer).
    void Reset(long long source = 0) {
        counts_.clear();
        lines_ = 0;
        valid_ = true;
        source_ = source;
    }
    bool Valid() const { return valid_; }
    long long Source() const { return source_; }
    void Add(long long length);
    void Remove(long long length);
    long long Longest() const { return counts_.empty() ? 0 : counts_.rbegin()->first; }
    long long LineTotal() const { return lines_; }  // how many lines it holds

private:
    std::map<long long, long long> counts_;  // length -> number of lines of that length
    long long lines_ = 0;
    bool valid_ = false;
    long long source_ = 0;
};

// Reads the text being edited: the line holding a byte offset (clamped to the text), and the
// length of a line in bytes with its line end.
struct LineReader {
    std::function<long long(long long position)> lineOf;
    std::function<long long(long long line)> lengthOf;
};

// An edit of the bytes from `from` to `to` moves lines in and out of the tally: call this with the
// text as it is before the edit (its old range) to take the lines it touches out, and again after
// it (its new range) to put them back in. An insertion at p of n bytes is the range p..p before
// and p..p + n after; a deletion of n bytes at p is p..p + n before and p..p after. The byte before
// `from` counts too, since a line end split in two or joined ("\r" + "\n") changes its line.
// An edit over more than `maxLines` lines invalidates the tally instead (it is cheaper to measure
// again later than to walk them twice); an invalid tally stays as it is.
void TallyTakeOut(LineLengthTally& tally, const LineReader& text, long long from, long long to, long long maxLines);
void TallyPutIn(LineLengthTally& tally, const LineReader& text, long long from, long long to, long long maxLines);

// Measures every line of a text of `lineCount` lines afresh.
void TallyRebuild(LineLengthTally& tally, const LineReader& text, long long lineCount, long long source = 0);
