#pragma once

#include <QDialog>

class QLineEdit;
class QScrollBar;

namespace talvor {

// "Unsharp Mask Filter": radius and power, each 1..7 with the arrows of a small bar, starting
// at 3 and 1 each time the dialog opens. The caller filters with them after OK.
class TUnsharpDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TUnsharpDialog(QWidget* parent = nullptr);

    int Radius() const { return radius_; }
    int Power() const { return power_; }

  private:
    void ShowValues();

    int radius_ = 3;
    int power_ = 1;
    QScrollBar* radiusBar_;
    QScrollBar* powerBar_;
    QLineEdit* radiusValue_;
    QLineEdit* powerValue_;
};

}  // namespace talvor
