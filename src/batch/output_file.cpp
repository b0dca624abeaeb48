#include "batch/output_file.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "core/messages.h"
#include "core/session.h"
#include "display/display_bitmap.h"
#include "image/fits_file.h"
#include "image/native_file.h"
#include "image/quick_save.h"
#include "image/tiff_file.h"

namespace talvor {
namespace {

constexpr int kCannotCreateFile = 22;
constexpr int kCannotWriteNative = 18;
constexpr int kCannotWriteBitmap = 9;

std::string LowerExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

OutputResult Report(Session& session, bool written, int code) {
    if (written) {
        return OutputResult::Written;
    }
    ReportMessage(session.ui, code);
    return OutputResult::Failed;
}

}  // namespace

OutputResult WriteCurrentImage(Session& session, const std::filesystem::path& out, bool eightBit) {
    const ImageBuffer& frame = session.images.CurrentImage;
    const std::string extension = LowerExtension(out);
    if (extension == ".fit" || extension == ".fits") {
        // A captured frame is dated by the middle of its exposure.
        if (session.state.Fits.date.empty()) {
            StampCapturedImage(session, session.capture.Run.Start, session.capture.Run.Finish);
        }
        return Report(session,
                      WriteFitsFile(out, frame, session.state.Fits, session.state, eightBit) ==
                          FitsWriteResult::Written,
                      kCannotCreateFile);
    }
    if (extension == ".tif" || extension == ".tiff") {
        return Report(session, WriteTiffFile(out, frame) == TiffWriteResult::Written,
                      kCannotCreateFile);
    }
    if (extension == ".bmp") {
        ImageStore& images = session.images;
        BuildDisplayBytes(frame, images.DisplayBytes, false, false);
        return Report(session,
                      WriteDisplayBitmap(images.DisplayBytes, images.BitmapRows, false, false,
                                         BuildColourTable({}), out) == BitmapWriteResult::Written,
                      kCannotWriteBitmap);
    }
    return Report(session, WriteNativeFile(out, frame) == NativeWriteResult::Written,
                  kCannotWriteNative);
}

}  // namespace talvor
