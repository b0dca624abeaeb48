#include "image/image_file_kind.h"

namespace talvor {

ImageFileKind KindBySize(std::uintmax_t size) {
    switch (size) {
        case kNativeFileSize:
            return ImageFileKind::Native290;
        case kShortNativeFileSize:
            return ImageFileKind::Native256;
        case kFitsLayout1Size:
            return ImageFileKind::FitsLayout1;
        case kFitsLayout2Size:
            return ImageFileKind::FitsLayout2;
        case kFitsLayout3Size:
            return ImageFileKind::FitsLayout3;
        default:
            return ImageFileKind::Unknown;
    }
}

}  // namespace talvor
