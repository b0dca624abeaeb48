#pragma once

#include <cstddef>
#include <filesystem>

namespace talvor {

// A file written under a temporary name in the same folder and renamed into place on Commit,
// so that an interrupted or failed write never leaves a half file under the real name.
class AtomicFile {
  public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();  // discards the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool IsOpen() const { return descriptor_ >= 0; }
    // False on a short write or when the file is not open.
    bool Write(const void* data, std::size_t size);
    // Closes the file and renames it over the target; false if either step fails.
    bool Commit();

  private:
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int descriptor_ = -1;
};

}  // namespace talvor
