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

}  // namespace talvor
