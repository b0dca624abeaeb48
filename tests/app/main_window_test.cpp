// The main window drawn offscreen: menus, accelerators, tool bar, item states and the picture.

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <algorithm>
#include <set>

#include "app/ui/progress_dialog.h"
#include "app/ui/qt_user_interface.h"
#include "app/ui/talvor_app.h"
#include "app/ui/talvor_frame.h"
#include "app/ui/talvor_window.h"
#include "core/command_ids.h"
#include "core/progress.h"
#include "core/pump_messages.h"
#include "core/session.h"
#include "display/ui/max_value_dialog.h"
#include "support/program_under_test.h"

namespace talvor {

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<TTalvorApp> app_;

    TalvorFrame& Frame() { return app_->Frame(); }
    Session& State() { return app_->State(); }
    QAction* Item(int id) {
        QAction* action = Frame().MenuAction(id);
        if (action == nullptr) {
            qFatal("no menu item %d", id);
        }
        return action;
    }
    std::vector<QAction*> ToolButtons() {
        std::vector<QAction*> buttons;
        for (QAction* action : Frame().ToolBar()->actions()) {
            if (!action->icon().isNull()) {
                buttons.push_back(action);
            }
        }
        return buttons;
    }

  private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        app_ = testing::StartProgram(folder_->path().toStdString());
        app_->Show();
        QApplication::setActiveWindow(&Frame());
        QVERIFY(QTest::qWaitForWindowActive(&Frame()));
    }

    void cleanup() {
        app_.reset();
        folder_.reset();
    }

    void startsWithTheBannerAtTheOriginAndNoPicture() {
        QCOMPARE(Frame().windowTitle(), QStringLiteral("Drevik Zenka USB Camera Software"));
        QCOMPARE(Frame().size(), QSize(710, 490));
        QCOMPARE(Frame().pos(), QPoint(0, 0));
        QVERIFY(!Frame().Client()->HasDisplayBitmap());
        QVERIFY(Frame().Client()->horizontalScrollBar()->isVisible());
        QVERIFY(Frame().Client()->verticalScrollBar()->isVisible());
    }

    void menuBarShowsEveryMenuAndItemText() {
        QStringList titles;
        for (QAction* action : Frame().menuBar()->actions()) {
            titles << action->text();
        }
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Label", "&Contrast", "Filter&s ",
                                      "&Merging", "&Histogram", "Help"}));
        QCOMPARE(Item(CmOpen)->text(), QStringLiteral("&Open...\tCTL+O"));
        QCOMPARE(Item(CmQuickSaveFits)->text(), QStringLiteral("&Quick Save as FITS\tCTL+Q "));
        QCOMPARE(Item(CmCopy)->text(), QStringLiteral("&Copy\tShift+Ins"));
        QCOMPARE(Item(CmOpen)->statusTip(), QStringLiteral("Get an image from Disk"));
        QMenu* file = Frame().menuBar()->actions()[0]->menu();
        QVERIFY(file != nullptr);
        int separators = 0;
        for (QAction* action : file->actions()) {
            separators += action->isSeparator() ? 1 : 0;
        }
        QCOMPARE(separators, 5);
    }

    void everyCommandIsLiveButTheTelescopeOnesWithoutATelescope() {
        // Telescope commands stay grey without a telescope; Copy waits for a picture, Undo for
        // a processing step.
        const std::set<int> grey{CmStartAutoGuiding, CmTrainAutoGuiding, CmTelescopeControl, CmCopy,
                                 CmUndoLastFilter};
        for (QAction* menu : Frame().menuBar()->actions()) {
            const QList<QAction*> items =
                menu->menu() != nullptr ? menu->menu()->actions() : QList<QAction*>{menu};
            for (QAction* item : items) {
                if (item->isSeparator()) {
                    continue;
                }
                const bool expectGrey = std::any_of(grey.begin(), grey.end(), [&](int id) {
                    return Frame().MenuAction(id) == item;
                });
                QVERIFY2(item->isEnabled() != expectGrey, qPrintable(item->text()));
            }
        }
        State().settings.Telescope = TelescopeType::ControlBox;
        Frame().UpdateCommandStates();
        QVERIFY(Item(CmStartAutoGuiding)->isEnabled());
    }

    void zenkaGeometryShowsThe373RowRampWithTheUntitledCaption() {
        Item(CmZenkaGeometry)->trigger();
        QCOMPARE(Frame().windowTitle(), QStringLiteral("Talvor - (Untitled)"));
        QVERIFY(Item(CmZenkaGeometry)->isChecked());
        QVERIFY(!Item(CmFitToWindow)->isChecked());
        const QImage& bitmap = Frame().Client()->DisplayBitmap();
        QCOMPARE(bitmap.size(), QSize(512, 373));
        QCOMPARE(qGray(bitmap.pixel(100, 372)), 65025 >> 8);
        QCOMPARE(qGray(bitmap.pixel(100, 0)), 0);
        QVERIFY(Item(CmCopy)->text().size() > 0);
        // Drawn 1:1 at the origin: the shown picture equals the file.
        const QImage shown = Frame().Client()->viewport()->grab().toImage();
        QCOMPARE(shown.pixel(100, 200), bitmap.pixel(100, 200));
        QCOMPARE(QColor(shown.pixel(shown.width() - 1, 10)), QColor(192, 192, 192));
        // A window smaller than the picture scrolls over exactly the part that does not fit.
        Frame().resize(400, 300);
        QApplication::processEvents();
        const QSize client = Frame().Client()->viewport()->size();
        QCOMPARE(Frame().Client()->verticalScrollBar()->maximum(), 373 - client.height());
        QCOMPARE(Frame().Client()->horizontalScrollBar()->maximum(), 512 - client.width());
    }

    void fitToWindowStretchesThePictureAndDropsZenkaGeometry() {
        Item(CmZenkaGeometry)->trigger();
        Item(CmFitToWindow)->trigger();
        QVERIFY(Item(CmFitToWindow)->isChecked());
        QVERIFY(!Item(CmZenkaGeometry)->isChecked());
        QCOMPARE(Frame().Client()->verticalScrollBar()->maximum(), 0);
        const QImage shown = Frame().Client()->viewport()->grab().toImage();
        // The ramp's brightest row now lies at the bottom of the window, not the background.
        QVERIFY(qGray(shown.pixel(shown.width() - 20, shown.height() - 1)) > 240);
    }

    void acceleratorsWorkWithTheFocusAnywhere() {
        Frame().Client()->viewport()->setFocus();
        QSignalSpy spy(Frame().AcceleratorActions(CmExit).front(), &QAction::triggered);
        QTest::keyClick(Frame().Client()->viewport(), Qt::Key_X, Qt::AltModifier);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!Frame().isVisible());
    }

    void greyCommandsAreNotCarriedOut() {
        // Dispatching a grey command does nothing: no window opens, nothing changes.
        Frame().Dispatch(CmTrainAutoGuiding);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(Frame().isVisible());
    }

    void toolBarHasItsButtonsAndTheTelescopeButtonFollowsTheSetting() {
        auto buttons = ToolButtons();
        QCOMPARE(buttons.size(), std::size_t{17});
        QCOMPARE(buttons[0]->statusTip(), QStringLiteral("Save Image in Raw data format"));
        QCOMPARE(buttons[4]->statusTip(), QStringLiteral("Use Max Palette Stretch on all Images"));
        QCOMPARE(buttons[0]->icon().availableSizes().value(0, QSize(32, 32)), QSize(32, 32));
        State().settings.Telescope = TelescopeType::MeadeLx200;
        Frame().RebuildToolBar();
        buttons = ToolButtons();
        QCOMPARE(buttons.size(), std::size_t{18});
        QCOMPARE(buttons.back()->statusTip(),
                 QStringLiteral("Control a LX200 telescope or Autoguider port"));
    }

    void maxStretchButtonsRepaintWithTheStretchedPalette() {
        ToolButtons()[4]->trigger();
        QVERIFY(State().display.MaxStretchAll);
        const QImage& bitmap = Frame().Client()->DisplayBitmap();
        // Stretch bits 14: byte 63 shows as 252.
        QCOMPARE(qGray(bitmap.color(63)), 252);
        ToolButtons()[5]->trigger();
        QVERIFY(!State().display.MaxStretchAll);
        QCOMPARE(qGray(Frame().Client()->DisplayBitmap().color(63)), 63);
    }

    void stretchPaletteDialogFollowsItsScrollRules() {
        TMaxDialog dialog(State(), &Frame());
        auto* bar = dialog.findChild<QScrollBar*>();
        auto* value = dialog.findChild<QLineEdit*>();
        QVERIFY(bar != nullptr && value != nullptr);
        QCOMPARE(value->text(), QStringLiteral("14"));
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(State().readout.StretchBits, 15);
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(State().readout.StretchBits, 12);
        QCOMPARE(value->text(), QStringLiteral("12"));
        QCOMPARE(bar->value(), 12);
    }

    void progressWindowShowsAFullBarAbove256() {
        auto& ui = static_cast<QtUserInterface&>(State().ui);
        State().progress.ProgressTitle = "Filter Progress";
        {
            ProgressWindow window(State().ui, State().progress);
            QVERIFY(ui.Progress() != nullptr);
            QCOMPARE(ui.Progress()->windowTitle(), QStringLiteral("Filter Progress"));
            ui.SetProgressPosition(300);
            QCOMPARE(ui.Progress()->Position(), 256);
            window.SetPosition(0);
            QCOMPARE(ui.Progress()->Position(), 0);
        }
        QVERIFY(ui.Progress() == nullptr);
    }

    void aKeyPressCutsTheWaitShort() {
        QTimer::singleShot(
            50, [this] { QTest::keyClick(Frame().Client()->viewport(), Qt::Key_Space); });
        QVERIFY(PumpMessages(State(), 30));
        QVERIFY(!PumpMessages(State(), 0));
    }
};

}  // namespace talvor

QTEST_MAIN(talvor::MainWindowTest)
#include "main_window_test.moc"
