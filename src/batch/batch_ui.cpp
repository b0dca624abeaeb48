#include "batch/batch_ui.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace talvor {
namespace {

volatile std::sig_atomic_t interruptRequested = 0;

void NoteInterrupt(int) {
    interruptRequested = 1;
}

}  // namespace

UserPresses BatchUi::DispatchPendingEvents() {
    if (interruptRequested == 0) {
        return {};
    }
    interruptRequested = 0;
    return {true, false, false};
}

void BatchUi::CatchInterrupt(bool catchIt) {
    interruptRequested = 0;
    std::signal(SIGINT, catchIt ? NoteInterrupt : SIG_DFL);
}

void BatchUi::ShowMessage(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    messages_.push_back(text);
}

void BatchUi::ShowErrorBox(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    messages_.push_back(text);
}

bool BatchUi::AskYesNo(const std::string& caption, const std::string& text) {
    // Nobody is there to answer: a question is refused, never guessed.
    std::fprintf(stderr, "%s: %s (answered no)\n", caption.c_str(), text.c_str());
    return false;
}

void BatchUi::IdleWait() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace talvor
