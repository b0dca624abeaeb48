#pragma once

#include <cstdint>

namespace talvor {

inline constexpr std::uintmax_t kNativeFileSize = 295800;       // 290 rows of 510 pixels
inline constexpr std::uintmax_t kShortNativeFileSize = 261120;  // 256 rows of 510 pixels
inline constexpr std::uintmax_t kFitsLayout1Size = 267840;      // 36 cards, 256 rows
inline constexpr std::uintmax_t kFitsLayout2Size = 300160;      // 36 cards, 290 rows
inline constexpr std::uintmax_t kFitsLayout3Size = 303040;      // 72 cards, 290 rows
inline constexpr std::uintmax_t kFits8BitSize = 155840;

// What a file is, told by its size alone.
enum class ImageFileKind { Native290, Native256, FitsLayout1, FitsLayout2, FitsLayout3, Unknown };

ImageFileKind KindBySize(std::uintmax_t size);

inline bool IsFits(ImageFileKind kind) {
    return kind == ImageFileKind::FitsLayout1 || kind == ImageFileKind::FitsLayout2 ||
           kind == ImageFileKind::FitsLayout3;
}

}  // namespace talvor
