#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace talvor {

struct CommandLine {
    bool simulate = false;
    bool showHelp = false;
    bool showVersion = false;
    std::optional<std::filesystem::path> dataDirectory;
    // The camera's USB ids as "VVVV:PPPP" (one device) or "VVVV:PPPP,VVVV:PPPP" (a HID device
    // and a bulk device), when given.
    std::optional<std::string> cameraUsbId;
    // List the USB devices that could be the camera, then stop.
    bool listUsb = false;
    // With simulate: the simulated camera answers at once instead of taking a camera's time.
    bool fastCamera = false;
    // With simulate: the file that receives every byte the simulated mount is sent.
    std::optional<std::filesystem::path> mountLog;
    std::string error;  // set when the arguments cannot be understood
};

// talvor [--simulate [--fast-camera] [--mount-log FILE]] [--data-dir DIR]
// [--camera-usb-id VVVV:PPPP[,VVVV:PPPP]] [--list-usb] [--help] [--version]
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string CommandLineUsage();

}  // namespace talvor
