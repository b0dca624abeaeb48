#include "camera/camera_usb_ids_file.h"

#include <fstream>

#include "core/atomic_file.h"
#include "core/data_directory.h"

namespace talvor {
namespace {

bool Remember(const std::filesystem::path& file, const CameraUsbIds& ids) {
    const std::string line = FormatCameraUsbIds(ids) + "\n";
    AtomicFile out(file);
    return out.Write(line.data(), line.size()) && out.Commit();
}

}  // namespace

CameraUsbIdsChoice ChooseCameraUsbIds(const std::optional<CameraUsbIds>& given,
                                      const DataDirectory& directory) {
    CameraUsbIdsChoice choice;
    const std::filesystem::path file = directory.Resolve(kCameraUsbIdsFileName);
    if (given) {
        choice.ids = *given;
        directory.EnsureExists();
        if (!Remember(file, *given)) {
            choice.problem =
                "The camera's USB ids could not be remembered in " + file.string() + ".";
        }
        return choice;
    }
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return choice;
    }
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    if (const std::optional<CameraUsbIds> remembered = ParseCameraUsbIds(line)) {
        choice.ids = *remembered;
    } else {
        choice.problem = file.string() + " does not hold USB ids as VVVV:PPPP[,VVVV:PPPP]; " +
                         FormatCameraUsbIds(choice.ids) + " is used.";
    }
    return choice;
}

}  // namespace talvor
