// The kernel engine and the unsharp mask: the menu's kernels, clamps, borders and label rows,
// checked against the filters written out step by step.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "processing/filter_frames.h"
#include "processing/filter_references.h"
#include "processing/kernel_filters.h"
#include "processing/spatial_filters.h"
#include "processing/unsharp_mask.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

using testing::FlatFrame;
using testing::MarkLabelled;
using testing::RandomFrame;

// A sky of 20000..24000 with a sprinkling of stars up to full scale: the filters clamp at
// both ends and work on gentle slopes.
std::unique_ptr<ImageBuffer> StarField(uint32_t seed) {
    auto frame = RandomFrame(seed, 20000, 24000);
    std::mt19937 random(seed + 1);
    std::uniform_int_distribution<int> where(0, kFramePixels - 1);
    std::uniform_int_distribution<int> bright(30000, 65535);
    for (int star = 0; star < 3000; ++star) {
        (*frame)[where(random)] = static_cast<uint16_t>(bright(random));
    }
    for (int i = 0; i < 2000; ++i) {
        (*frame)[where(random)] = 0;
    }
    return frame;
}

struct MenuKernel {
    KernelFilterKind kind;
    int radius;
    Kernel kernel;
    int divisor;
    std::string history;
};

const std::vector<MenuKernel>& MenuKernels() {
    static const std::vector<MenuKernel> kernels = {
        {KernelFilterKind::HighPassLowPower, 1, Kernel::C, 1, "High Pass Low Power Filter"},
        {KernelFilterKind::HighPassHighPower, 2, Kernel::D, 1, "High Pass High Power Filter"},
        {KernelFilterKind::SmootherSharper, 2, Kernel::E, 1, "Smoother/Sharper Filter"},
        {KernelFilterKind::Gaussian, 2, Kernel::B, 80, "Gaussian Filter"},
        {KernelFilterKind::LowPassWeightedMean, 1, Kernel::A, 16, "Lowpass Smoother Filter"},
        {KernelFilterKind::BasRelief, 2, Kernel::F, 1, "Bas Relief Filter"},
    };
    return kernels;
}

using KernelFilterTest = testing::SessionTest;

// On the star field, and on a bright frame whose window sums run up to the top of their range
// with every remainder of the divisors, where a quotient worked out through a reciprocal would
// first come out one too high or too low.
TEST_F(KernelFilterTest, EveryMenuKernelComputesTheWindowSumsOfItsTable) {
    const std::unique_ptr<ImageBuffer> frames[] = {StarField(11), RandomFrame(12, 64000, 65535)};
    for (const auto& frame : frames) {
        for (const MenuKernel& menu : MenuKernels()) {
            images->CurrentImage = *frame;
            const ImageBuffer expected = testing::ReferenceKernel(
                images->CurrentImage, menu.radius, menu.kernel, menu.divisor, menu.radius);
            KernelFilter(session, menu.kind);
            ASSERT_EQ(images->CurrentImage, expected) << menu.history;
            EXPECT_EQ(KernelFilterHistory(menu.kind), menu.history);
        }
    }
    for (std::size_t i = 0; i < MenuKernels().size(); ++i) {
        EXPECT_EQ(session.state.HistoryLines[i], MenuKernels()[i].history);
    }
}

TEST_F(KernelFilterTest, AFlatFrameStaysFlatUnderEveryKernelAndTheUnsharpMask) {
    for (const MenuKernel& menu : MenuKernels()) {
        images->CurrentImage = *FlatFrame(1000);
        KernelFilter(session, menu.kind);
        ASSERT_EQ(images->CurrentImage, *FlatFrame(1000)) << menu.history;
    }
    for (int radius = kMinUnsharpRadius; radius <= kMaxUnsharpRadius; ++radius) {
        images->CurrentImage = *FlatFrame(1000);
        UnsharpMask(session, radius, 7);
        ASSERT_EQ(images->CurrentImage, *FlatFrame(1000)) << radius;
    }
}

TEST_F(KernelFilterTest, HighPassLowPowerClampsABrightPixelAndBlackensItsEdgeNeighbours) {
    images->CurrentImage = *FlatFrame(0);
    PixelAt(images->CurrentImage, 100, 100) = 20000;
    KernelFilter(session, KernelFilterKind::HighPassLowPower);
    const ImageBuffer& out = images->CurrentImage;
    EXPECT_EQ(PixelAt(out, 100, 100), 65535);
    EXPECT_EQ(PixelAt(out, 99, 100), 0);
    EXPECT_EQ(PixelAt(out, 101, 100), 0);
    EXPECT_EQ(PixelAt(out, 100, 99), 0);
    EXPECT_EQ(PixelAt(out, 100, 101), 0);
}

TEST_F(KernelFilterTest, TheEngineShowsItsRowsAndTakesTheUndoCopy) {
    const auto before = StarField(3);
    images->CurrentImage = *before;
    MarkLabelled(images->CurrentImage);
    const ImageBuffer labelled = images->CurrentImage;
    KernelFilter(session, KernelFilterKind::BasRelief);
    EXPECT_EQ(images->UndoImage, labelled);
    EXPECT_EQ(images->SecondImage, images->CurrentImage);
    EXPECT_EQ(ui.progressCaptions, std::vector<std::string>{"FILTER PROGRESS"});
    // The window opens at 0; then one position per row, from the first row's number.
    ASSERT_EQ(ui.progressPositions.size(), 1u + (287 - 12 + 1));
    EXPECT_EQ(ui.progressPositions[1], 12);
    EXPECT_EQ(ui.progressPositions.back(), 256);
    EXPECT_FALSE(ui.progressOpen);
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_EQ(images->CurrentImage, testing::ReferenceKernel(labelled, 2, Kernel::F, 1, 12));
}

TEST(UnsharpMaskTest, MatchesTheBoxSumSlidByPixelsForEveryRadiusAndPower) {
    const auto source = StarField(21);
    for (const int radius : {1, 2, 3, 7}) {
        for (const int power : {1, 3, 7}) {
            ImageBuffer target = *source;
            int rows = 0;
            UnsharpMaskPass(*source, target, radius, power, radius, [&rows] { ++rows; });
            ASSERT_EQ(target, testing::ReferenceUnsharp(*source, radius, power, radius))
                << radius << " " << power;
            EXPECT_EQ(rows, 290 - 2 * radius);
        }
    }
}

TEST(UnsharpMaskTest, AResultOfExactly65280IsKeptAndOneMoreClampsToFullScale) {
    // A lone pixel p on black: the mean is p / 9 and p + (p - p / 9) is 65280 for 34560.
    for (const auto& [pixel, expected] : {std::pair{34560, 65280}, std::pair{34561, 65535}}) {
        auto source = FlatFrame(0);
        PixelAt(*source, 50, 50) = static_cast<uint16_t>(pixel);
        ImageBuffer target = *source;
        UnsharpMaskPass(*source, target, 1, 1, 1, [] {});
        EXPECT_EQ(PixelAt(target, 50, 50), expected) << pixel;
        EXPECT_EQ(PixelAt(target, 49, 50), 0);
    }
}

TEST_F(KernelFilterTest, UnsharpMaskStepLeavesTheLabelAndWritesItsLine) {
    images->CurrentImage = *StarField(8);
    MarkLabelled(images->CurrentImage);
    const ImageBuffer before = images->CurrentImage;
    UnsharpMask(session, 3, 2);
    EXPECT_EQ(images->CurrentImage, testing::ReferenceUnsharp(before, 3, 2, 13));
    EXPECT_EQ(images->UndoImage, before);
    EXPECT_EQ(session.state.HistoryLines[0], "Unsharp Mask : rad 3 ,power 2");
    EXPECT_EQ(ui.progressCaptions, std::vector<std::string>{"UNSHARP MASK PROGRESS"});
    ASSERT_EQ(ui.progressPositions.size(), 1u + (286 - 13 + 1));
    EXPECT_EQ(ui.progressPositions[1], 1);
}

}  // namespace
}  // namespace talvor
