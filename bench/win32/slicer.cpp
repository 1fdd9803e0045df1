#include "bench/win32/slicer.h"

#include "bench/win32/blit_counter.h"

namespace {

// Paints of a new slice that are not measured: the first may still show the previous
// loop's last shape.
constexpr int kSkippedPaints = 2;

int64_t Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

int64_t ProcessCpu100ns() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto value = [](const FILETIME& t) { return (int64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

}  // namespace

Slicer::Slicer(const std::string& cycle, int rounds, double sliceSeconds, double warmup)
    : cycle_(cycle), rounds_(rounds) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    frequency_ = f.QuadPart;
    sliceTicks_ = static_cast<int64_t>(sliceSeconds * static_cast<double>(frequency_));
    warmupTicks_ = static_cast<int64_t>(warmup * static_cast<double>(frequency_));
}

void Slicer::Begin() { begin_ = Now(); }

Slicer::Snapshot Slicer::Take(uint64_t shapes, bool atStart) const {
    // The clock is read last at the start and first at the end, so that the snapshots'
    // own calls fall outside the measured time.
    Snapshot s;
    if (!atStart) s.ticks = Now();
    s.cpu100ns = ProcessCpu100ns();
    if (atStart) s.ticks = Now();
    s.shapes = shapes;
    s.paints = paints_;
    s.blits = TheBlitCounts().calls;
    s.pixels = TheBlitCounts().pixels;
    return s;
}

void Slicer::Switch() {
    ++position_;
    switchPending_ = false;
    started_ = false;
    paintsInSlice_ = 0;
}

void Slicer::AfterPaint(uint64_t shapes, HWND window) {
    ++paints_;
    if (switchPending_ || Done()) return;
    if (position_ == 0) {
        // The warm-up: the window's first whole-screen paint and first bursts.
        if (Now() - begin_ >= warmupTicks_) switchPending_ = true;
        return;
    }
    if (!started_) {
        if (++paintsInSlice_ <= kSkippedPaints) return;
        // One extra platform call, only at the snapshots: nothing may be left unpainted.
        keptUp_ = GetUpdateRect(window, nullptr, FALSE) == FALSE;
        start_ = Take(shapes, true);
        started_ = true;
        TheBlitCounts().maxWidth = 0;
        return;
    }
    if (Now() - start_.ticks < sliceTicks_) return;
    const Snapshot end = Take(shapes, false);
    const bool keptUp = keptUp_ && GetUpdateRect(window, nullptr, FALSE) == FALSE;
    Slice slice;
    slice.mode = Current();
    slice.seconds = static_cast<double>(end.ticks - start_.ticks) / static_cast<double>(frequency_);
    slice.cpuSeconds = static_cast<double>(end.cpu100ns - start_.cpu100ns) * 1e-7;
    slice.shapes = end.shapes - start_.shapes;
    slice.paints = end.paints - start_.paints;
    slice.blits = end.blits - start_.blits;
    slice.pixels = end.pixels - start_.pixels;
    slice.maxBlitWidth = TheBlitCounts().maxWidth;
    slice.keptUp = keptUp;
    slices_.push_back(slice);
    switchPending_ = true;
}

bool Slicer::Overdue() const {
    const int64_t slices = int64_t{rounds_} * static_cast<int64_t>(cycle_.size());
    const double expected = static_cast<double>(warmupTicks_ + sliceTicks_ * slices);
    return static_cast<double>(Now() - begin_) > 3 * expected + 60.0 * static_cast<double>(frequency_);
}
