#include "processing/undo_history.h"

#include <algorithm>

#include "core/messages.h"
#include "core/session.h"
#include "display/refresh_display.h"

namespace talvor {
namespace {

constexpr std::string_view kLineEnd = " \n";

}  // namespace

void RemoveLastHistoryLine(WorkingState& state) {
    auto& lines = state.HistoryLines;
    const auto empty = std::find_if(lines.begin(), lines.end(),
                                    [](const std::string& line) { return line.empty(); });
    if (empty != lines.end() && empty != lines.begin()) {
        std::prev(empty)->clear();
    }
}

bool CanUndo(const ImageStore& images) {
    return images.UndoAvailable;
}

void UndoLastStep(Session& session) {
    ImageStore& images = session.images;
    if (!CanUndo(images)) {
        return;
    }
    CopyFrame(images.UndoImage, images.CurrentImage);
    // A second undo would restore the same picture and take away the line of a step that is
    // still in it, so the history would no longer describe the frame a FITS file stores.
    DiscardUndoCopy(images);
    RefreshDisplay(session);
    RemoveLastHistoryLine(session.state);
}

std::string HistoryText(const WorkingState& state) {
    std::string text = state.HistoryLines[0];
    text += kLineEnd;
    for (int k = 1; k < kHistorySlots && state.HistoryLines[k].size() > 1; ++k) {
        text += state.HistoryLines[k];
        text += kLineEnd;
    }
    return text;
}

std::string ShownHistoryText(const WorkingState& state) {
    return MessageBoxText(kCallerText, HistoryText(state));
}

void ShowProcessingHistory(Session& session) {
    ReportMessage(session.ui, kCallerText, HistoryText(session.state));
}

}  // namespace talvor
