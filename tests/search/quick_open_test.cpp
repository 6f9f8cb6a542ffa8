// The quick-open popup's lists and decisions without a window: the palette's two passes, the
// folder walk for the file list, the text of open tabs, the symbol pattern, and picking.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "search/quick_open_model.h"
#include "search/symbols.h"
#include "support/scratch.h"

namespace {

// The labels of a list, or another field of its entries.
std::vector<std::wstring> Labels(const std::vector<QuickItem>& items, std::wstring QuickItem::*field = &QuickItem::label) {
    std::vector<std::wstring> labels;
    for (const QuickItem& item : items) labels.push_back(item.*field);
    return labels;
}

TEST(QuickOpenPalette, SubstringMatchesComeBeforeLettersInOrder) {
    const std::vector<QuickItem> all = PaletteEntries();
    EXPECT_EQ(L"File: New File (Ctrl+N)", all.front().label);
    EXPECT_EQ(all.size(), FilterPalette(all, L"").size());

    // ("fs" listing Save first is the end-to-end test's.) Pass 2 always follows pass 1, whatever the
    // order of the full list.
    const std::vector<QuickItem> mixed = {{L"Fxxs", 1, L""}, {L"abFS", 2, L""}, {L"nothing", 3, L""}};
    EXPECT_EQ((std::vector<std::wstring>{L"abFS", L"Fxxs"}), Labels(FilterPalette(mixed, L"FS")));
    // One letter: substring matches only.
    EXPECT_EQ((std::vector<std::wstring>{L"Edit: Undo (Ctrl+Z)", L"Edit: Redo (Ctrl+Shift+Z)"}),
              Labels(FilterPalette(all, L"z")));
}

// ---- the file list ----------------------------------------------------------------------------

constexpr uint32_t kDir = FILE_ATTRIBUTE_DIRECTORY;

// A folder tree in memory; `read` counts the entries it handed out.
struct FakeDisk {
    std::map<std::wstring, std::vector<WalkEntry>> folders;
    std::vector<WalkEntry> everywhere;  // for a path not in `folders`
    size_t handed = 0;
    std::vector<std::wstring> read;
    FolderReader Reader() {
        return [this](const std::wstring& folder, const std::function<bool(const WalkEntry&)>& each) {
            read.push_back(folder);
            const auto it = folders.find(folder);
            for (const WalkEntry& e : it != folders.end() ? it->second : everywhere) {
                ++handed;
                if (!each(e)) break;
            }
            return true;
        };
    }
};

TEST(QuickOpenFiles, WalkOrderNamesAndLimits) {
    FakeDisk disk;
    disk.folders[L"C:\\r"] = {{L"a.txt", 0}, {L"dirA", kDir}, {L"match", kDir}};
    disk.folders[L"C:\\r\\dirA"] = {{L"x.cpp", 0}, {L"xcode.txt", 0}};
    disk.folders[L"C:\\r\\match"] = {{L"other.txt", 0}};
    const FolderFiles walk = WalkQuickOpenFolder(L"C:\\r", {}, disk.Reader());
    // Depth first, the folder pushed last read first.
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\r", L"C:\\r\\match", L"C:\\r\\dirA"}), disk.read);
    const std::vector<QuickItem> all = FileListItems(walk, L"");
    ASSERT_EQ(4u, all.size());
    // By path within the folder; a file of the folder itself shows its name only.
    EXPECT_EQ(L"a.txt", all[0].label);
    EXPECT_EQ(L"C:\\r\\a.txt", all[0].data);
    EXPECT_EQ(kQuickOpenFile, all[0].code);
    EXPECT_EQ(L"x.cpp  \u2014  dirA\\x.cpp", all[1].label);
    EXPECT_EQ(L"other.txt  \u2014  match\\other.txt", all[3].label);
    // Names holding the query first, then names holding its letters in order; never the folder.
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\r\\dirA\\xcode.txt", L"C:\\r\\dirA\\x.cpp"}),
              Labels(FileListItems(walk, L"XC"), &QuickItem::data));
    EXPECT_TRUE(FileListItems(walk, L"match").empty());
    // No folder open: the information row.
    const std::vector<QuickItem> none = FileListItems(WalkQuickOpenFolder(L"", {}, disk.Reader()), L"");
    ASSERT_EQ(1u, none.size());
    EXPECT_EQ(kQuickInfo, none[0].code);

    // The listed-file limit is looked at between folders only: the root's three files all come,
    // the next folder is not read.
    FileListLimits two;
    two.maxMatches = 2;
    EXPECT_EQ(2u, FileListItems(walk, L"", two).size());
    disk.folders[L"C:\\r"] = {{L"a.txt", 0}, {L"b.txt", 0}, {L"c.txt", 0}, {L"dirA", kDir}};
    EXPECT_EQ(3u, FileListItems(WalkQuickOpenFolder(L"C:\\r", two, disk.Reader()), L"", two).size());
}

// What a user looks for comes first: the whole name, then names that begin with the query, then
// names holding it, then names holding its letters in order; within each, by path. The folders the
// search in files skips are not listed.
TEST(QuickOpenFiles, BestMatchesFirstThenByPathWithoutVersionControlFolders) {
    FakeDisk disk;
    disk.folders[L"C:\\p"] = {{L"zz", kDir}, {L"a", kDir}, {L".git", kDir}, {L"myshape.h", 0}, {L"shape", 0}};
    disk.folders[L"C:\\p\\zz"] = {{L"shapes.cpp", 0}, {L"s_h_a_p_e.txt", 0}};
    disk.folders[L"C:\\p\\a"] = {{L"shapes.cpp", 0}, {L"Shape", 0}};
    disk.folders[L"C:\\p\\.git"] = {{L"shape", 0}, {L"config", 0}};
    const FolderFiles walk = WalkQuickOpenFolder(L"C:\\p", {}, disk.Reader());
    for (const std::wstring& folder : disk.read) EXPECT_EQ(std::wstring::npos, folder.find(L".git")) << "read .git";
    EXPECT_EQ((std::vector<std::wstring>{L"Shape  \u2014  a\\Shape", L"shape", L"shapes.cpp  \u2014  a\\shapes.cpp",
                                         L"shapes.cpp  \u2014  zz\\shapes.cpp", L"myshape.h",
                                         L"s_h_a_p_e.txt  \u2014  zz\\s_h_a_p_e.txt"}),
              Labels(FileListItems(walk, L"Shape")));
    // Property over random names: qualities never decrease down the list, and paths ascend within one.
    unsigned seed = 7;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    FakeDisk random;
    for (int i = 0; i < 300; ++i) {
        std::wstring name;
        for (int k = 0; k < 1 + static_cast<int>(next() % 6); ++k) name += static_cast<wchar_t>(L'a' + next() % 4);
        random.folders[L"C:\\q"].push_back({name + std::to_wstring(i % 7), 0});
    }
    const FolderFiles many = WalkQuickOpenFolder(L"C:\\q", {}, random.Reader());
    for (const wchar_t* query : {L"ab", L"a", L"dca", L"b3"}) {
        const std::vector<QuickItem> items = FileListItems(many, query);
        for (size_t i = 1; i < items.size(); ++i) {
            const int before = FileMatchQuality(LowerAscii(items[i - 1].label), query);
            const int after = FileMatchQuality(LowerAscii(items[i].label), query);
            ASSERT_GE(after, 0);
            ASSERT_LE(before, after) << items[i - 1].label << " / " << items[i].label;
            if (before == after) { ASSERT_LE(LowerAscii(items[i - 1].label), LowerAscii(items[i].label)); }
        }
    }
    EXPECT_EQ(L"a.cpp", PathWithinFolder(L"C:\\", L"C:\\a.cpp"));
    EXPECT_EQ(L"C:\\pq\\a.cpp", PathWithinFolder(L"C:\\p", L"C:\\pq\\a.cpp"));
}

// ":12" lists one row that goes to line 12; ":" alone says what to type.
TEST(QuickOpenFiles, ColonListsAGoToLineRow) {
    // The row and Enter on it are the end-to-end test's; a double click on it goes there too.
    const QuickItem row = GotoLineItems(L"12").at(0);
    EXPECT_EQ(QuickPick::GotoLine, DecidePick(kQuickAnything, &row, L":12", false, 1).kind);
    for (const wchar_t* nothing : {L"", L"x", L"0"}) {
        const std::vector<QuickItem> info = GotoLineItems(nothing);
        ASSERT_EQ(1u, info.size());
        EXPECT_EQ(kQuickInfo, info[0].code);
    }
}

TEST(QuickOpenFiles, EntryLimitHoldsInsideOneFolderAndLinksAreNotEntered) {
    FakeDisk big;
    for (int i = 0; i < 10; ++i) big.folders[L"C:\\big"].push_back({L"f" + std::to_wstring(i), 0});
    FileListLimits five;
    five.maxVisited = 5;
    EXPECT_EQ(5u, WalkQuickOpenFolder(L"C:\\big", five, big.Reader()).files.size());
    EXPECT_EQ(5u, big.handed);

    // Every folder holds a link to an ancestor: only the root is read.
    FakeDisk loop;
    loop.everywhere = {{L"up", kDir | FILE_ATTRIBUTE_REPARSE_POINT}, {L"f.txt", 0}};
    const FolderFiles walk = WalkQuickOpenFolder(L"C:\\r", {}, loop.Reader());
    EXPECT_EQ(1u, walk.files.size());
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\r"}, loop.read);
}

TEST(QuickOpenFiles, RealFolder) {
    const ScratchFolder folder(L"tessary-quick-open");
    const std::wstring& root = folder.path;
    folder.MakeDir(L"sub");
    for (const wchar_t* name : {L"top.txt", L"sub\\inner.cpp"}) folder.Write(name);
    const std::vector<QuickItem> items = FileListItems(WalkQuickOpenFolder(root), L"");
    ASSERT_EQ(2u, items.size());  // by their paths within the folder
    EXPECT_EQ(root + L"\\sub\\inner.cpp", items[0].data);
    EXPECT_EQ(root + L"\\top.txt", items[1].data);
}

// ---- text in open tabs (the list itself is tested over a real component in regex_search_test.cpp)

TEST(QuickOpenText, FoldedSearchAcrossBlockEdges) {
    std::string text(40, '.');
    text.replace(17, 4, "NeEd");
    text.replace(36, 4, "need");
    EXPECT_EQ(17u, FindFolded(text, 0, "need"));
    EXPECT_EQ(36u, FindFolded(text, 18, "need"));
    EXPECT_EQ(std::string_view::npos, FindFolded(text, 37, "need"));
    EXPECT_EQ(0u, FindFolded("[x]", 0, "[x]"));
    EXPECT_EQ(std::string_view::npos, FindFolded("{x}", 0, "[x]"));  // only letters fold
    EXPECT_EQ(std::string_view::npos, FindFolded("ab", 0, ""));
}

// ---- symbols ------------------------------------------------------------------------------------

std::vector<std::wstring> SymbolsOf(const std::string& source) {
    std::vector<std::wstring> out;
    for (const Symbol& s : ScanSymbols(source, false).symbols) out.push_back(s.name + L"@" + std::to_wstring(s.line));
    return out;
}

TEST(Symbols, PatternOnTheDocumentedExamples) {
    // (A symbol's row, "demo   (line 4)", and going to its line are the end-to-end test's.)
    EXPECT_EQ(std::vector<std::wstring>{L"run@1"}, SymbolsOf("public static void run()"));
    // A base list hides the class name; the leftmost match of that line is "public Bar {".
    EXPECT_EQ((std::vector<std::wstring>{L"Bar@1", L"Foo@2"}), SymbolsOf("class Foo : public Bar {\nclass Foo {\n"));
    EXPECT_TRUE(SymbolsOf("class Foo : Bar {").empty());
    EXPECT_EQ(std::vector<std::wstring>{L"one@1"}, SymbolsOf("int one(); int two();"));
    EXPECT_EQ(SymbolsOf("a\nint b(\n\nvoid c(\n"), SymbolsOf("a\r\nint b(\r\n\r\nvoid c(\r\n"));
    EXPECT_EQ(std::vector<std::wstring>{L"x@1"}, SymbolsOf("int x(\rint y("));  // CR alone ends no line
    EXPECT_EQ(std::vector<std::wstring>{L"ab@1"}, SymbolsOf("int a\rb("));      // CRs are dropped first
    // A keyword may end a longer word; blanks are any of the expression's; names start with a letter.
    EXPECT_EQ((std::vector<std::wstring>{L"y@1", L"t@2", L"u@4"}),
              SymbolsOf("xint y(\nlong\t\vt  <\nint 9a(\n\xC3\xA9 int u( \xC3\xBC\nint \xC3\xBC(\n"));
    const SymbolScan both = ScanSymbols("int main(\nvoid Main(\nint other(\n", false);
    EXPECT_EQ(2u, SymbolItems(both, L"MA").size());
    EXPECT_EQ(L"(No symbols found)", SymbolItems(both, L"zzz")[0].label);
    EXPECT_EQ(L"(Available once a file is open)", NoDocumentSymbolRow().label);
}

TEST(Symbols, RealSourceSnippets) {
    EXPECT_EQ((std::vector<std::wstring>{L"util@1", L"Parser@2", L"parse@4", L"Box@7", L"ready@8"}),
              SymbolsOf("namespace util {\n"
                        "class Parser {\n"
                        "public:\n"
                        "    static int parse(const char* text);\n"
                        "    virtual ~Parser();\n"
                        "};\n"
                        "template <typename T> struct Box { T value; };\n"
                        "inline bool ready() { return true; }\n"
                        "}\n"));
    // C#: a base list after the name hides the class; "async Task<int>" names the type.
    EXPECT_EQ((std::vector<std::wstring>{L"Task@4", L"Service@5", L"IShape@6"}),
              SymbolsOf("namespace App.Core {\n"
                        "    public class Service : IService {\n"
                        "        private readonly int count;\n"
                        "        public async Task<int> LoadAsync(string path) {\n"
                        "        public Service(int n) { }\n"
                        "    interface IShape { }\n"));
    EXPECT_EQ((std::vector<std::wstring>{L"Config@2", L"__init__@3", L"fetch@4", L"main@5"}),
              SymbolsOf("import os\n"
                        "class Config(object):\n"
                        "    def __init__(self, path):\n"
                        "    async def fetch(url):\n"
                        "def main():\n"));
    EXPECT_EQ((std::vector<std::wstring>{L"handler@2", L"load@6"}),
              SymbolsOf("const express = require('express');\n"
                        "function handler(req, res) {\n"
                        "const add = (a, b) => a + b;\n"
                        "let items = [];\n"
                        "export default class Widget extends Base {\n"
                        "async function load() {\n"));
    EXPECT_EQ((std::vector<std::wstring>{L"main@4"}), SymbolsOf("package main\n"
                                                                "type Server struct {\n"
                                                                "func (s *Server) Start() error {\n"
                                                                "func main() {\n"
                                                                "var wg sync.WaitGroup\n"));
}

TEST(Symbols, ListAndScanAreCappedWithARowSayingSo) {
    std::string source;
    for (int i = 0; i <= 5000; ++i) source += "int f" + std::to_string(i) + "(\n";
    const std::vector<QuickItem> items = SymbolItems(ScanSymbols(source, false), L"");
    ASSERT_EQ(5001u, items.size());
    EXPECT_EQ(kQuickLine, items[4999].code);
    EXPECT_EQ(kQuickInfo, items[5000].code);
    EXPECT_EQ(L"(Too many symbols; only the first 5000 are listed)", items[5000].label);

    // Only the first 16 MiB are scanned, cut at the start of a character.
    std::string big(kSymbolScanBytes - 1, ' ');
    big += "\xC3\xA9 int late(";
    EXPECT_EQ(kSymbolScanBytes - 1, SymbolScanLength(big));
    const std::vector<QuickItem> cut =
        SymbolItems(ScanSymbols(std::string_view(big).substr(0, kSymbolScanBytes - 1), true), L"");
    ASSERT_EQ(2u, cut.size());
    EXPECT_EQ(kQuickInfo, cut[1].code);

    // The same bytes give the kept list; other bytes a new one.
    SymbolCache cache;
    const SymbolScan* firstScan = &CachedSymbolScan(cache, "int a(\n", false);
    EXPECT_EQ(1u, firstScan->symbols.size());
    EXPECT_EQ(firstScan, &CachedSymbolScan(cache, "int a(\n", false));
    EXPECT_EQ(L"b", CachedSymbolScan(cache, "int b(\n", false).symbols[0].name);
}

// ---- picking ------------------------------------------------------------------------------------

TEST(QuickOpenPick, LineNumbersSaturateAndPicksFollowTheRules) {
    EXPECT_EQ(12, ParseLineNumber(L"12"));
    EXPECT_EQ(7, ParseLineNumber(L" 7x"));
    EXPECT_EQ(0, ParseLineNumber(L"abc"));
    EXPECT_EQ(-3, ParseLineNumber(L"-3"));
    EXPECT_EQ(4294967297LL, ParseLineNumber(L"4294967297"));
    EXPECT_EQ(LLONG_MAX, ParseLineNumber(L"99999999999999999999999999"));
    EXPECT_EQ(39, TargetLine(ParseLineNumber(L"99999999999999999999999999"), 40));
    EXPECT_EQ(-1, TargetLine(0, 40));
    EXPECT_EQ(-1, TargetLine(5, 0));

    // What each pick does: {kind, command, line, tab, text}.
    const auto shown = [](const QuickPick& p) {
        return std::to_wstring(p.kind) + L" " + std::to_wstring(p.command) + L" " + std::to_wstring(p.line) + L" " +
               std::to_wstring(p.tab) + L" " + p.text;
    };
    const QuickItem command{L"File: Save (Ctrl+S)", 103, L""}, symbol{L"main   (\u884C 9)", kQuickLine, L"9"},
        inTab{L"", kQuickTabLine, std::wstring(L"tab:2\x01") + L"12"}, bare{L"", kQuickTabLine, std::wstring(L"tab:\x01") + L"4"},
        onDisk{L"", kQuickTabLine, std::wstring(L"C:\\a.txt\x01") + L"7"},
        file{L"a.txt  \u2014  C:\\a.txt", kQuickOpenFile, L"C:\\a.txt"}, info{L"(\u672A\u53D1\u73B0)", kQuickInfo, L""};
    const struct {
        int mode;
        const QuickItem* item;
        const wchar_t *query, *expected;
        bool byEnter;
        int tabs;
    } cases[] = {
        {kQuickPalette, &command, L"fs", L"1 103 0 -1 ", true, 1},
        {kQuickPalette, nullptr, L"fs", L"0 0 0 -1 ", true, 1},
        {kQuickSymbol, &symbol, L"", L"2 0 9 -1 ", true, 1},
        {kQuickText, &inTab, L"x", L"3 0 12 2 ", true, 3},
        {kQuickText, &inTab, L"x", L"0 0 0 -1 ", true, 2},  // the tab is gone
        {kQuickText, &onDisk, L"x", L"4 0 7 -1 C:\\a.txt", true, 1},
        {kQuickText, &bare, L"", L"2 0 4 -1 ", true, 1},
        // ":12" goes to line 12 whatever file is selected; a double click opens the file instead.
        {kQuickAnything, &file, L":12", L"2 0 12 -1 ", true, 1},
        {kQuickAnything, &file, L":12", L"4 0 0 -1 C:\\a.txt", false, 1},
        // "@word" with nothing listed: the word's first occurrence, lower-cased.
        {kQuickAnything, &info, L"@FooBar", L"5 0 0 -1 foobar", true, 1},
        {kQuickAnything, &info, L"x", L"0 0 0 -1 ", true, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, shown(DecidePick(c.mode, c.item, c.query, c.byEnter, c.tabs))) << c.query;
}

}  // namespace

// The highlighted letters of a row spell the query in order (without case); a query standing whole
// in the label is one span; a label that does not match has none.
TEST(QuickOpenList, MatchedLettersSpellTheQuery) {
    EXPECT_EQ(0u, MatchSpans(L"File: Save", L"").size());
    const std::vector<MatchSpan> whole = MatchSpans(L"File: Save (Ctrl+S)", L"SAVE");
    ASSERT_EQ(1u, whole.size());
    EXPECT_EQ(6u, whole[0].start);
    EXPECT_EQ(4u, whole[0].length);
    EXPECT_TRUE(MatchSpans(L"abc", L"abd").empty());
    unsigned seed = 99;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    const std::wstring letters = L"abcABC _.";
    for (int i = 0; i < 3000; ++i) {
        std::wstring label, query;
        for (unsigned k = 0, n = next() % 12; k < n; ++k) label += letters[next() % letters.size()];
        for (unsigned k = 0, n = 1 + next() % 3; k < n; ++k) query += letters[next() % 6];
        const std::vector<MatchSpan> spans = MatchSpans(label, query);
        const bool matches = ContainsInOrder(LowerAscii(label), LowerAscii(query));
        ASSERT_EQ(matches, !spans.empty()) << std::string(label.begin(), label.end());
        std::wstring spelled;
        size_t end = 0;
        for (const MatchSpan& span : spans) {
            ASSERT_GE(span.start, end);
            ASSERT_LE(span.start + span.length, label.size());
            spelled += label.substr(span.start, span.length);
            end = span.start + span.length;
        }
        if (matches) { ASSERT_EQ(LowerAscii(query), LowerAscii(spelled)); }
        if (LowerAscii(label).find(LowerAscii(query)) != std::wstring::npos) { ASSERT_EQ(1u, spans.size()); }
    }
    EXPECT_EQ(L"word", HighlightQuery(kQuickAnything, L"@word"));
    EXPECT_EQ(L"", HighlightQuery(kQuickAnything, L":12"));
    EXPECT_EQ(L":12", HighlightQuery(kQuickPalette, L":12"));
}

TEST(QuickOpenList, ListHoldsWholeRows) {
    for (int row = 12; row <= 60; ++row) {
        const int height = WholeRowsHeight(260, row);
        EXPECT_EQ(0, height % row) << row;
        EXPECT_LE(height, 260);
        EXPECT_GT(height, 260 - row);
    }
}
