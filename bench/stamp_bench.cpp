// Stamp throughput: shape images stamped with the colour key through their opaque runs
// (drawImage with the image's runs, as the animation window stamps) against a plain row
// copy of exactly the same rectangles (the same image without a key, drawImage ->
// blitRows); and the keyed rule pixel by pixel (drawImage without runs) for comparison. Both passes run in every iteration, in alternating order, so
// that both see the same machine load; the reported time and items are the keyed pass.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_results.h"
#include "render/button_image_creator.h"
#include "render/graphics.h"

namespace {

struct StampCase {
    int32_t outerSize;  // image side 2R + 3
    int32_t surfaceWidth;
    int32_t surfaceHeight;
};

// 63 x 63 (the 640 px default) and 363 x 363 (the same at 3840 px) on a full-HD and a 4K screen.
const StampCase kStampCases[] = {
    {30, 1920, 1080},
    {30, 3840, 2160},
    {180, 1920, 1080},
    {180, 3840, 2160},
};

constexpr int kPositions = 256;

std::string CaseSuffix(const StampCase& c) {
    const int side = 2 * c.outerSize + 3;
    return std::to_string(side) + "px_on_" + std::to_string(c.surfaceWidth) + "x" + std::to_string(c.surfaceHeight);
}
std::string CaseName(const StampCase& c) { return "stamp/" + CaseSuffix(c); }
std::string RuleName(const StampCase& c) { return "stamp_pixel_rule/" + CaseSuffix(c); }

ShapeImageParams RedSphere(int32_t outerSize) {
    ShapeImageParams p{};
    p.lightX = 1.0f;
    p.lightY = 1.0f;
    p.lightZ = -1.0f;
    p.colour = 0x000000FF;
    p.highlightColour = 0x00FFFFFF;
    p.ambient = 0.34f;
    p.mirror = 0.995f;
    p.lightIntensity = 0.6f;
    p.phongPower = 4;
    p.outerSize = outerSize;
    p.shape = 0;
    p.innerSize = outerSize;
    return p;
}

struct Pos {
    int32_t x, y;
};

// A fixed scatter of top-left corners: seven in eight wholly inside the surface, every
// eighth hanging over one of the four edges (so the clipped paths are measured too).
// mt19937's raw output is the same everywhere, unlike the standard distributions.
std::vector<Pos> Scatter(int32_t side, int32_t w, int32_t h) {
    std::mt19937 rng(20240607u);
    auto upTo = [&rng](int32_t n) { return static_cast<int32_t>(rng() % static_cast<uint32_t>(n)); };
    std::vector<Pos> out;
    for (int i = 0; i < kPositions; ++i) {
        Pos p{upTo(w - side + 1), upTo(h - side + 1)};
        if (i % 8 == 7) {
            const int32_t over = 1 + upTo(side - 1);  // 1 .. side-1 pixels outside
            switch ((i / 8) % 4) {
                case 0: p.x = -over; break;
                case 1: p.x = w - side + over; break;
                case 2: p.y = -over; break;
                default: p.y = h - side + over; break;
            }
        }
        out.push_back(p);
    }
    return out;
}

int64_t VisiblePixels(const std::vector<Pos>& positions, int32_t side, int32_t w, int32_t h) {
    int64_t total = 0;
    for (const Pos& p : positions) {
        const int64_t cw = std::min<int64_t>(p.x + side, w) - std::max<int64_t>(p.x, 0);
        const int64_t ch = std::min<int64_t>(p.y + side, h) - std::max<int64_t>(p.y, 0);
        if (cw > 0 && ch > 0) total += cw * ch;
    }
    return total;
}

void StampAll(Graphics& surface, const DC_DESCRIPTOR& image, const std::vector<Pos>& positions,
              const OpaqueRuns* runs) {
    for (const Pos& p : positions) drawImage(surface, image, p.x, p.y, 255, runs);
    benchmark::ClobberMemory();
}

// Runs the keyed and the plain pass once each per iteration, alternating which goes
// first; the iteration time is the keyed pass. The ratio is the median over iterations of
// the two neighbouring passes' speed ratio, so that a pass cut short by another program
// on a busy machine does not skew it.
template <class Keyed, class Plain>
void TimePair(benchmark::State& state, int64_t pixels, Keyed keyedPass, Plain plainPass) {
    // Touch every page once before timing.
    plainPass();
    keyedPass();
    using Clock = std::chrono::steady_clock;
    double keyedSeconds = 0, plainSeconds = 0;
    std::vector<double> ratios;
    bool keyedFirst = true;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (keyedFirst) keyedPass(); else plainPass();
        const auto t1 = Clock::now();
        if (keyedFirst) plainPass(); else keyedPass();
        const auto t2 = Clock::now();
        const double a = std::chrono::duration<double>(t1 - t0).count();
        const double b = std::chrono::duration<double>(t2 - t1).count();
        const double k = keyedFirst ? a : b;
        const double p = keyedFirst ? b : a;
        keyedSeconds += k;
        plainSeconds += p;
        ratios.push_back(p / k);
        state.SetIterationTime(k);
        keyedFirst = !keyedFirst;
    }
    const double passes = static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * pixels);
    state.counters["plain_px/s"] = passes * static_cast<double>(pixels) / plainSeconds;
    std::sort(ratios.begin(), ratios.end());
    if (!ratios.empty()) state.counters["keyed/plain"] = ratios[ratios.size() / 2];  // speed ratio
}

// Through drawImage: with the image's runs (as the animation window stamps) or, with
// `pixelRule`, testing every pixel; against blitRows.
void BM_Stamp(benchmark::State& state, StampCase c, bool pixelRule) {
    const ButtonImageCreator creator(RedSphere(c.outerSize));
    const DC_DESCRIPTOR keyed = creator.GetImage().descriptor;
    const OpaqueRuns* runs = pixelRule ? nullptr : &creator.GetImage().runs;
    DC_DESCRIPTOR plain = keyed;
    plain.colourKey = -1;  // the same rectangles, copied row by row
    const std::unique_ptr<Graphics> surface(createSurface(c.surfaceWidth, c.surfaceHeight, 32, nullptr));
    if (!surface || keyed.pixels == nullptr) {
        state.SkipWithError("no surface or image");
        return;
    }
    const std::vector<Pos> positions = Scatter(keyed.width, c.surfaceWidth, c.surfaceHeight);
    TimePair(
        state, VisiblePixels(positions, keyed.width, c.surfaceWidth, c.surfaceHeight),
        [&] { StampAll(*surface, keyed, positions, runs); }, [&] { StampAll(*surface, plain, positions, nullptr); });
}

}  // namespace

void RegisterStampBenchmarks() {
    for (const bool pixelRule : {false, true})
        for (const StampCase& c : kStampCases)
            benchmark::RegisterBenchmark((pixelRule ? RuleName(c) : CaseName(c)).c_str(), BM_Stamp, c, pixelRule)
                ->UseManualTime()
                ->Unit(benchmark::kMicrosecond);
}

void PrintStampSummary(const BenchResults& results) {
    std::vector<std::pair<std::string, StampCase>> rows;
    for (const StampCase& c : kStampCases) rows.emplace_back(CaseName(c), c);
    for (const StampCase& c : kStampCases) rows.emplace_back(RuleName(c), c);
    bool header = false;
    for (const auto& row : rows) {
        const std::string name = row.first + "/manual_time";
        const double ratio = results.Counter(name, "keyed/plain");
        if (std::isnan(ratio)) continue;
        if (!header) {
            std::printf("Keyed stamp against a plain row copy of the same rectangles (speed ratio, median)\n");
            std::printf("%-38s %12s %14s %14s\n", "case", "keyed/plain", "keyed Mpx/s", "plain Mpx/s");
            header = true;
        }
        std::printf("%-38s %12.3f %14.0f %14.0f\n", row.first.c_str(), ratio,
                    results.Counter(name, "items_per_second") / 1e6, results.Counter(name, "plain_px/s") / 1e6);
    }
}
