#include "base/layout.h"

#include <algorithm>

namespace {

Rect MakeRect(int x, int y, int width, int height) { return Rect{x, y, x + width, y + height}; }

// Vertically centres one line of text inside an edit box `boxHeight` pixels tall.
Rect TextRectInBox(int boxWidth, int boxHeight, int fontHeight) {
    const int top = (boxHeight - fontHeight) / 2;
    return Rect{0, top, boxWidth, top + fontHeight};
}

}  // namespace

LayoutRects ComputeLayout(const LayoutInput& in) {
    const int w = in.width;
    const int h = in.height;
    const auto px = [&in](int design) { return Scale(design, in.dpi); };
    // Every edge is one design distance scaled (not a sum of scaled parts), so that it lies within
    // half a pixel of the exact scaled edge.
    const int captionHeight = px(kCaptionHeight);
    const int scrollBar = px(kScrollBarSize);
    LayoutRects r;

    r.caption = Rect{0, 0, w, captionHeight};
    r.close = Rect{w - px(kCaptionButtonWidth), 0, w, captionHeight};
    r.maximize = Rect{w - px(2 * kCaptionButtonWidth), 0, w - px(kCaptionButtonWidth), captionHeight};
    r.minimize = Rect{w - px(3 * kCaptionButtonWidth), 0, w - px(2 * kCaptionButtonWidth), captionHeight};
    r.sidebarToggle = Rect{w - px(174), px(3), w - px(146), px(29)};

    const int menuTop = captionHeight;
    const int toolbarTop = px(kCaptionHeight + kMenuBarHeight);
    const int tabTop = px(kCaptionHeight + kMenuBarHeight + kToolbarHeight);
    const int editorTop = px(kCaptionHeight + kMenuBarHeight + kToolbarHeight + kTabBarHeight);
    r.menuBar = Rect{0, menuTop, w, toolbarTop};
    r.toolbar = Rect{0, toolbarTop, w, tabTop};
    r.tabBar = Rect{0, tabTop, w, editorTop};

    if (in.focusMode) {
        // Nothing but the text: no caption, menu bar, toolbar or tab bar (nor their buttons), and a
        // text column centred with wide margins from the top of the window to its bottom. The
        // horizontal bar is pushed below the client area so it is never seen, while the editor code
        // can still size it.
        r = LayoutRects{};
        const int margin = std::max(w / 8, px(100));
        r.editor = Rect{margin, 0, w - margin, h};
        r.vScroll = Rect{w - margin, 0, w - margin + scrollBar, h};
        r.hScroll = Rect{margin, h, w - margin, h + scrollBar};
        return r;
    }

    const int sidebarRight = in.sidebarVisible ? px(kSidebarWidth) : 0;
    const int bottom = in.statusBarVisible ? h - px(kStatusBarHeight) : h;
    const int panelWidth = in.searchPanelOpen ? px(in.searchPanelWidth) : 0;
    const int panelLeft = w - panelWidth;

    r.sidebar = Rect{0, tabTop, sidebarRight, bottom};
    r.tabBar.left = sidebarRight;
    r.tabBar.right = panelLeft;  // the open search panel runs from the tab bar's top: the tabs end at it
    r.editor = Rect{sidebarRight, editorTop, panelLeft - scrollBar, bottom - scrollBar};
    r.vScroll = Rect{panelLeft - scrollBar, editorTop, panelLeft, bottom - scrollBar};
    r.hScroll = Rect{sidebarRight, bottom - scrollBar, panelLeft - scrollBar, bottom};
    r.statusBar = Rect{0, bottom, w, h};
    r.searchPanel = Rect{panelLeft, tabTop, w, bottom};
    return r;
}

Rect ToolbarButtonRect(const Rect& toolbar, int index, int dpi) {
    const int height = Scale(kToolbarButtonSize, dpi);
    const int top = toolbar.top + (toolbar.Height() - height) / 2;
    return MakeRect(toolbar.left + Scale(4 + 28 * index, dpi), top, Scale(26, dpi), height);
}

int ToolbarButtonAt(const Rect& toolbar, int x, int y, int dpi) {
    if (!toolbar.Contains(x, y)) return -1;  // a hidden toolbar has no buttons
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        if (ToolbarButtonRect(toolbar, i, dpi).Contains(x, y)) return i;
    }
    return -1;
}

SearchPanelLayout ComputeSearchPanelLayout(int w, int h, int fontHeight, int dpi) {
    const auto px = [dpi](int design) { return Scale(design, dpi); };
    // Measures from the right edge are scaled as distances, so the controls keep their sizes and
    // gaps whatever the panel's width.
    const auto fromRight = [&](int design, int y, int width, int height) {
        return MakeRect(w - px(design), y, px(width), px(height));
    };
    SearchPanelLayout p;
    p.close = fromRight(34, px(3), 24, 24);

    const int row1 = px(38);
    p.allFilesButton = fromRight(40, row1, 30, 30);
    p.regexButton = fromRight(78, row1, 30, 30);
    p.wordButton = fromRight(116, row1, 30, 30);
    p.caseButton = fromRight(154, row1, 30, 30);
    p.findBox = MakeRect(px(10), row1, std::max(w - px(180), px(80)), px(30));

    const int row2 = px(76);
    p.replaceAllButton = fromRight(54, row2, 44, 30);
    p.replaceButton = fromRight(92, row2, 30, 30);
    p.replaceBox = MakeRect(px(10), row2, std::max(w - px(118), px(80)), px(30));

    // A panel narrower than its padding gets an empty (not inverted) results list.
    p.results = MakeRect(px(10), px(114), std::max(w - px(20), 0), std::max(h - px(124), 0));

    p.findText = TextRectInBox(p.findBox.Width(), p.findBox.Height(), fontHeight);
    p.replaceText = TextRectInBox(p.replaceBox.Width(), p.replaceBox.Height(), fontHeight);
    return p;
}
