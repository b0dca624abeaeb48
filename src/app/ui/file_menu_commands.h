#pragma once

#include <QString>
#include <filesystem>

class QWidget;

namespace talvor {

struct Session;
class TTalvorWindow;

// The File and Edit menu commands that read and write image files: Open, Save, Save as TIFF,
// Save as FITS, and Copy. They remember the folder and the title last chosen.
class FileMenuCommands {
  public:
    FileMenuCommands(Session& session, QWidget* parent, TTalvorWindow& window);

    void Open();
    void Save();
    void SaveAsTiff();
    void SaveAsFits();
    // Puts the picture shown, with its palette, on the clipboard.
    void Copy();

    // The folder the next dialog starts in.
    void SetDirectory(const QString& directory) { directory_ = directory; }

  private:
    enum class SaveMode { Native, Tiff, Fits };
    void SaveAs(SaveMode mode);
    bool WriteTiffOrFits(bool tiff, const std::filesystem::path& file);

    Session& session_;
    QWidget* parent_;
    TTalvorWindow& window_;
    QString directory_;
    QString lastTitle_;
};

}  // namespace talvor
