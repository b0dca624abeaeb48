#pragma once

#include <cstdint>
#include <span>

#include "core/image_store.h"
#include "core/readout_state.h"

namespace talvor {

class CameraLink;
struct Session;

// Byte 1 of a control command (byte 0 = 2).
enum class ControlCode : uint8_t {
    Start = 1,
    Clear = 2,
    End = 3,
    EndAlt4 = 4,
    EndAlt5 = 5,
};

inline constexpr uint8_t kControlCommand = 2;
inline constexpr uint8_t kReadoutCommand = 4;

// The command bytes, as pure functions of what they encode.
// A control command: all eight bytes zero, then byte 0 = 2 and byte 1 = the code.
void SetControlCommand(CommandBytes& command, ControlCode code);
// Bytes 1-2 of a readout: 0 from 500 ms on (the program times the exposure), else the
// milliseconds as a 16-bit little-endian number (the camera times it).
void SetReadoutTime(CommandBytes& command, int32_t exposureMs);
// Bytes 3-6 of a window readout for the window's top-left corner, in 8 bits each.
void SetWindowBytes(CommandBytes& command, WindowOrigin origin);

// The five control commands.
void ClearCommand(Session& session, CameraLink& link);
void StartCommand(Session& session, CameraLink& link);
void EndCommand(Session& session, CameraLink& link);
void EndCommandAlt4(Session& session, CameraLink& link);
void EndCommandAlt5(Session& session, CameraLink& link);

// The store the next readout fills: FrameDestination, or the current image while none is set.
ImageBuffer& ReadoutDestination(Session& session);

enum class ReadoutResult { Read, Failed };

// Reads a whole frame into rows 0..289, columns 0..509 of the readout destination. When the
// camera is lost during the readout the destination keeps the frame it held.
ReadoutResult ReadFullFrame(Session& session, CameraLink& link);
// Reads the 128 x 128 window at FocusWindowOrigin into the first 16384 pixels of the readout
// destination. A failed read leaves a blank window, so that no star is measured again from an
// earlier frame.
ReadoutResult ReadFocusWindow(Session& session, CameraLink& link);

// Copies the picture of a whole-frame block (rows 7..296, pixels 19..528) into rows 0..289,
// columns 0..509 of the frame; columns 510 and 511 keep their values.
void CopyFullFrameBlock(std::span<const uint8_t> block, ImageBuffer& frame);
// Copies a window block into the first 16384 pixels of the frame, 128 per row.
void CopyWindowBlock(std::span<const uint8_t> block, ImageBuffer& frame);

}  // namespace talvor
