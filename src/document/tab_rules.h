#pragma once
// Naming and tab-strip rules for open documents, kept free of window code.
#include <string>
#include <vector>

// Text after the last '/' or '\\'; the whole path when it has no separator.
std::wstring FileNameOf(const std::wstring& path);

// One more than the largest N among titles "word<spaces>N"; 1 when there is none.
// Numbers too large for an int (or equal to INT_MAX, which has no successor) are ignored.
int NextUntitledNumber(const std::vector<std::wstring>& titles, const std::wstring& word);
std::wstring UntitledTitle(const std::wstring& word, int number);

// Active tab index after tab `closed` is removed from `countBefore` tabs; -1 when none remain.
int ActiveIndexAfterClose(int active, int closed, int countBefore);

// "Tessary" with no active tab, else "title[ •] — workspace".
std::wstring WindowTitleText(bool hasActive, const std::wstring& title, bool modified, const std::wstring& workspace);

// Last component of the open folder; "Tessary" when no folder is open (or it has no name, e.g. "/").
std::wstring WorkspaceNameOf(const std::wstring& folderRoot);

// Tab strip geometry in pixels of a display at `dpi` (the design measures are for 96).
int TabWidthForText(int textWidth, int dpi);                            // clamp(textWidth + 60, 180, 320) at 96
std::vector<int> TabEdges(int left, const std::vector<int>& widths);    // widths.size() + 1 edges from left
int TabAt(const std::vector<int>& edges, int x);                        // tab under x, or -1
bool TabCloseMarkHit(const std::vector<int>& edges, int index, int x, int dpi);  // x on its close mark

// The tab strip over the bar from `left` to `right`. Tabs that all fit keep their measured widths.
// Otherwise the list button takes the bar's right end and the tabs shrink, the widest first,
// towards `minWidth` (a tab narrower than that by itself keeps its width); when even that does not
// fit, the strip scrolls. `scroll` is how far it was scrolled (pixels); with `revealActive` it moves
// as little as it must to show the whole active tab.
struct TabStripInput {
    int left = 0, right = 0;
    std::vector<int> widths;  // measured, one per tab
    int minWidth = 0;
    int buttonWidth = 0;
    int active = -1;
    int scroll = 0;
    bool revealActive = true;
};
struct TabStrip {
    std::vector<int> edges;           // widths.size() + 1 x positions, scrolled: some lie outside the view
    int viewLeft = 0, viewRight = 0;  // the part of the bar that shows tabs
    int buttonLeft = 0;               // the list button from buttonLeft to the bar's right; none when equal
    int scroll = 0;                   // clamped to what the tabs allow
    int maxScroll = 0;
    bool HasButton(int right) const { return buttonLeft < right; }
};
TabStrip LayOutTabStrip(const TabStripInput& in);
// The scroll after a wheel turn of `delta` (120 a notch, positive away from the user: towards the
// first tab), `step` pixels a notch.
int ScrollTabStrip(int scroll, int delta, int step);
