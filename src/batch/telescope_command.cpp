#include "batch/telescope_command.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "batch/batch_context.h"
#include "batch/exit_status.h"
#include "batch/stop_signals.h"
#include "telescope/telescope_commands.h"
#include "telescope/telescope_control.h"
#include "telescope/telescope_link.h"

namespace talvor {

const char* const kTelescopeHelp =
    "Usage: talvor-batch [--simulate] telescope OPERATION\n"
    "\n"
    "Drives the telescope through the link the settings file configures (telescope type and\n"
    "COM port), or the simulated mount with --simulate. Operations:\n"
    "  goto messier N          slew to Messier object N (1..110)\n"
    "  goto cngc N             slew to CNGC object N (1..7815)\n"
    "  goto planet NAME        slew to a planet (Mercury .. Pluto)\n"
    "  goto radec H M D AM     slew to RA H h M min, Dec D deg AM arcmin (\"-0\" is south)\n"
    "  info                    the mount's description of the selected object\n"
    "  pulse DIR MS            one guide pulse north, south, east or west (n, s, e, w) of\n"
    "                          MS milliseconds, 0..9999 (the longest timed LX200 pulse);\n"
    "                          Ctrl+C, SIGTERM or SIGHUP ends it early with the drive stopped\n"
    "  reset-box               reset the guider control box\n"
    "Prints the slew status and the mount's reply text. Exits 1 when the mount refused,\n"
    "did not answer, or its port failed (the reason on standard error).\n";

namespace {

std::optional<int> Number(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

int Usage() {
    std::fputs(kTelescopeHelp, stderr);
    return kExitUsage;
}

// Out-of-range entries are told with the control window's own texts.
int Report(TelescopeCommandResult result, std::string_view outOfRange = kObjectOutOfRange) {
    switch (result) {
        case TelescopeCommandResult::Done:
            return kExitSuccess;
        case TelescopeCommandResult::NoLink:
        case TelescopeCommandResult::Failed:
            // The link has written why.
            return kExitFailed;
        case TelescopeCommandResult::Stopped:
            std::fputs("talvor-batch telescope: stopped early; the drive was stopped\n", stderr);
            return kExitFailed;
        case TelescopeCommandResult::OutOfRange:
            std::fprintf(stderr, "%.*s\n", static_cast<int>(outOfRange.size()), outOfRange.data());
            return kExitFailed;
    }
    return kExitFailed;
}

int ReportSlew(const SlewOutcome& outcome, bool slew,
               std::string_view outOfRange = kObjectOutOfRange) {
    if (outcome.result != TelescopeCommandResult::Done) {
        return Report(outcome.result, outOfRange);
    }
    if (slew) {
        if (outcome.status == '0') {
            std::puts("slewing");
        } else if (outcome.status == kNoSlewStatus) {
            std::puts("no answer from the mount");
        } else {
            std::printf("refused (%c)\n", outcome.status);
        }
    }
    if (!slew && outcome.reply.empty()) {
        std::puts("no answer from the mount");
        return kExitFailed;
    }
    std::printf("%s\n", outcome.reply.c_str());
    return slew && outcome.status != '0' ? kExitFailed : kExitSuccess;
}

int RunGoto(BatchContext& context, const std::vector<std::string>& arguments) {
    Session& session = context.State();
    const std::string& target = arguments[1];
    if (target == "messier" || target == "cngc") {
        const auto number = arguments.size() == 3 ? Number(arguments[2]) : std::nullopt;
        if (!number) {
            return Usage();
        }
        return ReportSlew(
            target == "messier" ? GotoMessier(session, *number) : GotoCngc(session, *number), true);
    }
    if (target == "planet" && arguments.size() == 3) {
        return ReportSlew(GotoPlanet(session, arguments[2]), true);
    }
    if (target == "radec" && arguments.size() == 6) {
        const auto hours = Number(arguments[2]);
        const auto minutes = Number(arguments[3]);
        const auto arcMinutes = Number(arguments[5]);
        if (!hours || !minutes || !arcMinutes || !Number(arguments[4])) {
            return Usage();
        }
        return ReportSlew(GotoRaDec(session, *hours, *minutes, arguments[4], *arcMinutes), true,
                          kInvalidCoordinates);
    }
    return Usage();
}

int RunPulse(BatchContext& context, const std::string& direction, const std::string& length) {
    const auto milliseconds = Number(length);
    if (direction.size() != 1 ||
        std::string_view("nsew").find(direction[0]) == std::string_view::npos) {
        return Usage();
    }
    if (!milliseconds || *milliseconds < 0 || *milliseconds > kLongestGuidePulseMs) {
        std::fprintf(stderr, "talvor-batch telescope: a guide pulse lasts 0 to %d ms\n",
                     kLongestGuidePulseMs);
        return Usage();
    }
    const StopSignals signals;
    const int status = Report(PulseTelescope(context.State(), direction[0], *milliseconds,
                                             [] { return StopSignals::Caught(); }));
    if (status == kExitSuccess) {
        std::printf("pulse %c %d ms\n", direction[0], *milliseconds);
    }
    return status;
}

}  // namespace

int RunTelescope(BatchContext& context, const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return Usage();
    }
    Session& session = context.State();
    const std::string& operation = arguments[0];
    if (operation == "goto" && arguments.size() >= 2) {
        return RunGoto(context, arguments);
    }
    if (operation == "info" && arguments.size() == 1) {
        return ReportSlew(ReadMountInfo(session), false);
    }
    if (operation == "pulse" && arguments.size() == 3) {
        return RunPulse(context, arguments[1], arguments[2]);
    }
    if (operation == "reset-box" && arguments.size() == 1) {
        const int status = Report(ResetBox(session));
        if (status == kExitSuccess) {
            std::puts("control box reset");
        }
        return status;
    }
    return Usage();
}

}  // namespace talvor
