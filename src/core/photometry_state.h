#pragma once

#include <cstdint>
#include <functional>

#include "core/guiding_state.h"

namespace talvor {

// What the next left click of photometry records.
enum class PhotometryTarget : char { Object = 'o', Comparison = 'c', Background = 'b' };

// One measured position and the sum of the pixel values under the mask there.
struct PhotometryMeasurement {
    PixelPosition position;
    int32_t sum = 0;
};

// The photometry tool's state. The mask half-size is the guiding state's MeasureRadius.
struct PhotometryState {
    // Kept when photometry ends and starts again.
    PhotometryTarget Target = PhotometryTarget::Object;
    PhotometryMeasurement Object;
    PhotometryMeasurement Comparison;
    PhotometryMeasurement Background;
    // The Background target has been chosen since photometry last started.
    bool BackgroundChosen = false;
    // The last mouse position over the picture and the pixel value there.
    PixelPosition CursorPosition;
    int32_t CursorValue = 0;
    // The open PHOTOMETRY window rewrites its fields through this; empty while none is open.
    std::function<void()> FieldsChanged;
};

}  // namespace talvor
