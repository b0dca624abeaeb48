#include "processing/ui/unsharp_dialog.h"

#include <QLineEdit>
#include <QScrollBar>

#include "processing/parameter_steps.h"
#include "processing/ui/dialog_parts.h"
#include "processing/unsharp_mask.h"
#include "ui/slider_actions.h"

namespace talvor {
namespace {

constexpr const char* kHelpCaption = "Talvor - Power Stretch";
constexpr const char* kHelpText =
    "Use controls to vary the radius from 1 to 7, and the power from 1 to 7.";

}  // namespace

TUnsharpDialog::TUnsharpDialog(QWidget* parent)
    : QDialog(parent),
      radiusBar_(ParameterBar("radiusBar", kMinUnsharpRadius, kMaxUnsharpRadius, 60, this)),
      powerBar_(ParameterBar("powerBar", kMinUnsharpPower, kMaxUnsharpPower, 60, this)),
      radiusValue_(ValueBox("radiusEdit", this)),
      powerValue_(ValueBox("powerEdit", this)) {
    setWindowTitle(QStringLiteral("Unsharp Mask Filter"));
    LayOutTwoBars(this, {"Radius", radiusBar_, radiusValue_}, {"Power", powerBar_, powerValue_},
                  [this] { ShowHelpBox(this, kHelpCaption, kHelpText); });
    ConnectSpinBar(radiusBar_, [this](ScrollAction action) {
        radius_ = CountAfterScroll(radius_, action, kMinUnsharpRadius, kMaxUnsharpRadius);
        ShowValues();
    });
    ConnectSpinBar(powerBar_, [this](ScrollAction action) {
        power_ = CountAfterScroll(power_, action, kMinUnsharpPower, kMaxUnsharpPower);
        ShowValues();
    });
    ShowValues();
}

void TUnsharpDialog::ShowValues() {
    radiusBar_->setValue(radius_);
    powerBar_->setValue(power_);
    radiusValue_->setText(QString::number(radius_));
    powerValue_->setText(QString::number(power_));
}

}  // namespace talvor
