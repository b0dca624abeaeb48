#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/scroll_action.h"

namespace talvor {

struct CalendarTime;
struct FitsDetails;

inline constexpr int kMinUtOffset = -11;
inline constexpr int kMaxUtOffset = 11;
// What the FITS DETAILS dialog takes back from its longer fields.
inline constexpr std::size_t kFormParagraphLength = 254;
inline constexpr std::size_t kFormDateLength = 10;
inline constexpr std::size_t kFormTimeLength = 11;

// The fields of the FITS DETAILS dialog as text, and the position of its UT offset bar.
struct FitsDetailsForm {
    std::string object;
    std::string observer;
    std::string origin;
    std::string telescope;
    std::string focalLength;
    std::string aperture;
    std::string filter;
    std::string instrument;
    std::string exposure;
    std::string history;
    std::string comment;
    std::string date;
    std::string time;
    int utOffsetHours = 0;
};

// The text an edit field stores: line breaks and other control characters become spaces (a
// header card holds one line of printable text), and the text is cut to at most `length` bytes
// without splitting a character.
std::string FormText(std::string_view text, std::size_t length);

// A number as the dialog shows it: six decimals, as "%f" gives it.
std::string DecimalFieldText(double value);

// A number field read as a decimal number: blanks before it and anything after it are ignored.
// A field that does not start with a finite number gives nothing.
std::optional<double> ReadDecimalField(std::string_view text);

// The UT offset the dialog starts from: a stored offset outside -11..11 shows as 0.
int ShownUtOffset(int storedHours);

// The UT offset after a use of its scroll bar: an arrow or a page click steps by one hour, the
// thumb sets its position; the offset stays within -11..11.
int UtOffsetAfterScroll(int current, ScrollAction action, int thumbPosition);

// The fields showing the current details and UT offset.
FitsDetailsForm FitsDetailsFormFor(const FitsDetails& details, int utOffsetHours);

// Continue: every field back into the details, texts spelled in ASCII (FITS headers hold
// nothing else: "é" becomes e) and cut to their lengths; a number field that is not a number
// keeps the old value. The bar's position becomes the UT offset.
void ReadBackFitsDetailsForm(const FitsDetailsForm& form, FitsDetails& details, int& utOffsetHours);

// Continue refuses a date that FITS cannot carry: the message to show, or nothing for an empty
// date or one of the form YYYY-MM-DD.
std::optional<std::string> FitsDateProblem(std::string_view date);

// The date a FITS save starts from when the details hold no full date: today's local date as
// YYYY-MM-DD.
void SetMissingFitsDate(FitsDetails& details, const CalendarTime& today);

}  // namespace talvor
