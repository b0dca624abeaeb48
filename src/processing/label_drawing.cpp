#include "processing/label_drawing.h"

#include <algorithm>
#include <cstdio>

#include "core/clock.h"
#include "core/fits_details.h"
#include "core/label_band.h"
#include "core/session.h"
#include "display/refresh_display.h"
#include "processing/label_font.h"

namespace talvor {
namespace {

constexpr uint16_t kWhite = 65535;
constexpr int kLabelMarkWords = 6;

}  // namespace

std::string ClockDateText(const CalendarTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "  %02d:%02d:%02d UT %02d-%02d-%d ", time.hour, time.minute,
                  time.second, time.day, time.month, time.year);
    return text;
}

std::string FitsDateText(const FitsDetails& fits) {
    return " " + fits.time + " UT " + fits.date;
}

std::string LabelLine(std::string_view text, bool withDate, std::string_view dateText) {
    const int room =
        kLabelCharacters - static_cast<int>(text.size()) - (withDate ? kLabelDateRoom : 0);
    // A text too long for the band starts at its left edge.
    std::string line(static_cast<std::size_t>(std::max(room / 2, 0)), ' ');
    line += text;
    if (withDate) {
        line += dateText;
    }
    if (line.size() > static_cast<std::size_t>(kLabelCharacters)) {
        line.resize(kLabelCharacters);
    }
    return line;
}

void DrawLabelLine(ImageBuffer& frame, std::string_view line) {
    std::fill_n(frame.begin(), kLabelRows * kFrameColumns, uint16_t{0});
    const int characters = std::min(static_cast<int>(line.size()), kLabelCharacters);
    for (int c = 0; c < characters; ++c) {
        const Glyph* glyph = GlyphFor(line[c]);
        if (glyph == nullptr) {
            continue;
        }
        for (int r = 0; r < kGlyphHeight; ++r) {
            for (int k = 0; k < kGlyphWidth; ++k) {
                const bool set = ((*glyph)[r] >> (7 - k)) & 1;
                PixelAt(frame, kGlyphWidth * c + k, r) = set ? kWhite : 0;
            }
        }
    }
    std::fill_n(frame.begin(), kLabelMarkWords, kLabelMark);
}

void LabelImage(Session& session, std::string_view text, bool autoDate, bool useFitsDate) {
    const std::string date =
        useFitsDate ? FitsDateText(session.state.Fits) : ClockDateText(session.clock.LocalTime());
    DrawLabelLine(session.images.CurrentImage, LabelLine(text, autoDate, date));
    // The label takes no undo copy of its own; undoing the step before it would drop it.
    DiscardUndoCopy(session.images);
    RefreshDisplay(session);
}

}  // namespace talvor
