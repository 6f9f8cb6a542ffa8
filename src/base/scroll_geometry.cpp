#include "base/scroll_geometry.h"

#include <algorithm>
#include <climits>

#include "base/geometry.h"

namespace {

// floor(a * b / c) for 0 <= a, 0 <= b < c, without overflowing the product.
long long ScaledLength(long long a, long long b, long long c) {
    if (b == 0 || a <= LLONG_MAX / b) return a * b / c;
    return static_cast<long long>(static_cast<long double>(a) * b / c);
}

// Places a thumb of `length` on a track for a position `pos` in [0, range], range > 0.
ScrollThumb PlaceThumb(int trackStart, int trackLength, int length, long long pos, long long range) {
    ScrollThumb thumb;
    thumb.visible = true;
    thumb.length = length;
    const int travel = std::max(trackLength - length, 0);
    pos = std::clamp(pos, 0LL, range);
    const double fraction = static_cast<double>(pos) / static_cast<double>(range);
    const int offset = std::min(static_cast<int>(fraction * travel), travel);
    thumb.start = trackStart + offset;
    return thumb;
}

long long SaturatingAdd(long long a, long long b) {
    if (b > 0 && a > LLONG_MAX - b) return LLONG_MAX;
    if (b < 0 && a < LLONG_MIN - b) return LLONG_MIN;
    return a + b;
}

}  // namespace

ScrollThumb VerticalThumb(int trackStart, int trackLength, long long total, long long visible, long long first,
                          int dpi) {
    visible = std::max(visible, 0LL);
    if (total <= visible) return ScrollThumb{};
    const long long track = std::max(trackLength, 0);
    const long long scaled = ScaledLength(track, visible, total);
    const int length = static_cast<int>(std::max<long long>(Scale(kMinThumbLength, dpi), scaled));
    return PlaceThumb(trackStart, static_cast<int>(track), length, first, total - visible);
}

ScrollThumb HorizontalThumb(int trackStart, int trackLength, long long contentWidth, long long offset, int dpi) {
    const long long track = std::max(trackLength, 0);
    if (track >= contentWidth) return ScrollThumb{};
    const long long scaled = ScaledLength(track, track, contentWidth);
    const int length = static_cast<int>(std::max<long long>(Scale(kMinThumbLength, dpi), scaled));
    return PlaceThumb(trackStart, static_cast<int>(track), length, offset, contentWidth - track);
}

ScrollThumb ListThumb(int viewLength, long long content, long long scroll, int dpi) {
    if (content <= viewLength || viewLength <= 0) return ScrollThumb{};
    const int inset = Scale(8, dpi);
    ScrollThumb thumb;
    thumb.visible = true;
    thumb.length = std::max(Scale(20, dpi), static_cast<int>(static_cast<long long>(viewLength - 2 * inset) *
                                                              viewLength / content));
    const double fraction = static_cast<double>(scroll) / static_cast<double>(content - viewLength);
    thumb.start = inset + static_cast<int>(fraction * (viewLength - 2 * inset - thumb.length));
    return thumb;
}

int ListDragScroll(int mouse, int viewLength, long long content, int thumbLength, int dpi) {
    const int inset = Scale(8, dpi);
    const int travel = viewLength - 2 * inset - thumbLength;
    const long long range = content - viewLength;
    if (range <= 0 || travel <= 0) return 0;
    const double fraction = std::clamp(static_cast<double>(mouse - thumbLength / 2 - inset) / travel, 0.0, 1.0);
    return static_cast<int>(std::min<double>(fraction * static_cast<double>(range), INT_MAX));
}

long long DragPosition(int mouse, int trackStart, int trackLength, int thumbLength, long long range) {
    if (trackLength <= thumbLength || range <= 0) return 0;
    const double along = static_cast<double>(mouse) - thumbLength / 2 - trackStart;
    const double fraction = std::clamp(along / (static_cast<double>(trackLength) - thumbLength), 0.0, 1.0);
    const double position = fraction * static_cast<double>(range);
    // (double)range may round up past LLONG_MAX; never convert a value that large.
    if (position >= static_cast<double>(range)) return range;
    return static_cast<long long>(position);
}

long long PageScroll(long long first, long long pageSize, int direction, long long total, long long visible) {
    visible = std::max(visible, 0LL);
    const long long maxFirst = total > visible ? total - visible : 0;
    if (direction == 0 || pageSize <= 0) return std::clamp(first, 0LL, maxFirst);

    const long long steps = direction < 0 ? -static_cast<long long>(direction) : direction;
    const long long distance = pageSize > LLONG_MAX / steps ? LLONG_MAX : pageSize * steps;
    const long long moved = SaturatingAdd(first, direction < 0 ? -distance : distance);
    return std::clamp(moved, 0LL, maxFirst);
}

long long HexRowCount(unsigned long long byteCount) {
    const unsigned long long rows = byteCount / 16 + (byteCount % 16 != 0 ? 1 : 0);
    return static_cast<long long>(std::min<unsigned long long>(rows, INT_MAX));
}

int LineNumberMarginWidth(long long lineCount, int digitWidth) {
    int digits = 1;
    for (long long n = lineCount; n >= 10; n /= 10) ++digits;
    const long long width = digitWidth < 1 ? 10 : digitWidth;
    return static_cast<int>(std::min<long long>(width * digits + 10, INT_MAX));
}
