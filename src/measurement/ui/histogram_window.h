#pragma once

#include <QDialog>
#include <functional>

namespace talvor {

struct Session;

// "Histogram of Current Image": the counts of the picture's high bytes as the main window's
// last paint left them, drawn as bars with a listing of the bars cut at the top. Modeless;
// "Close" ends it.
class THistDialog : public QDialog {
    Q_OBJECT

  public:
    explicit THistDialog(Session& session, QWidget* parent = nullptr);

    // Shows a help box; tests replace it.
    std::function<void(const QString& title, const QString& text)> showNotice;

    // The listing drawn beside the bars at the last paint.
    const QString& Listing() const { return listing_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Session& session_;
    QString listing_;
};

}  // namespace talvor
