#include "image/quick_save.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>
#include <set>
#include <system_error>
#include <vector>

#include "core/atomic_file.h"
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

std::string FileNameOf(uint16_t number) {
    return "IMG" + std::to_string(number) + ".FIT";
}

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Every entry of the folder counts, whatever its kind: a dangling symbolic link as much as a
// frame.
std::set<std::string> LowerCaseNamesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        names.insert(LowerCase(entry->path().filename().string()));
    }
    return names;
}

std::optional<uint16_t> FirstFreeNumber(uint16_t counter,
                                        const std::set<std::string>& lowerCaseTaken) {
    uint16_t number = counter;
    for (int tried = 0; tried < kLastQuickSaveNumber + 1; ++tried) {
        number = QuickSaveNumberAfter(number);
        if (lowerCaseTaken.count(LowerCase(FileNameOf(number))) == 0) {
            return number;
        }
    }
    return std::nullopt;
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

uint16_t QuickSaveNumberAfter(uint16_t counter) {
    return counter > kLastQuickSaveNumber ? uint16_t{1} : static_cast<uint16_t>(counter + 1);
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
    // An opened file keeps its own date; a frame with no capture and no date gets none.
    StampCapturedImage(session, localStart, localEnd);
    FitsDetails& details = session.state.Fits;
    session.dataDirectory.CreateDirectory(kAutoSaveRoot);
    session.dataDirectory.CreateDirectory(AutoSaveDirectory(session.settings));
    const std::filesystem::path folder =
        session.dataDirectory.Resolve(AutoSaveDirectory(session.settings));
    std::set<std::string> taken = LowerCaseNamesIn(folder);
    auto number = FirstFreeNumber(session.settings.QuickSaveCounter, taken);
    if (!number) {
        return QuickSaveResult::NotWritten;
    }
    const std::vector<uint8_t> bytes = EncodeFitsFile(frame, details, session.state, false);
    AtomicFile out(folder / FileNameOf(*number));
    if (!out.Write(bytes.data(), bytes.size())) {
        return QuickSaveResult::NotWritten;
    }
    // A name taken after the folder was read (another program saving there) moves the frame on
    // to the next free number.
    for (;;) {
        const auto result = out.CommitAsNew(folder / FileNameOf(*number));
        if (result == AtomicFile::NewFileResult::Created) {
            break;
        }
        if (result == AtomicFile::NewFileResult::Failed) {
            return QuickSaveResult::NotWritten;
        }
        taken.insert(LowerCase(FileNameOf(*number)));
        number = FirstFreeNumber(*number, taken);
        if (!number) {
            return QuickSaveResult::NotWritten;
        }
    }
    session.settings.QuickSaveCounter = *number;
    return WriteQuickSaveCounter(session) == SettingsResult::Done
               ? QuickSaveResult::Saved
               : QuickSaveResult::SettingsNotWritten;
}

}  // namespace talvor
