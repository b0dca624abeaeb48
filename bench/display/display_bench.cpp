// The cost of showing a frame: the display bytes, the bitmap file and its reload, beside a plain
// copy of the frame measured in the same run.

#include <benchmark/benchmark.h>

#include <QImage>
#include <filesystem>

#include "core/image_store.h"
#include "display/display_bitmap.h"
#include "plain_frame_copy.h"

namespace {

std::filesystem::path BenchFile() {
    return std::filesystem::temp_directory_path() / "talvor-bench-display.bmp";
}

void BM_BuildDisplayBytes(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    const bool zenka = state.range(0) != 0;
    for (auto _ : state) {
        talvor::BuildDisplayBytes(store->CurrentImage, store->DisplayBytes, false, zenka);
        benchmark::DoNotOptimize(store->DisplayBytes.data());
    }
}
BENCHMARK(BM_BuildDisplayBytes)->Arg(0)->Arg(1)->ArgName("zenka");

// The whole refresh path: bytes, colour table, bitmap file, and the reload the window does.
void BM_RefreshDisplayPath(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    const bool zenka = state.range(0) != 0;
    const auto file = BenchFile();
    for (auto _ : state) {
        talvor::BuildDisplayBytes(store->CurrentImage, store->DisplayBytes, false, zenka);
        const auto colours = talvor::BuildColourTable({});
        talvor::WriteDisplayBitmap(store->DisplayBytes, store->BitmapRows, false, zenka, colours,
                                   file);
        QImage reloaded(QString::fromStdString(file.string()), "BMP");
        benchmark::DoNotOptimize(reloaded.constBits());
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_RefreshDisplayPath)->Arg(0)->Arg(1)->ArgName("zenka")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
