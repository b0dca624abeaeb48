// The histogram, 3-D plot and row profile: their command rules, the histogram's bars and
// listing, the row profile's line and the 3-D plot's traces.

#include <gtest/gtest.h>

#include "measurement/analysis_commands.h"
#include "measurement/histogram_listing.h"
#include "measurement/intensity_plot.h"
#include "measurement/measurement_fixture.h"
#include "measurement/row_profile.h"

namespace talvor {
namespace {

class AnalysisViewsTest : public testing::MeasurementTest {
  protected:
    AnalysisWindows& Analysis() { return session.modes.Analysis; }
};

TEST_F(AnalysisViewsTest, EachWindowOpensOnceUntilItsButtonEndsIt) {
    EXPECT_EQ(BeginHistogram(session), AnalysisOpen::Open);
    EXPECT_EQ(BeginHistogram(session), AnalysisOpen::Refused);
    EndHistogram(session);
    EXPECT_EQ(BeginHistogram(session), AnalysisOpen::Open);

    EXPECT_EQ(BeginIntensityPlot(session), AnalysisOpen::Open);
    EXPECT_EQ(Analysis().PlotSource, &images->CurrentImage);
    EXPECT_EQ(BeginIntensityPlot(session), AnalysisOpen::Refused);
    // The open 3-D plot blocks the row profile without a word, and the other way round.
    EXPECT_EQ(BeginRowPlot(session), AnalysisOpen::Refused);
    EndIntensityPlot(session);
    EXPECT_EQ(BeginRowPlot(session), AnalysisOpen::Open);
    EXPECT_EQ(BeginIntensityPlot(session), AnalysisOpen::Refused);
    EXPECT_EQ(BeginRowPlot(session), AnalysisOpen::Refused);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AnalysisViewsTest, RowPlotKeepsApartFromPhotometryMergingAndStretchedPictures) {
    session.modes.PhotometryMode = true;
    EXPECT_EQ(BeginRowPlot(session), AnalysisOpen::Refused);
    session.modes.PhotometryMode = false;
    session.modes.MergeMode = true;
    EXPECT_EQ(BeginRowPlot(session), AnalysisOpen::Refused);
    session.modes.MergeMode = false;
    session.state.FitToWindow = true;
    EXPECT_EQ(BeginRowPlot(session), AnalysisOpen::Refused);
    session.state.FitToWindow = false;
    session.state.ZenkaGeometry = true;
    EXPECT_EQ(BeginRowPlot(session), AnalysisOpen::Refused);
    EXPECT_FALSE(session.modes.RowPlotMode);
    const std::string clash =
        "Sorry, you cannot run Photometry, Row Plot and Merging at the same time";
    const std::string geometry = "Sorry, Rowplot is only available in Standard Geometry";
    EXPECT_EQ(ui.messages, (std::vector<std::string>{clash, clash, geometry, geometry}));
}

TEST_F(AnalysisViewsTest, RowProfileStartsAtRow127AndKeepsItsAverageBetweenOpenings) {
    ASSERT_EQ(BeginRowPlot(session), AnalysisOpen::Open);
    EXPECT_EQ(Analysis().PlotRow, 127);
    EXPECT_EQ(Analysis().RowsToAverage, 1);
    PickPlotRow(session, 40);
    NarrowRowAverage(session);
    EXPECT_EQ(Analysis().RowsToAverage, 1);
    for (int step = 0; step < 30; ++step) {
        WidenRowAverage(session);
    }
    EXPECT_EQ(Analysis().RowsToAverage, 51);
    NarrowRowAverage(session);
    EXPECT_EQ(Analysis().RowsToAverage, 49);
    EndRowPlot(session);
    EXPECT_FALSE(session.modes.RowPlotMode);
    ASSERT_EQ(BeginRowPlot(session), AnalysisOpen::Open);
    EXPECT_EQ(Analysis().PlotRow, 127);
    EXPECT_EQ(Analysis().RowsToAverage, 49);
}

TEST_F(AnalysisViewsTest, HistogramBarsAreCutAt210AndTheCutOnesListed) {
    BrightnessCounts counts{};
    counts[7] = 2000;
    counts[20] = 1054;  // 210 units: full height, not cut
    counts[30] = 1055;  // 211 units
    counts[40] = 503;
    const auto bars = HistogramBars(counts);
    EXPECT_EQ(bars[7].height, 210);
    EXPECT_TRUE(bars[7].cut);
    EXPECT_EQ(bars[20].height, 210);
    EXPECT_FALSE(bars[20].cut);
    EXPECT_TRUE(bars[30].cut);
    EXPECT_EQ(bars[40].height, 100);
    EXPECT_EQ(bars[41].height, 0);
    EXPECT_EQ(HistogramListing(counts), "val   count\n007    2000\n030    1055\n");
}

TEST_F(AnalysisViewsTest, HistogramListingStopsAfterFifteenLinesAndRoundsCountsDown) {
    BrightnessCounts counts{};
    for (int k = 100; k < 120; ++k) {
        counts[k] = 123459;
    }
    const std::string listing = HistogramListing(counts);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 16);
    EXPECT_EQ(listing.substr(0, 24), "val   count\n100  123455\n");
    EXPECT_EQ(listing.substr(listing.size() - 12), "114  123455\n");
}

TEST_F(AnalysisViewsTest, HistogramListingOfAFrameCountsRowsFiveTo284) {
    // 2000 pixels of high byte 7 inside the counted rows, and more in rows the window ignores.
    for (int i = 0; i < 2000; ++i) {
        Set(i % 500, 10 + i / 500, 7 * 256 + 3);
    }
    for (int x = 0; x < 500; ++x) {
        Set(x, 2, 9 * 256);
        Set(x, 287, 9 * 256);
    }
    EXPECT_EQ(HistogramListingOfFrame(Frame()), "val   count\n000  141360\n007    2000\n");
}

TEST_F(AnalysisViewsTest, RowProfileAveragesScaledPixelsAndRefusesRowsNearTheEdges) {
    for (int x = 0; x < kFrameColumns; ++x) {
        Set(x, 100, 50 * 384);
        Set(x, 99, 383);
        Set(x, 101, 768);
    }
    Set(7, 100, 65535);
    const auto single = RowProfile(Frame(), 100, 1);
    ASSERT_TRUE(single.has_value());
    EXPECT_EQ((*single)[0], (PlotPoint{4, 198}));
    EXPECT_EQ((*single)[1], (PlotPoint{5, 148}));
    EXPECT_EQ((*single)[8], (PlotPoint{12, 198 - 170}));
    EXPECT_EQ((*single)[512], (PlotPoint{516, 148}));
    // Each pixel is scaled before the sum: (0 + 50 + 2) / 3.
    const auto three = RowProfile(Frame(), 100, 3);
    ASSERT_TRUE(three.has_value());
    EXPECT_EQ((*three)[1], (PlotPoint{5, 198 - 17}));

    EXPECT_FALSE(RowProfile(Frame(), 20, 51).has_value());
    EXPECT_TRUE(RowProfile(Frame(), 26, 51).has_value());
    EXPECT_TRUE(RowProfile(Frame(), 289, 1).has_value());
    EXPECT_FALSE(RowProfile(Frame(), 289, 3).has_value());
    EXPECT_FALSE(RowProfile(Frame(), 0, 1).has_value());
    EXPECT_FALSE(RowProfile(Frame(), -5, 1).has_value());
    EXPECT_FALSE(RowProfile(Frame(), 290, 1).has_value());
}

TEST_F(AnalysisViewsTest, IntensityTracesStepLeftAndDownAndCarryTheirRisingColour) {
    Set(0, 12, 384 * 10);
    Set(1, 12, 384 * 10);
    Set(0, 14, 384 * 4);
    int previous = 0;
    IntensityTrace trace;
    TraceIntensityRow(Frame(), kFirstTrace, previous, trace);
    EXPECT_EQ(trace.start, (PlotPoint{130, 192}));
    EXPECT_EQ(trace.segments[0].end, (PlotPoint{130, 182}));
    EXPECT_TRUE(trace.segments[0].rising);
    EXPECT_FALSE(trace.segments[1].rising);  // as high as the one before
    EXPECT_EQ(trace.segments[509].end, (PlotPoint{639, 192}));
    EXPECT_EQ(previous, 0);
    TraceIntensityRow(Frame(), kFirstTrace + 1, previous, trace);
    EXPECT_EQ(trace.start, (PlotPoint{129, 193}));
    EXPECT_TRUE(trace.segments[0].rising);
    TraceIntensityRow(Frame(), kLastTrace, previous, trace);
    EXPECT_EQ(trace.start, (PlotPoint{9, 313}));
    EXPECT_FALSE(trace.segments[0].rising);
}

}  // namespace
}  // namespace talvor
