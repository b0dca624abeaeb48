#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/program_settings.h"

namespace talvor {

struct Session;

inline constexpr const char* kSettingsFileName = "c:\\autosave\\talvor.ini";
inline constexpr const char* kAutoSaveRoot = "c:\\AUTOSAVE";
inline constexpr std::size_t kSettingsFileSize = 1259;
inline constexpr std::size_t kSubDirectoryLength = 59;

enum class SettingsResult { Done = 0, Unreadable = 2, NotWritten = 3 };

// Reads the settings file into the session's settings, FITS texts and unsigned flag, field by
// field, so that a file that ends early leaves the earlier values loaded. A missing settings
// folder is made and the file written from the current values; a file with values out of range
// is rewritten from the values read so far.
SettingsResult ReadSettings(Session& session);

enum class SettingsDecoding { Complete, NeedsRepair, EndedEarly };

// Takes the values of a settings file's bytes into the session, field by field, up to the end
// of the bytes or the first value that calls for the file to be rewritten.
SettingsDecoding DecodeSettings(std::vector<uint8_t> bytes, Session& session);

// Writes every value to the settings file, through a temporary file renamed into place.
SettingsResult WriteSettings(Session& session);

// "c:\AUTOSAVE", or "c:\AUTOSAVE\" + the sub-directory when one is set.
std::string AutoSaveDirectory(const ProgramSettings& settings);

}  // namespace talvor
