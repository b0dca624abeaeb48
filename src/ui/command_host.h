#pragma once

#include <functional>

class QWidget;

namespace talvor {

// What a room's menu commands need from the main window, so that they bind themselves without
// knowing it: a routine per command, the window their dialogs belong to, and the widget the
// picture is drawn on.
class CommandHost {
  public:
    // The routine a menu item, accelerator or tool-bar button of the command carries out.
    virtual void Bind(int id, std::function<void()> handler) = 0;
    // The parent of the commands' dialogs and windows.
    virtual QWidget* DialogParent() = 0;
    // The widget that shows the picture: repainted, given cursors and mouse tracking.
    virtual QWidget* Picture() = 0;
    // Lays out the tool bar again; the telescope button follows the telescope setting.
    virtual void RebuildToolBar() = 0;

  protected:
    ~CommandHost() = default;
};

}  // namespace talvor
