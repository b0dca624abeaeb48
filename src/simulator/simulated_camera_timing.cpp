#include "simulator/simulated_camera_timing.h"

#include <chrono>
#include <thread>

#include "core/camera_state.h"

namespace talvor {
namespace {

// Real time passes: the thread sleeps, so a waiting program costs no processor time.
class SleepingPace final : public CameraPace {
  public:
    void Spend(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

}  // namespace

uint32_t TransferMs(std::size_t bytes) {
    return static_cast<uint32_t>(bytes * kFullFrameTransferMs / kFullFrameBlockBytes);
}

std::unique_ptr<CameraPace> PaceFor(CameraTiming timing) {
    if (timing == CameraTiming::Fast) {
        return nullptr;
    }
    return std::make_unique<SleepingPace>();
}

}  // namespace talvor
