// The search's pure parts (grouping, rows, copy text, replacement form, scroll arithmetic), line
// matching on PCRE2 with its limits, and the folder walk. The search of open tabs, in a real
// editing-component window, is in regex_search_test.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "base/encoding.h"
#include "base/geometry.h"
#include "search/find_in_files.h"
#include "search/regex_search.h"
#include "search/search_model.h"
#include "search/text_match.h"
#include "base/strings.h"
#include "support/scratch.h"

namespace {

SearchHit Hit(const std::wstring& path, const std::wstring& title, int doc, int line, const std::wstring& text) {
    SearchHit h;
    h.path = path;
    h.title = title;
    h.docIndex = doc;
    h.line = line;
    h.lineText = text;
    return h;
}

TEST(SearchModel, GroupsRowsAndCopyText) {
    const std::vector<SearchHit> hits = {
        Hit(L"C:\\a.txt", L"a.txt", 0, 1, L"one"), Hit(L"C:\\a.txt", L"a.txt", 0, 4, L"two"),
        Hit(L"", L"Untitled-1", 1, 2, L"three"), Hit(L"C:\\d\\b.txt", L"b.txt", -1, 9, L"four")};
    // b.txt was folded before this search: it stays folded; labels that are new start open.
    const std::vector<HitGroup> previous = {HitGroup{L"b.txt", 0, 5, 1}, HitGroup{L"a.txt", 5, 1, 0}};
    const std::vector<HitGroup> groups = GroupHits(hits, previous);
    ASSERT_EQ(3u, groups.size());
    EXPECT_EQ(L"a.txt", groups[0].label);
    EXPECT_EQ(2, groups[0].count);
    EXPECT_EQ(L"Untitled-1", groups[1].label);
    EXPECT_EQ(1u, groups[2].collapsed);

    const std::vector<ResultRow> rows = BuildResultRows(hits, groups);
    // summary, a.txt header + 2 hits, Untitled header + 1 hit, b.txt header (folded)
    ASSERT_EQ(7u, rows.size());
    EXPECT_EQ(kRowSummary, rows[0].kind);
    EXPECT_EQ(kRowHeader, rows[6].kind);
    EXPECT_TRUE(BuildResultRows({}, {}).empty());
    // A search that found nothing still says so in its summary row.
    ASSERT_EQ(1u, BuildResultRows({}, {}, true).size());
    EXPECT_EQ(kRowSummary, BuildResultRows({}, {}, true)[0].kind);

    // Without a selection every hit is copied, folded ones too; an untitled hit shows its title.
    EXPECT_EQ(L"C:\\a.txt:1: one\r\nC:\\a.txt:4: two\r\nUntitled-1:2: three\r\nC:\\d\\b.txt:9: four\r\n",
              ResultsCopyText(hits, rows, -1, -1));
    // A selection over a header copies only the hit rows in it, whichever end is the anchor.
    EXPECT_EQ(L"C:\\a.txt:4: two\r\nUntitled-1:2: three\r\n", ResultsCopyText(hits, rows, 5, 3));
    EXPECT_EQ(L"", ResultsCopyText({}, {}, -1, -1));
}

TEST(SearchModel, ReplacementFormAndHighlight) {
    EXPECT_EQ(L"\\1-\\2", ConvertReplacement(L"$1-$2"));
    EXPECT_EQ(L"$a $ x$", ConvertReplacement(L"$a $ x$"));
    // A stored match length that runs past the line highlights to the end of the line.
    const HighlightSpan past = HitHighlight(L"abcdef\r\n", 4, 10);
    EXPECT_EQ(6, past.length);
    EXPECT_EQ(4, past.start);
    EXPECT_EQ(2, past.count);
    const HighlightSpan outside = HitHighlight(L"abc", 9, -1);
    EXPECT_EQ(3, outside.start);
    EXPECT_EQ(0, outside.count);
}

// Random lists and panel sizes at 96, 144 and 192 dpi, small enough at times for nothing to fit,
// against what the list must do without ever dividing by zero: each scroll stays between the start
// and the end of the content; a point hits the row drawn under it; showing a row brings it whole into
// view; a thumb shows only while the content does not fit, runs from the start to the end of its
// track with the scroll, and dragged by its middle to where it is drawn gives back its scroll.
TEST(SearchModel, ScrollRowsAndThumbsFollowTheList) {
    std::mt19937 rng(15);
    for (int round = 0; round < 3000; ++round) {
        const int dpi = 96 + 48 * (round % 3), row = Scale(kResultRowHeight, dpi), inset = Scale(8, dpi);
        const int rows = static_cast<int>(rng() % (round % 5 ? 200 : 100000));
        const int height = round % 7 ? static_cast<int>(rng() % Scale(600, dpi)) : std::min(rows * row, 5000);
        const int width96 = static_cast<int>(rng() % 700), text96 = static_cast<int>(rng() % 3000);
        const int width = Scale(width96, dpi), text = Scale(text96, dpi);
        SCOPED_TRACE(testing::Message() << rows << " rows in " << width << "x" << height << " at " << dpi);
        const long long rangeY = std::max(0LL, 1LL * rows * row - height);
        const int scrollY =
            ClampResultScrollY(static_cast<int>(rng() % (rangeY + 2000) % INT_MAX) - 1000, rows, height, dpi);
        ASSERT_TRUE(scrollY >= 0 && scrollY <= rangeY);
        EXPECT_EQ(rangeY, ClampResultScrollY(INT_MAX, rows, height, dpi));
        for (int y = 0; y < height; y += 1 + static_cast<int>(rng() % 9)) {
            const int at = ResultRowAt(y, scrollY, rows, dpi);
            if (at >= 0) ASSERT_TRUE(at < rows && at * row - scrollY <= y && y < (at + 1) * row - scrollY) << y;
            else ASSERT_GE(y, rows * row - scrollY) << y;
        }
        if (rows && height >= row) {
            // Half the time the row that the bottom edge cuts, or the one below it.
            const int edge = (scrollY + height) / row + static_cast<int>(rng() % 2);
            const int shown = std::min(rows - 1, rng() % 2 ? edge : static_cast<int>(rng() % rows));
            const int s = ScrollToShowRow(shown, scrollY, height, dpi);
            EXPECT_TRUE(shown * row - s >= 0 && (shown + 1) * row - s <= height) << shown;
        }
        const Thumb v = VerticalThumb(rows, height, scrollY, dpi);
        ASSERT_EQ(rangeY > 0 && height > 0, v.shown);
        const int travel = height - 2 * inset - v.length;
        if (v.shown && travel > 0) {
            EXPECT_GE(v.length, Scale(20, dpi));
            EXPECT_EQ(inset, VerticalThumb(rows, height, 0, dpi).start);
            EXPECT_LE(std::abs(VerticalThumb(rows, height, static_cast<int>(rangeY), dpi).start - (inset + travel)), 1);
            const int back = ScrollYForThumbDrag(v.start + v.length / 2, rows, height, dpi);
            EXPECT_LE(std::abs(VerticalThumb(rows, height, back, dpi).start - v.start), 1) << back;
        } else {
            EXPECT_EQ(0, ScrollYForThumbDrag(height / 2, rows, height, dpi));
        }
        const int rangeX = ClampResultScrollX(INT_MAX, text, width, dpi);
        const int scrollX = ClampResultScrollX(static_cast<int>(rng() % 5000) - 100, text, width, dpi);
        ASSERT_TRUE(rangeX >= 0 && scrollX >= 0 && scrollX <= rangeX);
        EXPECT_LE(std::abs(rangeX - Scale(ClampResultScrollX(INT_MAX, text96, width96, 96), dpi)), 2);
        const Thumb h = HorizontalThumb(text, width, scrollX, dpi);
        ASSERT_EQ(rangeX > 0, h.shown);
        if (h.shown && width - Scale(16, dpi) - h.length > 0) {
            EXPECT_EQ(Scale(2, dpi), HorizontalThumb(text, width, 0, dpi).start);
            const Thumb end = HorizontalThumb(text, width, rangeX, dpi);
            EXPECT_LE(std::abs(end.start + end.length - (width - Scale(14, dpi))), 1);
            const int back = ScrollXForThumbDrag(h.start + h.length / 2, text, width, dpi);
            EXPECT_LE(std::abs(HorizontalThumb(text, width, back, dpi).start - h.start), 1) << back;
        }
    }
    EXPECT_EQ(240, PanelWidthForDrag(700, 220, 650));
    EXPECT_EQ(260, PanelWidthForDrag(700, 220, 300));
    EXPECT_EQ(500, PanelWidthForDrag(1100, 0, 600));
}

// What a hit shows: line, column, match length and line text.
std::vector<std::tuple<int, int, int, std::wstring>> Shown(const std::vector<SearchHit>& hits) {
    std::vector<std::tuple<int, int, int, std::wstring>> shown;
    for (const SearchHit& h : hits) shown.emplace_back(h.line, h.column, h.matchLength, h.lineText);
    return shown;
}

LineMatch Match(const std::wstring& line, const std::wstring& query, int flags) {
    LineMatcher m;
    PrepareLineMatcher(m, query, flags);
    return MatchLine(line, m);
}

TEST(LineMatching, PlainWholeWordAndRegex) {
    LineMatch m = Match(L"Alpha BETA beta", L"beta", 0);
    EXPECT_TRUE(m.found);
    EXPECT_EQ(6, m.column);
    EXPECT_EQ(11, Match(L"Alpha BETA beta", L"beta", kFindMatchCase).column);
    // Without case only A-Z fold in plain mode.
    EXPECT_FALSE(Match(L"\u00C9t\u00E9", L"\u00E9t\u00E9", 0).found);
    // Whole word: "cat" in "concat" and "cat_" are rejected, the free one is found.
    m = Match(L"concat cat_ (cat)", L"cat", kFindWholeWord);
    EXPECT_EQ(13, m.column);
    EXPECT_FALSE(Match(L"concatenate", L"cat", kFindWholeWord).found);

    m = Match(L"x = foo123 + Foo9", L"foo\\d+", kFindRegex | kFindMatchCase);
    EXPECT_EQ(4, m.column);
    EXPECT_EQ(6, m.length);
    EXPECT_TRUE(Match(L"\u0416\u0443\u043A", L"\u0436\u0423", kFindRegex).found);  // Unicode case folding
    EXPECT_EQ(5, Match(L"xab1 ab!", L"ab", kFindRegex | kFindWholeWord).column);
    EXPECT_TRUE(Match(L"\u00E9", L"\\u00e9", kFindRegex).found);  // ECMAScript \u escape
    // The first match is empty: the line has no hit, the expression does not loop.
    EXPECT_FALSE(Match(L"banana", L"a*", kFindRegex).found);
    EXPECT_TRUE(Match(L"aab", L"a*", kFindRegex).found);
    // Invalid expressions and empty queries never match.
    LineMatcher invalid;
    PrepareLineMatcher(invalid, L"(", kFindRegex);
    EXPECT_FALSE(invalid.usable);
    EXPECT_FALSE(Match(L"(", L"(", kFindRegex).found);
    EXPECT_FALSE(Match(L"text", L"", 0).found);
    // A lone surrogate neither crashes nor blocks the rest of the line.
    EXPECT_TRUE(Match(std::wstring(L"a\xD800") + L"b", L"b", kFindRegex).found);
}

TEST(LineMatching, LimitsEndRunawayExpressionsWithNoMatch) {
    // Two megabytes of one line: exponential or deeply recursive expressions stop at a limit and
    // count as no match; an ordinary one still works on the same line.
    std::wstring line;
    for (int i = 0; i < 1024 * 1024; ++i) line += i % 2 ? L'c' : L'a';
    line += L'b';
    EXPECT_FALSE(Match(line, L"(a|c)*b", kFindRegex).found);
    EXPECT_FALSE(Match(line, L"(a|c)*+d|((a|c)*)*z", kFindRegex).found);
    std::wstring xs(2 * 1024 * 1024 - 2, L'x');
    xs += L"xz";
    EXPECT_FALSE(Match(xs, L"(x+x+)+y", kFindRegex).found);
    const LineMatch all = Match(xs, L".*", kFindRegex);
    EXPECT_TRUE(all.found);
    EXPECT_EQ(static_cast<int>(xs.size()), all.length);
    EXPECT_TRUE(Match(line, L"cb$", kFindRegex).found);
}

std::vector<SearchHit> SearchText(std::wstring text, const std::wstring& query, int flags) {
    LineMatcher m;
    PrepareLineMatcher(m, query, flags);
    std::vector<SearchHit> hits;
    SearchTextLines(text, m, L"C:\\f.txt", L"f.txt", hits);
    return hits;
}

TEST(LineMatching, LinesOfDecodedText) {
    // CR LF, a lone CR inside a line, and no final line end; one hit per line. Plain text ends
    // lines at LF only; expressions see the lines of a tab, where a lone CR ends one too.
    const std::wstring text = L"key one key\r\nnone\r\nkey\rstill line 3\nlast key";
    for (int flags : {0, kFindRegex}) {
        const std::vector<SearchHit> hits = SearchText(text, L"key", flags);
        ASSERT_EQ(3u, hits.size()) << flags;
        EXPECT_EQ(1, hits[0].line);
        EXPECT_EQ(L"key one key", hits[0].lineText);
        EXPECT_EQ(3, hits[1].line);
        EXPECT_EQ(flags ? L"key" : L"key\rstill line 3", hits[1].lineText);
        EXPECT_EQ(flags ? 5 : 4, hits[2].line);
        EXPECT_EQ(5, hits[2].column);
        EXPECT_EQ(-1, hits[2].docIndex);
        EXPECT_EQ(-1, hits[2].matchStart);
    }
    // A trailing CR is not part of the line, for plain text and expressions alike.
    EXPECT_TRUE(SearchText(L"ab\r\n", L"b\r", 0).empty());
    EXPECT_TRUE(SearchText(L"ab\r\n", L"b$", kFindRegex).size() == 1);
    EXPECT_TRUE(SearchText(L"a\nb", L"a\nb", 0).empty());
    // Whole word across candidates of one long line.
    EXPECT_EQ(1u, SearchText(std::wstring(100000, L'a') + L" a", L"a", kFindWholeWord).size());
    // The hit list stops at its limit.
    std::wstring many;
    for (int i = 0; i < 12000; ++i) many += L"hit\n";
    EXPECT_EQ(kMaxHits, SearchText(many, L"HIT", 0).size());
    EXPECT_EQ(kMaxHits, SearchText(many, L"h.t", kFindRegex).size());
}

TEST(LineMatching, Utf8BytesFindWhatTheDecodedTextFinds) {
    // Letters beyond ASCII, a Kelvin sign and a long s (which fold to k and s in expressions), a
    // character beyond U+FFFF, CR LF, a lone CR and no final line end.
    const std::wstring text =
        L"Stra\u00DFe key\r\n\u212Aey and \u017Fun\r\nSUN\rsun\nk\u00E9y_key key\n\u00E9t\u00E9 \U0001F600 key";
    const std::pair<const wchar_t*, int> queries[] = {
        {L"key", 0}, {L"KEY", kFindMatchCase}, {L"key", kFindWholeWord}, {L"\u00C9T\u00C9", 0}, {L"\u00E9t", 0},
        {L"y\r", 0}, {L"\U0001F600", 0}, {L"k", kFindRegex}, {L"s\\w+", kFindRegex}, {L"sun\\b", kFindRegex},
        {L"\u00E9\\w", kFindRegex | kFindMatchCase}, {L"key$", kFindRegex}};
    for (const bool mark : {false, true}) {
        const std::string bytes = (mark ? "\xEF\xBB\xBF" : "") + WideToUtf8(text);
        for (const auto& [query, flags] : queries) {
            const std::vector<SearchHit> decoded = SearchText(text, query, flags);
            LineMatcher m;
            PrepareLineMatcher(m, query, flags);
            std::vector<SearchHit> hits;
            ASSERT_TRUE(SearchUtf8Lines(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), m, L"C:\\f.txt",
                                        L"f.txt", hits));
            EXPECT_EQ(Shown(decoded), Shown(hits)) << query;
        }
    }
    // Bytes that are not UTF-8 are left to the decoder, for plain text and expressions alike.
    LineMatcher m, any;
    PrepareLineMatcher(m, L"key", 0);
    PrepareLineMatcher(any, L".", kFindRegex);
    std::vector<SearchHit> hits;
    EXPECT_FALSE(SearchUtf8Lines(reinterpret_cast<const uint8_t*>("k\xE9y"), 3, m, L"", L"", hits));
    EXPECT_FALSE(SearchUtf8Lines(reinterpret_cast<const uint8_t*>("k\xE9y"), 3, any, L"", L"", hits));
    EXPECT_TRUE(hits.empty());
}

// ---- folder walk ----------------------------------------------------------------------------

class FolderSearch : public ::testing::Test {
protected:
    ScratchFolder scratch{L"tessary-search"};
    const std::wstring root = scratch.path;
};

TEST_F(FolderSearch, WalkRulesAndBudgets) {
    scratch.MakeDir(L".git");
    scratch.MakeDir(L"sub");
    scratch.Write(L".git\\config", "needle in a dot folder\n");
    scratch.Write(L".hidden.txt", "a needle in a dot file\n");
    scratch.Write(L"sub\\utf16.txt", std::string("\xFF\xFE", 2) + std::string("n\0e\0e\0d\0l\0e\0\r\0\n\0", 16));
    scratch.Write(L"open.txt", "needle on disk, but the tab is searched instead\n");
    scratch.Write(L"big.txt", std::string(3 * 1024 * 1024, 'x') + "needle\n");
    LineMatcher m;
    PrepareLineMatcher(m, L"NEEDLE", 0);
    std::vector<SearchHit> hits;
    const FolderSearchStats stats = SearchFolder(root, m, {root + L"\\open.txt"}, hits);
    ASSERT_EQ(2u, hits.size());
    for (const SearchHit& h : hits) EXPECT_TRUE(h.title == L".hidden.txt" || h.title == L"utf16.txt") << h.title;
    EXPECT_EQ(4u, stats.filesSeen);  // the 3 MiB file is counted, not searched
    EXPECT_GE(stats.bytesSeen, 3u * 1024 * 1024);
    EXPECT_EQ(2u, stats.filesSearched);

    // The file budget holds within one directory: enumeration stops after the entry that reached it.
    for (int i = 0; i < 6; ++i) scratch.Write(L"sub\\f" + std::to_wstring(i) + L".txt", "needle\n");
    FolderSearchLimits limits;
    limits.maxFiles = 3;
    hits.clear();
    EXPECT_EQ(3u, SearchFolder(root, m, {}, hits, limits).filesSeen);
    limits = FolderSearchLimits{};
    limits.maxBytes = 1;
    hits.clear();
    EXPECT_EQ(1u, SearchFolder(root, m, {}, hits, limits).filesSeen);

    // A root that is gone, and an invalid expression, give nothing.
    hits.clear();
    EXPECT_EQ(0u, SearchFolder(root + L"\\missing", m, {}, hits).filesSeen);
    LineMatcher invalid;
    PrepareLineMatcher(invalid, L"(", kFindRegex);
    EXPECT_EQ(0u, SearchFolder(root, invalid, {}, hits).filesSeen);
    EXPECT_TRUE(hits.empty());
}

TEST_F(FolderSearch, FoldersThatVanishDuringTheWalk) {
    scratch.Write(L"keep.txt", "needle\n");
    for (const wchar_t* dir : {L"one", L"two", L"three"}) {
        scratch.MakeDir(dir);
        for (const wchar_t* file : {L"\\a.txt", L"\\b.txt"}) scratch.Write(std::wstring(dir) + file, "needle\n");
    }
    // The walk is depth first: the folder listed last is walked first, the one before it next.
    std::vector<std::wstring> order;
    WIN32_FIND_DATAW e;
    HANDLE f = FindFirstFileW((root + L"\\*").c_str(), &e);
    do {
        if ((e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && e.cFileName[0] != L'.') order.push_back(e.cFileName);
    } while (FindNextFileW(f, &e));
    FindClose(f);
    ASSERT_EQ(3u, order.size());
    const std::wstring listed = order[2], waiting = order[1], left = order[0];
    // At the first file below the root, the folder being listed and the one waiting its turn are
    // deleted; the walk carries on with what is left.
    std::vector<std::wstring> visited;
    const FolderSearchStats stats = WalkFolderFiles(root, {}, [&](const FolderFile& file) {
        visited.push_back(file.path);
        if (visited.size() == 2) {
            EXPECT_EQ(0u, file.path.find(root + L"\\" + listed + L"\\"));
            ScratchFolder::RemoveTree(root + L"\\" + listed);
            ScratchFolder::RemoveTree(root + L"\\" + waiting);
        }
        return true;
    });
    auto seen = [&](const std::wstring& rel) {
        return std::count(visited.begin(), visited.end(), root + L"\\" + rel) == 1;
    };
    EXPECT_TRUE(seen(L"keep.txt"));
    EXPECT_TRUE(seen(left + L"\\a.txt") && seen(left + L"\\b.txt")) << left;
    EXPECT_FALSE(seen(waiting + L"\\a.txt") || seen(waiting + L"\\b.txt")) << waiting;
    EXPECT_EQ(visited.size(), stats.filesSeen);
    // A file listed but gone when it is read is passed over; the hits so far stay.
    LineMatcher m;
    PrepareLineMatcher(m, L"needle", 0);
    std::vector<SearchHit> hits;
    std::vector<uint8_t> buffer;
    EXPECT_TRUE(SearchFile(root + L"\\keep.txt", 1024, m, hits, buffer));
    EXPECT_FALSE(SearchFile(root + L"\\" + listed + L"\\a.txt", 1024, m, hits, buffer));
    EXPECT_EQ(1u, hits.size());
    EXPECT_EQ(3u, SearchFolder(root, m, {}, hits).filesSearched);
    EXPECT_EQ(4u, hits.size());
}

}  // namespace

TEST(SearchSummary, CountsNoMatchesAndPatternErrorsInEveryLanguage) {
    const int english = kEnglishLanguage, russian = 15;
    auto counts = [](size_t hits, size_t files, bool stopped = false) {
        SearchOutcome o;
        o.hits = hits;
        o.files = files;
        o.stopped = stopped;
        return o;
    };
    EXPECT_EQ(L"1 match in 1 file", SearchSummaryText(english, counts(1, 1)));
    EXPECT_EQ(L"2 matches in 2 files", SearchSummaryText(english, counts(2, 2)));
    EXPECT_EQ(L"21 совпадение в 2 файлах", SearchSummaryText(russian, counts(21, 2)));
    EXPECT_EQ(L"5 совпадений в 1 файле", SearchSummaryText(russian, counts(5, 1)));
    EXPECT_EQ(L"No matches", SearchSummaryText(english, counts(0, 0)));
    EXPECT_EQ(L"No matches \u2014 search stopped: the pattern is too costly",
              SearchSummaryText(english, counts(0, 0, true)));

    // Every language: both numbers are shown, nothing of the template is left, and no count reads
    // as "No matches".
    for (int language = 0; language < kInterfaceLanguageCount; ++language) {
        const std::wstring none = SearchSummaryText(language, counts(0, 0));
        EXPECT_FALSE(none.empty()) << language;
        for (size_t hits : {1, 2, 3, 5, 11, 21, 22, 104, 10000}) {
            for (size_t files : {1, 2, 5, 12, 21}) {
                if (files > hits) continue;
                const std::wstring text = SearchSummaryText(language, counts(hits, files));
                EXPECT_EQ(std::wstring::npos, text.find(L'%')) << language << ": " << hits << "/" << files;
                EXPECT_NE(std::wstring::npos, text.find(std::to_wstring(hits))) << language << ": " << hits;
                EXPECT_NE(std::wstring::npos, text.find(std::to_wstring(files))) << language << ": " << files;
                EXPECT_NE(none, text) << language;
            }
        }
    }
}

TEST(SearchSummary, PatternErrorsSayWhatAndWhere) {
    const RegexError open = DescribeRegexError("a(b", kFindRegex);
    EXPECT_FALSE(open.valid);
    EXPECT_EQ(3, open.position);
    EXPECT_NE(std::wstring::npos, open.message.find(L"missing closing parenthesis")) << open.message;
    // Positions count the characters of the query, not its UTF-8 bytes.
    const RegexError klass = DescribeRegexError("\xC3\xA9\xC3\xA9)x", kFindRegex);
    EXPECT_FALSE(klass.valid);
    EXPECT_EQ(2, klass.position);
    const RegexError order = DescribeRegexError("x{3,1}", kFindRegex);
    EXPECT_FALSE(order.valid);
    EXPECT_NE(std::wstring::npos, order.message.find(L"out of order")) << order.message;
    // Word anchors and ordinary expressions are valid.
    EXPECT_TRUE(DescribeRegexError("\\<word\\>", kFindRegex | kFindMatchCase).valid);
    EXPECT_TRUE(DescribeRegexError("", kFindRegex).valid);
    EXPECT_TRUE(DescribeRegexError("(a|b)+[0-9]{2}", kFindRegex).valid);

    SearchOutcome o;
    o.invalidPattern = true;
    o.errorPosition = open.position;
    o.errorMessage = open.message;
    EXPECT_EQ(L"Error in the expression at position 3: missing closing parenthesis",
              SearchSummaryText(kEnglishLanguage, o));
}

TEST(SearchSummary, EditsAreSearchedAgainAfterAPauseThatGrowsWithTheFile) {
    unsigned previous = 0;
    for (long long bytes : {0ll, 1000ll, 1ll << 20, 8ll << 20, 100ll << 20, 4ll << 30}) {
        const unsigned delay = SearchRefreshDelayMs(bytes);
        EXPECT_GE(delay, 250u) << bytes;
        EXPECT_LE(delay, 3000u) << bytes;
        EXPECT_GE(delay, previous) << bytes;
        previous = delay;
    }
    EXPECT_GT(SearchRefreshDelayMs(100ll << 20), SearchRefreshDelayMs(1000));
}
