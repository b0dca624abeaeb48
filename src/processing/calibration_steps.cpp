#include "processing/calibration_steps.h"

#include "core/label_band.h"
#include "core/progress.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/refresh_display.h"
#include "processing/frame_arithmetic.h"
#include "processing/undo_copy.h"

namespace talvor {
namespace {

// The progress bar starts here and moves on by one for each row corrected.
constexpr int kFlatProgressStart = 10;
// Row 0 of a plain frame, and rows 0..10 of a labelled one, are left as they are.
constexpr int kFlatFirstRow = 1;
constexpr int kFlatFirstLabelledRow = 11;

}  // namespace

OperandResult SubtractImage(Session& session, const std::filesystem::path& darkFile) {
    if (LoadIntoSecondImage(session, darkFile) == OperandResult::Refused) {
        return OperandResult::Refused;
    }
    BusyCursor busy(session.ui);
    SaveUndoCopy(session.images);
    SubtractFrame(session.images.CurrentImage, session.images.SecondImage);
    AppendHistory(session.state, kDarkSubtractedLine);
    RefreshDisplay(session);
    return OperandResult::Loaded;
}

OperandResult ApplyFlatField(Session& session, const std::filesystem::path& flatFile) {
    if (LoadIntoSecondImage(session, flatFile) == OperandResult::Refused) {
        return OperandResult::Refused;
    }
    BusyCursor busy(session.ui);
    SaveUndoCopy(session.images);
    ImageBuffer& current = session.images.CurrentImage;
    const ImageBuffer& flat = session.images.SecondImage;
    const double normaliser = FlatFieldNormaliser(flat);
    session.progress.ProgressTitle = kFlatFieldProgressTitle;
    {
        ProgressWindow progress(session.ui, session.progress);
        int position = kFlatProgressStart;
        const int firstRow = HasLabelBand(current) ? kFlatFirstLabelledRow : kFlatFirstRow;
        for (int y = firstRow; y < kFrameRows; ++y) {
            progress.SetPosition(position++);
            FlatFieldRow(current, flat, normaliser, y);
        }
    }
    AppendHistory(session.state, kFlatFieldLine);
    RefreshDisplay(session);
    return OperandResult::Loaded;
}

OperandResult AverageWithImage(Session& session, const std::filesystem::path& otherFile) {
    if (LoadIntoSecondImage(session, otherFile) == OperandResult::Refused) {
        return OperandResult::Refused;
    }
    BusyCursor busy(session.ui);
    SaveUndoCopy(session.images);
    AverageFrames(session.images.CurrentImage, session.images.SecondImage);
    RefreshDisplay(session);
    return OperandResult::Loaded;
}

}  // namespace talvor
