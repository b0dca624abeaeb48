#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "processing/stretch_levels.h"

class QLineEdit;
class QScrollBar;

namespace talvor {

// "Normal Stretch": the histogram of the picture last shown (read on every paint), with a
// marker under the black and the white level, and a scroll bar and box for each level. The
// levels start at 0 and 255 each time the dialog opens; the caller stretches with them after
// OK.
class TStretchDialog : public QDialog {
    Q_OBJECT

  public:
    TStretchDialog(const std::array<uint32_t, 257>& histogram, QWidget* parent = nullptr);

    StretchLevels Levels() const { return levels_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void OnBlackAction(int action);
    void OnWhiteAction(int action);
    void ShowLevels();
    void ShowHelp();

    const std::array<uint32_t, 257>& histogram_;
    StretchLevels levels_;
    QScrollBar* black_;
    QScrollBar* white_;
    QLineEdit* blackValue_;
    QLineEdit* whiteValue_;
};

}  // namespace talvor
