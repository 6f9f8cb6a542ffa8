#pragma once
// Which part of the main window a point falls on: frame edges and corners for resizing, the caption
// for moving, the client otherwise.

#include "base/layout.h"

enum class FrameHit { Client, Caption, Left, Right, Bottom, BottomLeft, BottomRight };

// x, y in client coordinates of a W x H window laid out as `r` for `dpi`.
FrameHit FrameHitTest(const LayoutRects& r, int W, int H, int x, int y, bool maximizedOrFullScreen, int dpi);

// Caption button ids.
constexpr int kCaptionMinimize = 1;
constexpr int kCaptionMaximize = 2;
constexpr int kCaptionClose = 3;
constexpr int kCaptionSidebarToggle = 5;

Rect CaptionButtonRect(const LayoutRects& r, int id);     // empty Rect for unknown ids
int CaptionButtonAt(const LayoutRects& r, int x, int y);  // a kCaption* id, or 0
