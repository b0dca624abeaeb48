// Dark subtraction, flat field, averaging, frame accumulation and merging on a full frame,
// beside a plain copy of the frame measured in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>

#include "core/image_store.h"
#include "plain_frame_copy.h"
#include "processing/frame_arithmetic.h"

namespace {

using talvor::ImageBuffer;

// A sky of about 2000 counts with noise, stars and a few saturated pixels.
std::unique_ptr<ImageBuffer> SkyFrame(unsigned seed, int level) {
    auto frame = std::make_unique<ImageBuffer>();
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(level, level / 20.0);
    for (int i = 0; i < talvor::kFramePixels; ++i) {
        const double value = noise(random) + (random() % 997 == 0 ? 60000 : 0);
        (*frame)[i] = static_cast<uint16_t>(std::clamp(value, 0.0, 65535.0));
    }
    return frame;
}

// Each pass works on a fresh copy of the picture; the copy is not timed.
template <typename Step>
void RunOnFreshCopies(benchmark::State& state, Step step) {
    const auto picture = SkyFrame(1, 2000);
    const auto operand = SkyFrame(2, 1800);
    auto work = std::make_unique<ImageBuffer>();
    for (auto _ : state) {
        state.PauseTiming();
        talvor::CopyFrame(*picture, *work);
        state.ResumeTiming();
        step(*work, *operand);
        benchmark::DoNotOptimize(work->data());
    }
}

void BM_SubtractFrame(benchmark::State& state) {
    RunOnFreshCopies(state, [](ImageBuffer& image, const ImageBuffer& dark) {
        talvor::SubtractFrame(image, dark);
    });
}
BENCHMARK(BM_SubtractFrame);

void BM_AverageFrames(benchmark::State& state) {
    RunOnFreshCopies(state, [](ImageBuffer& image, const ImageBuffer& other) {
        talvor::AverageFrames(image, other);
    });
}
BENCHMARK(BM_AverageFrames);

// The whole Apply Flat Field pass: the normaliser and rows 1..289.
void BM_FlatField(benchmark::State& state) {
    RunOnFreshCopies(state, [](ImageBuffer& image, const ImageBuffer& flat) {
        const double normaliser = talvor::FlatFieldNormaliser(flat);
        for (int y = 1; y < talvor::kFrameRows; ++y) {
            talvor::FlatFieldRow(image, flat, normaliser, y);
        }
    });
}
BENCHMARK(BM_FlatField);

void BM_AccumulateFrame(benchmark::State& state) {
    RunOnFreshCopies(state, [](ImageBuffer& sum, const ImageBuffer& frame) {
        talvor::AccumulateFrame(sum, frame, false, false);
    });
}
BENCHMARK(BM_AccumulateFrame);

// Merging adds the merge image into the reference frame and copies the result back.
void BM_MergeFrames(benchmark::State& state) {
    const bool average = state.range(0) != 0;
    const auto merge = SkyFrame(3, 2000);
    const auto picture = SkyFrame(1, 2000);
    auto mergeWork = std::make_unique<ImageBuffer>();
    auto reference = std::make_unique<ImageBuffer>();
    for (auto _ : state) {
        state.PauseTiming();
        talvor::CopyFrame(*merge, *mergeWork);
        talvor::CopyFrame(*picture, *reference);
        state.ResumeTiming();
        talvor::MergeFrames(*mergeWork, *reference, 250, 140, 253, 137, average);
        benchmark::DoNotOptimize(mergeWork->data());
    }
}
BENCHMARK(BM_MergeFrames)->Arg(0)->Arg(1)->ArgName("average");

}  // namespace

BENCHMARK_MAIN();
