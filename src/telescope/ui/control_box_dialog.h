#pragma once

#include <QDialog>

namespace talvor {

struct Session;

// "Move Telescope": the modeless hand control of the guider control box, with a left/right and
// an up/down arrow bar that run the box's drives while an arrow is held.
class TCBDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TCBDialog(Session& session, QWidget* parent = nullptr);
};

}  // namespace talvor
