// The "Guiding Info" window drawn offscreen, and the guiding commands bound into the running
// program with the simulated camera and mount: a pick on the picture, guiding with the window
// updating, and a key press that ends it.

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/ui/talvor_app.h"
#include "app/ui/talvor_frame.h"
#include "app/ui/talvor_window.h"
#include "core/command_ids.h"
#include "core/session.h"
#include "display/refresh_display.h"
#include "guiding/ui/guiding_commands.h"
#include "guiding/ui/guiding_info_dialog.h"
#include "guiding/unattended_guiding.h"
#include "image/settings_file.h"
#include "support/program_under_test.h"

namespace talvor {

class GuidingWindowsTest : public QObject {
    Q_OBJECT

  private:
    // Answers every message box as soon as it shows, keeping its text.
    static QTimer* AcceptMessageBoxes(QStringList& texts) {
        auto* timer = new QTimer(qApp);
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [&texts] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->accept();
            }
        });
        timer->start();
        return timer;
    }

    static QString Field(QWidget* window, const char* name) {
        auto* field = window->findChild<QLineEdit*>(QString::fromLatin1(name));
        return field == nullptr ? QStringLiteral("<none>") : field->text();
    }

  private slots:
    void infoWindowShowsTheFieldsTheFrameAndTheRedCross() {
        QTemporaryDir folder;
        const QString bitmap = folder.filePath(QStringLiteral("talvorf.bmp"));
        QImage frame(128, 128, QImage::Format_RGB32);
        frame.fill(QColor(10, 200, 30));
        QVERIFY(frame.save(bitmap, "BMP"));

        TInfoDialog window;
        GuidingInfoContent content;
        content.x = "64.2";
        content.y = "63.7";
        content.dx = "-10.5";
        content.dy = "5.3";
        content.dxPixels = "-0.20";
        content.dyPixels = "0.10";
        content.dxArcsec = "-0.41";
        content.dyArcsec = "0.26";
        content.raRms = "0.12 px, 0.25\"";
        content.decRms = "0.08 px, 0.21\"";
        content.log = "Guide log: guide-20261207-213000.csv";
        content.frameReady = false;
        content.frameBitmap = bitmap.toStdString();
        content.reference = {40, 50};
        window.ShowContent(content);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Guiding Info"));
        QCOMPARE(Field(&window, "x"), QStringLiteral("64.2"));
        QCOMPARE(Field(&window, "y"), QStringLiteral("63.7"));
        QCOMPARE(Field(&window, "dx"), QStringLiteral("-10.5"));
        QCOMPARE(Field(&window, "dy"), QStringLiteral("5.3"));
        QCOMPARE(Field(&window, "dxPixels"), QStringLiteral("-0.20"));
        QCOMPARE(Field(&window, "dyArcsec"), QStringLiteral("0.26"));
        QCOMPARE(Field(&window, "raRms"), QStringLiteral("0.12 px, 0.25\""));
        QCOMPARE(Field(&window, "decRms"), QStringLiteral("0.08 px, 0.21\""));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("log"))->text(),
                 QStringLiteral("Guide log: guide-20261207-213000.csv"));
        QVERIFY(window.findChild<QLineEdit*>(QStringLiteral("dx"))->isReadOnly());
        // Before the frame bitmap is ready nothing is drawn there.
        QVERIFY(window.grab().toImage().pixelColor(80, 80) != QColor(10, 200, 30));

        content.frameReady = true;
        window.ShowContent(content);
        const QImage shown = window.grab().toImage();
        QCOMPARE(shown.pixelColor(75 + 5, 75 + 5), QColor(10, 200, 30));
        QCOMPARE(shown.pixelColor(75 + 127, 75 + 127), QColor(10, 200, 30));
        // The cross: 20 pixels either side across, 18 up and 20 down.
        QCOMPARE(shown.pixelColor(75 + 40 - 20, 75 + 50), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(75 + 40 + 20, 75 + 50), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(75 + 40, 75 + 50 - 18), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(75 + 40, 75 + 50 + 20), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(75 + 40, 75 + 50 - 19), QColor(10, 200, 30));
        QCOMPARE(shown.pixelColor(75 + 40 + 22, 75 + 50), QColor(10, 200, 30));
    }

    void theProgramPicksAStarAndGuidesUntilAKeyIsPressed() {
        QTemporaryDir folder;
        auto app = testing::StartProgram(folder.path().toStdString(), true);
        app->Show();
        TalvorFrame& frame = app->Frame();
        Session& session = app->State();
        BindGuidingCommands(frame, session, frame.GuidingHooks());
        for (const int id : {CmPickGuideStar, CmFocusFrameCentre, CmDefaultFocusFrameCentre,
                             CmStartAutoGuiding, CmTrainAutoGuiding}) {
            QVERIFY(frame.IsBound(id));
        }
        QVERIFY(frame.GuidingHooks().Available());
        QVERIFY(frame.GuidingHooks().ShowGuidingInfo && frame.GuidingHooks().CloseGuidingInfo &&
                frame.GuidingHooks().SwitchGuidingFrame);

        session.settings.Telescope = TelescopeType::MeadeLx200;
        QCOMPARE(WriteSettings(session), SettingsResult::Done);
        // Short frames timed by the camera.
        session.capture.Settings.Unit = ExposureUnit::Tenths;
        session.capture.Settings.Value = 3;
        QVERIFY(TakeFreshFrame(session));
        RefreshDisplay(session);
        const std::optional<PixelPosition> star =
            BrightestStar(session, session.images.CurrentImage);
        QVERIFY(star);

        QStringList texts;
        QTimer* boxes = AcceptMessageBoxes(texts);
        frame.Dispatch(CmPickGuideStar);
        QVERIFY(session.guiding.PickMode);
        QVERIFY(frame.MenuAction(CmPickGuideStar)->isChecked());
        QWidget* picture = frame.Client()->viewport();
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(star->x, star->y));
        QTRY_VERIFY(session.guiding.StarPicked);
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts.front().startsWith(QStringLiteral("x position = ")));

        bool windowSeen = false;
        QString dxShown;
        QString rmsShown;
        QString logShown;
        QTimer::singleShot(2500, &frame, [&] {
            auto* info = frame.findChild<TInfoDialog*>();
            windowSeen = info != nullptr && info->isVisible() &&
                         info->windowTitle() == QStringLiteral("Guiding Info") &&
                         !info->Frame().isNull();
            if (info != nullptr) {
                dxShown = Field(info, "dx");
                rmsShown = Field(info, "raRms");
                logShown = info->findChild<QLabel*>(QStringLiteral("log"))->text();
            }
            QTest::keyClick(&frame, Qt::Key_Space);
        });
        frame.Dispatch(CmStartAutoGuiding);
        boxes->stop();
        boxes->deleteLater();

        QVERIFY(windowSeen);
        QVERIFY(!dxShown.isEmpty());
        QVERIFY2(rmsShown.endsWith(QStringLiteral(" px")), qPrintable(rmsShown));
        QVERIFY2(logShown.startsWith(QStringLiteral("Guide log: guide-")), qPrintable(logShown));
        QCOMPARE(texts.back(), QStringLiteral("Guiding Terminated"));
        QVERIFY(frame.findChild<TInfoDialog*>() == nullptr);
        QVERIFY(!session.state.GuidingDisplay);
        QCOMPARE(session.readout.FocusWindowOrigin, kDefaultFocusWindowOrigin);

        frame.Dispatch(CmFocusFrameCentre);
        QVERIFY(session.guiding.FocusCentreMode);
    }
};

}  // namespace talvor

QTEST_MAIN(talvor::GuidingWindowsTest)
#include "guiding_windows_test.moc"
