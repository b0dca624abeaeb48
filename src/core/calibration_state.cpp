#include "core/calibration_state.h"

#include "core/data_directory.h"

namespace talvor {
namespace {

std::filesystem::path ChosenOrDefault(const std::string& chosen, std::string_view fallback,
                                      const DataDirectory& directory) {
    return directory.Resolve(chosen.empty() ? fallback : std::string_view(chosen));
}

}  // namespace

std::filesystem::path AutomaticDarkFile(const CalibrationState& state,
                                        const DataDirectory& directory) {
    return ChosenOrDefault(state.AutoDarkPath, kDefaultDarkFile, directory);
}

std::filesystem::path AutomaticFlatFile(const CalibrationState& state,
                                        const DataDirectory& directory) {
    return ChosenOrDefault(state.AutoFlatPath, kDefaultFlatFile, directory);
}

}  // namespace talvor
