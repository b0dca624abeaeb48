#include "guiding/guide_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "core/clock.h"
#include "core/session.h"

namespace talvor {
namespace {

std::string PulseFields(const GuidePulse& pulse) {
    if (!pulse.Sent()) {
        return ",";
    }
    return std::string(1, pulse.direction) + "," + std::to_string(pulse.milliseconds);
}

std::string Format(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void GiveUp(GuideRunState& run, const std::string& why) {
    run.logProblem = "guide log not written: " + why;
    run.logFile.clear();
}

}  // namespace

std::string GuideLogName(int year, int month, int day, int hour, int minute, int second) {
    char name[64];
    std::snprintf(name, sizeof name, "guide-%04d%02d%02d-%02d%02d%02d.csv", year, month, day, hour,
                  minute, second);
    return name;
}

void StartGuideLog(Session& session) {
    GuideRunState& run = session.guiding.Run;
    run.logFile.clear();
    run.logProblem.clear();
    session.dataDirectory.EnsureExists();
    const CalendarTime now = session.clock.LocalTime();
    const std::string name =
        GuideLogName(now.year, now.month, now.day, now.hour, now.minute, now.second);
    std::filesystem::path file = session.dataDirectory.Resolve(name);
    // A second run started within the same second gets a file of its own.
    std::error_code error;
    for (int copy = 2; std::filesystem::exists(file, error); ++copy) {
        file = session.dataDirectory.Resolve(name.substr(0, name.size() - 4) + "-" +
                                             std::to_string(copy) + ".csv");
    }
    std::ofstream out(file);
    out << kGuideLogHeader << '\n';
    out.flush();
    if (!out) {
        GiveUp(run, file.filename().string() + ": " + std::strerror(errno));
        return;
    }
    run.logFile = file;
}

void AppendGuideLog(Session& session, const GuideLogLine& line) {
    GuideRunState& run = session.guiding.Run;
    if (run.logFile.empty()) {
        return;
    }
    const CalendarTime now = session.clock.LocalTime();
    char time[32];
    std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    const GuideCorrectionOutcome& correction = line.correction;
    const bool found = correction.result == GuideCorrectionResult::Measured;
    std::string text =
        std::string(time) + "," +
        Format("%.3f", static_cast<int32_t>(line.milliseconds - run.startMs) / 1000.0) + "," +
        std::to_string(line.frame) + ",";
    text += found ? std::string("found") : std::string(AbsenceName(correction.absence));
    if (found) {
        text += "," + Format("%.1f", line.x) + "," + Format("%.1f", line.y) + "," +
                Format("%.3f", line.dx) + "," + Format("%.3f", line.dy);
    } else {
        text += ",,,,";
    }
    text += "," + PulseFields(correction.pulses.ra) + "," + PulseFields(correction.pulses.dec);
    text += "," + Format("%.0f", correction.figures.peak) + "," +
            Format("%.1f", correction.figures.snr) + "\n";
    std::ofstream out(run.logFile, std::ios::app);
    out << text;
    out.flush();
    if (!out) {
        GiveUp(run, run.logFile.filename().string() + ": " + std::strerror(errno));
    }
}

void EndGuideLog(Session& session) {
    session.guiding.Run.logFile.clear();
}

}  // namespace talvor
