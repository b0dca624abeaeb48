#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>

namespace talvor {

struct Session;

// The client window: shows the picture loaded from the temporary bitmap, 1:1 with scrolling or
// stretched to the window, on the background colour of the settings.
class TTalvorWindow : public QAbstractScrollArea {
    Q_OBJECT

  public:
    TTalvorWindow(Session& session, QWidget* parent = nullptr);

    // Replaces the picture by the bitmap file; false when the file cannot be read.
    bool LoadDisplayBitmap(const QString& file);
    bool HasDisplayBitmap() const { return !bitmap_.isNull(); }
    const QImage& DisplayBitmap() const { return bitmap_; }
    QColor BackgroundColour() const { return background_; }

    // Scroll ranges for the picture and the window size, then back to the origin.
    void SetUpScrolling();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Clicks and moves on the picture go to the mouse modes: photometry, row plot, merging,
    // guide-star picking and the focus-frame centre.
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void TakeBackgroundFromSettings();
    void PaintPickedStarCross(class QPainter& painter) const;

    Session& session_;
    QImage bitmap_;
    QColor background_;
};

}  // namespace talvor
