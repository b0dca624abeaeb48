#include "camera/ui/file_name_label.h"

#include <QResizeEvent>

namespace talvor {
namespace {

// The least width asked for: the row's other widgets set the column's width, not the name.
constexpr int kShortestWidth = 60;

}  // namespace

TFileNameLabel::TFileNameLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TFileNameLabel::SetFileName(const QString& name) {
    name_ = name;
    setToolTip(name);
    Elide();
}

QSize TFileNameLabel::sizeHint() const {
    return {kShortestWidth, QLabel::sizeHint().height()};
}

QSize TFileNameLabel::minimumSizeHint() const {
    return sizeHint();
}

void TFileNameLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void TFileNameLabel::Elide() {
    setText(fontMetrics().elidedText(name_, Qt::ElideLeft, contentsRect().width()));
}

}  // namespace talvor
