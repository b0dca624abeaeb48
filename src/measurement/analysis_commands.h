#pragma once

namespace talvor {

struct Session;

// The rules of the histogram, 3-D plot and row profile commands. Each says whether its window
// is to be opened; the window's own button ends it. None of them changes the picture.
enum class AnalysisOpen { Open, Refused };

// "Histogram": nothing while the histogram is open.
AnalysisOpen BeginHistogram(Session& session);
void EndHistogram(Session& session);

// "3-D Intensity Plot": nothing while the 3-D plot is open or the row profile takes clicks.
// Takes the current image as the plot's source.
AnalysisOpen BeginIntensityPlot(Session& session);
void EndIntensityPlot(Session& session);

// "Intensity Plot of Current Row": refused with its message while photometry or merging takes
// the clicks, silently while the 3-D plot or the row profile is open, with its message while
// the picture is stretched or in Zenka geometry. Otherwise the profile starts at row 127, on
// the current image, and clicks pick its row.
AnalysisOpen BeginRowPlot(Session& session);
void EndRowPlot(Session& session);

// A click on the picture while the row profile is open: its row, redrawn at once.
void PickPlotRow(Session& session, int row);
// The "Rows to Average" spin bar: two rows fewer (down to 1) or more (up to 51).
void NarrowRowAverage(Session& session);
void WidenRowAverage(Session& session);

}  // namespace talvor
