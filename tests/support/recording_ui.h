#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/user_interface.h"
#include "support/test_clock.h"

namespace talvor::testing {

// Records what the core shows and lets a test press a key at a given moment. Each idle wait
// lets the test clock run on by a fixed step, so waits end without real time passing.
class RecordingUi final : public UserInterface {
  public:
    explicit RecordingUi(TestClock& clock, uint32_t idleStepMs = 10)
        : clock_(clock), idleStepMs_(idleStepMs) {}

    // A press of the given kind (a key by default) arrives once the clock reaches the moment.
    void PressAt(uint32_t milliseconds, UserPresses kind = {true, false, false}) {
        pressAt_ = milliseconds;
        pressKind_ = kind;
    }

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowErrorBox(const std::string& title, const std::string& text) override {
        errorBoxes.push_back(title + ": " + text);
    }
    bool AskYesNo(const std::string&, const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    UserPresses DispatchPendingEvents() override {
        ++dispatches;
        if (pressAt_ && DeadlineReached(clock_.Milliseconds(), *pressAt_)) {
            pressAt_.reset();
            return pressKind_;
        }
        return {};
    }
    void IdleWait() override { clock_.Advance(idleStepMs_); }
    void Beep() override { ++beeps; }
    void PushBusyCursor() override { ++busyDepth; }
    void PopCursor() override { --busyDepth; }
    void OpenProgress(const std::string& caption) override {
        progressOpen = true;
        progressCaptions.push_back(caption);
    }
    void SetProgressCaption(const std::string& caption) override {
        progressCaptions.push_back(caption);
    }
    void SetProgressPosition(int position) override { progressPositions.push_back(position); }
    void CloseProgress() override { progressOpen = false; }
    void SetMainCaption(const std::string& caption) override { captions.push_back(caption); }
    bool LoadDisplayBitmap(const std::filesystem::path& file) override {
        loadedBitmaps.push_back(file);
        return std::filesystem::exists(file);
    }
    bool ShowsPicture() const override { return showsPicture; }

    std::vector<std::string> messages;
    std::vector<std::string> errorBoxes;  // "title: text"
    std::vector<std::string> questions;
    std::vector<std::string> captions;
    std::vector<std::string> progressCaptions;
    std::vector<int> progressPositions;
    std::vector<std::filesystem::path> loadedBitmaps;
    bool answerYes = true;
    // False stands for an interface without a window, as the batch tool's.
    bool showsPicture = true;
    bool progressOpen = false;
    int beeps = 0;
    int busyDepth = 0;
    int dispatches = 0;

  private:
    TestClock& clock_;
    uint32_t idleStepMs_;
    std::optional<uint32_t> pressAt_;
    UserPresses pressKind_;
};

}  // namespace talvor::testing
