#include "image/save_format.h"

#include <algorithm>
#include <cctype>

namespace talvor {
namespace {

std::string LowerExtension(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::string_view name =
        slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    std::string extension(dot == std::string_view::npos ? std::string_view{} : name.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool HasFitsExtension(std::string_view fileName) {
    const std::string extension = LowerExtension(fileName);
    return extension == ".fit" || extension == ".fits";
}

}  // namespace

SaveFormat SaveFormatOf(FileKind filter, std::string_view fileName) {
    switch (filter) {
        case FileKind::NativeRaw:
            return SaveFormat::Native;
        case FileKind::Fits:
            return SaveFormat::Fits;
        case FileKind::AllFiles:
            break;
    }
    const std::string extension = LowerExtension(fileName);
    if (HasFitsExtension(fileName)) {
        return SaveFormat::Fits;
    }
    return extension == ".tif" || extension == ".tiff" ? SaveFormat::Tiff : SaveFormat::Native;
}

std::string WithFitsExtension(std::string_view fileName) {
    std::string name(fileName);
    if (!HasFitsExtension(fileName)) {
        name += ".FIT";
    }
    return name;
}

}  // namespace talvor
