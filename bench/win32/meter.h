// The measuring window of one run: a warm-up, then a fixed time during which shapes,
// paints and blitted pixels are counted. Both loops report to it right after each paint
// they handled, the only moment when every shape stamped so far is known to be on screen.
#pragma once

#include <windows.h>

#include <cstdint>

#include "bench/win32/blit_counter.h"

struct MeterSnapshot {
    int64_t ticks = 0;
    int64_t cpu100ns = 0;  // user + kernel time of this process
    uint64_t shapes = 0;
    uint64_t paints = 0;
    BlitCounts blits;
};

class Meter {
public:
    Meter(double warmupSeconds, double measureSeconds);

    // Starts the warm-up clock (right after the window is created).
    void Begin();
    // After a paint was handled; `shapes` counts the shapes stamped so far and
    // `window` is the painted one, whose update region must be empty at the two snapshots.
    void AfterPaint(uint64_t shapes, HWND window);

    bool Started() const { return started_; }
    bool Done() const { return done_; }
    // True when past the measuring time plus a generous grace without finishing: the
    // loop never painted, and the run is abandoned.
    bool Overdue() const;

    double Seconds() const;
    // Processor time this process used during the measured time, in seconds.
    double CpuSeconds() const { return static_cast<double>(end.cpu100ns - start.cpu100ns) * 1e-7; }
    // False when a snapshot found shapes still waiting for their paint.
    bool KeptUp() const { return keptUp_; }

    MeterSnapshot start;
    MeterSnapshot end;

private:
    static int64_t Now();

    int64_t frequency_ = 1;
    int64_t warmupTicks_;
    int64_t measureTicks_;
    int64_t begin_ = 0;
    uint64_t paints_ = 0;
    bool started_ = false;
    bool done_ = false;
    bool keptUp_ = true;
    double warmupSeconds_;
    double measureSeconds_;
};
