#pragma once

#include <QPointer>

#include "guiding/guiding_view.h"

class QWidget;

namespace talvor {

class TInfoDialog;

// The desktop program's guiding windows: the "Guiding Info" window, made when guiding opens it
// and deleted when guiding closes it, and the main window's picture.
class GuidingInfoWindow final : public GuidingView {
  public:
    // `owner` parents the window; `picture` is repainted for the training frames.
    GuidingInfoWindow(QWidget* owner, QWidget* picture);
    ~GuidingInfoWindow() override;
    GuidingInfoWindow(const GuidingInfoWindow&) = delete;
    GuidingInfoWindow& operator=(const GuidingInfoWindow&) = delete;

    void OpenGuidingInfo(const std::string& title) override;
    void SetGuidingInfoTitle(const std::string& title) override;
    void ShowGuidingInfo(const GuidingInfoContent& content) override;
    void CloseGuidingInfo() override;
    void RepaintMainWindow() override;

    // The open window, or none.
    TInfoDialog* Window() const;

  private:
    QWidget* owner_;
    QWidget* picture_;
    QPointer<TInfoDialog> window_;
};

}  // namespace talvor
