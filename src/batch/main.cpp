// talvor-batch: the program's own routines on files, without a window.

#include <cstdio>
#include <optional>
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
#include "camera/camera_usb_ids_file.h"
#include "camera/linux_usb_platform.h"
#include "camera/usb_survey.h"
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
        "Usage: talvor-batch [--data-dir DIR] [--simulate [--fast-camera]]\n"
        "                    [--camera-usb-id VVVV:PPPP[,VVVV:PPPP]] COMMAND [ARGUMENTS]\n"
        "       talvor-batch [--camera-usb-id VVVV:PPPP[,VVVV:PPPP]] --list-usb\n"
        "       talvor-batch COMMAND --help\n"
        "\n"
        "Runs Talvor's own routines on image files, without a window.\n"
        "\n"
        "Options:\n"
        "  --data-dir DIR  the folder that holds Talvor's settings and files\n"
        "                  (default: ~/.local/share/talvor)\n"
        "  --simulate      the simulated camera and mount instead of the hardware\n"
        "                  (a file named lenscap in the data folder caps the telescope)\n"
        "  --fast-camera   with --simulate, the camera answers at once instead of taking\n"
        "                  a real camera's time (2.5 s to read a frame)\n"
        "  --camera-usb-id VVVV:PPPP[,VVVV:PPPP]\n"
        "                  the camera's USB ids: one device, or its HID device and then its\n"
        "                  bulk device; remembered for later runs (as by talvor)\n"
        "  --list-usb      list the USB devices that could be the camera, then stop\n"
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
    bool fastCamera = false;
    bool listUsb = false;
    std::optional<talvor::CameraUsbIds> cameraIds;
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
        if (option == "--fast-camera" || option == "--list-usb") {
            (option == "--fast-camera" ? fastCamera : listUsb) = true;
            ++next;
            continue;
        }
        if (option == "--data-dir" && next + 1 < arguments.size()) {
            dataDirectory = arguments[next + 1];
            next += 2;
            continue;
        }
        if (option == "--camera-usb-id" && next + 1 < arguments.size()) {
            cameraIds = talvor::ParseCameraUsbIds(arguments[next + 1]);
            if (!cameraIds) {
                std::fprintf(stderr,
                             "talvor-batch: '%s' is not of the form VVVV:PPPP[,VVVV:PPPP]\n",
                             arguments[next + 1].c_str());
                return talvor::kExitUsage;
            }
            next += 2;
            continue;
        }
        std::fprintf(stderr, "talvor-batch: unknown option '%s'\n\n", option.c_str());
        PrintUsage(stderr);
        return talvor::kExitUsage;
    }
    if (fastCamera && !simulate) {
        std::fputs("talvor-batch: --fast-camera works with --simulate only\n", stderr);
        return talvor::kExitUsage;
    }
    if (listUsb) {
        const talvor::CameraUsbIds ids = cameraIds.value_or(
            talvor::ChooseCameraUsbIds(std::nullopt, talvor::DataDirectory(dataDirectory)).ids);
        std::fputs(talvor::DescribeCameraCandidates(talvor::SurveyUsb(), ids).c_str(), stdout);
        return talvor::kExitSuccess;
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
        // Ids given are remembered for later runs; without them the remembered ones are used.
        const talvor::CameraUsbIdsChoice ids =
            talvor::ChooseCameraUsbIds(cameraIds, talvor::DataDirectory(dataDirectory));
        if (!ids.problem.empty()) {
            std::fprintf(stderr, "talvor-batch: %s\n", ids.problem.c_str());
        }
        BatchContext context(dataDirectory, simulate, ids.ids, fastCamera);
        return command.run(context, rest);
    }
    std::fprintf(stderr, "talvor-batch: unknown command '%s'\n", name.c_str());
    std::fputs("Run 'talvor-batch --help' for the list of commands.\n", stderr);
    return talvor::kExitUsage;
}
