#include "camera/focus_frames.h"

#include "camera/camera_commands.h"
#include "core/clock.h"
#include "core/session.h"

namespace talvor {
namespace {

constexpr int32_t kShortestHostWaitMs = 500;
constexpr int32_t kKeepClearOverMs = 600;
constexpr int kPeakFirstRow = 12;
constexpr int kPeakLastRow = 125;
constexpr int kPeakFirstColumn = 5;
constexpr int kPeakLastColumn = 125;

// Steps 1 to 4 of a focus frame: exposure time, clear, start, wait, end, window readout.
void ExposeWindow(Session& session, CameraLink& link, const FrameRequest& request) {
    session.readout.ExposureMs = FrameExposureMs(request.ExposureValue, request.ExposureUnit);
    ClearCommand(session, link);
    StartCommand(session, link);
    KeepClearWait(session, link, session.readout.ExposureMs);
    EndCommand(session, link);
    ReadFocusWindow(session, link);
}

}  // namespace

int32_t FrameExposureMs(int value, char unit) {
    switch (unit) {
        case 'q':
            return value;
        case 'h':
            return value * 10;
        case 't':
            return value * 100;
        default:
            return value * 1000;
    }
}

void KeepClearWait(Session& session, CameraLink& link, int32_t durationMs) {
    if (durationMs < kShortestHostWaitMs) {
        return;
    }
    const uint32_t end = session.clock.Milliseconds() + static_cast<uint32_t>(durationMs);
    do {
        if (durationMs > kKeepClearOverMs) {
            ClearCommand(session, link);
        }
    } while (!DeadlineReached(session.clock.Milliseconds(), end));
}

void ApplyFrameGain(ImageBuffer& frame, int stretchBits, bool stretchForAllImages) {
    if (stretchForAllImages || stretchBits >= 16 || stretchBits < 12) {
        return;
    }
    const uint32_t factor = 1U << (16 - stretchBits);
    for (int i = 0; i < kSmallFramePixels; ++i) {
        const uint32_t product = frame[i] * factor;
        frame[i] = product >= 65535 ? uint16_t{65535} : static_cast<uint16_t>(product);
    }
}

uint16_t FindFocusPeak(const ImageBuffer& frame) {
    uint16_t peak = 0;
    for (int row = kPeakFirstRow; row <= kPeakLastRow; ++row) {
        for (int column = kPeakFirstColumn; column <= kPeakLastColumn; ++column) {
            const uint16_t pixel = frame[row * kSmallFrameSide + column] / 4;
            const uint16_t above = frame[(row - 1) * kSmallFrameSide + column] / 4;
            if (pixel > peak && above > peak) {
                peak = pixel;
            }
        }
    }
    return peak;
}

uint16_t TakeFocusFrame(Session& session, CameraLink& link, const FrameRequest& request) {
    ExposeWindow(session, link, request);
    ImageBuffer& frame = ReadoutDestination(session);
    const uint16_t peak = FindFocusPeak(frame);
    ApplyFrameGain(frame, session.readout.StretchBits, request.StretchForAllImages);
    return peak;
}

void TakeGuideFrame(Session& session, CameraLink& link, const FrameRequest& request) {
    ExposeWindow(session, link, request);
    ApplyFrameGain(ReadoutDestination(session), session.readout.StretchBits,
                   request.StretchForAllImages);
}

void TakeGuideFrameShort(Session& session, CameraLink& link, const FrameRequest& request) {
    ClearCommand(session, link);
    KeepClearWait(session, link, request.GuideExposureMs);
    if (request.MidReadoutDone) {
        EndCommandAlt5(session, link);
    } else {
        EndCommandAlt4(session, link);
    }
    ReadFocusWindow(session, link);
    ApplyFrameGain(ReadoutDestination(session), session.readout.StretchBits,
                   request.StretchForAllImages);
}

}  // namespace talvor
