#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QScrollBar;

namespace talvor {

struct Session;

// "FITS DETAILS": the header texts and numbers of the next FITS save, the UT offset and the
// data format. Continue (accept) takes every field back; Abort keeps the old texts and numbers.
// The two format check boxes act at the click, so their change stands even after Abort.
class TFITSDialog : public QDialog {
    Q_OBJECT

  public:
    TFITSDialog(Session& session, QWidget* parent = nullptr);

  private:
    QLineEdit* AddTextField(int length);
    void OnScrollAction(int action);
    void ShowUtOffset();
    void ShowFormatFlags();
    void Continue();

    Session& session_;
    int utOffset_ = 0;
    QLineEdit* object_;
    QLineEdit* observer_;
    QLineEdit* origin_;
    QLineEdit* telescope_;
    QLineEdit* focalLength_;
    QLineEdit* aperture_;
    QLineEdit* filter_;
    QLineEdit* instrument_;
    QLineEdit* exposure_;
    QPlainTextEdit* history_;
    QPlainTextEdit* comment_;
    QLineEdit* date_;
    QLineEdit* time_;
    QScrollBar* utBar_;
    QLineEdit* utValue_;
    QCheckBox* eightBit_;
    QCheckBox* unsigned_;
};

}  // namespace talvor
