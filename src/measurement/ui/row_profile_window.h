#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <functional>

#include "measurement/row_profile.h"

class QLineEdit;

namespace talvor {

struct Session;
class ArrowScrollBar;

// "INTENSITY PROFILE OF ONE OR MORE ROWS": the profile of the picked row, or of the mean of
// several rows around it, from the plot source. Clicks on the picture pick the row while it is
// open (the picture shows the up-arrow meanwhile); "Finished" ends it.
class TRowDialog : public QDialog {
    Q_OBJECT

  public:
    // `picture` is the widget whose cursor shows the mode (the main window's viewport).
    TRowDialog(Session& session, QWidget* picture, QWidget* parent = nullptr);
    ~TRowDialog() override;

    // Shows a help box; tests replace it.
    std::function<void(const QString& title, const QString& text)> showNotice;

    ArrowScrollBar* RowsBar() const { return rowsBar_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowNumbers();
    void DrawPlotArea(const RowProfileLine& profile);

    Session& session_;
    QPointer<QWidget> picture_;
    QLineEdit* row_;
    QLineEdit* rowsToAverage_;
    ArrowScrollBar* rowsBar_;
    // The plot area as last drawn; null until a row could be drawn.
    QImage plotArea_;
};

}  // namespace talvor
