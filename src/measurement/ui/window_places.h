#pragma once

#include <QPoint>
#include <map>
#include <memory>
#include <string>

class QDialog;
class QWidget;

namespace talvor {

struct Session;

// Where the measuring windows open. The first time beside the picture, so that it stays free
// for the clicks they wait for; after the user has moved one, where it was left. Always on the
// screen. One set of places per main window, kept for the run.
class WindowPlaces {
  public:
    WindowPlaces();

    // Moves the window, not yet shown, to its place and remembers where the user leaves it
    // when it closes. `picture` is the widget the picture is drawn on.
    void Place(QDialog& window, QWidget& picture, const Session& session);

  private:
    // Shared with the windows, which may close after the main window has let go of this.
    std::shared_ptr<std::map<std::string, QPoint>> moved_;
};

}  // namespace talvor
