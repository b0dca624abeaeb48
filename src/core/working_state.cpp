#include "core/working_state.h"

#include <algorithm>

namespace talvor {

void AppendHistory(WorkingState& state, std::string_view text) {
    const auto slot = std::find_if(state.HistoryLines.begin(), state.HistoryLines.end(),
                                   [](const std::string& line) { return line.empty(); });
    if (slot != state.HistoryLines.end()) {
        *slot = std::string(text.substr(0, kHistoryLineLength));
    }
}

void ClearHistory(WorkingState& state) {
    for (auto& line : state.HistoryLines) {
        line.clear();
    }
}

void ClearHistoryAndHeaderTexts(WorkingState& state) {
    ClearHistory(state);
    ResetFitsDetails(state.Fits);
}

void SetTitle(WorkingState& state, std::string_view title) {
    state.ImageTitle = title;
}

void BeginCapturedImage(WorkingState& state, const ProgramSettings& settings) {
    SetTitle(state, kCaptureTitle);
    state.Origin = ImageOrigin::Capture;
    state.Fits.date.clear();
    state.Fits.time.clear();
    if (state.TextsOrigin == HeaderTextsOrigin::File) {
        state.TextsOrigin = HeaderTextsOrigin::Settings;
    }
    FollowSettingsTexts(state, settings);
}

void FollowSettingsTexts(WorkingState& state, const ProgramSettings& settings) {
    if (state.TextsOrigin != HeaderTextsOrigin::Settings) {
        return;
    }
    CopyStoredFitsTexts(settings.Fits, state.Fits);
    state.UnsignedFits = settings.UnsignedFits;
}

}  // namespace talvor
