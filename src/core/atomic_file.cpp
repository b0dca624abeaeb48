#include "core/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <optional>

#include "core/temporary_file.h"

namespace talvor {
namespace {

constexpr std::size_t kCopyBlock = 64 * 1024;
constexpr mode_t kPermissionBits = 0777;

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// Makes a rename or link in the folder survive a crash, not only the file's content.
void SyncFolder(const std::filesystem::path& file) {
    const int folder = ::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

std::optional<struct stat> EntryStatus(const std::filesystem::path& file) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return status;
}

// The new file takes the old one's owner and group where this user may give them (the group
// alone where the owner cannot be), then its permission bits; set-id bits are never copied.
void KeepOwnerAndMode(int descriptor, const struct stat& old) {
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        if (::fchown(descriptor, old.st_uid, old.st_gid) != 0) {
            [[maybe_unused]] const int groupOnly =
                ::fchown(descriptor, static_cast<uid_t>(-1), old.st_gid);
        }
    }
    ::fchmod(descriptor, old.st_mode & kPermissionBits);
}

bool WriteAll(int descriptor, const unsigned char* bytes, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t written = ::pwrite(descriptor, bytes, size, at);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
        at += written;
    }
    return true;
}

// Copies size bytes of from into to, both from the start.
bool CopyContent(int from, int to, std::size_t size) {
    std::array<unsigned char, kCopyBlock> block{};
    off_t at = 0;
    while (static_cast<std::size_t>(at) < size) {
        const ssize_t got = ::pread(from, block.data(), block.size(), at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0 || !WriteAll(to, block.data(), static_cast<std::size_t>(got), at)) {
            return false;
        }
        at += got;
    }
    return true;
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
    RemoveStaleTemporaries(target_);
    if (auto temporary = CreateTemporaryFor(target_)) {
        temporary_ = std::move(temporary->path);
        descriptor_ = temporary->descriptor;
    }
}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (!IsOpen() || flushed_) {
        return false;
    }
    if (!WriteAll(descriptor_, static_cast<const unsigned char*>(data), size,
                  static_cast<off_t>(written_))) {
        return false;
    }
    written_ += size;
    return true;
}

bool AtomicFile::Flush() {
    if (!flushed_) {
        flushed_ = IsOpen() && ::fsync(descriptor_) == 0;
    }
    return flushed_;
}

bool AtomicFile::Commit() {
    if (!Flush()) {
        Discard();
        return false;
    }
    const auto old = EntryStatus(target_);
    if (old && S_ISREG(old->st_mode)) {
        if (old->st_nlink > 1 && RewriteLinkedTarget()) {
            Discard();
            return true;
        }
        KeepOwnerAndMode(descriptor_, *old);
    }
    const bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    if (!closed || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    temporary_.clear();
    SyncFolder(target_);
    return true;
}

// Writes the finished content over the linked target's own bytes. False, with the target's
// content as it was, when that cannot start; false after a failed copy too, and then the
// caller's rename still gives the name the whole new content.
bool AtomicFile::RewriteLinkedTarget() {
    const int target =
        ::open(target_.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (target < 0) {
        return false;
    }
    struct stat status {};
    const auto named = EntryStatus(target_);
    bool done = ::fstat(target, &status) == 0 && S_ISREG(status.st_mode) && named &&
                named->st_dev == status.st_dev && named->st_ino == status.st_ino;
    const off_t oldSize = status.st_size;
    const auto newSize = static_cast<off_t>(written_);
    // Reserve the room first, so that a full disk stops the write before a byte changes.
    if (done && newSize > oldSize && ::fallocate(target, 0, oldSize, newSize - oldSize) != 0 &&
        errno != EOPNOTSUPP) {
        [[maybe_unused]] const int restored = ::ftruncate(target, oldSize);
        done = false;
    }
    done = done && CopyContent(descriptor_, target, written_) &&
           ::ftruncate(target, newSize) == 0 && ::fsync(target) == 0;
    done = ::close(target) == 0 && done;
    return done;
}

AtomicFile::NewFileResult AtomicFile::CommitAsNew(const std::filesystem::path& name) {
    if (!Flush()) {
        Discard();
        return NewFileResult::Failed;
    }
    // A hard link, unlike a rename, never replaces an entry of the name. File systems without
    // hard links get the rename that refuses to replace.
    int result = ::link(temporary_.c_str(), name.c_str());
    if (result != 0 && errno != EEXIST) {
        result =
            ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE);
        if (result == 0) {
            temporary_.clear();
        }
    }
    if (result != 0) {
        if (errno == EEXIST) {
            return NewFileResult::NameTaken;
        }
        Discard();
        return NewFileResult::Failed;
    }
    Discard();
    SyncFolder(name);
    return NewFileResult::Created;
}

void AtomicFile::Close() {
    if (IsOpen()) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

void AtomicFile::Discard() {
    Close();
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace talvor
