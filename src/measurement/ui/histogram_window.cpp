#include "measurement/ui/histogram_window.h"

#include <QFontDatabase>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

#include "core/session.h"
#include "measurement/analysis_commands.h"
#include "measurement/histogram_listing.h"

namespace talvor {
namespace {

QString FromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGrey(128, 128, 128);

// The axes: up the left side and along the bottom, with ticks at every 32 high bytes, longer
// at a quarter, a half and three quarters of the scale.
constexpr int kAxisLeft = 5;
constexpr int kAxisTop = 5;
constexpr int kAxisBottom = 213;
constexpr int kAxisRight = 263;
struct Tick {
    int x;
    int bottom;
};
constexpr Tick kTicks[] = {{40, 217},  {72, 220},  {104, 217}, {136, 224},
                           {168, 217}, {200, 220}, {232, 217}, {264, 217}};
const QRect kListingArea(QPoint(270, 2), QPoint(350, 270));

constexpr int kWidth = 360;
constexpr int kHeight = 310;

}  // namespace

THistDialog::THistDialog(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setWindowTitle(QStringLiteral("Histogram of Current Image"));
    setModal(false);
    setFixedSize(kWidth, kHeight);
    showNotice = [this](const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box.exec();
    };

    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName("closeButton");
    close->setAutoDefault(false);
    close->setGeometry(60, 275, 90, 28);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName("helpButton");
    help->setAutoDefault(false);
    help->setGeometry(170, 275, 90, 28);
    connect(help, &QPushButton::clicked, this,
            [this] { showNotice(FromText(kHistogramHelpCaption), FromText(kHistogramHelpText)); });

    connect(this, &QDialog::finished, this, [this] { EndHistogram(session_); });
}

void THistDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(kBlue);
    painter.drawLine(kAxisLeft, kAxisTop, kAxisLeft, kAxisBottom);
    painter.drawLine(kAxisLeft, kAxisBottom, kAxisRight, kAxisBottom);
    for (const Tick& tick : kTicks) {
        painter.drawLine(tick.x, kAxisBottom, tick.x, tick.bottom);
    }

    const BrightnessCounts& counts = session_.display.BrightnessHistogram;
    const auto bars = HistogramBars(counts);
    // A bar of height h covers h pixels, from the floor row up; an empty bar draws nothing.
    for (int k = 0; k < static_cast<int>(bars.size()); ++k) {
        if (bars[k].height == 0) {
            continue;
        }
        const int x = k + kHistogramBarLeft;
        painter.setPen(bars[k].cut ? kRed : kGrey);
        painter.drawLine(x, kHistogramBarFloor, x, kHistogramBarFloor + 1 - bars[k].height);
    }

    listing_ = QString::fromStdString(HistogramListing(counts));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(kListingArea, Qt::AlignLeft | Qt::AlignTop, listing_);
}

}  // namespace talvor
