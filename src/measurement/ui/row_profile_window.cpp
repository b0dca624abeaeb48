#include "measurement/ui/row_profile_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>

#include "core/session.h"
#include "measurement/analysis_commands.h"
#include "measurement/row_profile.h"
#include "ui/arrow_scroll_bar.h"

namespace talvor {
namespace {

QString FromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QColor kGrey(128, 128, 128);
constexpr int kControlsTop = 212;
constexpr int kWidth = 530;
constexpr int kHeight = 252;

}  // namespace

TRowDialog::TRowDialog(Session& session, QWidget* picture, QWidget* parent)
    : QDialog(parent), session_(session), picture_(picture) {
    setWindowTitle(QStringLiteral("INTENSITY PROFILE OF ONE OR MORE ROWS"));
    setModal(false);
    setFixedSize(kWidth, kHeight);
    showNotice = [this](const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box.exec();
    };

    auto* rowLabel = new QLabel(QStringLiteral("Row"), this);
    rowLabel->setGeometry(8, kControlsTop, 30, 26);
    row_ = new QLineEdit(this);
    row_->setObjectName("rowField");
    row_->setReadOnly(true);
    row_->setFocusPolicy(Qt::NoFocus);
    row_->setGeometry(40, kControlsTop, 50, 26);
    auto* averageLabel = new QLabel(QStringLiteral("Rows to Average"), this);
    averageLabel->setGeometry(104, kControlsTop, 110, 26);
    rowsToAverage_ = new QLineEdit(this);
    rowsToAverage_->setObjectName("rowsToAverageField");
    rowsToAverage_->setReadOnly(true);
    rowsToAverage_->setFocusPolicy(Qt::NoFocus);
    rowsToAverage_->setGeometry(214, kControlsTop, 40, 26);
    rowsBar_ = new ArrowScrollBar(Qt::Horizontal, this);
    rowsBar_->setObjectName("rowsToAverageBar");
    rowsBar_->setGeometry(258, kControlsTop + 4, 40, 18);
    connect(rowsBar_, &ArrowScrollBar::lineUp, this, [this] {
        NarrowRowAverage(session_);
        ShowNumbers();
    });
    connect(rowsBar_, &ArrowScrollBar::lineDown, this, [this] {
        WidenRowAverage(session_);
        ShowNumbers();
    });

    auto* finished = new QPushButton(QStringLiteral("Finished"), this);
    finished->setObjectName("finishedButton");
    finished->setAutoDefault(false);
    finished->setGeometry(320, kControlsTop, 90, 28);
    connect(finished, &QPushButton::clicked, this, &QDialog::close);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName("helpButton");
    help->setAutoDefault(false);
    help->setGeometry(420, kControlsTop, 90, 28);
    connect(help, &QPushButton::clicked, this, [this] {
        showNotice(FromText(kRowProfileHelpCaption), FromText(kRowProfileHelpText));
    });

    // Every way of closing ends the row plot: the button, the title bar, the Escape key.
    connect(this, &QDialog::finished, this, [this] {
        EndRowPlot(session_);
        if (picture_) {
            picture_->setCursor(Qt::ArrowCursor);
        }
    });
    session_.modes.Analysis.RowPicked = [this] { repaint(); };
    if (picture_) {
        picture_->setCursor(Qt::UpArrowCursor);
    }
    ShowNumbers();
}

TRowDialog::~TRowDialog() {
    session_.modes.Analysis.RowPicked = nullptr;
}

void TRowDialog::ShowNumbers() {
    row_->setText(QString::number(session_.modes.Analysis.PlotRow));
    rowsToAverage_->setText(QString::number(session_.modes.Analysis.RowsToAverage));
}

void TRowDialog::paintEvent(QPaintEvent*) {
    ShowNumbers();
    const AnalysisWindows& analysis = session_.modes.Analysis;
    const ImageBuffer& source =
        analysis.PlotSource != nullptr ? *analysis.PlotSource : session_.images.CurrentImage;
    if (const auto profile = RowProfile(source, analysis.PlotRow, analysis.RowsToAverage)) {
        DrawPlotArea(*profile);
    }
    // Rows that cannot be drawn leave the plot as it was.
    if (!plotArea_.isNull()) {
        QPainter painter(this);
        painter.drawImage(kRowPlotTopLeft.x, kRowPlotTopLeft.y, plotArea_);
    }
}

void TRowDialog::DrawPlotArea(const RowProfileLine& profile) {
    const QSize size(kRowPlotBottomRight.x - kRowPlotTopLeft.x,
                     kRowPlotBottomRight.y - kRowPlotTopLeft.y);
    if (plotArea_.isNull()) {
        plotArea_ = QImage(size, QImage::Format_RGB32);
    }
    QPainter painter(&plotArea_);
    // The picture's origin is the plot area's top-left corner in the window.
    painter.translate(-kRowPlotTopLeft.x, -kRowPlotTopLeft.y);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(QPoint(kRowPlotTopLeft.x, kRowPlotTopLeft.y),
                           QPoint(kRowPlotBottomRight.x - 1, kRowPlotBottomRight.y - 1)));
    QPolygon line;
    line.reserve(static_cast<int>(profile.size()));
    for (const PlotPoint& point : profile) {
        line << QPoint(point.x, point.y);
    }
    painter.setPen(kGrey);
    painter.drawPolyline(line);
}

}  // namespace talvor
