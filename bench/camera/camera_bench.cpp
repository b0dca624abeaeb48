// The cost of a camera frame on the host: copying a received block into a frame store, and the
// simulated camera drawing a whole frame or a focus window.

#include <benchmark/benchmark.h>

#include <vector>

#include "camera/camera_commands.h"
#include "core/camera_state.h"
#include "core/clock.h"
#include "core/image_store.h"
#include "simulator/simulated_camera_device.h"
#include "simulator/steady_drift.h"

namespace {

// Moves on by a second between reads, so each exposure lasts a second.
class BenchClock final : public talvor::Clock {
  public:
    uint32_t Milliseconds() override { return now_ += 1000; }
    talvor::CalendarTime LocalTime() override { return {}; }

  private:
    uint32_t now_ = 0;
};

void BM_CopyFullFrameBlock(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    std::vector<uint8_t> block(talvor::kFullFrameBlockBytes);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 31);
    }
    for (auto _ : state) {
        talvor::CopyFullFrameBlock(block, store->CurrentImage);
        benchmark::DoNotOptimize(store->CurrentImage.data());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(talvor::kFullFrameBlockBytes));
}
BENCHMARK(BM_CopyFullFrameBlock);

// One exposure and readout of the simulated camera with its default star field.
void BM_SimulatedExposure(benchmark::State& state) {
    const bool window = state.range(0) != 0;
    BenchClock clock;
    talvor::SteadyDrift drift(0, 0.03, 0.015);
    talvor::SimulatedCameraDevice device(clock, drift, talvor::SimulatedCameraSettings{});
    const std::vector<uint8_t> clear{0, 2, 2, 0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> start{0, 2, 1, 0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> end{0, 2, 3, 0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> readout = window
                                             ? std::vector<uint8_t>{0, 4, 0, 0, 65, 161, 69, 181, 1}
                                             : std::vector<uint8_t>{0, 4, 0, 0, 0, 0, 0, 0, 0};
    std::vector<uint8_t> block(window ? talvor::kWindowBlockBytes : talvor::kFullFrameBlockBytes);
    for (auto _ : state) {
        device.ReceiveReport(clear);
        device.ReceiveReport(start);
        device.ReceiveReport(end);
        device.ReceiveReport(readout);
        benchmark::DoNotOptimize(device.DeliverBlock(block));
    }
}
BENCHMARK(BM_SimulatedExposure)->Arg(0)->Arg(1)->ArgName("window")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
