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

// The display scale. Every pixel measure of the interface is a design value at 96 dots per inch;
// Scale turns it into pixels of a display at `dpi`, rounding half away from zero like MulDiv, so at
// 96 it is the identity. Unscale turns display pixels back into design pixels.
constexpr int kDesignDpi = 96;

inline int Scale(int designPixels, int dpi) {
    if (dpi <= 0 || dpi == kDesignDpi) return designPixels;
    const long long n = static_cast<long long>(designPixels) * dpi;
    return static_cast<int>(n >= 0 ? (n + kDesignDpi / 2) / kDesignDpi : -((-n + kDesignDpi / 2) / kDesignDpi));
}

inline Rect Scale(const Rect& design, int dpi) {
    return Rect{Scale(design.left, dpi), Scale(design.top, dpi), Scale(design.right, dpi), Scale(design.bottom, dpi)};
}

inline int Unscale(int pixels, int dpi) {
    if (dpi <= 0 || dpi == kDesignDpi) return pixels;
    const long long n = static_cast<long long>(pixels) * kDesignDpi;
    return static_cast<int>(n >= 0 ? (n + dpi / 2) / dpi : -((-n + dpi / 2) / dpi));
}
