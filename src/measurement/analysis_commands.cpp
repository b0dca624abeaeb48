#include "measurement/analysis_commands.h"

#include "core/messages.h"
#include "core/session.h"

namespace talvor {
namespace {

constexpr int kMessageModesClash = 37;
constexpr int kMessageRowPlotGeometry = 47;

}  // namespace

AnalysisOpen BeginHistogram(Session& session) {
    AnalysisWindows& analysis = session.modes.Analysis;
    if (analysis.HistogramOpen) {
        return AnalysisOpen::Refused;
    }
    analysis.HistogramOpen = true;
    return AnalysisOpen::Open;
}

void EndHistogram(Session& session) {
    session.modes.Analysis.HistogramOpen = false;
}

AnalysisOpen BeginIntensityPlot(Session& session) {
    AnalysisWindows& analysis = session.modes.Analysis;
    if (analysis.IntensityPlotOpen || session.modes.RowPlotMode) {
        return AnalysisOpen::Refused;
    }
    analysis.PlotSource = &session.images.CurrentImage;
    analysis.IntensityPlotOpen = true;
    return AnalysisOpen::Open;
}

void EndIntensityPlot(Session& session) {
    session.modes.Analysis.IntensityPlotOpen = false;
}

AnalysisOpen BeginRowPlot(Session& session) {
    MouseModes& modes = session.modes;
    if (modes.MergeMode || modes.PhotometryMode) {
        ReportMessage(session.ui, kMessageModesClash);
        return AnalysisOpen::Refused;
    }
    if (modes.Analysis.IntensityPlotOpen || modes.RowPlotMode) {
        return AnalysisOpen::Refused;
    }
    if (DisplayIsStretched(session.state)) {
        ReportMessage(session.ui, kMessageRowPlotGeometry);
        return AnalysisOpen::Refused;
    }
    modes.Analysis.PlotRow = kStartPlotRow;
    modes.Analysis.PlotSource = &session.images.CurrentImage;
    modes.RowPlotMode = true;
    return AnalysisOpen::Open;
}

void EndRowPlot(Session& session) {
    session.modes.RowPlotMode = false;
}

void PickPlotRow(Session& session, int row) {
    AnalysisWindows& analysis = session.modes.Analysis;
    analysis.PlotRow = row;
    if (analysis.RowPicked) {
        analysis.RowPicked();
    }
}

void NarrowRowAverage(Session& session) {
    int32_t& rows = session.modes.Analysis.RowsToAverage;
    if (rows > 2) {
        rows -= 2;
    }
}

void WidenRowAverage(Session& session) {
    int32_t& rows = session.modes.Analysis.RowsToAverage;
    if (rows < kMaxRowsToAverage - 1) {
        rows += 2;
    }
}

}  // namespace talvor
