#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace talvor {

struct Session;

// "MERGE IMAGES": the modeless window of merging mode. It shows the two marked positions and
// which one the next pick sets; "Merge" merges once a merge image has been opened, "Cancel"
// (or closing the window) ends merging. Picks and Open rewrite its fields while it is open.
class TMergeDialog : public QDialog {
    Q_OBJECT

  public:
    // afterMerge runs once the merged picture waits to be shown, so that the main window paints.
    TMergeDialog(Session& session, std::function<void()> afterMerge, QWidget* parent = nullptr);
    ~TMergeDialog() override;

    // Shows the help text; a test may put its own recorder in place.
    std::function<void(const QString& caption, const QString& text)> showHelp;

    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void RefreshFields();
    void PressMergeButton();

    Session& session_;
    std::function<void()> afterMerge_;
    QRadioButton* original_;
    QRadioButton* mergeImage_;
    QLineEdit* referenceX_;
    QLineEdit* referenceY_;
    QLineEdit* mergeX_;
    QLineEdit* mergeY_;
    QCheckBox* average_;
    QCheckBox* centreOnStar_;
};

}  // namespace talvor
