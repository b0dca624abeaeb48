#pragma once

#include <QDialog>
#include <functional>
#include <string_view>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace talvor {

struct Session;
class ArrowScrollBar;

// "TALVOR Move Telescope": the modeless hand control of an LX200. Go-to by Messier or CNGC
// number, by right ascension and declination or to a planet; manual slewing at one of four
// rates with two arrow bars; the focuser in and out at two speeds; and the mount's last answer
// in "Info from Scope". While a go-to waits for the mount's answers the window keeps answering:
// the controls that send wait for it, and Escape stops the waiting instead of closing the window.
class TMTDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TMTDialog(Session& session, QWidget* parent = nullptr);

    // Shows a box with a title and a text; a modal message box unless replaced.
    std::function<void(const QString& title, const QString& text)> showNotice;

    // Shows the mount's answer and the chosen rate and focuser speed.
    void Refresh();
    // True while a go-to waits for the mount.
    bool GoToRunning() const { return goToRunning_; }

    // While a go-to runs the window is not closed: its handler is still running.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QGroupBox* BuildGoTo();
    QGroupBox* BuildPlanets();
    QGroupBox* BuildMovement();
    QGroupBox* BuildFocus();
    void Notice(std::string_view text);
    void GoToObjectPressed();
    void GoToCoordinatesPressed();
    // Runs a go-to with the sending controls disabled, then shows the answer.
    template <typename GoTo>
    void RunGoTo(GoTo goTo);

    Session& session_;
    QLineEdit* messier_ = nullptr;
    QLineEdit* cngc_ = nullptr;
    QLineEdit* raHours_ = nullptr;
    QLineEdit* raMinutes_ = nullptr;
    QLineEdit* decDegrees_ = nullptr;
    QLineEdit* decMinutes_ = nullptr;
    QPlainTextEdit* info_ = nullptr;
    QRadioButton* rates_[4] = {};
    QRadioButton* fast_ = nullptr;
    QRadioButton* slow_ = nullptr;
    // The groups whose controls send to the mount.
    QGroupBox* sendingGroups_[4] = {};
    bool goToRunning_ = false;
};

}  // namespace talvor
