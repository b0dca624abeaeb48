#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace talvor {

// The temporary file a write goes to before it is renamed over its target: "NAME.tmp-" and
// eight random letters and digits, in the target's folder. It is created new (O_EXCL) without
// following a symbolic link of its name, so a name planted beforehand can neither be guessed
// nor redirect the write, and it holds a lock while it is written, which tells a live write
// from one that a killed process left behind.
struct TemporaryFile {
    std::filesystem::path path;
    int descriptor = -1;  // open for reading and writing
};

// Creates the temporary file of target; nothing when the folder does not take a new file.
std::optional<TemporaryFile> CreateTemporaryFor(const std::filesystem::path& target);

// True when name is one that CreateTemporaryFor gives for a target named targetName.
bool IsTemporaryNameOf(std::string_view name, std::string_view targetName);

// Removes the temporary files of target that earlier writes left behind (a killed process):
// only regular files of that exact pattern, owned by this user and not locked by a live write.
void RemoveStaleTemporaries(const std::filesystem::path& target);

}  // namespace talvor
