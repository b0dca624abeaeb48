// The file commands of the running window, answered through their real dialogs offscreen.

#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "app/ui/talvor_app.h"
#include "app/ui/talvor_frame.h"
#include "app/ui/talvor_window.h"
#include "core/command_ids.h"
#include "core/session.h"
#include "image/native_file.h"
#include "image/ui/fits_details_dialog.h"
#include "image/ui/image_file_dialogs.h"
#include "support/modal_helper.h"
#include "support/program_under_test.h"

namespace talvor {

using testing::WhenModal;

class FileMenuTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<TTalvorApp> app_;

    Session& State() { return app_->State(); }
    TalvorFrame& Frame() { return app_->Frame(); }
    QString Path(const QString& name) { return folder_->filePath(name); }

    // Answers the next file dialog with the given file.
    void ChooseInDialog(const QString& file) {
        WhenModal<QFileDialog>([file](QFileDialog* dialog) {
            // Typed into the name box, as a person would; the dialog's own accept then checks
            // the name as its Open or Save button does.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name != nullptr);
            name->setText(file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

  private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        app_ = testing::StartProgram(Path(QStringLiteral("data")).toStdString());
        app_->Show();
    }
    void cleanup() {
        app_.reset();
        folder_.reset();
    }

    void filtersMatchAnyCase() {
        const auto matches = [](const QString& filter, const QString& name) {
            const QString patterns = filter.section(QLatin1Char('('), -1).chopped(1);
            for (const QString& pattern : patterns.split(QLatin1Char(' '))) {
                if (QRegularExpression::fromWildcard(pattern).match(name).hasMatch()) {
                    return true;
                }
            }
            return false;
        };
        QVERIFY(matches(OpenFilters()[1], QStringLiteral("m42.fit")));
        QVERIFY(matches(OpenFilters()[1], QStringLiteral("M42.FIT")));
        QVERIFY(!matches(OpenFilters()[1], QStringLiteral("m42.tif")));
        QVERIFY(matches(OpenFilters()[0], QStringLiteral("~night")));
        QVERIFY(matches(TiffSaveFilters()[0], QStringLiteral("a.tif")));
    }

    void openLoadsTheChosenFileAndRemembersItsKind() {
        ImageBuffer frame;
        frame.fill(0x4000);
        const std::vector<uint8_t> bytes = EncodeNativeFile(frame);
        std::ofstream(Path(QStringLiteral("~M42")).toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        ChooseInDialog(Path(QStringLiteral("~M42")));
        Frame().Dispatch(CmOpen);
        QCOMPARE(Frame().windowTitle(), QStringLiteral("Talvor - ~m42"));
        QCOMPARE(State().images.CurrentImage[0], uint16_t{0x4000});
        QCOMPARE(State().state.LastFileKind, FileKind::NativeRaw);
        QVERIFY(Frame().MenuAction(CmCopy)->isEnabled());
    }

    void openRefusesAFileOfNoKnownSize() {
        std::ofstream(Path(QStringLiteral("odd.fit")).toStdString()) << "not an image";
        QString shown;
        WhenModal<QMessageBox>([&shown](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        ChooseInDialog(Path(QStringLiteral("odd.fit")));
        Frame().Dispatch(CmOpen);
        QCOMPARE(shown, QStringLiteral("You didn't choose an Zenka or a suitable FITS File"));
        QVERIFY(!Frame().Client()->HasDisplayBitmap());
    }

    void saveAsFitsGoesThroughTheDetailsDialog() {
        WhenModal<TFITSDialog>([this](TFITSDialog* dialog) {
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->text() == QStringLiteral("Continue")) {
                    ChooseInDialog(Path(QStringLiteral("night")));
                    button->click();
                    return;
                }
            }
        });
        Frame().Dispatch(CmSaveAsFits);
        const QFileInfo saved(Path(QStringLiteral("night.FIT")));
        QVERIFY(saved.exists());
        QCOMPARE(saved.size(), qint64{303040});
        QCOMPARE(Frame().windowTitle(), QStringLiteral("Talvor - night.fit"));
        QCOMPARE(State().state.LastFileKind, FileKind::Fits);
        QCOMPARE(State().state.Fits.date.size(), std::size_t{10});
    }

    void saveFollowsTheChosenFilterOrElseTheExtension() {
        const auto saveWith = [this](int filter, const QString& name) {
            WhenModal<QFileDialog>([filter, name](QFileDialog* dialog) {
                dialog->selectNameFilter(NativeSaveFilters()[filter]);
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
                QMetaObject::invokeMethod(dialog, "accept");
            });
            Frame().Dispatch(CmSave);
        };
        const auto startsAsFits = [](const QString& file) {
            QFile in(file);
            return in.open(QIODevice::ReadOnly) && in.read(9) == "SIMPLE  =";
        };
        saveWith(1, Path(QStringLiteral("night.fit")));  // "FITs files"
        QVERIFY(startsAsFits(Path(QStringLiteral("night.fit"))));
        QCOMPARE(QFileInfo(Path(QStringLiteral("night.fit"))).size(), qint64{303040});
        QCOMPARE(State().state.LastFileKind, FileKind::Fits);
        saveWith(1, Path(QStringLiteral("plain")));
        QVERIFY(startsAsFits(Path(QStringLiteral("plain.FIT"))));
        saveWith(2, Path(QStringLiteral("other.FITS")));  // "All Files": by the extension
        QVERIFY(startsAsFits(Path(QStringLiteral("other.FITS"))));
        saveWith(2, Path(QStringLiteral("other.tif")));
        QCOMPARE(QFileInfo(Path(QStringLiteral("other.tif"))).size(), qint64{189978});
        saveWith(0, Path(QStringLiteral("~raw.fit")));  // "Veltrane": native, whatever the name
        QCOMPARE(QFileInfo(Path(QStringLiteral("~raw.fit"))).size(), qint64{295800});
    }

    void aFailedSaveLeavesTheCaptionAlone() {
        const QString before = Frame().windowTitle();
        QString shown;
        WhenModal<QMessageBox>([&shown](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        ChooseInDialog(QStringLiteral("/proc/never.FIT"));
        Frame().Dispatch(CmSave);
        QCOMPARE(shown, QStringLiteral("Unable to create/overwrite Zenka File"));
        QCOMPARE(Frame().windowTitle(), before);
    }

    void openStartsWhereTheLastFileWasAndOffersItsNameAsOnDisk() {
        ImageBuffer frame;
        frame.fill(0x1000);
        const std::vector<uint8_t> bytes = EncodeNativeFile(frame);
        std::ofstream(Path(QStringLiteral("~Good.FIT")).toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        QString firstFolder;
        WhenModal<QFileDialog>([&firstFolder](QFileDialog* dialog) {
            firstFolder = dialog->directory().absolutePath();
            dialog->reject();
        });
        Frame().Dispatch(CmOpen);
        QVERIFY(!firstFolder.contains(QStringLiteral("/data")));  // not the hidden data folder
        ChooseInDialog(Path(QStringLiteral("~Good.FIT")));
        Frame().Dispatch(CmOpen);
        QCOMPARE(Frame().windowTitle(), QStringLiteral("Talvor - ~good.fit"));
        QString folder;
        QString offered;
        WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            folder = dialog->directory().absolutePath();
            offered = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            QMetaObject::invokeMethod(dialog, "accept");
        });
        State().images.CurrentImage[0] = 7;
        Frame().Dispatch(CmOpen);
        QCOMPARE(folder, QFileInfo(folder_->path()).absoluteFilePath());
        QCOMPARE(offered, QStringLiteral("~Good.FIT"));
        QCOMPARE(State().images.CurrentImage[0], uint16_t{0x1000});  // the name named the file
    }

    void saveAsTiffAndSaveNative() {
        ChooseInDialog(Path(QStringLiteral("export")));
        Frame().Dispatch(CmSaveAsTiff);
        QCOMPARE(QFileInfo(Path(QStringLiteral("export.TIF"))).size(), qint64{189978});
        ChooseInDialog(Path(QStringLiteral("~frame")));
        Frame().Dispatch(CmSave);
        QCOMPARE(QFileInfo(Path(QStringLiteral("~frame"))).size(), qint64{295800});
        QCOMPARE(State().state.LastFileKind, FileKind::NativeRaw);
    }

    void copyPutsThePictureAndItsPaletteOnTheClipboard() {
        Frame().Dispatch(CmZenkaGeometry);
        Frame().Dispatch(CmCopy);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data != nullptr);
        QVERIFY(data->hasImage());
        const QImage copied = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(copied.size(), QSize(512, 373));
        const QByteArray bitmap = data->data(QStringLiteral("image/bmp"));
        QCOMPARE(bitmap.size(), 1078 + 512 * 373);
        QCOMPARE(bitmap.left(2), QByteArray("BM"));
    }
};

}  // namespace talvor

QTEST_MAIN(talvor::FileMenuTest)
#include "file_menu_test.moc"
