// Screen benchmark of the animation window: shapes per second that reach the screen for
// the real frame bursts and for a bare loop that does only the platform's part of each
// shape, measured in turns on the same screen, plus the saver's own per-shape work.
//
//   screen_bench [--seconds S] [--warmup S] [--rounds N] [--order LETTERS] [--breakdown S] [--own S]
//
// --order replaces the rounds by an explicit sequence of runs, "s" for the saver and "b"
// for the bare loop (e.g. "sssbbb"), to look at drifts of the machine's speed.
//
// Prints one "run" line per measured run and, at the end, "result" and "breakdown" lines
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
    double seconds = 2;
    double warmup = 0.5;
    int rounds = 6;
    std::string order;  // empty: alternating rounds
    double breakdown = 3;  // 0: no timed bare run
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
            if (o.order.find_first_not_of("sb") != std::string::npos) return false;
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
    std::vector<RunResult> saver, bare;
    bool failed = false;
    for (const char run : o.order) {
        const bool saverTurn = run == 's';
        const RunResult r = saverTurn ? RunSaver(width, height, o.warmup, o.seconds)
                                      : RunBare(width, height, o.warmup, o.seconds);
        std::vector<RunResult>& runs = saverTurn ? saver : bare;
        PrintRun(screen, saverTurn ? "saver" : "bare", static_cast<int>(runs.size()) + 1, r);
        failed = failed || !r.ok;
        runs.push_back(r);
    }
    if (failed || saver.empty() || bare.empty()) return 1;

    BareBreakdown b;
    bool haveBreakdown = false;
    if (o.breakdown > 0) {
        const RunResult r = RunBare(width, height, o.warmup, o.breakdown, &b);
        PrintRun(screen, "timed", 1, r);
        haveBreakdown = r.ok;
    }
    const double own = o.own > 0 ? OwnWorkMicros(width, height, o.own) : 0;

    // The machine is shared: other work can slow a run several times over for a second
    // or two. Besides the medians, the ratio of runs made next to each other and the
    // fastest run of each loop (the least disturbed) are given.
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
    const double saverBest = *std::max_element(saverRates.begin(), saverRates.end());
    const double bareBest = *std::max_element(bareRates.begin(), bareRates.end());
    std::printf("result screen=%s side=%d saver_sps=%.1f bare_sps=%.1f saver_us=%.1f bare_us=%.1f ratio=%.3f "
                "pair_ratio=%.3f pair_min=%.3f pair_max=%.3f saver_best_us=%.1f bare_best_us=%.1f best_ratio=%.3f "
                "saver_cpu_us=%.1f bare_cpu_us=%.1f own_us=%.1f saver_paints=%.3f bare_paints=%.3f saver_px=%.0f "
                "bare_px=%.0f kept_up=%s\n",
                screen, saver[0].imageSide, saverRate, bareRate, 1e6 / saverRate, 1e6 / bareRate,
                saverRate / bareRate, Median(pairRatios), *std::min_element(pairRatios.begin(), pairRatios.end()),
                *std::max_element(pairRatios.begin(), pairRatios.end()), 1e6 / saverBest, 1e6 / bareBest,
                saverBest / bareBest, Median(cpuPerShape(saver)), Median(cpuPerShape(bare)), own,
                perShape(saver, &RunResult::paints), perShape(bare, &RunResult::paints),
                perShape(saver, &RunResult::pixels), perShape(bare, &RunResult::pixels), keptUp ? "yes" : "no");
    if (haveBreakdown) {
        std::printf("breakdown screen=%s peek=%.1f dispatch=%.1f invalidate=%.1f getupdaterect=%.1f beginpaint=%.1f "
                    "getdc=%.1f setdibits=%.1f releasedc=%.1f endpaint=%.1f total=%.1f\n",
                    screen, b.peek, b.dispatch, b.invalidate, b.getUpdateRect, b.beginPaint, b.getDC, b.setDIBits,
                    b.releaseDC, b.endPaint, b.total);
    }
    std::fflush(stdout);
    return 0;
}
