#include "workflow/progress.h"

#include <windows.h>

#include <algorithm>

#include "base/app_state.h"
#include "base/change_notice.h"

int ProgressToDraw(ProgressClock& clock, uint64_t nowMs, uint64_t done, uint64_t total) {
    if (total == 0 || nowMs - clock.startMs < kProgressDelayMs) return -1;
    const int percent = static_cast<int>(std::min(done, total) * 100 / total);
    if (percent == clock.shown) return -1;
    clock.shown = percent;
    return percent;
}

ProgressDisplay::ProgressDisplay() { clock.startMs = GetTickCount64(); }

ProgressDisplay::~ProgressDisplay() {
    if (clock.shown < 0) return;
    app.progressPercent = -1;
    NoteChange(kChangeStatusBar);
}

void ProgressDisplay::Report(uint64_t done, uint64_t total) {
    const int percent = ProgressToDraw(clock, GetTickCount64(), done, total);
    if (percent < 0) return;
    app.progressPercent = percent;
    NoteChange(kChangeStatusBarNow);
}
