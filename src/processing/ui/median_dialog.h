#pragma once

#include <QDialog>

class QLineEdit;
class QScrollBar;

namespace talvor {

// "Median Filter": radius 1..3 and power 0.1..1.0 in tenths, with the arrows of a small bar
// each, starting at 1 and 0.6 each time the dialog opens. The caller filters with them after
// OK.
class TMedianDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TMedianDialog(QWidget* parent = nullptr);

    int Radius() const { return radius_; }
    int Tenths() const { return tenths_; }

  private:
    int radius_ = 1;
    int tenths_ = 6;
    QScrollBar* radiusBar_;
    QScrollBar* powerBar_;
    QLineEdit* radiusValue_;
    QLineEdit* powerValue_;
};

}  // namespace talvor
