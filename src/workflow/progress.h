#pragma once
// The progress of a long load or save, shown in the status bar while the interface thread is busy
// with it. The bar is drawn straight to the window between pieces of the work; no message is
// dispatched meanwhile, so nothing can re-enter the program.
#include <cstdint>

// When to draw: work done within half a second shows nothing; longer work shows each new whole
// percentage.
constexpr uint64_t kProgressDelayMs = 500;
struct ProgressClock {
    uint64_t startMs = 0;
    int shown = -1;  // the percentage drawn last, -1 while none has been
};

// The percentage to draw for `done` of `total` at `nowMs`, or -1 when there is nothing new to draw.
int ProgressToDraw(ProgressClock& clock, uint64_t nowMs, uint64_t done, uint64_t total);

// Shows the progress of one piece of work from its start to its end (the destructor takes it off
// the bar again).
struct ProgressDisplay {
    ProgressDisplay();
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;
    void Report(uint64_t done, uint64_t total);

    ProgressClock clock;
};
