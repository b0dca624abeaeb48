// The label dialog, the "MERGE IMAGES" window and the bound commands, driven through their
// controls offscreen.

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ui/talvor_frame.h"
#include "core/command_ids.h"
#include "core/session.h"
#include "image/native_file.h"
#include "processing/merge_mode.h"
#include "processing/processing_state.h"
#include "processing/ui/calibration_commands.h"
#include "processing/ui/label_dialog.h"
#include "processing/ui/merge_dialog.h"
#include "processing/undo_copy.h"
#include "support/modal_helper.h"
#include "support/recording_ui.h"
#include "support/test_clock.h"
#include "support/window_test_session.h"

namespace talvor {
namespace {

template <typename Button = QAbstractButton>
Button* ButtonOf(QWidget* window, const QString& text) {
    for (Button* button : window->findChildren<Button*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    qFatal("no button \"%s\"", qPrintable(text));
}

QString Field(QWidget* window, const char* name) {
    return window->findChild<QLineEdit*>(name)->text();
}

}  // namespace

class CalibrationDialogTest : public QObject {
    Q_OBJECT

  private:
    testing::WindowTestSession fixture_;

    Session& State() { return *fixture_.session; }
    ImageBuffer& Current() { return fixture_.images->CurrentImage; }
    void FillCurrent(uint16_t value) { std::fill_n(Current().begin(), kFramePixels, value); }
    QString NativeFile(const QString& path, uint16_t value) {
        auto frame = std::make_unique<ImageBuffer>();
        frame->fill(value);
        WriteNativeFile(path.toStdString(), *frame);
        return path;
    }
    // Chooses the file in the next file dialog, typed as a full name: the dialog may not take a
    // selection while its name field has the focus.
    static void ChooseInFileDialog(const QString& file) {
        testing::WhenModal<QFileDialog>([file](QFileDialog* chooser) {
            chooser->findChild<QLineEdit*>("fileNameEdit")->setText(file);
            // QFileDialog keeps its own accept protected; the dialog's is public.
            static_cast<QDialog*>(chooser)->accept();
        });
    }

  private slots:
    void init() {
        fixture_.Start();
        ResetProcessingState(State());
    }

    void cleanup() {
        ResetProcessingState(State());
        fixture_.Stop();
    }

    void labelDialogOpensClearedAndOkDrawsTheLabel() {
        LabelSettingsOf(State()).Text = "old";
        LabelSettingsOf(State()).AutoDate = false;
        FillCurrent(4321);
        QString shownText = "unset";
        bool autoDateShown = false;
        testing::WhenModal<TLabelDialog>([&](TLabelDialog* dialog) {
            auto* text = dialog->findChild<QLineEdit*>();
            shownText = text->text();
            autoDateShown = ButtonOf(dialog, "Auto Date")->isChecked();
            QTest::keyClicks(text, "M42");
            ButtonOf(dialog, "Auto Date")->click();
            ButtonOf(dialog, "OK")->click();
        });
        RunLabelCommand(State(), nullptr);
        QCOMPARE(shownText, QString());
        QVERIFY(autoDateShown);
        QCOMPARE(LabelSettingsOf(State()).Text, std::string("M42"));
        // "M" at column 240 (no date): its second glyph row is 0x63.
        QCOMPARE(PixelAt(Current(), 241, 1), uint16_t{65535});
        QCOMPARE(PixelAt(Current(), 243, 1), uint16_t{0});
        QCOMPARE(Current()[4] + Current()[5], 34);
        QCOMPARE(PixelAt(Current(), 241, 10), uint16_t{4321});
    }

    void labelDialogCheckBoxRulesAndCancel() {
        LabelSettings& settings = LabelSettingsOf(State());
        TLabelDialog dialog(State(), settings);
        auto* autoDate = ButtonOf(&dialog, "Auto Date");
        auto* useFits = ButtonOf(&dialog, "Use FITs Date");
        QCOMPARE(dialog.findChild<QLineEdit*>()->maxLength(), 30);
        useFits->click();
        QCOMPARE(fixture_.ui->messages, std::vector<std::string>{"Sorry, FITs date not set"});
        QVERIFY(!useFits->isChecked());
        QVERIFY(autoDate->isChecked());
        autoDate->click();
        QVERIFY(!autoDate->isChecked());
        State().state.Fits.date = "2026-12-07";
        useFits->click();
        QVERIFY(useFits->isChecked());
        QVERIFY(autoDate->isChecked());
        autoDate->click();
        QVERIFY(!useFits->isChecked());
        QVERIFY(!autoDate->isChecked());

        FillCurrent(7);
        testing::WhenModal<TLabelDialog>([](TLabelDialog* shown) {
            QTest::keyClicks(shown->findChild<QLineEdit*>(), "M1");
            ButtonOf(shown, "Cancel")->click();
        });
        RunLabelCommand(State(), nullptr);
        QCOMPARE(Current()[4], uint16_t{7});
        QCOMPARE(PixelAt(Current(), 250, 1), uint16_t{7});
    }

    void mergeWindowFollowsPicksAndOpenThenMerges() {
        FillCurrent(100);
        int repaints = 0;
        QPointer<TMergeDialog> dialog = RunMergeCommand(State(), nullptr, [&] { ++repaints; });
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("MERGE IMAGES"));
        QVERIFY(dialog->isVisible() && !dialog->isModal());
        QVERIFY(ButtonOf(dialog, "Original  Image")->isChecked());
        QCOMPARE(Field(dialog, "referenceX"), QStringLiteral("0"));
        MergeClick(State(), 20, 15);
        MergeClick(State(), 200, 150);  // a second pick moves the reference
        QCOMPARE(Field(dialog, "referenceX"), QStringLiteral("200"));
        QCOMPARE(Field(dialog, "referenceY"), QStringLiteral("150"));
        // Merge before a merge image was opened does nothing and the window stays.
        ButtonOf(dialog, "Merge")->click();
        QVERIFY(dialog->isVisible());
        QVERIFY(State().modes.MergeMode);

        OpenDuringMerging(State());
        QVERIFY(ButtonOf(dialog, "Merge Image")->isChecked());
        QVERIFY(!ButtonOf(dialog, "Original  Image")->isChecked());
        FillCurrent(1000);
        MergeClick(State(), 203, 148);
        QCOMPARE(Field(dialog, "mergeX"), QStringLiteral("203"));
        QCOMPARE(Field(dialog, "mergeY"), QStringLiteral("148"));
        QCOMPARE(Field(dialog, "referenceX"), QStringLiteral("200"));
        ButtonOf(dialog, "Average")->click();
        QVERIFY(CalibrationOf(State()).Merge.Average);
        ButtonOf(dialog, "Centre on Star")->click();
        QVERIFY(CalibrationOf(State()).Merge.CentreOnStar);

        ButtonOf(dialog, "Merge")->click();
        QVERIFY(!State().modes.MergeMode);
        QCOMPARE(repaints, 1);
        QVERIFY(State().display.RefreshPending);
        QCOMPARE(PixelAt(Current(), 100, 100), uint16_t{550});
        // A merge takes no undo copy and writes no history line.
        QCOMPARE(PixelAt(fixture_.images->UndoImage, 100, 100), uint16_t{225 * 100});
        QCOMPARE(State().state.HistoryLines[0], std::string());
        QVERIFY(QTest::qWaitFor([&] { return dialog.isNull(); }));
        // Once the window has gone, picks reach no window.
        QVERIFY(!CalibrationOf(State()).Merge.FieldsChanged);
    }

    void mergeWindowRefusesASecondStartCancelsAndHelps() {
        QPointer<TMergeDialog> dialog = RunMergeCommand(State(), nullptr, {});
        QVERIFY(RunMergeCommand(State(), nullptr, {}) == nullptr);
        QCOMPARE(fixture_.ui->messages.back(),
                 std::string("Sorry, you are already in Merging mode."));
        QString caption;
        QString help;
        dialog->showHelp = [&](const QString& c, const QString& t) {
            caption = c;
            help = t;
        };
        ButtonOf(dialog, "Help")->click();
        QCOMPARE(caption, QStringLiteral("TALVOR - Control Merging"));
        QVERIFY(help.startsWith("Mark the position in the displayed image"));
        QVERIFY(help.endsWith("if you want an average rather than addition."));
        ButtonOf(dialog, "Average")->click();
        const ImageBuffer before = Current();
        ButtonOf(dialog, "Cancel")->click();
        QVERIFY(!State().modes.MergeMode);
        QVERIFY(!CalibrationOf(State()).Merge.Average);
        QVERIFY(Current() == before);
        QVERIFY(QTest::qWaitFor([&] { return dialog.isNull(); }));
        // Closing the window ends merging as Cancel does.
        dialog = RunMergeCommand(State(), nullptr, {});
        dialog->close();
        QVERIFY(!State().modes.MergeMode);
        QVERIFY(QTest::qWaitFor([&] { return dialog.isNull(); }));
    }

    void undoIsGreyedAfterAnOpen() {
        TalvorFrame frame(State());
        FillCurrent(1000);
        State().state.LastFileKind = FileKind::AllFiles;
        QVERIFY(!frame.MenuAction(CmUndoLastFilter)->isEnabled());
        ChooseInFileDialog(NativeFile(fixture_.folder->filePath("~dark"), 300));
        frame.Dispatch(CmSubtractImage);
        QVERIFY(frame.MenuAction(CmUndoLastFilter)->isEnabled());
        // The older picture in the undo store must not come back over the opened one.
        ChooseInFileDialog(NativeFile(fixture_.folder->filePath("~light"), 2500));
        frame.Dispatch(CmOpen);
        QCOMPARE(PixelAt(Current(), 10, 10), uint16_t{2500});
        QVERIFY(!frame.MenuAction(CmUndoLastFilter)->isEnabled());
        const std::vector<QAction*> keys = frame.AcceleratorActions(CmUndoLastFilter);
        QVERIFY(!keys.empty());
        for (QAction* key : keys) {
            key->trigger();
        }
        QCOMPARE(PixelAt(Current(), 10, 10), uint16_t{2500});
    }

    void boundCommandsRunThroughTheFileDialog() {
        TalvorFrame frame(State());
        BindCalibrationAndLabelCommands(frame, State());
        for (int id :
             {CmSubtractImage, CmApplyFlatField, CmMergeImages, CmAverageImages, CmSelectDarkFrame,
              CmSelectAutoFlat, CmUndoLastFilter, CmProcessingHistory, CmLabel}) {
            QVERIFY2(frame.IsBound(id), qPrintable(QString::number(id)));
        }
        FillCurrent(1000);
        State().state.LastFileKind = FileKind::AllFiles;
        ChooseInFileDialog(NativeFile(fixture_.folder->filePath("~dark"), 300));
        frame.Dispatch(CmSubtractImage);
        QCOMPARE(PixelAt(Current(), 10, 10), uint16_t{700});
        QCOMPARE(State().state.LastFileKind, FileKind::NativeRaw);
        frame.Dispatch(CmProcessingHistory);
        QCOMPARE(fixture_.ui->messages.back(), std::string("Dark Frame Subtracted \n"));
        QVERIFY(frame.MenuAction(CmUndoLastFilter)->isEnabled());
        frame.Dispatch(CmUndoLastFilter);
        QCOMPARE(PixelAt(Current(), 10, 10), uint16_t{1000});
        QCOMPARE(State().state.HistoryLines[0], std::string());
        QVERIFY(!frame.MenuAction(CmUndoLastFilter)->isEnabled());

        // A chosen automatic file is held whole, however long its path; Cancel keeps it.
        const QString deep = fixture_.folder->filePath(QString(60, 'd'));
        QVERIFY(QDir().mkpath(deep));
        const QString dark = NativeFile(deep + "/~dark", 5);
        ChooseInFileDialog(dark);
        frame.Dispatch(CmSelectDarkFrame);
        QCOMPARE(QString::fromStdString(CalibrationOf(State()).AutoDarkPath), dark);
        QVERIFY(CalibrationOf(State()).AutoDarkPath.size() > 49);
        QCOMPARE(PixelAt(Current(), 10, 10), uint16_t{1000});
        testing::WhenModal<QFileDialog>([](QFileDialog* chooser) { chooser->reject(); });
        frame.Dispatch(CmSelectDarkFrame);
        QCOMPARE(QString::fromStdString(CalibrationOf(State()).AutoDarkPath), dark);
    }
};

}  // namespace talvor

QTEST_MAIN(talvor::CalibrationDialogTest)
#include "calibration_dialog_test.moc"
