#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "image/ui/image_file_dialogs.h"

class QWidget;

namespace talvor {

struct Session;
class TTalvorWindow;

// The File and Edit menu commands that read and write image files: Open, Save, Save as TIFF,
// Save as FITS, and Copy. They remember the folder and the name last chosen.
class FileMenuCommands {
  public:
    FileMenuCommands(Session& session, QWidget* parent, TTalvorWindow& window);

    void Open();
    void Save();
    void SaveAsTiff();
    void SaveAsFits();
    // Puts the picture shown, with its palette, on the clipboard.
    void Copy();

  private:
    enum class SaveMode { Native, Tiff, Fits };
    void SaveAs(SaveMode mode);
    // Shows the dialog from the folder last used, and remembers the folder it ends in.
    std::optional<QString> Choose(const FileDialogSetup& setup, int* chosenFilter = nullptr);
    bool WriteTiffOrFits(bool tiff, const std::filesystem::path& file);

    Session& session_;
    QWidget* parent_;
    TTalvorWindow& window_;
    // The name last opened, as it is spelled on disk.
    QString lastName_;
};

}  // namespace talvor
