#include "image/ui/program_defaults_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <initializer_list>

#include "core/messages.h"
#include "core/session.h"
#include "image/settings_file.h"

namespace talvor {
namespace {

struct Choice {
    const char* text;
    DefaultsControl control;
};

constexpr int kNumberFieldWidth = 56;

}  // namespace

TINIDialog::TINIDialog(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setWindowTitle(QStringLiteral("Set Program Defaults"));

    auto* save = new QPushButton(QStringLiteral("Save Changes"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    // Return in a number field must not save: the fields are taken only by the controls.
    save->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &TINIDialog::SaveChanges);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    columns->addWidget(BuildRadioGroups());
    columns->addWidget(BuildSlewGroup());
    columns->addWidget(BuildOptionGroups());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    Redraw();
}

QAbstractButton* TINIDialog::AddControl(QAbstractButton* button, DefaultsControl control) {
    if (auto* push = qobject_cast<QPushButton*>(button)) {
        push->setAutoDefault(false);
    }
    controls_.emplace_back(button, control);
    connect(button, &QAbstractButton::clicked, this, [this, control] { Use(control); });
    return button;
}

QLineEdit* TINIDialog::AddNumberField() {
    auto* field = new QLineEdit(this);
    field->setMaximumWidth(kNumberFieldWidth);
    return field;
}

QWidget* TINIDialog::BuildRadioGroups() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto group = [this, layout](const char* title, std::initializer_list<Choice> choices,
                                      int perRow) {
        auto* box = new QGroupBox(QString::fromLatin1(title), this);
        auto* grid = new QGridLayout(box);
        int index = 0;
        for (const Choice& choice : choices) {
            auto* radio = new QRadioButton(QString::fromLatin1(choice.text), box);
            AddControl(radio, choice.control);
            grid->addWidget(radio, index / perRow, index % perRow);
            ++index;
        }
        layout->addWidget(box);
    };
    group("Radius of Guide Star Mask",
          {{"7 Pixels", DefaultsControl::MaskRadius7},
           {"8 Pixels", DefaultsControl::MaskRadius8},
           {"9 Pixels", DefaultsControl::MaskRadius9},
           {"11 Pixels", DefaultsControl::MaskRadius11},
           {"13 Pixels", DefaultsControl::MaskRadius13},
           {"15 Pixels", DefaultsControl::MaskRadius15}},
          2);
    group("Telescope Guiding",
          {{"None", DefaultsControl::TelescopeNone},
           {"Meade LX200 (Tm)", DefaultsControl::TelescopeMeadeLx200},
           {"Via Control Box", DefaultsControl::TelescopeControlBox}},
          1);
    group("Comm Port", {{"Com1", DefaultsControl::Com1}, {"Com2", DefaultsControl::Com2}}, 2);
    group("Default Guide Training Time",
          {{"1 Sec", DefaultsControl::TrainingOneSecond},
           {"2 Sec", DefaultsControl::TrainingTwoSeconds},
           {"4 Sec", DefaultsControl::TrainingFourSeconds}},
          3);
    group("Window Background",
          {{"Lt Gray", DefaultsControl::BackgroundLightGrey},
           {"Red", DefaultsControl::BackgroundRed},
           {"Gray", DefaultsControl::BackgroundGrey}},
          3);
    layout->addStretch();
    return column;
}

QWidget* TINIDialog::BuildSlewGroup() {
    auto* column = new QWidget(this);
    auto* grid = new QGridLayout(column);
    grid->setContentsMargins(0, 0, 0, 0);
    raRate_ = AddNumberField();
    decRate_ = AddNumberField();
    raBacklash_ = AddNumberField();
    decBacklash_ = AddNumberField();
    raHysteresis_ = AddNumberField();
    decHysteresis_ = AddNumberField();
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"RA pixels per sec", raRate_},
        {"Dec pixels per sec", decRate_},
        {"RA Backlash", raBacklash_},
        {"Dec Backlash", decBacklash_},
        {"Hysteresis in RA (0-10)", raHysteresis_},
        {"Hysteresis in Dec (0-20)", decHysteresis_},
    };
    int row = 0;
    for (const auto& [text, field] : fields) {
        auto* label = new QLabel(QString::fromLatin1(text), column);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        ++row;
    }
    grid->addWidget(AddControl(new QPushButton(QStringLiteral("Set slew values"), column),
                               DefaultsControl::SetSlewValues),
                    row++, 0, 1, 2);
    grid->addWidget(AddControl(new QCheckBox(QStringLiteral("Ignore drift < 1 pixel"), column),
                               DefaultsControl::IgnoreDrift),
                    row++, 0, 1, 2);
    grid->addWidget(
        AddControl(new QCheckBox(QStringLiteral("70 ms delay between\ndirection changes"), column),
                   DefaultsControl::DirectionChangeDelay),
        row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    return column;
}

QWidget* TINIDialog::BuildOptionGroups() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto checkBox = [this](const char* text, DefaultsControl control, QWidget* parent) {
        return AddControl(new QCheckBox(QString::fromLatin1(text), parent), control);
    };

    auto* misc = new QGroupBox(QStringLiteral("Miscellaneous"), column);
    auto* miscLayout = new QVBoxLayout(misc);
    miscLayout->addWidget(
        checkBox("1 sec delay when focussing", DefaultsControl::FocusDelay, misc));
    auto* interrupts = new QGroupBox(QStringLiteral("Disable Interrupts"), misc);
    auto* interruptsLayout = new QVBoxLayout(interrupts);
    interruptsLayout->addWidget(
        checkBox("during Download", DefaultsControl::DisableInterrupts, interrupts));
    miscLayout->addWidget(interrupts);
    miscLayout->addWidget(
        checkBox("Control Box long-delay", DefaultsControl::ControlBoxLongDelay, misc));
    miscLayout->addWidget(
        checkBox("Beep after Exposure ends", DefaultsControl::BeepAfterExposure, misc));
    miscLayout->addWidget(checkBox("Debug Mode", DefaultsControl::DebugMode, misc));
    layout->addWidget(misc);

    auto* drive = new QGroupBox(QStringLiteral("Telescope Drive Direction"), column);
    auto* driveLayout = new QVBoxLayout(drive);
    driveLayout->addWidget(checkBox("Swap n/s direction", DefaultsControl::SwapNorthSouth, drive));
    driveLayout->addWidget(checkBox("Swap e/w direction", DefaultsControl::SwapEastWest, drive));
    layout->addWidget(drive);

    auto* fits = new QGroupBox(QStringLiteral("FITs defaults"), column);
    auto* fitsLayout = new QVBoxLayout(fits);
    fitsLayout->addWidget(checkBox("Unsigned Integer Format", DefaultsControl::UnsignedFits, fits));
    layout->addWidget(fits);

    auto* autoSave = new QGroupBox(QStringLiteral("Auto-Save Sub Directory"), column);
    auto* autoSaveLayout = new QGridLayout(autoSave);
    subDirectory_ = new QLineEdit(autoSave);
    subDirectory_->setMaxLength(static_cast<int>(kSubDirectoryLength));
    auto* nameLabel = new QLabel(QStringLiteral("Sub-dir Name"), autoSave);
    nameLabel->setBuddy(subDirectory_);
    autoSaveLayout->addWidget(nameLabel, 0, 0);
    autoSaveLayout->addWidget(subDirectory_, 0, 1);
    autoSaveLayout->addWidget(AddControl(new QPushButton(QStringLiteral("Set Sub-Dir"), autoSave),
                                         DefaultsControl::SetSubDirectory),
                              1, 1);
    layout->addWidget(autoSave);
    layout->addStretch();
    return column;
}

void TINIDialog::SaveChanges() {
    // What the fields show is what is saved; a value out of its range is not.
    const DefaultsFields fields = Fields();
    if (const auto problem = SlewFieldsProblem(fields)) {
        ReportMessage(session_.ui, kCallerText, *problem);
        return;
    }
    ReadSlewFields(session_.settings, fields);
    accept();
}

void TINIDialog::Use(DefaultsControl control) {
    UseDefaultsControl(session_, control, Fields());
    Redraw();
}

DefaultsFields TINIDialog::Fields() const {
    return {raRate_->text().toStdString(),       decRate_->text().toStdString(),
            raBacklash_->text().toStdString(),   decBacklash_->text().toStdString(),
            raHysteresis_->text().toStdString(), decHysteresis_->text().toStdString(),
            subDirectory_->text().toStdString()};
}

void TINIDialog::Redraw() {
    for (const auto& [button, control] : controls_) {
        if (!button->isCheckable()) {
            continue;
        }
        // An exclusive radio button cannot be unchecked while checked, and a value outside the
        // choices (a hand-edited settings file) leaves its whole group unchecked.
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(DefaultsControlChecked(session_, control));
        button->setAutoExclusive(exclusive);
    }
    const DefaultsFields shown = ShownDefaultsFields(session_.settings);
    raRate_->setText(QString::fromStdString(shown.raPixelsPerSecond));
    decRate_->setText(QString::fromStdString(shown.decPixelsPerSecond));
    raBacklash_->setText(QString::fromStdString(shown.raBacklash));
    decBacklash_->setText(QString::fromStdString(shown.decBacklash));
    raHysteresis_->setText(QString::fromStdString(shown.raHysteresis));
    decHysteresis_->setText(QString::fromStdString(shown.decHysteresis));
    subDirectory_->setText(QString::fromStdString(shown.subDirectory));
}

}  // namespace talvor
