#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace talvor {

struct LabelSettings;
struct Session;

// "Label Current Image": the text of the label (up to 30 characters) and whether the clock's or
// the FITS date follows it. It opens with an empty text and "Auto Date" on; OK keeps the text
// in the label settings for the caller to draw.
class TLabelDialog : public QDialog {
    Q_OBJECT

  public:
    TLabelDialog(Session& session, LabelSettings& settings, QWidget* parent = nullptr);

  private:
    void ShowBoxes();
    void PressOk();

    Session& session_;
    LabelSettings& settings_;
    QLineEdit* text_;
    QCheckBox* autoDate_;
    QCheckBox* useFitsDate_;
};

}  // namespace talvor
