#include "processing/ui/stretch_dialog.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>

#include "processing/histogram_panel.h"
#include "processing/ui/dialog_parts.h"
#include "ui/slider_actions.h"

namespace talvor {
namespace {

// The panel and the marker band take the top of the client area; the controls sit below.
constexpr int kPanelHeight = 240;
constexpr int kPanelWidth = 272;

QColor ColourOf(PanelPen pen) {
    switch (pen) {
        case PanelPen::Blue:
            return QColor(0, 0, 255);
        case PanelPen::Red:
            return QColor(255, 0, 0);
        case PanelPen::Grey:
            return QColor(128, 128, 128);
        case PanelPen::Black:
            break;
    }
    return QColor(0, 0, 0);
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Draws the line pixel by pixel from its first point up to, not including, its last: the lines
// of the panel are level, upright or at 45 degrees.
void DrawPanelLine(QPainter& painter, const PanelLine& line) {
    const QColor colour = ColourOf(line.pen);
    const int dx = Sign(line.x1 - line.x0);
    const int dy = Sign(line.y1 - line.y0);
    const int length = std::max(std::abs(line.x1 - line.x0), std::abs(line.y1 - line.y0));
    if (length == 0) {
        return;
    }
    if (dx == 0 || dy == 0) {
        const int lastX = line.x0 + dx * (length - 1);
        const int lastY = line.y0 + dy * (length - 1);
        painter.fillRect(QRect(QPoint(std::min(line.x0, lastX), std::min(line.y0, lastY)),
                               QPoint(std::max(line.x0, lastX), std::max(line.y0, lastY))),
                         colour);
        return;
    }
    painter.setPen(colour);
    for (int step = 0; step < length; ++step) {
        painter.drawPoint(line.x0 + dx * step, line.y0 + dy * step);
    }
}

}  // namespace

TStretchDialog::TStretchDialog(const std::array<uint32_t, 257>& histogram, QWidget* parent)
    : QDialog(parent),
      histogram_(histogram),
      black_(ParameterBar("blackBar", 0, 255, 180, this)),
      white_(ParameterBar("whiteBar", 1, 300, 180, this)),
      blackValue_(ValueBox("blackEdit", this)),
      whiteValue_(ValueBox("whiteEdit", this)) {
    setWindowTitle(QStringLiteral("Normal Stretch"));
    setAutoFillBackground(true);

    QGridLayout* grid = LayOutTwoBars(this, {"Black", black_, blackValue_},
                                      {"White", white_, whiteValue_}, [this] { ShowHelp(); });
    grid->setContentsMargins(8, kPanelHeight, 8, 8);
    setMinimumWidth(kPanelWidth + 16);

    connect(black_, &QScrollBar::actionTriggered, this, &TStretchDialog::OnBlackAction);
    connect(white_, &QScrollBar::actionTriggered, this, &TStretchDialog::OnWhiteAction);
    ShowLevels();
}

void TStretchDialog::OnBlackAction(int action) {
    if (const auto scroll = ScrollActionOf(action)) {
        levels_ = AfterBlackScroll(levels_, *scroll, black_->sliderPosition());
    }
    ShowLevels();
}

void TStretchDialog::OnWhiteAction(int action) {
    if (const auto scroll = ScrollActionOf(action)) {
        levels_ = AfterWhiteScroll(levels_, *scroll, white_->sliderPosition());
    }
    ShowLevels();
}

void TStretchDialog::ShowLevels() {
    black_->setValue(static_cast<int>(levels_.black));
    white_->setValue(static_cast<int>(levels_.white));
    blackValue_->setText(QString::number(levels_.black));
    whiteValue_->setText(QString::number(levels_.white));
    update(QRect(0, 0, kPanelWidth, kPanelHeight));
}

void TStretchDialog::ShowHelp() {
    ShowHelpBox(this, QStringLiteral("Talvor - Normal Stretch"),
                QStringLiteral("Use controls to vary intensity from 0 to 255, where the "
                               "lowest value will be shown as black and the highest by "
                               "white. It is possible to darken the image overall by "
                               "increasing the white level to 300."));
    update(QRect(0, 0, kPanelWidth, kPanelHeight));
}

void TStretchDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    for (const PanelLine& line : HistogramPanelLines(histogram_)) {
        DrawPanelLine(painter, line);
    }
    const PanelRect band = kMarkerBand;
    painter.fillRect(QRect(band.left, band.top, band.right - band.left, band.bottom - band.top),
                     Qt::white);
    for (const PanelLine& line : LevelMarkerLines(levels_)) {
        DrawPanelLine(painter, line);
    }
}

}  // namespace talvor
