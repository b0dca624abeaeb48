#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace talvor {

// How long the simulated camera's hardware takes, as a real camera would: a command report
// about a millisecond, a whole frame about two and a half seconds to come over the bus (a
// window in proportion to its bytes), and an exposure that the camera times itself its time.
inline constexpr uint32_t kReportMs = 1;
inline constexpr uint32_t kFullFrameTransferMs = 2500;

// The time a block of this many bytes takes to arrive.
uint32_t TransferMs(std::size_t bytes);

// Whether the simulated camera takes its time (the program then waits on it as on the
// hardware) or answers at once, for tests that want no waiting.
enum class CameraTiming { Real, Fast };

// How the simulated camera's time passes.
class CameraPace {
  public:
    virtual ~CameraPace() = default;
    virtual void Spend(uint32_t milliseconds) = 0;
};

// The pace of a timing: real time passes for Real; none for Fast (no pace at all).
std::unique_ptr<CameraPace> PaceFor(CameraTiming timing);

}  // namespace talvor
