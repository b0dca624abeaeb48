// The host's share of one full-frame exposure after the camera's own 2-3 seconds of readout:
// the block into the frame, the displayed picture, and the automatic FITS save.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "camera/camera_commands.h"
#include "core/camera_state.h"
#include "core/image_store.h"
#include "display/display_bitmap.h"
#include "image/fits_file.h"
#include "plain_frame_copy.h"

namespace {

void BM_ReadoutToPictureAndSave(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    talvor::WorkingState working;
    std::vector<uint8_t> block(talvor::kFullFrameBlockBytes);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 7);
    }
    const auto picture = std::filesystem::temp_directory_path() / "talvor-bench-capture.bmp";
    const auto fits = std::filesystem::temp_directory_path() / "talvor-bench-capture.fit";
    for (auto _ : state) {
        talvor::CopyFullFrameBlock(block, store->CurrentImage);
        talvor::BuildDisplayBytes(store->CurrentImage, store->DisplayBytes, false, false);
        talvor::WriteDisplayBitmap(store->DisplayBytes, store->BitmapRows, false, false,
                                   talvor::BuildColourTable({}), picture);
        talvor::WriteFitsFile(fits, store->CurrentImage, working.Fits, working, false);
    }
    std::filesystem::remove(picture);
    std::filesystem::remove(fits);
}
BENCHMARK(BM_ReadoutToPictureAndSave)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
