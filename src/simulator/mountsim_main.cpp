// talvor-mountsim: the simulated mount on a pseudo-terminal, for trying the program's telescope
// commands without a mount. It prints the terminal it serves; point the data directory's com1
// (or com2) entry at it, or let it make that link itself.

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/clock.h"
#include "simulator/mount_simulator_server.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

constexpr const char* kUsage =
    "usage: talvor-mountsim [--log] [--link PATH] [--guide-rate X Y] [--drift X Y]\n"
    "                       [--periodic AMPLITUDE SECONDS] [--backlash X Y] [--latitude DEG]\n"
    "                       [--sidereal HOURS]\n"
    "\n"
    "Serves a simulated LX200 mount with a guider control box on a pseudo-terminal and prints\n"
    "its path. Rates, drift and backlash are in camera pixels (per second).\n"
    "  --log            print every byte received with its time in milliseconds\n"
    "  --link PATH      make PATH a symbolic link to the terminal (for instance the com1\n"
    "                   entry of Talvor's data directory); removed again on exit\n"
    "  --guide-rate X Y guide rate of the RA and Dec axes, pixels per second (3 3)\n"
    "  --drift X Y      steady drift while tracking, pixels per second (0.05 -0.03)\n"
    "  --periodic A S   RA periodic error: amplitude in pixels, period in seconds (1.5 120)\n"
    "  --backlash X Y   play of the RA and Dec gears in pixels (0 2)\n"
    "  --latitude DEG   the site's latitude for the horizon (51.5)\n"
    "  --sidereal HOURS local sidereal time at start (2)\n";

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
    std::printf("%s\n", server.DevicePath().c_str());
    std::fflush(stdout);

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    while (stopRequested == 0) {
        ::usleep(100000);
    }
    if (!link.empty()) {
        std::error_code error;
        std::filesystem::remove(link, error);
    }
    return 0;
}
