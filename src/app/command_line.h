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
    std::string error;  // set when the arguments cannot be understood
};

// talvor [--simulate] [--data-dir DIR] [--help] [--version]
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string CommandLineUsage();

}  // namespace talvor
