// Regular expressions: one engine and one budget for open tabs and files. Generated expressions
// over generated texts find the same hits in a real editing-component window and in the same text
// as a file; Replace All equals applying the original text's matches back to front; Replace goes
// on after what it inserted; runaway expressions stop within the budget of the search. The plain
// search of open tabs shares the editing-component window.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "base/editor.h"
#include "base/encoding.h"
#include "search/editor_search.h"
#include "search/find_in_files.h"
#include "search/quick_open.h"
#include "search/quick_open_model.h"
#include "search/regex_search.h"
#include "search/search_model.h"
#include "search/text_match.h"
#include "support/component.h"
#include "support/mutator.h"

namespace {

struct Gen {
    std::mt19937 rng;
    explicit Gen(unsigned seed) : rng(seed) {}
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    template <size_t N>
    const char* From(const char* const (&items)[N]) {
        return items[Pick(static_cast<int>(N))];
    }
};

// ASCII, accented letters in both cases, CJK, an emoji, CR LF, LF, lone CR, and now and then a
// long line or (when allowed) bytes that are not UTF-8.
std::string RandomText(Gen& g, bool invalidBytes) {
    static const char* const pieces[] = {"a",    "b",  "x",  "ab", "foo", "bar", " ",  "  ", "A",  "B",  "\xC3\xA9",
                                         "\xC3\x89", "\xE4\xB8\xAD\xE6\x96\x87", "\xF0\x9F\x98\x80",
                                         "\r\n", "\n", "\r", "_",  "1",  "(",   ".",   "k",  "\t", "count"};
    static const char* const invalid[] = {"\xFF", "\xC3", "\x80", "\xE4\xB8", "\xED\xA0\x80"};
    std::string text;
    const int n = g.Pick(40);
    for (int i = 0; i < n; ++i) {
        if (invalidBytes && g.Pick(10) == 0)
            text += g.From(invalid);
        else if (g.Pick(80) == 0)
            text += std::string(static_cast<size_t>(500 + g.Pick(3000)), g.Pick(2) ? 'a' : 'x');
        else
            text += g.From(pieces);
    }
    return text;
}

std::string RandomPattern(Gen& g, int depth = 0) {
    static const char* const atoms[] = {"a",     "b",     "x",      "foo",    "\xC3\xA9", "\xE4\xB8\xAD",
                                        "\xF0\x9F\x98\x80", ".", "\\w", "\\d",   "\\s",      "[ab]",
                                        "[^a]",  "\\b",   "^",      "$",      "\\<",      "\\>",
                                        "\\n",   "\\R",   "(?=x)",  "(?!a)",  "(?<=a)",   "\\r",
                                        "A",     "\\x{e9}"};
    static const char* const quantifiers[] = {"", "", "", "*", "+", "?", "{1,2}", "*?", "+?"};
    std::string pattern;
    const int items = 1 + g.Pick(4);
    for (int i = 0; i < items; ++i) {
        std::string item;
        const int kind = depth < 2 ? g.Pick(10) : 0;
        if (kind == 8)
            item = "(" + RandomPattern(g, depth + 1) + ")";
        else if (kind == 9)
            item = "(?:" + RandomPattern(g, depth + 1) + "|" + RandomPattern(g, depth + 1) + ")";
        else
            item = g.From(atoms);
        const bool assertion = item == "^" || item == "$" || item == "\\b" || item == "\\<" || item == "\\>";
        pattern += item + (assertion ? "" : g.From(quantifiers));
    }
    return pattern;
}

// What a hit shows, without where the hit came from.
using Shown = std::tuple<int, int, int, std::wstring>;  // line, column, match length, line text
std::vector<Shown> ShownOf(const std::vector<SearchHit>& hits) {
    std::vector<Shown> shown;
    for (const SearchHit& h : hits) shown.emplace_back(h.line, h.column, h.matchLength, h.lineText);
    return shown;
}

// The file search over bytes, as for a file read from disk.
std::vector<SearchHit> FileHits(const std::string& bytes, const std::string& query, int flags,
                                SearchBudget& budget) {
    LineMatcher matcher;
    PrepareLineMatcher(matcher, Utf8ToWide(query), flags);
    std::vector<SearchHit> hits;
    SearchFileBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), matcher, L"C:\\f.txt", hits,
                    &budget);
    return hits;
}

// The file search's own code path over a byte buffer that need not be UTF-8, with positions.
std::vector<SearchHit> BufferHits(const std::string& text, const std::string& query, int flags,
                                  SearchBudget& budget) {
    RegexPattern pattern;
    CompileRegex(pattern, query, flags);
    LineCursor cursor{text};
    std::vector<SearchHit> hits;
    CollectRegexHits(
        pattern, text, text.size(), [&](long long p) { return cursor.LineOf(p); }, SearchHit{}, true, hits,
        budget);
    return hits;
}

// Matches of the original text applied from the last to the first: what Replace All must give.
std::string ReplacedBackToFront(const std::string& text, const std::string& query, int flags,
                                const std::string& replacement, long long& count) {
    RegexPattern pattern;
    CompileRegex(pattern, query, flags);
    SearchBudget budget;
    std::vector<RegexMatch> matches;
    RegexMatch m;
    for (size_t pos = 0; FindRegex(pattern, text, pos, budget, m); pos = static_cast<size_t>(m.end))
        matches.push_back(m);
    std::string result = text;
    for (auto it = matches.rbegin(); it != matches.rend(); ++it)
        result.replace(static_cast<size_t>(it->start), static_cast<size_t>(it->end - it->start),
                       ExpandReplacement(replacement, text, *it));
    count = static_cast<long long>(matches.size());
    return result;
}

class EditorSearch : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadComponentForTests()); }
    void SetUp() override {
        window = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        editor::Send(window, editor::kSetCodePage, 65001);
    }
    void TearDown() override { DestroyWindow(window); }
    void SetText(const std::string& text) {
        editor::SetText(window, text);
        editor::Send(window, editor::kEmptyUndoBuffer);
    }
    std::vector<SearchHit> TabHits(const std::string& query, int flags, SearchBudget& budget, long long limit = 0) {
        std::vector<SearchHit> hits;
        CollectEditorHits(window, query, flags, limit, HitSource{L"C:\\t.txt", L"t.txt", 3}, hits, budget);
        return hits;
    }
    std::vector<SearchHit> TabHits(const std::string& query, int flags, long long limit = 0) {
        SearchBudget budget;
        return TabHits(query, flags, budget, limit);
    }
    std::pair<long long, long long> Selection() {
        return {editor::Send(window, editor::kGetSelectionStart), editor::Send(window, editor::kGetSelectionEnd)};
    }
    HWND window = nullptr;
};

TEST_F(EditorSearch, TabsAndFilesFindTheSameHits) {
    Gen g(20261207);
    const int flagChoices[] = {kFindRegex, kFindRegex | kFindMatchCase, kFindRegex | kFindWholeWord};
    int compared = 0, withHits = 0;
    for (int t = 0; t < 400; ++t) {
        const bool invalid = t % 4 == 3;
        const std::string text = RandomText(g, invalid);
        SetText(text);
        for (int p = 0; p < 8; ++p) {
            const std::string query = RandomPattern(g);
            const int flags = flagChoices[g.Pick(3)];
            SCOPED_TRACE(::testing::Message() << "query " << query << " flags " << flags << " text #" << t);
            SearchBudget tabBudget, bufferBudget;
            tabBudget.maxAttempts = bufferBudget.maxAttempts = 50000;
            const std::vector<SearchHit> tab = TabHits(query, flags, tabBudget);
            const std::vector<SearchHit> buffer = BufferHits(text, query, flags, bufferBudget);
            // Every search ends within its budget, and both stop at the same place.
            EXPECT_LE(tabBudget.attempts, tabBudget.maxAttempts + 1);
            EXPECT_EQ(tabBudget.stopped, bufferBudget.stopped);
            ASSERT_EQ(ShownOf(tab), ShownOf(buffer));
            for (size_t i = 0; i < tab.size(); ++i) {
                EXPECT_EQ(tab[i].matchStart, buffer[i].matchStart);
                EXPECT_EQ(tab[i].matchEnd, buffer[i].matchEnd);
            }
            if (!invalid) {
                // The same text as a file on disk, in UTF-8 and in UTF-16 with a mark.
                for (const std::string& file : {text, Utf16Le(text)}) {
                    SearchBudget fileBudget;
                    fileBudget.maxAttempts = 50000;
                    ASSERT_EQ(ShownOf(tab), ShownOf(FileHits(file, query, flags, fileBudget)));
                    EXPECT_EQ(tabBudget.stopped, fileBudget.stopped);
                }
            }
            ++compared;
            withHits += !tab.empty();
        }
    }
    EXPECT_EQ(3200, compared);
    EXPECT_GT(withHits, 800);  // the generator makes expressions that find things
}

// Case folding beyond ASCII, counted repeats, word anchors of the old syntax, whole words.
TEST_F(EditorSearch, FoldingRepeatsAndWordAnchors) {
    SetText("foo\r\nxbar\r\nnone\r\nfoobar\r\nFOO \xC3\x89t\xC3\xA9\r\n");
    SearchBudget a;
    EXPECT_EQ(1u, TabHits("\xC3\xA9T\xC3\x89", kFindRegex, a).size());
    EXPECT_EQ(2u, TabHits("o{2}", kFindRegex | kFindMatchCase, a).size());
    EXPECT_EQ(0u, TabHits("\\<bar", kFindRegex, a).size());  // "xbar" and "foobar": no word starts at b
    EXPECT_EQ(3u, TabHits("\\<foo", kFindRegex, a).size());
    EXPECT_EQ(0u, TabHits("fo\\>", kFindRegex, a).size());
    EXPECT_EQ(2u, TabHits("foo", kFindRegex | kFindWholeWord, a).size());  // "foo" and "FOO", not "foobar"
    EXPECT_FALSE(a.stopped);
}

TEST(RegexDialect, WordAnchorsAreRewrittenOutsideClassesAndQuotes) {
    EXPECT_EQ("\\b(?=\\w)a\\b(?<=\\w)", RewriteWordAnchors("\\<a\\>"));
    EXPECT_EQ("[\\<]x", RewriteWordAnchors("[\\<]x"));
    EXPECT_EQ("[]\\<][[:alpha:]\\>]", RewriteWordAnchors("[]\\<][[:alpha:]\\>]"));
    EXPECT_EQ("\\Q\\<\\E\\b(?=\\w)", RewriteWordAnchors("\\Q\\<\\E\\<"));
    EXPECT_EQ("\\\\<", RewriteWordAnchors("\\\\<"));  // an escaped backslash, then a plain "<"
    // Leading verbs stay in front; an invalid expression is not usable.
    RegexPattern p;
    CompileRegex(p, "(*UCP)a", kFindRegex);
    EXPECT_TRUE(p.usable);
    CompileRegex(p, "(", kFindRegex);
    EXPECT_FALSE(p.usable);
    CompileRegex(p, "\\Qa(", kFindRegex);  // a quote that runs to the end stays a quote
    EXPECT_TRUE(p.usable);
}

TEST(RegexDialect, PastedLineBreaksStayOnOneLine) {
    EXPECT_EQ(L"a b c d", FlattenPastedText(L"a\r\nb\nc\rd", L" "));
    EXPECT_EQ(L"a\\Rb\\R\\R", FlattenPastedText(L"a\r\nb\n\r", L"\\R"));
}

TEST_F(EditorSearch, ReplaceAllAppliesTheOriginalMatchesBackToFront) {
    Gen g(4242);
    const char* const queries[] = {"^",   "$",      "\\b",    "a*",      "(?=x)",      "^a",   "a$",
                                   "\\ba", "(a)(b)?", "^\\s+",  "\\<a",    "a\\>",       "(?<=a)b",
                                   "x*",  ".",      "^.",     "(\\w)(\\w)", "\\r?\\n", "$\\R^", "(a|b)+"};
    const char* const replacements[] = {"", "X", "$1", "\\1", "[\\0]", "\\2\\1", "\\n", "$"};
    int runs = 0;
    for (int t = 0; t < 150; ++t) {
        const std::string text = RandomText(g, t % 5 == 4);
        for (int k = 0; k < 6; ++k) {
            const std::string query = k < 4 ? g.From(queries) : RandomPattern(g);
            const int flags = g.Pick(2) ? kFindRegex : kFindRegex | kFindMatchCase;
            const std::string replacement = WideToUtf8(ConvertReplacement(Utf8ToWide(g.From(replacements))));
            SCOPED_TRACE(::testing::Message() << "query " << query << " replacement " << replacement);
            SetText(text);
            long long expectedCount = 0;
            const std::string expected = ReplacedBackToFront(text, query, flags, replacement, expectedCount);
            SearchBudget budget;
            EXPECT_EQ(expectedCount, ReplaceAllInEditor(window, query, replacement, flags, &budget));
            ASSERT_EQ(expected, editor::GetText(window));
            editor::Send(window, editor::kUndo);  // one step
            ASSERT_EQ(text, editor::GetText(window));
            ++runs;
        }
    }
    EXPECT_EQ(900, runs);
}

// Anchored expressions are the property's above and the end-to-end test's.
TEST_F(EditorSearch, ReplaceAllFillsInGroupsAndSkipsEmptyMatches) {
    // Group references in both forms, and an expression that only matches empty replaces nothing.
    SetText("ab-cd");
    EXPECT_EQ(2, ReplaceAllInEditor(window, "(\\w)(\\w)", WideToUtf8(ConvertReplacement(L"$2\\1")), kFindRegex));
    EXPECT_EQ("ba-dc", editor::GetText(window));
    EXPECT_EQ(0, ReplaceAllInEditor(window, "q*", "Z", kFindRegex));
    EXPECT_EQ("ba-dc", editor::GetText(window));
}

// Plain text is the end-to-end test's; an expression goes on after what it inserted the same way.
TEST_F(EditorSearch, ReplaceGoesOnAfterWhatItInserted) {
    SetText("count = count + 1");
    editor::Send(window, editor::kSetSel, 0, 0);
    ASSERT_TRUE(FindInEditor(window, "count", kFindRegex, true));
    ReplaceCurrentInEditor(window, "count", "recount", kFindRegex);
    EXPECT_EQ(std::make_pair(10LL, 15LL), Selection());
    ReplaceCurrentInEditor(window, "count", "recount", kFindRegex);
    EXPECT_EQ("recount = recount + 1", editor::GetText(window));
    // Without case the replacement matches again, but only after every other one is done.
    SetText("foo foo");
    editor::Send(window, editor::kSetSel, 0, 0);
    ASSERT_TRUE(FindInEditor(window, "foo", kFindRegex, true));
    ReplaceCurrentInEditor(window, "foo", "Foo", kFindRegex);
    ReplaceCurrentInEditor(window, "foo", "Foo", kFindRegex);
    EXPECT_EQ("Foo Foo", editor::GetText(window));
    // An expression's replacement fills in its groups.
    SetText("key=value");
    editor::Send(window, editor::kSetSel, 0, 0);
    ASSERT_TRUE(FindInEditor(window, "(\\w+)=(\\w+)", kFindRegex, true));
    ReplaceCurrentInEditor(window, "(\\w+)=(\\w+)", "\\2=\\1", kFindRegex);
    EXPECT_EQ("value=key", editor::GetText(window));
}

// Find Next wraps to the start, Find Previous from a selected match reaches the one before it and
// wraps to the end; a failed search leaves the selection alone.
TEST_F(EditorSearch, FindNextAndPreviousWrap) {
    // (Plain text's F3 and Shift+F3 are the end-to-end test's.)
    SetText("one two one\r\ntwo one");
    editor::Send(window, editor::kSetSel, 20, 20);
    for (const auto& [forward, start] : {std::pair<bool, long long>{true, 0}, {true, 8}, {false, 0}, {false, 17}}) {
        EXPECT_TRUE(FindInEditor(window, "o.e", kFindRegex, forward));
        EXPECT_EQ(std::make_pair(start, start + 3), Selection());
    }
    EXPECT_FALSE(FindInEditor(window, "a|(", kFindRegex, true));
    EXPECT_FALSE(FindInEditor(window, "zzz", 0, true));
    EXPECT_EQ(std::make_pair(17LL, 20LL), Selection());
    EXPECT_TRUE(FindInEditor(window, "one$", kFindRegex, true));  // "$" before CR LF
    EXPECT_EQ(std::make_pair(8LL, 11LL), Selection());
}

TEST_F(EditorSearch, RunawayExpressionsStopTheSearchAndKeepTheHits) {
    // One line of 600 "a": the expression backtracks far beyond any budget; Replace All stops and
    // changes nothing (the search keeping the hits before the costly line is the end-to-end test's).
    SetText("first x\n" + std::string(600, 'a') + "\nlast x\n");
    SearchBudget replaceBudget = InteractiveBudget();
    EXPECT_EQ(0, ReplaceAllInEditor(window, ".*.*.*x", "", kFindRegex, &replaceBudget));
    EXPECT_TRUE(replaceBudget.stopped);
    EXPECT_EQ("first x\n" + std::string(600, 'a') + "\nlast x\n", editor::GetText(window));

    // Repeats that give back characters over a long line (what they need comes later, so the
    // engine cannot rule the line out at once): every step back is counted, or the clock runs out.
    SetText(std::string(3000, 'a') + "\ny x b\n");
    for (const char* query : {"[\\s\\S]*[\\s\\S]*y\\d", ".*.*.*.*.*x", "(a*)*b", "(.*)\\1y"}) {
        SearchBudget b = InteractiveBudget();
        EXPECT_TRUE(TabHits(query, kFindRegex, b).empty()) << query;
        EXPECT_TRUE(b.stopped) << query;
    }

    // A budget in attempts is one for the whole search, not one per line.
    std::string lines;
    for (int i = 0; i < 3000; ++i) lines += "word word word word word word word word word word word word!\n";
    SearchBudget fileBudget;
    fileBudget.maxAttempts = 100000;
    FileHits(lines, "(\\w+\\s?)+$", kFindRegex, fileBudget);
    EXPECT_TRUE(fileBudget.stopped);
    EXPECT_LE(fileBudget.attempts, fileBudget.maxAttempts + 1);
    SearchBudget plenty;
    plenty.maxAttempts = 100000000;
    EXPECT_EQ(3000u, FileHits(lines, "word!$", kFindRegex, plenty).size());
    EXPECT_FALSE(plenty.stopped);
}

TEST_F(EditorSearch, CollectsOneHitPerLine) {
    SetText("aaa\r\nb\xC3\xA9 a\r\nnone\r\nlast a");
    std::vector<SearchHit> hits = TabHits("a", 0);
    ASSERT_EQ(3u, hits.size());
    EXPECT_EQ((Shown{1, 0, 1, L"aaa"}), ShownOf(hits)[0]);
    EXPECT_EQ((Shown{2, 3, 1, L"b\u00E9 a"}), ShownOf(hits)[1]);  // columns in characters, not bytes
    EXPECT_EQ(9, hits[1].matchStart);
    EXPECT_EQ(3, hits[1].docIndex);
    // An expression that matches the empty string does not loop.
    hits = TabHits("a*", kFindRegex);
    EXPECT_GE(hits.size(), 3u);
    // The limit: only the first bytes are searched.
    EXPECT_EQ(1u, TabHits("a", 0, 4).size());

    // One line with many matches costs one line: the hit is the line's first match.
    std::string line(200000, 'e');
    SetText(line + "\nx e");
    hits = TabHits("e", 0);
    ASSERT_EQ(2u, hits.size());
    EXPECT_EQ(2, hits[1].line);
    EXPECT_EQ(2, hits[1].column);
}

TEST_F(EditorSearch, CollectsWhatTheComponentFindsLineByLine) {
    // Characters that fold to ASCII letters (Kelvin sign, long s, sharp s, the "fi" ligature), also
    // inside a match that begins with an ASCII letter, a match behind a long stretch without
    // candidates, and candidates that do not match.
    const std::string text =
        "zebra_ ZEBRA\r\n\xE2\x84\xAA"
        "elvin \xC5\xBFun s\xE2\x84\xAAip\nStra\xC3\x9F"
        "e \xEF\xAC\x81le\r" +
        std::string(100000, 'x') + " zebra\nzzz zeb \xC3\x89t\xC3\xA9\n" + std::string(70000, 'z');
    SetText(text);
    const long long lines = editor::Send(window, editor::kGetLineCount);
    for (const char* query : {"zebra", "kelvin", "sun", "skip", "strasse", "file", "e", "\xC3\xA9T", "z"}) {
        for (int flags : {0, kFindWholeWord}) {
            std::vector<std::pair<int, long long>> expected;
            for (long long line = 0; line < lines; ++line) {
                const long long from = editor::Send(window, editor::kPositionFromLine, line);
                const long long to = line + 1 < lines ? editor::Send(window, editor::kPositionFromLine, line + 1)
                                                      : static_cast<long long>(text.size());
                const long long m = SearchEditorRange(window, query, from, to, flags);
                if (m >= 0) expected.emplace_back(static_cast<int>(line + 1), m);
            }
            std::vector<std::pair<int, long long>> found;
            for (const SearchHit& h : TabHits(query, flags)) found.emplace_back(h.line, h.matchStart);
            EXPECT_EQ(expected, found) << query << " " << flags;
        }
    }
}

TEST_F(EditorSearch, TextListLabelsDataAndLimits) {
    int calls = 0;
    const auto tab = [&](const std::string& text, int index) {
        SetText(text);
        TabText t = EditorTabText(window, L"t" + std::to_wstring(index) + L".txt", index);
        t.lineAt = [&calls, inner = t.lineAt](long long position) {
            ++calls;
            return inner(position);
        };
        return t;
    };
    const std::string first = "alpha\nbeta Beta BETA\n";
    std::vector<QuickItem> items = TextListItems({tab(first, 0)}, L"beTA");
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(L"t0.txt:2: beta Beta BETA", items[0].label);
    EXPECT_EQ(std::wstring(L"tab:0\x01") + L"2", items[2].data);
    EXPECT_EQ(kQuickTabLine, items[2].code);
    EXPECT_EQ(1, calls);  // one look-up per line, however many matches it holds

    EXPECT_EQ(L"Type the words to search for", TextListItems({}, L"")[0].label);
    EXPECT_EQ(L"No match found", TextListItems({tab(first, 0)}, L"gamma")[0].label);
    // A long line is cut around the match; 600 matches give 500 entries.
    items = TextListItems({tab(std::string(10000, 'x') + "needle" + std::string(10000, 'y'), 0)}, L"needle");
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(0u, items[0].label.find(L"t0.txt:1: \u2026xx"));
    EXPECT_EQ(L'\u2026', items[0].label.back());
    EXPECT_NE(std::wstring::npos, items[0].label.find(L"needle"));
    EXPECT_LE(items[0].label.size(), 220u);
    std::string many;
    for (int i = 0; i < 600; ++i) many += "ab\n";
    EXPECT_EQ(500u, TextListItems({tab(many, 0)}, L"AB").size());
    // Only the searched part is searched.
    TabText cut = tab(first, 0);
    cut.searchEnd = 8;
    EXPECT_EQ(kQuickInfo, TextListItems({cut}, L"beta")[0].code);
}

TEST_F(EditorSearch, TextListTakesTheComponentsMatches) {
    // The component folds more than A to Z: "É" matches "é".
    SetText("\xC3\x89" "clair \xC3\xA9" "clair\nnone\n\xC3\x89" "CLAIR");
    const std::vector<QuickItem> items = TextListItems({EditorTabText(window, L"t.txt", 4)}, L"\u00E9clair");
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(L"t.txt:1: \u00C9clair \u00E9clair", items[1].label);
    EXPECT_EQ(std::wstring(L"tab:4\x01") + L"3", items[2].data);
}

TEST_F(EditorSearch, ReplaceAllIsOneStepAndSkipsNothing) {
    // Far more matches than any old cap, all replaced, undone at once.
    std::string csv;
    for (int i = 0; i < 250000; ++i) csv += "1,";
    SetText(csv);
    EXPECT_EQ(250000, ReplaceAllInEditor(window, ",", ";", 0));
    EXPECT_EQ(std::string::npos, editor::GetText(window).find(','));
    editor::Send(window, editor::kUndo);
    EXPECT_EQ(csv, editor::GetText(window));
}

TEST_F(EditorSearch, ReplaceCurrentNeedsAnExactMatchSelected) {
    SetText("cat cat cat");
    editor::Send(window, editor::kSetSel, 0, 2);  // not a whole match: only moves on
    ReplaceCurrentInEditor(window, "cat", "dog", 0);
    EXPECT_EQ("cat cat cat", editor::GetText(window));
    EXPECT_EQ(std::make_pair(4LL, 7LL), Selection());
    ReplaceCurrentInEditor(window, "cat", "dog", 0);
    EXPECT_EQ("cat dog cat", editor::GetText(window));
    EXPECT_EQ(std::make_pair(8LL, 11LL), Selection());
}

}  // namespace
