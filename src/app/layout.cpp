#include "app/layout.h"

#include <algorithm>

namespace {

Rect MakeRect(int x, int y, int width, int height) { return Rect{x, y, x + width, y + height}; }

// Vertically centres one line of text inside a 30-px edit box.
Rect TextRectInBox(int boxWidth, int fontHeight) {
    const int top = (30 - fontHeight) / 2;
    return Rect{0, top, boxWidth, top + fontHeight};
}

}  // namespace

LayoutRects ComputeLayout(const LayoutInput& in) {
    const int w = in.width;
    const int h = in.height;
    LayoutRects r;

    r.caption = Rect{0, 0, w, kCaptionHeight};
    r.close = Rect{w - kCaptionButtonWidth, 0, w, kCaptionHeight};
    r.maximize = Rect{w - 2 * kCaptionButtonWidth, 0, w - kCaptionButtonWidth, kCaptionHeight};
    r.minimize = Rect{w - 3 * kCaptionButtonWidth, 0, w - 2 * kCaptionButtonWidth, kCaptionHeight};
    r.sidebarToggle = Rect{w - 174, 3, w - 146, 29};

    const int menuTop = kCaptionHeight;
    const int toolbarTop = menuTop + kMenuBarHeight;
    const int tabTop = toolbarTop + kToolbarHeight;
    const int editorTop = tabTop + kTabBarHeight;
    r.menuBar = Rect{0, menuTop, w, toolbarTop};
    r.toolbar = Rect{0, toolbarTop, w, tabTop};
    r.tabBar = Rect{0, tabTop, w, editorTop};

    if (in.focusMode) {
        // Nothing but the text: no caption, menu bar, toolbar or tab bar (nor their buttons), and a
        // text column centred with wide margins from the top of the window to its bottom. The
        // horizontal bar is pushed below the client area so it is never seen, while the editor code
        // can still size it.
        r = LayoutRects{};
        const int margin = std::max(w / 8, 100);
        r.editor = Rect{margin, 0, w - margin, h};
        r.vScroll = Rect{w - margin, 0, w - margin + kScrollBarSize, h};
        r.hScroll = Rect{margin, h, w - margin, h + kScrollBarSize};
        return r;
    }

    const int sidebarRight = in.sidebarVisible ? kSidebarWidth : 0;
    const int bottom = in.statusBarVisible ? h - kStatusBarHeight : h;
    const int panelWidth = in.searchPanelOpen ? in.searchPanelWidth : 0;
    const int panelLeft = w - panelWidth;

    r.sidebar = Rect{0, tabTop, sidebarRight, bottom};
    r.tabBar.left = sidebarRight;
    r.tabBar.right = panelLeft;  // the open search panel runs from the tab bar's top: the tabs end at it
    r.editor = Rect{sidebarRight, editorTop, panelLeft - kScrollBarSize, bottom - kScrollBarSize};
    r.vScroll = Rect{panelLeft - kScrollBarSize, editorTop, panelLeft, bottom - kScrollBarSize};
    r.hScroll = Rect{sidebarRight, bottom - kScrollBarSize, panelLeft - kScrollBarSize, bottom};
    r.statusBar = Rect{0, bottom, w, h};
    r.searchPanel = Rect{panelLeft, tabTop, w, bottom};
    return r;
}

Rect ToolbarButtonRect(const Rect& toolbar, int index) {
    const int top = toolbar.top + (toolbar.Height() - kToolbarButtonSize) / 2;
    return MakeRect(toolbar.left + 4 + 28 * index, top, 26, kToolbarButtonSize);
}

int ToolbarButtonAt(const Rect& toolbar, int x, int y) {
    if (!toolbar.Contains(x, y)) return -1;  // a hidden toolbar has no buttons
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        if (ToolbarButtonRect(toolbar, i).Contains(x, y)) return i;
    }
    return -1;
}

SearchPanelLayout ComputeSearchPanelLayout(int w, int h, int fontHeight) {
    SearchPanelLayout p;
    p.close = MakeRect(w - 34, 3, 24, 24);

    const int row1 = 38;
    p.allFilesButton = MakeRect(w - 40, row1, 30, 30);
    p.regexButton = MakeRect(w - 78, row1, 30, 30);
    p.wordButton = MakeRect(w - 116, row1, 30, 30);
    p.caseButton = MakeRect(w - 154, row1, 30, 30);
    p.findBox = MakeRect(10, row1, std::max(w - 180, 80), 30);

    const int row2 = 76;
    p.replaceAllButton = MakeRect(w - 54, row2, 44, 30);
    p.replaceButton = MakeRect(w - 92, row2, 30, 30);
    p.replaceBox = MakeRect(10, row2, std::max(w - 118, 80), 30);

    // A panel narrower than its padding gets an empty (not inverted) results list.
    p.results = MakeRect(10, 114, std::max(w - 20, 0), std::max(h - 124, 0));

    p.findText = TextRectInBox(p.findBox.Width(), fontHeight);
    p.replaceText = TextRectInBox(p.replaceBox.Width(), fontHeight);
    return p;
}
