// Time to build the shape images: one image, and the seven of the default colour table,
// either from one shared shading (ComputeShading once, then one colouring pass that writes
// all seven) or as
// seven independent renders, at the sizes the animation window uses for 640, 1920 and
// 3840 pixel wide windows.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "bench/bench_results.h"
#include "render/button_image_creator.h"
#include "render/shape_shading.h"

namespace {

const int32_t kWidths[] = {640, 1920, 3840};

// The default settings (sizes 30 and 29 for a 640 px window) scaled to the window width,
// truncated.
ShapeImageParams DefaultParams(int32_t windowWidth) {
    ShapeImageParams p{};
    p.lightX = 1.0f;
    p.lightY = 1.0f;
    p.lightZ = -1.0f;
    p.colour = PackColor(kDefaultColors[0]);
    p.highlightColour = 0x00FFFFFF;
    p.ambient = 0.34f;
    p.mirror = 0.995f;
    p.lightIntensity = 0.6f;
    p.phongPower = 4;
    p.outerSize = static_cast<int32_t>(int64_t{30} * windowWidth / 640);
    p.shape = 0;
    p.innerSize = static_cast<int32_t>(int64_t{29} * windowWidth / 640);
    return p;
}

using Seven = std::array<std::unique_ptr<ButtonImageCreator>, kShapeSlots>;

void BuildOne(const ShapeImageParams& p) {
    ButtonImageCreator creator(p);
    benchmark::DoNotOptimize(creator.GetImage().descriptor.pixels);
    benchmark::ClobberMemory();
}

// The seven are held together and rebuilt as the animation window rebuilds them: the new
// ones replace the previous seven and take over their pixel block.
void BuildSevenShared(ShapeImageParams p, std::vector<std::unique_ptr<ButtonImageCreator>>& held) {
    const int32_t side = 2 * p.outerSize + 3;
    ShapeShading shading;
    ComputeShading(p, side, side, shading);
    uint32_t colours[kShapeSlots];
    for (int i = 0; i < kShapeSlots; ++i) colours[i] = PackColor(kDefaultColors[i]);
    PixelBlock recycled = held.empty() ? PixelBlock{} : held.front()->GetImage().block;
    held.clear();
    held = ButtonImageCreator::CreateColoured(p, shading, colours, kShapeSlots, std::move(recycled));
    for (const auto& image : held) benchmark::DoNotOptimize(image->GetImage().descriptor.pixels);
    benchmark::ClobberMemory();
}

void BuildSevenIndependent(ShapeImageParams p) {
    Seven images;
    for (int i = 0; i < kShapeSlots; ++i) {
        p.colour = PackColor(kDefaultColors[i]);
        images[i] = std::make_unique<ButtonImageCreator>(p);
        benchmark::DoNotOptimize(images[i]->GetImage().descriptor.pixels);
    }
    benchmark::ClobberMemory();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// One image, the seven from a shared shading and the seven built independently, each
// once per iteration in rotating order; the iteration time is the single image. The ratios
// are medians over iterations of neighbouring builds, so that a build cut short by
// another program on a busy machine does not skew them.
void BM_Build(benchmark::State& state) {
    const ShapeImageParams p = DefaultParams(static_cast<int32_t>(state.range(0)));
    using Clock = std::chrono::steady_clock;
    std::vector<double> one, shared, independent, sharedRatio, independentRatio;
    std::vector<std::unique_ptr<ButtonImageCreator>> held;
    BuildSevenShared(p, held);  // the window's first seven
    int turn = 0;
    for (auto _ : state) {
        double t[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const int which = (turn + k) % 3;
            const auto t0 = Clock::now();
            if (which == 0) BuildOne(p);
            else if (which == 1) BuildSevenShared(p, held);
            else BuildSevenIndependent(p);
            t[which] = std::chrono::duration<double>(Clock::now() - t0).count();
        }
        turn = (turn + 1) % 3;
        state.SetIterationTime(t[0]);
        one.push_back(t[0]);
        shared.push_back(t[1]);
        independent.push_back(t[2]);
        sharedRatio.push_back(t[1] / t[0]);
        independentRatio.push_back(t[2] / t[0]);
    }
    state.counters["side"] = 2 * p.outerSize + 3;
    state.counters["one_us"] = Median(one) * 1e6;
    state.counters["shared_us"] = Median(shared) * 1e6;
    state.counters["indep_us"] = Median(independent) * 1e6;
    state.counters["shared/one"] = Median(sharedRatio);
    state.counters["indep/one"] = Median(independentRatio);
}

}  // namespace

void RegisterShapeImageBenchmarks() {
    for (int32_t w : kWidths)
        benchmark::RegisterBenchmark("build/window_width", BM_Build)->Arg(w)->UseManualTime()->Unit(benchmark::kMicrosecond);
}

void PrintShapeImageSummary(const BenchResults& results) {
    bool header = false;
    for (int32_t w : kWidths) {
        const std::string name = "build/window_width/" + std::to_string(w) + "/manual_time";
        const double sharedRatio = results.Counter(name, "shared/one");
        if (std::isnan(sharedRatio)) continue;
        if (!header) {
            std::printf("Building the seven images against one (time ratio, median)\n");
            std::printf("%-8s %6s %12s %12s %12s %12s %12s\n", "width", "side", "seven shared", "seven indep.",
                        "one (us)", "shared (us)", "indep. (us)");
            std::printf("%-8s %6s %12s %12s\n", "", "", "/ one", "/ one");
            header = true;
        }
        std::printf("%-8d %6.0f %12.2f %12.2f %12.1f %12.1f %12.1f\n", static_cast<int>(w),
                    results.Counter(name, "side"), sharedRatio, results.Counter(name, "indep/one"),
                    results.Counter(name, "one_us"), results.Counter(name, "shared_us"),
                    results.Counter(name, "indep_us"));
    }
}
