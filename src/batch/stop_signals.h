#pragma once

#include <csignal>
#include <iterator>

namespace talvor {

// While it lives, Ctrl+C, SIGTERM and SIGHUP only note that the command must stop, so that a
// running drive is stopped, or a guiding run ended and summed up, before the program ends.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Whether one of the signals arrived since the object was made.
    static bool Caught();

  private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction previous_[std::size(kSignals)]{};
};

}  // namespace talvor
