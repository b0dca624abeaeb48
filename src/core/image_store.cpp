#include "core/image_store.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace talvor {

std::unique_ptr<ImageStore> CreateImageStore() {
    auto store = std::make_unique<ImageStore>();
    FillStartupContents(*store);
    return store;
}

void FillStartupContents(ImageStore& store) {
    constexpr uint16_t kRampStep = 225;
    for (int y = 0; y < kFrameRows; ++y) {
        const auto value = static_cast<uint16_t>(y * kRampStep);
        for (int x = 0; x < kFrameColumns; ++x) {
            PixelAt(store.CurrentImage, x, y) = value;
        }
    }
    CopyFrame(store.CurrentImage, store.SecondImage);
    CopyFrame(store.CurrentImage, store.UndoImage);
    DiscardUndoCopy(store);
    std::fill_n(store.FlatImage.begin(), kFramePixels, uint16_t{0});
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<uint8_t>(i);
        store.DisplayPalette[i] = PaletteEntry{level, level, level, 1};
    }
}

void CopyFrame(const ImageBuffer& source, ImageBuffer& destination) {
    std::copy_n(source.begin(), kFramePixels, destination.begin());
}

void CopyFrameAside(const ImageBuffer& source, ImageBuffer& destination) {
#if defined(__SSE2__)
    // Streaming stores of 16 bytes need 16-byte aligned places: the words before the first such
    // place and after the last whole 16 bytes are copied one by one.
    const uint16_t* from = source.data();
    uint16_t* to = destination.data();
    std::size_t i = 0;
    for (; i < kFramePixels && reinterpret_cast<std::uintptr_t>(to + i) % 16 != 0; ++i) {
        to[i] = from[i];
    }
    constexpr std::size_t kWordsPerStore = 8;
    for (; i + kWordsPerStore <= kFramePixels; i += kWordsPerStore) {
        __m128i words;
        std::memcpy(&words, from + i, sizeof words);
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i), words);
    }
    for (; i < kFramePixels; ++i) {
        to[i] = from[i];
    }
    // Streaming stores are ordered apart from other stores: fence them before the copy is used.
    _mm_sfence();
#else
    CopyFrame(source, destination);
#endif
}

}  // namespace talvor
