#pragma once
// The contrast ratio of two colours (1 to 21) from their relative luminance, worked out here rather
// than by the program, so that the tests judge its colours on their own. Colours are COLORREF
// values: red in the lowest byte.
#include <algorithm>
#include <cmath>
#include <cstdint>

inline double Luminance(uint32_t colour) {
    const auto channel = [](uint32_t v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour & 0xFF) + 0.7152 * channel((colour >> 8) & 0xFF) +
           0.0722 * channel((colour >> 16) & 0xFF);
}

inline double Contrast(uint32_t a, uint32_t b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
