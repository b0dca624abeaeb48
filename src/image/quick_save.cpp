#include "image/quick_save.h"

#include <cstdio>
#include <ctime>

#include "core/session.h"
#include "image/fits_file.h"
#include "image/settings_file.h"

namespace talvor {
namespace {

constexpr uint16_t kLastQuickSaveNumber = 65529;

// Seconds of a calendar reading counted as if it were universal time: a linear count in which
// adding hours moves the calendar correctly.
std::time_t LinearSeconds(const CalendarTime& calendar) {
    std::tm fields{};
    fields.tm_year = calendar.year - 1900;
    fields.tm_mon = calendar.month - 1;
    fields.tm_mday = calendar.day;
    fields.tm_hour = calendar.hour;
    fields.tm_min = calendar.minute;
    fields.tm_sec = calendar.second;
    return timegm(&fields);
}

CalendarTime CalendarOf(std::time_t seconds) {
    std::tm fields{};
    gmtime_r(&seconds, &fields);
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
            fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

}  // namespace

CalendarTime ToUniversalTime(const CalendarTime& local, int utOffsetHours) {
    return CalendarOf(LinearSeconds(local) + static_cast<std::time_t>(utOffsetHours) * 3600);
}

ObservationStamp MidExposureStamp(const CalendarTime& localStart, const CalendarTime& localEnd,
                                  int utOffsetHours) {
    const std::time_t start = LinearSeconds(localStart);
    const std::time_t middle = start + (LinearSeconds(localEnd) - start) / 2;
    const CalendarTime ut = CalendarOf(middle + static_cast<std::time_t>(utOffsetHours) * 3600);
    char date[32];
    char time[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", ut.year, ut.month, ut.day);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", ut.hour, ut.minute, ut.second);
    return {date, time};
}

std::string NextQuickSaveName(ProgramSettings& settings) {
    settings.QuickSaveCounter = settings.QuickSaveCounter > kLastQuickSaveNumber
                                    ? uint16_t{1}
                                    : static_cast<uint16_t>(settings.QuickSaveCounter + 1);
    return AutoSaveDirectory(settings) + "\\IMG" + std::to_string(settings.QuickSaveCounter) +
           ".FIT";
}

bool StampCapturedImage(Session& session, const CalendarTime& localStart,
                        const CalendarTime& localEnd) {
    // A capture that never finished an exposure has no time: its clock readings are unset.
    const bool exposed = localEnd.year != CalendarTime{}.year;
    if (session.state.Origin != ImageOrigin::Capture || !exposed) {
        return false;
    }
    const ObservationStamp stamp =
        MidExposureStamp(localStart, localEnd, session.settings.UtOffsetHours);
    session.state.Fits.date = stamp.date;
    session.state.Fits.time = stamp.time;
    return true;
}

QuickSaveResult QuickSaveFits(Session& session, const ImageBuffer& frame,
                              const CalendarTime& localStart, const CalendarTime& localEnd) {
    const std::string name = NextQuickSaveName(session.settings);
    // An opened file keeps its own date; a frame with no capture and no date gets none.
    StampCapturedImage(session, localStart, localEnd);
    FitsDetails& details = session.state.Fits;
    session.dataDirectory.CreateDirectory(kAutoSaveRoot);
    session.dataDirectory.CreateDirectory(AutoSaveDirectory(session.settings));
    if (WriteFitsFile(session.dataDirectory.Resolve(name), frame, details, session.state, false) !=
        FitsWriteResult::Written) {
        return QuickSaveResult::NotWritten;
    }
    return WriteQuickSaveCounter(session) == SettingsResult::Done
               ? QuickSaveResult::Saved
               : QuickSaveResult::SettingsNotWritten;
}

}  // namespace talvor
