// The whole-frame steps that compute many pixels at once (or only the table entries a frame
// needs) against the same arithmetic written out pixel by pixel, over random frames and every
// parameter the dialogs offer. The same file also runs against the baseline build of the
// arithmetic, the one processors without x86-64-v3 use, and against the x86-64-v3 build, the one
// processors without x86-64-v4 use (see CMakeLists.txt).

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "processing/arithmetic_references.h"
#include "processing/filter_frames.h"
#include "processing/filter_references.h"
#include "processing/frame_arithmetic.h"
#include "processing/gradient_filter.h"
#include "processing/kernel_filters.h"
#include "processing/median_filter.h"
#include "processing/mirror_image.h"
#include "processing/parameter_steps.h"
#include "processing/stretch_table.h"
#include "processing/stretch_tables.h"
#include "processing/unsharp_mask.h"

namespace talvor {
namespace {

using testing::FlatFrame;
using testing::RandomFrame;

// A sky with a slope, noise and stars, as a camera gives it.
std::unique_ptr<ImageBuffer> SkyFrame(uint32_t seed) {
    auto frame = FlatFrame(0);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 150.0);
    for (int y = 0; y < kFrameRows; ++y) {
        for (int x = 0; x < kFrameColumns; ++x) {
            const double sky = 3000 + 4 * x + 6 * y + noise(random);
            PixelAt(*frame, x, y) = static_cast<uint16_t>(std::clamp(sky, 0.0, 65535.0));
        }
    }
    std::uniform_int_distribution<int> where(0, kFramePixels - 1);
    std::uniform_int_distribution<int> bright(10000, 65535);
    for (int star = 0; star < 1500; ++star) {
        (*frame)[where(random)] = static_cast<uint16_t>(bright(random));
    }
    return frame;
}

// Few values far apart, at both ends of the range, so windows are full of ties and the cap of
// the window minimum at 65000 matters.
std::unique_ptr<ImageBuffer> FewValuesFrame(uint32_t seed) {
    const uint16_t values[] = {0, 1, 2, 64999, 65000, 65001, 65534, 65535};
    auto frame = FlatFrame(0);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, 7);
    for (int i = 0; i < kFramePixels; ++i) {
        (*frame)[i] = values[pick(random)];
    }
    return frame;
}

std::vector<std::unique_ptr<ImageBuffer>> TestFrames() {
    std::vector<std::unique_ptr<ImageBuffer>> frames;
    frames.push_back(RandomFrame(11));
    frames.push_back(RandomFrame(12, 1000, 1012));
    frames.push_back(FewValuesFrame(13));
    frames.push_back(SkyFrame(14));
    return frames;
}

TEST(FastRoutinesTest, MedianMatchesThePartialSortForEveryRadiusAndPower) {
    const auto frames = TestFrames();
    const auto other = RandomFrame(99);
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const ImageBuffer& source = *frames[n];
        for (int f = kMinMedianRadius; f <= kMaxMedianRadius; ++f) {
            const testing::MedianWindows windows = testing::ReferenceMedianWindows(source, f);
            for (int tenths = kMinMedianTenths; tenths <= kMaxMedianTenths; ++tenths) {
                // The target starts as another picture: pixels that stay keep the target's value
                // (at full power, where none is replaced, the whole target stays).
                const ImageBuffer& start =
                    tenths % 2 == 0 && tenths != kMaxMedianTenths ? source : *other;
                ImageBuffer target = start;
                int rows = 0;
                MedianPass(source, target, f, tenths, f, [&] { ++rows; });
                ASSERT_EQ(target,
                          testing::ReferenceMedianFromWindows(source, start, windows, tenths, f))
                    << "frame " << n << " radius " << f << " tenths " << tenths;
                EXPECT_EQ(rows, kFrameRows - 2 * f);
            }
            // Below a label band.
            ImageBuffer target = source;
            MedianPass(source, target, f, 3, f + 11, [] {});
            ASSERT_EQ(target,
                      testing::ReferenceMedianFromWindows(source, source, windows, 3, f + 11))
                << "frame " << n << " radius " << f << " below the label";
            // One frame for both, at the lowest power (the most pixels replaced): the larger
            // windows filter it in place, the 3 x 3 window works from a copy.
            ImageBuffer inPlace = source;
            MedianPass(inPlace, inPlace, f, 1, f + 11, [] {});
            ASSERT_EQ(inPlace,
                      testing::ReferenceMedianFromWindows(source, source, windows, 1, f + 11))
                << "frame " << n << " radius " << f << " in place";
        }
    }
}

// Mostly one value with runs of another and lone pixels at both ends of the range: windows full
// of ties, so a merge that drops or repeats a rank shows.
std::unique_ptr<ImageBuffer> TiedFrame(uint32_t seed) {
    auto frame = FlatFrame(65535);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> where(0, kFramePixels - 1);
    std::uniform_int_distribution<int> run(1, 9);
    for (int i = 0; i < 12000; ++i) {
        const int start = where(random);
        const int length = std::min(run(random), kFramePixels - start);
        std::fill_n(frame->begin() + start, length, uint16_t{0});
    }
    for (int i = 0; i < 3000; ++i) {
        (*frame)[where(random)] = static_cast<uint16_t>(i % 3 == 0 ? 1 : 65000 + i % 3);
    }
    return frame;
}

// Two rows of output are computed together: every first row, so that the row count comes out
// even or odd, and the rows are reported one by one, each when it is finished.
TEST(FastRoutinesTest, MedianRowsComeOutRightWhereverTheyStart) {
    std::vector<std::unique_ptr<ImageBuffer>> frames;
    frames.push_back(TiedFrame(21));
    frames.push_back(FewValuesFrame(22));
    frames.push_back(RandomFrame(23));
    const auto other = RandomFrame(24);
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const ImageBuffer& source = *frames[n];
        for (int f = kMinMedianRadius; f <= kMaxMedianRadius; ++f) {
            const int lastRow = kFrameRows - 1 - f;
            const testing::MedianWindows windows = testing::ReferenceMedianWindows(source, f);
            for (int firstRow : {f, f + 1, 100, 101, lastRow - 1, lastRow, lastRow + 1}) {
                // Full power replaces nothing, and still reports every row.
                const int tenths = firstRow == 101 ? kMaxMedianTenths : firstRow % 2 == 0 ? 2 : 7;
                const ImageBuffer expected =
                    testing::ReferenceMedianFromWindows(source, *other, windows, tenths, firstRow);
                ImageBuffer target = *other;
                int reported = 0;
                MedianPass(source, target, f, tenths, firstRow, [&] {
                    const int row = firstRow + reported++;
                    EXPECT_TRUE(testing::SameArea(target, expected, row, row, 0, kFrameColumns - 1))
                        << "row " << row << " reported before it was finished";
                });
                ASSERT_EQ(target, expected)
                    << "frame " << n << " radius " << f << " first row " << firstRow;
                EXPECT_EQ(reported, std::max(0, lastRow - firstRow + 1));
            }
            // Rows above the radius have no whole window: the pass starts at the radius.
            ImageBuffer fromTop = *other;
            ImageBuffer fromRadius = *other;
            int reported = 0;
            MedianPass(source, fromTop, f, 5, 0, [&] { ++reported; });
            MedianPass(source, fromRadius, f, 5, f, [] {});
            EXPECT_EQ(fromTop, fromRadius);
            EXPECT_EQ(reported, lastRow - f + 1);
        }
    }
}

struct KernelSetting {
    int radius;
    Kernel kernel;
    int divisor;
};

TEST(FastRoutinesTest, KernelFiltersMatchTheTableForTheMenuAndOtherSettings) {
    const std::vector<KernelSetting> settings = {
        // The menu's six.
        {1, Kernel::C, 1},
        {2, Kernel::D, 1},
        {2, Kernel::E, 1},
        {2, Kernel::B, 80},
        {1, Kernel::A, 16},
        {2, Kernel::F, 1},
        // Other divisors, negative sums among them, truncated toward zero.
        {1, Kernel::C, 3},
        {2, Kernel::D, 7},
        {2, Kernel::F, -5},
        {1, Kernel::A, 1},
        {2, Kernel::B, 16},
        // Other radii, through the table.
        {1, Kernel::B, 1},
        {2, Kernel::A, 2},
        {1, Kernel::F, 1},
    };
    const auto frames = TestFrames();
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const ImageBuffer& source = *frames[n];
        for (const KernelSetting& s : settings) {
            for (int firstRow : {s.radius, s.radius + 11}) {
                ImageBuffer target = source;
                for (int y = firstRow; y <= kFrameRows - 1 - s.radius; ++y) {
                    ConvolveRow(source, target, y, s.radius, s.kernel, s.divisor);
                }
                ASSERT_EQ(target,
                          testing::ReferenceKernel(source, s.radius, s.kernel, s.divisor, firstRow))
                    << "frame " << n << " kernel " << static_cast<int>(s.kernel) << " radius "
                    << s.radius << " divisor " << s.divisor << " first row " << firstRow;
            }
        }
    }
}

TEST(FastRoutinesTest, UnsharpMaskMatchesTheSlidingSumForEveryRadiusAndPower) {
    const auto frames = TestFrames();
    for (std::size_t n = 0; n < frames.size(); n += 3) {
        const ImageBuffer& source = *frames[n];
        for (int d = kMinUnsharpRadius; d <= kMaxUnsharpRadius; ++d) {
            for (int k = kMinUnsharpPower; k <= kMaxUnsharpPower; ++k) {
                const int firstRow = k == 4 ? d + 11 : d;
                ImageBuffer target = source;
                UnsharpMaskPass(source, target, d, k, firstRow, [] {});
                ASSERT_EQ(target, testing::ReferenceUnsharp(source, d, k, firstRow))
                    << "frame " << n << " radius " << d << " power " << k;
            }
        }
    }
}

// Rows and columns outside the filtered area keep what the target held, at every radius (the
// last run of a row ends exactly on the last filtered column), and a power outside the
// dialog's range is still applied as given.
TEST(FastRoutinesTest, UnsharpMaskWritesOnlyItsAreaAndTakesAnyPower) {
    const auto source = RandomFrame(31);
    for (int d = kMinUnsharpRadius; d <= kMaxUnsharpRadius; ++d) {
        for (int k : {0, 8, 100}) {
            const ImageBuffer before = *FlatFrame(12345);
            ImageBuffer target = before;
            UnsharpMaskPass(*source, target, d, k, d, [] {});
            ImageBuffer expected = testing::ReferenceUnsharp(*source, d, k, d);
            for (int y = 0; y < kFrameRows; ++y) {
                for (int x = 0; x < kFrameColumns; ++x) {
                    if (y < d || y > kFrameRows - 1 - d || x < d || x > kFrameColumns - 2 - d) {
                        PixelAt(expected, x, y) = PixelAt(before, x, y);
                    }
                }
            }
            ASSERT_EQ(target, expected) << "radius " << d << " power " << k;
        }
    }
}

TEST(FastRoutinesTest, UnsharpDivisionIsExactAtEveryMultipleOfTheArea) {
    // The box mean of a flat frame is the pixel itself, so the output is the pixel (clamped
    // above 65280); the box sums are then whole multiples of the area, where a quotient that
    // comes out one low is easiest to get.
    for (int d = kMinUnsharpRadius; d <= kMaxUnsharpRadius; ++d) {
        for (int value : {0, 1, 224, 225, 65279, 65280, 65281, 65535}) {
            const auto frame = FlatFrame(static_cast<uint16_t>(value));
            ImageBuffer target = *frame;
            UnsharpMaskPass(*frame, target, d, 7, d, [] {});
            const uint16_t expected = value > 65280 ? 65535 : static_cast<uint16_t>(value);
            ASSERT_EQ(PixelAt(target, 100, 100), expected) << d << " " << value;
            ASSERT_EQ(target, testing::ReferenceUnsharp(*frame, d, 7, d)) << d << " " << value;
        }
    }
}

// The flat field of rows 1..289 with each normaliser, fast and pixel by pixel.
void ExpectFlatFieldAsDivided(const ImageBuffer& image, const ImageBuffer& flat,
                              std::initializer_list<double> normalisers) {
    for (double normaliser : normalisers) {
        ImageBuffer fast = image;
        ImageBuffer plain = image;
        for (int y = 1; y < kFrameRows; ++y) {
            FlatFieldRow(fast, flat, normaliser, y);
            testing::ReferenceFlatFieldRow(plain, flat, normaliser, y);
        }
        ASSERT_EQ(fast, plain) << normaliser;
    }
}

TEST(FastRoutinesTest, FlatFieldMatchesThePixelByPixelDivision) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> any(0, 65535);
    std::uniform_int_distribution<int> chance(0, 19);
    auto image = FlatFrame(0);
    auto flat = FlatFrame(0);
    for (int i = 0; i < kFramePixels; ++i) {
        (*image)[i] = static_cast<uint16_t>(chance(random) == 0 ? 0 : any(random));
        (*flat)[i] = static_cast<uint16_t>(chance(random) == 0 ? 0 : any(random) / (1 + i % 7));
    }
    ExpectFlatFieldAsDivided(*image, *flat,
                             {FlatFieldNormaliser(*flat), 0.0, 0.001, 1.0, 3.7, 65535.0, 1.0e7});
}

// Quotients that are whole numbers, or a rounding away from one, are where the truncation
// depends on every bit of the quotient; quotients past 65535 are where the clamp decides it.
TEST(FastRoutinesTest, FlatFieldMatchesTheDivisionAtWholeQuotientsAndTheClamp) {
    auto image = FlatFrame(0);
    auto flat = FlatFrame(0);
    int i = 0;
    for (int f = 1; i < kFramePixels; f = f % 4000 + 1) {
        for (int k : {1, 2, 3, 7, 10, 16, 33}) {
            if (i < kFramePixels && k * f <= 65535) {
                // Just below, at and just above a multiple of the flat pixel.
                (*flat)[i] = static_cast<uint16_t>(f);
                (*image)[i] = static_cast<uint16_t>(k * f + (i % 3) - 1);
                ++i;
            }
        }
    }
    ExpectFlatFieldAsDivided(*image, *flat, {1.0, 3.0, 0.1, 7.0 / 3.0, 1000.0, 20000.0});
}

// Products at the clamp and where a 32-bit truncation no longer holds them: exactly 65535 and
// a rounding either side, 2^31 - 1, 2^31 and far beyond, over quotients from 1 / 65535 to 65535.
TEST(FastRoutinesTest, FlatFieldMatchesTheDivisionAtTheClampAndBeyond32Bits) {
    const uint16_t pairs[][2] = {{1000, 1000}, {65535, 1}, {1, 65535},     {1, 2},        {2, 1},
                                 {0, 7},       {3, 3},     {65535, 65535}, {65534, 65535}};
    auto image = FlatFrame(0);
    auto flat = FlatFrame(0);
    for (int i = 0; i < kFramePixels; ++i) {
        const auto& pair = pairs[(i + i / kFrameColumns) % std::size(pairs)];
        (*image)[i] = pair[0];
        (*flat)[i] = pair[1];
    }
    ExpectFlatFieldAsDivided(
        *image, *flat,
        {65535.0, std::nextafter(65535.0, 0.0), std::nextafter(65535.0, 1e6), 32767.5, 2147483647.0,
         2147483647.5, 2147483648.0, 4294967296.0, 1.0e300});
}

// The normaliser adds whole numbers, so a running double sum of them is exact at every step:
// the two agree to the last bit, up to the largest sum a flat can give.
TEST(FastRoutinesTest, FlatFieldNormaliserIsTheRunningDoubleSum) {
    for (const auto& flat : {RandomFrame(8), SkyFrame(9), FlatFrame(65535), FlatFrame(1)}) {
        ASSERT_EQ(FlatFieldNormaliser(*flat), testing::ReferenceFlatFieldNormaliser(*flat));
    }
    EXPECT_EQ(FlatFieldNormaliser(*FlatFrame(65535)), 0.0002 * (5401.0 * 65535.0));
}

TEST(FastRoutinesTest, GradientMatchesThePixelByPixelSurface) {
    std::mt19937 random(6);
    std::uniform_int_distribution<int> mode(0, 4095);
    std::uniform_int_distribution<int> small(0, 40);
    const auto frame = SkyFrame(7);
    for (int n = 0; n < 40; ++n) {
        CornerModes modes;
        if (n % 2 == 0) {
            modes = {mode(random), mode(random), mode(random), mode(random)};
        } else {
            const int base = mode(random);
            modes = {base + small(random), base + small(random), base, base + small(random)};
        }
        const int firstRow = n % 3 == 0 ? 11 : 0;
        ImageBuffer fast = *frame;
        ImageBuffer plain = *frame;
        RemoveGradient(fast, modes, firstRow);
        testing::ReferenceRemoveGradient(plain, modes, firstRow);
        ASSERT_EQ(fast, plain) << modes.topLeft << " " << modes.topRight << " " << modes.bottomLeft
                               << " " << modes.bottomRight;
    }
}

// Every power the Power Law dialog can reach from its start of 1.0 by its arrows, with the
// rounding of the steps taken along the way.
std::vector<double> DialogPowers() {
    std::set<double> seen{1.0};
    std::vector<double> open{1.0};
    while (!open.empty() && seen.size() < 2000) {
        const double power = open.back();
        open.pop_back();
        for (ScrollAction action : {ScrollAction::LineLeft, ScrollAction::LineRight}) {
            const double next = PowerAfterScroll(power, action);
            if (seen.insert(next).second) {
                open.push_back(next);
            }
        }
    }
    return {seen.begin(), seen.end()};
}

TEST(FastRoutinesTest, StretchCurvesGiveTheTablesEntryByEntry) {
    for (int level = 3; level <= 256; ++level) {
        ASSERT_EQ(BackgroundRemovalTable(level), testing::ReferenceBackgroundTable(level)) << level;
    }
    for (int power = kMinNonLinearPower; power <= kMaxNonLinearPower; ++power) {
        ASSERT_EQ(NonLinearStretchTable(power), testing::ReferenceNonLinearTable(power)) << power;
    }
    const std::vector<double> powers = DialogPowers();
    EXPECT_GE(powers.size(), 30u);
    for (double power : powers) {
        ASSERT_EQ(PowerStretchTable(power), testing::ReferencePowerTable(power)) << power;
    }
    EXPECT_EQ(SineStretchTable(), testing::ReferenceSineTable());
    EXPECT_EQ(LogStretchTable(), testing::ReferenceLogTable());
    EXPECT_EQ(AntiLogStretchTable(), testing::ReferenceAntiLogTable());
    EXPECT_EQ(InvertTable(), testing::ReferenceInvertTable());
    // Every black level with three white levels, every white level with three black levels,
    // and pairs at random.
    for (int b = 0; b <= kMaxBlackLevel; ++b) {
        for (int w : {b + 1, 255, 300}) {
            ASSERT_EQ(NormalStretchTable(b, w), testing::ReferenceNormalTable(b, w))
                << b << " " << w;
        }
    }
    for (int w = kMinWhiteLevel; w <= kMaxWhiteLevel; ++w) {
        for (int b : {0, w / 2, std::min(w - 1, kMaxBlackLevel)}) {
            ASSERT_EQ(NormalStretchTable(b, w), testing::ReferenceNormalTable(b, w))
                << b << " " << w;
        }
    }
    std::mt19937 random(8);
    std::uniform_int_distribution<int> level(0, 299);
    for (int n = 0; n < 300; ++n) {
        const int b = std::min(level(random), kMaxBlackLevel);
        const int w = std::max(b + 1, level(random) + 1);
        ASSERT_EQ(NormalStretchTable(b, w), testing::ReferenceNormalTable(b, w)) << b << " " << w;
    }
}

TEST(FastRoutinesTest, MappingThroughACurveMatchesTheWholeTable) {
    struct Case {
        StretchCurve curve;
        StretchTable table;
    };
    const std::vector<Case> cases = {
        {NormalStretchCurve(12, 200), testing::ReferenceNormalTable(12, 200)},
        {NormalStretchCurve(12, 201), testing::ReferenceNormalTable(12, 201)},
        {BackgroundRemovalCurve(20), testing::ReferenceBackgroundTable(20)},
        {PowerStretchCurve(1.5), testing::ReferencePowerTable(1.5)},
        {PowerStretchCurve(0.3), testing::ReferencePowerTable(0.3)},
        {SineStretchCurve(), testing::ReferenceSineTable()},
        {LogStretchCurve(), testing::ReferenceLogTable()},
        {AntiLogStretchCurve(), testing::ReferenceAntiLogTable()},
        {InvertCurve(), testing::ReferenceInvertTable()},
        {NonLinearStretchCurve(25), testing::ReferenceNonLinearTable(25)},
        {NonLinearStretchCurve(2), testing::ReferenceNonLinearTable(2)},
    };
    const auto frames = TestFrames();
    // Twice through every curve, on every frame, alternating curves of one shape, so entries
    // remembered from one frame or curve are used for the next one. The frame goes in three
    // pieces, the first two ending three words past a multiple of 64 and one word past a
    // multiple of four, as the mapping goes in blocks of 64 words, four at a time.
    ForgetStretchEntries();
    for (int round = 0; round < 2; ++round) {
        for (std::size_t n = 0; n < frames.size(); ++n) {
            for (const Case& c : cases) {
                ImageBuffer mapped = *frames[n];
                ImageBuffer plain = *frames[n];
                constexpr int kFirstEnd = 64 * 64 + 3;
                constexpr int kSecondEnd = kFramePixels / 2 + 1;
                MapThroughStretchCurve(c.curve, mapped, 0, kFirstEnd);
                MapThroughStretchCurve(c.curve, mapped, kFirstEnd, kSecondEnd);
                MapThroughStretchCurve(c.curve, mapped, kSecondEnd, kFramePixels);
                MapThroughStretchTable(c.table, plain, 0, kFramePixels);
                ASSERT_EQ(mapped, plain) << "round " << round << " frame " << n;
            }
        }
    }
}

TEST(FastRoutinesTest, MirrorReversesEachRowFromTheFirstOnAndNothingElse) {
    for (const int firstRow : {0, 10, kFrameRows - 1}) {
        const auto original = RandomFrame(15);
        ImageBuffer current = *original;
        const auto scratch = RandomFrame(16);
        ImageBuffer second = *scratch;
        MirrorRows(current, second, firstRow);
        for (int i = 0; i < static_cast<int>(current.size()); ++i) {
            const int y = i / kFrameColumns;
            const int x = i % kFrameColumns;
            const bool mirrored = i < kFramePixels && y >= firstRow;
            const uint16_t reversed = mirrored ? PixelAt(*original, kFrameColumns - 1 - x, y) : 0;
            ASSERT_EQ(current[i], mirrored ? reversed : (*original)[i]) << firstRow << " " << i;
            ASSERT_EQ(second[i], mirrored ? reversed : (*scratch)[i]) << firstRow << " " << i;
        }
    }
}

}  // namespace
}  // namespace talvor
