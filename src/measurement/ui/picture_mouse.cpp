#include "measurement/ui/picture_mouse.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QMouseEvent>
#include <QScrollBar>

#include "core/session.h"
#include "measurement/image_click.h"

namespace talvor {

ScreenPoint QtScreenPointer::Position() {
    const QPoint at = QCursor::pos();
    return {at.x(), at.y()};
}

void QtScreenPointer::MoveTo(ScreenPoint point) {
    QCursor::setPos(point.x, point.y);
}

bool HandlePictureMouse(Session& session, const QAbstractScrollArea& window,
                        const QMouseEvent& event) {
    const QPoint at = event.position().toPoint();
    const ViewportPoint point{at.x(), at.y(), window.horizontalScrollBar()->value(),
                              window.verticalScrollBar()->value()};
    QtScreenPointer pointer;
    if (event.type() == QEvent::MouseMove) {
        HandleMouseMoved(session, point);
        return true;
    }
    if (event.type() != QEvent::MouseButtonRelease) {
        return false;
    }
    if (event.button() == Qt::LeftButton) {
        HandleLeftButtonUp(session, pointer, point);
        return true;
    }
    if (event.button() == Qt::RightButton) {
        HandleRightButtonUp(session, pointer, point);
        return true;
    }
    return false;
}

}  // namespace talvor
