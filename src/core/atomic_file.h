#pragma once

#include <cstddef>
#include <filesystem>

namespace talvor {

// A file written under a temporary name in the same folder (see temporary_file.h) and put in
// place only when it is complete and on the disk, so that an interrupted or failed write never
// leaves a half file under the real name. Temporary files that killed writes of the same name
// left behind are removed when the next write of that name starts.
class AtomicFile {
  public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();  // discards the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool IsOpen() const { return descriptor_ >= 0; }
    // False on a short write or when the file is not open.
    bool Write(const void* data, std::size_t size);

    // Replaces the target with what was written; false if any step fails, and then the target
    // is as it was. An existing target keeps its permission bits, and its owner and group as
    // far as this user may give them. A target with further hard links is rewritten in place
    // so that every link sees the new content, after the new content is complete on the disk
    // and the room for it is reserved; where it cannot be (no write permission on the file, no
    // room for a second copy), the name is replaced as for any other file.
    bool Commit();

    enum class NewFileResult { Created, NameTaken, Failed };
    // Puts what was written under name (in the target's folder) only if nothing of that name
    // exists, not even a dangling symbolic link. NameTaken keeps the content for another name.
    NewFileResult CommitAsNew(const std::filesystem::path& name);

  private:
    bool Flush();
    bool RewriteLinkedTarget();
    void Close();
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int descriptor_ = -1;
    std::size_t written_ = 0;
    bool flushed_ = false;
};

}  // namespace talvor
