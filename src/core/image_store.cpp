#include "core/image_store.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace talvor {

namespace {

// The stores are one block of zero bytes from calloc, in which the stores come into being
// with every word zero. A large block is fresh memory the kernel hands out already zero and
// maps in only where it is first touched: the flat frame and the display bytes, which a batch
// command seldom uses, cost nothing until then, where a value-initialised store would write
// all 1.6 MB at every start.
static_assert(std::is_aggregate_v<ImageStore> && std::is_trivially_destructible_v<ImageStore>,
              "the stores must come into being in zeroed memory without a constructor");

void WriteStartupRamp(ImageStore& store) {
    constexpr uint16_t kRampStep = 225;
    for (int y = 0; y < kFrameRows; ++y) {
        const auto value = static_cast<uint16_t>(y * kRampStep);
        for (int x = 0; x < kFrameColumns; ++x) {
            PixelAt(store.CurrentImage, x, y) = value;
        }
    }
    CopyFrame(store.CurrentImage, store.SecondImage);
    CopyFrame(store.CurrentImage, store.UndoImage);
}

}  // namespace

ImageStoreOwner CreateImageStore() {
    ImageStoreOwner store(static_cast<ImageStore*>(std::calloc(1, sizeof(ImageStore))));
    if (!store) {
        throw std::bad_alloc();
    }
    WriteStartupRamp(*store);
    DiscardUndoCopy(*store);
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<uint8_t>(i);
        store->DisplayPalette[i] = PaletteEntry{level, level, level, 1};
    }
    return store;
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
