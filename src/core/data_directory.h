#pragma once

#include <filesystem>
#include <string_view>

namespace talvor {

// The folder that stands for the drive "c:\" of the program's file names. Names inside it are
// written as the program names them ("c:\autosave\talvor.ini") and matched case-insensitively
// against what is on disk, so "c:\AUTOSAVE" and "c:\autosave" are one folder.
class DataDirectory {
  public:
    explicit DataDirectory(std::filesystem::path root);

    // $XDG_DATA_HOME/talvor, else ~/.local/share/talvor.
    static std::filesystem::path DefaultRoot();

    const std::filesystem::path& Root() const { return root_; }
    // Makes the folder itself (and its parents) when it is missing; errors are left to the
    // file operations that follow.
    void EnsureExists() const;

    // Maps a drive name onto the data directory. Each component takes the spelling of an
    // existing entry that matches it case-insensitively; missing ones keep the given spelling.
    // "." is skipped and ".." goes up, but never above the data directory. An absolute Linux
    // path (from a file dialog) is returned unchanged.
    std::filesystem::path Resolve(std::string_view drivePath) const;

    // Creates the directory. True only when it did not exist and has now been made.
    bool CreateDirectory(std::string_view drivePath) const;

  private:
    std::filesystem::path root_;
};

}  // namespace talvor
