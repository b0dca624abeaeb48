#pragma once

// The frame the processing benchmarks work on, the same in every run: a night sky with a sloping
// background, noise, and stars. Include it in one file of a program only.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>

#include "core/image_store.h"

inline talvor::ImageStoreOwner SkyFrame() {
    auto store = talvor::CreateImageStore();
    std::mt19937 random(42);
    std::normal_distribution<double> noise(0.0, 150.0);
    for (int y = 0; y < talvor::kFrameRows; ++y) {
        for (int x = 0; x < talvor::kFrameColumns; ++x) {
            const double sky = 3000 + 4 * x + 6 * y + noise(random);
            talvor::PixelAt(store->CurrentImage, x, y) =
                static_cast<uint16_t>(std::clamp(sky, 0.0, 65535.0));
        }
    }
    std::uniform_int_distribution<int> where(0, talvor::kFramePixels - 1);
    std::uniform_int_distribution<int> bright(10000, 65535);
    for (int star = 0; star < 1500; ++star) {
        store->CurrentImage[where(random)] = static_cast<uint16_t>(bright(random));
    }
    return store;
}

// Writes the frame's 290 rows of 512 words, little-endian, for programs that are not ours to
// work on the same pixels (bench/peers.py). False when the file cannot be written.
inline bool WriteSkyFrame(const char* path) {
    const auto store = SkyFrame();
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = true;
    for (int i = 0; i < talvor::kFramePixels && written; ++i) {
        const uint16_t word = store->CurrentImage[static_cast<std::size_t>(i)];
        const unsigned char bytes[2] = {static_cast<unsigned char>(word & 0xff),
                                        static_cast<unsigned char>(word >> 8)};
        written = std::fwrite(bytes, 1, 2, file) == 2;
    }
    return std::fclose(file) == 0 && written;
}
