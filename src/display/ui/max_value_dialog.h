#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QScrollBar;

namespace talvor {

struct Session;

// "Stretch Palette": chooses the stretch bits (12..16) and whether the stretch applies to
// every image. Each control acts at once; OK shows the image with the new palette.
class TMaxDialog : public QDialog {
    Q_OBJECT

  public:
    TMaxDialog(Session& session, QWidget* parent = nullptr);

  private:
    void OnScrollAction(int action);
    void ShowStretchBits();

    Session& session_;
    QScrollBar* bits_;
    QLineEdit* value_;
    QCheckBox* allImages_;
};

}  // namespace talvor
