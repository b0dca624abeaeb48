#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>

#include "core/image_store.h"

namespace talvor::testing {

// Frames for the stretch and filter tests. Each lives on the heap: a frame is 300 KB.
inline std::unique_ptr<ImageBuffer> FlatFrame(uint16_t value) {
    auto frame = std::make_unique<ImageBuffer>();
    frame->fill(0);
    std::fill_n(frame->begin(), kFramePixels, value);
    return frame;
}

// Pixels drawn evenly from low..high, the same for the same seed.
inline std::unique_ptr<ImageBuffer> RandomFrame(uint32_t seed, int low = 0, int high = 65535) {
    auto frame = FlatFrame(0);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(low, high);
    for (int i = 0; i < kFramePixels; ++i) {
        (*frame)[i] = static_cast<uint16_t>(value(random));
    }
    return frame;
}

// Marks the frame as labelled the way the label command does: words 0..5 hold 17.
inline void MarkLabelled(ImageBuffer& frame) {
    std::fill_n(frame.begin(), 6, uint16_t{17});
}

// Whether two frames agree on the rows first..last and the columns left..right.
inline bool SameArea(const ImageBuffer& a, const ImageBuffer& b, int first, int last, int left,
                     int right) {
    for (int y = first; y <= last; ++y) {
        for (int x = left; x <= right; ++x) {
            if (PixelAt(a, x, y) != PixelAt(b, x, y)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace talvor::testing
