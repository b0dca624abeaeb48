#include "app/command_line.h"

namespace talvor {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--simulate") {
            line.simulate = true;
        } else if (argument == "--help" || argument == "-h") {
            line.showHelp = true;
        } else if (argument == "--version") {
            line.showVersion = true;
        } else if (argument == "--data-dir") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                line.error = "--data-dir needs a folder name";
                return line;
            }
            line.dataDirectory = std::filesystem::path(arguments[++i]);
        } else if (argument == "--camera-usb-id") {
            if (i + 1 >= arguments.size()) {
                line.error = "--camera-usb-id needs the camera's ids as VVVV:PPPP";
                return line;
            }
            line.cameraUsbId = arguments[++i];
        } else if (argument == "--mount-log") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                line.error = "--mount-log needs a file name";
                return line;
            }
            line.mountLog = std::filesystem::path(arguments[++i]);
        } else if (argument.rfind("--data-dir=", 0) == 0 && argument.size() > 11) {
            line.dataDirectory = std::filesystem::path(argument.substr(11));
        } else {
            line.error = "unknown argument: " + argument;
            return line;
        }
    }
    if (line.mountLog && !line.simulate) {
        line.error = "--mount-log works with --simulate only";
    }
    return line;
}

std::string CommandLineUsage() {
    return "Usage: talvor [--simulate] [--mount-log FILE] [--data-dir DIR]\n"
           "              [--camera-usb-id VVVV:PPPP] [--help] [--version]\n"
           "\n"
           "  --simulate      use the simulated camera and mount instead of the hardware\n"
           "                  (a file named lenscap in the data folder caps the telescope)\n"
           "  --mount-log FILE\n"
           "                  with --simulate, write every byte the mount is sent to FILE\n"
           "  --data-dir DIR  the folder that holds settings, temporary pictures and saved\n"
           "                  frames (default: ~/.local/share/talvor)\n"
           "  --camera-usb-id VVVV:PPPP\n"
           "                  the camera's USB vendor and product ids, as lsusb shows them\n"
           "  --help          show this text\n"
           "  --version       show the version\n";
}

}  // namespace talvor
