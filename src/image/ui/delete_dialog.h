#pragma once

#include <QDialog>

namespace talvor {

// "DELETE FILE DIALOG": asks whether the named file is to be deleted. OK accepts; the caller
// deletes the file.
class TDeleteDialog : public QDialog {
    Q_OBJECT

  public:
    TDeleteDialog(const QString& fileName, QWidget* parent = nullptr);
};

}  // namespace talvor
