#include "measurement/ui/window_places.h"

#include <QAbstractScrollArea>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "core/session.h"
#include "measurement/window_placement.h"

namespace talvor {
namespace {

// Room for the title bar and borders a window manager adds around a window not yet shown.
constexpr int kFrameAllowanceWidth = 8;
constexpr int kFrameAllowanceHeight = 32;

ScreenRect ToScreenRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

// The part of the picture widget the frame covers, in screen coordinates: all of it when the
// frame is fitted to the window, otherwise the frame's columns and rows less what is scrolled
// away.
ScreenRect PictureOnScreen(QWidget& picture, const Session& session) {
    const QPoint origin = picture.mapToGlobal(QPoint(0, 0));
    int width = picture.width();
    int height = picture.height();
    if (!session.state.FitToWindow) {
        int scrollX = 0;
        int scrollY = 0;
        if (auto* area = qobject_cast<QAbstractScrollArea*>(picture.parentWidget())) {
            scrollX = area->horizontalScrollBar()->value();
            scrollY = area->verticalScrollBar()->value();
        }
        const int rows = session.state.ZenkaGeometry ? kZenkaRows : kFrameRows;
        width = std::clamp(kFrameColumns - scrollX, 0, width);
        height = std::clamp(rows - scrollY, 0, height);
    }
    return {origin.x(), origin.y(), width, height};
}

ScreenRect AvailableScreen(QWidget& picture) {
    QScreen* screen = picture.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return ToScreenRect(screen->availableGeometry());
}

}  // namespace

WindowPlaces::WindowPlaces() : moved_(std::make_shared<std::map<std::string, QPoint>>()) {}

void WindowPlaces::Place(QDialog& window, QWidget& picture, const Session& session) {
    window.adjustSize();
    const int width = window.width() + kFrameAllowanceWidth;
    const int height = window.height() + kFrameAllowanceHeight;
    const ScreenRect screen = AvailableScreen(picture);
    const std::string kind = window.metaObject()->className();
    const auto moved = moved_->find(kind);
    const ScreenPoint at =
        moved != moved_->end()
            ? KeepOnScreen({moved->second.x(), moved->second.y()}, width, height, screen)
            : PlaceBesidePicture(PictureOnScreen(picture, session), width, height, screen);
    const QPoint placed(at.x, at.y);
    window.move(placed);
    QObject::connect(&window, &QDialog::finished, &window,
                     [moved = moved_, kind, placed, window = &window] {
                         if (window->pos() != placed) {
                             (*moved)[kind] = window->pos();
                         }
                     });
}

}  // namespace talvor
