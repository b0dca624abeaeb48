#include "processing/mirror_image.h"

#include <algorithm>

#include "core/label_band.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/refresh_display.h"

namespace talvor {

void MirrorImage(Session& session) {
    BusyCursor busy(session.ui);
    ImageBuffer& current = session.images.CurrentImage;
    ImageBuffer& scratch = session.images.SecondImage;
    const int firstRow = FirstRowAfterLabel(current);
    for (int row = firstRow; row < kFrameRows; ++row) {
        for (int column = 0; column < kFrameColumns; ++column) {
            PixelAt(scratch, column, row) = PixelAt(current, kFrameColumns - 1 - column, row);
        }
    }
    const auto first = static_cast<std::size_t>(firstRow) * kFrameColumns;
    std::copy(scratch.begin() + first, scratch.begin() + kFramePixels, current.begin() + first);
    // Mirroring takes no undo copy; undoing the step before it would also undo the mirror.
    DiscardUndoCopy(session.images);
    RefreshDisplay(session);
}

}  // namespace talvor
