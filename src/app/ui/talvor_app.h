#pragma once

#include <memory>

#include "core/image_store.h"

namespace talvor {

struct CommandLine;
class Hardware;
struct Session;
class SystemClock;
class QtUserInterface;
class TalvorFrame;

// The application: the frame stores, the session state, the user interface and the main frame,
// made in start-up order and kept for the whole run.
class TTalvorApp {
  public:
    // The program as the command line chooses it: data directory, simulated or real hardware.
    explicit TTalvorApp(const CommandLine& line);
    ~TTalvorApp();

    Session& State() { return *session_; }
    TalvorFrame& Frame() { return *frame_; }

    // Shows the frame; the caller then runs the event loop.
    void Show();

  private:
    ImageStoreOwner images_;
    std::unique_ptr<SystemClock> clock_;
    std::unique_ptr<QtUserInterface> ui_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<Hardware> hardware_;
    std::unique_ptr<TalvorFrame> frame_;
};

}  // namespace talvor
