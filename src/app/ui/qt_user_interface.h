#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <memory>

#include "core/user_interface.h"

namespace talvor {

class TProgressDialog;
class TalvorFrame;

// The core's user interface shown with real windows. An application-wide event filter notes
// key and mouse-button presses while a wait dispatches events, which is how the user stops a
// long operation.
class QtUserInterface final : public QObject, public UserInterface {
    Q_OBJECT

  public:
    QtUserInterface();
    ~QtUserInterface() override;

    void AttachFrame(TalvorFrame* frame) { frame_ = frame; }
    TProgressDialog* Progress() const { return progress_.get(); }

    void ShowMessage(const std::string& text) override;
    void ShowErrorBox(const std::string& title, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    UserPresses DispatchPendingEvents() override;
    void IdleWait() override;
    void Beep() override;
    void PushBusyCursor() override;
    void PopCursor() override;
    void OpenProgress(const std::string& caption) override;
    void SetProgressCaption(const std::string& caption) override;
    void SetProgressPosition(int position) override;
    void CloseProgress() override;
    void SetMainCaption(const std::string& caption) override;
    bool LoadDisplayBitmap(const std::filesystem::path& file) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PaintProgress();

    TalvorFrame* frame_ = nullptr;
    QElapsedTimer lastProgressPaint_;
    std::unique_ptr<TProgressDialog> progress_;
    int dispatchDepth_ = 0;
    UserPresses presses_;
};

}  // namespace talvor
