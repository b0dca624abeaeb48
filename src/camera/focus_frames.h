#pragma once

#include <cstdint>

#include "core/image_store.h"

namespace talvor {

class CameraLink;
struct Session;

// What the camera dialog and the running capture tell the focus and guide frames.
struct FrameRequest {
    // The exposure of focus frames and of guide frames with the main exposure time.
    int ExposureValue = 1;
    char ExposureUnit = 's';  // q, h, t; any other letter counts as seconds
    // The exposure of short guide frames inside a self-guided exposure.
    int32_t GuideExposureMs = 0;
    // The half-time readout of the running main exposure has happened.
    bool MidReadoutDone = false;
    // The camera dialog's "Set Stretch for all Images": window frames keep their counts.
    bool StretchForAllImages = false;
};

// Milliseconds of a focus or guide frame: the value times 1 (q), 10 (h), 100 (t) or 1000.
int32_t FrameExposureMs(int value, char unit);

// The host-timed wait of the focus and guide frames: none under 500 ms; otherwise the clock
// is read until the end time passes, and over 600 ms every pass also sends ClearCommand. It
// neither sleeps nor dispatches window events.
void KeepClearWait(Session& session, CameraLink& link, int32_t durationMs);

// Multiplies the 16384 pixels of a window frame by 2^(16 - stretchBits), saturating at 65535;
// nothing changes at 16 bits or when the stretch is set for all images.
void ApplyFrameGain(ImageBuffer& frame, int stretchBits, bool stretchForAllImages);

// The peak of a 128-wide window frame in units of 4 counts, over rows 12..125 and columns
// 5..125: a pixel raises it only when the pixel above it is as bright, so a lone hot pixel
// does not count.
uint16_t FindFocusPeak(const ImageBuffer& frame);

// A focus frame at the focus window: clear, start, wait, end, window readout. Returns its
// peak, measured before the gain is applied.
uint16_t TakeFocusFrame(Session& session, CameraLink& link, const FrameRequest& request);
// A guide frame with the main exposure time: as a focus frame, without the peak.
void TakeGuideFrame(Session& session, CameraLink& link, const FrameRequest& request);
// A guide frame with the guide exposure time inside a running main exposure: clear (the main
// integration goes on), wait, the guide end code, window readout, gain.
void TakeGuideFrameShort(Session& session, CameraLink& link, const FrameRequest& request);

}  // namespace talvor
