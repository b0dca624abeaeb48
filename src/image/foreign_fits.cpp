#include "image/foreign_fits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "image/ascii_text.h"
#include "image/fits_library.h"
#include "image/header_card.h"

namespace talvor {
namespace {

constexpr long kSmallSide = 128;
constexpr double kLargestPixel = 65535.0;

// Closes the file on every return.
struct FitsFileCloser {
    const FitsLibrary& fits;
    fitsfile* file = nullptr;
    ~FitsFileCloser() {
        int status = 0;
        if (file != nullptr) {
            fits.closeFile(file, &status);
        }
    }
};

// Moves to the primary image, or to the first image extension when the primary header holds no
// image of two or more axes. False when the file has none.
bool MoveToImage(const FitsLibrary& fits, fitsfile* file, int& bitpix, std::vector<long>& axes) {
    int status = 0;
    int count = 0;
    fits.countHdus(file, &count, &status);
    for (int hdu = 1; status == 0 && hdu <= count; ++hdu) {
        int type = 0;
        if (fits.moveToHdu(file, hdu, &type, &status) != 0 || type != IMAGE_HDU) {
            continue;
        }
        int naxis = 0;
        long sizes[3] = {0, 0, 0};
        if (fits.imageParameters(file, 3, &bitpix, &naxis, sizes, &status) != 0) {
            return false;
        }
        if (naxis >= 2 && sizes[0] > 0 && sizes[1] > 0) {
            axes.assign(static_cast<std::size_t>(naxis), 1);
            for (int k = 0; k < std::min(naxis, 3); ++k) {
                axes[static_cast<std::size_t>(k)] = sizes[k];
            }
            return true;
        }
    }
    return false;
}

std::optional<std::string> TextKey(const FitsLibrary& fits, fitsfile* file, const char* key) {
    int status = 0;
    char value[FLEN_VALUE] = {};
    if (fits.readKey(file, TSTRING, key, value, nullptr, &status) != 0) {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<double> NumberKey(const FitsLibrary& fits, fitsfile* file, const char* key) {
    int status = 0;
    double value = 0;
    if (fits.readKey(file, TDOUBLE, key, &value, nullptr, &status) != 0 || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

ForeignFitsHeader ReadHeader(const FitsLibrary& fits, fitsfile* file) {
    ForeignFitsHeader header;
    for (const char* key : {"OBJECT", "TELESCOP", "INSTRUME", "OBSERVER", "ORIGIN", "FILTER",
                            "DATE-OBS", "TIME-OBS", "ROWORDER"}) {
        if (auto text = TextKey(fits, file, key)) {
            header.texts[key] = std::move(*text);
        }
    }
    for (const char* key : {"EXPTIME", "EXPOSURE", "PIXWIDTH", "PIXHEIGH", "XPIXSZ", "YPIXSZ",
                            "FOCALLEN", "APERTURE"}) {
        if (const auto number = NumberKey(fits, file, key)) {
            header.numbers[key] = *number;
        }
    }
    int status = 0;
    int cards = 0;
    fits.headerSpace(file, &cards, nullptr, &status);
    for (int k = 1; status == 0 && k <= cards; ++k) {
        char record[FLEN_CARD] = {};
        if (fits.readRecord(file, k, record, &status) != 0) {
            break;
        }
        const std::string_view line(record);
        const std::string text(line.size() > 8 ? line.substr(8) : std::string_view{});
        if (line.substr(0, 8) == "HISTORY ") {
            header.history.push_back(text);
        } else if (line.substr(0, 8) == "COMMENT ") {
            header.comments.push_back(text);
        }
    }
    return header;
}

bool SaysBottomUp(const ForeignFitsHeader& header) {
    const auto order = header.texts.find("ROWORDER");
    return order != header.texts.end() && WithoutTrailingBlanks(order->second) == "BOTTOM-UP";
}

// Our own commentary cards hold "= '" + text + "'" after the keyword.
bool IsOurCommentary(const std::string& text) {
    return text.rfind("= '", 0) == 0;
}

std::string OurCommentaryText(const std::string& keyword, const std::string& text) {
    return CommentaryText(PlainCard(keyword + " " + text));
}

// The boilerplate that CFITSIO puts into every file it makes is no comment of the observer's.
bool IsBoilerplate(const std::string& comment) {
    return comment.find("FITS (Flexible Image Transport System) format") != std::string::npos ||
           comment.find("Astrophysics', volume 376, page 359") != std::string::npos;
}

void TakeHistory(const ForeignFitsHeader& header, WorkingState& state) {
    std::vector<std::string> ours;
    for (const std::string& text : header.history) {
        if (IsOurCommentary(text)) {
            ours.push_back(OurCommentaryText("HISTORY", text));
        }
    }
    const std::size_t slots = state.HistoryLines.size();
    if (ours.size() == slots + kParagraphCards) {
        // One of our files, saved again: fifteen slots, then the paragraph.
        std::array<HeaderCard, kParagraphCards> paragraph;
        for (std::size_t k = 0; k < slots; ++k) {
            state.HistoryLines[k] = ours[k].substr(0, kHistoryLineLength);
        }
        for (std::size_t k = 0; k < kParagraphCards; ++k) {
            paragraph[k] = CommentaryCard("HISTORY = '", ours[slots + k]);
        }
        state.Fits.history = ParagraphText(paragraph);
        return;
    }
    std::size_t slot = 0;
    for (const std::string& text : header.history) {
        const std::string line = WithoutTrailingBlanks(
            AsciiText(IsOurCommentary(text) ? OurCommentaryText("HISTORY", text) : text));
        const auto first = line.find_first_not_of(' ');
        if (first == std::string::npos) {
            continue;
        }
        if (slot == slots) {
            break;
        }
        state.HistoryLines[slot++] = line.substr(first, kHistoryLineLength);
    }
}

void TakeComments(const ForeignFitsHeader& header, FitsDetails& details) {
    std::vector<std::string> ours;
    for (const std::string& text : header.comments) {
        if (IsOurCommentary(text)) {
            ours.push_back(OurCommentaryText("COMMENT", text));
        }
    }
    if (ours.size() == kParagraphCards) {
        std::array<HeaderCard, kParagraphCards> paragraph;
        for (std::size_t k = 0; k < kParagraphCards; ++k) {
            paragraph[k] = CommentaryCard("COMMENT = '", ours[k]);
        }
        details.comment = ParagraphText(paragraph);
        return;
    }
    std::string joined;
    for (const std::string& text : header.comments) {
        const std::string line = WithoutTrailingBlanks(AsciiText(text));
        const auto first = line.find_first_not_of(' ');
        if (first == std::string::npos || IsBoilerplate(line)) {
            continue;
        }
        joined += (joined.empty() ? "" : " ") + line.substr(first);
    }
    details.comment = joined.substr(0, kFitsParagraphLength);
}

bool IsDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "YYYY-MM-DD", possibly followed by "Thh:mm:ss..." as FITS writes a date with its time.
void TakeDate(const ForeignFitsHeader& header, FitsDetails& details) {
    const auto date = header.texts.find("DATE-OBS");
    const auto time = header.texts.find("TIME-OBS");
    if (date != header.texts.end()) {
        const std::string_view text = date->second;
        if (text.size() >= 10 && IsDigits(text.substr(0, 4)) && text[4] == '-' &&
            IsDigits(text.substr(5, 2)) && text[7] == '-' && IsDigits(text.substr(8, 2))) {
            details.date = std::string(text.substr(0, 10));
            if (text.size() >= 19 && text[10] == 'T') {
                details.time = std::string(text.substr(11, 8));
            }
        }
    }
    if (time != header.texts.end() && !WithoutTrailingBlanks(time->second).empty()) {
        details.time = AsciiText(WithoutTrailingBlanks(time->second)).substr(0, 11);
    }
}

void TakeNumber(const ForeignFitsHeader& header, const char* key, double& value,
                double factor = 1.0) {
    if (const auto found = header.numbers.find(key); found != header.numbers.end()) {
        value = found->second * factor;
    }
}

std::string SizeText(long width, long height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string NumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

}  // namespace

bool LooksLikeFits(const std::vector<uint8_t>& firstBytes) {
    constexpr std::string_view kStart = "SIMPLE  =";
    return firstBytes.size() >= kStart.size() &&
           std::equal(kStart.begin(), kStart.end(), firstBytes.begin());
}

std::optional<ForeignFitsImage> ReadForeignFits(const std::filesystem::path& file) {
    const FitsLibrary* fits = TheFitsLibrary();
    if (fits == nullptr) {
        return std::nullopt;
    }
    FitsFileCloser closer{*fits};
    int status = 0;
    // The disk-file form takes the name as it is, without CFITSIO's filters and brackets.
    if (fits->openDiskFile(&closer.file, file.c_str(), READONLY, &status) != 0) {
        closer.file = nullptr;
        return std::nullopt;
    }
    ForeignFitsImage image;
    std::vector<long> axes;
    if (!MoveToImage(*fits, closer.file, image.bitpix, axes)) {
        return std::nullopt;
    }
    image.width = axes[0];
    image.height = axes[1];
    image.planes = axes.size() >= 3 ? axes[2] : 1;
    image.header = ReadHeader(*fits, closer.file);
    image.bottomUp = SaysBottomUp(image.header);

    const bool small = image.width == kSmallSide && image.height == kSmallSide;
    image.takenWidth = small ? kSmallSide : std::min<long>(image.width, kFrameColumns);
    image.takenHeight = small ? kSmallSide : std::min<long>(image.height, kFrameRows);
    // The top rows of the picture: the first stored rows, or the last ones of a bottom-up file.
    std::vector<long> first(axes.size(), 1);
    std::vector<long> last(axes.size(), 1);
    std::vector<long> step(axes.size(), 1);
    first[1] = image.bottomUp ? image.height - image.takenHeight + 1 : 1;
    last[0] = image.takenWidth;
    last[1] = first[1] + image.takenHeight - 1;
    image.values.resize(static_cast<std::size_t>(image.takenWidth * image.takenHeight));
    double blank = std::numeric_limits<double>::quiet_NaN();
    int anyBlank = 0;
    if (fits->readSubset(closer.file, TDOUBLE, first.data(), last.data(), step.data(), &blank,
                         image.values.data(), &anyBlank, &status) != 0) {
        return std::nullopt;
    }
    if (image.bottomUp) {
        for (long top = 0, bottom = image.takenHeight - 1; top < bottom; ++top, --bottom) {
            std::swap_ranges(image.values.begin() + top * image.takenWidth,
                             image.values.begin() + (top + 1) * image.takenWidth,
                             image.values.begin() + bottom * image.takenWidth);
        }
    }
    return image;
}

std::string PlaceForeignImage(const ForeignFitsImage& image, ImageBuffer& frame, bool& smallFrame) {
    smallFrame = image.takenWidth == kSmallSide && image.takenHeight == kSmallSide &&
                 image.width == kSmallSide && image.height == kSmallSide;
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -std::numeric_limits<double>::infinity();
    for (const double value : image.values) {
        if (!std::isnan(value)) {
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
    }
    const bool scaled = lowest < 0.0 || highest > kLargestPixel;
    const double factor = scaled && highest > lowest ? kLargestPixel / (highest - lowest) : 1.0;
    const auto pixel = [&](double value) -> uint16_t {
        if (std::isnan(value)) {
            return 0;
        }
        const double level = scaled ? (value - lowest) * factor : value;
        // Float-to-integer conversions truncate, as everywhere in the program.
        return static_cast<uint16_t>(std::clamp(level, 0.0, kLargestPixel));
    };

    std::fill(frame.begin(), frame.begin() + kFramePixels, uint16_t{0});
    const long stride = smallFrame ? kSmallSide : kFrameColumns;
    for (long y = 0; y < image.takenHeight; ++y) {
        for (long x = 0; x < image.takenWidth; ++x) {
            frame[static_cast<std::size_t>(y * stride + x)] =
                pixel(image.values[static_cast<std::size_t>(y * image.takenWidth + x)]);
        }
    }

    std::string note;
    const std::string size = SizeText(image.width, image.height);
    if (smallFrame || (image.width == kFrameColumns && image.height == kFrameRows)) {
        // Taken as it is.
    } else if (image.width > kFrameColumns || image.height > kFrameRows) {
        note = "The image is " + size +
               " pixels; the frame holds 512 x 290, so only its top-left " +
               SizeText(image.takenWidth, image.takenHeight) + " pixels were taken";
        note += image.width > kFrameColumns ? ", columns " + std::to_string(kFrameColumns + 1) +
                                                  " to " + std::to_string(image.width) + " were cut"
                                            : "";
        note += image.height > kFrameRows
                    ? std::string(image.width > kFrameColumns ? " and" : ",") + " rows " +
                          std::to_string(kFrameRows + 1) + " to " + std::to_string(image.height) +
                          " were cut"
                    : "";
        note += ".";
    } else {
        note = "The image is " + size +
               " pixels; it stands at the top-left of the 512 x 290 frame and the rest is black.";
    }
    if (image.planes > 1) {
        note += (note.empty() ? "" : " ") + std::string("Only the first of its ") +
                std::to_string(image.planes) + " planes was taken.";
    }
    if (scaled) {
        note += (note.empty() ? "" : " ") + std::string("Its values run from ") +
                NumberText(lowest) + " to " + NumberText(highest) +
                "; they were scaled linearly into 0 to 65535 (" + NumberText(lowest) +
                " became 0, " + NumberText(highest) + " became 65535).";
    }
    return note;
}

void TakeForeignHeader(const ForeignFitsHeader& header, WorkingState& state) {
    FitsDetails& details = state.Fits;
    const std::pair<const char*, std::string*> texts[] = {
        {"OBJECT", &details.object},       {"TELESCOP", &details.telescope},
        {"INSTRUME", &details.instrument}, {"OBSERVER", &details.observer},
        {"ORIGIN", &details.origin},       {"FILTER", &details.filter}};
    for (const auto& [key, field] : texts) {
        if (const auto found = header.texts.find(key); found != header.texts.end()) {
            *field = AsciiText(WithoutTrailingBlanks(found->second)).substr(0, kFitsTextLength);
        }
    }
    TakeDate(header, details);
    TakeNumber(header, "EXPOSURE", details.exposureSeconds);
    TakeNumber(header, "EXPTIME", details.exposureSeconds);
    // XPIXSZ and YPIXSZ are in micrometres; ours are in millimetres.
    TakeNumber(header, "XPIXSZ", details.pixelWidth, 0.001);
    TakeNumber(header, "YPIXSZ", details.pixelHeight, 0.001);
    TakeNumber(header, "PIXWIDTH", details.pixelWidth);
    TakeNumber(header, "PIXHEIGH", details.pixelHeight);
    TakeNumber(header, "FOCALLEN", details.focalLengthInches);
    TakeNumber(header, "APERTURE", details.apertureSquareInches);
    TakeHistory(header, state);
    TakeComments(header, details);
}

}  // namespace talvor
