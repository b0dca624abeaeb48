#include "camera/capture_calibration.h"

#include "core/calibration_state.h"
#include "core/messages.h"
#include "core/session.h"
#include "image/file_bytes.h"
#include "image/fits_file.h"
#include "image/image_file_kind.h"
#include "image/native_file.h"
#include "processing/frame_arithmetic.h"
#include "processing/processing_state.h"

namespace talvor {
namespace {

constexpr int kInvalidOperand = 12;

struct CalibrationMessages {
    int cannotOpen;
    int notAFrame;
};

// Reads a dark or flat file into the store; false (after its message) when it is unusable.
bool LoadCalibrationFrame(Session& session, const std::filesystem::path& file, ImageBuffer& store,
                          CalibrationMessages messages) {
    const auto size = RegularFileSize(file);
    const auto bytes = size ? ReadFileBytes(file, kFitsLayout3Size) : std::nullopt;
    if (!bytes) {
        ReportMessage(session.ui, messages.cannotOpen);
        return false;
    }
    const ImageFileKind kind = KindBySize(*size);
    if (kind == ImageFileKind::FitsLayout3) {
        if (DecodeFitsOperand(*bytes, store, session.state) != FitsReadResult::Read) {
            ReportMessage(session.ui, kInvalidOperand);
            return false;
        }
        return true;
    }
    if (kind != ImageFileKind::Native290 && kind != ImageFileKind::Native256) {
        ReportMessage(session.ui, messages.notAFrame);
        return false;
    }
    // The short variant is read as far as it goes: 290 rows of whatever the file holds.
    ReadNativeRows(*bytes, kFrameRows, store);
    return true;
}

// The capture's own flat scale: 0.0002 times the flat's sum over rows 10..19 and columns
// 5..504, the mean of those 5000 pixels.
double CaptureFlatMean(const ImageBuffer& flat) {
    double sum = 0.0;
    for (int row = 10; row < 20; ++row) {
        for (int column = 5; column < 505; ++column) {
            sum += PixelAt(flat, column, row);
        }
    }
    return sum * 0.0002;
}

}  // namespace

bool SubtractDarkAtCapture(Session& session) {
    CaptureRun& run = session.capture.Run;
    ImageBuffer& dark = session.images.UndoImage;
    if (!run.DarkLoaded) {
        const auto file = AutomaticDarkFile(CalibrationOf(session), session.dataDirectory);
        if (!LoadCalibrationFrame(session, file, dark, {3, 4})) {
            return false;
        }
        run.DarkLoaded = true;
    }
    SubtractFrame(session.images.CurrentImage, dark);
    return true;
}

bool ApplyFlatAtCapture(Session& session) {
    CaptureRun& run = session.capture.Run;
    ImageBuffer& flat = session.images.FlatImage;
    if (!run.FlatLoaded) {
        const auto file = AutomaticFlatFile(CalibrationOf(session), session.dataDirectory);
        if (!LoadCalibrationFrame(session, file, flat, {5, 6})) {
            return false;
        }
        run.FlatLoaded = true;
    }
    const double mean = CaptureFlatMean(flat);
    for (int row = 5; row < kFrameRows; ++row) {
        FlatFieldRow(session.images.CurrentImage, flat, mean, row);
    }
    return true;
}

}  // namespace talvor
