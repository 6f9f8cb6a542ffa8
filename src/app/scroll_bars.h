#pragma once
// The two scroll bars that the main window draws for the active tab, mapped to its editor (or to
// the hex view's rows).
#include <windows.h>

#include "app/scroll_geometry.h"

struct VerticalModel {
    long long total = 0, first = 0, visible = 1;
};

VerticalModel CurrentVerticalModel();
ScrollThumb CurrentVerticalThumb();
// Recomputes the longest-line width first when an edit marked it dirty.
ScrollThumb CurrentHorizontalThumb();

// A press inside a bar: starts a drag on the thumb or pages beside it.
void VerticalBarPress(int y);
void HorizontalBarPress(int x);
// Mouse moves while a thumb is being dragged.
void VerticalBarDrag(int y);
void HorizontalBarDrag(int x);

void RepaintScrollBars();
void PaintScrollBars(HDC dc);
