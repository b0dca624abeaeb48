// The camera dialog in the running program with the simulated camera, drawn offscreen: a
// running focus loop ends with the dialog however it is closed, and the automatic dark and
// flat files stand beside their boxes.

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/ui/talvor_app.h"
#include "app/ui/talvor_frame.h"
#include "camera/ui/camera_dialog.h"
#include "core/command_ids.h"
#include "core/session.h"
#include "display/refresh_display.h"
#include "image/settings_file.h"
#include "support/modal_helper.h"
#include "support/program_under_test.h"

namespace talvor {

class CameraDialogTest : public QObject {
    Q_OBJECT

  private:
    static QPushButton* Button(QWidget* dialog, const QString& text) {
        for (auto* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == text) {
                return button;
            }
        }
        return nullptr;
    }

    // Starts the focus loop in the camera dialog; `close` is queued to run inside the loop's
    // first dispatch of window events. Returns whether the loop ended by itself (a guard
    // stops it after five seconds) and leaves the dialog closed.
    static bool FocusLoopEndsWhenClosed(const std::function<void(TVeltraneDialog*)>& close) {
        QTemporaryDir folder;
        auto app = testing::StartProgram(folder.path().toStdString(), true);
        app->Show();
        Session& session = app->State();
        if (WriteSettings(session) != SettingsResult::Done) {
            return false;
        }
        RefreshDisplay(session);  // a picture is on show, as after a first photo
        session.settings.FocusDelayOneSecond = false;
        session.capture.Settings.Unit = ExposureUnit::Tenths;  // frames timed by the camera
        session.capture.Settings.Value = 2;

        bool forced = false;
        bool closedWhileLooping = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            forced = true;
            session.capture.FocusLoopStop = true;
        });
        testing::WhenModal<TVeltraneDialog>([&](TVeltraneDialog* dialog) {
            if (!dialog->isVisible() || closedWhileLooping) {
                return;
            }
            closedWhileLooping = true;
            QTimer::singleShot(0, dialog, [dialog, close] { close(dialog); });
            guard.start(5000);
            Button(dialog, QStringLiteral("Start"))->click();  // returns when the loop ends
            guard.stop();
        });
        app->Frame().Dispatch(CmCameraInterface);
        return closedWhileLooping && !forced && session.capture.FocusLoopStop &&
               !session.state.FocusMode;
    }

  private slots:
    void escapeEndsTheFocusLoop() {
        QVERIFY(FocusLoopEndsWhenClosed([](TVeltraneDialog* dialog) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(dialog, &escape);
        }));
    }

    void closingFromTheTitleBarEndsTheFocusLoop() {
        QVERIFY(FocusLoopEndsWhenClosed([](TVeltraneDialog* dialog) { dialog->close(); }));
    }

    void theDarkAndFlatFilesStandBesideTheirBoxesWithTheirFolder() {
        QTemporaryDir folder;
        auto app = testing::StartProgram(folder.path().toStdString(), true);
        Session& session = app->State();
        TVeltraneDialog dialog(session, app->Frame().GuidingHooks());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const auto& [box, file] : {std::pair{"Auto-Remove Dark Frame", "dark.def"},
                                        std::pair{"Auto-Apply Flatfield", "flat.def"}}) {
            QCheckBox* check = nullptr;
            for (auto* candidate : dialog.findChildren<QCheckBox*>()) {
                if (candidate->text() == QLatin1String(box)) {
                    check = candidate;
                }
            }
            QVERIFY(check != nullptr);
            const QRect checkPlace(check->mapTo(&dialog, QPoint(0, 0)), check->size());
            QLabel* name = nullptr;
            for (auto* label : dialog.findChildren<QLabel*>()) {
                const QRect place(label->mapTo(&dialog, QPoint(0, 0)), label->size());
                if (label->toolTip().endsWith(QLatin1String(file)) &&
                    place.left() >= checkPlace.right() &&
                    std::abs(place.center().y() - checkPlace.center().y()) < 4) {
                    name = label;
                }
            }
            QVERIFY2(name != nullptr, box);
            const QString path = QDir(folder.path()).filePath(QLatin1String(file));
            QCOMPARE(name->toolTip(), path);
            // The whole path where it fits, else the start of its folder gives way.
            QVERIFY2(name->text() == path || (name->text().startsWith(QChar(0x2026)) &&
                                              name->text().endsWith("/" + QLatin1String(file))),
                     qPrintable(name->text()));
        }
    }
};

}  // namespace talvor

QTEST_MAIN(talvor::CameraDialogTest)
#include "camera_dialog_test.moc"
