#include "processing/ui/merge_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/session.h"
#include "processing/merge_mode.h"
#include "processing/processing_state.h"

namespace talvor {
namespace {

constexpr int kPositionWidth = 60;
// Beside the picture, so that the frame stays in view while positions are marked.
constexpr int kOffsetFromParentX = 530;
constexpr int kOffsetFromParentY = 90;

const QString kHelpCaption = QStringLiteral("TALVOR - Control Merging");
const QString kHelpText = QStringLiteral(
    "Mark the position in the displayed image by pressing the left Mouse button. Then load the "
    "image to be merged by using the File/Open Menu Option. Mark the position to be matched on, "
    "and press the MERGE button.\n\nCheck the Average box if you want an average rather than "
    "addition.");

QLineEdit* PositionField(const char* name, QWidget* owner) {
    auto* field = new QLineEdit(owner);
    field->setObjectName(name);
    // The fields show the marked positions; what is typed there is never read back.
    field->setReadOnly(true);
    field->setFixedWidth(kPositionWidth);
    return field;
}

QRadioButton* Indicator(const QString& text, QWidget* owner) {
    auto* radio = new QRadioButton(text, owner);
    // Which position the next pick sets follows Open, not a click here.
    radio->setAttribute(Qt::WA_TransparentForMouseEvents);
    radio->setFocusPolicy(Qt::NoFocus);
    return radio;
}

}  // namespace

TMergeDialog::TMergeDialog(Session& session, std::function<void()> afterMerge, QWidget* parent)
    : QDialog(parent), session_(session), afterMerge_(std::move(afterMerge)) {
    setWindowTitle(QStringLiteral("MERGE IMAGES"));
    setModal(false);
    showHelp = [this](const QString& caption, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, this);
        box.exec();
    };

    auto* group = new QGroupBox(this);
    original_ = Indicator(QStringLiteral("Original  Image"), group);
    mergeImage_ = Indicator(QStringLiteral("Merge Image"), group);
    referenceX_ = PositionField("referenceX", group);
    referenceY_ = PositionField("referenceY", group);
    mergeX_ = PositionField("mergeX", group);
    mergeY_ = PositionField("mergeY", group);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("x         y"), group), 0, 1, 1, 2);
    grid->addWidget(original_, 1, 0);
    grid->addWidget(referenceX_, 1, 1);
    grid->addWidget(referenceY_, 1, 2);
    grid->addWidget(mergeImage_, 2, 0);
    grid->addWidget(mergeX_, 2, 1);
    grid->addWidget(mergeY_, 2, 2);

    average_ = new QCheckBox(QStringLiteral("Average"), this);
    centreOnStar_ = new QCheckBox(QStringLiteral("Centre on Star"), this);
    connect(average_, &QCheckBox::clicked, this, [this] { ToggleMergeAverage(session_); });
    connect(centreOnStar_, &QCheckBox::clicked, this, [this] { ToggleCentreOnStar(session_); });

    auto* merge = new QPushButton(QStringLiteral("Merge"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    merge->setAutoDefault(false);
    cancel->setAutoDefault(false);
    help->setAutoDefault(false);
    connect(merge, &QPushButton::clicked, this, &TMergeDialog::PressMergeButton);
    connect(cancel, &QPushButton::clicked, this, &TMergeDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(kHelpCaption, kHelpText); });

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(average_);
    boxes->addWidget(centreOnStar_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(merge);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(boxes);
    layout->addLayout(buttons);

    if (parent != nullptr) {
        move(parent->pos() + QPoint(kOffsetFromParentX, kOffsetFromParentY));
    }
    CalibrationOf(session_).Merge.FieldsChanged = [this] { RefreshFields(); };
    RefreshFields();
}

TMergeDialog::~TMergeDialog() {
    CalibrationOf(session_).Merge.FieldsChanged = nullptr;
}

void TMergeDialog::showEvent(QShowEvent* event) {
    RefreshFields();
    QDialog::showEvent(event);
}

void TMergeDialog::RefreshFields() {
    const MergeState& merge = CalibrationOf(session_).Merge;
    referenceX_->setText(QString::number(merge.ReferenceX));
    referenceY_->setText(QString::number(merge.ReferenceY));
    mergeX_->setText(QString::number(merge.MergeX));
    mergeY_->setText(QString::number(merge.MergeY));
    average_->setChecked(merge.Average);
    centreOnStar_->setChecked(merge.CentreOnStar);
    original_->setChecked(merge.MarkingReference);
    mergeImage_->setChecked(!merge.MarkingReference);
}

void TMergeDialog::PressMergeButton() {
    if (PressMerge(session_) == MergePress::Ignored) {
        return;
    }
    accept();
    if (afterMerge_) {
        afterMerge_();
    }
}

void TMergeDialog::reject() {
    CancelMerging(session_);
    QDialog::reject();
}

}  // namespace talvor
