#include "processing/ui/contrast_filter_commands.h"

#include <QWidget>

#include <QAbstractScrollArea>

#include "core/command_ids.h"
#include "core/session.h"
#include "processing/contrast_stretches.h"
#include "processing/spatial_filters.h"
#include "processing/ui/median_dialog.h"
#include "processing/ui/nonlinear_stretch_dialog.h"
#include "processing/ui/power_dialog.h"
#include "processing/ui/stretch_dialog.h"
#include "processing/ui/unsharp_dialog.h"
#include "ui/command_host.h"

namespace talvor {
namespace {

// The picture under a closed dialog is painted at once, before a long step starts.
void RepaintNow(CommandHost& frame) {
    frame.Picture()->repaint();
}

void BindContrastCommands(CommandHost& frame, Session& session) {
    frame.Bind(CmNormalStretch, [&frame, &session] {
        TStretchDialog dialog(session.display.BrightnessHistogram, frame.DialogParent());
        const bool accepted = dialog.exec() == QDialog::Accepted;
        RepaintNow(frame);
        if (accepted) {
            const StretchLevels levels = dialog.Levels();
            NormalStretch(session, static_cast<int>(levels.black), static_cast<int>(levels.white));
        }
    });
    frame.Bind(CmPowerLawStretch, [&frame, &session] {
        TPowerDialog dialog(frame.DialogParent());
        const bool accepted = dialog.exec() == QDialog::Accepted;
        RepaintNow(frame);
        if (accepted) {
            PowerLawStretch(session, dialog.Power());
        }
    });
    frame.Bind(CmNonLinearStretch, [&frame, &session] {
        TNonLiniarDialog dialog(frame.DialogParent());
        if (dialog.exec() == QDialog::Accepted) {
            RepaintNow(frame);
            NonLinearStretch(session, dialog.Power());
        }
    });
    frame.Bind(CmSineLawStretch, [&session] { SineLawStretch(session); });
    frame.Bind(CmRemoveBackground, [&session] { RemoveBackground(session); });
    frame.Bind(CmLogarithmicStretch, [&session] { LogarithmicStretch(session); });
    frame.Bind(CmAntilogarithmicStretch, [&session] { AntilogarithmicStretch(session); });
    frame.Bind(CmInvertToNegative, [&session] { InvertToNegative(session); });
}

void BindFilterCommands(CommandHost& frame, Session& session) {
    frame.Bind(CmUnsharpMasking, [&frame, &session] {
        TUnsharpDialog dialog(frame.DialogParent());
        if (dialog.exec() == QDialog::Accepted) {
            RepaintNow(frame);
            UnsharpMask(session, dialog.Radius(), dialog.Power());
        }
    });
    frame.Bind(CmMedianFilter, [&frame, &session] {
        TMedianDialog dialog(frame.DialogParent());
        if (dialog.exec() == QDialog::Accepted) {
            RepaintNow(frame);
            MedianFilter(session, dialog.Radius(), dialog.Tenths());
        }
    });
    const auto kernel = [&frame, &session](int id, KernelFilterKind kind) {
        frame.Bind(id, [&session, kind] { KernelFilter(session, kind); });
    };
    kernel(CmHighPassLowPower, KernelFilterKind::HighPassLowPower);
    kernel(CmHighPassHighPower, KernelFilterKind::HighPassHighPower);
    kernel(CmSmootherSharper, KernelFilterKind::SmootherSharper);
    kernel(CmGaussianSmoother, KernelFilterKind::Gaussian);
    kernel(CmLowPassWeightedMean, KernelFilterKind::LowPassWeightedMean);
    kernel(CmBasRelief, KernelFilterKind::BasRelief);
    frame.Bind(CmGradientFilter, [&session] { GradientFilter(session); });
}

}  // namespace

void BindContrastAndFilterCommands(CommandHost& frame, Session& session) {
    BindContrastCommands(frame, session);
    BindFilterCommands(frame, session);
}

}  // namespace talvor
