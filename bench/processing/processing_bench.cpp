// The Contrast and Filters steps and Mirror Image on a full frame, beside a plain copy of the
// frame in the same run. Each step is timed as it computes: the undo copy, its table or its pass
// through the second image, and the copy back; the display refresh that follows every step is
// left out. bench/report.py runs this program and prints every step as a multiple of the copy.
//
// processing_bench --write-sky-frame FILE writes the frame (290 rows of 512 little-endian
// words) for the comparison with other programs (bench/peers.py).

#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>

#include "core/image_store.h"
#include "plain_frame_copy.h"
#include "processing/gradient_filter.h"
#include "processing/kernel_filters.h"
#include "processing/median_filter.h"
#include "processing/mirror_image.h"
#include "processing/stretch_table.h"
#include "processing/stretch_tables.h"
#include "processing/undo_copy.h"
#include "processing/unsharp_mask.h"
#include "sky_frame.h"

namespace {

using talvor::ImageBuffer;
using talvor::StretchCurve;

// A stretch as the program applies it: the undo copy and the mapping of every word through
// the curve's table. On its first use a curve computes the entries the frame needs; a later
// frame stretched by the same curve (the next file of a batch) finds most of them known.
void RunStretch(benchmark::State& state, const std::function<StretchCurve()>& makeCurve,
                bool firstUse) {
    auto store = SkyFrame();
    const ImageBuffer original = store->CurrentImage;
    talvor::ForgetStretchEntries();
    for (auto _ : state) {
        if (firstUse) {
            talvor::ForgetStretchEntries();
        }
        const StretchCurve curve = makeCurve();
        talvor::SaveUndoCopy(*store);
        talvor::MapThroughStretchCurve(curve, store->CurrentImage, 0, talvor::kFramePixels);
        benchmark::DoNotOptimize(store->CurrentImage.data());
        state.PauseTiming();
        store->CurrentImage = original;
        state.ResumeTiming();
    }
}

#define TALVOR_STRETCH_BENCHMARK(name, curve)                          \
    void BM_##name(benchmark::State& state) {                          \
        RunStretch(                                                    \
            state, [] { return talvor::curve; }, state.range(0) == 0); \
    }                                                                  \
    BENCHMARK(BM_##name)->Arg(0)->Arg(1)->ArgName("again")

TALVOR_STRETCH_BENCHMARK(NormalStretch, NormalStretchCurve(12, 200));
TALVOR_STRETCH_BENCHMARK(PowerLawStretch, PowerStretchCurve(1.5));
TALVOR_STRETCH_BENCHMARK(SineLawStretch, SineStretchCurve());
TALVOR_STRETCH_BENCHMARK(RemoveBackground, BackgroundRemovalCurve(20));
TALVOR_STRETCH_BENCHMARK(NonLinearStretch, NonLinearStretchCurve(25));
TALVOR_STRETCH_BENCHMARK(LogarithmicStretch, LogStretchCurve());
TALVOR_STRETCH_BENCHMARK(AntilogarithmicStretch, AntiLogStretchCurve());
TALVOR_STRETCH_BENCHMARK(InvertToNegative, InvertCurve());

// A filter through the second image: undo copy, copy in, the pass, copy back.
template <typename Pass>
void RunFilter(benchmark::State& state, Pass pass) {
    auto store = SkyFrame();
    const ImageBuffer original = store->CurrentImage;
    for (auto _ : state) {
        talvor::SaveUndoCopy(*store);
        talvor::CopyFrame(store->CurrentImage, store->SecondImage);
        pass(store->CurrentImage, store->SecondImage);
        talvor::CopyFrame(store->SecondImage, store->CurrentImage);
        benchmark::DoNotOptimize(store->CurrentImage.data());
        state.PauseTiming();
        store->CurrentImage = original;
        state.ResumeTiming();
    }
}

void BM_KernelFilter(benchmark::State& state, int radius, talvor::Kernel kernel, int divisor) {
    RunFilter(state, [&](const ImageBuffer& source, ImageBuffer& target) {
        for (int y = radius; y <= talvor::kFrameRows - 1 - radius; ++y) {
            talvor::ConvolveRow(source, target, y, radius, kernel, divisor);
        }
    });
}
BENCHMARK_CAPTURE(BM_KernelFilter, HighPassLowPower, 1, talvor::Kernel::C, 1);
BENCHMARK_CAPTURE(BM_KernelFilter, HighPassHighPower, 2, talvor::Kernel::D, 1);
BENCHMARK_CAPTURE(BM_KernelFilter, SmootherSharper, 2, talvor::Kernel::E, 1);
BENCHMARK_CAPTURE(BM_KernelFilter, Gaussian, 2, talvor::Kernel::B, 80);
BENCHMARK_CAPTURE(BM_KernelFilter, LowPassWeightedMean, 1, talvor::Kernel::A, 16);
BENCHMARK_CAPTURE(BM_KernelFilter, BasRelief, 2, talvor::Kernel::F, 1);

void BM_UnsharpMask(benchmark::State& state) {
    const int radius = static_cast<int>(state.range(0));
    RunFilter(state, [radius](const ImageBuffer& source, ImageBuffer& target) {
        talvor::UnsharpMaskPass(source, target, radius, 2, radius, [] {});
    });
}
BENCHMARK(BM_UnsharpMask)->DenseRange(talvor::kMinUnsharpRadius, talvor::kMaxUnsharpRadius, 3);

// Every radius at the dialog's middle power, and the largest radius at the ends of the power
// range: below full power the networks do the same work whatever the power and the pixels; at
// full power no pixel can change and the pass only reports its rows. Timed as the program
// applies the filter: the undo copy, then the pass in place, or for the 3 x 3 window through
// the second image.
void BM_MedianFilter(benchmark::State& state) {
    const int radius = static_cast<int>(state.range(0));
    const int tenths = static_cast<int>(state.range(1));
    auto store = SkyFrame();
    const ImageBuffer original = store->CurrentImage;
    for (auto _ : state) {
        talvor::SaveUndoCopy(*store);
        if (talvor::MedianWorksInPlace(radius)) {
            talvor::MedianPass(store->CurrentImage, store->CurrentImage, radius, tenths, radius,
                               [] {});
        } else {
            talvor::CopyFrame(store->CurrentImage, store->SecondImage);
            talvor::MedianPass(store->SecondImage, store->CurrentImage, radius, tenths, radius,
                               [] {});
        }
        benchmark::DoNotOptimize(store->CurrentImage.data());
        state.PauseTiming();
        store->CurrentImage = original;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MedianFilter)
    ->Args({1, 6})
    ->Args({2, 6})
    ->Args({3, 6})
    ->Args({3, 1})
    ->Args({3, 10})
    ->ArgNames({"radius", "tenths"});

void BM_GradientFilter(benchmark::State& state) {
    auto store = SkyFrame();
    const ImageBuffer original = store->CurrentImage;
    for (auto _ : state) {
        talvor::SaveUndoCopy(*store);
        talvor::RemoveGradient(store->CurrentImage, talvor::FindCornerModes(store->CurrentImage),
                               0);
        benchmark::DoNotOptimize(store->CurrentImage.data());
        state.PauseTiming();
        store->CurrentImage = original;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GradientFilter);

// Mirror Image reverses every row through the second image and copies the rows back; it takes
// no undo copy.
void BM_MirrorImage(benchmark::State& state) {
    auto store = SkyFrame();
    for (auto _ : state) {
        talvor::MirrorRows(store->CurrentImage, store->SecondImage, 0);
        benchmark::DoNotOptimize(store->CurrentImage.data());
    }
}
BENCHMARK(BM_MirrorImage);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-sky-frame") == 0) {
        return WriteSkyFrame(argv[2]) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
