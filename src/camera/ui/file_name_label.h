#pragma once

#include <QLabel>
#include <QString>

namespace talvor {

// A file name beside the box it belongs to: it takes the room its row leaves, without asking
// for more; when that room is too small the start of its folder gives way, so the file and the
// folders nearest to it stay in view. The whole name is its tool tip.
class TFileNameLabel final : public QLabel {
  public:
    explicit TFileNameLabel(QWidget* parent = nullptr);

    void SetFileName(const QString& name);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Elide();

    QString name_;
};

}  // namespace talvor
