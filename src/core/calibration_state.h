#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace talvor {

class DataDirectory;

// The files the capture sequence corrects with when no other was chosen.
inline constexpr std::string_view kDefaultDarkFile = "c:\\dark.def";
inline constexpr std::string_view kDefaultFlatFile = "c:\\flat.def";

// Merging two frames on a position marked in each. Merging itself is on while the mouse mode
// MergeMode is set.
struct MergeState {
    // Set: the next pick marks the reference position; clear: it marks the merge position.
    bool MarkingReference = true;
    // Merge by averaging instead of adding.
    bool Average = false;
    // Picks are moved onto the star centre by the click dispatch before they arrive here.
    bool CentreOnStar = false;
    int32_t ReferenceX = 0;
    int32_t ReferenceY = 0;
    int32_t MergeX = 0;
    int32_t MergeY = 0;
    // The open "MERGE IMAGES" window rewrites its fields through this; empty while none is open.
    std::function<void()> FieldsChanged;
};

// The dark-frame, flat-field and merging state of the run. It is not kept in the settings file.
struct CalibrationState {
    // The automatic dark and flat files chosen with the two Select commands; empty until then.
    // Chosen paths are held whole, however long.
    std::string AutoDarkPath;
    std::string AutoFlatPath;
    MergeState Merge;
};

// The files the capture sequence reads: the chosen ones, else "c:\dark.def" and "c:\flat.def"
// in the data directory.
std::filesystem::path AutomaticDarkFile(const CalibrationState& state,
                                        const DataDirectory& directory);
std::filesystem::path AutomaticFlatFile(const CalibrationState& state,
                                        const DataDirectory& directory);

}  // namespace talvor
