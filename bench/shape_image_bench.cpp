// Time to build the shape images: one image, and the seven of the default colour table,
// either from one shared shading (ComputeShading once, then coloured seven times) or as
// seven independent renders, at the sizes the animation window uses for 640, 1920 and
// 3840 pixel wide windows.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

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

void BM_BuildOne(benchmark::State& state) {
    const ShapeImageParams p = DefaultParams(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        ButtonImageCreator creator(p);
        benchmark::DoNotOptimize(creator.GetImage().descriptor.pixels);
        benchmark::ClobberMemory();
    }
    state.counters["side"] = 2 * p.outerSize + 3;
}

void BM_BuildSevenShared(benchmark::State& state) {
    ShapeImageParams p = DefaultParams(static_cast<int32_t>(state.range(0)));
    const int32_t side = 2 * p.outerSize + 3;
    for (auto _ : state) {
        ShapeShading shading;
        ComputeShading(p, side, side, shading);
        Seven images;
        for (int i = 0; i < kShapeSlots; ++i) {
            p.colour = PackColor(kDefaultColors[i]);
            images[i] = std::make_unique<ButtonImageCreator>(p, shading);
            benchmark::DoNotOptimize(images[i]->GetImage().descriptor.pixels);
        }
        benchmark::ClobberMemory();
    }
    state.counters["side"] = side;
}

void BM_BuildSevenIndependent(benchmark::State& state) {
    ShapeImageParams p = DefaultParams(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        Seven images;
        for (int i = 0; i < kShapeSlots; ++i) {
            p.colour = PackColor(kDefaultColors[i]);
            images[i] = std::make_unique<ButtonImageCreator>(p);
            benchmark::DoNotOptimize(images[i]->GetImage().descriptor.pixels);
        }
        benchmark::ClobberMemory();
    }
    state.counters["side"] = 2 * p.outerSize + 3;
}

std::string Name(const char* family, int32_t width) { return std::string(family) + "/" + std::to_string(width); }

}  // namespace

void RegisterShapeImageBenchmarks() {
    // Interleaved by width, so that the three figures of one row run close together.
    for (int32_t w : kWidths) {
        benchmark::RegisterBenchmark("build/one", BM_BuildOne)->Arg(w)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("build/seven_shared", BM_BuildSevenShared)->Arg(w)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("build/seven_independent", BM_BuildSevenIndependent)
            ->Arg(w)
            ->Unit(benchmark::kMicrosecond);
    }
}

void PrintShapeImageSummary(const BenchResults& results) {
    bool header = false;
    for (int32_t w : kWidths) {
        const double one = results.SecondsPerIteration(Name("build/one", w));
        const double shared = results.SecondsPerIteration(Name("build/seven_shared", w));
        const double indep = results.SecondsPerIteration(Name("build/seven_independent", w));
        if (std::isnan(one) || std::isnan(shared) || std::isnan(indep)) continue;
        if (!header) {
            std::printf("Building the seven images against one (time ratio, median)\n");
            std::printf("%-8s %6s %12s %16s %16s %14s %14s\n", "width", "side", "one (us)", "seven shared",
                        "seven indep.", "shared/one", "indep./one");
            header = true;
        }
        const ShapeImageParams p = DefaultParams(w);
        std::printf("%-8d %6d %12.1f %13.1f us %13.1f us %14.2f %14.2f\n", static_cast<int>(w),
                    static_cast<int>(2 * p.outerSize + 3), one * 1e6, shared * 1e6, indep * 1e6, shared / one,
                    indep / one);
    }
}
