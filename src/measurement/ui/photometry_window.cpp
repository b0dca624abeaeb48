#include "measurement/ui/photometry_window.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/session.h"
#include "measurement/photometry.h"

namespace talvor {
namespace {

QString FromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

struct MaskButton {
    int radius;
    const char* text;
    const char* name;
};
constexpr MaskButton kMaskButtons[] = {
    {0, "Single Pixel", "mask1"}, {2, "5 Pixels", "mask5"},   {3, "7 Pixels", "mask7"},
    {4, "9 Pixels", "mask9"},     {6, "13 Pixels", "mask13"}, {8, "17 Pixels", "mask17"},
};

struct TargetButton {
    PhotometryTarget target;
    const char* text;
    const char* name;
};
constexpr TargetButton kTargetButtons[] = {
    {PhotometryTarget::Object, "Object", "objectButton"},
    {PhotometryTarget::Comparison, "Comparison", "comparisonButton"},
    {PhotometryTarget::Background, "Background", "backgroundButton"},
};

constexpr int kPositionWidth = 50;
constexpr int kValueWidth = 70;

}  // namespace

TPHDialog::TPHDialog(Session& session, QWidget* picture, QWidget* parent)
    : QDialog(parent), session_(session), picture_(picture) {
    setWindowTitle(QStringLiteral("PHOTOMETRY"));
    setModal(false);
    showNotice = [this](const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box.exec();
    };

    objectX_ = Field("objectX", kPositionWidth);
    objectY_ = Field("objectY", kPositionWidth);
    objectValue_ = Field("objectValue", kValueWidth);
    comparisonX_ = Field("comparisonX", kPositionWidth);
    comparisonY_ = Field("comparisonY", kPositionWidth);
    comparisonValue_ = Field("comparisonValue", kValueWidth);
    backgroundX_ = Field("backgroundX", kPositionWidth);
    backgroundY_ = Field("backgroundY", kPositionWidth);
    backgroundValue_ = Field("backgroundValue", kValueWidth);
    magnitude_ = Field("magnitude", kValueWidth);
    cursorX_ = Field("cursorX", kPositionWidth);
    cursorY_ = Field("cursorY", kPositionWidth);
    cursorValue_ = Field("cursorValue", kValueWidth);

    auto* measurements = new QGridLayout;
    measurements->addWidget(new QLabel(QStringLiteral("x")), 0, 1, Qt::AlignHCenter);
    measurements->addWidget(new QLabel(QStringLiteral("y")), 0, 2, Qt::AlignHCenter);
    measurements->addWidget(new QLabel(QStringLiteral("Value")), 0, 3, Qt::AlignHCenter);
    targets_ = new QButtonGroup(this);
    QLineEdit* const rows[][3] = {{objectX_, objectY_, objectValue_},
                                  {comparisonX_, comparisonY_, comparisonValue_},
                                  {backgroundX_, backgroundY_, backgroundValue_}};
    for (int row = 0; row < 3; ++row) {
        const TargetButton& target = kTargetButtons[row];
        auto* button = new QRadioButton(QString::fromLatin1(target.text));
        button->setObjectName(target.name);
        targets_->addButton(button, row);
        measurements->addWidget(button, row + 1, 0);
        for (int column = 0; column < 3; ++column) {
            measurements->addWidget(rows[row][column], row + 1, column + 1);
        }
    }
    measurements->addWidget(new QLabel(QStringLiteral("Magnitude difference")), 4, 0, 1, 3,
                            Qt::AlignRight);
    measurements->addWidget(magnitude_, 4, 3);
    // Under the magnitude, so that the fields above keep their places whether it shows or not.
    magnitudeNote_ = new QLabel;
    magnitudeNote_->setObjectName("magnitudeNote");
    magnitudeNote_->setStyleSheet(QStringLiteral("color: #b00000;"));
    magnitudeNote_->setMinimumHeight(magnitudeNote_->fontMetrics().height());
    measurements->addWidget(magnitudeNote_, 5, 0, 1, 4, Qt::AlignRight);
    connect(targets_, &QButtonGroup::idClicked, this,
            [this](int row) { ChooseTarget(session_, kTargetButtons[row].target); });

    auto* maskBox = new QGroupBox(QStringLiteral("Diameter of Mask"));
    auto* maskColumn = new QVBoxLayout(maskBox);
    masks_ = new QButtonGroup(this);
    for (const MaskButton& mask : kMaskButtons) {
        auto* button = new QRadioButton(QString::fromLatin1(mask.text));
        button->setObjectName(mask.name);
        masks_->addButton(button, mask.radius);
        maskColumn->addWidget(button);
    }
    connect(masks_, &QButtonGroup::idClicked, this,
            [this](int radius) { ChooseMask(session_, radius); });

    auto* cursorBox = new QGroupBox(QStringLiteral("Cursor Position"));
    auto* cursorGrid = new QGridLayout(cursorBox);
    cursorGrid->addWidget(new QLabel(QStringLiteral(" x           y            value")), 0, 0, 1,
                          3);
    cursorGrid->addWidget(cursorX_, 1, 0);
    cursorGrid->addWidget(cursorY_, 1, 1);
    cursorGrid->addWidget(cursorValue_, 1, 2);

    auto* finished = new QPushButton(QStringLiteral("Finished"));
    finished->setObjectName("finishedButton");
    finished->setAutoDefault(false);
    connect(finished, &QPushButton::clicked, this, &QDialog::close);
    auto* help = new QPushButton(QStringLiteral("Help"));
    help->setObjectName("helpButton");
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, [this] {
        showNotice(FromText(kPhotometryHelpCaption), FromText(kPhotometryHelpText));
    });

    auto* left = new QVBoxLayout;
    left->addLayout(measurements);
    left->addWidget(cursorBox);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(maskBox);
    right->addStretch();
    right->addWidget(finished);
    right->addWidget(help);
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addLayout(right);

    // Every way of closing ends photometry: the button, the title bar, the Escape key.
    connect(this, &QDialog::finished, this, [this] {
        FinishPhotometry(session_);
        if (picture_) {
            picture_->setCursor(Qt::ArrowCursor);
        }
    });
    session_.modes.Photometry.FieldsChanged = [this] { Refresh(); };
    if (picture_) {
        picture_->setCursor(Qt::CrossCursor);
    }
    Refresh();
}

TPHDialog::~TPHDialog() {
    session_.modes.Photometry.FieldsChanged = nullptr;
}

QLineEdit* TPHDialog::Field(const char* name, int width) {
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setFixedWidth(width);
    return field;
}

void TPHDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Refresh();
}

void TPHDialog::Refresh() {
    const PhotometryFields fields = PhotometryFieldTexts(session_);
    const std::pair<QLineEdit*, const std::string*> texts[] = {
        {objectX_, &fields.objectX},
        {objectY_, &fields.objectY},
        {objectValue_, &fields.objectValue},
        {comparisonX_, &fields.comparisonX},
        {comparisonY_, &fields.comparisonY},
        {comparisonValue_, &fields.comparisonValue},
        {backgroundX_, &fields.backgroundX},
        {backgroundY_, &fields.backgroundY},
        {backgroundValue_, &fields.backgroundValue},
        {magnitude_, &fields.magnitude},
        {cursorX_, &fields.cursorX},
        {cursorY_, &fields.cursorY},
        {cursorValue_, &fields.cursorValue},
    };
    for (const auto& [field, text] : texts) {
        const QString shown = QString::fromStdString(*text);
        if (field->text() != shown) {
            field->setText(shown);
        }
    }
    magnitudeNote_->setText(QString::fromStdString(fields.magnitudeNote));

    const QSignalBlocker blockMasks(masks_);
    masks_->button(ShownMaskRadius(session_.guiding.MeasureRadius))->setChecked(true);
    const QSignalBlocker blockTargets(targets_);
    int target = 2;
    if (session_.modes.Photometry.Target == PhotometryTarget::Object) {
        target = 0;
    } else if (session_.modes.Photometry.Target == PhotometryTarget::Comparison) {
        target = 1;
    }
    targets_->button(target)->setChecked(true);
}

}  // namespace talvor
