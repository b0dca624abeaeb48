// The two telescope hand-control windows, drawn offscreen, with a serial port that records what
// they send. The link's waits run on the test clock, except where the window's own event loop
// must run during a go-to.

#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/ui/qt_user_interface.h"

#include "core/clock.h"
#include "core/image_store.h"
#include "core/session.h"
#include "support/recording_ui.h"
#include "support/window_test_session.h"
#include "telescope/recording_serial_port.h"
#include "telescope/telescope_control.h"
#include "telescope/ui/control_box_dialog.h"
#include "telescope/ui/lx200_hand_control_dialog.h"
#include "telescope/ui/show_telescope_control.h"
#include "ui/arrow_scroll_bar.h"

namespace talvor {

using testing::RecordingSerialPort;
using testing::RecordingUi;
using testing::TestClock;

class TelescopeDialogsTest : public QObject {
    Q_OBJECT

  private:
    struct Notice {
        QString title;
        QString text;
    };

    testing::WindowTestSession fixture_;
    RecordingSerialPort* port_ = nullptr;
    std::vector<Notice> notices_;

    Session& State() { return *fixture_.session; }

    template <typename Widget>
    static Widget* Find(QWidget* dialog, const char* name) {
        auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            qFatal("no control %s", name);
        }
        return widget;
    }

    std::unique_ptr<TMTDialog> OpenLx200() {
        auto dialog = std::make_unique<TMTDialog>(State());
        dialog->showNotice = [this](const QString& title, const QString& text) {
            notices_.push_back({title, text});
        };
        dialog->show();
        return dialog;
    }

    // Holds an arrow long enough for the bar to repeat its notice, then lets go.
    static void Hold(ArrowScrollBar* bar, bool upOrLeft, int milliseconds, QSignalSpy* repeats) {
        const QPoint arrow = bar->ArrowArea(upOrLeft).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, arrow);
        QTest::qWait(milliseconds);
        if (repeats != nullptr) {
            QVERIFY2(repeats->count() > 1, "the held arrow did not repeat");
        }
        QTest::mouseRelease(bar, Qt::LeftButton, {}, arrow);
    }

  private slots:
    void init() {
        fixture_.Start();
        auto port = std::make_unique<RecordingSerialPort>();
        port_ = port.get();
        fixture_.session->telescope.Ports = std::move(port);
        fixture_.session->telescope.PortOpen = true;
        fixture_.session->settings.Telescope = TelescopeType::MeadeLx200;
        notices_.clear();
    }

    void cleanup() { fixture_.Stop(); }

    void heldArrowSendsOneStartAndOneStop() {
        auto dialog = OpenLx200();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("TALVOR Move Telescope"));
        QVERIFY(!dialog->isModal());
        auto* bar = Find<ArrowScrollBar>(dialog.get(), "horizontalBar");
        QSignalSpy repeats(bar, &ArrowScrollBar::lineUp);
        const QPoint arrow = bar->ArrowArea(true).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, arrow);
        QTest::qWait(800);
        QVERIFY(repeats.count() > 1);
        QCOMPARE(port_->written, std::string("#:RS##:Mw#"));
        QVERIFY(State().telescope.Moving);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, arrow);
        QCOMPARE(port_->written, std::string("#:RS##:Mw##:Qn##:Qs##:Qe##:Qw#"));
        QVERIFY(!State().telescope.Moving);
    }

    void focusBarAndSpeedButtons() {
        auto dialog = OpenLx200();
        QVERIFY(Find<QRadioButton>(dialog.get(), "focusFast")->isChecked());
        Find<QRadioButton>(dialog.get(), "focusSlow")->click();
        QCOMPARE(State().telescope.FocusSpeedCommand, std::string("#:FS#"));
        auto* bar = Find<ArrowScrollBar>(dialog.get(), "focusBar");
        QSignalSpy repeats(bar, &ArrowScrollBar::lineUp);
        Hold(bar, true, 700, &repeats);
        QCOMPARE(port_->written, std::string("#:FS##:F+##:FQ#"));
        QVERIFY(!State().telescope.Focusing);
    }

    void rateButtonsChooseWithoutSending() {
        State().telescope.SlewRateCommand = "#:RM#";
        auto dialog = OpenLx200();
        QVERIFY(Find<QRadioButton>(dialog.get(), "rateFind")->isChecked());
        Find<QRadioButton>(dialog.get(), "rateGuide")->click();
        QCOMPARE(State().telescope.SlewRateCommand, std::string("#:RG#"));
        QCOMPARE(port_->written, std::string());
        Hold(Find<ArrowScrollBar>(dialog.get(), "verticalBar"), true, 20, nullptr);
        QCOMPARE(port_->written.substr(0, 10), std::string("#:RG##:Mn#"));
    }

    void goToObjectChecksTheNumbersAndShowsTheAnswer() {
        auto dialog = OpenLx200();
        Find<QLineEdit>(dialog.get(), "messierEdit")->setText("111");
        Find<QPushButton>(dialog.get(), "gotoObjectButton")->click();
        QCOMPARE(notices_.size(), std::size_t{1});
        QCOMPARE(notices_[0].title, QStringLiteral("Talvor - Control Telescope"));
        QCOMPARE(notices_[0].text,
                 QStringLiteral("Object out of range, or Invalid entry - try again"));
        QCOMPARE(port_->written, std::string());

        Find<QLineEdit>(dialog.get(), "messierEdit")->setText("0");
        Find<QLineEdit>(dialog.get(), "cngcEdit")->setText("7000");
        port_->incoming = "CNGC7000#0CNGC7000 Object#";
        Find<QPushButton>(dialog.get(), "gotoObjectButton")->click();
        QCOMPARE(port_->written, std::string("#:LC 7000##:LI##:MS##:LI#"));
        QCOMPARE(Find<QPlainTextEdit>(dialog.get(), "infoFromScope")->toPlainText(),
                 QStringLiteral("CNGC7000 Object#"));
    }

    void goToCoordinatesAndPlanets() {
        auto dialog = OpenLx200();
        Find<QLineEdit>(dialog.get(), "raHoursEdit")->setText("5");
        Find<QLineEdit>(dialog.get(), "raMinutesEdit")->setText("3");
        Find<QLineEdit>(dialog.get(), "decDegreesEdit")->setText("-90");
        Find<QLineEdit>(dialog.get(), "decMinutesEdit")->setText("30");
        Find<QPushButton>(dialog.get(), "gotoCoordinatesButton")->click();
        QCOMPARE(notices_.size(), std::size_t{1});
        QVERIFY(notices_[0].text.startsWith(QStringLiteral("Invalid Co-ordinates set.")));
        QCOMPARE(port_->written, std::string());

        Find<QLineEdit>(dialog.get(), "decDegreesEdit")->setText("-5");
        port_->incoming = "11RA 05:03.0 DEC -05*30#0";
        Find<QPushButton>(dialog.get(), "gotoCoordinatesButton")->click();
        QCOMPARE(port_->written, std::string("#:Sr 05:03.0#:Sd -05*30#:LI##:MS#"));
        // The coordinates' acknowledgements are not shown as part of the description.
        QCOMPARE(Find<QPlainTextEdit>(dialog.get(), "infoFromScope")->toPlainText(),
                 QStringLiteral("RA 05:03.0 DEC -05*30#"));
        port_->written.clear();
        port_->incoming = "Mars#0Mars Planet#";
        Find<QPushButton>(dialog.get(), "planetMars")->click();
        QCOMPARE(port_->written, std::string("#:LS 0904##:LI##:MS##:LI#"));
        QCOMPARE(Find<QPlainTextEdit>(dialog.get(), "infoFromScope")->toPlainText(),
                 QStringLiteral("Mars Planet#"));
        QVERIFY(fixture_.ui->messages.empty());
    }

    void goToOnASilentOrVanishedMountSaysSo() {
        auto dialog = OpenLx200();
        Find<QLineEdit>(dialog.get(), "messierEdit")->setText("42");
        Find<QPushButton>(dialog.get(), "gotoObjectButton")->click();
        QCOMPARE(port_->written, std::string("#:LM 0042##:LI##:MS#"));
        QCOMPARE(fixture_.ui->messages.size(), std::size_t{1});
        QVERIFY(QString::fromStdString(fixture_.ui->messages[0])
                    .startsWith(QStringLiteral("No answer from the telescope on COM1")));

        port_->failing["Puts"] = kSerialWriteError;
        Find<QPushButton>(dialog.get(), "planetSaturn")->click();
        QCOMPARE(fixture_.ui->messages.size(), std::size_t{2});
        QVERIFY(QString::fromStdString(fixture_.ui->messages[1])
                    .startsWith(QStringLiteral("Communication with telescope failed")));
        QVERIFY(Find<QPushButton>(dialog.get(), "gotoObjectButton")->isEnabled());
        QCOMPARE(Find<QPlainTextEdit>(dialog.get(), "infoFromScope")->toPlainText(), QString());
    }

    // A go-to on the program's own event-dispatching interface and the real clock: the window
    // answers while the mount is silent, and Escape stops the waiting without closing it.
    void escapeStopsAGoToWhileTheWindowAnswers() {
        QtUserInterface qtUi;
        SystemClock clock;
        Session session(*fixture_.images, DataDirectory(fixture_.folder->path().toStdString()),
                        clock, qtUi);
        auto owned = std::make_unique<RecordingSerialPort>();
        RecordingSerialPort* port = owned.get();
        session.telescope.Ports = std::move(owned);
        session.telescope.PortOpen = true;
        session.settings.Telescope = TelescopeType::MeadeLx200;
        // A box would mean the go-to waited on to its end: closed at once, and noted.
        bool boxShown = false;
        QTimer boxCloser;
        QObject::connect(&boxCloser, &QTimer::timeout, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                boxShown = true;
                box->close();
            }
        });
        boxCloser.start(10);

        TMTDialog dialog(session);
        dialog.show();
        Find<QLineEdit>(&dialog, "messierEdit")->setText("31");
        bool answeredDuringTheGoTo = false;
        QTimer::singleShot(200, &dialog, [&] {
            answeredDuringTheGoTo = dialog.GoToRunning() &&
                                    !Find<QPushButton>(&dialog, "planetMars")->isEnabled() &&
                                    Find<QPlainTextEdit>(&dialog, "infoFromScope")
                                        ->toPlainText()
                                        .startsWith(QStringLiteral("Waiting for the telescope"));
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        Find<QPushButton>(&dialog, "gotoObjectButton")->click();

        QVERIFY(answeredDuringTheGoTo);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.GoToRunning());
        QVERIFY(Find<QPushButton>(&dialog, "planetMars")->isEnabled());
        QCOMPARE(dialog.focusWidget(), Find<QLineEdit>(&dialog, "messierEdit"));
        // Stopped while the description was awaited: the slew was never asked for.
        QCOMPARE(port->written, std::string("#:LM 0031##:LI#"));
        QVERIFY(!boxShown);
        // With no go-to running, Escape closes the window as before.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
    }

    void helpAndFinished() {
        auto dialog = OpenLx200();
        Find<QPushButton>(dialog.get(), "helpButton")->click();
        QCOMPARE(notices_.size(), std::size_t{1});
        QVERIFY(notices_[0].text.startsWith(QStringLiteral("Enter a Messier or CNGC number")));
        Find<QPushButton>(dialog.get(), "finishedButton")->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(port_->written, std::string());
    }

    void closingWhileAnArrowIsHeldStopsTheMount() {
        auto dialog = OpenLx200();
        auto* bar = Find<ArrowScrollBar>(dialog.get(), "verticalBar");
        QTest::mousePress(bar, Qt::LeftButton, {}, bar->ArrowArea(true).center());
        QCOMPARE(port_->written, std::string("#:RS##:Mn#"));
        dialog->close();
        QCOMPARE(port_->written, std::string("#:RS##:Mn##:Qn##:Qs##:Qe##:Qw#"));
        QVERIFY(!State().telescope.Moving);
    }

    void controlBoxArrowsDriveTheBox() {
        State().settings.Telescope = TelescopeType::ControlBox;
        TCBDialog dialog(State());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Move Telescope"));
        auto* bar = Find<ArrowScrollBar>(&dialog, "verticalBar");
        QSignalSpy repeats(bar, &ArrowScrollBar::lineUp);
        Hold(bar, true, 700, &repeats);
        QCOMPARE(port_->written, std::string("\x02\x12\x00", 3));
        port_->written.clear();
        Hold(Find<ArrowScrollBar>(&dialog, "horizontalBar"), false, 20, nullptr);
        QCOMPARE(port_->written, std::string("\x01\x11\x00", 3));
    }

    void telescopeControlOpensTheWindowOfTheType() {
        QWidget frame;
        State().telescope.PortOpen = false;
        QDialog* lx200 = ShowTelescopeControl(State(), &frame);
        QVERIFY(qobject_cast<TMTDialog*>(lx200) != nullptr);
        QVERIFY(lx200->isVisible());
        QCOMPARE(ShowTelescopeControl(State(), &frame), lx200);
        lx200->close();

        State().settings.Telescope = TelescopeType::ControlBox;
        QDialog* box = ShowTelescopeControl(State(), &frame);
        QVERIFY(qobject_cast<TCBDialog*>(box) != nullptr);
        QCOMPARE(port_->written, std::string("\x0D\x00\x00", 3));
        box->close();
    }

    void telescopeControlWithoutALinkOpensNothing() {
        State().telescope.PortOpen = false;
        port_->failing["Parms"] = kSerialLineError;
        QWidget frame;
        QCOMPARE(ShowTelescopeControl(State(), &frame), nullptr);
        QCOMPARE(fixture_.ui->messages.size(), std::size_t{1});
        QVERIFY(QString::fromStdString(fixture_.ui->messages.back())
                    .startsWith(QStringLiteral("Sorry. No Connection to Telescope\n\n")));
        QCOMPARE(State().settings.Telescope, TelescopeType::None);
        QVERIFY(frame.findChildren<QDialog*>().isEmpty());
    }
};

}  // namespace talvor

QTEST_MAIN(talvor::TelescopeDialogsTest)
#include "telescope_dialogs_test.moc"
