#pragma once

#include <QDialog>

class QScrollBar;

namespace talvor {

// The small modeless "Filter Progress" window of long steps: "0%", a bar gauge of 0..256 and
// "100%". The step that opens it moves the bar and closes it.
class TProgressDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TProgressDialog(const QString& caption, QWidget* parent = nullptr);
    void SetPosition(int position);
    int Position() const;

  private:
    QScrollBar* gauge_;
};

}  // namespace talvor
