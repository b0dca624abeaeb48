#pragma once

#include <QScrollBar>

namespace talvor {

// A scroll bar used as a pair of hand-control buttons: pressing an arrow reports lineUp (the up
// or left arrow) or lineDown (the down or right arrow), again and again while it is held, and
// letting go reports endOfScroll. Clicks on the trough and drags of the handle report only the
// end of scroll.
class ArrowScrollBar : public QScrollBar {
    Q_OBJECT

  public:
    explicit ArrowScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Where the up (or left) arrow is, or the down (or right) one, in the bar's coordinates.
    QRect ArrowArea(bool upOrLeft) const;

  signals:
    void lineUp();
    void lineDown();
    void endOfScroll();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // A bar hidden while an arrow is held (its window closed) ends the hold, so that nothing
    // is left running.
    void hideEvent(QHideEvent* event) override;

  private:
    void Release();

    bool held_ = false;
};

}  // namespace talvor
