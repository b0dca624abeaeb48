#include "guiding/ui/guiding_info_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace talvor {
namespace {

// The cross reaches this far from the reference: 20 left, right and down, 18 up.
constexpr int kCrossSide = 20;
constexpr int kCrossUp = 18;
constexpr int kFrameSide = 128;
constexpr int kWindowWidth = 470;
constexpr int kWindowHeight = 280;
constexpr int kFieldsLeft = 230;
constexpr int kFieldWidth = 60;
constexpr int kFieldHeight = 22;
constexpr int kRowHeight = 28;
constexpr int kFieldsTop = 70;
constexpr int kColumnGap = 6;
// The offsets in pixels and in arc-seconds stand in two columns beside dx and dy.
constexpr int kPixelsLeft = kFieldsLeft + 26 + kFieldWidth + kColumnGap;
constexpr int kArcsecLeft = kPixelsLeft + kFieldWidth + kColumnGap;
constexpr int kRmsLabelWidth = 56;

QLineEdit* AddReadOnly(QWidget* owner, const char* name, int left, int top, int width) {
    auto* field = new QLineEdit(owner);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setGeometry(left, top, width, kFieldHeight);
    return field;
}

QLineEdit* AddField(QWidget* owner, const char* name, int left, int top) {
    auto* label = new QLabel(QString::fromLatin1(name), owner);
    label->setGeometry(left, top, 24, kFieldHeight);
    return AddReadOnly(owner, name, left + 26, top, kFieldWidth);
}

void AddHeading(QWidget* owner, const char* text, int left) {
    auto* heading = new QLabel(QString::fromLatin1(text), owner);
    heading->setGeometry(left, kFieldsTop - kFieldHeight, kFieldWidth, kFieldHeight);
}

}  // namespace

// The guide frame and the reference cross, over the "Guiding frame" box. It covers every place
// the cross can reach and draws nothing else, so the window shows through around the frame.
class GuideFramePicture : public QWidget {
  public:
    explicit GuideFramePicture(QWidget* parent) : QWidget(parent) {
        setGeometry(TInfoDialog::kFrameLeft - kCrossSide, TInfoDialog::kFrameTop - kCrossUp,
                    kFrameSide + 2 * kCrossSide, kFrameSide + kCrossUp + kCrossSide);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    void Show(const GuidingInfoContent& content) {
        ready_ = content.frameReady;
        reference_ = content.reference;
        if (ready_) {
            // The bitmap loaded before is let go; a file that cannot be read leaves no picture.
            frame_ = QImage(QString::fromStdString(content.frameBitmap.string()), "BMP");
        }
        update();
    }
    const QImage& Frame() const { return frame_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (!ready_) {
            return;
        }
        QPainter painter(this);
        // The frame's top-left corner in this widget.
        const QPoint corner(kCrossSide, kCrossUp);
        if (!frame_.isNull()) {
            painter.drawImage(corner, frame_);
        }
        painter.setPen(QPen(Qt::red, 1, Qt::SolidLine));
        const int x = corner.x() + reference_.x;
        const int y = corner.y() + reference_.y;
        painter.drawLine(x - kCrossSide, y, x + kCrossSide, y);
        painter.drawLine(x, y - kCrossUp, x, y + kCrossSide);
    }

  private:
    QImage frame_;
    bool ready_ = false;
    PixelPosition reference_;
};

TInfoDialog::TInfoDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kGuidingInfoTitle));
    setModal(false);
    setFixedSize(kWindowWidth, kWindowHeight);

    auto* line =
        new QLabel(QStringLiteral("Offsets from top left hand corner of displayed frame"), this);
    line->setWordWrap(true);
    line->setGeometry(kFieldsLeft, 8, kWindowWidth - kFieldsLeft - 10, 36);
    const int top = kFieldsTop;
    x_ = AddField(this, "x", kFieldsLeft, top);
    y_ = AddField(this, "y", kFieldsLeft, top + kRowHeight);
    dx_ = AddField(this, "dx", kFieldsLeft, top + 2 * kRowHeight);
    dy_ = AddField(this, "dy", kFieldsLeft, top + 3 * kRowHeight);
    AddHeading(this, "pixels", kPixelsLeft);
    AddHeading(this, "arc-sec", kArcsecLeft);
    dxPixels_ = AddReadOnly(this, "dxPixels", kPixelsLeft, top + 2 * kRowHeight, kFieldWidth);
    dyPixels_ = AddReadOnly(this, "dyPixels", kPixelsLeft, top + 3 * kRowHeight, kFieldWidth);
    dxArcsec_ = AddReadOnly(this, "dxArcsec", kArcsecLeft, top + 2 * kRowHeight, kFieldWidth);
    dyArcsec_ = AddReadOnly(this, "dyArcsec", kArcsecLeft, top + 3 * kRowHeight, kFieldWidth);

    const int rmsWidth = kArcsecLeft + kFieldWidth - kFieldsLeft - kRmsLabelWidth;
    auto* raLabel = new QLabel(QStringLiteral("RMS RA"), this);
    raLabel->setGeometry(kFieldsLeft, top + 4 * kRowHeight, kRmsLabelWidth, kFieldHeight);
    raRms_ =
        AddReadOnly(this, "raRms", kFieldsLeft + kRmsLabelWidth, top + 4 * kRowHeight, rmsWidth);
    auto* decLabel = new QLabel(QStringLiteral("RMS Dec"), this);
    decLabel->setGeometry(kFieldsLeft, top + 5 * kRowHeight, kRmsLabelWidth, kFieldHeight);
    decRms_ =
        AddReadOnly(this, "decRms", kFieldsLeft + kRmsLabelWidth, top + 5 * kRowHeight, rmsWidth);
    log_ = new QLabel(this);
    log_->setObjectName(QStringLiteral("log"));
    log_->setGeometry(12, kWindowHeight - 30, kWindowWidth - 24, kFieldHeight);

    auto* frameBox = new QGroupBox(QStringLiteral("Guiding frame"), this);
    frameBox->setObjectName("guidingFrame");
    frameBox->setGeometry(kFrameLeft - 12, kFrameTop - 28, kFrameSide + 24, kFrameSide + 40);
    picture_ = new GuideFramePicture(this);
    picture_->raise();
}

void TInfoDialog::ShowContent(const GuidingInfoContent& content) {
    x_->setText(QString::fromStdString(content.x));
    y_->setText(QString::fromStdString(content.y));
    dx_->setText(QString::fromStdString(content.dx));
    dy_->setText(QString::fromStdString(content.dy));
    dxPixels_->setText(QString::fromStdString(content.dxPixels));
    dyPixels_->setText(QString::fromStdString(content.dyPixels));
    dxArcsec_->setText(QString::fromStdString(content.dxArcsec));
    dyArcsec_->setText(QString::fromStdString(content.dyArcsec));
    raRms_->setText(QString::fromStdString(content.raRms));
    decRms_->setText(QString::fromStdString(content.decRms));
    log_->setText(QString::fromStdString(content.log));
    picture_->Show(content);
}

const QImage& TInfoDialog::Frame() const {
    return picture_->Frame();
}

}  // namespace talvor
