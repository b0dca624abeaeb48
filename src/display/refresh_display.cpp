#include "display/refresh_display.h"

#include <filesystem>

#include "core/messages.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/background_estimate.h"
#include "display/display_bitmap.h"

namespace talvor {
namespace {

PaletteOptions PaletteOptionsOf(const Session& session) {
    return PaletteOptions{session.state.FalseColour, session.state.AutoContrast,
                          session.display.MaxStretchAll, session.readout.StretchBits,
                          session.display.BackgroundLevel};
}

void ReportBitmapFailure(UserInterface& ui, BitmapWriteResult result) {
    switch (result) {
        case BitmapWriteResult::Written:
            return;
        case BitmapWriteResult::NoFileObject:
            ReportMessage(ui, 8);
            return;
        case BitmapWriteResult::HeaderNotWritten:
            ReportMessage(ui, 9);
            return;
        case BitmapWriteResult::PixelsNotWritten:
            ReportMessage(ui, 10);
            return;
    }
}

}  // namespace

std::string MainCaption(std::string_view title) {
    std::string caption(kApplicationName);
    caption += " - ";
    caption += title.empty() ? std::string_view("(Untitled)") : title;
    return caption;
}

void SetMainTitle(UserInterface& ui, std::string_view title) {
    ui.SetMainCaption(MainCaption(title));
}

void RefreshDisplay(Session& session) {
    WorkingState& state = session.state;
    ImageStore& images = session.images;
    SetMainTitle(session.ui, state.ImageTitle);
    if (state.AutoContrast) {
        EstimateBackgroundBand(session.display, images.CurrentImage);
    }
    const bool smallBytes = state.FocusMode || state.SubFrameMode;
    const bool smallFile = smallBytes || state.GuidingDisplay;
    if (smallFile) {
        state.SmallBitmapUsed = true;
    }
    if (!session.ui.ShowsPicture()) {
        return;
    }

    BuildDisplayBytes(images.CurrentImage, images.DisplayBytes, smallBytes, state.ZenkaGeometry);
    // A data directory that has gone missing is made again, so the picture still appears.
    session.dataDirectory.EnsureExists();
    const auto file =
        session.dataDirectory.Resolve(smallFile ? kSmallBitmapName : kDisplayBitmapName);
    ReportBitmapFailure(
        session.ui,
        WriteDisplayBitmap(images.DisplayBytes, images.BitmapRows, smallFile, state.ZenkaGeometry,
                           BuildColourTable(PaletteOptionsOf(session)), file));

    const char* shown = state.GuidingDisplay ? kSmallBitmapName : kDisplayBitmapName;
    const auto shownFile = session.dataDirectory.Resolve(shown);
    // A small frame outside guiding leaves the window on the last full frame; before the first
    // one there is none to show, and nothing has failed.
    std::error_code error;
    if (shownFile != file && !std::filesystem::exists(shownFile, error)) {
        return;
    }
    if (!session.ui.LoadDisplayBitmap(shownFile)) {
        ReportMessage(session.ui, 32);
    }
}

void WriteFocusBitmap(Session& session) {
    session.state.SmallBitmapUsed = true;
    if (!session.ui.ShowsPicture()) {
        return;
    }
    ImageStore& images = session.images;
    BuildDisplayBytes(images.CurrentImage, images.DisplayBytes, true, false);
    session.dataDirectory.EnsureExists();
    ReportBitmapFailure(session.ui,
                        WriteDisplayBitmap(images.DisplayBytes, images.BitmapRows, true, false,
                                           BuildColourTable(PaletteOptionsOf(session)),
                                           session.dataDirectory.Resolve(kSmallBitmapName)));
}

}  // namespace talvor
