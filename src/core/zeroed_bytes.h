#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <span>

namespace talvor {

// Gives back memory that calloc handed out.
struct CallocRelease {
    void operator()(void* memory) const { std::free(memory); }
};

// A fixed run of bytes that starts all zero. The memory comes from calloc: a large block is
// fresh memory the kernel hands out already zero and maps in only where it is first touched,
// where a vector would write every byte when it is made. A buffer that a run may never use
// costs nothing then.
class ZeroedBytes {
  public:
    explicit ZeroedBytes(std::size_t size)
        : bytes_(static_cast<uint8_t*>(std::calloc(size, 1))), size_(size) {
        if (!bytes_ && size != 0) {
            throw std::bad_alloc();
        }
    }

    uint8_t* data() { return bytes_.get(); }
    const uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    uint8_t* begin() { return data(); }
    uint8_t* end() { return data() + size_; }
    const uint8_t* begin() const { return data(); }
    const uint8_t* end() const { return data() + size_; }
    uint8_t& operator[](std::size_t i) { return bytes_[i]; }
    uint8_t operator[](std::size_t i) const { return bytes_[i]; }

    operator std::span<const uint8_t>() const { return {data(), size_}; }

  private:
    std::unique_ptr<uint8_t[], CallocRelease> bytes_;
    std::size_t size_;
};

}  // namespace talvor
