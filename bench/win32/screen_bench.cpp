// Screen benchmark of the animation window: shapes per second that reach the screen for
// the real frame bursts and for a bare loop that does only the platform's part of each
// shape, measured in turns on the same screen, plus the saver's own per-shape work.
//
//   screen_bench [--seconds S] [--warmup S] [--rounds N] [--order LETTERS] [--breakdown S] [--own S]
//
// --order replaces the rounds by an explicit sequence of runs, "s" for the saver, "b" for
// the bare loop and "w" for the bare loop blitting from a screen-sized top-down block
// (what painting without the bottom-up copy would cost), e.g. "sbwwbs".
//
// Prints one "run" line per measured run ("timed": the bare loop with every platform call
// timed, for the breakdown only) and, at the end, "result" and "breakdown" lines
// of key=value pairs that bench/run-screen-bench.sh gathers into its table.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/win32/blit_counter.h"
#include "bench/win32/loops.h"

namespace {

struct Options {
    double seconds = 0.5;
    double warmup = 0.3;
    int rounds = 16;
    std::string order;  // empty: alternating rounds
    double breakdown = 3;  // seconds of timed bare runs, the least disturbed one is kept; 0: none
    double own = 1;        // 0: no own-work measurement
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (name == "--seconds") {
            o.seconds = std::atof(value);
        } else if (name == "--warmup") {
            o.warmup = std::atof(value);
        } else if (name == "--rounds") {
            o.rounds = std::atoi(value);
        } else if (name == "--order") {
            o.order = value;
            if (o.order.find_first_not_of("sbw") != std::string::npos) return false;
        } else if (name == "--breakdown") {
            o.breakdown = std::atof(value);
        } else if (name == "--own") {
            o.own = std::atof(value);
        } else {
            return false;
        }
    }
    return o.seconds > 0 && o.warmup >= 0 && o.rounds > 0 && o.breakdown >= 0 && o.own >= 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Rate(const RunResult& r) { return static_cast<double>(r.shapes) / r.seconds; }

double PerShape(uint64_t count, const RunResult& r) {  // of one run
    return static_cast<double>(count) / static_cast<double>(std::max<uint64_t>(r.shapes, 1));
}

void PrintRun(const char* screen, const char* variant, int round, const RunResult& r) {
    if (!r.ok) {
        std::printf("run %s %-5s #%d FAILED: %s\n", screen, variant, round, r.error.c_str());
        return;
    }
    std::printf("run %s %-5s #%d %5.2f s %7llu shapes %7.1f shapes/s %7.1f us/shape (cpu %5.1f) | paints/shape %.3f "
                "blits/shape %.3f px/shape %.0f (largest blit %d px wide, image %d) %s\n",
                screen, variant, round, r.seconds, static_cast<unsigned long long>(r.shapes), Rate(r),
                1e6 / Rate(r), r.cpuSeconds * 1e6 / static_cast<double>(r.shapes), PerShape(r.paints, r), PerShape(r.blits, r), PerShape(r.pixels, r), r.maxBlitWidth,
                r.imageSide, r.keptUp ? "kept up" : "PAINT LAGGED");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr, "usage: screen_bench [--seconds S] [--warmup S] [--rounds N] [--order LETTERS] [--breakdown S] "
                     "[--own S]\n");
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

    // Rounds alternate which loop goes first (saver-bare, bare-saver, ...), so that a
    // drift in the machine's load favours neither.
    if (o.order.empty()) {
        for (int round = 1; round <= o.rounds; ++round) o.order += round % 2 == 1 ? "sb" : "bs";
    }
    std::vector<RunResult> saver, bare, whole;
    bool failed = false;
    for (const char run : o.order) {
        RunResult r;
        const char* name = "saver";
        std::vector<RunResult>* runs = &saver;
        if (run == 's') {
            r = RunSaver(width, height, o.warmup, o.seconds);
        } else if (run == 'b') {
            r = RunBare(width, height, o.warmup, o.seconds);
            name = "bare";
            runs = &bare;
        } else {
            r = RunBare(width, height, o.warmup, o.seconds, BareSource::kWholeSurface);
            name = "whole";
            runs = &whole;
        }
        PrintRun(screen, name, static_cast<int>(runs->size()) + 1, r);
        failed = failed || !r.ok;
        runs->push_back(r);
    }
    if (failed || saver.empty() || bare.empty()) return 1;

    BareBreakdown b;
    bool haveBreakdown = false;
    const int timedRuns = static_cast<int>(o.breakdown / o.seconds + 0.5);
    for (int i = 1; i <= timedRuns; ++i) {
        BareBreakdown timed;
        const RunResult r = RunBare(width, height, o.warmup, o.seconds, BareSource::kRectangle, &timed);
        PrintRun(screen, "timed", i, r);
        if (r.ok && (!haveBreakdown || timed.total < b.total)) b = timed;
        haveBreakdown = haveBreakdown || r.ok;
    }
    const OwnWork own = o.own > 0 ? MeasureOwnWork(width, height, o.own) : OwnWork{};

    // The machine is shared: other work can slow a run several times over for a second
    // or two, hence many short runs in turns. Besides the medians: the ratio of the two
    // loops' pooled rates (all shapes over all measured time, so that both average over
    // the same mix of disturbances), the median ratio of runs made next to each other,
    // and the ratio of the fastest quarter of each loop's runs (the least disturbed).
    auto rates = [](const std::vector<RunResult>& runs) {
        std::vector<double> v;
        for (const RunResult& r : runs) v.push_back(Rate(r));
        return v;
    };
    auto cpuPerShape = [](const std::vector<RunResult>& runs) {
        std::vector<double> v;
        for (const RunResult& r : runs) v.push_back(r.cpuSeconds * 1e6 / static_cast<double>(r.shapes));
        return v;
    };
    auto perShape = [](const std::vector<RunResult>& runs, uint64_t RunResult::*field) {
        uint64_t total = 0, shapes = 0;
        for (const RunResult& r : runs) {
            total += r.*field;
            shapes += r.shapes;
        }
        return static_cast<double>(total) / static_cast<double>(shapes);
    };
    bool keptUp = true;
    for (const RunResult& r : saver) keptUp = keptUp && r.keptUp;
    for (const RunResult& r : bare) keptUp = keptUp && r.keptUp;
    std::vector<double> pairRatios;
    for (size_t i = 0; i < std::min(saver.size(), bare.size()); ++i) {
        pairRatios.push_back(Rate(saver[i]) / Rate(bare[i]));
    }
    const std::vector<double> saverRates = rates(saver);
    const std::vector<double> bareRates = rates(bare);
    const double saverRate = Median(saverRates);
    const double bareRate = Median(bareRates);
    auto pooledRate = [](const std::vector<RunResult>& runs) {
        double shapes = 0, seconds = 0;
        for (const RunResult& r : runs) {
            shapes += static_cast<double>(r.shapes);
            seconds += r.seconds;
        }
        return shapes / seconds;
    };
    // The mean rate of the fastest quarter of the runs.
    auto fastestQuarter = [](std::vector<double> v) {
        std::sort(v.begin(), v.end(), [](double a, double b) { return a > b; });
        const size_t n = std::max<size_t>(1, v.size() / 4);
        double sum = 0;
        for (size_t i = 0; i < n; ++i) sum += v[i];
        return sum / static_cast<double>(n);
    };
    const double saverFast = fastestQuarter(saverRates);
    const double bareFast = fastestQuarter(bareRates);
    std::printf("result screen=%s side=%d saver_sps=%.1f bare_sps=%.1f saver_us=%.1f bare_us=%.1f ratio=%.3f "
                "pooled_ratio=%.3f pair_ratio=%.3f pair_min=%.3f pair_max=%.3f saver_fast_us=%.1f bare_fast_us=%.1f fast_ratio=%.3f "
                "saver_cpu_us=%.1f bare_cpu_us=%.1f own_us=%.1f own_cold_us=%.1f own_cold_stamp_us=%.1f own_cold_rows_us=%.1f saver_paints=%.3f bare_paints=%.3f saver_px=%.0f "
                "bare_px=%.0f kept_up=%s\n",
                screen, saver[0].imageSide, saverRate, bareRate, 1e6 / saverRate, 1e6 / bareRate,
                saverRate / bareRate, pooledRate(saver) / pooledRate(bare), Median(pairRatios), *std::min_element(pairRatios.begin(), pairRatios.end()),
                *std::max_element(pairRatios.begin(), pairRatios.end()), 1e6 / saverFast, 1e6 / bareFast,
                saverFast / bareFast, Median(cpuPerShape(saver)), Median(cpuPerShape(bare)), own.warm.total, own.cold.total, own.cold.stamp, own.cold.rows,
                perShape(saver, &RunResult::paints), perShape(bare, &RunResult::paints),
                perShape(saver, &RunResult::pixels), perShape(bare, &RunResult::pixels), keptUp ? "yes" : "no");
    if (!whole.empty()) {
        std::printf("whole screen=%s sps=%.1f us=%.1f fast_us=%.1f pooled_vs_bare=%.3f\n", screen,
                    Median(rates(whole)), 1e6 / Median(rates(whole)), 1e6 / fastestQuarter(rates(whole)),
                    pooledRate(whole) / pooledRate(bare));
    }
    if (haveBreakdown) {
        std::printf("breakdown screen=%s peek=%.1f dispatch=%.1f invalidate=%.1f getupdaterect=%.1f beginpaint=%.1f "
                    "getdc=%.1f setdibits=%.1f releasedc=%.1f endpaint=%.1f total=%.1f\n",
                    screen, b.peek, b.dispatch, b.invalidate, b.getUpdateRect, b.beginPaint, b.getDC, b.setDIBits,
                    b.releaseDC, b.endPaint, b.total);
    }
    std::fflush(stdout);
    return 0;
}
