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
    // The camera's USB ids as "VVVV:PPPP", when they differ from the usual ones.
    std::optional<std::string> cameraUsbId;
    // With simulate: the file that receives every byte the simulated mount is sent.
    std::optional<std::filesystem::path> mountLog;
    std::string error;  // set when the arguments cannot be understood
};

// talvor [--simulate] [--mount-log FILE] [--data-dir DIR] [--camera-usb-id VVVV:PPPP] [--help]
// [--version]
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string CommandLineUsage();

}  // namespace talvor
