#pragma once

#include <cstdint>
#include <string>

#include "core/clock.h"
#include "core/image_store.h"
#include "core/program_settings.h"

namespace talvor {

struct Session;

// Date "YYYY-MM-DD" and time "HH:MM:SS" of a moment in universal time.
struct ObservationStamp {
    std::string date;
    std::string time;
};

// Universal time is the local wall-clock time plus the UT offset in hours.
CalendarTime ToUniversalTime(const CalendarTime& local, int utOffsetHours);

// The middle of an exposure given by its local start and end, in universal time.
ObservationStamp MidExposureStamp(const CalendarTime& localStart, const CalendarTime& localEnd,
                                  int utOffsetHours);

// The quick-save number that follows the counter: after 65529 the count starts again at 1.
uint16_t QuickSaveNumberAfter(uint16_t counter);

// When the current image is a finished capture, its date and time become the universal time of
// the middle of the exposure. False, with the details unchanged, for any other image.
bool StampCapturedImage(Session& session, const CalendarTime& localStart,
                        const CalendarTime& localEnd);

enum class QuickSaveResult { Saved = 0, NotWritten = 1, SettingsNotWritten = 3 };

// Saves the frame as "IMG" + number + ".FIT" in the auto-save directory, a captured frame
// stamped with the middle of its exposure, then keeps its number as the counter in the settings
// file. The number is the first after the counter whose name is free in the folder (in any case
// of letters): a counter that lags the folder, after a lost or unwritten settings file, never
// makes a save replace a frame of an earlier night. Nothing is written when every number is
// taken.
QuickSaveResult QuickSaveFits(Session& session, const ImageBuffer& frame,
                              const CalendarTime& localStart, const CalendarTime& localEnd);

}  // namespace talvor
