#include "display/ui/max_value_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "core/session.h"
#include "display/refresh_display.h"
#include "display/stretch_palette.h"
#include "ui/slider_actions.h"

namespace talvor {
TMaxDialog::TMaxDialog(Session& session, QWidget* parent)
    : QDialog(parent),
      session_(session),
      bits_(new QScrollBar(Qt::Horizontal, this)),
      value_(new QLineEdit(this)),
      allImages_(new QCheckBox(QStringLiteral("Selected for use on all images"), this)) {
    setWindowTitle(QStringLiteral("Stretch Palette"));
    bits_->setRange(kMinStretchBits, kMaxStretchBits);
    bits_->setSingleStep(1);
    bits_->setPageStep(1);
    bits_->setMinimumWidth(160);
    bits_->setValue(session_.readout.StretchBits);
    value_->setReadOnly(true);
    value_->setMaximumWidth(48);
    allImages_->setChecked(session_.display.MaxStretchAll);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("12 bit"), this), 0, 0);
    layout->addWidget(bits_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("16 bit"), this), 0, 2);
    layout->addWidget(value_, 0, 3);
    layout->addWidget(allImages_, 1, 0, 1, 4);
    layout->addWidget(ok, 2, 3);

    connect(bits_, &QScrollBar::actionTriggered, this, &TMaxDialog::OnScrollAction);
    connect(allImages_, &QCheckBox::clicked, this,
            [this](bool checked) { session_.display.MaxStretchAll = checked; });
    connect(ok, &QPushButton::clicked, this, [this] {
        RefreshDisplay(session_);
        accept();
    });
    ShowStretchBits();
}

void TMaxDialog::OnScrollAction(int action) {
    // The slider has already moved by Qt's own rule; the dialog's rule decides the value.
    const auto scroll = ScrollActionOf(action);
    if (scroll) {
        session_.readout.StretchBits =
            StretchBitsAfterScroll(session_.readout.StretchBits, *scroll, bits_->sliderPosition());
    }
    bits_->setSliderPosition(session_.readout.StretchBits);
    ShowStretchBits();
}

void TMaxDialog::ShowStretchBits() {
    value_->setText(QString::number(session_.readout.StretchBits));
}

}  // namespace talvor
