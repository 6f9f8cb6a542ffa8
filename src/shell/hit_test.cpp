#include "shell/hit_test.h"

namespace {

constexpr int kBorder = 6;  // design pixels
constexpr int kCaptionIds[] = {kCaptionMinimize, kCaptionMaximize, kCaptionClose, kCaptionSidebarToggle};

}  // namespace

FrameHit FrameHitTest(const LayoutRects& r, int W, int H, int x, int y, bool maximizedOrFullScreen, int dpi) {
    // The caption row takes priority over the side borders so the top corners drag the
    // window instead of resizing it; there is no top sizing border at all.
    if (y < r.caption.bottom) return CaptionButtonAt(r, x, y) != 0 ? FrameHit::Client : FrameHit::Caption;
    if (maximizedOrFullScreen) return FrameHit::Client;

    const int border = Scale(kBorder, dpi);
    const bool nearBottom = y > H - border;
    if (x < border) return nearBottom ? FrameHit::BottomLeft : FrameHit::Left;
    if (x > W - border) return nearBottom ? FrameHit::BottomRight : FrameHit::Right;
    if (nearBottom) return FrameHit::Bottom;
    return FrameHit::Client;
}

Rect CaptionButtonRect(const LayoutRects& r, int id) {
    switch (id) {
        case kCaptionMinimize: return r.minimize;
        case kCaptionMaximize: return r.maximize;
        case kCaptionClose: return r.close;
        case kCaptionSidebarToggle: return r.sidebarToggle;
        default: return Rect{};
    }
}

int CaptionButtonAt(const LayoutRects& r, int x, int y) {
    for (int id : kCaptionIds) {
        if (CaptionButtonRect(r, id).Contains(x, y)) return id;
    }
    return 0;
}
