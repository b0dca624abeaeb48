#include "core/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace talvor {

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
    temporary_ = target_;
    temporary_ += ".tmp-" + std::to_string(::getpid());
    descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (IsOpen() && size > 0) {
        const ssize_t written = ::write(descriptor_, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return IsOpen();
}

bool AtomicFile::Commit() {
    if (!IsOpen()) {
        return false;
    }
    const bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    if (!closed || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        ::unlink(temporary_.c_str());
        return false;
    }
    return true;
}

void AtomicFile::Discard() {
    if (IsOpen()) {
        ::close(descriptor_);
        descriptor_ = -1;
        ::unlink(temporary_.c_str());
    }
}

}  // namespace talvor
