#include "image/image_loading.h"

#include "core/messages.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/refresh_display.h"
#include "image/file_bytes.h"
#include "image/fits_file.h"
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

}  // namespace

void LoadIntoCurrentImage(Session& session, const std::filesystem::path& file,
                          std::string_view title) {
    SetTitle(session.state, title);
    BusyCursor busy(session.ui);
    const ImageFileKind kind = KindOfFile(file);
    // A file that cannot be read is refused like one of no accepted size, before anything
    // changes: it must not "open" as the picture already shown.
    const auto bytes =
        kind == ImageFileKind::Unknown ? std::nullopt : ReadFileBytes(file, kFitsLayout3Size);
    if (!bytes) {
        ReportMessage(session.ui, kNotSuitableFile);
        return;
    }
    ClearHistoryAndHeaderTexts(session.state);
    ImageBuffer& current = session.images.CurrentImage;
    if (IsFits(kind)) {
        const FitsReadResult read = DecodeFitsFile(*bytes, LayoutOf(kind), current, session.state);
        if (read == FitsReadResult::EndedEarly) {
            ReportMessage(session.ui, kFitsEndedEarly);
        } else if (read == FitsReadResult::NotOurs) {
            ReportMessage(session.ui, kFitsNotOurs);
        }
    } else {
        DecodeNativeFile(*bytes, kind == ImageFileKind::Native256, current);
    }
    RefreshDisplay(session);
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

void SaveNative(Session& session, const std::filesystem::path& file) {
    BusyCursor busy(session.ui);
    if (WriteNativeFile(file, session.images.CurrentImage) != NativeWriteResult::Written) {
        ReportMessage(session.ui, kCannotWriteNative);
    }
}

}  // namespace talvor
