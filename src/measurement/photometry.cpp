#include "measurement/photometry.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "core/messages.h"
#include "core/session.h"

namespace talvor {
namespace {

constexpr int kMessageModesClash = 37;
constexpr int kMessagePhotometryGeometry = 38;
constexpr int kMessageAlreadyPhotometry = 39;

// The mask half-sizes of the "Diameter of Mask" buttons, with the side each names.
struct MaskChoice {
    int radius;
    int diameter;
};
constexpr std::array<MaskChoice, 6> kMasks{{{0, 1}, {2, 5}, {3, 7}, {4, 9}, {6, 13}, {8, 17}}};

PhotometryMeasurement& MeasurementOf(PhotometryState& photometry, PhotometryTarget target) {
    switch (target) {
        case PhotometryTarget::Object:
            return photometry.Object;
        case PhotometryTarget::Comparison:
            return photometry.Comparison;
        case PhotometryTarget::Background:
            break;
    }
    return photometry.Background;
}

void WipeMeasurements(PhotometryState& photometry) {
    photometry.Object = {};
    photometry.Comparison = {};
    photometry.Background = {};
}

void FieldsChanged(Session& session) {
    if (session.modes.Photometry.FieldsChanged) {
        session.modes.Photometry.FieldsChanged();
    }
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Whole(int value) {
    return std::to_string(value);
}

}  // namespace

PhotometryStart StartPhotometry(Session& session) {
    MouseModes& modes = session.modes;
    if (modes.MergeMode || modes.RowPlotMode) {
        ReportMessage(session.ui, kMessageModesClash);
        return PhotometryStart::Refused;
    }
    if (DisplayIsStretched(session.state)) {
        ReportMessage(session.ui, kMessagePhotometryGeometry);
        return PhotometryStart::Refused;
    }
    if (modes.PhotometryMode) {
        ReportMessage(session.ui, kMessageAlreadyPhotometry);
        return PhotometryStart::Refused;
    }
    session.guiding.MeasureRadius = kPhotometryStartRadius;
    PhotometryState& photometry = modes.Photometry;
    WipeMeasurements(photometry);
    photometry.CursorValue = 0;
    photometry.CursorPosition = {};
    photometry.BackgroundChosen = false;
    modes.PhotometryMode = true;
    return PhotometryStart::Started;
}

void FinishPhotometry(Session& session) {
    session.modes.PhotometryMode = false;
}

void ChooseMask(Session& session, int radius) {
    session.guiding.MeasureRadius = ShownMaskRadius(radius);
    WipeMeasurements(session.modes.Photometry);
    FieldsChanged(session);
}

int ShownMaskRadius(int radius) {
    for (const MaskChoice& mask : kMasks) {
        if (mask.radius == radius) {
            return radius;
        }
    }
    return 0;
}

std::optional<int> MaskRadiusForDiameter(int diameter) {
    for (const MaskChoice& mask : kMasks) {
        if (mask.diameter == diameter) {
            return mask.radius;
        }
    }
    return std::nullopt;
}

void ChooseTarget(Session& session, PhotometryTarget target) {
    session.modes.Photometry.Target = target;
    if (target == PhotometryTarget::Background) {
        session.modes.Photometry.BackgroundChosen = true;
    }
    FieldsChanged(session);
}

void MeasureTarget(Session& session, int x, int y) {
    PhotometryState& photometry = session.modes.Photometry;
    PhotometryMeasurement& measurement = MeasurementOf(photometry, photometry.Target);
    const int r = session.guiding.MeasureRadius;
    const ImageBuffer& frame = session.images.CurrentImage;
    measurement.sum = 0;
    measurement.position = {x, y};
    for (int row = y - r; row <= y + r; ++row) {
        for (int column = x - r; column <= x + r; ++column) {
            measurement.sum += PixelAt(frame, column, row);
        }
    }
    FieldsChanged(session);
}

void TrackCursor(Session& session, int x, int y) {
    if (!session.modes.PhotometryMode || x <= 1 || x >= kFrameColumns - 1 || y <= 1 ||
        y >= kFrameRows - 1) {
        return;
    }
    PhotometryState& photometry = session.modes.Photometry;
    photometry.CursorPosition = {x, y};
    photometry.CursorValue = PixelAt(session.images.CurrentImage, x, y);
    FieldsChanged(session);
}

std::string MagnitudeText(int32_t objectSum, int32_t comparisonSum, int32_t backgroundSum) {
    if (objectSum == 0 || comparisonSum == 0 || objectSum <= backgroundSum ||
        comparisonSum <= backgroundSum) {
        return {};
    }
    const float object = static_cast<float>(objectSum - backgroundSum);
    const float comparison = static_cast<float>(comparisonSum - backgroundSum);
    const float difference = static_cast<float>(-2.5 * std::log10(object / comparison));
    return Format("%2.2f", difference);
}

std::string MagnitudeNote(const std::string& magnitude, int32_t backgroundSum) {
    if (magnitude.empty() || backgroundSum != 0) {
        return {};
    }
    return std::string(kNoBackgroundNote);
}

PhotometryFields PhotometryFieldTexts(const Session& session) {
    const PhotometryState& photometry = session.modes.Photometry;
    const int side = 2 * session.guiding.MeasureRadius + 1;
    const int32_t pixels = side * side;
    const auto mean = [pixels](const PhotometryMeasurement& measurement) {
        return Format("%7.0f", measurement.sum / pixels);
    };
    PhotometryFields fields;
    fields.objectX = Whole(photometry.Object.position.x);
    fields.objectY = Whole(photometry.Object.position.y);
    fields.objectValue = mean(photometry.Object);
    fields.comparisonX = Whole(photometry.Comparison.position.x);
    fields.comparisonY = Whole(photometry.Comparison.position.y);
    fields.comparisonValue = mean(photometry.Comparison);
    fields.backgroundX = Whole(photometry.Background.position.x);
    fields.backgroundY = Whole(photometry.Background.position.y);
    // Until a background is measured, the display's background estimate stands for it.
    fields.backgroundValue = photometry.BackgroundChosen
                                 ? mean(photometry.Background)
                                 : Format("%7.0f", session.display.BackgroundLevel * 256);
    fields.magnitude =
        MagnitudeText(photometry.Object.sum, photometry.Comparison.sum, photometry.Background.sum);
    fields.magnitudeNote = MagnitudeNote(fields.magnitude, photometry.Background.sum);
    fields.cursorX = Whole(photometry.CursorPosition.x);
    fields.cursorY = Whole(photometry.CursorPosition.y);
    fields.cursorValue = Format("%7.0f", photometry.CursorValue);
    return fields;
}

}  // namespace talvor
