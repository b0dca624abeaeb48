#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace talvor::testing {

// Runs the action on the next modal window of the given class as soon as it is shown: the way a
// test answers a dialog that a command opens and waits for. The action is tried again while the
// window stays open, since a dialog may not take an answer before it has settled.
template <typename Window>
void WhenModal(std::function<void(Window*)> action) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window == nullptr) {
            return;
        }
        action(window);
        if (!window->isVisible()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

}  // namespace talvor::testing
