#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/zeroed_bytes.h"

namespace talvor {

// Fixed frame geometry: every frame in the program has this shape.
inline constexpr int kFrameColumns = 512;
inline constexpr int kFrameRows = 290;
inline constexpr int kFramePixels = kFrameColumns * kFrameRows;  // 148480
inline constexpr int kCameraColumns = 510;
inline constexpr int kBufferWords = 150000;
inline constexpr int kZenkaRows = 373;
inline constexpr int kSmallFrameSide = 128;
inline constexpr int kSmallFramePixels = kSmallFrameSide * kSmallFrameSide;  // 16384
inline constexpr int kDisplayBytesSize = kFrameColumns * kZenkaRows + 4;     // 190980

using ImageBuffer = std::array<uint16_t, kBufferWords>;
using DisplayByteBuffer = std::array<uint8_t, kDisplayBytesSize>;

struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
};

// The frame stores that live for the whole run. Their contents move between them; the stores
// themselves are never exchanged or reallocated.
struct ImageStore {
    ImageBuffer CurrentImage{};
    ImageBuffer SecondImage{};
    ImageBuffer UndoImage{};
    ImageBuffer FlatImage{};
    DisplayByteBuffer DisplayBytes{};
    DisplayByteBuffer BitmapRows{};
    std::array<PaletteEntry, 256> DisplayPalette{};
    // Whether UndoImage holds the picture the last processing step started from, with the
    // current image still that step's result. The store also serves the capture's dark frame,
    // so its content alone says nothing.
    bool UndoAvailable = false;
};

// The current image is no longer the result of the last processing step (a frame was opened
// or taken, or the picture changed by a command that takes no undo copy): there is nothing to
// undo until the next step.
inline void DiscardUndoCopy(ImageStore& store) {
    store.UndoAvailable = false;
}

// The stores, made by CreateImageStore alone, in memory from calloc.
using ImageStoreOwner = std::unique_ptr<ImageStore, CallocRelease>;

// Makes the stores with their start-up contents: a vertical grey ramp (row y holds 225 y) in
// the current, second and undo frames, an empty flat frame, zero display bytes and the grey
// display palette. Nothing to undo.
ImageStoreOwner CreateImageStore();

// Copies the 148480 words of the frame area; the words beyond it keep their values.
void CopyFrame(const ImageBuffer& source, ImageBuffer& destination);

// The same copy for a frame that is put aside and read only much later (the undo copy): it
// goes past the processor's caches, so that the frame a step works on stays in them.
void CopyFrameAside(const ImageBuffer& source, ImageBuffer& destination);

inline uint16_t& PixelAt(ImageBuffer& frame, int x, int y) {
    return frame[static_cast<std::size_t>(y) * kFrameColumns + x];
}
inline uint16_t PixelAt(const ImageBuffer& frame, int x, int y) {
    return frame[static_cast<std::size_t>(y) * kFrameColumns + x];
}

}  // namespace talvor
