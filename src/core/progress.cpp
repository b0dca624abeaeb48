#include "core/progress.h"

#include <algorithm>

#include "core/user_interface.h"

namespace talvor {

void ChangeProgressTitle(ProgressState& state, const std::string& title) {
    // Held whole: the capture's status texts run past 31 characters.
    state.ProgressTitle = title;
    state.ProgressTitleChanged = true;
}

ProgressWindow::ProgressWindow(UserInterface& ui, ProgressState& state) : ui_(ui), state_(state) {
    ui_.OpenProgress(state_.ProgressTitle);
    ui_.SetProgressPosition(0);
}

ProgressWindow::~ProgressWindow() {
    ui_.CloseProgress();
}

void ProgressWindow::SetPosition(int position) {
    if (state_.ProgressTitleChanged) {
        ui_.SetProgressCaption(state_.ProgressTitle);
        state_.ProgressTitleChanged = false;
    }
    ui_.SetProgressPosition(std::clamp(position, 0, kProgressFull));
}

}  // namespace talvor
