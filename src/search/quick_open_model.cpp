#include "search/quick_open_model.h"

#include <emmintrin.h>

#include <algorithm>
#include <climits>
#include <cwctype>

#include "base/encoding.h"
#include "search/text_match.h"
#include "base/command_ids.h"
#include "base/strings.h"

namespace {

constexpr uint32_t kAttributeDirectory = 0x10;
constexpr size_t kLabelLead = 60;  // characters of context a cut label keeps before its match
constexpr wchar_t kDataSeparator = L'\x01';
constexpr wchar_t kTabPrefix[] = L"tab:";

bool IsLowerLetter(char c) { return c >= 'a' && c <= 'z'; }

QuickItem InfoRow(const std::wstring& text) { return QuickItem{text, kQuickInfo, L""}; }

std::wstring FileNameOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

bool EqualFoldedBytes(const char* text, const char* folded, size_t n) {
    for (size_t k = 0; k < n; ++k)
        if (FoldAscii(text[k]) != folded[k]) return false;
    return true;
}

// UTF-16 units of UTF-8 bytes: one per lead byte, two for a four-byte sequence.
size_t Utf16Units(const char* bytes, size_t n) {
    size_t units = 0;
    for (size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::wstring LowerAscii(std::wstring text) {
    for (wchar_t& c : text) c = FoldAscii(c);
    return text;
}

std::string LowerAsciiBytes(std::string text) {
    for (char& c : text) c = FoldAscii(c);
    return text;
}

bool ContainsInOrder(std::wstring_view label, std::wstring_view query) {
    size_t next = 0;
    for (size_t i = 0; i < label.size() && next < query.size(); ++i) {
        if (static_cast<wchar_t>(std::towlower(label[i])) == query[next]) ++next;
    }
    return next == query.size();
}

std::vector<QuickItem> PaletteEntries() {
    static const struct {
        const wchar_t* label;
        int command;
    } kEntries[] = {
        {L"File: New File (Ctrl+N)", kCmdNewFile},
        {L"File: Open File (Ctrl+O)", kCmdOpenFile},
        {L"File: Open Folder", kCmdOpenFolder},
        {L"File: Save (Ctrl+S)", kCmdSave},
        {L"File: Save As (Ctrl+Shift+S)", kCmdSaveAs},
        {L"File: Save All", kCmdSaveAll},
        {L"File: Close File (Ctrl+W)", kCmdCloseFile},
        {L"File: Close All", kCmdCloseAll},
        {L"Edit: Undo (Ctrl+Z)", kCmdUndo},
        {L"Edit: Redo (Ctrl+Shift+Z)", kCmdRedo},
        {L"Edit: Cut (Ctrl+X)", kCmdCut},
        {L"Edit: Copy (Ctrl+C)", kCmdCopy},
        {L"Edit: Paste (Ctrl+V)", kCmdPaste},
        {L"Edit: Select All (Ctrl+A)", kCmdSelectAll},
        {L"Edit: Toggle Comment (Ctrl+/)", kCmdToggleComment},
        {L"Selection: Expand Selection", kCmdExpandSelection},
        {L"Selection: Shrink Selection", kCmdShrinkSelection},
        {L"Selection: Single Selection", kCmdSingleSelection},
        {L"Selection: Split into Lines (Ctrl+Shift+L)", kCmdSplitIntoLines},
        {L"Find: Find (Ctrl+F)", kCmdFind},
        {L"Find: Replace (Ctrl+H)", kCmdReplace},
        {L"Find: Find Next (F3)", kCmdFindNext},
        {L"Find: Find Previous (Shift+F3)", kCmdFindPrevious},
        {L"View: Sidebar (Ctrl+K Ctrl+B)", kCmdSidebar},
        {L"View: Status Bar", kCmdStatusBar},
        {L"View: Full Screen (F11)", kCmdFullScreen},
        {L"View: Distraction Free (Shift+F11)", kCmdDistractionFree},
        {L"Goto: Goto Anything (Ctrl+P)", kCmdQuickOpen},
        {L"Goto: Goto File", kCmdGotoFile},
        {L"Goto: Goto Symbol (Ctrl+R)", kCmdGotoSymbol},
        {L"Goto: Goto Line (Ctrl+G)", kCmdGotoLine},
        {L"Tools: Command Palette (Ctrl+Shift+P)", kCmdCommandPalette},
        {L"Tools: Build (Ctrl+B)", kCmdBuild},
        {L"Tools: Cancel Build (Ctrl+Break)", kCmdCancelBuild},
        {L"Tools: Record Macro (Ctrl+Q)", kCmdRecordMacro},
        {L"Tools: Playback Macro (Ctrl+Shift+Q)", kCmdPlayMacro},
        {L"Project: Open Project", kCmdOpenProject},
        {L"Project: Save Project", kCmdSaveProject},
        {L"Project: Add Folder to Project", kCmdAddFolder},
        {L"Help: Documentation", kCmdDocumentation},
        {L"Help: About", kCmdAbout},
    };
    std::vector<QuickItem> items;
    items.reserve(std::size(kEntries));
    for (const auto& e : kEntries) items.push_back(QuickItem{e.label, e.command, L""});
    return items;
}

std::vector<QuickItem> FilterPalette(const std::vector<QuickItem>& all, const std::wstring& query) {
    const std::wstring q = LowerAscii(query);
    std::vector<QuickItem> out;
    std::vector<const QuickItem*> inOrder;
    for (const QuickItem& item : all) {
        if (LowerAscii(item.label).find(q) != std::wstring::npos)
            out.push_back(item);
        else if (q.size() >= 2 && ContainsInOrder(item.label, q))
            inOrder.push_back(&item);
    }
    for (const QuickItem* item : inOrder) out.push_back(*item);
    return out;
}

// ---- files of the open folder -------------------------------------------------------------------

FolderFiles WalkQuickOpenFolder(const std::wstring& root, const FileListLimits& limits, const FolderReader& read) {
    FolderFiles walk;
    walk.rootOpen = !root.empty();
    walk.root = root;
    size_t visited = 0, folders = 0;
    WalkFolder(
        root, true,
        [&](const std::wstring& path, const WalkEntry& entry) {
            ++visited;
            if (!(entry.attributes & kAttributeDirectory))
                walk.files.push_back(FolderFiles::File{path, LowerAscii(entry.name), folders});
            return visited < limits.maxVisited;
        },
        [&] {
            ++folders;
            return visited < limits.maxVisited;
        },
        read);
    return walk;
}

int FileMatchQuality(const std::wstring& lowerName, const std::wstring& lowerQuery) {
    if (lowerQuery.empty() || lowerName == lowerQuery) return 0;
    const size_t at = lowerName.find(lowerQuery);
    if (at == 0) return 1;
    if (at != std::wstring::npos) return 2;
    return ContainsInOrder(lowerName, lowerQuery) ? 3 : -1;
}

std::wstring PathWithinFolder(const std::wstring& root, const std::wstring& path) {
    if (root.empty() || path.size() <= root.size() || path.compare(0, root.size(), root) != 0) return path;
    size_t from = root.size();
    if (path[from] == L'\\' || path[from] == L'/') ++from;
    else if (root.back() != L'\\' && root.back() != L'/') return path;
    return path.substr(from);
}

std::vector<QuickItem> FileListItems(const FolderFiles& walk, const std::wstring& query, const FileListLimits& limits) {
    if (!walk.rootOpen)
        return {InfoRow(MessageFor(MessageText::QuickNoFolder))};
    const std::wstring q = LowerAscii(query);
    struct Ranked {
        int quality;
        std::wstring within, lowerWithin;
        const FolderFiles::File* file;
    };
    std::vector<Ranked> ranked;
    size_t folder = 0;
    for (const FolderFiles::File& file : walk.files) {
        // The walk would not have read this file's folder once enough files were listed.
        if (file.folder != folder) {
            if (ranked.size() >= limits.maxMatches) break;
            folder = file.folder;
        }
        const int quality = FileMatchQuality(file.lowerName, q);
        if (quality < 0) continue;
        std::wstring within = PathWithinFolder(walk.root, file.path);
        std::wstring lower = LowerAscii(within);
        ranked.push_back(Ranked{quality, std::move(within), std::move(lower), &file});
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.quality != b.quality) return a.quality < b.quality;
        if (a.lowerWithin != b.lowerWithin) return a.lowerWithin < b.lowerWithin;
        return a.within < b.within;
    });
    std::vector<QuickItem> items;
    items.reserve(ranked.size());
    for (const Ranked& r : ranked) {
        const std::wstring name = FileNameOf(r.file->path);
        std::wstring label = name;
        if (r.within != name) label += L"  \u2014  " + r.within;
        items.push_back(QuickItem{std::move(label), kQuickOpenFile, r.file->path});
    }
    return items;
}

std::vector<QuickItem> GotoLineItems(const std::wstring& afterColon) {
    const long long line = ParseLineNumber(afterColon);
    if (line < 1) return {InfoRow(MessageFor(MessageText::GotoLineRow, L"\u2026"))};
    const std::wstring number = std::to_wstring(line);
    return {QuickItem{MessageFor(MessageText::GotoLineRow, number), kQuickLine, number}};
}

// ---- drawing the list ----------------------------------------------------------------------------

std::vector<MatchSpan> MatchSpans(const std::wstring& label, const std::wstring& query) {
    if (query.empty() || label.empty()) return {};
    auto fold = [](wchar_t c) { return static_cast<wchar_t>(std::towlower(FoldAscii(c))); };
    std::wstring foldedLabel = label, foldedQuery = query;
    for (wchar_t& c : foldedLabel) c = fold(c);
    for (wchar_t& c : foldedQuery) c = fold(c);
    const size_t at = foldedLabel.find(foldedQuery);
    if (at != std::wstring::npos) return {MatchSpan{at, foldedQuery.size()}};
    std::vector<MatchSpan> spans;
    size_t next = 0;
    for (size_t i = 0; i < foldedLabel.size() && next < foldedQuery.size(); ++i) {
        if (foldedLabel[i] != foldedQuery[next]) continue;
        if (!spans.empty() && spans.back().start + spans.back().length == i)
            ++spans.back().length;
        else
            spans.push_back(MatchSpan{i, 1});
        ++next;
    }
    return next == foldedQuery.size() ? spans : std::vector<MatchSpan>{};
}

std::wstring HighlightQuery(int mode, const std::wstring& query) {
    if (mode == kQuickAnything && !query.empty()) {
        if (query[0] == L':') return L"";
        if (query[0] == L'@' || query[0] == L'#') return query.substr(1);
    }
    return query;
}

// ---- text in open tabs --------------------------------------------------------------------------

size_t FindFolded(std::string_view text, size_t from, std::string_view folded) {
    const size_t n = folded.size();
    if (n == 0 || text.size() < n || from > text.size() - n) return std::string_view::npos;
    const char* s = text.data();
    const char first = folded[0], last = folded[n - 1];
    // A lower-case letter matches both cases when the byte's 0x20 bit is set before comparing.
    const __m128i firstWanted = _mm_set1_epi8(first), lastWanted = _mm_set1_epi8(last);
    const __m128i firstFold = _mm_set1_epi8(IsLowerLetter(first) ? 0x20 : 0);
    const __m128i lastFold = _mm_set1_epi8(IsLowerLetter(last) ? 0x20 : 0);
    size_t i = from;
    for (; i + n - 1 + 16 <= text.size(); i += 16) {
        const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), firstFold);
        const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + n - 1)), lastFold);
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstWanted), _mm_cmpeq_epi8(b, lastWanted))));
        while (mask) {
            const unsigned bit = static_cast<unsigned>(LowestSetBit(mask));
            if (EqualFoldedBytes(s + i + bit, folded.data(), n)) return i + bit;
            mask &= mask - 1;
        }
    }
    for (; i + n <= text.size(); ++i) {
        if (EqualFoldedBytes(s + i, folded.data(), n)) return i;
    }
    return std::string_view::npos;
}

std::wstring LabelExcerpt(const std::wstring& line, size_t column, size_t length) {
    size_t start = 0, end = line.size();
    if (line.size() > kLabelContext) {
        column = std::min(column, line.size());
        start = column > kLabelLead ? column - kLabelLead : 0;
        if (length > kLabelContext - kLabelLead) start = column;  // a long match is shown from its start
        end = std::min(line.size(), start + kLabelContext);
        if (end - start < kLabelContext) start = end - kLabelContext;
        if (start > 0 && IsLowSurrogate(line[start])) ++start;
        if (end < line.size() && end > start && IsHighSurrogate(line[end - 1])) --end;
    }
    std::wstring out;
    out.reserve(end - start + 2);
    if (start > 0) out += L'\u2026';
    for (size_t i = start; i < end; ++i) out += (line[i] == L'\r' || line[i] == L'\n') ? L' ' : line[i];
    if (end < line.size()) out += L'\u2026';
    return out;
}

std::vector<QuickItem> TextListItems(const std::vector<TabText>& tabs, const std::wstring& query) {
    if (query.empty()) return {InfoRow(MessageFor(MessageText::QuickTypeQuery))};
    const std::string utf8 = WideToUtf8(query);
    const long long step = std::max<long long>(1, static_cast<long long>(utf8.size()));
    std::vector<QuickItem> items;
    for (const TabText& tab : tabs) {
        if (items.size() >= kTextListLimit) break;
        const long long searchEnd = std::clamp<long long>(tab.searchEnd, 0, static_cast<long long>(tab.text.size()));
        // The line of the last match, fetched and decoded once for all its matches; `unitsAt`
        // counts UTF-16 units up to `bytesAt`, moving forward only.
        TabLine line{-1, 0, 0};
        std::wstring lineText;
        size_t bytesAt = 0, unitsAt = 0;
        const std::wstring prefix = tab.title + L":";
        const std::wstring dataPrefix = kTabPrefix + std::to_wstring(tab.index) + kDataSeparator;
        long long pos = 0, matchEnd = 0;
        while (items.size() < kTextListLimit && pos < searchEnd && tab.find) {
            const long long at = tab.find(utf8, pos, searchEnd, matchEnd);
            if (at < 0 || at >= searchEnd) break;
            const auto m = static_cast<size_t>(at);
            if (line.number < 0 || at < line.start || at > line.end) {
                line = tab.lineAt ? tab.lineAt(at) : TabLine{0, 0, static_cast<long long>(tab.text.size())};
                const size_t start = static_cast<size_t>(std::clamp<long long>(line.start, 0, at));
                const size_t end =
                    static_cast<size_t>(std::clamp<long long>(line.end, at, static_cast<long long>(tab.text.size())));
                line.start = static_cast<long long>(start);
                lineText = Utf8ToWide(tab.text.data() + start, end - start);
                bytesAt = start;
                unitsAt = 0;
            }
            unitsAt += Utf16Units(tab.text.data() + bytesAt, m - bytesAt);
            bytesAt = m;
            const std::wstring number = std::to_wstring(line.number + 1);
            items.push_back(QuickItem{prefix + number + L": " + LabelExcerpt(lineText, unitsAt, query.size()),
                                      kQuickTabLine, dataPrefix + number});
            pos = matchEnd > at ? matchEnd : at + step;
        }
    }
    if (items.empty()) items.push_back(InfoRow(MessageFor(MessageText::QuickNoMatch)));
    return items;
}

// ---- picking ------------------------------------------------------------------------------------

long long ParseLineNumber(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        const int digit = text[i] - L'0';
        if (value > (LLONG_MAX - digit) / 10) {
            value = LLONG_MAX;  // saturated: the rest of the digits cannot bring it back
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

long long TargetLine(long long typed, long long lineCount) {
    if (typed < 1 || lineCount < 1) return -1;
    return std::min(typed, lineCount) - 1;
}

QuickPick DecidePick(int mode, const QuickItem* selected, const std::wstring& query, bool byEnter, int tabCount) {
    QuickPick pick;
    if (!selected) return pick;
    if (mode == kQuickPalette) {
        pick.kind = QuickPick::RunCommand;
        pick.command = selected->code;
        return pick;
    }
    if (selected->code == kQuickLine) {
        pick.kind = QuickPick::GotoLine;
        pick.line = ParseLineNumber(selected->data);
        return pick;
    }
    if (selected->code == kQuickTabLine) {
        const std::wstring& data = selected->data;
        const size_t split = data.find(kDataSeparator);
        const std::wstring where = data.substr(0, split);
        pick.line = split == std::wstring::npos ? 0 : ParseLineNumber(std::wstring_view(data).substr(split + 1));
        const bool tabPrefix = where.rfind(kTabPrefix, 0) == 0;
        if (tabPrefix && where.size() > 4) {
            const long long tab = ParseLineNumber(std::wstring_view(where).substr(4));
            if (tab < 0 || tab >= tabCount) return QuickPick{};
            pick.kind = QuickPick::ActivateTab;
            pick.tab = static_cast<int>(tab);
        } else if (!tabPrefix && !where.empty()) {
            pick.kind = QuickPick::OpenFile;
            pick.text = where;
        } else {
            pick.kind = QuickPick::GotoLine;
        }
        return pick;
    }
    if (byEnter && !query.empty() && query[0] == L':') {
        pick.kind = QuickPick::GotoLine;
        pick.line = ParseLineNumber(std::wstring_view(query).substr(1));
        return pick;
    }
    if (byEnter && !query.empty() && query[0] == L'@') {
        pick.text = LowerAscii(query.substr(1));
        if (!pick.text.empty()) pick.kind = QuickPick::FindWord;
        return pick;
    }
    if (selected->code == kQuickOpenFile) {
        pick.kind = QuickPick::OpenFile;
        pick.text = selected->data;
    }
    return pick;
}
