#pragma once

#include <string>
#include <string_view>

namespace talvor {

struct Session;
class UserInterface;

inline constexpr std::string_view kApplicationName = "Talvor";

// "Talvor - " and the title, or "Talvor - (Untitled)" without one.
std::string MainCaption(std::string_view title);
void SetMainTitle(UserInterface& ui, std::string_view title);

// Rebuilds the picture of the current image: the caption, the background estimate (with auto
// contrast), and where the interface shows pictures the 8-bit bytes, the temporary bitmap
// file, and the window's picture loaded back from that file.
void RefreshDisplay(Session& session);

// Writes the 128 x 128 frame at the start of the current image to the small bitmap file that
// the camera dialog shows while focusing; nothing without a window.
void WriteFocusBitmap(Session& session);

}  // namespace talvor
