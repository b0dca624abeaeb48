#pragma once

#include <filesystem>
#include <string>

namespace talvor {

// The presses that arrived among dispatched window events.
struct UserPresses {
    bool key = false;
    bool leftButton = false;
    bool rightButton = false;
    bool Any() const { return key || leftButton || rightButton; }
};

// Everything the core needs from the person at the screen. The desktop program implements it
// with real windows; tests implement it with a recorder.
class UserInterface {
  public:
    virtual ~UserInterface() = default;

    // A modal box titled "Talvor" with one OK button and the given text.
    virtual void ShowMessage(const std::string& text) = 0;
    // A modal error box with a stop icon and the given title.
    virtual void ShowErrorBox(const std::string& title, const std::string& text) = 0;
    // A modal yes/no question; true for yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;

    // Dispatches every queued window event and tells which key and left or right mouse-button
    // presses were among them (each press still reaches its window).
    virtual UserPresses DispatchPendingEvents() = 0;
    // Gives the processor away briefly while a wait finds the queue empty.
    virtual void IdleWait() = 0;
    virtual void Beep() = 0;

    // Hourglass cursor on top of whatever cursor was shown; PopCursor restores that cursor.
    virtual void PushBusyCursor() = 0;
    virtual void PopCursor() = 0;

    // The progress window of long steps: at most one is open.
    virtual void OpenProgress(const std::string& caption) = 0;
    virtual void SetProgressCaption(const std::string& caption) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void CloseProgress() = 0;

    // The main window: its caption, and the picture it shows, loaded from a bitmap file.
    virtual void SetMainCaption(const std::string& caption) = 0;
    // Returns false when the file cannot be read as a bitmap.
    virtual bool LoadDisplayBitmap(const std::filesystem::path& file) = 0;
    // Whether there is a window that shows the picture. Without one the display refresh builds
    // no picture and writes no bitmap file.
    virtual bool ShowsPicture() const { return true; }
};

// Shows the hourglass for the lifetime of the object, also when a step ends early.
class BusyCursor {
  public:
    explicit BusyCursor(UserInterface& ui) : ui_(ui) { ui_.PushBusyCursor(); }
    ~BusyCursor() { ui_.PopCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    UserInterface& ui_;
};

}  // namespace talvor
