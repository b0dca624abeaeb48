// The dialogs of the files and settings commands, driven through their real controls offscreen.

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <fstream>
#include <functional>

#include "app/ui/talvor_frame.h"
#include "app/ui/talvor_window.h"
#include "core/image_store.h"
#include "core/session.h"
#include "image/program_defaults.h"
#include "image/quick_save.h"
#include "image/settings_file.h"
#include "image/ui/delete_dialog.h"
#include "image/ui/delete_file_command.h"
#include "image/ui/fits_commands.h"
#include "image/ui/fits_details_dialog.h"
#include "image/ui/program_defaults_command.h"
#include "image/ui/program_defaults_dialog.h"
#include "support/recording_ui.h"
#include "support/test_clock.h"
#include "support/window_test_session.h"

namespace talvor {
namespace {

// The button of a dialog with the given text; the test stops when there is none.
template <typename Button = QAbstractButton>
Button* ButtonOf(QWidget* dialog, const QString& text) {
    for (Button* button : dialog->findChildren<Button*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    qFatal("no button \"%s\"", qPrintable(text));
}

// The edit field a label names.
template <typename Field = QLineEdit>
Field* FieldOf(QWidget* dialog, const QString& label) {
    for (QLabel* candidate : dialog->findChildren<QLabel*>()) {
        if (auto* field = qobject_cast<Field*>(candidate->buddy());
            field != nullptr && candidate->text() == label) {
            return field;
        }
    }
    qFatal("no field \"%s\"", qPrintable(label));
}

// Acts on the next modal dialog of the type once it is shown, from inside its event loop.
template <typename Dialog>
void WhenShown(std::function<void(Dialog*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(dialog);
    });
    poll->start();
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private:
    testing::WindowTestSession fixture_;

    Session& State() { return *fixture_.session; }
    std::filesystem::path SettingsFile() {
        return std::filesystem::path(fixture_.folder->path().toStdString()) / "autosave" /
               "talvor.ini";
    }
    // The values the settings file holds, read into a session of their own.
    Session& FromFile(Session& other) {
        ReadSettings(other);
        return other;
    }
    std::unique_ptr<Session> FreshSession() {
        return std::make_unique<Session>(*fixture_.images,
                                         DataDirectory(fixture_.folder->path().toStdString()),
                                         *fixture_.clock, *fixture_.ui);
    }

  private slots:
    void init() { fixture_.Start(); }

    void cleanup() { fixture_.Stop(); }

    void iniDialogRadioButtonsActAtOnce() {
        TINIDialog dialog(State());
        QVERIFY(ButtonOf(&dialog, "Lt Gray")->isChecked());
        QVERIFY(ButtonOf(&dialog, "8 Pixels")->isChecked());
        ButtonOf(&dialog, "Red")->click();
        QCOMPARE(State().settings.Background, WindowBackground::Red);
        QVERIFY(State().display.BackgroundChanged);
        QVERIFY(ButtonOf(&dialog, "Red")->isChecked());
        QVERIFY(!ButtonOf(&dialog, "Lt Gray")->isChecked());
        ButtonOf(&dialog, "13 Pixels")->click();
        ButtonOf(&dialog, "Via Control Box")->click();
        ButtonOf(&dialog, "Com2")->click();
        ButtonOf(&dialog, "4 Sec")->click();
        QCOMPARE(State().settings.GuideStarMaskRadius, 13);
        QCOMPARE(State().settings.Telescope, TelescopeType::ControlBox);
        QCOMPARE(State().settings.Port, CommPort::Com2);
        QCOMPARE(State().settings.GuideTrainingSeconds, 4);
        QVERIFY(!ButtonOf(&dialog, "8 Pixels")->isChecked());
    }

    void iniDialogTakesTheNumberFieldsOnlyWithTheirControls() {
        TINIDialog dialog(State());
        QLineEdit* hysteresis = FieldOf(&dialog, "Hysteresis in RA (0-10)");
        QLineEdit* rate = FieldOf(&dialog, "Dec pixels per sec");
        QCOMPARE(rate->text(), QStringLiteral("2"));
        // Debug Mode takes no field: the typed number goes when the dialog is redrawn.
        hysteresis->setText("9");
        ButtonOf(&dialog, "Debug Mode")->click();
        QVERIFY(State().settings.DebugMode);
        QCOMPARE(State().settings.RaHysteresis, 0);
        QCOMPARE(hysteresis->text(), QStringLiteral("0"));
        hysteresis->clear();
        QTest::keyClicks(hysteresis, "35");
        rate->setText("fast");
        ButtonOf(&dialog, "Com2")->click();
        QCOMPARE(State().settings.RaHysteresis, 20);
        QCOMPARE(State().settings.DecPixelsPerSecond, 0);
        QCOMPARE(hysteresis->text(), QStringLiteral("20"));
        FieldOf(&dialog, "Dec Backlash")->setText("7");
        ButtonOf(&dialog, "Set slew values")->click();
        QCOMPARE(State().settings.DecBacklash, 7);
    }

    void iniDialogCheckBoxesSwapsAndSubDirectory() {
        TINIDialog dialog(State());
        auto* swapNorthSouth = ButtonOf(&dialog, "Swap n/s direction");
        QVERIFY(!swapNorthSouth->isChecked());
        swapNorthSouth->click();
        QCOMPARE(State().settings.NorthLetter, 's');
        QVERIFY(swapNorthSouth->isChecked());
        QVERIFY(ButtonOf(&dialog, "during Download")->isChecked());
        ButtonOf(&dialog, "during Download")->click();
        QVERIFY(!State().settings.DisableInterruptsDuringDownload);
        ButtonOf(&dialog, "70 ms delay between\ndirection changes")->click();
        QVERIFY(State().settings.DirectionChangeDelay70Ms);
        ButtonOf(&dialog, "Unsigned Integer Format")->click();
        QVERIFY(State().state.UnsignedFits);
        FieldOf(&dialog, "Sub-dir Name")->setText("night1");
        ButtonOf(&dialog, "Set Sub-Dir")->click();
        QCOMPARE(AutoSaveDirectory(State().settings), std::string("c:\\AUTOSAVE\\night1"));
    }

    void programDefaultsCancelKeepsChangesInMemoryOnly() {
        TalvorFrame frame(State());
        const auto buttons = frame.ToolBar()->actions().size();
        WhenShown<TINIDialog>([](TINIDialog* dialog) {
            ButtonOf(dialog, "Red")->click();
            ButtonOf(dialog, "Meade LX200 (Tm)")->click();
            ButtonOf(dialog, "Cancel")->click();
        });
        RunProgramDefaults(State(), frame);
        QCOMPARE(State().settings.Telescope, TelescopeType::MeadeLx200);
        QVERIFY(frame.ToolBar()->actions().size() > buttons);
        frame.Client()->viewport()->grab();
        QCOMPARE(frame.Client()->BackgroundColour(), QColor(120, 40, 40));
        auto other = FreshSession();
        QCOMPARE(FromFile(*other).settings.Telescope, TelescopeType::None);
        QCOMPARE(other->settings.Background, WindowBackground::LightGrey);
        QVERIFY(fixture_.ui->messages.empty());
    }

    void programDefaultsSaveChangesWritesTheFile() {
        WriteSettings(State());
        TalvorFrame frame(State());
        WhenShown<TINIDialog>([](TINIDialog* dialog) {
            ButtonOf(dialog, "Gray")->click();
            ButtonOf(dialog, "Save Changes")->click();
        });
        RunProgramDefaults(State(), frame);
        auto other = FreshSession();
        QCOMPARE(FromFile(*other).settings.Background, WindowBackground::Grey);
        QVERIFY(fixture_.ui->messages.empty());
    }

    void programDefaultsSaveChangesTakesWhatTheFieldsShow() {
        WriteSettings(State());
        TalvorFrame frame(State());
        WhenShown<TINIDialog>([this](TINIDialog* dialog) {
            FieldOf(dialog, "RA pixels per sec")->setText("5");
            FieldOf(dialog, "RA Backlash")->setText("25");
            ButtonOf(dialog, "Save Changes")->click();
            // Out of range: the message, and the dialog stays for the value to be mended.
            QVERIFY(dialog->isVisible());
            QCOMPARE(fixture_.ui->messages.back(),
                     std::string("\"RA Backlash\" must be a whole number from 0 to 20."));
            FieldOf(dialog, "RA Backlash")->setText("15");
            ButtonOf(dialog, "Save Changes")->click();
        });
        RunProgramDefaults(State(), frame);
        auto other = FreshSession();
        QCOMPARE(FromFile(*other).settings.RaPixelsPerSecond, 5);
        QCOMPARE(other->settings.RaBacklash, 15);
    }

    void programDefaultsLeaveAnOpenedImagesTextsAlone() {
        State().settings.Fits.object = "from settings";
        WriteSettings(State());
        State().state.Fits.object = "Barnard's Star";
        State().state.Fits.focalLengthInches = 47;
        State().state.UnsignedFits = true;
        State().state.TextsOrigin = HeaderTextsOrigin::File;
        TalvorFrame frame(State());
        WhenShown<TINIDialog>([](TINIDialog* dialog) { ButtonOf(dialog, "Cancel")->click(); });
        RunProgramDefaults(State(), frame);
        QCOMPARE(State().state.Fits.object, std::string("Barnard's Star"));
        QCOMPARE(State().state.Fits.focalLengthInches, 47.0);
        QVERIFY(State().state.UnsignedFits);
        QCOMPARE(State().settings.Fits.object, std::string("from settings"));
    }

    void subDirectoryWithASlashIsRefusedWhenSet() {
        TINIDialog dialog(State());
        FieldOf(&dialog, "Sub-dir Name")->setText("2026/12/07");
        ButtonOf(&dialog, "Set Sub-Dir")->click();
        QCOMPARE(fixture_.ui->messages, std::vector<std::string>{kSubDirectoryRefused});
        QCOMPARE(AutoSaveDirectory(State().settings), std::string("c:\\AUTOSAVE"));
        QCOMPARE(FieldOf(&dialog, "Sub-dir Name")->text(), QString());
    }

    void programDefaultsReportsAnUnreadableAndUnwritableFile() {
        TalvorFrame frame(State());
        std::filesystem::remove(SettingsFile());
        std::filesystem::create_directory(SettingsFile());
        WhenShown<TINIDialog>(
            [](TINIDialog* dialog) { ButtonOf(dialog, "Save Changes")->click(); });
        RunProgramDefaults(State(), frame);
        QCOMPARE(fixture_.ui->messages,
                 (std::vector<std::string>{"Unable to load INI file, please delete and try again",
                                           "Unable to save INI file, please check disk space"}));
    }

    void fitsDialogShowsTheDetailsAndContinueStoresThem() {
        State().state.Fits.object = "M42";
        State().state.Fits.focalLengthInches = 80;
        State().settings.UtOffsetHours = 14;
        TFITSDialog dialog(State());
        QCOMPARE(FieldOf(&dialog, "Object:")->text(), QStringLiteral("M42"));
        QCOMPARE(FieldOf(&dialog, "Focal Len (ins):")->text(), QStringLiteral("80.000000"));
        QCOMPARE(FieldOf(&dialog, "Instrumentation:")->text(), QStringLiteral("Veltrane CCD"));
        QCOMPARE(dialog.findChild<QScrollBar*>()->value(), 0);
        FieldOf(&dialog, "Observer:")->setText("Me");
        FieldOf(&dialog, "Focal Len (ins):")->setText("long");
        FieldOf(&dialog, "Exposure (secs):")->setText("30");
        FieldOf(&dialog, "Date:")->setText("2026-12-07");
        FieldOf<QPlainTextEdit>(&dialog, "History:")->setPlainText(QString(300, 'h'));
        ButtonOf(&dialog, "Continue")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const FitsDetails& fits = State().state.Fits;
        QCOMPARE(fits.observer, std::string("Me"));
        QCOMPARE(fits.focalLengthInches, 80.0);
        QCOMPARE(fits.exposureSeconds, 30.0);
        QCOMPARE(fits.date, std::string("2026-12-07"));
        QCOMPARE(fits.history.size(), std::size_t{254});
        QCOMPARE(State().settings.UtOffsetHours, 0);
    }

    void fitsDialogSpellsTextsInAsciiAndRefusesADateFitsCannotCarry() {
        TFITSDialog dialog(State());
        FieldOf(&dialog, "Object:")->setText(QStringLiteral("Barnard's Star"));
        FieldOf(&dialog, "Observer:")->setText(QStringLiteral("Zoë Ångström"));
        FieldOf(&dialog, "Date:")->setText(QStringLiteral("7/12/2026"));
        ButtonOf(&dialog, "Continue")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(fixture_.ui->messages.size(), std::size_t{1});
        QVERIFY(State().state.Fits.object.empty());
        FieldOf(&dialog, "Date:")->setText(QStringLiteral("2026-12-07"));
        ButtonOf(&dialog, "Continue")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(State().state.Fits.object, std::string("Barnard's Star"));
        QCOMPARE(State().state.Fits.observer, std::string("Zoe Angstrom"));
    }

    void fitsDialogAbortKeepsTextsButAClickedCheckBoxStands() {
        State().settings.UtOffsetHours = 10;
        TFITSDialog dialog(State());
        FieldOf(&dialog, "Object:")->setText("changed");
        ButtonOf(&dialog, "8 bit integer (16 bit default)")->click();
        ButtonOf(&dialog, "Unsigned Integer Format")->click();
        auto* bar = dialog.findChild<QScrollBar*>();
        QVERIFY(bar != nullptr);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(bar->value(), 11);
        ButtonOf(&dialog, "Abort")->click();
        QVERIFY(State().state.Fits.object.empty());
        QVERIFY(State().state.Fits.eightBit);
        QVERIFY(State().state.UnsignedFits);
        QCOMPARE(State().settings.UtOffsetHours, 10);
    }

    void fitsDialogUtArrowsStopAtElevenHours() {
        State().settings.UtOffsetHours = -10;
        TFITSDialog dialog(State());
        auto* bar = dialog.findChild<QScrollBar*>();
        QLineEdit* box = nullptr;
        for (QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
            box = field->isReadOnly() ? field : box;
        }
        QVERIFY(box != nullptr);
        QCOMPARE(box->text(), QStringLiteral("-10"));
        for (int i = 0; i < 3; ++i) {
            bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        }
        QCOMPARE(bar->value(), -11);
        QCOMPARE(box->text(), QStringLiteral("-11"));
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(box->text(), QStringLiteral("11"));
        ButtonOf(&dialog, "Continue")->click();
        QCOMPARE(State().settings.UtOffsetHours, 11);
    }

    void autoSaveFitsTextIsWrittenOnContinue() {
        WriteSettings(State());
        State().state.Fits.eightBit = true;
        bool eightBitShown = true;
        WhenShown<TFITSDialog>([&eightBitShown](TFITSDialog* dialog) {
            eightBitShown = ButtonOf(dialog, "8 bit integer (16 bit default)")->isChecked();
            FieldOf(dialog, "Telescope:")->setText("10in Newtonian");
            ButtonOf(dialog, "Continue")->click();
        });
        EditAutoSaveFitsText(State(), nullptr);
        QVERIFY(!eightBitShown);
        auto other = FreshSession();
        QCOMPARE(FromFile(*other).state.Fits.telescope, std::string("10in Newtonian"));
        QVERIFY(fixture_.ui->messages.empty());
    }

    void currentFitsDetailsStayInMemoryAndOutOfTheSettingsFile() {
        WriteSettings(State());
        WhenShown<TFITSDialog>([](TFITSDialog* dialog) {
            FieldOf(dialog, "Filter:")->setText("Red");
            dialog->findChild<QScrollBar*>()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            ButtonOf(dialog, "Continue")->click();
        });
        EditCurrentFitsDetails(State(), nullptr);
        QCOMPARE(State().state.Fits.filter, std::string("Red"));
        // Neither reading the settings file again nor a quick save takes them there.
        ReadSettings(State());
        QCOMPARE(State().state.Fits.filter, std::string("Red"));
        QCOMPARE(QuickSaveFits(State(), State().images.CurrentImage, {}, {}),
                 QuickSaveResult::Saved);
        auto other = FreshSession();
        QCOMPARE(FromFile(*other).state.Fits.filter, std::string("None"));
        QCOMPARE(other->settings.UtOffsetHours, 0);
        QCOMPARE(other->settings.QuickSaveCounter, uint16_t{1});
    }

    void autoSaveFitsTextShowsTheSettingsTextsForAnOpenedImage() {
        State().settings.Fits.object = "from settings";
        WriteSettings(State());
        State().state.Fits.object = "opened";
        State().state.TextsOrigin = HeaderTextsOrigin::File;
        QString shown;
        WhenShown<TFITSDialog>([&shown](TFITSDialog* dialog) {
            shown = FieldOf(dialog, "Object:")->text();
            ButtonOf(dialog, "Abort")->click();
        });
        EditAutoSaveFitsText(State(), nullptr);
        QCOMPARE(shown, QStringLiteral("from settings"));
        QCOMPARE(State().state.Fits.object, std::string("opened"));
    }

    void saveAsFitsDatesTheDetailsAndReportsTheChoice() {
        fixture_.clock->SetCalendar({2026, 3, 2, 21, 30, 0});
        QString shownDate;
        WhenShown<TFITSDialog>([&shownDate](TFITSDialog* dialog) {
            shownDate = FieldOf(dialog, "Date:")->text();
            ButtonOf(dialog, "Continue")->click();
        });
        QVERIFY(PrepareSaveAsFits(State(), nullptr));
        QCOMPARE(shownDate, QStringLiteral("2026-03-02"));
        WhenShown<TFITSDialog>([](TFITSDialog* dialog) { ButtonOf(dialog, "Abort")->click(); });
        QVERIFY(!PrepareSaveAsFits(State(), nullptr));
    }

    void deleteDialogShowsTheNameAndOkDeletes() {
        const QString file = fixture_.folder->filePath("~m42.raw");
        std::ofstream(file.toStdString()) << "frame";
        State().state.LastFileKind = FileKind::Fits;
        QString selectedFilter;
        QStringList filterNames;
        QString shownName;
        QString question;
        WhenShown<QFileDialog>([&](QFileDialog* chooser) {
            selectedFilter = chooser->selectedNameFilter();
            auto* combo = chooser->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; combo != nullptr && i < combo->count(); ++i) {
                filterNames << combo->itemText(i);
            }
            chooser->setDirectory(fixture_.folder->path());
            chooser->selectFile(file);
            WhenShown<TDeleteDialog>([&shownName, &question](TDeleteDialog* confirm) {
                shownName = confirm->findChild<QLineEdit*>()->text();
                question = confirm->findChild<QLabel*>()->text();
                ButtonOf(confirm, "OK")->click();
            });
            // QFileDialog keeps its own accept protected; the dialog's is public.
            static_cast<QDialog*>(chooser)->accept();
        });
        DeleteFileCommand(State(), nullptr);
        QCOMPARE(selectedFilter, QStringLiteral("FITS files"));
        QCOMPARE(filterNames, (QStringList{"Veltrane (~*.)", "FITS files", "All Files"}));
        QCOMPARE(shownName, file);
        QCOMPARE(question, QStringLiteral("Delete this file?"));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(State().state.LastFileKind, FileKind::NativeRaw);
    }

    void deleteDialogStartsInTheFolderLastUsed() {
        const auto startFolder = [this] {
            QString startedIn;
            WhenShown<QFileDialog>([&startedIn](QFileDialog* chooser) {
                startedIn = chooser->directory().absolutePath();
                chooser->reject();
            });
            DeleteFileCommand(State(), nullptr);
            return startedIn;
        };
        // Before any file was chosen: the Pictures or home folder, never the data folder.
        const QString first = startFolder();
        QVERIFY(first == QDir::homePath() || first.startsWith(QDir::homePath() + "/"));
        QVERIFY(first != fixture_.folder->path());
        State().state.LastFileFolder = fixture_.folder->path().toStdString();
        QCOMPARE(startFolder(), fixture_.folder->path());
    }

    void deleteCancelKeepsTheFile() {
        const QString file = fixture_.folder->filePath("m42.fit");
        std::ofstream(file.toStdString()) << "frame";
        WhenShown<QFileDialog>([&](QFileDialog* chooser) {
            chooser->selectFile(file);
            WhenShown<TDeleteDialog>(
                [](TDeleteDialog* confirm) { ButtonOf(confirm, "Cancel")->click(); });
            // QFileDialog keeps its own accept protected; the dialog's is public.
            static_cast<QDialog*>(chooser)->accept();
        });
        DeleteFileCommand(State(), nullptr);
        QVERIFY(QFile::exists(file));
        QCOMPARE(State().state.LastFileKind, FileKind::AllFiles);
    }

    void fitsFilterFindsLowerCaseNames() {
        for (const char* name : {"m42.fit", "M43.FIT", "notes.txt", "~dark"}) {
            std::ofstream(fixture_.folder->filePath(name).toStdString()) << "x";
        }
        State().state.LastFileKind = FileKind::Fits;
        QStringList listed;
        WhenShown<QFileDialog>([&](QFileDialog* chooser) {
            chooser->setDirectory(fixture_.folder->path());
            auto* view = chooser->findChild<QListView*>("listView");
            const auto shown = [view] {
                QStringList names;
                QAbstractItemModel* model = view->model();
                for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
                    const QModelIndex index = model->index(row, 0, view->rootIndex());
                    if (model->flags(index) & Qt::ItemIsEnabled) {
                        names << index.data().toString();
                    }
                }
                names.sort();
                return names;
            };
            // The folder is read in the background: wait for the list, then for any late rows.
            if (QTest::qWaitFor([&] { return shown().size() >= 2; }, 5000)) {
                QTest::qWait(50);
            }
            listed = shown();
            chooser->reject();
        });
        DeleteFileCommand(State(), nullptr);
        QCOMPARE(listed, (QStringList{"M43.FIT", "m42.fit"}));
        QCOMPARE(State().state.LastFileKind, FileKind::Fits);
    }
};

}  // namespace talvor

QTEST_MAIN(talvor::DialogsTest)
#include "dialogs_test.moc"
