#include "processing/ui/label_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/label_settings.h"
#include "core/session.h"

namespace talvor {

TLabelDialog::TLabelDialog(Session& session, LabelSettings& settings, QWidget* parent)
    : QDialog(parent), session_(session), settings_(settings) {
    setWindowTitle(QStringLiteral("Label Current Image"));
    BeginLabelDialog(settings_);

    auto* prompt = new QLabel(QStringLiteral("Enter the Label text"), this);
    text_ = new QLineEdit(this);
    text_->setMaxLength(static_cast<int>(kLabelTextLength));
    prompt->setBuddy(text_);
    autoDate_ = new QCheckBox(QStringLiteral("Auto Date"), this);
    useFitsDate_ = new QCheckBox(QStringLiteral("Use FITs Date"), this);
    connect(autoDate_, &QCheckBox::clicked, this, [this] {
        ClickAutoDate(settings_);
        ShowBoxes();
    });
    connect(useFitsDate_, &QCheckBox::clicked, this, [this] {
        ClickUseFitsDate(settings_, session_.state.Fits, session_.ui);
        ShowBoxes();
    });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TLabelDialog::PressOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(autoDate_);
    boxes->addWidget(useFitsDate_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(text_);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
    ShowBoxes();
}

void TLabelDialog::ShowBoxes() {
    autoDate_->setChecked(settings_.AutoDate);
    useFitsDate_->setChecked(settings_.UseFitsDate);
}

void TLabelDialog::PressOk() {
    // The font knows single-byte characters only; others become gaps in the label.
    settings_.Text = text_->text().toLatin1().toStdString();
    accept();
}

}  // namespace talvor
