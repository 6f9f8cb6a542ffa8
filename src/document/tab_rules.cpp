#include "document/tab_rules.h"

#include <algorithm>
#include <climits>

#include "base/geometry.h"

namespace {

const wchar_t kSeparators[] = L"/\\";
const wchar_t kAppName[] = L"Tessary";

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// Decimal value of an all-digit string, or -1 when it is not below INT_MAX.
int ParseUntitledNumber(const std::wstring& digits) {
    long long value = 0;
    for (wchar_t c : digits) {
        value = value * 10 + (c - L'0');
        if (value >= INT_MAX) return -1;
    }
    return static_cast<int>(value);
}

}  // namespace

std::wstring FileNameOf(const std::wstring& path) {
    const auto pos = path.find_last_of(kSeparators);
    return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

int NextUntitledNumber(const std::vector<std::wstring>& titles, const std::wstring& word) {
    int largest = 0;
    for (const std::wstring& title : titles) {
        if (title.size() <= word.size() || title.compare(0, word.size(), word) != 0) continue;
        const auto digitsStart = title.find_first_not_of(L' ', word.size());
        if (digitsStart == std::wstring::npos) continue;
        const std::wstring digits = title.substr(digitsStart);
        if (digits.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        largest = std::max(largest, ParseUntitledNumber(digits));
    }
    return largest + 1;
}

std::wstring UntitledTitle(const std::wstring& word, int number) { return word + L" " + std::to_wstring(number); }

int ActiveIndexAfterClose(int active, int closed, int countBefore) {
    const int countAfter = countBefore - 1;
    if (countAfter <= 0) return -1;
    if (closed < active) return active - 1;
    if (closed == active) return std::min(active, countAfter - 1);
    return active;
}

std::wstring WindowTitleText(bool hasActive, const std::wstring& title, bool modified, const std::wstring& workspace) {
    if (!hasActive) return kAppName;
    return title + (modified ? L" \u2022" : L"") + L" \u2014 " + workspace;
}

std::wstring WorkspaceNameOf(const std::wstring& folderRoot) {
    std::wstring root = folderRoot;
    if (!root.empty() && IsSeparator(root.back())) root.pop_back();
    std::wstring name = FileNameOf(root);
    return name.empty() ? std::wstring(kAppName) : name;
}

int TabWidthForText(int textWidth, int dpi) {
    return static_cast<int>(std::clamp(static_cast<long long>(textWidth) + Scale(60, dpi),
                                       static_cast<long long>(Scale(180, dpi)),
                                       static_cast<long long>(Scale(320, dpi))));
}

std::vector<int> TabEdges(int left, const std::vector<int>& widths) {
    std::vector<int> edges;
    edges.reserve(widths.size() + 1);
    edges.push_back(left);
    for (int width : widths) edges.push_back(edges.back() + width);
    return edges;
}

int TabAt(const std::vector<int>& edges, int x) {
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        if (edges[i] <= x && x < edges[i + 1]) return static_cast<int>(i);
    }
    return -1;
}

bool TabCloseMarkHit(const std::vector<int>& edges, int index, int x, int dpi) {
    if (index < 0 || static_cast<size_t>(index) + 1 >= edges.size()) return false;
    const int right = edges[static_cast<size_t>(index) + 1];
    return right - Scale(18, dpi) <= x && x < right - Scale(6, dpi);
}

TabStrip LayOutTabStrip(const TabStripInput& in) {
    TabStrip strip;
    strip.viewLeft = in.left;
    strip.viewRight = std::max(in.left, in.right);
    strip.buttonLeft = strip.viewRight;
    long long natural = 0;
    for (int w : in.widths) natural += std::max(w, 0);
    std::vector<int> widths;
    widths.reserve(in.widths.size());
    if (natural <= strip.viewRight - strip.viewLeft) {
        for (int w : in.widths) widths.push_back(std::max(w, 0));
    } else {
        strip.buttonLeft = std::max(strip.viewLeft, strip.viewRight - std::max(in.buttonWidth, 0));
        strip.viewRight = strip.buttonLeft;
        const long long room = strip.viewRight - strip.viewLeft;
        // The largest cap on every width that fits the room, but never below minWidth.
        const auto capped = [&](long long cap) {
            long long sum = 0;
            for (int w : in.widths) sum += std::min<long long>(std::max(w, 0), cap);
            return sum;
        };
        long long low = std::max(in.minWidth, 0), high = 0;
        for (int w : in.widths) high = std::max<long long>(high, w);
        high = std::max(high, low);
        while (low < high) {
            const long long mid = (low + high + 1) / 2;
            if (capped(mid) <= room)
                low = mid;
            else
                high = mid - 1;
        }
        for (int w : in.widths) widths.push_back(static_cast<int>(std::min<long long>(std::max(w, 0), low)));
    }
    long long total = 0;
    for (int w : widths) total += w;
    const int room = strip.viewRight - strip.viewLeft;
    strip.maxScroll = static_cast<int>(std::max<long long>(0, total - room));
    int scroll = std::clamp(in.scroll, 0, strip.maxScroll);
    std::vector<long long> starts(widths.size() + 1, 0);
    for (size_t i = 0; i < widths.size(); ++i) starts[i + 1] = starts[i] + widths[i];
    if (in.revealActive && in.active >= 0 && static_cast<size_t>(in.active) < widths.size()) {
        const long long a = starts[static_cast<size_t>(in.active)], b = starts[static_cast<size_t>(in.active) + 1];
        if (b - scroll > room) scroll = static_cast<int>(b - room);
        if (a < scroll) scroll = static_cast<int>(a);  // a tab wider than the view shows its start
    }
    strip.scroll = scroll;
    strip.edges.reserve(starts.size());
    for (long long x : starts) strip.edges.push_back(static_cast<int>(strip.viewLeft + x - scroll));
    return strip;
}

int ScrollTabStrip(int scroll, int delta, int step) {
    const long long moved = static_cast<long long>(scroll) - static_cast<long long>(delta) * step / 120;
    return static_cast<int>(std::clamp<long long>(moved, 0, INT_MAX));
}
