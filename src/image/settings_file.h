#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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
// folder is made and the file written from the current values; a file with a value out of range
// is rewritten with that value clamped (or, for an unknown letter, the value held before) and
// every other value as read. The texts become the current image's unless it has its own.
SettingsResult ReadSettings(Session& session);

enum class SettingsDecoding { Complete, NeedsRepair, EndedEarly };

// Takes the values of a settings file's bytes into the session, field by field, up to the end
// of the bytes; NeedsRepair when a value had to be clamped or kept.
SettingsDecoding DecodeSettings(std::vector<uint8_t> bytes, Session& session);

// Writes every value to the settings file, through a temporary file renamed into place.
SettingsResult WriteSettings(Session& session);

// Quick save keeps its counter in the settings file and nothing else: what Program Defaults
// left with Cancel or the current image's FITS details changed stays out of the file. A file
// that is missing or too short is written whole from the current values.
SettingsResult WriteQuickSaveCounter(Session& session);

// Drive training stores its calibration (the RA and Dec rates and backlash) in the same way:
// those four values and nothing else.
SettingsResult WriteDriveCalibration(Session& session);

// Whether the name can be the auto-save sub-directory: one folder name (empty for none), not
// "." or "..", without "/", "\\", a quote or control characters.
bool IsSubDirectoryName(std::string_view name);

// "c:\AUTOSAVE", or "c:\AUTOSAVE\" + the sub-directory when one is set.
std::string AutoSaveDirectory(const ProgramSettings& settings);

}  // namespace talvor
