#pragma once

#include <QDialog>

class QLineEdit;
class QScrollBar;

namespace talvor {

// "Power Law Stretch": the power, 0.1..3.0 in steps of 0.1 with the arrows of its bar, starting
// at 1.0 each time the dialog opens. The caller stretches with it after OK.
class TPowerDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TPowerDialog(QWidget* parent = nullptr);

    double Power() const { return power_; }

  private:
    void ShowPower();

    double power_ = 1.0;
    QScrollBar* bar_;
    QLineEdit* value_;
};

}  // namespace talvor
