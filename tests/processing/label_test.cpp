// The label line, its drawing in the 8 x 10 font and the label mark.

#include "processing/label_drawing.h"

#include <gtest/gtest.h>

#include "core/label_band.h"
#include "processing/label_font.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

class LabelTest : public testing::SessionTest {
  protected:
    LabelTest() { std::fill_n(images->CurrentImage.begin(), kFramePixels, uint16_t{4321}); }
    // The glyph row drawn at a character position, read back from the frame.
    uint8_t DrawnRow(int position, int row) const {
        uint8_t bits = 0;
        for (int k = 0; k < kGlyphWidth; ++k) {
            const uint16_t word = PixelAt(images->CurrentImage, kGlyphWidth * position + k, row);
            EXPECT_TRUE(word == 0 || word == 65535);
            bits = static_cast<uint8_t>(bits << 1 | (word == 65535));
        }
        return bits;
    }
};

TEST_F(LabelTest, M42IsCentredAtColumn240AndMarksTheFrame) {
    LabelImage(session, "M42", false, false);
    // p = (64 - 3) / 2 = 30: the text occupies columns 240..263.
    EXPECT_EQ(DrawnRow(30, 1), 0x63);  // M
    EXPECT_EQ(DrawnRow(30, 4), 0x6B);
    EXPECT_EQ(DrawnRow(31, 4), 0x6C);  // 4
    EXPECT_EQ(DrawnRow(32, 8), 0x7E);  // 2
    EXPECT_EQ(DrawnRow(33, 2), 0x00);
    EXPECT_EQ(PixelAt(images->CurrentImage, 239, 4), 0);
    for (int w = 0; w < 6; ++w) {
        EXPECT_EQ(images->CurrentImage[w], 17);
    }
    EXPECT_TRUE(HasLabelBand(images->CurrentImage));
    EXPECT_EQ(PixelAt(images->CurrentImage, 240, 10), 4321);  // the picture below is untouched
    EXPECT_FALSE(ui.loadedBitmaps.empty());
}

TEST_F(LabelTest, ClockDateIsCentredAsIfTwentyFourCharactersLong) {
    clock.SetCalendar({2026, 3, 2, 5, 7, 9});
    EXPECT_EQ(ClockDateText(clock.LocalTime()), "  05:07:09 UT 02-03-2026 ");
    const std::string text(30, 'A');
    const std::string line = LabelLine(text, true, ClockDateText(clock.LocalTime()));
    EXPECT_EQ(line, std::string(5, ' ') + text + "  05:07:09 UT 02-03-2026 ");
    EXPECT_EQ(line.size(), 60u);
    LabelImage(session, text, true, false);
    EXPECT_EQ(DrawnRow(5, 1), 0x3C);   // the first A
    EXPECT_EQ(DrawnRow(37, 3), 0x6E);  // the 0 of 05
    EXPECT_EQ(DrawnRow(39, 3), 0x38);  // the colon
}

TEST_F(LabelTest, FitsDateReplacesTheClock) {
    session.state.Fits.date = "2026-12-07";
    session.state.Fits.time = "21:30:00";
    EXPECT_EQ(FitsDateText(session.state.Fits), " 21:30:00 UT 2026-12-07");
    EXPECT_EQ(LabelLine("M1", true, FitsDateText(session.state.Fits)),
              std::string(19, ' ') + "M1 21:30:00 UT 2026-12-07");
    EXPECT_EQ(LabelLine("M1", false, "ignored"), std::string(31, ' ') + "M1");
}

TEST_F(LabelTest, MissingGlyphsLeaveBlackGapsAndLongLinesStayInTheBand) {
    EXPECT_EQ(GlyphFor('.'), nullptr);
    EXPECT_EQ(GlyphFor('_'), nullptr);
    int glyphs = 0;
    for (int c = 0; c < 256; ++c) {
        glyphs += GlyphFor(static_cast<char>(c)) != nullptr;
    }
    EXPECT_EQ(glyphs, kGlyphCount);
    // The descenders of g, j, p, q and y reach row 9.
    EXPECT_EQ((*GlyphFor('g'))[9], 0x3C);
    EXPECT_EQ((*GlyphFor('q'))[9], 0x07);
    EXPECT_EQ((*GlyphFor('j'))[9], 0x70);
    LabelImage(session, "a.b", false, false);
    EXPECT_EQ(DrawnRow(31, 3), 0x00);
    EXPECT_EQ(DrawnRow(32, 1), 0x60);  // b
    const std::string longText(70, 'W');
    EXPECT_EQ(LabelLine(longText, true, "  01:02:03 UT 04-05-2026 "), std::string(64, 'W'));
    session.state.Fits.time = std::string(60, '1');
    session.state.Fits.date = "2026-12-07";
    LabelImage(session, std::string(30, 'Q'), true, true);
    EXPECT_EQ(DrawnRow(63, 2), 0x38);  // the last of the band: a 1 of the long time
    for (int x = 0; x < kFrameColumns; ++x) {
        ASSERT_EQ(PixelAt(images->CurrentImage, x, 10), 4321) << x;
    }
}

}  // namespace
}  // namespace talvor
