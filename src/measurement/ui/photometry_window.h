#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace talvor {

struct Session;

// "PHOTOMETRY": the modeless window of photometry. Its radio buttons choose what the next
// click on the picture records and the mask; its fields show the three measurements, the
// magnitude difference and the pixel under the mouse. Photometry lasts while it is open; the
// picture shows the cross-hair meanwhile.
class TPHDialog : public QDialog {
    Q_OBJECT

  public:
    // `picture` is the widget whose cursor shows the mode (the main window's viewport).
    TPHDialog(Session& session, QWidget* picture, QWidget* parent = nullptr);
    ~TPHDialog() override;

    // Shows a help box; tests replace it.
    std::function<void(const QString& title, const QString& text)> showNotice;

    // Rewrites every field and button from the photometry state.
    void Refresh();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLineEdit* Field(const char* name, int width);

    Session& session_;
    QPointer<QWidget> picture_;
    QButtonGroup* targets_;
    QButtonGroup* masks_;
    QLineEdit* objectX_;
    QLineEdit* objectY_;
    QLineEdit* objectValue_;
    QLineEdit* comparisonX_;
    QLineEdit* comparisonY_;
    QLineEdit* comparisonValue_;
    QLineEdit* backgroundX_;
    QLineEdit* backgroundY_;
    QLineEdit* backgroundValue_;
    QLineEdit* magnitude_;
    QLabel* magnitudeNote_;
    QLineEdit* cursorX_;
    QLineEdit* cursorY_;
    QLineEdit* cursorValue_;
};

}  // namespace talvor
