#pragma once

#include <QDialog>
#include <QImage>

#include "guiding/guiding_view.h"

class QLabel;
class QLineEdit;

namespace talvor {

class GuideFramePicture;

// "Guiding Info": the modeless window that follows guiding. Four read-only fields give the star
// position and the offsets; beside the offsets two more columns give them in pixels and in
// arc-seconds, and below them the run's RMS in RA and Dec; a line at the foot names the guide
// log. In the "Guiding frame" box the last guide frame is drawn with its top-left corner at
// (75, 75) and a red cross at the reference.
class TInfoDialog : public QDialog {
    Q_OBJECT

  public:
    // Where the guide frame is drawn in the window.
    static constexpr int kFrameLeft = 75;
    static constexpr int kFrameTop = 75;

    explicit TInfoDialog(QWidget* parent = nullptr);

    // Fills the fields; loads the frame bitmap when it may be drawn; repaints without erasing.
    void ShowContent(const GuidingInfoContent& content);

    // The guide frame last loaded.
    const QImage& Frame() const;

  private:
    QLineEdit* x_;
    QLineEdit* y_;
    QLineEdit* dx_;
    QLineEdit* dy_;
    QLineEdit* dxPixels_;
    QLineEdit* dyPixels_;
    QLineEdit* dxArcsec_;
    QLineEdit* dyArcsec_;
    QLineEdit* raRms_;
    QLineEdit* decRms_;
    QLabel* log_;
    GuideFramePicture* picture_;
};

}  // namespace talvor
