// The line-length tally against a plain text: whatever edits come (typing, deleting, lines split
// and joined, "\r" and "\n" meeting or parting, undo), the tally's longest line is the longest line
// measured afresh.
#include "document/line_lengths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// Line starts with the component's rules: "\r\n", "\r" and "\n" each end a line.
std::vector<long long> LineStarts(const std::string& text) {
    std::vector<long long> starts{0};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\r' || text[i] == '\n') starts.push_back(static_cast<long long>(i) + 1);
    }
    return starts;
}

struct Model {
    std::string text;

    // Reads the text as it is now; a new reader is taken after each change.
    LineReader Reader() const {
        const std::vector<long long> starts = LineStarts(text);
        const long long size = static_cast<long long>(text.size());
        return LineReader{[starts, size](long long position) {
                              position = std::clamp<long long>(position, 0, size);
                              return static_cast<long long>(std::upper_bound(starts.begin(), starts.end(), position) -
                                                            starts.begin()) -
                                     1;
                          },
                          [starts, size](long long line) {
                              const size_t i = static_cast<size_t>(line);
                              return (i + 1 < starts.size() ? starts[i + 1] : size) - starts[i];
                          }};
    }
    long long LineCount() const { return static_cast<long long>(LineStarts(text).size()); }
    long long Longest() const {
        long long longest = 0;
        const LineReader reader = Reader();
        const long long lines = LineCount();
        for (long long line = 0; line < lines; ++line) longest = std::max(longest, reader.lengthOf(line));
        return longest;
    }
};

struct Edit {
    bool insert;
    long long at;
    std::string bytes;
};

// Applies one edit to the model the way the component reports it to the program.
void Apply(Model& m, LineLengthTally& tally, const Edit& e, long long maxLines) {
    const long long n = static_cast<long long>(e.bytes.size());
    if (e.insert) {
        TallyTakeOut(tally, m.Reader(), e.at, e.at, maxLines);
        m.text.insert(static_cast<size_t>(e.at), e.bytes);
        TallyPutIn(tally, m.Reader(), e.at, e.at + n, maxLines);
    } else {
        TallyTakeOut(tally, m.Reader(), e.at, e.at + n, maxLines);
        m.text.erase(static_cast<size_t>(e.at), static_cast<size_t>(n));
        TallyPutIn(tally, m.Reader(), e.at, e.at, maxLines);
    }
}

std::string RandomBytes(std::mt19937& rng, size_t count) {
    // Few letters and many line ends, so that lines split, join and pair up often.
    static const char kAlphabet[] = {'a', 'b', ' ', '\t', '\r', '\n', '\r', '\n', 'x'};
    std::string s;
    for (size_t i = 0; i < count; ++i) s += kAlphabet[rng() % sizeof kAlphabet];
    return s;
}

void RunRandomEdits(unsigned seed, long long maxLines) {
    std::mt19937 rng(seed);
    Model m{RandomBytes(rng, 40 + rng() % 200)};
    LineLengthTally tally;
    TallyRebuild(tally, m.Reader(), m.LineCount());
    std::vector<Edit> undo;
    for (int step = 0; step < 400; ++step) {
        const long long size = static_cast<long long>(m.text.size());
        Edit e{};
        const unsigned kind = rng() % 10;
        if (kind == 0 && !undo.empty()) {
            // Undo: the inverse of the last edit.
            e = undo.back();
            undo.pop_back();
            Apply(m, tally, e, maxLines);
        } else {
            if (kind <= 4 || size == 0) {
                e = {true, static_cast<long long>(rng() % (size + 1)), RandomBytes(rng, 1 + rng() % (kind == 1 ? 30 : 3))};
                if (kind == 2) e.bytes = "\r\n";  // a line split, as Enter makes it
            } else {
                const long long at = static_cast<long long>(rng() % size);
                const long long length = std::min<long long>(size - at, 1 + rng() % (kind == 5 ? 40 : 3));
                e = {false, at, m.text.substr(static_cast<size_t>(at), static_cast<size_t>(length))};
            }
            Apply(m, tally, e, maxLines);
            undo.push_back(Edit{!e.insert, e.at, e.bytes});
        }
        // An edit over too many lines leaves the tally to be measured again, as the next paint does.
        if (!tally.Valid()) TallyRebuild(tally, m.Reader(), m.LineCount());
        ASSERT_EQ(m.Longest(), tally.Longest()) << "seed " << seed << ", step " << step;
        ASSERT_EQ(m.LineCount(), tally.LineTotal()) << "seed " << seed << ", step " << step;
    }
}

TEST(LineLengthTally, RandomEditsKeepTheLongestLine) {
    for (unsigned seed = 1; seed <= 40; ++seed) RunRandomEdits(seed, 1000000);
}

TEST(LineLengthTally, EditsOverTooManyLinesAreMeasuredAgain) {
    for (unsigned seed = 100; seed <= 120; ++seed) RunRandomEdits(seed, 3);
}

TEST(LineLengthTally, ShrinkingTheOnlyLongestLineFindsTheNextOne) {
    Model m{"short\r\n" + std::string(50, 'w') + "\r\nmiddle line\r\n"};
    LineLengthTally tally;
    TallyRebuild(tally, m.Reader(), m.LineCount());
    ASSERT_EQ(52, tally.Longest());
    Apply(m, tally, Edit{false, 7, std::string(50, 'w')}, 100);
    EXPECT_EQ(13, tally.Longest());
    Apply(m, tally, Edit{false, 0, m.text}, 100);
    EXPECT_EQ(0, tally.Longest());
}

TEST(LineLengthTally, AnUnknownLineInvalidatesInsteadOfGoingWrong) {
    LineLengthTally tally;
    tally.Reset();
    tally.Add(5);
    tally.Remove(7);
    EXPECT_FALSE(tally.Valid());
    EXPECT_EQ(0, tally.Longest());
    tally.Add(9);  // ignored until measured again
    EXPECT_EQ(0, tally.Longest());
}

}  // namespace
