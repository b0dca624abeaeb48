#include "display/display_bitmap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "support/session_fixture.h"

namespace talvor {
namespace {

using testing::TemporaryDirectory;

std::vector<uint8_t> ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t LittleEndianAt(const std::vector<uint8_t>& bytes, std::size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

class DisplayBytesTest : public ::testing::Test {
  protected:
    DisplayBytesTest() : store(CreateImageStore()) {}
    ImageStoreOwner store;
};

TEST_F(DisplayBytesTest, PlainPictureKeepsHighBytesAndBlanksTheLastTwoColumns) {
    ImageBuffer& frame = store->CurrentImage;
    PixelAt(frame, 0, 0) = 65535;
    PixelAt(frame, 1, 0) = 255;
    PixelAt(frame, 2, 0) = 256;
    PixelAt(frame, 510, 7) = 65535;
    PixelAt(frame, 511, 7) = 65535;
    BuildDisplayBytes(frame, store->DisplayBytes, false, false);
    EXPECT_EQ(store->DisplayBytes[0], 255);
    EXPECT_EQ(store->DisplayBytes[1], 0);
    EXPECT_EQ(store->DisplayBytes[2], 1);
    EXPECT_EQ(store->DisplayBytes[7 * 512 + 510], 0);
    EXPECT_EQ(store->DisplayBytes[7 * 512 + 511], 0);
    EXPECT_EQ(store->DisplayBytes[289 * 512 + 100], 65025 >> 8);
}

TEST_F(DisplayBytesTest, SmallFrameCopiesOnlyTheFirst16384Pixels) {
    store->DisplayBytes.fill(7);
    store->CurrentImage.fill(0x1200);
    BuildDisplayBytes(store->CurrentImage, store->DisplayBytes, true, true);
    EXPECT_EQ(store->DisplayBytes[0], 0x12);
    EXPECT_EQ(store->DisplayBytes[16383], 0x12);
    EXPECT_EQ(store->DisplayBytes[16384], 7);
}

TEST_F(DisplayBytesTest, ZenkaGeometryStretchesTo373RowsWithEndRowsKept) {
    BuildDisplayBytes(store->CurrentImage, store->DisplayBytes, false, true);
    const auto& bytes = store->DisplayBytes;
    EXPECT_EQ(bytes[0], 0);
    // Row 372 interpolates nothing: s = 289.22, both source rows 289.
    EXPECT_EQ(bytes[372 * 512 + 5], 65025 >> 8);
    EXPECT_EQ(bytes[372 * 512 + 510], 0);
    // Rows grow monotonically down the ramp.
    for (int row = 1; row < 373; ++row) {
        EXPECT_GE(bytes[row * 512 + 40], bytes[(row - 1) * 512 + 40]) << row;
    }
}

TEST_F(DisplayBytesTest, ZenkaInterpolationRunsInSinglePrecision) {
    // Output row 152 lies at s = 118.177 between frame rows 118 and 119. With a = 2 and b = 245
    // the single-precision value is 45.0004 and gives 45; a double-precision product gives
    // 44.9995 and so 44, as does forming the quotient itself in single precision.
    ImageBuffer& frame = store->CurrentImage;
    PixelAt(frame, 0, 118) = 2 << 8;
    PixelAt(frame, 0, 119) = 245 << 8;
    PixelAt(frame, 1, 118) = 243 << 8;
    PixelAt(frame, 1, 119) = 0;
    BuildDisplayBytes(frame, store->DisplayBytes, false, true);
    EXPECT_EQ(store->DisplayBytes[152 * 512 + 0], 45);
    EXPECT_EQ(store->DisplayBytes[152 * 512 + 1], 199);
}

TEST(ColourTableTest, PlainPaletteIsTheGreyRamp) {
    const ColourTable colours = BuildColourTable({});
    for (int k = 0; k < 256; ++k) {
        const auto level = static_cast<uint8_t>(k);
        EXPECT_EQ(colours[k], (BitmapColour{level, level, level}));
    }
}

TEST(ColourTableTest, MaxStretchMultipliesByTheStretchBits) {
    PaletteOptions options;
    options.maxStretchAll = true;
    options.stretchBits = 14;
    ColourTable colours = BuildColourTable(options);
    EXPECT_EQ(colours[63], (BitmapColour{252, 252, 252}));
    EXPECT_EQ(colours[64], (BitmapColour{255, 255, 255}));
    options.stretchBits = 12;
    colours = BuildColourTable(options);
    EXPECT_EQ(colours[15].red, 240);
    EXPECT_EQ(colours[16].red, 255);
    options.stretchBits = 16;
    colours = BuildColourTable(options);
    EXPECT_EQ(colours[200].red, 200);
}

TEST(ColourTableTest, AutoContrastBlackensTheBackgroundAndReachesWhite) {
    PaletteOptions options;
    options.autoContrast = true;
    options.backgroundLevel = 10;
    ColourTable colours = BuildColourTable(options);
    for (int k = 0; k <= 10; ++k) {
        EXPECT_EQ(colours[k], (BitmapColour{0, 0, 0})) << k;
    }
    EXPECT_EQ(colours[11], (BitmapColour{48, 48, 48}));
    options.backgroundLevel = 0;
    colours = BuildColourTable(options);
    EXPECT_EQ(colours[255], (BitmapColour{255, 255, 255}));
    EXPECT_EQ(colours[254].red, 254);
}

TEST(ColourTableTest, FalseColourFollowsItsFormulaAndTurnsGreyAtTheTop) {
    PaletteOptions options;
    options.falseColour = true;
    const ColourTable colours = BuildColourTable(options);
    EXPECT_EQ(colours[0], (BitmapColour{0, 0, 1}));
    EXPECT_EQ(colours[128], (BitmapColour{128, 64, 64}));
    EXPECT_EQ(colours[240], (BitmapColour{240, 225, 15}));
    EXPECT_EQ(colours[241], (BitmapColour{241, 241, 241}));
}

TEST(ColourTableTest, FalseColourUsesTheStretchOnlyWithAutoContrast) {
    PaletteOptions options;
    options.falseColour = true;
    options.maxStretchAll = true;
    options.stretchBits = 12;
    // Without automatic contrast the false colours ignore the maximum stretch.
    EXPECT_EQ(BuildColourTable(options)[128], (BitmapColour{128, 64, 64}));
    // With it, the maximum stretch table (which wins over the contrast table) is used.
    options.autoContrast = true;
    options.backgroundLevel = 100;
    EXPECT_EQ(BuildColourTable(options)[8], (BitmapColour{128, 64, 64}));
    options.maxStretchAll = false;
    EXPECT_EQ(BuildColourTable(options)[100], (BitmapColour{0, 0, 1}));
    // Grey with both stretches: the maximum stretch decides.
    options.falseColour = false;
    options.maxStretchAll = true;
    EXPECT_EQ(BuildColourTable(options)[8], (BitmapColour{128, 128, 128}));
}

TEST(BitmapHeaderTest, FieldsAndColourTableAreLittleEndianBlueGreenRed) {
    ColourTable colours{};
    colours[1] = {10, 20, 30};
    const auto header = BuildBitmapHeader(512, 373, colours);
    const std::vector<uint8_t> bytes(header.begin(), header.end());
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(LittleEndianAt(bytes, 2, 4), 1078u + 512 * 373);
    EXPECT_EQ(LittleEndianAt(bytes, 6, 4), 0u);
    EXPECT_EQ(LittleEndianAt(bytes, 10, 4), 1078u);
    EXPECT_EQ(LittleEndianAt(bytes, 14, 4), 40u);
    EXPECT_EQ(LittleEndianAt(bytes, 18, 4), 512u);
    EXPECT_EQ(LittleEndianAt(bytes, 22, 4), 373u);
    EXPECT_EQ(LittleEndianAt(bytes, 26, 2), 1u);
    EXPECT_EQ(LittleEndianAt(bytes, 28, 2), 8u);
    for (std::size_t at = 30; at < 54; ++at) {
        EXPECT_EQ(bytes[at], 0) << at;
    }
    EXPECT_EQ(bytes[58], 30);
    EXPECT_EQ(bytes[59], 20);
    EXPECT_EQ(bytes[60], 10);
    EXPECT_EQ(bytes[61], 0);
}

TEST_F(DisplayBytesTest, BitmapFilesHaveTheirSizesAndStoreTheBottomRowFirst) {
    TemporaryDirectory folder;
    const ColourTable grey = BuildColourTable({});
    const auto file = folder.Path() / "talvor.bmp";

    BuildDisplayBytes(store->CurrentImage, store->DisplayBytes, false, false);
    ASSERT_EQ(WriteDisplayBitmap(store->DisplayBytes, store->BitmapRows, false, false, grey, file),
              BitmapWriteResult::Written);
    auto bytes = ReadAll(file);
    ASSERT_EQ(bytes.size(), 1078u + 148480u);
    EXPECT_EQ(bytes[1078], 65025 >> 8);     // first stored row is frame row 289
    EXPECT_EQ(bytes[1078 + 289 * 512], 0);  // last stored row is frame row 0
    EXPECT_EQ(bytes[1078 + 511], 0);        // blanked column

    BuildDisplayBytes(store->CurrentImage, store->DisplayBytes, false, true);
    ASSERT_EQ(WriteDisplayBitmap(store->DisplayBytes, store->BitmapRows, false, true, grey, file),
              BitmapWriteResult::Written);
    EXPECT_EQ(ReadAll(file).size(), 1078u + 190976u);

    BuildDisplayBytes(store->CurrentImage, store->DisplayBytes, true, false);
    ASSERT_EQ(WriteDisplayBitmap(store->DisplayBytes, store->BitmapRows, true, false, grey, file),
              BitmapWriteResult::Written);
    bytes = ReadAll(file);
    ASSERT_EQ(bytes.size(), 1078u + 16384u);
    EXPECT_EQ(LittleEndianAt(bytes, 18, 4), 128u);
    EXPECT_EQ(LittleEndianAt(bytes, 22, 4), 128u);
}

TEST_F(DisplayBytesTest, FailedWriteLeavesTheOldFileWhole) {
    TemporaryDirectory folder;
    const auto file = folder.Path() / "missing-folder" / "talvor.bmp";
    EXPECT_EQ(WriteDisplayBitmap(store->DisplayBytes, store->BitmapRows, false, false,
                                 BuildColourTable({}), file),
              BitmapWriteResult::HeaderNotWritten);
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace talvor
