#include "image/image_loading.h"

#include <algorithm>
#include <memory>

#include "core/messages.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/refresh_display.h"
#include "image/file_bytes.h"
#include "image/fits_file.h"
#include "image/foreign_fits.h"
#include "image/image_file_kind.h"
#include "image/native_file.h"

namespace talvor {
namespace {

constexpr int kNotSuitableFile = 41;
constexpr int kFitsEndedEarly = 13;
constexpr int kFitsNotOurs = 14;
constexpr int kNotValidOperand = 12;
constexpr int kCannotWriteNative = 18;

ImageFileKind KindOfFile(const std::filesystem::path& file) {
    const auto size = RegularFileSize(file);
    return size ? KindBySize(*size) : ImageFileKind::Unknown;
}

int LayoutOf(ImageFileKind kind) {
    switch (kind) {
        case ImageFileKind::FitsLayout1:
            return 1;
        case ImageFileKind::FitsLayout2:
            return 2;
        default:
            return 3;
    }
}

// The image now holds the file's picture: the state takes the file's texts and title.
void TakeLoadedImage(Session& session, const WorkingState& read, bool smallFrame,
                     std::string_view title, const std::string& note) {
    // A new picture: the undo copy belongs to the one it replaced.
    DiscardUndoCopy(session.images);
    session.state.HistoryLines = read.HistoryLines;
    session.state.Fits = read.Fits;
    session.state.UnsignedFits = read.UnsignedFits;
    session.state.Origin = ImageOrigin::File;
    session.state.TextsOrigin = HeaderTextsOrigin::File;
    session.state.SubFrameMode = smallFrame;
    SetTitle(session.state, title);
    RefreshDisplay(session);
    if (!note.empty()) {
        ReportMessage(session.ui, kCallerText, note);
    }
}

}  // namespace

LoadResult LoadIntoCurrentImage(Session& session, const std::filesystem::path& file,
                                std::string_view title) {
    BusyCursor busy(session.ui);
    const ImageFileKind kind = KindOfFile(file);
    const auto bytes = ReadFileBytes(file, kFitsLayout3Size);
    if (!bytes) {
        ReportMessage(session.ui, kNotSuitableFile);
        return LoadResult::Refused;
    }
    ImageBuffer& current = session.images.CurrentImage;
    WorkingState read = session.state;
    ClearHistoryAndHeaderTexts(read);
    if (kind == ImageFileKind::Native290 || kind == ImageFileKind::Native256) {
        // The whole file is in memory and every byte of it makes a pixel: nothing can fail
        // from here on, so the rows go straight into the image.
        DecodeNativeFile(*bytes, kind == ImageFileKind::Native256, current);
        TakeLoadedImage(session, read, false, title, {});
        return LoadResult::Loaded;
    }
    // A FITS file can still prove short or foreign part way through its decoding: it is decoded
    // into a copy, which takes the place of the image only when the file reads whole.
    auto frame = std::make_unique<ImageBuffer>(current);
    bool smallFrame = false;
    std::string note;
    bool loaded = false;
    if (IsFits(kind)) {
        switch (DecodeFitsFile(*bytes, LayoutOf(kind), *frame, read)) {
            case FitsReadResult::Read:
                loaded = true;
                break;
            case FitsReadResult::EndedEarly:
                ReportMessage(session.ui, kFitsEndedEarly);
                return LoadResult::Refused;
            case FitsReadResult::NotOurs:
                // A standard FITS file of another program that happens to have our size.
                ClearHistoryAndHeaderTexts(read);
                break;
        }
    }
    if (!loaded) {
        if (!LooksLikeFits(*bytes)) {
            ReportMessage(session.ui,
                          kind == ImageFileKind::Unknown ? kNotSuitableFile : kFitsNotOurs);
            return LoadResult::Refused;
        }
        const auto image = ReadForeignFits(file);
        if (!image) {
            ReportMessage(session.ui,
                          kind == ImageFileKind::Unknown ? kFitsEndedEarly : kFitsNotOurs);
            return LoadResult::Refused;
        }
        note = PlaceForeignImage(*image, *frame, smallFrame);
        TakeForeignHeader(image->header, read);
    }

    std::copy(frame->begin(), frame->end(), current.begin());
    TakeLoadedImage(session, read, smallFrame, title, note);
    return LoadResult::Loaded;
}

OperandResult LoadIntoSecondImage(Session& session, const std::filesystem::path& file) {
    BusyCursor busy(session.ui);
    const ImageFileKind kind = KindOfFile(file);
    const auto bytes =
        kind == ImageFileKind::Unknown ? std::nullopt : ReadFileBytes(file, kFitsLayout3Size);
    ImageBuffer& second = session.images.SecondImage;
    bool loaded = false;
    if (bytes && kind == ImageFileKind::FitsLayout3) {
        loaded = DecodeFitsOperand(*bytes, second, session.state) == FitsReadResult::Read;
    } else if (bytes && (kind == ImageFileKind::Native290 || kind == ImageFileKind::Native256)) {
        DecodeNativeFile(*bytes, kind == ImageFileKind::Native256, second);
        loaded = true;
    }
    if (!loaded) {
        ReportMessage(session.ui, kNotValidOperand);
        return OperandResult::Refused;
    }
    return OperandResult::Loaded;
}

bool SaveNative(Session& session, const std::filesystem::path& file) {
    BusyCursor busy(session.ui);
    if (WriteNativeFile(file, session.images.CurrentImage) != NativeWriteResult::Written) {
        ReportMessage(session.ui, kCannotWriteNative);
        return false;
    }
    return true;
}

}  // namespace talvor
