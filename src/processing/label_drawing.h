#pragma once

#include <string>
#include <string_view>

#include "core/image_store.h"

namespace talvor {

struct CalendarTime;
struct FitsDetails;
struct Session;

// The band holds 64 characters of 8 pixels.
inline constexpr int kLabelCharacters = kFrameColumns / 8;
// The date is centred as if it were this long, whichever date text is used.
inline constexpr int kLabelDateRoom = 24;
// Words 0..5 of a labelled frame hold this value; processing tests words 4 and 5.
inline constexpr uint16_t kLabelMark = 17;

// "  HH:MM:SS UT DD-MM-YYYY " from the computer clock (25 characters).
std::string ClockDateText(const CalendarTime& time);

// A space, TIME-OBS, " UT " and DATE-OBS of the FITS header texts.
std::string FitsDateText(const FitsDetails& fits);

// The label line: the text centred in the band as (64 - text length - 24 with a date) / 2
// leading spaces, then the date text when there is one. A line longer than the band is cut at
// 64 characters, so that nothing outside the band is written.
std::string LabelLine(std::string_view text, bool withDate, std::string_view dateText);

// Writes the line white on black into rows 0..9 (characters the font lacks stay black) and
// sets the label mark in words 0..5. The rows below are not touched.
void DrawLabelLine(ImageBuffer& frame, std::string_view line);

// The Label command after OK: labels the current image, with the clock's date or the FITS date
// when autoDate is set, and refreshes the display. No undo copy, no history line.
void LabelImage(Session& session, std::string_view text, bool autoDate, bool useFitsDate);

}  // namespace talvor
