#pragma once

// What a bad night does to the files under a test: a disk that fills up, a file the user may not
// read (also when the tests run as root), a FIFO where a file was expected.

#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

namespace talvor::testing {

// A tmpfs of the given size at a fresh folder, in a mount namespace of the test process's own,
// so that nothing stays mounted if the test dies. Mounted() is false, with the reason, where the
// process may not mount (the test then skips with that reason).
class TinyTmpfs {
  public:
    TinyTmpfs(const std::filesystem::path& where, std::size_t bytes) : where_(where) {
        std::filesystem::create_directories(where_);
        if (!privateNamespace()) {
            reason_ = std::string("no mount namespace of its own (") + std::strerror(errno) +
                      "): the full-disk case needs CAP_SYS_ADMIN";
            return;
        }
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
        if (::mount("tmpfs", where_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            reason_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~TinyTmpfs() {
        if (mounted_) {
            ::umount2(where_.c_str(), MNT_DETACH);
        }
    }
    TinyTmpfs(const TinyTmpfs&) = delete;
    TinyTmpfs& operator=(const TinyTmpfs&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Reason() const { return reason_; }
    const std::filesystem::path& Path() const { return where_; }

  private:
    static bool privateNamespace() {
        static const bool done = ::unshare(CLONE_NEWNS) == 0 &&
                                 ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        return done;
    }

    std::filesystem::path where_;
    bool mounted_ = false;
    std::string reason_;
};

// While it lives, the calling thread has given up the capabilities that let root read, write and
// search any file, so that a file of mode 000 is unreadable for root too.
class WithoutFileOverride {
  public:
    WithoutFileOverride() {
        if (::syscall(SYS_capget, &header_, saved_) != 0) {
            return;
        }
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, saved_, sizeof reduced);
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        changed_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutFileOverride() {
        if (changed_) {
            ::syscall(SYS_capset, &header_, saved_);
        }
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

  private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool changed_ = false;
};

// A FIFO and a watchdog: should the code under test open the FIFO for reading (which blocks
// until a writer comes), the watchdog comes as the writer, so that the test fails instead of
// hanging, and Blocked() tells it.
class WatchedFifo {
  public:
    explicit WatchedFifo(std::filesystem::path path) : path_(std::move(path)) {
        ::mkfifo(path_.c_str(), 0666);
        watchdog_ = std::thread([this] {
            while (!stop_) {
                // Succeeds only while a reader has the FIFO open.
                const int writer = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (writer >= 0) {
                    blocked_ = true;
                    ::close(writer);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~WatchedFifo() {
        stop_ = true;
        watchdog_.join();
    }
    WatchedFifo(const WatchedFifo&) = delete;
    WatchedFifo& operator=(const WatchedFifo&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    bool Blocked() const { return blocked_; }

  private:
    std::filesystem::path path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> blocked_{false};
    std::thread watchdog_;
};

}  // namespace talvor::testing
