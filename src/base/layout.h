#pragma once
// The main window's layout: every area's rectangle from the client size and what is shown.

#include "base/geometry.h"

struct LayoutInput {
    // The display scale has no default: every caller says which display it lays out for.
    explicit LayoutInput(int windowDpi) : dpi(windowDpi) {}
    int width = 0, height = 0;
    bool sidebarVisible = true, statusBarVisible = true, searchPanelOpen = false, focusMode = false;
    int searchPanelWidth = 300;  // design pixels
    int dpi;                     // the window's display scale; every measure below is scaled by it
};

struct LayoutRects {
    Rect caption, sidebarToggle, minimize, maximize, close, menuBar, toolbar, sidebar, tabBar, editor, vScroll, hScroll,
        statusBar, searchPanel;
};

// Fixed metrics of the main window in design pixels (96 dpi), shared with the painting code,
// which scales them by the window's dpi.
constexpr int kCaptionHeight = 32;
constexpr int kMenuBarHeight = 30;
constexpr int kToolbarHeight = 30;
constexpr int kTabBarHeight = 34;
constexpr int kStatusBarHeight = 24;
constexpr int kScrollBarSize = 12;
constexpr int kSidebarWidth = 220;
constexpr int kCaptionButtonWidth = 46;

LayoutRects ComputeLayout(const LayoutInput& in);

constexpr int kToolbarButtonCount = 17;
constexpr int kToolbarButtonSize = 24;  // height; buttons are 26 wide
Rect ToolbarButtonRect(const Rect& toolbar, int index, int dpi);
int ToolbarButtonAt(const Rect& toolbar, int x, int y, int dpi);  // 0..kToolbarButtonCount-1 or -1

struct SearchPanelLayout {
    Rect close, findBox, replaceBox, caseButton, wordButton, regexButton, allFilesButton, replaceButton,
        replaceAllButton, results;
    Rect findText, replaceText;  // relative to their edit box
};

// w x h is the search panel's own client size in pixels, fontHeight too.
SearchPanelLayout ComputeSearchPanelLayout(int w, int h, int fontHeight, int dpi);
