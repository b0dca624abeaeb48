#include "image/fits_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/atomic_file.h"
#include "image/header_card.h"

namespace talvor {
namespace {

constexpr int kSignedOffset = 32768;
constexpr std::size_t kSaturationCard = 3;  // card 40, counted from card 37
constexpr std::size_t kHeaderBytes = kFitsCards * kCardLength;
constexpr std::size_t kShortHeaderBytes = 36 * kCardLength;
constexpr std::size_t kRowBytes = kFrameColumns * 2;
constexpr std::size_t kPadding16 = 320;
constexpr std::size_t kPadding8 = 1600;
constexpr const char* kZeroOffset = "BZERO   =   +0.0000000000E+00";
constexpr const char* kStandardOffset = "BZERO   =   +3.2768000000E+04";
constexpr const char* kSaturateSigned = "SATURATE=                32768";
constexpr const char* kSaturateUnsigned = "SATURATE=                65535";
constexpr const char* kSaturate8Bit = "SATURATE=                  255";
// Our rows are stored top row first; most FITS programs count rows from the bottom.
constexpr const char* kRowOrder =
    "ROWORDER= 'TOP-DOWN'           / first row stored is the top of the picture";

std::string NumberCard(const char* key, double value) {
    char number[40];
    std::snprintf(number, sizeof number, "%11.10E", value);
    return std::string(key) + "    " + number;
}

void Append(std::vector<uint8_t>& out, const HeaderCard& card) {
    out.insert(out.end(), card.begin(), card.end());
}

// Reads the cards of a header one after another.
class CardReader {
  public:
    explicit CardReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool Next(HeaderCard& card) {
        if (at_ + kCardLength > bytes_.size()) {
            return false;
        }
        std::memcpy(card.data(), &bytes_[at_], kCardLength);
        at_ += kCardLength;
        return true;
    }
    bool Skip(int cards) {
        HeaderCard card;
        for (int i = 0; i < cards; ++i) {
            if (!Next(card)) {
                return false;
            }
        }
        return true;
    }
    std::size_t Position() const { return at_; }

  private:
    const std::vector<uint8_t>& bytes_;
    std::size_t at_ = 0;
};

bool ColumnsRead(const HeaderCard& card, int firstColumn, std::string_view text) {
    return std::equal(text.begin(), text.end(), card.begin() + firstColumn - 1);
}

// Cards 1-5: only a frame of this program's shape is accepted.
FitsReadResult CheckShape(CardReader& in) {
    HeaderCard card;
    if (!in.Skip(1) || !in.Next(card)) {
        return FitsReadResult::EndedEarly;
    }
    if (!ColumnsRead(card, 29, "16")) {
        return FitsReadResult::NotOurs;
    }
    const std::string_view expected[] = {"2", "512", "290"};
    const int columns[] = {30, 28, 28};
    for (int i = 0; i < 3; ++i) {
        if (!in.Next(card)) {
            return FitsReadResult::EndedEarly;
        }
        if (!ColumnsRead(card, columns[i], expected[i])) {
            return FitsReadResult::NotOurs;
        }
    }
    return FitsReadResult::Read;
}

// The number in columns 14-29; a field that is not a number leaves the value as it was.
void ReadNumber(const HeaderCard& card, double& value) {
    const char* begin = card.data() + 13;
    const char* end = card.data() + 29;
    while (begin < end && *begin == ' ') {
        ++begin;
    }
    if (begin < end && *begin == '+') {
        ++begin;
    }
    double parsed = 0;
    const auto [stop, error] = std::from_chars(begin, end, parsed);
    if (error == std::errc() && stop != begin) {
        value = parsed;
    }
}

// Card 36 decides the offset of the pixel values: files of the older unsigned format hold the
// plain words with a zero offset.
int ReadOffset(const HeaderCard& card) {
    return ColumnsRead(card, 1, kZeroOffset) ? 0 : kSignedOffset;
}

// The unsigned format: the older one by its zero offset, the standard one by its saturation.
bool ReadsUnsigned(const HeaderCard& offsetCard, const HeaderCard& saturationCard) {
    return ColumnsRead(offsetCard, 1, kZeroOffset) ||
           ColumnsRead(saturationCard, 1, kSaturateUnsigned);
}

FitsReadResult ReadRows(const std::vector<uint8_t>& bytes, std::size_t start, int rows, int offset,
                        ImageBuffer& frame) {
    for (int row = 0; row < rows; ++row) {
        const std::size_t at = start + row * kRowBytes;
        if (at + kRowBytes > bytes.size()) {
            return FitsReadResult::EndedEarly;
        }
        for (int column = 0; column < kFrameColumns; ++column) {
            const int word = bytes[at + 2 * column] << 8 | bytes[at + 2 * column + 1];
            PixelAt(frame, column, row) = static_cast<uint16_t>((offset + word) & 0xffff);
        }
    }
    return FitsReadResult::Read;
}

}  // namespace

std::vector<uint8_t> EncodeFitsFile(const ImageBuffer& frame, const FitsDetails& details,
                                    const WorkingState& state, bool eightBit) {
    std::vector<uint8_t> out;
    out.reserve(kHeaderBytes + kFrameRows * kRowBytes + kPadding16);
    Append(out, PlainCard("SIMPLE  =                    T /"));
    Append(out, PlainCard(eightBit ? "BITPIX  =                    8 /"
                                   : "BITPIX  =                   16 /"));
    Append(out, PlainCard("NAXIS   =                    2 /"));
    Append(out, PlainCard("NAXIS1  =                  512 /"));
    Append(out, PlainCard("NAXIS2  =                  290 /"));
    Append(out, TextCard("OBJECT  = '", details.object));
    Append(out, TextCard("TELESCOP= '", details.telescope));
    Append(out, TextCard("INSTRUME= '", details.instrument));
    Append(out, TextCard("OBSERVER= '", details.observer));
    Append(out, TextCard("ORIGIN  = '", details.origin));
    // An empty date is not a date: a blank card keeps its place instead.
    Append(out, details.date.empty() ? PlainCard("") : TextCard("DATE-OBS= '", details.date));
    Append(out, details.time.empty() ? PlainCard("") : TextCard("TIME-OBS= '", details.time));
    for (const std::string& line : state.HistoryLines) {
        Append(out, CommentaryCard("HISTORY = '", line));
    }
    for (const HeaderCard& card : ParagraphCards("HISTORY = '", details.history)) {
        Append(out, card);
    }
    for (const HeaderCard& card : ParagraphCards("COMMENT = '", details.comment)) {
        Append(out, card);
    }
    // 16-bit data hold 0..65535 the standard way, in signed words offset by 32768, whether the
    // unsigned format is chosen or not; 8-bit data are the plain upper bytes.
    Append(out, PlainCard(eightBit ? kZeroOffset : kStandardOffset));
    Append(out, PlainCard("BSCALE  =   +1.0000000000E+00"));
    Append(out, PlainCard(NumberCard("PIXWIDTH=", details.pixelWidth)));
    Append(out, PlainCard(NumberCard("PIXHEIGH=", details.pixelHeight)));
    Append(out, PlainCard(eightBit             ? kSaturate8Bit
                          : state.UnsignedFits ? kSaturateUnsigned
                                               : kSaturateSigned));
    Append(out, PlainCard(NumberCard("EXPTIME =", details.exposureSeconds)));
    Append(out, PlainCard(NumberCard("FOCALLEN=", details.focalLengthInches)));
    Append(out, PlainCard(NumberCard("APERTURE=", details.apertureSquareInches)));
    Append(out, TextCard("FILTER  = '", details.filter));
    Append(out, PlainCard(kRowOrder));
    Append(out, PlainCard("END"));
    while (out.size() < kHeaderBytes) {
        Append(out, PlainCard(""));
    }

    const std::size_t dataBytes = eightBit ? kFramePixels : 2 * kFramePixels;
    out.resize(kHeaderBytes + dataBytes);
    uint8_t* data = out.data() + kHeaderBytes;
    for (int i = 0; i < kFramePixels; ++i) {
        if (eightBit) {
            data[i] = static_cast<uint8_t>(frame[i] >> 8);
        } else {
            const auto word = static_cast<uint16_t>(frame[i] - kSignedOffset);
            data[2 * i] = static_cast<uint8_t>(word >> 8);
            data[2 * i + 1] = static_cast<uint8_t>(word & 0xff);
        }
    }
    out.insert(out.end(), eightBit ? kPadding8 : kPadding16, uint8_t{' '});
    return out;
}

FitsWriteResult WriteFitsFile(const std::filesystem::path& file, const ImageBuffer& frame,
                              const FitsDetails& details, const WorkingState& state,
                              bool eightBit) {
    const std::vector<uint8_t> bytes = EncodeFitsFile(frame, details, state, eightBit);
    AtomicFile out(file);
    return out.Write(bytes.data(), bytes.size()) && out.Commit() ? FitsWriteResult::Written
                                                                 : FitsWriteResult::NotWritten;
}

FitsReadResult DecodeFitsFile(const std::vector<uint8_t>& bytes, int layout, ImageBuffer& frame,
                              WorkingState& state) {
    CardReader in(bytes);
    if (const FitsReadResult shape = CheckShape(in); shape != FitsReadResult::Read) {
        return shape;
    }
    FitsDetails& details = state.Fits;
    HeaderCard card;
    std::string* texts[] = {&details.object,   &details.telescope, &details.instrument,
                            &details.observer, &details.origin,    &details.date,
                            &details.time};
    for (std::string* text : texts) {
        if (!in.Next(card)) {
            return FitsReadResult::EndedEarly;
        }
        *text = CardText(card);
    }
    for (std::string& line : state.HistoryLines) {
        if (!in.Next(card)) {
            return FitsReadResult::EndedEarly;
        }
        line = CommentaryText(card).substr(0, kHistoryLineLength);
    }
    for (std::string* paragraph : {&details.history, &details.comment}) {
        std::array<HeaderCard, kParagraphCards> cards;
        for (HeaderCard& next : cards) {
            if (!in.Next(next)) {
                return FitsReadResult::EndedEarly;
            }
        }
        *paragraph = ParagraphText(cards);
    }
    if (!in.Next(card)) {
        return FitsReadResult::EndedEarly;
    }
    int offset = kSignedOffset;
    if (layout == 3) {
        const HeaderCard offsetCard = card;
        offset = ReadOffset(offsetCard);
        double* numbers[] = {nullptr,
                             &details.pixelWidth,
                             &details.pixelHeight,
                             nullptr,
                             &details.exposureSeconds,
                             &details.focalLengthInches,
                             &details.apertureSquareInches};
        for (std::size_t k = 0; k < std::size(numbers); ++k) {  // cards 37..43
            if (!in.Next(card)) {
                return FitsReadResult::EndedEarly;
            }
            if (numbers[k] != nullptr) {
                ReadNumber(card, *numbers[k]);
            }
            if (k == kSaturationCard) {
                state.UnsignedFits = ReadsUnsigned(offsetCard, card);
            }
        }
        if (!in.Next(card)) {
            return FitsReadResult::EndedEarly;
        }
        details.filter = CardText(card);
        if (!in.Skip(kFitsCards - 44)) {
            return FitsReadResult::EndedEarly;
        }
    } else {
        state.UnsignedFits = false;
    }
    const int rows = layout == 1 ? 256 : kFrameRows;
    const FitsReadResult read = ReadRows(bytes, in.Position(), rows, offset, frame);
    if (read == FitsReadResult::Read && layout == 1) {
        std::fill(frame.begin() + 256 * kFrameColumns, frame.begin() + kFramePixels, uint16_t{0});
    }
    return read;
}

FitsReadResult DecodeFitsOperand(const std::vector<uint8_t>& bytes, ImageBuffer& frame,
                                 WorkingState& state) {
    CardReader in(bytes);
    if (const FitsReadResult shape = CheckShape(in); shape != FitsReadResult::Read) {
        return shape;
    }
    HeaderCard offsetCard;
    if (!in.Skip(30) || !in.Next(offsetCard)) {  // cards 6-35, then 36
        return FitsReadResult::EndedEarly;
    }
    const int offset = ReadOffset(offsetCard);
    HeaderCard card;
    if (!in.Skip(1) || !in.Next(card)) {  // card 37, then 38
        return FitsReadResult::EndedEarly;
    }
    ReadNumber(card, state.Fits.pixelWidth);
    if (!in.Skip(1) || !in.Next(card)) {  // card 39, then 40
        return FitsReadResult::EndedEarly;
    }
    state.UnsignedFits = ReadsUnsigned(offsetCard, card);
    if (!in.Skip(kFitsCards - 40)) {
        return FitsReadResult::EndedEarly;
    }
    return ReadRows(bytes, in.Position(), kFrameRows, offset, frame);
}

}  // namespace talvor
