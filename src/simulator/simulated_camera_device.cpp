#include "simulator/simulated_camera_device.h"

#include <algorithm>

#include "camera/camera_commands.h"
#include "core/camera_state.h"
#include "core/clock.h"
#include "core/light_region.h"
#include "simulator/random_stream.h"

namespace talvor {
namespace {

// Where the picture sits in a whole-frame block.
constexpr int kBorderColumns = 19;
constexpr int kBorderRows = 7;
constexpr int kWindowSide = 128;
// One point of the star's path per this many milliseconds of exposure, within limits.
constexpr uint32_t kPathStepMs = 250;
constexpr int kMostPathPoints = 24;

// How long ago `earlier` was, seen from `later`, on the wrapping millisecond count; 0 when it
// lies in the future.
uint32_t Since(uint32_t earlier, uint32_t later) {
    const auto difference = static_cast<int32_t>(later - earlier);
    return difference > 0 ? static_cast<uint32_t>(difference) : 0;
}

// The firmware reads its 128 x 128 window four columns right of and six rows above the place
// its window bytes name; the program's guide-frame placement moves the bytes to allow for it.
// The window stays on the picture.
constexpr int kWindowColumnsRight = 4;
constexpr int kWindowRowsUp = 6;

int WindowColumn(std::span<const uint8_t> command) {
    return std::min(3 * command[5] - 24 + kWindowColumnsRight, kCameraColumns - kWindowSide);
}

int WindowRow(std::span<const uint8_t> command) {
    return std::max(command[3] - kWindowRowsUp, 0);
}

}  // namespace

SimulatedCameraDevice::SimulatedCameraDevice(Clock& clock, PointingSource& pointing,
                                             const SimulatedCameraSettings& settings)
    : clock_(clock),
      pointing_(&pointing),
      seed_(settings.seed),
      field_(StarField::Generate(settings.seed, settings.field)),
      sensor_(settings.seed, settings.sensor) {}

void SimulatedCameraDevice::ReceiveReport(std::span<const uint8_t> report) {
    // The camera has one unnumbered output report.
    if (report.size() < 2 || report[0] != 0) {
        return;
    }
    std::array<uint8_t, kCommandBytes> command{};
    const std::span<const uint8_t> payload = report.subspan(1);
    std::copy_n(payload.begin(), std::min(payload.size(), command.size()), command.begin());

    const uint32_t now = clock_.Milliseconds();
    const PointingOffset offset = pointing_->OffsetAt(now);
    if (trailStale_) {
        trail_.Restart(now, offset);
        trailStale_ = false;
    } else {
        trail_.Add(now, offset);
    }
    if (command[0] == kControlCommand) {
        Control(command[1], now);
    } else if (command[0] == kReadoutCommand) {
        Readout(command, now);
    }
}

void SimulatedCameraDevice::Control(uint8_t code, uint32_t now) {
    switch (static_cast<ControlCode>(code)) {
        case ControlCode::Start:
            mainStart_ = now;
            mainStarted_ = true;
            windowStart_ = now;
            windowOpen_ = true;
            break;
        case ControlCode::Clear:
            if (!mainStarted_ && !mainCleared_) {
                mainStart_ = now;
                mainCleared_ = true;
            }
            if (!windowOpen_) {
                windowStart_ = now;
                windowOpen_ = true;
            }
            break;
        case ControlCode::End:
        case ControlCode::EndAlt4:
        case ControlCode::EndAlt5:
            lastEnd_ = now;
            ended_ = true;
            windowOpen_ = false;
            break;
    }
}

void SimulatedCameraDevice::Readout(std::span<const uint8_t> command, uint32_t now) {
    const bool window = command[7] == 1;
    const uint32_t cameraTimedMs = command[1] | (command[2] << 8);
    uint32_t start = now;
    uint32_t duration = cameraTimedMs;
    if (cameraTimedMs == 0) {
        start = window ? windowStart_ : mainStart_;
        // The exposure ends at the last end command, or now when none came after its start.
        const bool endedSinceStart = ended_ && static_cast<int32_t>(lastEnd_ - start) >= 0;
        const uint32_t end = endedSinceStart ? lastEnd_ : now;
        duration = Since(start, end);
    }
    if (window) {
        Render(WindowColumn(command), WindowRow(command), kWindowSide, kWindowSide, start,
               duration);
        return;
    }
    Render(-kBorderColumns, -kBorderRows, kBlockColumns, kBlockRows, start, duration);
    mainStarted_ = false;
    mainCleared_ = false;
    trailStale_ = true;
}

void SimulatedCameraDevice::Render(int left, int top, int width, int height, uint32_t start,
                                   uint32_t durationMs) {
    const int points =
        static_cast<int>(std::clamp<uint32_t>(durationMs / kPathStepMs, 1, kMostPathPoints));
    const std::vector<PointingOffset> path = trail_.Along(start, durationMs, points);
    const double seconds = durationMs / 1000.0;

    LightRegion light(left, top, width, height);
    if (!lensCapped_ || !lensCapped_()) {
        field_.Expose(light, seconds, path);
    }
    RandomStream noise(MixSeed(seed_, 1000 + frames_++));
    std::vector<uint16_t> pixels(light.counts.size());
    sensor_.ReadOut(light, seconds, noise, pixels);

    block_.resize(pixels.size() * 2);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        block_[2 * i] = static_cast<uint8_t>(pixels[i] & 0xFF);
        block_[2 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
    }
    lastExposureMs_ = durationMs;
}

std::size_t SimulatedCameraDevice::DeliverBlock(std::span<uint8_t> destination) {
    const std::size_t bytes = std::min(destination.size(), block_.size());
    std::copy_n(block_.begin(), bytes, destination.begin());
    block_.clear();
    return bytes;
}

}  // namespace talvor
