#include "image/fits_details_form.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/clock.h"
#include "core/fits_details.h"
#include "image/ascii_text.h"
#include "image/header_card.h"

namespace talvor {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

void ReadNumberInto(const std::string& field, double& value) {
    if (const auto number = ReadDecimalField(field)) {
        value = *number;
    }
}

// A text as a header card holds it: ASCII letters only, cut to the field's length.
std::string HeaderText(std::string_view text, std::size_t length) {
    return FormText(AsciiText(text), length);
}

}  // namespace

std::string FormText(std::string_view text, std::size_t length) {
    std::string stored(text);
    for (char& c : stored) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = ' ';
        }
    }
    if (stored.size() > length) {
        std::size_t cut = length;
        while (cut > 0 && IsContinuationByte(stored[cut])) {
            --cut;
        }
        stored.resize(cut);
    }
    return stored;
}

std::string DecimalFieldText(double value) {
    char text[64];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    if (error != std::errc{}) {
        return "0.000000";
    }
    return std::string(text, end);
}

std::optional<double> ReadDecimalField(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    // from_chars takes no plus sign; a leading one is allowed as in the C conversions.
    if (at < text.size() && text[at] == '+' && !(at + 1 < text.size() && text[at + 1] == '-')) {
        ++at;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (error != std::errc{} || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

int ShownUtOffset(int storedHours) {
    return storedHours < kMinUtOffset || storedHours > kMaxUtOffset ? 0 : storedHours;
}

int UtOffsetAfterScroll(int current, ScrollAction action, int thumbPosition) {
    switch (action) {
        case ScrollAction::LineLeft:
        case ScrollAction::PageLeft:
            return std::max(kMinUtOffset, current - 1);
        case ScrollAction::LineRight:
        case ScrollAction::PageRight:
            return std::min(kMaxUtOffset, current + 1);
        case ScrollAction::ThumbTrack:
        case ScrollAction::ThumbPosition:
            return std::clamp(thumbPosition, kMinUtOffset, kMaxUtOffset);
    }
    return current;
}

FitsDetailsForm FitsDetailsFormFor(const FitsDetails& details, int utOffsetHours) {
    FitsDetailsForm form;
    form.object = details.object;
    form.observer = details.observer;
    form.origin = details.origin;
    form.telescope = details.telescope;
    form.focalLength = DecimalFieldText(details.focalLengthInches);
    form.aperture = DecimalFieldText(details.apertureSquareInches);
    form.filter = details.filter;
    form.instrument = details.instrument;
    form.exposure = DecimalFieldText(details.exposureSeconds);
    form.history = details.history;
    form.comment = details.comment;
    form.date = details.date;
    form.time = details.time;
    form.utOffsetHours = ShownUtOffset(utOffsetHours);
    return form;
}

void ReadBackFitsDetailsForm(const FitsDetailsForm& form, FitsDetails& details,
                             int& utOffsetHours) {
    details.object = HeaderText(form.object, kFitsTextLength);
    details.observer = HeaderText(form.observer, kFitsTextLength);
    details.origin = HeaderText(form.origin, kFitsTextLength);
    details.telescope = HeaderText(form.telescope, kFitsTextLength);
    ReadNumberInto(form.focalLength, details.focalLengthInches);
    ReadNumberInto(form.aperture, details.apertureSquareInches);
    details.filter = HeaderText(form.filter, kFitsTextLength);
    details.instrument = HeaderText(form.instrument, kFitsTextLength);
    ReadNumberInto(form.exposure, details.exposureSeconds);
    // Blanks at the end of a paragraph cannot be told from the cards' filling: they go.
    details.history = WithoutTrailingBlanks(HeaderText(form.history, kFormParagraphLength));
    details.comment = WithoutTrailingBlanks(HeaderText(form.comment, kFormParagraphLength));
    details.date = WithoutTrailingBlanks(HeaderText(form.date, kFormDateLength));
    details.time = WithoutTrailingBlanks(HeaderText(form.time, kFormTimeLength));
    utOffsetHours = ShownUtOffset(form.utOffsetHours);
}

std::optional<std::string> FitsDateProblem(std::string_view date) {
    const std::string text = WithoutTrailingBlanks(date);
    const auto digits = [&text](std::size_t at, std::size_t count) {
        return std::all_of(text.begin() + static_cast<long>(at),
                           text.begin() + static_cast<long>(at + count),
                           [](char c) { return c >= '0' && c <= '9'; });
    };
    if (text.empty()) {
        return std::nullopt;
    }
    if (text.size() == 10 && digits(0, 4) && text[4] == '-' && digits(5, 2) && text[7] == '-' &&
        digits(8, 2)) {
        const int month = std::stoi(text.substr(5, 2));
        const int day = std::stoi(text.substr(8, 2));
        if (month >= 1 && month <= 12 && day >= 1 && day <= 31) {
            return std::nullopt;
        }
    }
    return "The date must be written as YYYY-MM-DD (for example 2026-12-07), or left empty.";
}

void SetMissingFitsDate(FitsDetails& details, const CalendarTime& today) {
    if (details.date.size() >= kFormDateLength) {
        return;
    }
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", today.year, today.month, today.day);
    details.date = date;
}

}  // namespace talvor
