#include "processing/ui/median_dialog.h"

#include <QLineEdit>
#include <QScrollBar>

#include "processing/median_filter.h"
#include "processing/parameter_steps.h"
#include "processing/ui/dialog_parts.h"
#include "ui/slider_actions.h"

namespace talvor {
namespace {

constexpr const char* kHelpCaption = "TALVOR - Median Filter";
constexpr const char* kHelpText =
    "Use controls to vary the radius from 1 to 3, and the power from 0.1 to 1.";

}  // namespace

TMedianDialog::TMedianDialog(QWidget* parent)
    : QDialog(parent),
      radiusBar_(ParameterBar("radiusBar", kMinMedianRadius, kMaxMedianRadius, 60, this)),
      powerBar_(ParameterBar("powerBar", kMinMedianTenths, kMaxMedianTenths, 60, this)),
      radiusValue_(ValueBox("radiusEdit", this)),
      powerValue_(ValueBox("powerEdit", this)) {
    setWindowTitle(QStringLiteral("Median Filter"));
    LayOutTwoBars(this, {"Radius", radiusBar_, radiusValue_}, {"Power", powerBar_, powerValue_},
                  [this] { ShowHelpBox(this, kHelpCaption, kHelpText); });

    radiusBar_->setValue(radius_);
    powerBar_->setValue(tenths_);
    // The boxes open with these texts; the power box takes the "%1.1f" form at its first step.
    radiusValue_->setText(QStringLiteral("1"));
    powerValue_->setText(QStringLiteral(".6"));

    ConnectSpinBar(radiusBar_, [this](ScrollAction action) {
        radius_ = CountAfterScroll(radius_, action, kMinMedianRadius, kMaxMedianRadius);
        radiusBar_->setValue(radius_);
        radiusValue_->setText(QString::number(radius_));
    });
    ConnectSpinBar(powerBar_, [this](ScrollAction action) {
        tenths_ = CountAfterScroll(tenths_, action, kMinMedianTenths, kMaxMedianTenths);
        powerBar_->setValue(tenths_);
        powerValue_->setText(QString::fromStdString(MedianPowerText(tenths_)));
    });
}

}  // namespace talvor
