#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace talvor {

// Files given to the program (images, dark and flat frames, operands, the settings file) are
// read only when they are regular files that can be read. The kind is told from the name before
// anything is opened, so a FIFO, a device or a folder in place of a file is refused at once:
// opening a FIFO would wait for a writer for ever, and opening a serial device raises its lines.

// The whole content of a file, at most limit bytes; nothing when it is not a regular file, cannot
// be opened or a read fails.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& file,
                                                  std::size_t limit);

// The size of a regular file that can be opened for reading; nothing when it is missing, cannot
// be read or is not a regular file.
std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& file);

}  // namespace talvor
