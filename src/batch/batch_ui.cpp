#include "batch/batch_ui.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace talvor {

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
