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
        } else if (argument == "--list-usb") {
            line.listUsb = true;
        } else if (argument == "--fast-camera") {
            line.fastCamera = true;
        } else if (argument == "--data-dir") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                line.error = "--data-dir needs a folder name";
                return line;
            }
            line.dataDirectory = std::filesystem::path(arguments[++i]);
        } else if (argument == "--camera-usb-id") {
            if (i + 1 >= arguments.size()) {
                line.error = "--camera-usb-id needs the camera's ids as VVVV:PPPP[,VVVV:PPPP]";
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
    if (line.fastCamera && !line.simulate) {
        line.error = "--fast-camera works with --simulate only";
    }
    return line;
}

std::string CommandLineUsage() {
    return "Usage: talvor [--simulate [--fast-camera] [--mount-log FILE]] [--data-dir DIR]\n"
           "              [--camera-usb-id VVVV:PPPP[,VVVV:PPPP]] [--list-usb] [--help]\n"
           "              [--version]\n"
           "\n"
           "  --simulate      use the simulated camera and mount instead of the hardware\n"
           "                  (a file named lenscap in the data folder caps the telescope)\n"
           "  --fast-camera   with --simulate, the camera answers at once instead of taking\n"
           "                  a real camera's time (2.5 s to read a frame)\n"
           "  --mount-log FILE\n"
           "                  with --simulate, write every byte the mount is sent to FILE\n"
           "  --data-dir DIR  the folder that holds settings, temporary pictures and saved\n"
           "                  frames (default: ~/.local/share/talvor)\n"
           "  --camera-usb-id VVVV:PPPP[,VVVV:PPPP]\n"
           "                  the camera's USB vendor and product ids, as lsusb shows them:\n"
           "                  one device, or its HID device and then its bulk device;\n"
           "                  remembered for later starts\n"
           "  --list-usb      list the USB devices that could be the camera, then stop\n"
           "  --help          show this text\n"
           "  --version       show the version\n";
}

}  // namespace talvor
