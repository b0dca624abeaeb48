#include "batch/guide_command.h"

#include <cstdio>
#include <memory>

#include "batch/argument_parsing.h"
#include "batch/batch_context.h"
#include "batch/exit_status.h"
#include "batch/stop_signals.h"
#include "camera/self_guiding_hooks.h"
#include "guiding/drive_training.h"
#include "guiding/guiding_view.h"
#include "guiding/unattended_guiding.h"
#include "simulator/mount_model.h"
#include "simulator/unguided_sky.h"

namespace talvor {

const char* const kGuideHelp =
    "Usage: talvor-batch [--simulate] guide [--star X,Y] [--train] [--seconds N]\n"
    "\n"
    "Takes a fresh frame, picks the brightest star (or the one at X,Y), trains the drive with\n"
    "--train, then guides for N seconds (default 60) or until Ctrl+C, SIGTERM or SIGHUP (the\n"
    "run then ends as at its end, summed up). Prints for every guide frame the star's offsets\n"
    "dx, dy in pixels and the pulses sent (or why the star was taken as not there: no centre,\n"
    "faint, jumped), and at the end 'rms guided X px, unguided Y px'\n"
    "(the unguided figure with --simulate only: how far the same simulated sky drifted without\n"
    "guiding). With --simulate every frame also gives the star's true offset from where it\n"
    "stood when the reference was taken, 'true dx X dy Y', and the end 'rms true X px (RA Y,\n"
    "Dec Z)' over every frame, clouds and all. Every frame is also written to the guide log\n"
    "guide-YYYYMMDD-HHMMSS.csv in the data folder. With --simulate and no telescope type in\n"
    "the settings, the simulated mount is driven as a Meade LX200.\n";

namespace {

std::string PulseText(const GuidePulse& pulse) {
    return pulse.Sent()
               ? std::string(1, pulse.direction) + " " + std::to_string(pulse.milliseconds) + " ms"
               : std::string("none");
}

int Usage() {
    std::fputs(kGuideHelp, stderr);
    return kExitUsage;
}

}  // namespace

int RunGuide(BatchContext& context, const std::vector<std::string>& arguments) {
    std::optional<PixelPosition> star;
    bool train = false;
    int seconds = 60;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--train") {
            train = true;
        } else if (option == "--star" && i + 1 < arguments.size()) {
            star = PointArgument(arguments[++i]);
            if (!star) {
                return Usage();
            }
        } else if (option == "--seconds" && i + 1 < arguments.size()) {
            const auto value = WholeNumber(arguments[++i]);
            if (!value || *value < 1) {
                return Usage();
            }
            seconds = *value;
        } else {
            return Usage();
        }
    }
    Session& session = context.State();
    context.ReadExistingSettings();
    if (context.Simulated() && session.settings.Telescope == TelescopeType::None) {
        // The simulated mount answers as an LX200 unless the settings choose the control box.
        session.settings.Telescope = TelescopeType::MeadeLx200;
    }
    NoGuidingView view;
    const SelfGuidingHooks hooks;
    GuidingContext guiding{session, view, hooks};

    const auto picked = star ? PickStarAt(session, *star) : PickBrightestStar(session);
    if (!picked) {
        std::fputs("talvor-batch guide: no guide star could be picked\n", stderr);
        return kExitFailed;
    }
    std::printf("guide star %d %d\n", picked->x, picked->y);
    if (train) {
        const auto calibration = TrainAutoGuiding(guiding);
        if (!calibration) {
            return kExitFailed;
        }
        std::printf("trained: RA %d px/s, Dec %d px/s, RA backlash %d, Dec backlash %d\n",
                    calibration->raRate, calibration->decRate, calibration->raBacklash,
                    calibration->decBacklash);
        if (!PickStarAt(session, *picked)) {
            std::fputs("talvor-batch guide: the guide star was lost after training\n", stderr);
            return kExitFailed;
        }
    }

    std::unique_ptr<UnguidedSky> unguided;
    if (context.Simulated()) {
        unguided = std::make_unique<UnguidedSky>(MountConfig{}, context.StartedMs());
    }
    const StopSignals stopSignals;
    UnattendedGuidingOptions options;
    options.seconds = seconds;
    options.unguidedSky = unguided.get();
    options.trueSky = context.SimulatedSky();
    options.stopRequested = [] { return StopSignals::Caught(); };
    options.onFrame = [](const GuideFrameLine& line) {
        if (!line.starFound) {
            std::printf("frame %d: star not found", line.frame);
            if (line.absence != StarAbsence::None) {
                std::printf(" (%s)", std::string(AbsenceName(line.absence)).c_str());
            }
        } else {
            std::printf("frame %d: dx %.1f dy %.1f, pulses RA %s, Dec %s", line.frame, line.dx,
                        line.dy, PulseText(line.pulses.ra).c_str(),
                        PulseText(line.pulses.dec).c_str());
        }
        if (line.trueOffset) {
            std::printf(", true dx %.2f dy %.2f", line.trueOffset->x, line.trueOffset->y);
        }
        std::printf("\n");
        std::fflush(stdout);
    };
    const UnattendedGuidingSummary summary = GuideForSeconds(guiding, options);
    // A port that failed while guiding was closed, after its message on standard error.
    if (!summary.started || !session.telescope.PortOpen) {
        return kExitFailed;
    }
    if (summary.unguidedRms) {
        std::printf("rms guided %.2f px, unguided %.2f px\n", summary.guidedRms,
                    *summary.unguidedRms);
    } else {
        std::printf("rms guided %.2f px, unguided unknown (real sky)\n", summary.guidedRms);
    }
    if (summary.trueRms) {
        std::printf("rms true %.2f px (RA %.2f, Dec %.2f)\n", *summary.trueRms, *summary.trueRaRms,
                    *summary.trueDecRms);
    }
    return kExitSuccess;
}

}  // namespace talvor
