#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "camera/focus_loop.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QRadioButton;
class QScrollBar;

namespace talvor {

struct Session;
struct SelfGuidingHooks;
class TFileNameLabel;

// "Drevik Zenka  -  Camera Control Interface": the exposure, the run's options, the focus loop.
// Every control acts on the session's values at once; the dialog then shows them again.
// "Take Photo" accepts, "Cancel" rejects; the caller runs the capture.
class TVeltraneDialog : public QDialog, public FocusLoopView {
    Q_OBJECT

  public:
    TVeltraneDialog(Session& session, const SelfGuidingHooks& hooks, QWidget* parent = nullptr);

    void ShowFocusFrame() override;
    bool ConfirmNextFrame() override;
    void done(int result) override;

  private:
    QWidget* BuildExposureColumn();
    QWidget* BuildOptionColumn();
    QWidget* BuildFocusColumn();
    QScrollBar* Arrows(Qt::Orientation orientation, std::function<void(int action)> onAction);
    QCheckBox* Option(const QString& text, std::function<bool&()> flag);
    void StartFocus();
    void TakePhoto();
    void ShowHelp();
    void Redraw();

    Session& session_;
    const SelfGuidingHooks& hooks_;
    std::vector<std::pair<QRadioButton*, char>> units_;
    std::vector<std::pair<QCheckBox*, std::function<bool&()>>> options_;
    QCheckBox* selfGuide_ = nullptr;
    QCheckBox* matchingDark_ = nullptr;
    QLabel* value_ = nullptr;
    QLabel* exposures_ = nullptr;
    QLabel* delay_ = nullptr;
    QScrollBar* stretch_ = nullptr;
    QLabel* stretchValue_ = nullptr;
    QLabel* guideFrames_ = nullptr;
    QLabel* guideValue_ = nullptr;
    QLabel* maxValue_ = nullptr;
    QLabel* subDirectory_ = nullptr;
    QLabel* lastFile_ = nullptr;
    TFileNameLabel* darkName_ = nullptr;
    TFileNameLabel* flatName_ = nullptr;
    QLabel* focusPicture_ = nullptr;
};

}  // namespace talvor
