#include "processing/ui/power_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "processing/parameter_steps.h"
#include "processing/ui/dialog_parts.h"
#include "ui/slider_actions.h"

namespace talvor {
namespace {

constexpr const char* kHelpCaption = "TALVOR - Power Law Stretch";
constexpr const char* kHelpText =
    "Use controls to vary power from 0.1 to 3.0, where powers greater than 1 will increase "
    "contrast, and powers less than 1 will reduce contrast.";

}  // namespace

TPowerDialog::TPowerDialog(QWidget* parent)
    : QDialog(parent),
      bar_(ParameterBar("powerBar", 1, 30, 160, this)),
      value_(ValueBox("powerEdit", this)) {
    setWindowTitle(QStringLiteral("Power Law Stretch"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Power"), this), 0, 0);
    grid->addWidget(bar_, 0, 1);
    grid->addWidget(value_, 0, 2);
    grid->addLayout(DialogButtons(this, [this] { ShowHelpBox(this, kHelpCaption, kHelpText); }), 1,
                    0, 1, 3);
    ConnectSpinBar(bar_, [this](ScrollAction action) {
        power_ = PowerAfterScroll(power_, action);
        ShowPower();
    });
    ShowPower();
}

void TPowerDialog::ShowPower() {
    bar_->setValue(PowerScrollPosition(power_));
    value_->setText(QString::fromStdString(PowerText(power_)));
}

}  // namespace talvor
