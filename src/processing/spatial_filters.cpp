#include "processing/spatial_filters.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/label_band.h"
#include "core/progress.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "core/working_state.h"
#include "display/refresh_display.h"
#include "processing/gradient_filter.h"
#include "processing/median_filter.h"
#include "processing/undo_copy.h"
#include "processing/unsharp_mask.h"

namespace talvor {
namespace {

struct KernelFilterSetting {
    int radius;
    Kernel kernel;
    int divisor;
    std::string_view history;
};

KernelFilterSetting SettingOf(KernelFilterKind kind) {
    switch (kind) {
        case KernelFilterKind::HighPassLowPower:
            return {1, Kernel::C, 1, "High Pass Low Power Filter"};
        case KernelFilterKind::HighPassHighPower:
            return {2, Kernel::D, 1, "High Pass High Power Filter"};
        case KernelFilterKind::SmootherSharper:
            return {2, Kernel::E, 1, "Smoother/Sharper Filter"};
        case KernelFilterKind::Gaussian:
            return {2, Kernel::B, 80, "Gaussian Filter"};
        case KernelFilterKind::LowPassWeightedMean:
            return {1, Kernel::A, 16, "Lowpass Smoother Filter"};
        case KernelFilterKind::BasRelief:
            break;
    }
    return {2, Kernel::F, 1, "Bas Relief Filter"};
}

std::string MedianHistory(int radius, float power) {
    char text[64];
    std::snprintf(text, sizeof text, "Median Filter : rad %d ,power %1.1f", radius,
                  static_cast<double>(power));
    return text;
}

}  // namespace

void ApplyKernel(Session& session, int radius, Kernel kernel, int divisor) {
    const int r = std::clamp(radius, 1, 2);
    BusyCursor busy(session.ui);
    ImageStore& images = session.images;
    SaveUndoCopy(images);
    session.progress.ProgressTitle = "FILTER PROGRESS";
    {
        ProgressWindow progress(session.ui, session.progress);
        CopyFrame(images.CurrentImage, images.SecondImage);
        const int firstRow = r + FirstRowAfterLabel(images.CurrentImage);
        for (int y = firstRow; y <= kFrameRows - 1 - r; ++y) {
            progress.SetPosition(y);
            ConvolveRow(images.CurrentImage, images.SecondImage, y, r, kernel, divisor);
        }
        CopyFrame(images.SecondImage, images.CurrentImage);
    }
    RefreshDisplay(session);
}

void KernelFilter(Session& session, KernelFilterKind kind) {
    const KernelFilterSetting setting = SettingOf(kind);
    ApplyKernel(session, setting.radius, setting.kernel, setting.divisor);
    AppendHistory(session.state, setting.history);
}

std::string_view KernelFilterHistory(KernelFilterKind kind) {
    return SettingOf(kind).history;
}

void UnsharpMask(Session& session, int radius, int power) {
    const int d = std::clamp(radius, kMinUnsharpRadius, kMaxUnsharpRadius);
    const int k = std::clamp(power, kMinUnsharpPower, kMaxUnsharpPower);
    BusyCursor busy(session.ui);
    ImageStore& images = session.images;
    session.progress.ProgressTitle = "UNSHARP MASK PROGRESS";
    {
        ProgressWindow progress(session.ui, session.progress);
        SaveUndoCopy(images);
        CopyFrame(images.CurrentImage, images.SecondImage);
        int position = 0;
        UnsharpMaskPass(images.CurrentImage, images.SecondImage, d, k,
                        d + FirstRowAfterLabel(images.CurrentImage),
                        [&] { progress.SetPosition(++position); });
        CopyFrame(images.SecondImage, images.CurrentImage);
    }
    RefreshDisplay(session);
    AppendHistory(session.state,
                  "Unsharp Mask : rad " + std::to_string(d) + " ,power " + std::to_string(k));
}

void MedianFilter(Session& session, int radius, int tenths) {
    const int f = std::clamp(radius, kMinMedianRadius, kMaxMedianRadius);
    const int t = std::clamp(tenths, kMinMedianTenths, kMaxMedianTenths);
    BusyCursor busy(session.ui);
    ImageStore& images = session.images;
    SaveUndoCopy(images);
    session.progress.ProgressTitle = "MEDIAN FILTER PROGRESS";
    {
        ProgressWindow progress(session.ui, session.progress);
        // The larger windows read every row before they write it and work in place; the 3 x 3
        // window reads the unfiltered frame from the second image.
        const bool inPlace = MedianWorksInPlace(f);
        if (!inPlace) {
            CopyFrame(images.CurrentImage, images.SecondImage);
        }
        int position = 0;
        MedianPass(inPlace ? images.CurrentImage : images.SecondImage, images.CurrentImage, f, t,
                   f + FirstRowAfterLabel(images.CurrentImage),
                   [&] { progress.SetPosition(++position); });
    }
    RefreshDisplay(session);
    AppendHistory(session.state, MedianHistory(f, MedianPower(t)));
}

void GradientFilter(Session& session) {
    BusyCursor busy(session.ui);
    ImageBuffer& frame = session.images.CurrentImage;
    SaveUndoCopy(session.images);
    RemoveGradient(frame, FindCornerModes(frame), FirstRowAfterLabel(frame));
    AppendHistory(session.state, "Gradient Filter");
    RefreshDisplay(session);
}

}  // namespace talvor
