#include "app/ui/talvor_window.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

#include "core/session.h"
#include "display/background_estimate.h"
#include "display/refresh_display.h"
#include "image/settings_file.h"
#include "measurement/ui/picture_mouse.h"

namespace talvor {
namespace {

constexpr int kInitialScrollRange = 200;
constexpr int kCrossArm = 20;

}  // namespace

TTalvorWindow::TTalvorWindow(Session& session, QWidget* parent)
    : QAbstractScrollArea(parent), session_(session) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    horizontalScrollBar()->setRange(0, kInitialScrollRange);
    verticalScrollBar()->setRange(0, kInitialScrollRange);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    setFrameShape(QFrame::NoFrame);
    // A missing or unreadable settings file leaves the built-in defaults; nothing to report.
    ReadSettings(session_);
    TakeBackgroundFromSettings();
}

void TTalvorWindow::TakeBackgroundFromSettings() {
    const Rgb colour = talvor::BackgroundColour(session_.settings.Background);
    background_ = QColor(colour.red, colour.green, colour.blue);
}

bool TTalvorWindow::LoadDisplayBitmap(const QString& file) {
    QImage loaded(file, "BMP");
    if (loaded.isNull()) {
        return false;
    }
    bitmap_ = std::move(loaded);
    SetUpScrolling();
    return true;
}

void TTalvorWindow::SetUpScrolling() {
    const QSize client = viewport()->size();
    const bool fit = session_.state.FitToWindow || bitmap_.isNull();
    const int horizontal = fit ? 0 : std::max(0, bitmap_.width() - client.width());
    const int vertical = fit ? 0 : std::max(0, bitmap_.height() - client.height());
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setPageStep(client.height());
    horizontalScrollBar()->setRange(0, horizontal);
    verticalScrollBar()->setRange(0, vertical);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void TTalvorWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (!bitmap_.isNull()) {
        SetUpScrolling();
    }
}

void TTalvorWindow::scrollContentsBy(int, int) {
    viewport()->update();
}

void TTalvorWindow::mouseReleaseEvent(QMouseEvent* event) {
    HandlePictureMouse(session_, *this, *event);
}

void TTalvorWindow::mouseMoveEvent(QMouseEvent* event) {
    HandlePictureMouse(session_, *this, *event);
}

void TTalvorWindow::paintEvent(QPaintEvent*) {
    if (session_.display.RefreshPending) {
        session_.display.RefreshPending = false;
        RefreshDisplay(session_);
    }
    if (session_.display.BackgroundChanged) {
        session_.display.BackgroundChanged = false;
        TakeBackgroundFromSettings();
    }

    QPainter painter(viewport());
    const QRect client = viewport()->rect();
    if (bitmap_.isNull()) {
        painter.fillRect(client, background_);
    } else if (session_.state.FitToWindow || window()->isMinimized()) {
        painter.drawImage(client, bitmap_);
    } else {
        const QPoint origin(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
        painter.drawImage(origin, bitmap_);
        const int right = origin.x() + bitmap_.width();
        const int bottom = origin.y() + bitmap_.height();
        painter.fillRect(QRect(right, 0, client.width() - right, client.height()), background_);
        painter.fillRect(QRect(0, bottom, client.width(), client.height() - bottom), background_);
    }

    if (!session_.modes.PhotometryMode && !session_.guiding.PickMode &&
        !session_.modes.RowPlotMode) {
        viewport()->setCursor(Qt::ArrowCursor);
    }
    if (session_.guiding.StarPicked && session_.guiding.PickMode) {
        PaintPickedStarCross(painter);
        session_.guiding.SnapToStar = true;
        session_.guiding.MeasureRadius = session_.settings.GuideStarMaskRadius;
    }
    EstimateBackground(session_.display, session_.images.CurrentImage);
}

void TTalvorWindow::PaintPickedStarCross(QPainter& painter) const {
    const auto [x, y] = session_.guiding.PickedStarPosition;
    painter.setPen(QPen(Qt::green, 1, Qt::SolidLine));
    painter.drawLine(x, y - kCrossArm, x, y + kCrossArm);
    painter.drawLine(x - kCrossArm, y, x + kCrossArm, y);
}

}  // namespace talvor
