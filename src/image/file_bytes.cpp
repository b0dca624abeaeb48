#include "image/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace talvor {
namespace {

// Owns one open descriptor.
class ReadDescriptor {
  public:
    explicit ReadDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~ReadDescriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    ReadDescriptor(const ReadDescriptor&) = delete;
    ReadDescriptor& operator=(const ReadDescriptor&) = delete;
    int Get() const { return descriptor_; }

  private:
    int descriptor_;
};

// Opens a regular file for reading: the kind is checked on the name first and again on the
// opened descriptor, in case the name was changed in between. -1 when refused.
int OpenRegularFile(const std::filesystem::path& file, struct stat& status) {
    if (::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return -1;
    }
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return -1;
    }
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& file,
                                                  std::size_t limit) {
    struct stat status {};
    const ReadDescriptor in(OpenRegularFile(file, status));
    if (in.Get() < 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(limit);
    std::size_t filled = 0;
    while (filled < limit) {
        const ssize_t got = ::read(in.Get(), bytes.data() + filled, limit - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& file) {
    struct stat status {};
    const ReadDescriptor in(OpenRegularFile(file, status));
    if (in.Get() < 0) {
        return std::nullopt;
    }
    return static_cast<std::uintmax_t>(status.st_size);
}

}  // namespace talvor
