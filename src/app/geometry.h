#pragma once

// Client-area rectangle in pixels; right and bottom are exclusive.
// Deliberately free of platform headers so the layout logic can be unit-tested anywhere.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return Width() <= 0 || Height() <= 0; }
    bool Contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
};

inline bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
