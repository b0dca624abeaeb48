#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "core/pointing_offset.h"
#include "simulator/pointing_trail.h"
#include "simulator/sensor_model.h"
#include "simulator/star_field.h"

namespace talvor {

class Clock;

struct SimulatedCameraSettings {
    uint64_t seed = 20240607;
    StarFieldSettings field;
    SensorSettings sensor;
    // The drift of the sky while no simulated mount drives the pointing.
    double driftXPixelsPerSecond = 0.03;
    double driftYPixelsPerSecond = 0.015;
};

// The camera's side of the USB link, as its firmware behaves: it takes the 8-byte command
// reports and prepares the block each readout asks for.
//
// An exposure runs from the start command (or, without one, the first clear after the last
// whole-frame readout) to the last end command before a whole-frame readout. A window frame
// runs from the later of the last start command and the first clear after the last end
// command, to the end command that follows; clears in between only keep the chip clear. When
// the readout command carries a time (under 500 ms), the camera times the exposure itself from
// the readout on. Stars are drawn along the path the pointing took during the exposure. A window
// is read 4 columns right of and 6 rows above the place its bytes name, as the program's
// guide-frame placement expects of the camera.
class SimulatedCameraDevice {
  public:
    SimulatedCameraDevice(Clock& clock, PointingSource& pointing,
                          const SimulatedCameraSettings& settings);

    void SetPointingSource(PointingSource& pointing) { pointing_ = &pointing; }
    // Asked at each readout: while it answers true the telescope is capped and no light
    // reaches the chip, so frames hold bias, dark current and noise only, as a dark frame does.
    void SetLensCap(std::function<bool()> capped) { lensCapped_ = std::move(capped); }
    StarField& Field() { return field_; }
    const SensorModel& Sensor() const { return sensor_; }

    // Takes one output report: report id 0, then the command bytes.
    void ReceiveReport(std::span<const uint8_t> report);
    // Hands over the block that the last readout prepared, as far as the destination holds it;
    // returns the bytes delivered, 0 when no block is waiting.
    std::size_t DeliverBlock(std::span<uint8_t> destination);

    // The exposure of the last block, in milliseconds.
    uint32_t LastExposureMs() const { return lastExposureMs_; }

  private:
    void Control(uint8_t code, uint32_t now);
    void Readout(std::span<const uint8_t> command, uint32_t now);
    void Render(int left, int top, int width, int height, uint32_t start, uint32_t durationMs);

    Clock& clock_;
    PointingSource* pointing_;
    uint64_t seed_;
    StarField field_;
    SensorModel sensor_;
    PointingTrail trail_;
    bool trailStale_ = true;
    std::function<bool()> lensCapped_;

    uint32_t mainStart_ = 0;
    bool mainStarted_ = false;  // by a start command since the last whole-frame readout
    bool mainCleared_ = false;  // by a clear since then
    uint32_t windowStart_ = 0;
    bool windowOpen_ = false;
    uint32_t lastEnd_ = 0;
    bool ended_ = false;

    uint64_t frames_ = 0;
    uint32_t lastExposureMs_ = 0;
    std::vector<uint8_t> block_;
};

}  // namespace talvor
