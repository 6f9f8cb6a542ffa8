#include "search/search_model.h"

#include "base/geometry.h"

#include <algorithm>

#include "base/scroll_geometry.h"
#include "base/strings.h"

int SearchFlagWord(bool matchCase, bool wholeWord, bool regex) {
    return (matchCase ? kFindMatchCase : 0) | (wholeWord ? kFindWholeWord : 0) | (regex ? kFindRegex : 0);
}

std::vector<HitGroup> GroupHits(const std::vector<SearchHit>& hits, const std::vector<HitGroup>& previous) {
    std::vector<HitGroup> groups;
    for (size_t i = 0; i < hits.size();) {
        size_t end = i + 1;
        while (end < hits.size() && hits[end].docIndex == hits[i].docIndex && hits[end].path == hits[i].path) ++end;
        HitGroup group;
        group.label = hits[i].title.empty() ? hits[i].path : hits[i].title;
        group.first = static_cast<int>(i);
        group.count = static_cast<int>(end - i);
        for (const HitGroup& old : previous) {
            if (old.label == group.label) {
                group.collapsed = old.collapsed;
                break;
            }
        }
        groups.push_back(std::move(group));
        i = end;
    }
    return groups;
}

std::vector<ResultRow> BuildResultRows(const std::vector<SearchHit>& hits, const std::vector<HitGroup>& groups,
                                       bool summary) {
    std::vector<ResultRow> rows;
    if (hits.empty() && !summary) return rows;
    rows.push_back(ResultRow{kRowSummary, -1, -1});
    for (size_t g = 0; g < groups.size(); ++g) {
        const int group = static_cast<int>(g);
        rows.push_back(ResultRow{kRowHeader, group, -1});
        if (groups[g].collapsed) continue;
        for (int h = groups[g].first; h < groups[g].first + groups[g].count; ++h)
            rows.push_back(ResultRow{kRowHit, group, h});
    }
    return rows;
}

std::wstring SearchSummaryText(int language, const SearchOutcome& outcome) {
    std::wstring text;
    if (outcome.invalidPattern) {
        text = LocalizedTextFor(language, StringTable::SearchTexts, 6);
        const size_t at = text.find(L"%d");
        if (at != std::wstring::npos) text.replace(at, 2, std::to_wstring(outcome.errorPosition));
        return text + L" " + outcome.errorMessage;
    }
    if (outcome.hits == 0) {
        text = LocalizedTextFor(language, StringTable::SearchTexts, 5);
    } else {
        const auto hits = static_cast<long long>(outcome.hits), files = static_cast<long long>(outcome.files);
        text = LocalizedTextFor(language, StringTable::SearchTexts, 3);
        const std::wstring pieces[2] = {CountedText(language, StringTable::SearchTexts, 7, hits),
                                        CountedText(language, StringTable::SearchTexts, 10, files)};
        for (int i = 0; i < 2; ++i) {
            const std::wstring mark = i == 0 ? L"%1" : L"%2";
            const size_t at = text.find(mark);
            if (at != std::wstring::npos) text.replace(at, 2, pieces[i]);
        }
    }
    if (outcome.stopped) text += std::wstring(L" \u2014 ") + LocalizedTextFor(language, StringTable::SearchTexts, 4);
    return text;
}

namespace {

void AppendHitLine(std::wstring& out, const SearchHit& hit) {
    out += hit.path.empty() ? hit.title : hit.path;
    out += L':';
    out += std::to_wstring(hit.line);
    out += L": ";
    out += hit.lineText;
    out += L"\r\n";
}

}  // namespace

std::wstring ResultsCopyText(const std::vector<SearchHit>& hits, const std::vector<ResultRow>& rows, int selAnchor,
                             int selEnd) {
    std::wstring out;
    if (hits.empty()) return out;
    if (selAnchor < 0 || selEnd < 0) {
        for (const SearchHit& hit : hits) AppendHitLine(out, hit);
        return out;
    }
    const int last = std::min(std::max(selAnchor, selEnd), static_cast<int>(rows.size()) - 1);
    for (int r = std::min(selAnchor, selEnd); r <= last; ++r) {
        const ResultRow& row = rows[static_cast<size_t>(r)];
        if (row.kind == kRowHit && row.hit >= 0 && row.hit < static_cast<int>(hits.size()))
            AppendHitLine(out, hits[static_cast<size_t>(row.hit)]);
    }
    return out;
}

std::wstring ConvertReplacement(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const bool groupReference =
            text[i] == L'$' && i + 1 < text.size() && text[i + 1] >= L'0' && text[i + 1] <= L'9';
        out += groupReference ? L'\\' : text[i];
    }
    return out;
}

HighlightSpan HitHighlight(const std::wstring& lineText, int column, int matchLength) {
    size_t n = lineText.size();
    while (n > 0 && (lineText[n - 1] == L'\r' || lineText[n - 1] == L'\n')) --n;
    HighlightSpan span;
    span.length = static_cast<int>(n);
    span.start = std::min(span.length, std::max(0, column));
    span.count = matchLength;
    if (!(matchLength >= 0 && static_cast<long long>(span.start) + matchLength <= span.length))
        span.count = span.length - span.start;
    return span;
}

namespace {

long long ContentHeight(int rowCount, int dpi) {
    return static_cast<long long>(rowCount) * Scale(kResultRowHeight, dpi);
}
int TextViewWidth(int width, int dpi) { return std::max(0, width - Scale(70, dpi)); }
int HorizontalRange(int maxTextWidth, int width, int dpi) {
    return maxTextWidth + Scale(48, dpi) - TextViewWidth(width, dpi);
}
double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

}  // namespace

int ClampResultScrollY(int scrollY, int rowCount, int height, int dpi) {
    const long long limit = std::max<long long>(0, ContentHeight(rowCount, dpi) - height);
    return static_cast<int>(std::clamp<long long>(scrollY, 0, limit));
}

int ClampResultScrollX(int scrollX, int maxTextWidth, int width, int dpi) {
    return std::max(0, std::min(scrollX, std::max(0, HorizontalRange(maxTextWidth, width, dpi))));
}

Thumb VerticalThumb(int rowCount, int height, int scrollY, int dpi) {
    const ScrollThumb thumb = ListThumb(height, ContentHeight(rowCount, dpi), scrollY, dpi);
    return Thumb{thumb.visible, thumb.start, thumb.length};
}

Thumb HorizontalThumb(int maxTextWidth, int width, int scrollX, int dpi) {
    Thumb t;
    const int q = maxTextWidth + Scale(48, dpi);
    const int range = HorizontalRange(maxTextWidth, width, dpi);
    if (range < 1 || q <= 0) return t;
    const int margins = Scale(16, dpi);
    t.shown = true;
    t.length = std::max(Scale(20, dpi),
                        static_cast<int>(static_cast<long long>(TextViewWidth(width, dpi)) * (width - margins) / q));
    const double fraction = static_cast<double>(scrollX) / range;
    t.start = Scale(2, dpi) + static_cast<int>(fraction * (width - margins - t.length));
    return t;
}

int ScrollYForThumbDrag(int y, int rowCount, int height, int dpi) {
    const long long content = ContentHeight(rowCount, dpi);
    return ListDragScroll(y, height, content, ListThumb(height, content, 0, dpi).length, dpi);
}

int ScrollXForThumbDrag(int x, int maxTextWidth, int width, int dpi) {
    const Thumb t = HorizontalThumb(maxTextWidth, width, 0, dpi);
    const int travel = width - Scale(16, dpi) - t.length;
    if (!t.shown || travel <= 0) return 0;
    const double fraction = Clamp01(static_cast<double>(x - t.length / 2 - Scale(2, dpi)) / travel);
    return static_cast<int>(fraction * HorizontalRange(maxTextWidth, width, dpi));
}

int ResultRowAt(int y, int scrollY, int rowCount, int dpi) {
    const long long offset = static_cast<long long>(scrollY) + y;
    if (offset < 0) return -1;
    const long long row = offset / Scale(kResultRowHeight, dpi);
    return row < rowCount ? static_cast<int>(row) : -1;
}

int ScrollToShowRow(int row, int scrollY, int height, int dpi) {
    const int rowHeight = Scale(kResultRowHeight, dpi);
    const int top = row * rowHeight;
    scrollY = std::min(scrollY, top);
    if (top + rowHeight > scrollY + height) scrollY = top + rowHeight - height;
    return scrollY;
}

int PanelWidthForDrag(int mainWidth, int sidebarWidth, int x) {
    return std::min(std::max(mainWidth - sidebarWidth - 312, 260), std::max(mainWidth - x, 240));
}

std::wstring FlattenPastedText(const std::wstring& text, const std::wstring& lineBreak) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r' && text[i] != L'\n') {
            out += text[i];
            continue;
        }
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        out += lineBreak;
    }
    return out;
}

unsigned SearchRefreshDelayMs(long long documentBytes) {
    constexpr long long kBaseMs = 300, kMaxMs = 3000;
    const long long extra = documentBytes > 0 ? documentBytes / 4096 : 0;  // a millisecond per 4 KiB
    return static_cast<unsigned>(std::min(kMaxMs, kBaseMs + extra));
}
