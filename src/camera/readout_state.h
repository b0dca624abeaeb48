#pragma once

namespace talvor {

// Readout values shared with the display: the palette stretch works in bits of the camera's
// 16-bit range (12..16).
struct ReadoutState {
    int StretchBits = 14;
};

}  // namespace talvor
