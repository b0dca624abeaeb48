#include "processing/mirror_image.h"

#include <algorithm>

#include "core/label_band.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/refresh_display.h"
#include "processing/word_vectors.h"

// The vectors below stay inside the one function (see word_vectors.h).
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor {

// Sixteen words at a time: the last sixteen of the row, reversed, become its first sixteen.
TALVOR_VECTOR_CLONES
void MirrorRows(ImageBuffer& current, ImageBuffer& scratch, int firstRow) {
    using vectors::kLanes;
    static_assert(kFrameColumns % kLanes == 0);
    for (int row = firstRow; row < kFrameRows; ++row) {
        const uint16_t* from = &current[static_cast<std::size_t>(row) * kFrameColumns];
        uint16_t* to = &scratch[static_cast<std::size_t>(row) * kFrameColumns];
        for (int column = 0; column < kFrameColumns; column += kLanes) {
            const vectors::Words words = vectors::LoadWords(from + kFrameColumns - kLanes - column);
            const vectors::Words reversed = __builtin_shufflevector(
                words, words, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
            vectors::StoreWords(to + column, reversed);
        }
    }
    const auto first = static_cast<std::size_t>(firstRow) * kFrameColumns;
    std::copy(scratch.begin() + first, scratch.begin() + kFramePixels, current.begin() + first);
}

void MirrorImage(Session& session) {
    BusyCursor busy(session.ui);
    MirrorRows(session.images.CurrentImage, session.images.SecondImage,
               FirstRowAfterLabel(session.images.CurrentImage));
    // Mirroring takes no undo copy; undoing the step before it would also undo the mirror.
    DiscardUndoCopy(session.images);
    RefreshDisplay(session);
}

}  // namespace talvor
