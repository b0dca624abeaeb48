// The Contrast and Filters dialogs driven through their controls offscreen, and their commands
// through the main frame.

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ui/talvor_app.h"
#include "app/ui/talvor_frame.h"
#include "core/command_ids.h"
#include "core/session.h"
#include "processing/parameter_steps.h"
#include "processing/ui/contrast_filter_commands.h"
#include "processing/ui/median_dialog.h"
#include "processing/ui/nonlinear_stretch_dialog.h"
#include "processing/ui/power_dialog.h"
#include "processing/ui/stretch_dialog.h"
#include "processing/ui/unsharp_dialog.h"
#include "support/modal_helper.h"
#include "support/program_under_test.h"

namespace talvor {
namespace {

template <typename T>
T* Child(QWidget& dialog, const char* name) {
    auto* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        qFatal("no control %s", name);
    }
    return child;
}

QString Text(QWidget& dialog, const char* name) {
    return Child<QLineEdit>(dialog, name)->text();
}

void Step(QWidget& dialog, const char* bar, QAbstractSlider::SliderAction action, int times = 1) {
    for (int i = 0; i < times; ++i) {
        Child<QScrollBar>(dialog, bar)->triggerAction(action);
    }
}

constexpr auto kLeft = QAbstractSlider::SliderSingleStepSub;
constexpr auto kRight = QAbstractSlider::SliderSingleStepAdd;
constexpr auto kPageLeft = QAbstractSlider::SliderPageStepSub;
constexpr auto kPageRight = QAbstractSlider::SliderPageStepAdd;

// Presses Help and returns the caption and text of the box it shows.
QStringList HelpBox(QWidget& dialog) {
    QStringList shown;
    testing::WhenModal<QMessageBox>([&shown](QMessageBox* box) {
        shown = {box->windowTitle(), box->text()};
        box->accept();
    });
    Child<QPushButton>(dialog, "helpButton")->click();
    return shown;
}

}  // namespace

class StretchFilterDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void normalStretchFollowsItsScrollRules() {
        std::array<uint32_t, 257> histogram{};
        TStretchDialog dialog(histogram);
        QCOMPARE(Text(dialog, "blackEdit"), QStringLiteral("0"));
        QCOMPARE(Text(dialog, "whiteEdit"), QStringLiteral("255"));
        Step(dialog, "whiteBar", kPageRight, 6);
        QCOMPARE(Text(dialog, "whiteEdit"), QStringLiteral("295"));
        Step(dialog, "whiteBar", kRight, 9);
        QCOMPARE(Text(dialog, "whiteEdit"), QStringLiteral("300"));
        QCOMPARE(Child<QScrollBar>(dialog, "whiteBar")->value(), 300);

        auto* black = Child<QScrollBar>(dialog, "blackBar");
        black->setSliderPosition(120);  // a drag of the thumb
        QCOMPARE(Text(dialog, "blackEdit"), QStringLiteral("120"));
        auto* white = Child<QScrollBar>(dialog, "whiteBar");
        white->setSliderPosition(100);  // not above black: refused
        QCOMPARE(Text(dialog, "whiteEdit"), QStringLiteral("300"));
        QCOMPARE(white->value(), 300);
        Step(dialog, "blackBar", kPageRight, 20);
        QCOMPARE(Text(dialog, "blackEdit"), QStringLiteral("250"));
        Step(dialog, "blackBar", kRight, 10);
        QCOMPARE(Text(dialog, "blackEdit"), QStringLiteral("255"));
        Step(dialog, "blackBar", kPageLeft, 30);
        QCOMPARE(Text(dialog, "blackEdit"), QStringLiteral("5"));
        Step(dialog, "blackBar", kLeft, 10);
        QCOMPARE(black->value(), 0);
        QCOMPARE(dialog.Levels().white, 300u);
    }

    void normalStretchPaintsTheHistogramPanelAndMarkers() {
        std::array<uint32_t, 257> histogram{};
        histogram[0] = 1054;
        histogram[1] = 1055;
        histogram[2] = 4;
        histogram[100] = 250;
        TStretchDialog dialog(histogram);
        Step(dialog, "blackBar", kRight, 12);
        Step(dialog, "whiteBar", kPageRight, 5);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QImage picture = dialog.grab().toImage();
        const auto at = [&picture](int x, int y) { return picture.pixelColor(x, y); };
        const QColor blue(0, 0, 255), red(255, 0, 0), grey(128, 128, 128);
        const QColor black(0, 0, 0), white(255, 255, 255);

        // The axes stop one pixel short of their ends.
        QCOMPARE(at(5, 5), blue);
        QCOMPARE(at(5, 212), blue);
        QCOMPARE(at(5, 213), blue);
        QCOMPARE(at(262, 213), blue);
        QVERIFY(at(263, 213) != blue);
        QVERIFY(at(5, 4) != blue);
        QCOMPARE(at(136, 214), blue);
        QVERIFY(at(40, 215) != blue);
        QCOMPARE(at(40, 214), blue);
        // Bars: full height grey, full height red, nothing, and 50 pixels.
        QCOMPARE(at(8, 210), grey);
        QCOMPARE(at(8, 1), grey);
        QVERIFY(at(8, 0) != grey);
        QCOMPARE(at(9, 1), red);
        QVERIFY(at(10, 210) != grey);
        QCOMPARE(at(108, 161), grey);
        QVERIFY(at(108, 160) != grey);
        // The marker band and the markers under black 12 and white 300 (shown at 255).
        QCOMPARE(at(4, 219), white);
        QCOMPARE(at(267, 231), white);
        QVERIFY(at(268, 231) != white);
        QVERIFY(at(4, 232) != white);
        QCOMPARE(at(20, 230), black);
        QCOMPARE(at(20, 221), black);
        QCOMPARE(at(20, 220), white);
        QCOMPARE(at(17, 224), black);
        QCOMPARE(at(19, 222), black);
        QCOMPARE(at(22, 223), black);
        QCOMPARE(at(23, 224), white);
        QCOMPARE(at(263, 225), black);
        QCOMPARE(at(264, 225), white);
    }

    void normalStretchHelpNamesTheLevels() {
        std::array<uint32_t, 257> histogram{};
        TStretchDialog dialog(histogram);
        const QStringList shown = HelpBox(dialog);
        QCOMPARE(shown.value(0), QStringLiteral("Talvor - Normal Stretch"));
        QVERIFY(shown.value(1).endsWith(QStringLiteral("increasing the white level to 300.")));
    }

    void powerStepsOnlyWithTheArrows() {
        TPowerDialog dialog;
        auto* bar = Child<QScrollBar>(dialog, "powerBar");
        QCOMPARE(Text(dialog, "powerEdit"), QStringLiteral("1.0"));
        Step(dialog, "powerBar", kPageRight);
        QCOMPARE(bar->value(), 10);
        Step(dialog, "powerBar", kRight, 25);
        QCOMPARE(Text(dialog, "powerEdit"), QStringLiteral("3.0"));
        QCOMPARE(bar->value(), 30);
        Step(dialog, "powerBar", kLeft, 40);
        QCOMPARE(Text(dialog, "powerEdit"), QStringLiteral("0.1"));
        QCOMPARE(bar->value(), 1);
        QCOMPARE(HelpBox(dialog).value(0), QStringLiteral("TALVOR - Power Law Stretch"));
    }

    void eachPowerShownIsTheValueTheBatchToolUses() {
        // Stepped straight from its opening 1.0, the dialog holds at each position the value
        // that talvor-batch's power:P gives for the same text.
        for (int tenths = 1; tenths <= 30; ++tenths) {
            TPowerDialog dialog;
            Step(dialog, "powerBar", tenths > 10 ? kRight : kLeft, std::abs(tenths - 10));
            QCOMPARE(Text(dialog, "powerEdit"), QString::number(tenths / 10.0, 'f', 1));
            QVERIFY(dialog.Power() == DialogPower(tenths));  // bit for bit, not nearly
        }
        QVERIFY(DialogPower(30) == 3.0000000000000018);
        QVERIFY(DialogPower(30) != 3.0);
        QVERIFY(DialogPower(10) == 1.0);
    }

    void spinBarsStepWithinTheirLimits() {
        TNonLiniarDialog nonLinear;
        QCOMPARE(Text(nonLinear, "powerEdit"), QStringLiteral("25"));
        Step(nonLinear, "powerBar", kLeft, 30);
        QCOMPARE(Text(nonLinear, "powerEdit"), QStringLiteral("2"));
        QCOMPARE(HelpBox(nonLinear),
                 (QStringList{QStringLiteral("TALVOR - NonLiniar Filter"),
                              QStringLiteral("Use controls to vary the Power from 2 to 50")}));

        TUnsharpDialog unsharp;
        QCOMPARE(Text(unsharp, "radiusEdit"), QStringLiteral("3"));
        QCOMPARE(Text(unsharp, "powerEdit"), QStringLiteral("1"));
        Step(unsharp, "radiusBar", kRight, 10);
        Step(unsharp, "powerBar", kPageRight);
        QCOMPARE(Text(unsharp, "radiusEdit"), QStringLiteral("7"));
        QCOMPARE(unsharp.Power(), 1);
        QCOMPARE(HelpBox(unsharp).value(0), QStringLiteral("Talvor - Power Stretch"));
    }

    void medianPowerBoxTakesTheDecimalFormAtItsFirstStep() {
        TMedianDialog dialog;
        QCOMPARE(Text(dialog, "radiusEdit"), QStringLiteral("1"));
        QCOMPARE(Text(dialog, "powerEdit"), QStringLiteral(".6"));
        Step(dialog, "powerBar", kRight);
        QCOMPARE(Text(dialog, "powerEdit"), QStringLiteral("0.7"));
        Step(dialog, "powerBar", kRight, 5);
        QCOMPARE(Text(dialog, "powerEdit"), QStringLiteral("1.0"));
        Step(dialog, "radiusBar", kRight, 5);
        QCOMPARE(dialog.Radius(), 3);
        QCOMPARE(dialog.Tenths(), 10);
        QCOMPARE(HelpBox(dialog).value(0), QStringLiteral("TALVOR - Median Filter"));
    }

    void commandsRunTheirStepsAfterTheirDialogs() {
        QTemporaryDir folder;
        auto app = testing::StartProgram(folder.path().toStdString());
        app->Show();
        TalvorFrame& frame = app->Frame();
        Session& session = app->State();
        BindContrastAndFilterCommands(frame, session);
        for (const int id :
             {1, 2, 101, 120, 117, 102, 103, 105, 106, 107, 108, 109, 3, 4, 5, 7, 18}) {
            QVERIFY2(frame.IsBound(id), qPrintable(QString::number(id)));
        }

        ImageBuffer& current = session.images.CurrentImage;
        current[20000] = 1000;
        frame.Dispatch(CmInvertToNegative);
        QCOMPARE(int(current[20000]), 64534);

        testing::WhenModal<TStretchDialog>([](TStretchDialog* dialog) {
            Step(*dialog, "blackBar", kRight, 2);
            Child<QPushButton>(*dialog, "okButton")->click();
        });
        frame.Dispatch(CmNormalStretch);

        const ImageBuffer before = current;
        testing::WhenModal<TMedianDialog>(
            [](TMedianDialog* dialog) { Child<QPushButton>(*dialog, "cancelButton")->click(); });
        frame.Dispatch(CmMedianFilter);
        QVERIFY(current == before);

        testing::WhenModal<TUnsharpDialog>(
            [](TUnsharpDialog* dialog) { Child<QPushButton>(*dialog, "okButton")->click(); });
        frame.Dispatch(CmUnsharpMasking);
        frame.Dispatch(CmGradientFilter);

        const auto& history = session.state.HistoryLines;
        QCOMPARE(QString::fromStdString(history[0]), QStringLiteral("Invert Image to Negative"));
        QCOMPARE(QString::fromStdString(history[1]),
                 QStringLiteral("Normal Stretch : max 255 ,min 2"));
        QCOMPARE(QString::fromStdString(history[2]),
                 QStringLiteral("Unsharp Mask : rad 3 ,power 1"));
        QCOMPARE(QString::fromStdString(history[3]), QStringLiteral("Gradient Filter"));
        QVERIFY(history[4].empty());
    }
};

}  // namespace talvor

QTEST_MAIN(talvor::StretchFilterDialogsTest)
#include "stretch_filter_dialogs_test.moc"
