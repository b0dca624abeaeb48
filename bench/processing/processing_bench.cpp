// The Contrast and Filters steps on a full frame, beside a plain copy of the frame in the same
// run. Each step is timed as it computes: the undo copy, its table or its pass through the
// second image, and the copy back; the display refresh that follows every step is left out.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "core/image_store.h"
#include "plain_frame_copy.h"
#include "processing/gradient_filter.h"
#include "processing/kernel_filters.h"
#include "processing/median_filter.h"
#include "processing/stretch_table.h"
#include "processing/stretch_tables.h"
#include "processing/undo_copy.h"
#include "processing/unsharp_mask.h"

namespace {

using talvor::ImageBuffer;
using talvor::ImageStore;

// A night sky: a sloping background with noise, and stars.
std::unique_ptr<ImageStore> SkyFrame() {
    auto store = talvor::CreateImageStore();
    std::mt19937 random(42);
    std::normal_distribution<double> noise(0.0, 150.0);
    for (int y = 0; y < talvor::kFrameRows; ++y) {
        for (int x = 0; x < talvor::kFrameColumns; ++x) {
            const double sky = 3000 + 4 * x + 6 * y + noise(random);
            talvor::PixelAt(store->CurrentImage, x, y) =
                static_cast<uint16_t>(std::clamp(sky, 0.0, 65535.0));
        }
    }
    std::uniform_int_distribution<int> where(0, talvor::kFramePixels - 1);
    std::uniform_int_distribution<int> bright(10000, 65535);
    for (int star = 0; star < 1500; ++star) {
        store->CurrentImage[where(random)] = static_cast<uint16_t>(bright(random));
    }
    return store;
}

// A stretch: its table, the undo copy and the mapping of every word.
template <typename MakeTable>
void RunStretch(benchmark::State& state, MakeTable makeTable) {
    auto store = SkyFrame();
    const ImageBuffer original = store->CurrentImage;
    for (auto _ : state) {
        const talvor::StretchTable table = makeTable();
        talvor::SaveUndoCopy(*store);
        talvor::MapThroughStretchTable(table, store->CurrentImage, 0, talvor::kFramePixels);
        benchmark::DoNotOptimize(store->CurrentImage.data());
        state.PauseTiming();
        store->CurrentImage = original;
        state.ResumeTiming();
    }
}

void BM_NormalStretch(benchmark::State& state) {
    RunStretch(state, [] { return talvor::NormalStretchTable(12, 200); });
}
void BM_PowerLawStretch(benchmark::State& state) {
    RunStretch(state, [] { return talvor::PowerStretchTable(1.5); });
}
void BM_SineLawStretch(benchmark::State& state) {
    RunStretch(state, [] { return talvor::SineStretchTable(); });
}
void BM_RemoveBackground(benchmark::State& state) {
    RunStretch(state, [] { return talvor::BackgroundRemovalTable(20); });
}
void BM_NonLinearStretch(benchmark::State& state) {
    RunStretch(state, [] { return talvor::NonLinearStretchTable(25); });
}
void BM_LogarithmicStretch(benchmark::State& state) {
    RunStretch(state, [] { return talvor::LogStretchTable(); });
}
void BM_AntilogarithmicStretch(benchmark::State& state) {
    RunStretch(state, [] { return talvor::AntiLogStretchTable(); });
}
void BM_InvertToNegative(benchmark::State& state) {
    RunStretch(state, [] { return talvor::InvertTable(); });
}
BENCHMARK(BM_NormalStretch);
BENCHMARK(BM_PowerLawStretch);
BENCHMARK(BM_SineLawStretch);
BENCHMARK(BM_RemoveBackground);
BENCHMARK(BM_NonLinearStretch);
BENCHMARK(BM_LogarithmicStretch);
BENCHMARK(BM_AntilogarithmicStretch);
BENCHMARK(BM_InvertToNegative);

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
BENCHMARK(BM_UnsharpMask)->Arg(1)->Arg(3)->Arg(7);

void BM_MedianFilter(benchmark::State& state) {
    const int radius = static_cast<int>(state.range(0));
    RunFilter(state, [radius](const ImageBuffer& source, ImageBuffer& target) {
        talvor::MedianPass(source, target, radius, 6, radius, [] {});
    });
}
BENCHMARK(BM_MedianFilter)->Arg(1)->Arg(2)->Arg(3);

// The median's selection done the slow way, by h repeated searches for the window maximum,
// to show what the sorted sliding window saves.
void BM_MedianNaiveSelection(benchmark::State& state) {
    const int f = static_cast<int>(state.range(0));
    RunFilter(state, [f](const ImageBuffer& source, ImageBuffer& target) {
        const float power = talvor::MedianPower(6);
        const int n = (2 * f + 1) * (2 * f + 1);
        const int h = n / 2 + 1;
        std::vector<int> window(static_cast<std::size_t>(n));
        for (int y = f; y <= talvor::kFrameRows - 1 - f; ++y) {
            for (int x = f; x <= talvor::kFrameColumns - 1 - f; ++x) {
                int lo = talvor::kMedianMinimumCap;
                int count = 0;
                for (int cx = x - f; cx <= x + f; ++cx) {
                    for (int cy = y - f; cy <= y + f; ++cy) {
                        window[count] = talvor::PixelAt(source, cx, cy);
                        lo = std::min(lo, window[count]);
                        ++count;
                    }
                }
                int hi = 0;
                int med = 0;
                for (int step = 0; step < h; ++step) {
                    int index = 0;
                    for (int i = 0; i < n; ++i) {
                        if (window[i] >= window[index]) {
                            index = i;
                        }
                    }
                    hi = step == 0 ? window[index] : hi;
                    med = window[index];
                    window[index] = 0;
                }
                const int p = talvor::PixelAt(source, x, y);
                if (talvor::MedianThreshold(hi, lo, power) < std::abs(med - p)) {
                    talvor::PixelAt(target, x, y) = static_cast<uint16_t>(med);
                }
            }
        }
    });
}
BENCHMARK(BM_MedianNaiveSelection)->Arg(3);

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

}  // namespace

BENCHMARK_MAIN();
