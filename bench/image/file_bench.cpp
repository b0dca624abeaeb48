// Writing and reading each file format, beside a plain copy of the frame in the same run.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/image_store.h"
#include "image/fits_file.h"
#include "image/native_file.h"
#include "image/tiff_file.h"
#include "plain_frame_copy.h"

namespace {

std::filesystem::path BenchFile(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

void BM_EncodeNative(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    for (auto _ : state) {
        benchmark::DoNotOptimize(talvor::EncodeNativeFile(store->CurrentImage));
    }
}
BENCHMARK(BM_EncodeNative);

void BM_DecodeNative(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    const auto bytes = talvor::EncodeNativeFile(store->CurrentImage);
    for (auto _ : state) {
        talvor::DecodeNativeFile(bytes, false, store->SecondImage);
        benchmark::DoNotOptimize(store->SecondImage.data());
    }
}
BENCHMARK(BM_DecodeNative);

void BM_EncodeFits(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    talvor::WorkingState working;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            talvor::EncodeFitsFile(store->CurrentImage, working.Fits, working, false));
    }
}
BENCHMARK(BM_EncodeFits);

void BM_DecodeFits(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    talvor::WorkingState working;
    const auto bytes = talvor::EncodeFitsFile(store->CurrentImage, working.Fits, working, false);
    for (auto _ : state) {
        talvor::DecodeFitsFile(bytes, 3, store->SecondImage, working);
        benchmark::DoNotOptimize(store->SecondImage.data());
    }
}
BENCHMARK(BM_DecodeFits);

void BM_EncodeTiff(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    for (auto _ : state) {
        benchmark::DoNotOptimize(talvor::EncodeTiffFile(store->CurrentImage));
    }
}
BENCHMARK(BM_EncodeTiff);

// Whole saves through the temporary file and the rename.
void BM_WriteFiles(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    talvor::WorkingState working;
    const auto file = BenchFile("talvor-bench-file");
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0:
                talvor::WriteNativeFile(file, store->CurrentImage);
                break;
            case 1:
                talvor::WriteFitsFile(file, store->CurrentImage, working.Fits, working, false);
                break;
            default:
                talvor::WriteTiffFile(file, store->CurrentImage);
                break;
        }
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_WriteFiles)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("native_fits_tiff")
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
