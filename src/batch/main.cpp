// talvor-batch: the program's own routines on files, without a window.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "Usage: talvor-batch [--data-dir DIR] COMMAND [ARGUMENTS]\n"
    "       talvor-batch COMMAND --help\n"
    "\n"
    "Runs Talvor's own routines on image files, without a window.\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR  the folder that holds Talvor's settings and files\n"
    "                  (default: ~/.local/share/talvor)\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "Commands:\n"
    "  (none yet: the file, processing, measurement and hardware commands arrive with the\n"
    "   parts of the program that carry them out)\n";

void PrintUsage(std::FILE* stream) {
    std::fputs(std::string(kUsage).c_str(), stream);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::size_t next = 0;
    while (next < arguments.size() && arguments[next].rfind("--", 0) == 0) {
        const std::string& option = arguments[next];
        if (option == "--help") {
            PrintUsage(stdout);
            return kExitSuccess;
        }
        if (option == "--version") {
            std::printf("talvor-batch %s\n", TALVOR_VERSION);
            return kExitSuccess;
        }
        if (option == "--data-dir" && next + 1 < arguments.size()) {
            next += 2;
            continue;
        }
        std::fprintf(stderr, "talvor-batch: unknown option '%s'\n\n", option.c_str());
        PrintUsage(stderr);
        return kExitUsage;
    }
    if (next >= arguments.size()) {
        std::fputs("talvor-batch: no command given\n\n", stderr);
        PrintUsage(stderr);
        return kExitUsage;
    }
    std::fprintf(stderr, "talvor-batch: unknown command '%s'\n", arguments[next].c_str());
    std::fputs("Run 'talvor-batch --help' for the list of commands.\n", stderr);
    return kExitUsage;
}
