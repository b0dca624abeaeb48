#pragma once

#include <QDialog>

namespace talvor {

// "Help About Talvor": what the program is, its version and release date.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace talvor
