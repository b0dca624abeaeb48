#pragma once

#include <cstdint>
#include <span>

namespace talvor {

// The transport between the program and the camera: a control device that takes short command
// reports and a block device that delivers frames. It knows nothing of what the commands mean.
// The first failed send or read is shown to the user where it happens and marks the camera as
// gone (CameraState::LinkLost, CameraConnected false); callers see that and end their run.
class CameraLink {
  public:
    virtual ~CameraLink() = default;

    // Finds and opens the camera's control and block devices and sets CameraConnected. Returns
    // true when any device interface was enumerated, false when discovery stopped on an error.
    virtual bool FindCamera() = 0;

    // Sends 1..254 bytes as one report to the control device.
    virtual void SendCommand(std::span<const uint8_t> bytes) = 0;

    // Sends the readout command held in CommandBuffer, then reads BlockByteCount bytes from the
    // block device into ReceiveBuffer. Bytes that did not arrive read as zero.
    virtual void ReadBlock() = 0;
};

}  // namespace talvor
