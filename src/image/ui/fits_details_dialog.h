#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QScrollBar;

namespace talvor {

struct FitsDetails;
struct Session;

// "FITS DETAILS": header texts and numbers, the UT offset and the data format. It edits the
// given details (the current image's, or a record of the settings file's texts) and unsigned
// flag. Continue (accept) takes every field back, unless the date is not one FITS can carry;
// Abort keeps the old texts and numbers. The two format check boxes act at the click, so their
// change stands even after Abort.
class TFITSDialog : public QDialog {
    Q_OBJECT

  public:
    // The current image's details.
    explicit TFITSDialog(Session& session, QWidget* parent = nullptr);
    TFITSDialog(Session& session, FitsDetails& details, bool& unsignedFits,
                QWidget* parent = nullptr);

  private:
    QLineEdit* AddTextField(int length);
    void OnScrollAction(int action);
    void ShowUtOffset();
    void ShowFormatFlags();
    void Continue();

    Session& session_;
    FitsDetails& details_;
    bool& unsignedFits_;
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
