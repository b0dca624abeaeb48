#include "core/image_store.h"

#include <algorithm>

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

}  // namespace talvor
