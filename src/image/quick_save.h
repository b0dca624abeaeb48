#pragma once

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

// Advances the quick-save counter (after 65529 it starts again at 1) and names the next file:
// the auto-save directory, "IMG", the counter and ".FIT".
std::string NextQuickSaveName(ProgramSettings& settings);

// When the current image is a finished capture, its date and time become the universal time of
// the middle of the exposure. False, with the details unchanged, for any other image.
bool StampCapturedImage(Session& session, const CalendarTime& localStart,
                        const CalendarTime& localEnd);

enum class QuickSaveResult { Saved = 0, NotWritten = 1, SettingsNotWritten = 3 };

// Saves the frame as the next numbered FITS file of the auto-save directory, a captured frame
// stamped with the middle of its exposure, and keeps the advanced counter in the settings file.
QuickSaveResult QuickSaveFits(Session& session, const ImageBuffer& frame,
                              const CalendarTime& localStart, const CalendarTime& localEnd);

}  // namespace talvor
