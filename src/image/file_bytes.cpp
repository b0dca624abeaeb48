#include "image/file_bytes.h"

#include <fstream>

namespace talvor {

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& file,
                                                  std::size_t limit) {
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(limit);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(limit));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        return std::nullopt;
    }
    return size;
}

}  // namespace talvor
