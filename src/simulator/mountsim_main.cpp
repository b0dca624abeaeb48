// talvor-mountsim: the simulated mount on a pseudo-terminal, for trying the program's telescope
// commands without a mount. It prints the terminal it serves; point the data directory's com1
// (or com2) entry at it, or let it make that link itself.

#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/clock.h"
#include "simulator/lx200_coordinates.h"
#include "simulator/mount_simulator_server.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

constexpr const char* kUsage =
    "usage: talvor-mountsim [--log] [--link PATH] [--guide-rate X Y] [--drift X Y]\n"
    "                       [--periodic AMPLITUDE SECONDS] [--backlash X Y] [--scale ARCSEC]\n"
    "                       [--goto-rate DEG] [--latitude DEG] [--longitude DEG]\n"
    "                       [--utc-offset HOURS] [--sidereal HOURS | --now] [--start-dec DEG]\n"
    "\n"
    "Serves a simulated LX200 mount with a guider control box on a pseudo-terminal and prints\n"
    "its path, then one line for everything the mount does (go-tos, syncs, pulses, settings,\n"
    "commands it does not know). Rates, drift and backlash are in camera pixels (per second).\n"
    "Type \"status\" on standard input for where it points, \"quit\" to end it.\n"
    "  --log            print every byte received with its time in milliseconds too\n"
    "  --link PATH      make PATH a symbolic link to the terminal (for instance the com1\n"
    "                   entry of Talvor's data directory); removed again on exit\n"
    "  --guide-rate X Y guide rate of the RA and Dec axes, pixels per second (3 3)\n"
    "  --drift X Y      steady drift while tracking, pixels per second (0.05 -0.03)\n"
    "  --periodic A S   RA periodic error: amplitude in pixels, period in seconds (1.5 120)\n"
    "  --backlash X Y   play of the RA and Dec gears in pixels (0 2)\n"
    "  --scale ARCSEC   the sky one camera pixel spans, arc-seconds (2.5)\n"
    "  --goto-rate DEG  go-to speed of each axis, degrees per second (8)\n"
    "  --latitude DEG   the site's latitude (51.5)\n"
    "  --longitude DEG  the site's longitude, east positive (0)\n"
    "  --utc-offset H   hours added to local time to give universal time (0)\n"
    "  --sidereal HOURS local sidereal time at start, on 2025-01-15 (2)\n"
    "  --now            start the mount's clock at the computer's time instead\n"
    "  --start-dec DEG  declination the mount points at on the meridian at start (30)\n";

bool ReadNumbers(int argc, char** argv, int& at, int count, double* values) {
    if (at + count >= argc) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        values[i] = std::strtod(argv[at + 1 + i], &end);
        if (end == argv[at + 1 + i] || *end != '\0') {
            return false;
        }
    }
    at += count;
    return true;
}

void PrintStatus(const talvor::MountSimulatorServer& server, uint32_t since, uint32_t now) {
    const talvor::MountSnapshot mount = server.Snapshot(now);
    std::printf(
        "%10u ms  status: RA %s Dec %s (%.7f h %.6f deg), pointing at RA %.7f h Dec %.6f deg, "
        "altitude %.3f azimuth %.3f, %s, tracking %s, focuser %.0f\n",
        since, talvor::RightAscensionText(mount.reported.raHours, true).c_str(),
        talvor::DeclinationText(mount.reported.decDegrees, true).c_str(), mount.reported.raHours,
        mount.reported.decDegrees, mount.sky.raHours, mount.sky.decDegrees,
        mount.horizontal.altitudeDegrees, mount.horizontal.azimuthDegrees,
        mount.slewing ? "slewing" : "still", mount.tracking ? "on" : "off", mount.focuserPosition);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    talvor::MountConfig config;
    bool log = false;
    std::filesystem::path link;
    for (int at = 1; at < argc; ++at) {
        const std::string option = argv[at];
        double values[2] = {};
        bool good = true;
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (option == "--log") {
            log = true;
        } else if (option == "--link" && at + 1 < argc) {
            link = argv[++at];
        } else if (option == "--guide-rate" && (good = ReadNumbers(argc, argv, at, 2, values))) {
            config.guideRateX = values[0];
            config.guideRateY = values[1];
        } else if (option == "--drift" && (good = ReadNumbers(argc, argv, at, 2, values))) {
            config.driftX = values[0];
            config.driftY = values[1];
        } else if (option == "--periodic" && (good = ReadNumbers(argc, argv, at, 2, values))) {
            config.periodicAmplitude = values[0];
            config.periodicSeconds = values[1];
        } else if (option == "--backlash" && (good = ReadNumbers(argc, argv, at, 2, values))) {
            config.backlashX = values[0];
            config.backlashY = values[1];
        } else if (option == "--latitude" && (good = ReadNumbers(argc, argv, at, 1, values))) {
            config.latitudeDegrees = values[0];
        } else if (option == "--sidereal" && (good = ReadNumbers(argc, argv, at, 1, values))) {
            config.siderealHoursAtStart = values[0];
        } else if (option == "--longitude" && (good = ReadNumbers(argc, argv, at, 1, values))) {
            config.longitudeDegrees = values[0];
        } else if (option == "--utc-offset" && (good = ReadNumbers(argc, argv, at, 1, values))) {
            config.utcOffsetHours = values[0];
        } else if (option == "--scale" && (good = ReadNumbers(argc, argv, at, 1, values))) {
            good = values[0] > 0;
            config.arcsecondsPerPixel = values[0];
        } else if (option == "--goto-rate" && (good = ReadNumbers(argc, argv, at, 1, values))) {
            good = values[0] > 0;
            config.gotoDegreesPerSecond = values[0];
        } else if (option == "--start-dec" && (good = ReadNumbers(argc, argv, at, 1, values))) {
            good = values[0] >= -90 && values[0] <= 90;
            config.startDecDegrees = values[0];
        } else if (option == "--now") {
            config.startJulianDate = 2440587.5 + static_cast<double>(std::time(nullptr)) / 86400;
        } else {
            good = false;
        }
        if (!good) {
            std::fprintf(stderr, "talvor-mountsim: bad option %s\n\n%s", option.c_str(), kUsage);
            return 2;
        }
    }

    talvor::SystemClock clock;
    talvor::MountSimulatorStart started = talvor::StartMountSimulator(clock, config);
    if (!started.server) {
        std::fprintf(stderr, "talvor-mountsim: %s\n", started.error.c_str());
        return 1;
    }
    talvor::MountSimulatorServer& server = *started.server;
    if (!link.empty()) {
        std::error_code error;
        if (std::filesystem::is_symlink(link, error)) {
            std::filesystem::remove(link, error);
        }
        std::filesystem::create_symlink(server.DevicePath(), link, error);
        if (error) {
            std::fprintf(stderr, "talvor-mountsim: cannot link %s: %s\n", link.c_str(),
                         error.message().c_str());
            return 1;
        }
    }
    const uint32_t start = clock.Milliseconds();
    if (log) {
        server.SetObserver([start](const talvor::ReceivedByte& received) {
            const unsigned char byte = received.byte;
            std::printf("%10u ms  0x%02X  %c\n", received.milliseconds - start, byte,
                        byte >= 0x20 && byte < 0x7F ? byte : ' ');
            std::fflush(stdout);
        });
    }
    server.SetEventObserver([start](const talvor::MountEvent& event) {
        std::printf("%10u ms  %s\n", event.milliseconds - start, event.text.c_str());
        std::fflush(stdout);
    });
    std::printf("%s\n", server.DevicePath().c_str());
    std::fflush(stdout);

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    bool reading = true;
    std::string typed;
    while (stopRequested == 0) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (!reading || ::poll(&input, 1, 100) <= 0) {
            ::usleep(reading ? 0 : 100000);
            continue;
        }
        char bytes[256];
        const ssize_t got = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (got <= 0) {
            reading = false;  // no console: serve until a signal ends it
            continue;
        }
        typed.append(bytes, static_cast<std::size_t>(got));
        for (std::size_t end = typed.find('\n'); end != std::string::npos; end = typed.find('\n')) {
            const std::string line = typed.substr(0, end);
            typed.erase(0, end + 1);
            if (line == "status") {
                PrintStatus(server, clock.Milliseconds() - start, clock.Milliseconds());
            } else if (line == "quit") {
                stopRequested = 1;
            } else if (!line.empty()) {
                std::printf("talvor-mountsim: type \"status\" or \"quit\"\n");
                std::fflush(stdout);
            }
        }
    }
    if (!link.empty()) {
        std::error_code error;
        std::filesystem::remove(link, error);
    }
    return 0;
}
