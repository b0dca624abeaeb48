// The native, FITS and TIFF layouts, byte for byte, and their readers.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image/ascii_text.h"
#include "image/fits_file.h"
#include "image/header_card.h"
#include "image/image_file_kind.h"
#include "image/native_file.h"
#include "image/tiff_file.h"

namespace talvor {
namespace {

// A frame that uses the whole range: pixel (x, y) = (x * 131 + y * 977) mod 65536.
ImageBuffer PatternFrame() {
    ImageBuffer frame{};
    for (int y = 0; y < kFrameRows; ++y) {
        for (int x = 0; x < kFrameColumns; ++x) {
            PixelAt(frame, x, y) = static_cast<uint16_t>((x * 131 + y * 977) % 65536);
        }
    }
    PixelAt(frame, 0, 0) = 0;
    PixelAt(frame, 1, 0) = 65535;
    PixelAt(frame, 2, 0) = 32768;
    return frame;
}

std::string Card(const std::vector<uint8_t>& bytes, int number) {
    const auto* at = reinterpret_cast<const char*>(&bytes[(number - 1) * 80]);
    return std::string(at, 80);
}

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

TEST(ImageFileKindTest, OnlyTheExactSizesAreAccepted) {
    EXPECT_EQ(KindBySize(295800), ImageFileKind::Native290);
    EXPECT_EQ(KindBySize(261120), ImageFileKind::Native256);
    EXPECT_EQ(KindBySize(267840), ImageFileKind::FitsLayout1);
    EXPECT_EQ(KindBySize(300160), ImageFileKind::FitsLayout2);
    EXPECT_EQ(KindBySize(303040), ImageFileKind::FitsLayout3);
    for (const std::uintmax_t size : {295799u, 295801u, 261121u, 303039u, 303041u, 155840u, 0u}) {
        EXPECT_EQ(KindBySize(size), ImageFileKind::Unknown) << size;
    }
}

TEST(NativeFileTest, RoundTripKeepsColumns0To509AndLeavesTheLastTwoAlone) {
    const ImageBuffer frame = PatternFrame();
    const std::vector<uint8_t> bytes = EncodeNativeFile(frame);
    ASSERT_EQ(bytes.size(), 295800u);
    EXPECT_EQ(bytes[2], 0xff);  // pixel 1 = 65535, least significant byte first
    EXPECT_EQ(bytes[4], 0x00);  // pixel 2 = 32768
    EXPECT_EQ(bytes[5], 0x80);
    ImageBuffer loaded;
    loaded.fill(7);
    DecodeNativeFile(bytes, false, loaded);
    for (int y = 0; y < kFrameRows; ++y) {
        for (int x = 0; x < kCameraColumns; ++x) {
            ASSERT_EQ(PixelAt(loaded, x, y), PixelAt(frame, x, y)) << x << "," << y;
        }
        EXPECT_EQ(PixelAt(loaded, 510, y), 7);
        EXPECT_EQ(PixelAt(loaded, 511, y), 7);
    }
}

TEST(NativeFileTest, ShortVariantClearsRows256To289IncludingTheLastColumns) {
    std::vector<uint8_t> bytes = EncodeNativeFile(PatternFrame());
    bytes.resize(261120);
    ImageBuffer loaded;
    loaded.fill(7);
    DecodeNativeFile(bytes, true, loaded);
    EXPECT_EQ(PixelAt(loaded, 100, 255), PixelAt(PatternFrame(), 100, 255));
    EXPECT_EQ(PixelAt(loaded, 511, 255), 7);
    for (int x = 0; x < kFrameColumns; ++x) {
        ASSERT_EQ(PixelAt(loaded, x, 256), 0);
        ASSERT_EQ(PixelAt(loaded, x, 289), 0);
    }
    EXPECT_EQ(loaded[kFramePixels], 7);
}

TEST(NativeFileTest, RowsThatAreNotDeliveredKeepTheirContent) {
    std::vector<uint8_t> bytes = EncodeNativeFile(PatternFrame());
    bytes.resize(1020 * 3 + 500);
    ImageBuffer loaded;
    loaded.fill(7);
    ReadNativeRows(bytes, kFrameRows, loaded);
    EXPECT_EQ(PixelAt(loaded, 5, 2), PixelAt(PatternFrame(), 5, 2));
    EXPECT_EQ(PixelAt(loaded, 5, 3), 7);
}

class FitsFileTest : public ::testing::Test {
  protected:
    FitsFileTest() : frame(PatternFrame()) {
        state.Fits.object = "M42";
        state.Fits.observer = "Ann";
        state.Fits.date = "2026-12-07";
        state.Fits.time = "21:30:00";
        state.Fits.history = "ten chars!";
        state.Fits.exposureSeconds = 12.5;
        state.HistoryLines[0] = "Log Stretch";
        state.HistoryLines[1] = std::string(39, 'x');
    }
    ImageBuffer frame;
    WorkingState state;
};

TEST_F(FitsFileTest, HeaderCardsStandInTheirPlaces) {
    const auto bytes = EncodeFitsFile(frame, state.Fits, state, false);
    ASSERT_EQ(bytes.size(), 303040u);
    EXPECT_EQ(Trimmed(Card(bytes, 1)), "SIMPLE  =                    T /");
    EXPECT_EQ(Trimmed(Card(bytes, 2)), "BITPIX  =                   16 /");
    EXPECT_EQ(Trimmed(Card(bytes, 5)), "NAXIS2  =                  290 /");
    EXPECT_EQ(Trimmed(Card(bytes, 6)), "OBJECT  = 'M42'");
    EXPECT_EQ(Trimmed(Card(bytes, 8)), "INSTRUME= 'Veltrane CCD'");
    EXPECT_EQ(Trimmed(Card(bytes, 13)), "HISTORY = 'Log Stretch'");
    EXPECT_EQ(Trimmed(Card(bytes, 14)).size(), 51u);  // a 39-character slot
    EXPECT_EQ(Trimmed(Card(bytes, 15)), "HISTORY = ''");
    EXPECT_EQ(Card(bytes, 28).substr(0, 21), "HISTORY = 'ten chars!");
    EXPECT_EQ(Card(bytes, 28)[79], '\'');
    EXPECT_EQ(Card(bytes, 31)[79], '\'');
    EXPECT_EQ(Card(bytes, 32)[79], '\'');
    EXPECT_EQ(Trimmed(Card(bytes, 36)), "BZERO   =   +3.2768000000E+04");
    EXPECT_EQ(Trimmed(Card(bytes, 37)), "BSCALE  =   +1.0000000000E+00");
    EXPECT_EQ(Trimmed(Card(bytes, 38)), "PIXWIDTH=    9.8000000000E-03");
    EXPECT_EQ(Trimmed(Card(bytes, 39)), "PIXHEIGH=    1.2600000000E-02");
    EXPECT_EQ(Trimmed(Card(bytes, 40)), "SATURATE=                32768");
    EXPECT_EQ(Trimmed(Card(bytes, 41)), "EXPTIME =    1.2500000000E+01");
    EXPECT_EQ(Trimmed(Card(bytes, 44)), "FILTER  = 'None'");
    EXPECT_EQ(Card(bytes, 45).substr(0, 20), "ROWORDER= 'TOP-DOWN'");
    EXPECT_EQ(Trimmed(Card(bytes, 46)), "END");
    EXPECT_EQ(Card(bytes, 72), std::string(80, ' '));
    // Data: pixel minus 32768, most significant byte first, then 320 spaces.
    EXPECT_EQ(bytes[5760], 0x80);  // 0 - 32768
    EXPECT_EQ(bytes[5761], 0x00);
    EXPECT_EQ(bytes[5762], 0x7f);  // 65535 - 32768
    EXPECT_EQ(bytes[5763], 0xff);
    EXPECT_EQ(bytes[5764], 0x00);  // 32768 - 32768
    EXPECT_EQ(bytes[303040 - 320], ' ');
    EXPECT_EQ(bytes.back(), ' ');
}

TEST_F(FitsFileTest, UnsignedDataAreStandardAndEightBitSaturatesAt255) {
    // Unsigned data are written as the FITS standard has it: words offset by 32768 with BZERO
    // 32768, so every reader sees 0..65535; the saturation level tells the format.
    state.UnsignedFits = true;
    auto bytes = EncodeFitsFile(frame, state.Fits, state, false);
    ASSERT_EQ(bytes.size(), 303040u);
    EXPECT_EQ(Trimmed(Card(bytes, 36)), "BZERO   =   +3.2768000000E+04");
    EXPECT_EQ(Trimmed(Card(bytes, 40)), "SATURATE=                65535");
    EXPECT_EQ(bytes[5762], 0x7f);  // 65535 - 32768
    EXPECT_EQ(bytes[5763], 0xff);
    state.UnsignedFits = false;
    for (const bool unsignedData : {false, true}) {
        state.UnsignedFits = unsignedData;
        bytes = EncodeFitsFile(frame, state.Fits, state, true);
        ASSERT_EQ(bytes.size(), 155840u);
        EXPECT_EQ(Trimmed(Card(bytes, 40)), "SATURATE=                  255");
    }
    EXPECT_EQ(Trimmed(Card(bytes, 2)), "BITPIX  =                    8 /");
    // 8-bit data are the upper bytes and say so with a zero offset.
    EXPECT_EQ(Trimmed(Card(bytes, 36)), "BZERO   =   +0.0000000000E+00");
    EXPECT_EQ(bytes[5761], 0xff);
    EXPECT_EQ(bytes[5762], 0x80);
    EXPECT_EQ(KindBySize(bytes.size()), ImageFileKind::Unknown);
}

TEST_F(FitsFileTest, SignedAndUnsignedRoundTripsGiveEveryPixelBack) {
    for (const bool unsignedData : {false, true}) {
        state.UnsignedFits = unsignedData;
        const auto bytes = EncodeFitsFile(frame, state.Fits, state, false);
        WorkingState loaded;
        loaded.UnsignedFits = !unsignedData;
        ImageBuffer back{};
        ASSERT_EQ(DecodeFitsFile(bytes, 3, back, loaded), FitsReadResult::Read);
        EXPECT_EQ(loaded.UnsignedFits, unsignedData);
        EXPECT_TRUE(std::equal(back.begin(), back.begin() + kFramePixels, frame.begin()));
        EXPECT_EQ(loaded.Fits.object, "M42");
        EXPECT_EQ(loaded.Fits.observer, "Ann");
        EXPECT_EQ(loaded.Fits.time, "21:30:00");
        EXPECT_EQ(loaded.Fits.exposureSeconds, 12.5);
        EXPECT_EQ(loaded.Fits.pixelHeight, 0.0126);
        EXPECT_EQ(loaded.Fits.history, "ten chars!");
        EXPECT_EQ(loaded.HistoryLines[0], "Log Stretch");
        EXPECT_EQ(loaded.HistoryLines[1], std::string(39, 'x'));
        EXPECT_EQ(loaded.HistoryLines[2], "");
    }
}

TEST_F(FitsFileTest, TextsWithQuotesAndAccentsComeBackAsAsciiAndAnEmptyDateIsNoCard) {
    state.Fits.object = "Barnard's Star";
    state.Fits.observer = "Renée";
    state.Fits.date.clear();
    state.Fits.time.clear();
    state.HistoryLines[2] = "Kemble's Cascade";
    state.Fits.comment = "seeing 3/5, Kemble's";
    const auto bytes = EncodeFitsFile(frame, state.Fits, state, false);
    EXPECT_EQ(Trimmed(Card(bytes, 6)), "OBJECT  = 'Barnard''s Star'");
    EXPECT_EQ(Trimmed(Card(bytes, 9)), "OBSERVER= 'Renee'");
    EXPECT_EQ(Card(bytes, 11), std::string(80, ' '));
    EXPECT_EQ(Card(bytes, 12), std::string(80, ' '));
    for (std::size_t at = 0; at < 5760; ++at) {
        ASSERT_TRUE(bytes[at] >= 0x20 && bytes[at] <= 0x7e) << at;  // printable ASCII only
    }
    WorkingState loaded;
    loaded.Fits.date = "old";
    ImageBuffer back{};
    ASSERT_EQ(DecodeFitsFile(bytes, 3, back, loaded), FitsReadResult::Read);
    EXPECT_EQ(loaded.Fits.object, "Barnard's Star");
    EXPECT_EQ(loaded.Fits.observer, "Renee");
    EXPECT_EQ(loaded.Fits.date, "");
    EXPECT_EQ(loaded.HistoryLines[2], "Kemble's Cascade");
    EXPECT_EQ(loaded.Fits.comment, "seeing 3/5, Kemble's");
}

TEST_F(FitsFileTest, FilesOfTheOlderUnsignedFormatStillRead) {
    // Before, unsigned data were the plain words with BZERO 0 in a signed container.
    auto bytes = EncodeFitsFile(frame, state.Fits, state, false);
    std::memcpy(&bytes[35 * 80], "BZERO   =   +0.0000000000E+00", 29);
    std::memcpy(&bytes[39 * 80], "SATURATE=                65535", 30);
    for (int i = 0; i < kFramePixels; ++i) {
        bytes[5760 + 2 * i] = static_cast<uint8_t>(frame[i] >> 8);
        bytes[5760 + 2 * i + 1] = static_cast<uint8_t>(frame[i] & 0xff);
    }
    for (const bool operand : {false, true}) {
        WorkingState loaded;
        ImageBuffer back{};
        ASSERT_EQ(operand ? DecodeFitsOperand(bytes, back, loaded)
                          : DecodeFitsFile(bytes, 3, back, loaded),
                  FitsReadResult::Read);
        EXPECT_TRUE(loaded.UnsignedFits);
        EXPECT_TRUE(std::equal(back.begin(), back.begin() + kFramePixels, frame.begin()));
    }
}

TEST_F(FitsFileTest, OlderLayoutsReadTheirRows) {
    const auto written = EncodeFitsFile(frame, state.Fits, state, false);
    // Layout 2: the first 35 cards, one more card, 290 rows, a padding.
    std::vector<uint8_t> layout2(300160, ' ');
    std::copy_n(written.begin(), 36 * 80, layout2.begin());
    std::copy_n(written.begin() + 5760, 296960, layout2.begin() + 36 * 80);
    WorkingState loaded;
    loaded.UnsignedFits = true;
    ImageBuffer back{};
    ASSERT_EQ(DecodeFitsFile(layout2, 2, back, loaded), FitsReadResult::Read);
    EXPECT_FALSE(loaded.UnsignedFits);
    EXPECT_TRUE(std::equal(back.begin(), back.begin() + kFramePixels, frame.begin()));
    EXPECT_EQ(loaded.Fits.pixelWidth, kCameraPixelWidth);  // not read from older layouts

    std::vector<uint8_t> layout1(layout2.begin(), layout2.begin() + 2880 + 256 * 1024);
    layout1.resize(267840, ' ');
    back.fill(9);
    ASSERT_EQ(DecodeFitsFile(layout1, 1, back, loaded), FitsReadResult::Read);
    EXPECT_EQ(PixelAt(back, 300, 255), PixelAt(frame, 300, 255));
    EXPECT_EQ(PixelAt(back, 300, 256), 0);
    EXPECT_EQ(PixelAt(back, 511, 289), 0);
}

TEST_F(FitsFileTest, ForeignHeadersAndShortFilesAreRefused) {
    auto bytes = EncodeFitsFile(frame, state.Fits, state, false);
    auto shifted = bytes;
    std::memcpy(&shifted[80], "BITPIX  =                  16  /", 32);  // "16" one column left
    WorkingState loaded;
    ImageBuffer back{};
    EXPECT_EQ(DecodeFitsFile(shifted, 3, back, loaded), FitsReadResult::NotOurs);
    EXPECT_EQ(DecodeFitsOperand(shifted, back, loaded), FitsReadResult::NotOurs);
    auto wide = bytes;
    wide[3 * 80 + 29] = '3';  // NAXIS1 = 513
    EXPECT_EQ(DecodeFitsFile(wide, 3, back, loaded), FitsReadResult::NotOurs);

    bytes.resize(6000);
    back.fill(9);
    EXPECT_EQ(DecodeFitsFile(bytes, 3, back, loaded), FitsReadResult::EndedEarly);
    EXPECT_EQ(loaded.Fits.object, "M42");  // read before the failure
    EXPECT_EQ(back[0], 9);                 // no half row taken
    bytes.resize(100);
    EXPECT_EQ(DecodeFitsOperand(bytes, back, loaded), FitsReadResult::EndedEarly);
}

TEST_F(FitsFileTest, OperandTakesOnlyTheUnsignedChoiceAndPixelWidth) {
    state.UnsignedFits = true;
    state.Fits.pixelWidth = 0.02;
    const auto bytes = EncodeFitsFile(frame, state.Fits, state, false);
    WorkingState operand;
    operand.Fits.object = "kept";
    ImageBuffer back{};
    ASSERT_EQ(DecodeFitsOperand(bytes, back, operand), FitsReadResult::Read);
    EXPECT_TRUE(operand.UnsignedFits);
    EXPECT_EQ(operand.Fits.pixelWidth, 0.02);
    EXPECT_EQ(operand.Fits.object, "kept");
    EXPECT_EQ(operand.HistoryLines[0], "");
    EXPECT_TRUE(std::equal(back.begin(), back.begin() + kFramePixels, frame.begin()));
}

TEST_F(FitsFileTest, NumbersThatAreNotNumbersKeepTheOldValue) {
    auto bytes = EncodeFitsFile(frame, state.Fits, state, false);
    std::memcpy(&bytes[40 * 80 + 13], "not a number    ", 16);  // card 41, EXPTIME
    WorkingState loaded;
    loaded.Fits.exposureSeconds = 3.0;
    ImageBuffer back{};
    ASSERT_EQ(DecodeFitsFile(bytes, 3, back, loaded), FitsReadResult::Read);
    EXPECT_EQ(loaded.Fits.exposureSeconds, 3.0);
}

TEST(HeaderCardTest, LongTextsAreCutBeforeTheClosingQuoteInColumn80) {
    const HeaderCard card = TextCard("OBJECT  = '", std::string(100, 'o'));
    EXPECT_EQ(card[78], 'o');
    EXPECT_EQ(card[79], '\'');
    EXPECT_EQ(CardText(card), std::string(68, 'o'));
    // A doubled quote is never split: it goes whole or not at all.
    const HeaderCard quoted = TextCard("OBJECT  = '", std::string(67, 'o') + "'s");
    EXPECT_EQ(std::string(quoted.data(), 80), "OBJECT  = '" + std::string(67, 'o') + "' ");
    EXPECT_EQ(CardText(quoted), std::string(67, 'o'));
}

TEST(HeaderCardTest, QuotesAreDoubledAndReadBackAsOne) {
    const HeaderCard card = TextCard("OBJECT  = '", "Barnard's Star");
    EXPECT_EQ(Trimmed(std::string(card.data(), 80)), "OBJECT  = 'Barnard''s Star'");
    EXPECT_EQ(CardText(card), "Barnard's Star");
    // Files of older versions wrote the quote undoubled; the text still reads whole.
    EXPECT_EQ(CardText(PlainCard("OBJECT  = 'Kemble's Cascade'")), "Kemble's Cascade");
    // Blanks before the closing quote are not part of a FITS string; a card without the opening
    // quote (where no date was known) is empty.
    EXPECT_EQ(CardText(PlainCard("FILTER  = 'Red   '")), "Red");
    EXPECT_EQ(CardText(PlainCard("")), "");
    // Commentary keeps its quotes as typed.
    const HeaderCard history = CommentaryCard("HISTORY = '", "Kemble's Cascade");
    EXPECT_EQ(Trimmed(std::string(history.data(), 80)), "HISTORY = 'Kemble's Cascade'");
    EXPECT_EQ(CommentaryText(history), "Kemble's Cascade");
}

TEST(HeaderCardTest, ParagraphsLoseOnlyTheBlanksThatFillTheirCards) {
    const std::string text = std::string(67, 'a') + " b' c" + std::string(100, 'd');
    EXPECT_EQ(ParagraphText(ParagraphCards("HISTORY = '", text)), text);
    EXPECT_EQ(ParagraphText(ParagraphCards("HISTORY = '", "ten chars!  ")), "ten chars!");
    EXPECT_EQ(ParagraphText(ParagraphCards("HISTORY = '", "")), "");
}

TEST(AsciiTextTest, LettersTakeTheirNearestAsciiSpelling) {
    EXPECT_EQ(AsciiText("Renée Østergaard"), "Renee Ostergaard");
    EXPECT_EQ(AsciiText("Straße Łódź Œuvre"), "Strasse Lodz OEuvre");
    EXPECT_EQ(AsciiText("M’s “deep” sky — 20°"), "M's \"deep\" sky - 20deg");
    EXPECT_EQ(AsciiText("e\xcc\x81"), "e");   // a combining accent after its letter
    EXPECT_EQ(AsciiText("Caf\xe9"), "Cafe");  // Latin-1 from an older settings file
    EXPECT_EQ(AsciiText("\xe6\x98\x9f tab\there"), "? tab here");  // no Latin letter
    EXPECT_EQ(AsciiText("\xf0\x9f\x94\xad"), "?");
}

TEST(TiffFileTest, LayoutIsFixedByteForByte) {
    const auto bytes = EncodeTiffFile(PatternFrame());
    ASSERT_EQ(bytes.size(), kTiffFileSize);
    const auto u16 = [&](std::size_t at) { return bytes[at] | bytes[at + 1] << 8; };
    const auto u32 = [&](std::size_t at) {
        return static_cast<uint32_t>(u16(at) | u16(at + 2) << 16);
    };
    EXPECT_EQ(bytes[0], 'I');
    EXPECT_EQ(u16(2), 42);
    EXPECT_EQ(u32(4), 8u);
    EXPECT_EQ(u16(8), 13);
    const int tags[] = {254, 256, 257, 258, 259, 262, 273, 277, 278, 279, 282, 283, 296};
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(u16(10 + 12 * i), tags[i]);
    }
    EXPECT_EQ(u16(10 + 12 * 1 + 8), 510);   // width
    EXPECT_EQ(u32(10 + 12 * 6 + 8), 186u);  // strip offsets
    EXPECT_EQ(u32(10 + 12 * 9 + 4), 12u);   // 12 strip byte counts
    EXPECT_EQ(u32(166), 0u);
    EXPECT_EQ(u32(170), 510u);
    EXPECT_EQ(u32(174), 6u);
    EXPECT_EQ(u32(178), 256u);
    EXPECT_EQ(u32(182), 4u);
    EXPECT_EQ(u32(186), 258u);
    EXPECT_EQ(u32(186 + 4 * 11), 258u + 11 * 15810u);
    EXPECT_EQ(u16(234), 15810);
    EXPECT_EQ(u16(256), 15810);
}

TEST(TiffFileTest, RowsStretchTheFrameWithTheEndsKept) {
    ImageBuffer frame = PatternFrame();
    PixelAt(frame, 0, 0) = 65280;
    PixelAt(frame, 1, 0) = 65279;
    PixelAt(frame, 510, 0) = 65535;
    const auto bytes = EncodeTiffFile(frame);
    EXPECT_EQ(bytes[258], 255);
    EXPECT_EQ(bytes[259], 254);
    for (int j = 2; j < 510; ++j) {
        ASSERT_EQ(bytes[258 + j], PixelAt(frame, j, 0) >> 8);
        ASSERT_EQ(bytes[258 + 371 * 510 + j], PixelAt(frame, j, 289) >> 8);
    }
}

}  // namespace
}  // namespace talvor
