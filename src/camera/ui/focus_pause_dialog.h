#pragma once

#include <QDialog>

namespace talvor {

// "Talvor Focus Pause": asked between focus frames when "Pause between" is on.
class TMESSDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TMESSDialog(QWidget* parent = nullptr);
};

}  // namespace talvor
