#include "core/data_directory.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace talvor {
namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::vector<std::string> SplitComponents(std::string_view path) {
    std::vector<std::string> parts;
    std::string current;
    for (const char c : path) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) {
                parts.push_back(current);
            }
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        parts.push_back(current);
    }
    return parts;
}

// The entry of folder whose name matches name case-insensitively; an exact match wins.
std::filesystem::path MatchEntry(const std::filesystem::path& folder, const std::string& name) {
    std::error_code error;
    if (std::filesystem::exists(folder / name, error)) {
        return folder / name;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string candidate = entry.path().filename().string();
        if (SameNameIgnoringCase(candidate, name)) {
            return entry.path();
        }
    }
    return folder / name;
}

}  // namespace

DataDirectory::DataDirectory(std::filesystem::path root) : root_(std::move(root)) {}

std::filesystem::path DataDirectory::DefaultRoot() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        return std::filesystem::path(xdg) / "talvor";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".local" / "share" / "talvor";
}

std::filesystem::path DataDirectory::Resolve(std::string_view drivePath) const {
    if (!drivePath.empty() && drivePath.front() == '/') {
        return std::filesystem::path(drivePath);
    }
    if (drivePath.size() >= 2 && drivePath[1] == ':' &&
        std::tolower(static_cast<unsigned char>(drivePath[0])) == 'c') {
        drivePath.remove_prefix(2);
    }
    // As on the drive, ".." at its top stays there: no name of the program's (an auto-save
    // sub-directory "..\..\x" from the settings file, say) leads out of the data folder.
    std::filesystem::path resolved = root_;
    int depth = 0;
    for (const std::string& part : SplitComponents(drivePath)) {
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            if (depth > 0) {
                resolved = resolved.parent_path();
                --depth;
            }
            continue;
        }
        resolved = MatchEntry(resolved, part);
        ++depth;
    }
    return resolved;
}

void DataDirectory::EnsureExists() const {
    std::error_code error;
    std::filesystem::create_directories(root_, error);
}

bool DataDirectory::CreateDirectory(std::string_view drivePath) const {
    EnsureExists();
    std::error_code error;
    return std::filesystem::create_directory(Resolve(drivePath), error);
}

}  // namespace talvor
