#include "ui/arrow_scroll_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>

namespace talvor {
namespace {

// Room for the handle to move while an arrow is held; it goes back to the middle on release.
constexpr int kHalfRange = 1000;

}  // namespace

ArrowScrollBar::ArrowScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    setRange(-kHalfRange, kHalfRange);
    setSingleStep(1);
    setPageStep(kHalfRange / 5);
    setValue(0);
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderSingleStepSub) {
            held_ = true;
            emit lineUp();
        } else if (action == QAbstractSlider::SliderSingleStepAdd) {
            held_ = true;
            emit lineDown();
        }
    });
}

QRect ArrowScrollBar::ArrowArea(bool upOrLeft) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(
        QStyle::CC_ScrollBar, &option,
        upOrLeft ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine, this);
}

void ArrowScrollBar::Release() {
    {
        const QSignalBlocker quiet(this);
        setValue(0);
    }
    held_ = false;
    emit endOfScroll();
}

void ArrowScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    QScrollBar::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        Release();
    }
}

void ArrowScrollBar::keyReleaseEvent(QKeyEvent* event) {
    QScrollBar::keyReleaseEvent(event);
    const int key = event->key();
    const bool arrow =
        key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
    if (arrow && !event->isAutoRepeat()) {
        Release();
    }
}

void ArrowScrollBar::hideEvent(QHideEvent* event) {
    QScrollBar::hideEvent(event);
    if (held_) {
        Release();
    }
}

}  // namespace talvor
