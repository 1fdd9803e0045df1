// Screen benchmark of the animation window: shapes per second that reach the screen for
// the real frame bursts and for a bare loop that does only the platform's part of each
// shape, taking turns in short slices on one full-screen window, plus the saver's own
// per-shape work measured apart.
//
//   screen_bench [--cycle LETTERS] [--rounds N] [--slice S] [--warmup S] [--own S]
//
// --cycle: the loops that take turns, in order: "s" the saver, "b" the bare loop, "t" the
// bare loop with every platform call timed (for the breakdown only), "c" the bare loop
// plus the saver's stamp and bottom-up row copy (the saver emulated), "d" the same
// painting straight from the surface without the copy. Default "sbt", 100 rounds of 0.1 s slices after 1 s of warm-up.
//
// Prints "slice" lines, then "mode", "result", "paint", "breakdown" and "own" lines of
// key=value pairs that bench/run-screen-bench.sh gathers into its tables.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/settings.h"
#include "bench/win32/bench_window.h"
#include "bench/win32/blit_counter.h"
#include "bench/win32/own_work.h"
#include "bench/win32/slicer.h"

namespace {

struct Options {
    std::string cycle = "sbt";
    int rounds = 100;
    double slice = 0.1;
    double warmup = 1;
    double own = 0.5;  // 0: no own-work measurement
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (name == "--cycle") {
            o.cycle = value;
        } else if (name == "--rounds") {
            o.rounds = std::atoi(value);
        } else if (name == "--slice") {
            o.slice = std::atof(value);
        } else if (name == "--warmup") {
            o.warmup = std::atof(value);
        } else if (name == "--own") {
            o.own = std::atof(value);
        } else {
            return false;
        }
    }
    return !o.cycle.empty() && o.cycle.find_first_not_of("sbtcd") == std::string::npos && o.rounds > 0 &&
           o.slice > 0 && o.warmup >= 0 && o.own >= 0;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Rate(const Slice& s) { return static_cast<double>(s.shapes) / s.seconds; }

// What one loop did over all its slices.
struct ModeSummary {
    std::vector<const Slice*> slices;
    double pooledRate = 0;  // all shapes over all measured time
    double medianRate = 0;
    double fastRate = 0;    // mean of the fastest quarter of the slices, the least disturbed
    double seconds = 0;
    uint64_t shapes = 0;
    double cpuPerShape = 0;  // microseconds of this process
    double paintsPerShape = 0;
    double blitsPerShape = 0;
    double pixelsPerShape = 0;
    int32_t maxBlitWidth = 0;
    bool keptUp = true;
};

ModeSummary Summarise(const std::vector<Slice>& slices, Mode mode) {
    ModeSummary m;
    std::vector<double> rates;
    uint64_t paints = 0, blits = 0, pixels = 0;
    double cpu = 0;
    for (const Slice& s : slices) {
        if (s.mode != mode || s.shapes == 0) continue;
        m.slices.push_back(&s);
        rates.push_back(Rate(s));
        m.seconds += s.seconds;
        m.shapes += s.shapes;
        cpu += s.cpuSeconds;
        paints += s.paints;
        blits += s.blits;
        pixels += s.pixels;
        m.maxBlitWidth = std::max(m.maxBlitWidth, s.maxBlitWidth);
        m.keptUp = m.keptUp && s.keptUp;
    }
    if (m.shapes == 0) return m;
    const double shapes = static_cast<double>(m.shapes);
    m.pooledRate = shapes / m.seconds;
    m.medianRate = Median(rates);
    std::sort(rates.begin(), rates.end(), [](double a, double b) { return a > b; });
    const size_t quarter = std::max<size_t>(1, rates.size() / 4);
    for (size_t i = 0; i < quarter; ++i) m.fastRate += rates[i] / static_cast<double>(quarter);
    m.cpuPerShape = cpu * 1e6 / shapes;
    m.paintsPerShape = static_cast<double>(paints) / shapes;
    m.blitsPerShape = static_cast<double>(blits) / shapes;
    m.pixelsPerShape = static_cast<double>(pixels) / shapes;
    return m;
}

void PrintMode(const char* screen, const char* name, const ModeSummary& m) {
    std::printf("mode screen=%s name=%s slices=%zu seconds=%.2f shapes=%llu pooled_sps=%.1f median_sps=%.1f "
                "fast_sps=%.1f cpu_us=%.1f paints=%.3f blits=%.3f px=%.0f max_blit=%d kept_up=%s\n",
                screen, name, m.slices.size(), m.seconds, static_cast<unsigned long long>(m.shapes), m.pooledRate,
                m.medianRate, m.fastRate, m.cpuPerShape, m.paintsPerShape, m.blitsPerShape, m.pixelsPerShape,
                m.maxBlitWidth, m.keptUp ? "yes" : "no");
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr, "usage: screen_bench [--cycle LETTERS] [--rounds N] [--slice S] [--warmup S] [--own S]\n");
        return 2;
    }
    if (!InstallBlitCounter()) {
        std::fprintf(stderr, "screen_bench: cannot count SetDIBitsToDevice calls\n");
        return 1;
    }
    const int32_t width = GetSystemMetrics(SM_CXSCREEN);
    const int32_t height = GetSystemMetrics(SM_CYSCREEN);
    char screen[32];
    std::snprintf(screen, sizeof screen, "%dx%d", width, height);

    // The records as at a full-screen start, but without its random preset.
    SetDefaults(theSettings, theRunState);
    theSettings.randomly = 0;
    theRunState.fullScreen = 0;
    theRunState.previewMode = 0;

    Slicer slicer(o.cycle, o.rounds, o.slice, o.warmup);
    BenchWindow window(width, height, slicer);
    slicer.Begin();
    if (!window.CreateOverScreen()) {
        std::fprintf(stderr, "screen_bench: cannot create the window\n");
        return 1;
    }
    MSG msg;
    while (!slicer.Done() && !slicer.Overdue()) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    const bool directChecked = o.cycle.find('d') != std::string::npos;
    const bool directOk = directChecked && window.Bare().CheckDirectBlit(window.Handle());
    // Not WM_CLOSE: the saver's close request ends the thread.
    DestroyWindow(window.Handle());
    if (!slicer.Done()) {
        std::fprintf(stderr, "screen_bench: the loops stopped painting\n");
        return 1;
    }

    const std::vector<Slice>& slices = slicer.Slices();
    for (size_t i = 0; i < slices.size(); ++i) {
        const Slice& s = slices[i];
        std::printf("slice %s %zu %c %.3f s %llu shapes %.1f shapes/s %.1f us/shape cpu %.1f us/shape paints %llu "
                    "px/shape %.0f%s\n",
                    screen, i + 1, static_cast<char>(s.mode), s.seconds, static_cast<unsigned long long>(s.shapes),
                    Rate(s), 1e6 / Rate(s), s.cpuSeconds * 1e6 / static_cast<double>(s.shapes),
                    static_cast<unsigned long long>(s.paints),
                    static_cast<double>(s.pixels) / static_cast<double>(s.shapes), s.keptUp ? "" : " LAGGED");
    }

    const ModeSummary saver = Summarise(slices, Mode::kSaver);
    const ModeSummary bare = Summarise(slices, Mode::kBare);
    const ModeSummary timed = Summarise(slices, Mode::kTimed);
    const ModeSummary copy = Summarise(slices, Mode::kCopy);
    const ModeSummary direct = Summarise(slices, Mode::kDirect);
    const int32_t side = window.Bare().ImageSide();
    if (saver.shapes > 0) PrintMode(screen, "saver", saver);
    if (bare.shapes > 0) PrintMode(screen, "bare", bare);
    if (timed.shapes > 0) PrintMode(screen, "timed", timed);
    if (copy.shapes > 0) PrintMode(screen, "copy", copy);
    if (direct.shapes > 0) PrintMode(screen, "direct", direct);

    if (saver.shapes > 0 && bare.shapes > 0) {
        // Ratios of the saver's slice and the bare loop's slice of the same round.
        std::vector<double> pairs;
        const size_t n = o.cycle.size();
        const size_t s = o.cycle.find('s');
        const size_t b = o.cycle.find('b');
        for (size_t round = 0; (round + 1) * n <= slices.size(); ++round) {
            const Slice& a = slices[round * n + s];
            const Slice& c = slices[round * n + b];
            if (a.shapes > 0 && c.shapes > 0) pairs.push_back(Rate(a) / Rate(c));
        }
        std::printf("result screen=%s side=%d pooled_ratio=%.3f median_ratio=%.3f pair_ratio=%.3f pair_min=%.3f "
                    "pair_max=%.3f fast_ratio=%.3f saver_sps=%.1f bare_sps=%.1f saver_us=%.1f bare_us=%.1f "
                    "saver_median_us=%.1f bare_median_us=%.1f saver_fast_us=%.1f bare_fast_us=%.1f "
                    "saver_cpu_us=%.1f bare_cpu_us=%.1f saver_paints=%.3f bare_paints=%.3f saver_px=%.0f "
                    "bare_px=%.0f kept_up=%s\n",
                    screen, side, saver.pooledRate / bare.pooledRate, saver.medianRate / bare.medianRate,
                    Median(pairs), *std::min_element(pairs.begin(), pairs.end()),
                    *std::max_element(pairs.begin(), pairs.end()), saver.fastRate / bare.fastRate,
                    saver.pooledRate, bare.pooledRate, 1e6 / saver.pooledRate, 1e6 / bare.pooledRate,
                    1e6 / saver.medianRate, 1e6 / bare.medianRate, 1e6 / saver.fastRate, 1e6 / bare.fastRate,
                    saver.cpuPerShape, bare.cpuPerShape, saver.paintsPerShape, bare.paintsPerShape,
                    saver.pixelsPerShape, bare.pixelsPerShape, saver.keptUp && bare.keptUp ? "yes" : "no");
    }
    if (copy.shapes > 0 && direct.shapes > 0) {
        // The emulated saver with and without its bottom-up copy; against the bare loop
        // and the real saver where they ran too.
        auto ratio = [](const ModeSummary& a, const ModeSummary& b) {
            return b.shapes > 0 ? a.pooledRate / b.pooledRate : 0.0;
        };
        auto fast = [](const ModeSummary& a, const ModeSummary& b) {
            return b.shapes > 0 ? a.fastRate / b.fastRate : 0.0;
        };
        std::printf("paint screen=%s copy_us=%.1f direct_us=%.1f copy_fast_us=%.1f direct_fast_us=%.1f "
                    "direct_vs_copy=%.3f direct_vs_copy_fast=%.3f copy_vs_bare=%.3f direct_vs_bare=%.3f "
                    "copy_vs_bare_fast=%.3f direct_vs_bare_fast=%.3f copy_vs_saver=%.3f direct_blit=%s\n",
                    screen, 1e6 / copy.pooledRate, 1e6 / direct.pooledRate, 1e6 / copy.fastRate,
                    1e6 / direct.fastRate, ratio(direct, copy), fast(direct, copy), ratio(copy, bare),
                    ratio(direct, bare), fast(copy, bare), fast(direct, bare), ratio(copy, saver),
                    directOk ? "exact" : "WRONG");
    }
    if (timed.shapes > 0) {
        const BareBreakdown t = window.Bare().Breakdown(timed.seconds, timed.shapes);
        std::printf("breakdown screen=%s peek=%.1f dispatch=%.1f invalidate=%.1f getupdaterect=%.1f beginpaint=%.1f "
                    "getdc=%.1f setdibits=%.1f releasedc=%.1f endpaint=%.1f total=%.1f\n",
                    screen, t.peek, t.dispatch, t.invalidate, t.getUpdateRect, t.beginPaint, t.getDC, t.setDIBits,
                    t.releaseDC, t.endPaint, t.total);
    }
    if (o.own > 0) {
        const OwnWork own = MeasureOwnWork(width, height, o.own);
        std::printf("own screen=%s side=%d warm_us=%.1f warm_stamp_us=%.1f warm_rows_us=%.1f cold_us=%.1f "
                    "cold_stamp_us=%.1f cold_rows_us=%.1f\n",
                    screen, side, own.warm.total, own.warm.stamp, own.warm.rows, own.cold.total, own.cold.stamp,
                    own.cold.rows);
    }
    std::fflush(stdout);
    return 0;
}
