#include "image/fits_details_form.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/fits_details.h"

namespace talvor {
namespace {

TEST(FitsDetailsFormTest, DecimalFieldsReadTheLeadingNumberOrNothing) {
    EXPECT_EQ(ReadDecimalField("12.5"), 12.5);
    EXPECT_EQ(ReadDecimalField("  +3"), 3.0);
    EXPECT_EQ(ReadDecimalField("-0.25 secs"), -0.25);
    EXPECT_EQ(ReadDecimalField(".5"), 0.5);
    EXPECT_EQ(ReadDecimalField("1e2"), 100.0);
    EXPECT_FALSE(ReadDecimalField(""));
    EXPECT_FALSE(ReadDecimalField("abc"));
    EXPECT_FALSE(ReadDecimalField("+-3"));
    // A header card cannot carry these.
    EXPECT_FALSE(ReadDecimalField("nan"));
    EXPECT_FALSE(ReadDecimalField("inf"));
    EXPECT_FALSE(ReadDecimalField("1e999"));
}

TEST(FitsDetailsFormTest, FormTextCutsAndKeepsOneLine) {
    EXPECT_EQ(FormText("M42", 67), "M42");
    EXPECT_EQ(FormText(std::string(80, 'x'), 67), std::string(67, 'x'));
    EXPECT_EQ(FormText("first\nsecond\tthird", 254), "first second third");
    // A two-byte character at the cut is left out whole.
    EXPECT_EQ(FormText("ab\xc3\xa9", 3), "ab");
    EXPECT_EQ(FormText("ab\xc3\xa9", 4), "ab\xc3\xa9");
}

TEST(FitsDetailsFormTest, UtOffsetStepsByOneWithinElevenHours) {
    EXPECT_EQ(UtOffsetAfterScroll(0, ScrollAction::LineLeft, 0), -1);
    EXPECT_EQ(UtOffsetAfterScroll(-11, ScrollAction::LineLeft, -11), -11);
    EXPECT_EQ(UtOffsetAfterScroll(-11, ScrollAction::PageLeft, -11), -11);
    EXPECT_EQ(UtOffsetAfterScroll(10, ScrollAction::LineRight, 11), 11);
    EXPECT_EQ(UtOffsetAfterScroll(11, ScrollAction::LineRight, 11), 11);
    EXPECT_EQ(UtOffsetAfterScroll(3, ScrollAction::PageRight, 11), 4);
    EXPECT_EQ(UtOffsetAfterScroll(3, ScrollAction::ThumbTrack, -7), -7);
    EXPECT_EQ(UtOffsetAfterScroll(3, ScrollAction::ThumbPosition, 40), 11);
}

TEST(FitsDetailsFormTest, TheFormShowsTheDetailsAndAnOutOfRangeOffsetAsZero) {
    FitsDetails details;
    details.object = "M31";
    details.focalLengthInches = 80;
    details.exposureSeconds = 2.5;
    details.history = "guided";
    const FitsDetailsForm form = FitsDetailsFormFor(details, 8);
    EXPECT_EQ(form.object, "M31");
    EXPECT_EQ(form.focalLength, "80.000000");
    EXPECT_EQ(form.aperture, "0.000000");
    EXPECT_EQ(form.exposure, "2.500000");
    EXPECT_EQ(DecimalFieldText(-12.5), "-12.500000");
    EXPECT_EQ(form.history, "guided");
    EXPECT_EQ(form.utOffsetHours, 8);
    EXPECT_EQ(FitsDetailsFormFor(details, 12).utOffsetHours, 0);
    EXPECT_EQ(FitsDetailsFormFor(details, -12).utOffsetHours, 0);
    EXPECT_EQ(FitsDetailsFormFor(details, -11).utOffsetHours, -11);
}

TEST(FitsDetailsFormTest, ReadBackCutsTextsAndKeepsNumbersThatAreNotNumbers) {
    FitsDetails details;
    details.focalLengthInches = 80;
    details.apertureSquareInches = 12;
    FitsDetailsForm form = FitsDetailsFormFor(details, 0);
    form.object = std::string(70, 'o');
    form.observer = "A. Observer";
    form.origin = "Backyard";
    form.telescope = "8in SCT";
    form.filter = "Ha";
    form.instrument = std::string(68, 'i');
    form.focalLength = "eighty";
    form.aperture = "";
    form.exposure = "30";
    form.history = std::string(300, 'h');
    form.comment = "line one\r\nline two";
    form.date = "2026-12-07 extra";
    form.time = "21:30:00.50 UT";
    form.utOffsetHours = -5;
    int utOffset = 3;
    ReadBackFitsDetailsForm(form, details, utOffset);
    EXPECT_EQ(details.object, std::string(67, 'o'));
    EXPECT_EQ(details.observer, "A. Observer");
    EXPECT_EQ(details.origin, "Backyard");
    EXPECT_EQ(details.telescope, "8in SCT");
    EXPECT_EQ(details.filter, "Ha");
    EXPECT_EQ(details.instrument, std::string(67, 'i'));
    EXPECT_EQ(details.focalLengthInches, 80.0);
    EXPECT_EQ(details.apertureSquareInches, 12.0);
    EXPECT_EQ(details.exposureSeconds, 30.0);
    EXPECT_EQ(details.history, std::string(254, 'h'));
    EXPECT_EQ(details.comment, "line one  line two");
    EXPECT_EQ(details.date, "2026-12-07");
    EXPECT_EQ(details.time, "21:30:00.50");
    EXPECT_EQ(utOffset, -5);
    // Pixel size is not on the form and stays.
    EXPECT_EQ(details.pixelWidth, kCameraPixelWidth);
}

TEST(FitsDetailsFormTest, AMissingDateBecomesTodaysLocalDate) {
    FitsDetails details;
    const CalendarTime today{2026, 3, 2, 21, 30, 0};
    SetMissingFitsDate(details, today);
    EXPECT_EQ(details.date, "2026-03-02");
    details.date = "2026-3-1";
    SetMissingFitsDate(details, today);
    EXPECT_EQ(details.date, "2026-03-02");
    details.date = "2025-11-30";
    SetMissingFitsDate(details, today);
    EXPECT_EQ(details.date, "2025-11-30");
}

TEST(FitsDetailsFormTest, TextsAreSpelledInAsciiAndParagraphsLoseTrailingBlanks) {
    FitsDetails details;
    FitsDetailsForm form = FitsDetailsFormFor(details, 0);
    form.object = "Barnard's Star";
    form.observer = "Zoë Ångström";
    form.history = "Kemble's Cascade   ";
    form.comment = std::string(300, 'c');
    int offset = 0;
    ReadBackFitsDetailsForm(form, details, offset);
    EXPECT_EQ(details.object, "Barnard's Star");
    EXPECT_EQ(details.observer, "Zoe Angstrom");
    EXPECT_EQ(details.history, "Kemble's Cascade");
    EXPECT_EQ(details.comment, std::string(254, 'c'));
}

TEST(FitsDetailsFormTest, OnlyDatesThatFitsCarriesAreTaken) {
    EXPECT_EQ(FitsDateProblem(""), std::nullopt);
    EXPECT_EQ(FitsDateProblem("2026-12-07"), std::nullopt);
    for (const char* bad : {"7/12/2026", "2026-12-7", "2026-13-01", "today"}) {
        EXPECT_TRUE(FitsDateProblem(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace talvor
