#include "bench/win32/meter.h"

Meter::Meter(double warmupSeconds, double measureSeconds)
    : warmupTicks_(0), measureTicks_(0), warmupSeconds_(warmupSeconds), measureSeconds_(measureSeconds) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    frequency_ = f.QuadPart;
    warmupTicks_ = static_cast<int64_t>(warmupSeconds_ * static_cast<double>(frequency_));
    measureTicks_ = static_cast<int64_t>(measureSeconds_ * static_cast<double>(frequency_));
}

int64_t Meter::Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

namespace {
int64_t ProcessCpu100ns() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto value = [](const FILETIME& t) { return (int64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}
}  // namespace

void Meter::Begin() { begin_ = Now(); }

void Meter::AfterPaint(uint64_t shapes, HWND window) {
    ++paints_;
    if (done_) return;
    const int64_t now = Now();
    const bool take = !started_ ? now - begin_ >= warmupTicks_ : now - start.ticks >= measureTicks_;
    if (!take) return;
    // One extra platform call, only at the two snapshots: nothing may be left unpainted.
    if (GetUpdateRect(window, nullptr, FALSE)) keptUp_ = false;
    MeterSnapshot& s = started_ ? end : start;
    s.ticks = now;
    s.cpu100ns = ProcessCpu100ns();
    s.shapes = shapes;
    s.paints = paints_;
    s.blits = TheBlitCounts();
    if (started_) {
        done_ = true;
    } else {
        started_ = true;
        // The largest blit of the measured time only, not the first whole-screen paint.
        TheBlitCounts().maxWidth = 0;
        TheBlitCounts().maxHeight = 0;
    }
}

bool Meter::Overdue() const {
    const double grace = 60.0;
    return static_cast<double>(Now() - begin_) / static_cast<double>(frequency_) >
           warmupSeconds_ + measureSeconds_ + grace;
}

double Meter::Seconds() const { return static_cast<double>(end.ticks - start.ticks) / static_cast<double>(frequency_); }
