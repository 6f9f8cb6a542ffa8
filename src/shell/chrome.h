#pragma once
#include <windows.h>

#include "base/geometry.h"

// Recomputes the cached tab widths when the tab count, a title or the bar's left edge changed.
void UpdateTabLayout();
// Index of the tab under x, or -1 (also where a tab is scrolled out of view).
int TabAt(int x);
// Where tab `index` lies in the tab bar; empty for no such tab.
Rect TabRect(int index);
// The button at the tab strip's right end that lists every tab; shown when the tabs do not fit.
bool TabListButtonAt(int x, int y);
Rect TabListButtonRect();  // empty when there is none
// A wheel turn over the tab bar scrolls the strip; true when it moved.
bool ScrollTabBar(int delta);
// True when x lies on the close mark of tab `index`.
bool TabCloseMarkAt(int index, int x);
void PaintCaption(HDC dc);
void PaintToolbar(HDC dc);
void PaintTabBar(HDC dc);
// Releases the device context kept for measuring tab titles.
void ReleaseChromeResources();

// Side of a toolbar image in design pixels.
constexpr int kToolbarImageSize = 18;
// The toolbar images drawn for the main window's display scale (app.dpi), replacing any before.
void ReloadToolbarImages();
void ReleaseToolbarImages();
