#pragma once
// The two scroll bars that the main window draws for the active tab, mapped to its editor (or to
// the hex view's rows).
#include <windows.h>

#include "base/editor.h"
#include "base/scroll_geometry.h"
#include "document/line_lengths.h"

struct VerticalModel {
    long long total = 0, first = 0, visible = 1;
};

VerticalModel CurrentVerticalModel();
ScrollThumb CurrentVerticalThumb();
// The width of the longest line comes from the active tab's line-length tally, measured once
// per text and then kept up to date by FollowLineLengths.
ScrollThumb CurrentHorizontalThumb();

// Moves the lines an edit touches out of the tally (on the component's before-insert and
// before-delete notifications) and back in (on the insert and delete notifications that follow),
// so that the longest line is known without measuring the others. `ed` is the editor whose
// notification `n` is.
void FollowLineLengths(LineLengthTally& tally, HWND ed, const editor::NotifyHeader& n);

// A press inside a bar: starts a drag on the thumb or pages beside it.
void VerticalBarPress(int y);
void HorizontalBarPress(int x);
// Mouse moves while a thumb is being dragged.
void VerticalBarDrag(int y);
void HorizontalBarDrag(int x);

void RepaintScrollBars();
void PaintScrollBars(HDC dc);
