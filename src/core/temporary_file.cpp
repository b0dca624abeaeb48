#include "core/temporary_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <random>
#include <string>

namespace talvor {
namespace {

constexpr std::string_view kSuffix = ".tmp-";
constexpr std::size_t kRandomLength = 8;
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kCreateAttempts = 16;

std::string RandomLetters() {
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string letters;
    for (std::size_t i = 0; i < kRandomLength; ++i) {
        letters += kAlphabet[pick(random)];
    }
    return letters;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True while the path still names the file open on descriptor.
bool PathNamesDescriptor(const std::filesystem::path& path, int descriptor) {
    struct stat byPath {};
    struct stat byDescriptor {};
    return ::lstat(path.c_str(), &byPath) == 0 && ::fstat(descriptor, &byDescriptor) == 0 &&
           SameFile(byPath, byDescriptor);
}

// Takes the write lock of a fresh temporary file. A file system without locks still writes:
// there the lock only guards against a stale-file sweep, which then leaves the file alone.
bool LockForWriting(int descriptor) {
    return ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

void RemoveIfStale(const std::filesystem::path& path) {
    struct stat before {};
    if (::lstat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode) ||
        before.st_uid != ::geteuid()) {
        return;
    }
    const int descriptor =
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    struct stat opened {};
    // A live write holds the lock; a file that cannot be locked is left alone.
    if (::fstat(descriptor, &opened) == 0 && SameFile(before, opened) &&
        ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && PathNamesDescriptor(path, descriptor)) {
        ::unlink(path.c_str());
    }
    ::close(descriptor);
}

}  // namespace

std::optional<TemporaryFile> CreateTemporaryFor(const std::filesystem::path& target) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::filesystem::path path = target;
        path += std::string(kSuffix) + RandomLetters();
        const int descriptor =
            ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return std::nullopt;
        }
        // A sweep of another process may have taken the fresh file for a stale one between the
        // creation and the lock: then it is gone or going, and another name is tried.
        if (LockForWriting(descriptor) && PathNamesDescriptor(path, descriptor)) {
            return TemporaryFile{std::move(path), descriptor};
        }
        ::close(descriptor);
    }
    return std::nullopt;
}

bool IsTemporaryNameOf(std::string_view name, std::string_view targetName) {
    if (targetName.empty() || name.size() != targetName.size() + kSuffix.size() + kRandomLength ||
        name.substr(0, targetName.size()) != targetName ||
        name.substr(targetName.size(), kSuffix.size()) != kSuffix) {
        return false;
    }
    const std::string_view letters = name.substr(targetName.size() + kSuffix.size());
    return letters.find_first_not_of(kAlphabet) == std::string_view::npos;
}

void RemoveStaleTemporaries(const std::filesystem::path& target) {
    const std::string targetName = target.filename().string();
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    // Read as a plain directory stream: a folder of a night's frames holds thousands of names,
    // of which only a temporary of this target's needs a path made for it.
    const std::unique_ptr<DIR, int (*)(DIR*)> stream(::opendir(folder.c_str()), ::closedir);
    if (!stream) {
        return;
    }
    while (const dirent* entry = ::readdir(stream.get())) {
        if (IsTemporaryNameOf(entry->d_name, targetName)) {
            RemoveIfStale(folder / entry->d_name);
        }
    }
}

}  // namespace talvor
