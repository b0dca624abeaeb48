#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/camera_link.h"
#include "core/zeroed_bytes.h"

namespace talvor {

// The blocks the camera delivers: a whole frame is 298 rows of 576 little-endian 16-bit pixels,
// a focus or guide window 128 rows of 128.
inline constexpr int kBlockRows = 298;
inline constexpr int kBlockColumns = 576;
inline constexpr std::size_t kFullFrameBlockBytes = kBlockRows * kBlockColumns * 2;  // 343296
inline constexpr std::size_t kWindowBlockBytes = 128 * 128 * 2;                      // 32768

// The camera link's state for the run.
struct CameraState {
    // The camera's devices were found and opened.
    bool CameraConnected = false;
    // A command or a block read failed since the camera was found: the camera is taken as
    // gone (CameraConnected is false again) until discovery finds it anew. The run that was
    // using it ends; no frame is made from a failed read.
    bool LinkLost = false;
    // Set by discovery on the platforms where a program may mask interrupts during a download.
    // A Linux user program cannot, so it stays false there.
    bool OsFamilyFlag = false;
    // Every block read lands here from its first byte on; it holds the largest block.
    ZeroedBytes ReceiveBuffer{kFullFrameBlockBytes};
    // The bytes the next block read asks for, and the bytes the last one delivered.
    std::size_t BlockByteCount = 0;
    std::size_t BytesRead = 0;
    // The camera of the run, real or simulated; none until the program chooses one.
    std::unique_ptr<CameraLink> Link;
};

}  // namespace talvor
