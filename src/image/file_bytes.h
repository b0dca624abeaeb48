#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace talvor {

// The whole content of a file, at most limit bytes; nothing when it cannot be opened.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& file,
                                                  std::size_t limit);

// The size of a file; nothing when it is missing or not a regular file.
std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& file);

}  // namespace talvor
