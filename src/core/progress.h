#pragma once

#include <string>

namespace talvor {

class UserInterface;

inline constexpr int kProgressFull = 256;

// The caption of the progress window; a step that writes a new title while the window is open
// sets the flag, and the next position update shows it.
struct ProgressState {
    std::string ProgressTitle;
    bool ProgressTitleChanged = false;
};

// Sets a new progress caption that the next position update will show.
void ChangeProgressTitle(ProgressState& state, const std::string& title);

// The progress window of one long step: opened with the current title, closed when the step
// ends, also when it ends early.
class ProgressWindow {
  public:
    ProgressWindow(UserInterface& ui, ProgressState& state);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Applies a pending title change, then moves the bar (0..256; more shows a full bar).
    void SetPosition(int position);

  private:
    UserInterface& ui_;
    ProgressState& state_;
};

}  // namespace talvor
