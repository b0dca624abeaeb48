#include "batch/stop_signals.h"

namespace talvor {
namespace {

volatile std::sig_atomic_t stopSignal = 0;

void NoteStopSignal(int signal) {
    stopSignal = signal;
}

}  // namespace

StopSignals::StopSignals() {
    stopSignal = 0;
    struct sigaction action {};
    action.sa_handler = NoteStopSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &action, &previous_[i]);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &previous_[i], nullptr);
    }
}

bool StopSignals::Caught() {
    return stopSignal != 0;
}

}  // namespace talvor
