#include "telescope/ui/show_telescope_control.h"

#include <QDialog>
#include <QWidget>

#include "telescope/telescope_control.h"
#include "telescope/ui/control_box_dialog.h"
#include "telescope/ui/lx200_hand_control_dialog.h"

namespace talvor {
namespace {

template <typename Dialog>
QDialog* Open(Session& session, QWidget* parent) {
    if (parent != nullptr) {
        // A closed window waits for deletion and is not brought back.
        for (auto* open : parent->findChildren<Dialog*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (open->isVisible()) {
                open->raise();
                open->activateWindow();
                return open;
            }
        }
    }
    auto* dialog = new Dialog(session, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

}  // namespace

QDialog* ShowTelescopeControl(Session& session, QWidget* parent) {
    switch (PrepareTelescopeControl(session)) {
        case ControlWindow::Lx200:
            return Open<TMTDialog>(session, parent);
        case ControlWindow::ControlBox:
            return Open<TCBDialog>(session, parent);
        case ControlWindow::None:
            break;
    }
    return nullptr;
}

}  // namespace talvor
