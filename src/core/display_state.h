#pragma once

#include <array>
#include <cstdint>

namespace talvor {

// State of the picture shown in the main window, beside the view flags of the working state.
struct DisplayState {
    // The palette stretch by the stretch bits applies to every displayed image.
    bool MaxStretchAll = false;
    // The background colour setting changed; the next erase makes a new brush.
    bool BackgroundChanged = false;
    // The next paint rebuilds the picture first.
    bool RefreshPending = false;
    // Counter k counts pixels whose high byte is k; counter 256 is never incremented.
    std::array<uint32_t, 257> BrightnessHistogram{};
    // The background estimate in high-byte units.
    int32_t BackgroundLevel = 0;
};

}  // namespace talvor
