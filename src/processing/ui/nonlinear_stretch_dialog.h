#pragma once

#include <QDialog>

class QLineEdit;
class QScrollBar;

namespace talvor {

// "Non-Linear Stretch": the power 2..50 with the arrows of a small bar, starting at 25 each
// time the dialog opens. The caller stretches with it after OK.
class TNonLiniarDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TNonLiniarDialog(QWidget* parent = nullptr);

    int Power() const { return power_; }

  private:
    void ShowPower();

    int power_ = 25;
    QScrollBar* bar_;
    QLineEdit* value_;
};

}  // namespace talvor
