#include "camera/camera_commands.h"

#include <algorithm>

#include "core/camera_link.h"
#include "core/camera_state.h"
#include "core/session.h"

namespace talvor {
namespace {

// Exposures from this length on are timed by the program, shorter ones by the camera.
constexpr int32_t kHostTimedFromMs = 500;
// Where the picture starts within a whole-frame block.
constexpr int kPictureFirstRow = 7;
constexpr int kPictureFirstPixel = 19;
constexpr uint8_t kWholeFrame = 0;
constexpr uint8_t kWindow = 1;

void SendControl(Session& session, CameraLink& link, ControlCode code) {
    SetControlCommand(session.readout.CommandBuffer, code);
    link.SendCommand(session.readout.CommandBuffer);
}

uint16_t LittleEndianWord(std::span<const uint8_t> bytes, std::size_t word) {
    return static_cast<uint16_t>(bytes[2 * word] | (bytes[2 * word + 1] << 8));
}

}  // namespace

void SetControlCommand(CommandBytes& command, ControlCode code) {
    command.fill(0);
    command[0] = kControlCommand;
    command[1] = static_cast<uint8_t>(code);
}

void SetReadoutTime(CommandBytes& command, int32_t exposureMs) {
    if (exposureMs >= kHostTimedFromMs) {
        command[1] = 0;
        command[2] = 0;
        return;
    }
    const auto time = static_cast<uint16_t>(exposureMs);
    command[1] = static_cast<uint8_t>(time & 0xFF);
    command[2] = static_cast<uint8_t>(time >> 8);
}

void SetWindowBytes(CommandBytes& command, WindowOrigin origin) {
    const int columnParameter = (origin.x + 64 - 40) / 3;
    command[3] = static_cast<uint8_t>(origin.y);
    command[4] = static_cast<uint8_t>(34 - (origin.y + 64));
    command[5] = static_cast<uint8_t>(columnParameter);
    command[6] = static_cast<uint8_t>(250 - command[5]);
}

void ClearCommand(Session& session, CameraLink& link) {
    SendControl(session, link, ControlCode::Clear);
}

void StartCommand(Session& session, CameraLink& link) {
    SendControl(session, link, ControlCode::Start);
}

void EndCommand(Session& session, CameraLink& link) {
    SendControl(session, link, ControlCode::End);
}

void EndCommandAlt4(Session& session, CameraLink& link) {
    SendControl(session, link, ControlCode::EndAlt4);
}

void EndCommandAlt5(Session& session, CameraLink& link) {
    SendControl(session, link, ControlCode::EndAlt5);
}

ImageBuffer& ReadoutDestination(Session& session) {
    // A new photo: the undo copy belongs to a picture that is no longer shown.
    DiscardUndoCopy(session.images);
    ImageBuffer* destination = session.readout.FrameDestination;
    return destination != nullptr ? *destination : session.images.CurrentImage;
}

ReadoutResult ReadFullFrame(Session& session, CameraLink& link) {
    CommandBytes& command = session.readout.CommandBuffer;
    SetReadoutTime(command, session.readout.ExposureMs);
    command[3] = 0;
    command[4] = 0;
    command[7] = kWholeFrame;
    session.camera.BlockByteCount = kFullFrameBlockBytes;
    link.ReadBlock();
    if (session.camera.LinkLost) {
        return ReadoutResult::Failed;
    }
    CopyFullFrameBlock(session.camera.ReceiveBuffer, ReadoutDestination(session));
    return ReadoutResult::Read;
}

ReadoutResult ReadFocusWindow(Session& session, CameraLink& link) {
    CommandBytes& command = session.readout.CommandBuffer;
    SetReadoutTime(command, session.readout.ExposureMs);
    SetWindowBytes(command, session.readout.FocusWindowOrigin);
    command[7] = kWindow;
    session.camera.BlockByteCount = kWindowBlockBytes;
    link.ReadBlock();
    // The link leaves zeros for whatever did not arrive.
    CopyWindowBlock(session.camera.ReceiveBuffer, ReadoutDestination(session));
    return session.camera.LinkLost ? ReadoutResult::Failed : ReadoutResult::Read;
}

void CopyFullFrameBlock(std::span<const uint8_t> block, ImageBuffer& frame) {
    if (block.size() < kFullFrameBlockBytes) {
        return;
    }
    for (int row = 0; row < kFrameRows; ++row) {
        const std::size_t first =
            static_cast<std::size_t>(kPictureFirstRow + row) * kBlockColumns + kPictureFirstPixel;
        for (int column = 0; column < kCameraColumns; ++column) {
            PixelAt(frame, column, row) = LittleEndianWord(block, first + column);
        }
    }
}

void CopyWindowBlock(std::span<const uint8_t> block, ImageBuffer& frame) {
    const std::size_t words = std::min<std::size_t>(block.size() / 2, kSmallFramePixels);
    for (std::size_t i = 0; i < words; ++i) {
        frame[i] = LittleEndianWord(block, i);
    }
}

}  // namespace talvor
