#pragma once

#include <QDialog>
#include <functional>
#include <memory>

namespace talvor {

struct Session;
class IntensityPlotPicture;

// "3-D Intensity Plot": the plot source drawn once, at the first paint, into an off-screen
// picture that the window shows as it builds up trace by trace; later paints only copy the
// picture. Modeless; "Finished" ends it and lets the picture go.
class T3DDialog : public QDialog {
    Q_OBJECT

  public:
    explicit T3DDialog(Session& session, QWidget* parent = nullptr);
    ~T3DDialog() override;

    // Shows a help box; tests replace it.
    std::function<void(const QString& title, const QString& text)> showNotice;

    // The off-screen picture, once the first paint has made it; null before and after.
    const IntensityPlotPicture* Picture() const { return picture_.get(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void BuildPicture();

    Session& session_;
    std::unique_ptr<IntensityPlotPicture> picture_;
};

}  // namespace talvor
