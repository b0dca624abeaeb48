#pragma once

#include <QDialog>
#include <utility>
#include <vector>

#include "image/program_defaults.h"

class QAbstractButton;
class QLineEdit;

namespace talvor {

struct Session;

// "Set Program Defaults": most program values in one dialog. Every control changes its value
// in memory the moment it is used and the dialog is then redrawn from the values, so Cancel
// keeps what was changed; "Save Changes" takes the number fields as they stand (refusing, with
// the range, a value out of it) and accepts, so that the caller writes the settings file.
class TINIDialog : public QDialog {
    Q_OBJECT

  public:
    TINIDialog(Session& session, QWidget* parent = nullptr);

  private:
    QAbstractButton* AddControl(QAbstractButton* button, DefaultsControl control);
    QLineEdit* AddNumberField();
    QWidget* BuildRadioGroups();
    QWidget* BuildSlewGroup();
    QWidget* BuildOptionGroups();
    void Use(DefaultsControl control);
    void SaveChanges();
    DefaultsFields Fields() const;
    void Redraw();

    Session& session_;
    std::vector<std::pair<QAbstractButton*, DefaultsControl>> controls_;
    QLineEdit* raRate_ = nullptr;
    QLineEdit* decRate_ = nullptr;
    QLineEdit* raBacklash_ = nullptr;
    QLineEdit* decBacklash_ = nullptr;
    QLineEdit* raHysteresis_ = nullptr;
    QLineEdit* decHysteresis_ = nullptr;
    QLineEdit* subDirectory_ = nullptr;
};

}  // namespace talvor
