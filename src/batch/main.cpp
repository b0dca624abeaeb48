// talvor-batch: the program's own routines on files, without a window.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_context.h"
#include "batch/capture_command.h"
#include "batch/exit_status.h"
#include "batch/file_commands.h"
#include "batch/guide_command.h"
#include "batch/measurement_commands.h"
#include "batch/process_commands.h"
#include "batch/processing_steps.h"
#include "batch/telescope_command.h"
#include "core/data_directory.h"

namespace {

using talvor::BatchContext;

struct BatchCommand {
    std::string_view name;
    std::string_view summary;
    const char* help;
    int (*run)(BatchContext&, const std::vector<std::string>&);
};

const BatchCommand kCommands[] = {
    {"info", "what an image file is, and its FITS header", talvor::kInfoHelp, talvor::RunInfo},
    {"convert", "load an image file as Open does and write it in another format",
     talvor::kConvertHelp, talvor::RunConvert},
    {"process", "apply processing steps to an image file and write the result",
     talvor::kProcessHelp, talvor::RunProcess},
    {"history", "the processing history the steps leave", talvor::kHistoryHelp, talvor::RunHistory},
    {"histogram", "the histogram listing of an image file as the window shows it",
     talvor::kHistogramHelp, talvor::RunHistogram},
    {"centroid", "the centre of a star near a point", talvor::kCentroidHelp, talvor::RunCentroid},
    {"photometry", "the magnitude difference of two stars, as the PHOTOMETRY window measures",
     talvor::kPhotometryHelp, talvor::RunPhotometry},
    {"capture", "the camera dialog's capture sequence without a window", talvor::kCaptureHelp,
     talvor::RunCapture},
    {"guide", "pick a guide star, train the drive and guide", talvor::kGuideHelp, talvor::RunGuide},
    {"telescope", "go-to, object information, guide pulses through the telescope link",
     talvor::kTelescopeHelp, talvor::RunTelescope},
};

void PrintUsage(std::FILE* stream) {
    std::fputs(
        "Usage: talvor-batch [--data-dir DIR] [--simulate] COMMAND [ARGUMENTS]\n"
        "       talvor-batch COMMAND --help\n"
        "\n"
        "Runs Talvor's own routines on image files, without a window.\n"
        "\n"
        "Options:\n"
        "  --data-dir DIR  the folder that holds Talvor's settings and files\n"
        "                  (default: ~/.local/share/talvor)\n"
        "  --simulate      the simulated camera and mount instead of the hardware\n"
        "                  (a file named lenscap in the data folder caps the telescope)\n"
        "  --help          show this text\n"
        "  --version       show the version\n"
        "\n"
        "Commands:\n",
        stream);
    for (const BatchCommand& command : kCommands) {
        std::fprintf(stream, "  %-10s %s\n", std::string(command.name).c_str(),
                     std::string(command.summary).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::filesystem::path dataDirectory = talvor::DataDirectory::DefaultRoot();
    bool simulate = false;
    std::size_t next = 0;
    while (next < arguments.size() && arguments[next].rfind("--", 0) == 0) {
        const std::string& option = arguments[next];
        if (option == "--help") {
            PrintUsage(stdout);
            return talvor::kExitSuccess;
        }
        if (option == "--version") {
            std::printf("talvor-batch %s\n", TALVOR_VERSION);
            return talvor::kExitSuccess;
        }
        if (option == "--simulate") {
            simulate = true;
            ++next;
            continue;
        }
        if (option == "--data-dir" && next + 1 < arguments.size()) {
            dataDirectory = arguments[next + 1];
            next += 2;
            continue;
        }
        std::fprintf(stderr, "talvor-batch: unknown option '%s'\n\n", option.c_str());
        PrintUsage(stderr);
        return talvor::kExitUsage;
    }
    if (next >= arguments.size()) {
        std::fputs("talvor-batch: no command given\n\n", stderr);
        PrintUsage(stderr);
        return talvor::kExitUsage;
    }
    const std::string& name = arguments[next];
    const std::vector<std::string> rest(arguments.begin() + static_cast<long>(next) + 1,
                                        arguments.end());
    for (const BatchCommand& command : kCommands) {
        if (command.name != name) {
            continue;
        }
        if (!rest.empty() && rest[0] == "--help") {
            std::fputs(command.help, stdout);
            if (command.run == talvor::RunProcess || command.run == talvor::RunHistory) {
                std::fputs(talvor::kProcessingStepsHelp, stdout);
            }
            return talvor::kExitSuccess;
        }
        BatchContext context(dataDirectory, simulate);
        return command.run(context, rest);
    }
    std::fprintf(stderr, "talvor-batch: unknown command '%s'\n", name.c_str());
    std::fputs("Run 'talvor-batch --help' for the list of commands.\n", stderr);
    return talvor::kExitUsage;
}
