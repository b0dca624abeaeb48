#pragma once

#include <cstdint>
#include <string>

#include "guiding/guide_correction.h"

namespace talvor {

struct Session;

// One guide frame of the log.
struct GuideLogLine {
    int frame = 0;
    // The clock when the frame had been read.
    uint32_t milliseconds = 0;
    GuideCorrectionOutcome correction;
    // The star centre in guide-frame pixels and the offset from the reference in pixels, when
    // the star was there.
    double x = 0.0;
    double y = 0.0;
    double dx = 0.0;
    double dy = 0.0;
};

// The first line of every guide log.
inline constexpr const char* kGuideLogHeader =
    "time,seconds,frame,star,x,y,dx,dy,ra_pulse,ra_ms,dec_pulse,dec_ms,peak,snr";

// "guide-YYYYMMDD-HHMMSS.csv" for a calendar time.
std::string GuideLogName(int year, int month, int day, int hour, int minute, int second);

// Starts the guide log of a guiding run in the data folder, named after the clock's calendar,
// with its header line. When it cannot be written, the run goes on without a log and the
// reason is kept for the "Guiding Info" window.
void StartGuideLog(Session& session);

// Appends one frame: the calendar time, the seconds since the run began, the frame number,
// "found" or why the star was taken as not there, the star centre and offsets (empty when it
// was not there), the pulses (direction letter and milliseconds, empty when none was sent), and
// the star's peak and signal-to-noise ratio as measured. A write that fails ends the log.
void AppendGuideLog(Session& session, const GuideLogLine& line);

// The run is over: nothing more is written.
void EndGuideLog(Session& session);

}  // namespace talvor
