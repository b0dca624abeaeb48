#include "measurement/ui/intensity_plot_picture.h"

#include <QPainter>
#include <QPolygon>

#include "measurement/intensity_plot.h"

namespace talvor {
namespace {

const QColor kRisingColour(192, 192, 192);
const QColor kFallingColour(128, 128, 128);

}  // namespace

IntensityPlotPicture::IntensityPlotPicture(const ImageBuffer& frame)
    : frame_(frame),
      image_(kIntensityPlotWidth, kIntensityPlotHeight, QImage::Format_RGB32),
      nextTrace_(kFirstTrace) {
    image_.fill(Qt::white);
}

bool IntensityPlotPicture::Complete() const {
    return nextTrace_ > kLastTrace;
}

bool IntensityPlotPicture::DrawNextTrace() {
    if (Complete()) {
        return false;
    }
    IntensityTrace trace;
    TraceIntensityRow(frame_, nextTrace_++, previous_, trace);

    // Segments of one colour in a row go out as one polyline; later segments still cover
    // earlier ones, as when each is drawn alone.
    QPainter painter(&image_);
    QPolygon run;
    QPoint last(trace.start.x, trace.start.y);
    bool runRising = false;
    const auto flush = [&] {
        if (run.size() > 1) {
            painter.setPen(QPen(runRising ? kRisingColour : kFallingColour, 0));
            painter.drawPolyline(run);
        }
        run.clear();
    };
    for (const TraceSegment& segment : trace.segments) {
        if (run.isEmpty() || segment.rising != runRising) {
            flush();
            run << last;
            runRising = segment.rising;
        }
        last = QPoint(segment.end.x, segment.end.y);
        run << last;
    }
    flush();
    return true;
}

void IntensityPlotPicture::DrawAll() {
    while (DrawNextTrace()) {
    }
}

}  // namespace talvor
