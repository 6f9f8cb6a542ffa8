#pragma once

// Thumb position and length of the editor's own scroll bars, plus the small numeric
// rules around scrolling. Every function tolerates degenerate input (tiny tracks,
// positions out of range, negative sizes) without dividing by zero.

struct ScrollThumb {
    bool visible = false;
    int start = 0;  // absolute coordinate, same space as trackStart
    int length = 0;
};

constexpr int kMinThumbLength = 24;  // design pixels, scaled by `dpi` below

// Lines: shown only when total > visible. first is clamped to [0, total - visible].
// The thumb never starts before the track, and never runs past its end unless the
// track is shorter than the minimum thumb, in which case it starts at trackStart.
ScrollThumb VerticalThumb(int trackStart, int trackLength, long long total, long long visible, long long first,
                          int dpi);

// Pixels: shown only when trackLength < contentWidth. offset is clamped like first above.
ScrollThumb HorizontalThumb(int trackStart, int trackLength, long long contentWidth, long long offset, int dpi);

// The thin thumb of the panels' own lists (search results, sidebar) along a view of `viewLength`
// showing `content` pixels from `scroll`: none while the content fits; otherwise at least 20 design
// pixels long, moving between 8 design pixels from either end of the view.
ScrollThumb ListThumb(int viewLength, long long content, long long scroll, int dpi);
// The scroll position for a list thumb of `thumbLength` dragged by its centre to `mouse`.
int ListDragScroll(int mouse, int viewLength, long long content, int thumbLength, int dpi);

// Scroll position in [0, range] for a thumb dragged by its centre to `mouse`.
// A thumb that fills the track has no travel, so there is nothing to map the mouse onto;
// the result is then 0, which is also what the thumb (pinned at trackStart) shows.
long long DragPosition(int mouse, int trackStart, int trackLength, int thumbLength, long long range);

// first + direction * pageSize, clamped to [0, max(0, total - visible)]. Saturates instead of overflowing.
long long PageScroll(long long first, long long pageSize, int direction, long long total, long long visible);

// Rows of 16 bytes in the hex view; capped at 2^31 - 1 so row numbers fit in an int.
long long HexRowCount(unsigned long long byteCount);

// Width of the line-number margin: room for every digit of lineCount plus 10 px of padding.
// A digitWidth below 1 (font not measured yet) counts as 10.
int LineNumberMarginWidth(long long lineCount, int digitWidth);
