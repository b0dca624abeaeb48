#include "processing/ui/nonlinear_stretch_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "processing/parameter_steps.h"
#include "processing/stretch_tables.h"
#include "processing/ui/dialog_parts.h"
#include "ui/slider_actions.h"

namespace talvor {
namespace {

constexpr const char* kHelpCaption = "TALVOR - NonLiniar Filter";
constexpr const char* kHelpText = "Use controls to vary the Power from 2 to 50";

}  // namespace

TNonLiniarDialog::TNonLiniarDialog(QWidget* parent)
    : QDialog(parent),
      bar_(ParameterBar("powerBar", kMinNonLinearPower, kMaxNonLinearPower, 60, this)),
      value_(ValueBox("powerEdit", this)) {
    setWindowTitle(QStringLiteral("Non-Linear Stretch"));
    auto* note = new QLabel(QStringLiteral("This stretch works well for images of nebulae. First "
                                           "use the stretch that removes the background. "),
                            this);
    note->setWordWrap(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Non-Linear Power"), this), 0, 0);
    grid->addWidget(bar_, 0, 1);
    grid->addWidget(value_, 0, 2);
    grid->addWidget(note, 1, 0, 1, 3);
    grid->addLayout(DialogButtons(this, [this] { ShowHelpBox(this, kHelpCaption, kHelpText); }), 2,
                    0, 1, 3);
    ConnectSpinBar(bar_, [this](ScrollAction action) {
        power_ = CountAfterScroll(power_, action, kMinNonLinearPower, kMaxNonLinearPower);
        ShowPower();
    });
    ShowPower();
}

void TNonLiniarDialog::ShowPower() {
    bar_->setValue(power_);
    value_->setText(QString::number(power_));
}

}  // namespace talvor
