#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "core/user_interface.h"

namespace talvor {

// The user interface of the batch tool: messages go to standard error, exactly as the window
// would show them, and are remembered so that the command can fail with them. There is no
// window, so waits return at once and there is no picture to show.
class BatchUi final : public UserInterface {
  public:
    void ShowMessage(const std::string& text) override;
    void ShowErrorBox(const std::string& title, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    // Ctrl+C, while caught, arrives as a key press: it stops a running capture or wait.
    UserPresses DispatchPendingEvents() override;
    static void CatchInterrupt(bool catchIt);
    void IdleWait() override;
    void Beep() override {}
    void PushBusyCursor() override {}
    void PopCursor() override {}
    void OpenProgress(const std::string&) override {}
    void SetProgressCaption(const std::string&) override {}
    void SetProgressPosition(int) override {}
    void CloseProgress() override {}
    void SetMainCaption(const std::string&) override {}
    bool LoadDisplayBitmap(const std::filesystem::path&) override { return true; }
    // Nothing reads the display bitmap in batch mode, so none is written: a data folder that
    // is read-only or full does not fail the command, and no step pays for the file.
    bool ShowsPicture() const override { return false; }

    bool MessageShown() const { return !messages_.empty(); }
    bool Showed(std::string_view text) const {
        return std::find(messages_.begin(), messages_.end(), text) != messages_.end();
    }
    void ForgetMessages() { messages_.clear(); }

  private:
    std::vector<std::string> messages_;
};

}  // namespace talvor
