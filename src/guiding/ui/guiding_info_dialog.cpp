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
constexpr int kWindowWidth = 380;
constexpr int kWindowHeight = 250;
constexpr int kFieldsLeft = 230;
constexpr int kFieldWidth = 60;
constexpr int kFieldHeight = 22;
constexpr int kRowHeight = 28;

QLineEdit* AddField(QWidget* owner, const char* name, int left, int top) {
    auto* label = new QLabel(QString::fromLatin1(name), owner);
    label->setGeometry(left, top, 24, kFieldHeight);
    auto* field = new QLineEdit(owner);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setGeometry(left + 26, top, kFieldWidth, kFieldHeight);
    return field;
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
    line->setGeometry(kFieldsLeft, 20, kWindowWidth - kFieldsLeft - 10, 40);
    const int top = 70;
    x_ = AddField(this, "x", kFieldsLeft, top);
    y_ = AddField(this, "y", kFieldsLeft, top + kRowHeight);
    dx_ = AddField(this, "dx", kFieldsLeft, top + 2 * kRowHeight);
    dy_ = AddField(this, "dy", kFieldsLeft, top + 3 * kRowHeight);

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
    picture_->Show(content);
}

const QImage& TInfoDialog::Frame() const {
    return picture_->Frame();
}

}  // namespace talvor
