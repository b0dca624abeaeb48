#include "processing/stretch_table.h"

#include "core/label_band.h"
#include "core/progress.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/refresh_display.h"
#include "processing/undo_copy.h"

namespace talvor {
namespace {

constexpr int kLabelWords = kLabelRows * kFrameColumns;  // 5120
static_assert(kLabelWords + kStretchBlocks * kStretchBlockWords == kFramePixels);

}  // namespace

void MapThroughStretchTable(const StretchTable& table, ImageBuffer& frame, int first, int last) {
    for (int i = first; i < last; ++i) {
        uint16_t& pixel = frame[static_cast<std::size_t>(i)];
        pixel = static_cast<uint16_t>(2u * table[pixel >> 1]);
    }
}

void ApplyStretchTable(Session& session, const StretchTable& table) {
    BusyCursor busy(session.ui);
    session.progress.ProgressTitle = "CONTRAST STRETCH";
    {
        ProgressWindow progress(session.ui, session.progress);
        SaveUndoCopy(session.images);
        ImageBuffer& frame = session.images.CurrentImage;
        if (!HasLabelBand(frame)) {
            MapThroughStretchTable(table, frame, 0, kLabelWords);
        }
        for (int block = 0; block < kStretchBlocks; ++block) {
            progress.SetPosition(16 * block);
            const int first = kLabelWords + block * kStretchBlockWords;
            MapThroughStretchTable(table, frame, first, first + kStretchBlockWords);
        }
    }
    RefreshDisplay(session);
}

}  // namespace talvor
