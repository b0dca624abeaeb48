// Opening standard FITS files that other programs wrote: made here with CFITSIO itself, in the
// forms those programs use (BITPIX 8, 16, 32, -32, -64, BZERO 32768, an image extension, other
// sizes, rows counted from the bottom).

#include <fitsio.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>

#include "image/file_bytes.h"
#include "image/fits_file.h"
#include "image/fits_library.h"
#include "image/image_loading.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

class ForeignFitsTest : public testing::SessionTest {
  protected:
    // A FITS file written by CFITSIO: an image of the given type and size whose stored pixel at
    // (x, y) is value(x, y), after an empty primary header when `extension` is set; `header`
    // adds keywords.
    std::filesystem::path MakeFile(const std::string& name, int bitpix, long width, long height,
                                   const std::function<double(long, long)>& value,
                                   const std::function<void(fitsfile*)>& header = {},
                                   bool extension = false, double bzero = 0.0) {
        const auto path = folder.Path() / name;
        fitsfile* file = nullptr;
        int status = 0;
        fits_create_file(&file, ("!" + path.string()).c_str(), &status);
        long axes[2] = {width, height};
        if (extension) {
            fits_create_img(file, 8, 0, nullptr, &status);
        }
        fits_create_img(file, bitpix, 2, axes, &status);
        if (bzero != 0.0) {
            fits_write_key(file, TDOUBLE, "BZERO", &bzero, nullptr, &status);
            fits_set_bscale(file, 1.0, bzero, &status);
        }
        if (header) {
            header(file);
        }
        std::vector<double> pixels(static_cast<std::size_t>(width * height));
        for (long y = 0; y < height; ++y) {
            for (long x = 0; x < width; ++x) {
                pixels[static_cast<std::size_t>(y * width + x)] = value(x, y);
            }
        }
        fits_write_img(file, TDOUBLE, 1, static_cast<LONGLONG>(pixels.size()), pixels.data(),
                       &status);
        fits_close_file(file, &status);
        EXPECT_EQ(status, 0) << name;
        return path;
    }

    LoadResult Open(const std::filesystem::path& file) {
        return LoadIntoCurrentImage(session, file, file.filename().string());
    }
    uint16_t At(int x, int y) const { return PixelAt(images->CurrentImage, x, y); }
};

void Key(fitsfile* file, const char* key, const char* text) {
    int status = 0;
    fits_write_key(file, TSTRING, key, const_cast<char*>(text), nullptr, &status);
}

TEST_F(ForeignFitsTest, UnsignedSixteenBitImageWithItsHeader) {
    const auto file = MakeFile(
        "siril.fit", USHORT_IMG, 512, 290,
        [](long x, long y) { return static_cast<double>((x * 131 + y * 977) % 65536); },
        [](fitsfile* f) {
            int status = 0;
            Key(f, "OBJECT", "Barnard's Star");
            Key(f, "OBSERVER", "Ann");
            Key(f, "DATE-OBS", "2026-12-07T21:30:15.250");
            double exposure = 30;
            fits_write_key(f, TDOUBLE, "EXPTIME", &exposure, nullptr, &status);
            double pixel = 4.65;
            fits_write_key(f, TDOUBLE, "XPIXSZ", &pixel, nullptr, &status);
            fits_write_history(f, "Calibrated with master dark", &status);
            fits_write_history(f, "Registered", &status);
            fits_write_comment(f, "Seeing was good", &status);
        });
    session.state.HistoryLines[5] = "old step";
    ASSERT_EQ(Open(file), LoadResult::Loaded);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0];
    EXPECT_EQ(At(0, 0), 0);
    EXPECT_EQ(At(511, 289), (511 * 131 + 289 * 977) % 65536);
    EXPECT_EQ(At(300, 100), (300 * 131 + 100 * 977) % 65536);
    const FitsDetails& fits = session.state.Fits;
    EXPECT_EQ(fits.object, "Barnard's Star");
    EXPECT_EQ(fits.observer, "Ann");
    EXPECT_EQ(fits.date, "2026-12-07");
    EXPECT_EQ(fits.time, "21:30:15");
    EXPECT_EQ(fits.exposureSeconds, 30);
    EXPECT_NEAR(fits.pixelWidth, 0.00465, 1e-12);
    EXPECT_EQ(fits.instrument, "Veltrane CCD");  // not in the file: the reset value
    EXPECT_EQ(session.state.HistoryLines[0], "Calibrated with master dark");
    EXPECT_EQ(session.state.HistoryLines[1], "Registered");
    EXPECT_EQ(session.state.HistoryLines[5], "");
    EXPECT_EQ(fits.comment, "Seeing was good");
    EXPECT_EQ(ui.captions.back(), "Talvor - siril.fit");
    EXPECT_EQ(session.state.TextsOrigin, HeaderTextsOrigin::File);
}

TEST_F(ForeignFitsTest, EveryIntegerAndFloatTypeAndAnExtension) {
    struct Case {
        const char* name;
        int bitpix;
        bool extension;
        double bzero;
    };
    const Case cases[] = {
        {"bytes.fit", BYTE_IMG, false, 0},      {"short.fit", SHORT_IMG, false, 0},
        {"long.fit", LONG_IMG, false, 0},       {"float.fit", FLOAT_IMG, false, 0},
        {"double.fit", DOUBLE_IMG, false, 0},   {"ext.fits", SHORT_IMG, true, 32768},
        {"offset.fit", SHORT_IMG, false, 32768}};
    for (const Case& c : cases) {
        const double most = c.bitpix == BYTE_IMG                    ? 255
                            : c.bitpix == SHORT_IMG && c.bzero == 0 ? 32767
                                                                    : 65535;
        const auto file = MakeFile(
            c.name, c.bitpix, 512, 290,
            [most](long x, long y) { return std::fmod(x * 7.0 + y * 13.0, most + 1); }, {},
            c.extension, c.bzero);
        ui.messages.clear();
        ASSERT_EQ(Open(file), LoadResult::Loaded) << c.name;
        EXPECT_TRUE(ui.messages.empty()) << c.name;
        EXPECT_EQ(At(511, 289), std::fmod(511 * 7.0 + 289 * 13.0, most + 1)) << c.name;
        EXPECT_EQ(At(10, 3), 10 * 7 + 3 * 13) << c.name;
    }
}

TEST_F(ForeignFitsTest, LargerImagesAreCutAndSmallerOnesStandAtTheTopLeft) {
    const auto large = MakeFile("camera.fit", USHORT_IMG, 640, 480, [](long x, long y) {
        return static_cast<double>(x + 1000 * (y % 60));
    });
    ASSERT_EQ(Open(large), LoadResult::Loaded);
    EXPECT_EQ(At(511, 289), 511 + 1000 * (289 % 60));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0],
              "The image is 640 x 480 pixels; the frame holds 512 x 290, so only its top-left "
              "512 x 290 pixels were taken, columns 513 to 640 were cut and rows 291 to 480 were "
              "cut.");

    ui.messages.clear();
    const auto small = MakeFile("small.fit", BYTE_IMG, 100, 100, [](long, long) { return 200; });
    ASSERT_EQ(Open(small), LoadResult::Loaded);
    EXPECT_EQ(At(99, 99), 200);
    EXPECT_EQ(At(100, 99), 0);
    EXPECT_EQ(At(99, 100), 0);
    EXPECT_EQ(At(511, 289), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0],
              "The image is 100 x 100 pixels; it stands at the top-left of the 512 x 290 frame "
              "and the rest is black.");
    EXPECT_FALSE(session.state.SubFrameMode);

    ui.messages.clear();
    const auto focus = MakeFile("focus.fit", USHORT_IMG, 128, 128,
                                [](long x, long y) { return static_cast<double>(x * 128 + y); });
    ASSERT_EQ(Open(focus), LoadResult::Loaded);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(session.state.SubFrameMode);  // the small-frame geometry: stride 128
    EXPECT_EQ(images->CurrentImage[127 * 128 + 5], 5 * 128 + 127);
}

TEST_F(ForeignFitsTest, ValuesOutsideTheRangeAreScaledIntoIt) {
    const auto file = MakeFile("stacked.fit", FLOAT_IMG, 512, 290, [](long x, long y) {
        return x == 0 && y == 0 ? -100.0 : x == 1 && y == 0 ? 131000.0 : 500.0;
    });
    ASSERT_EQ(Open(file), LoadResult::Loaded);
    EXPECT_EQ(At(0, 0), 0);
    EXPECT_EQ(At(1, 0), 65535);
    EXPECT_EQ(At(2, 0), static_cast<uint16_t>(600.0 * 65535.0 / 131100.0));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0],
              "Its values run from -100 to 131000; they were scaled linearly into 0 to 65535 "
              "(-100 became 0, 131000 became 65535).");
}

TEST_F(ForeignFitsTest, RowsCountedFromTheBottomAreTurnedTheRightWayUp) {
    const auto file = MakeFile(
        "bottom.fit", USHORT_IMG, 512, 300, [](long, long y) { return static_cast<double>(y); },
        [](fitsfile* f) { Key(f, "ROWORDER", "BOTTOM-UP"); });
    ASSERT_EQ(Open(file), LoadResult::Loaded);
    EXPECT_EQ(At(0, 0), 299);  // the last stored row is the top of the picture
    EXPECT_EQ(At(0, 289), 10);
}

TEST_F(ForeignFitsTest, OurOwnFilePaddedToWholeRecordsKeepsItsTextsAndHistory) {
    WorkingState written;
    written.Fits.object = "Kemble's Cascade";
    written.Fits.history = "first night";
    written.Fits.comment = "seeing 3/5";
    written.HistoryLines[0] = "Log Stretch";
    written.UnsignedFits = true;
    ImageBuffer frame{};
    frame[5] = 40000;
    auto bytes = EncodeFitsFile(frame, written.Fits, written, false);
    bytes.resize(bytes.size() - 320);
    bytes.resize((bytes.size() + 2879) / 2880 * 2880, 0);  // as a standard writer pads
    const auto path = folder.Path() / "padded.fit";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    ASSERT_EQ(Open(path), LoadResult::Loaded);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(images->CurrentImage[5], 40000);
    EXPECT_EQ(session.state.Fits.object, "Kemble's Cascade");
    EXPECT_EQ(session.state.Fits.history, "first night");
    EXPECT_EQ(session.state.Fits.comment, "seeing 3/5");
    EXPECT_EQ(session.state.HistoryLines[0], "Log Stretch");
    EXPECT_EQ(session.state.HistoryLines[1], "");
}

TEST_F(ForeignFitsTest, AFileThatIsNoImageIsRefused) {
    const auto path = folder.Path() / "table.fit";
    fitsfile* file = nullptr;
    int status = 0;
    fits_create_file(&file, ("!" + path.string()).c_str(), &status);
    fits_create_img(file, 8, 0, nullptr, &status);
    fits_close_file(file, &status);
    ASSERT_EQ(status, 0);
    images->CurrentImage[0] = 321;
    EXPECT_EQ(Open(path), LoadResult::Refused);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Unable to load FITS file"});
    EXPECT_EQ(images->CurrentImage[0], 321);
    EXPECT_TRUE(ui.captions.empty());
}

// The library is opened by the soname the build found, the one the installed package carries;
// a library that cannot be opened is told by the loader's own reason, not taken as a success.
TEST_F(ForeignFitsTest, TheLibraryIsOpenedByItsSonameAndAMissingOneIsRefused) {
    std::string error;
    const auto library = OpenFitsLibrary(kFitsLibraryName, error);
    ASSERT_TRUE(library) << error;
    EXPECT_NE(library->readSubset, nullptr);
    EXPECT_EQ(TheFitsLibrary()->openDiskFile, library->openDiskFile);

    EXPECT_FALSE(OpenFitsLibrary("libtalvor-no-such-fits.so.0", error));
    EXPECT_NE(error.find("libtalvor-no-such-fits.so.0"), std::string::npos) << error;
    // A library without the entry points (the C library has none of them) is refused too.
    error.clear();
    EXPECT_FALSE(OpenFitsLibrary("libc.so.6", error));
    EXPECT_NE(error.find("ffdkopn"), std::string::npos) << error;
}

}  // namespace
}  // namespace talvor
