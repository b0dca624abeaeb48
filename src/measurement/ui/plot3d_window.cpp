#include "measurement/ui/plot3d_window.h"

#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "core/session.h"
#include "measurement/analysis_commands.h"
#include "measurement/intensity_plot.h"
#include "measurement/ui/intensity_plot_picture.h"

namespace talvor {
namespace {

QString FromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kButtonTop = kIntensityPlotHeight + 6;
constexpr int kHeight = kButtonTop + 36;

}  // namespace

T3DDialog::T3DDialog(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setWindowTitle(QStringLiteral("3-D Intensity Plot"));
    setModal(false);
    setFixedSize(kIntensityPlotWidth, kHeight);
    showNotice = [this](const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box.exec();
    };

    auto* finished = new QPushButton(QStringLiteral("Finished"), this);
    finished->setObjectName("finishedButton");
    finished->setAutoDefault(false);
    finished->setGeometry(200, kButtonTop, 100, 28);
    connect(finished, &QPushButton::clicked, this, &QDialog::close);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName("helpButton");
    help->setAutoDefault(false);
    help->setGeometry(340, kButtonTop, 100, 28);
    connect(help, &QPushButton::clicked, this, [this] {
        showNotice(FromText(kIntensityPlotHelpCaption), FromText(kIntensityPlotHelpText));
    });

    connect(this, &QDialog::finished, this, [this] {
        EndIntensityPlot(session_);
        picture_.reset();
    });
}

T3DDialog::~T3DDialog() = default;

void T3DDialog::paintEvent(QPaintEvent*) {
    if (!picture_) {
        const ImageBuffer* source = session_.modes.Analysis.PlotSource;
        picture_ = std::make_unique<IntensityPlotPicture>(
            source != nullptr ? *source : session_.images.CurrentImage);
        // The traces are drawn outside this paint, so that each can be shown as it is added.
        QTimer::singleShot(0, this, &T3DDialog::BuildPicture);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, picture_->Image());
}

void T3DDialog::BuildPicture() {
    while (picture_ && picture_->DrawNextTrace()) {
        repaint(0, 0, kIntensityPlotWidth, kIntensityPlotHeight);
    }
}

}  // namespace talvor
