#pragma once

#include <string_view>

namespace talvor {

// The LX200 rate and focuser commands, exactly as they go on the wire. The telescope state keeps
// the hand control's current choices as these texts, so they live beside it.
inline constexpr std::string_view kSlewRateSlew = "#:RS#";
inline constexpr std::string_view kSlewRateFind = "#:RM#";
inline constexpr std::string_view kSlewRateCentre = "#:RC#";
inline constexpr std::string_view kSlewRateGuide = "#:RG#";
inline constexpr std::string_view kFocusFast = "#:FF#";
inline constexpr std::string_view kFocusSlow = "#:FS#";
inline constexpr std::string_view kFocusIn = "#:F+#";
inline constexpr std::string_view kFocusOut = "#:F-#";
inline constexpr std::string_view kFocusStop = "#:FQ#";

}  // namespace talvor
