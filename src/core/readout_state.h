#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/image_store.h"

namespace talvor {

inline constexpr std::size_t kCommandBytes = 8;
using CommandBytes = std::array<uint8_t, kCommandBytes>;

// The top-left corner of the 128 x 128 focus and guide window within the 512 x 290 frame.
struct WindowOrigin {
    int x = 184;
    int y = 65;
    bool operator==(const WindowOrigin&) const = default;
};

inline constexpr WindowOrigin kDefaultFocusWindowOrigin{184, 65};

// What the camera commands and readouts work from.
struct ReadoutState {
    // The palette stretch and the gain of window frames work in bits of the camera's 16-bit
    // range (12..16).
    int StretchBits = 14;
    // The one command buffer every camera command is built in.
    CommandBytes CommandBuffer{};
    // The current exposure.
    int32_t ExposureMs = 1000;
    WindowOrigin FocusWindowOrigin = kDefaultFocusWindowOrigin;
    // The store the next readout fills; callers set it before every readout. While none is
    // set, readouts fill the current image.
    ImageBuffer* FrameDestination = nullptr;
};

}  // namespace talvor
