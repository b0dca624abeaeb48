// The measuring windows drawn offscreen: the histogram's bars, rule and listing, the row
// profile's line, the 3-D plot's picture and the PHOTOMETRY window's fields and buttons, read
// back from what they paint.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ui/talvor_frame.h"
#include "app/ui/talvor_window.h"
#include "core/clock.h"
#include "core/command_ids.h"
#include "core/image_store.h"
#include "core/session.h"
#include "measurement/analysis_commands.h"
#include "measurement/image_click.h"
#include "measurement/photometry.h"
#include "measurement/screen_pointer.h"
#include "measurement/ui/histogram_window.h"
#include "measurement/ui/intensity_plot_picture.h"
#include "measurement/ui/measurement_commands.h"
#include "measurement/ui/photometry_window.h"
#include "measurement/ui/picture_mouse.h"
#include "measurement/ui/plot3d_window.h"
#include "measurement/ui/row_profile_window.h"
#include "support/program_under_test.h"
#include "support/recording_ui.h"
#include "support/window_test_session.h"
#include "ui/arrow_scroll_bar.h"

namespace talvor {

using testing::RecordingUi;
using testing::TestClock;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGrey(128, 128, 128);
const QColor kLightGrey(192, 192, 192);

QColor At(const QImage& picture, int x, int y) {
    return picture.pixelColor(x, y);
}

// Whether any pixel of the rectangle is drawn darker than the grey of the bars.
bool HasDarkPixels(const QImage& picture, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (picture.pixelColor(x, y).lightness() < 100) {
                return true;
            }
        }
    }
    return false;
}

QImage Painted(QWidget& window) {
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class MeasurementWindowsTest : public QObject {
    Q_OBJECT

  private:
    struct Notice {
        QString title;
        QString text;
    };

    SystemClock clock_;
    testing::WindowTestSession fixture_;
    std::vector<Notice> notices_;

    Session& State() { return *fixture_.session; }
    ImageBuffer& Frame() { return fixture_.images->CurrentImage; }

    template <typename Widget>
    static Widget* Find(QWidget* dialog, const char* name) {
        auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            qFatal("no control %s", name);
        }
        return widget;
    }

    template <typename Dialog>
    void CatchNotices(Dialog& dialog) {
        dialog.showNotice = [this](const QString& title, const QString& text) {
            notices_.push_back({title, text});
        };
    }

  private slots:
    void init() {
        fixture_.Start(&clock_);
        std::fill_n(fixture_.images->CurrentImage.begin(), kFramePixels, uint16_t{0});
        notices_.clear();
    }

    void cleanup() { fixture_.Stop(); }

    void histogramDrawsBarsTheRedRuleAxesAndListing() {
        auto& counts = State().display.BrightnessHistogram;
        counts[7] = 2000;   // cut: red, full height
        counts[20] = 1054;  // full height, grey
        counts[30] = 1055;  // cut
        counts[40] = 503;   // 100 pixels high
        THistDialog dialog(State());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Histogram of Current Image"));
        const QImage picture = Painted(dialog);

        // Bar k stands at x = k + 8 on row 210 and rises h pixels.
        QCOMPARE(At(picture, 15, 210), kRed);
        QCOMPARE(At(picture, 15, 1), kRed);
        QVERIFY(At(picture, 15, 0) != kRed);
        QCOMPARE(At(picture, 28, 1), kGrey);
        QCOMPARE(At(picture, 38, 100), kRed);
        QCOMPARE(At(picture, 48, 111), kGrey);
        QVERIFY(At(picture, 48, 110) != kGrey);
        QVERIFY(At(picture, 49, 210) != kGrey);
        QVERIFY(At(picture, 14, 100) != kRed);

        // The axes and the longer ticks at a quarter, half and three quarters.
        QCOMPARE(At(picture, 5, 100), kBlue);
        QCOMPARE(At(picture, 200, 213), kBlue);
        QCOMPARE(At(picture, 136, 223), kBlue);
        QCOMPARE(At(picture, 72, 219), kBlue);
        QCOMPARE(At(picture, 40, 216), kBlue);
        QVERIFY(At(picture, 40, 219) != kBlue);

        QCOMPARE(dialog.Listing(), QStringLiteral("val   count\n007    2000\n030    1055\n"));
        QVERIFY(HasDarkPixels(picture, QRect(270, 2, 80, 50)));
        QVERIFY(!HasDarkPixels(picture, QRect(270, 80, 80, 190)));

        CatchNotices(dialog);
        QTest::mouseClick(Find<QPushButton>(&dialog, "helpButton"), Qt::LeftButton);
        QCOMPARE(notices_.size(), std::size_t{1});
        QCOMPARE(notices_[0].title, QStringLiteral("Talvor - Display Histogram"));
        QVERIFY(notices_[0].text.endsWith(QStringLiteral("Short key - CTL+H")));
    }

    void rowProfileDrawsItsLineAndKeepsItWhenRowsReachOutside() {
        for (int x = 0; x < kFrameColumns; ++x) {
            PixelAt(Frame(), x, 100) = 50 * 384;
            PixelAt(Frame(), x, 60) = 20 * 384;
        }
        PixelAt(Frame(), 200, 100) = 65535;
        QWidget picture;
        QVERIFY(BeginRowPlot(State()) == AnalysisOpen::Open);
        TRowDialog dialog(State(), &picture);
        QCOMPARE(picture.cursor().shape(), Qt::UpArrowCursor);
        PickPlotRow(State(), 100);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QImage painted = Painted(dialog);
        // Column c at x = c + 5, 198 - pixel / 384 high, inside a white plot area.
        QCOMPARE(At(painted, 105, 148), kGrey);
        QCOMPARE(At(painted, 105, 147), QColor(Qt::white));
        QCOMPARE(At(painted, 105, 149), QColor(Qt::white));
        QCOMPARE(At(painted, 205, 28), kGrey);
        QCOMPARE(At(painted, 4, 198), kGrey);
        QCOMPARE(At(painted, 2, 100), QColor(Qt::black));
        QCOMPARE(Find<QLineEdit>(&dialog, "rowField")->text(), QStringLiteral("100"));

        // Averaging 51 rows around row 20 reaches outside the frame: the plot stays.
        State().modes.Analysis.RowsToAverage = 51;
        PickPlotRow(State(), 20);
        painted = Painted(dialog);
        QCOMPARE(At(painted, 105, 148), kGrey);
        QCOMPARE(Find<QLineEdit>(&dialog, "rowField")->text(), QStringLiteral("20"));
        QCOMPARE(Find<QLineEdit>(&dialog, "rowsToAverageField")->text(), QStringLiteral("51"));

        // The spin bar's arrows step the average by two, down to a single row.
        ArrowScrollBar* bar = dialog.RowsBar();
        const auto press = [bar](bool left) {
            const QPoint arrow = bar->ArrowArea(left).center();
            QTest::mousePress(bar, Qt::LeftButton, {}, arrow);
            QTest::mouseRelease(bar, Qt::LeftButton, {}, arrow);
        };
        press(false);
        QCOMPARE(State().modes.Analysis.RowsToAverage, 51);
        for (int step = 0; step < 26; ++step) {
            press(true);
        }
        QCOMPARE(Find<QLineEdit>(&dialog, "rowsToAverageField")->text(), QStringLiteral("1"));
        PickPlotRow(State(), 60);
        painted = Painted(dialog);
        QCOMPARE(At(painted, 105, 178), kGrey);
        QCOMPARE(At(painted, 105, 148), QColor(Qt::white));

        QTest::mouseClick(Find<QPushButton>(&dialog, "finishedButton"), Qt::LeftButton);
        QVERIFY(!State().modes.RowPlotMode);
        QCOMPARE(picture.cursor().shape(), Qt::ArrowCursor);
    }

    void intensityPlotBuildsItsPictureOnce() {
        // Row 12 (the back trace) rises 10 pixels at column 100 and falls back at 101.
        PixelAt(Frame(), 100, 12) = 10 * 384;
        QVERIFY(BeginIntensityPlot(State()) == AnalysisOpen::Open);
        T3DDialog dialog(State());
        QVERIFY(dialog.Picture() == nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_VERIFY(dialog.Picture() != nullptr && dialog.Picture()->Complete());
        const QImage& plot = dialog.Picture()->Image();
        QCOMPARE(plot.size(), QSize(644, 384));
        // The back trace: baseline 192 from x = 130; the rise to (230, 182) is light grey, the
        // fall from there grey.
        QCOMPARE(At(plot, 150, 192), kGrey);
        QCOMPARE(At(plot, 229, 186), kLightGrey);
        QCOMPARE(At(plot, 230, 186), kGrey);
        QCOMPARE(At(plot, 228, 192), kGrey);
        // The front trace, row 254, on baseline 313 from x = 9; nothing below it.
        QCOMPARE(At(plot, 9, 313), kGrey);
        QCOMPARE(At(plot, 518, 313), kGrey);
        QCOMPARE(At(plot, 300, 320), QColor(Qt::white));
        const QImage painted = Painted(dialog);
        QCOMPARE(At(painted, 229, 186), kLightGrey);
        QCOMPARE(At(painted, 300, 320), QColor(Qt::white));

        CatchNotices(dialog);
        QTest::mouseClick(Find<QPushButton>(&dialog, "helpButton"), Qt::LeftButton);
        QCOMPARE(notices_.at(0).title, QStringLiteral("TALVOR - 3-D Plot"));
        QTest::mouseClick(Find<QPushButton>(&dialog, "finishedButton"), Qt::LeftButton);
        QVERIFY(!State().modes.Analysis.IntensityPlotOpen);
        QVERIFY(dialog.Picture() == nullptr);
    }

    void mouseOnThePictureMeasuresAndSnapsThePointer() {
        auto app = testing::StartProgram(fixture_.folder->path().toStdString());
        app->Show();
        TalvorFrame& frame = app->Frame();
        Session& session = app->State();
        TTalvorWindow& window = *frame.Client();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        ImageBuffer& image = session.images.CurrentImage;
        std::fill_n(image.begin(), kFramePixels, uint16_t{1000});
        for (int y = 119; y <= 121; ++y) {
            for (int x = 149; x <= 151; ++x) {
                PixelAt(image, x, y) = x == 150 && y == 120 ? 40000 : 20000;
            }
        }
        frame.Dispatch(CmPhotometry);
        QVERIFY(session.modes.PhotometryMode);
        auto* dialog = frame.findChild<TPHDialog*>();
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("PHOTOMETRY"));
        QCOMPARE(window.viewport()->cursor().shape(), Qt::CrossCursor);
        QVERIFY(Find<QRadioButton>(dialog, "objectButton")->isChecked());
        QVERIFY(Find<QRadioButton>(dialog, "mask9")->isChecked());

        QWidget* viewport = window.viewport();
        QTest::mouseMove(viewport, QPoint(60, 70));
        QTRY_COMPARE(Find<QLineEdit>(dialog, "cursorX")->text(), QStringLiteral("60"));
        QCOMPARE(Find<QLineEdit>(dialog, "cursorValue")->text(), QStringLiteral("   1000"));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(60, 70));
        QCOMPARE(Find<QLineEdit>(dialog, "objectValue")->text(), QStringLiteral("   1000"));
        QCOMPARE(session.modes.Photometry.Object.position, (PixelPosition{60, 70}));

        // A right click beside the star is moved onto it, and the pointer with it.
        QCursor::setPos(viewport->mapToGlobal(QPoint(152, 122)));
        const QPoint before = QCursor::pos();
        QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(152, 122));
        QCOMPARE(session.modes.Photometry.Object.position, (PixelPosition{150, 120}));
        QCOMPARE(QCursor::pos(), before - QPoint(2, 2));
        QCOMPARE(Find<QLineEdit>(dialog, "objectValue")->text(), QStringLiteral("   3358"));

        QTest::mouseClick(Find<QRadioButton>(dialog, "comparisonButton"), Qt::LeftButton);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(300, 200));
        QCOMPARE(Find<QLineEdit>(dialog, "comparisonValue")->text(), QStringLiteral("   1000"));
        QCOMPARE(Find<QLineEdit>(dialog, "magnitude")->text(), QStringLiteral("-1.32"));
        // A new mask wipes the measurements and keeps the target.
        QTest::mouseClick(Find<QRadioButton>(dialog, "mask13"), Qt::LeftButton);
        QCOMPARE(session.guiding.MeasureRadius, 6);
        QCOMPARE(Find<QLineEdit>(dialog, "magnitude")->text(), QString());
        QCOMPARE(Find<QLineEdit>(dialog, "objectX")->text(), QStringLiteral("0"));
        QVERIFY(Find<QRadioButton>(dialog, "comparisonButton")->isChecked());

        CatchNotices(*dialog);
        QTest::mouseClick(Find<QPushButton>(dialog, "helpButton"), Qt::LeftButton);
        QCOMPARE(notices_.at(0).title, QStringLiteral("TALVOR - Control Photometry"));
        QTest::mouseClick(Find<QPushButton>(dialog, "finishedButton"), Qt::LeftButton);
        QVERIFY(!session.modes.PhotometryMode);
        QCOMPARE(window.viewport()->cursor().shape(), Qt::ArrowCursor);
        // Clicks measure nothing once photometry has ended.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(session.modes.Photometry.Comparison.sum, 0);
    }

    void measuringWindowsOpenBesideThePictureAndWhereTheyWereLeft() {
        auto app = testing::StartProgram(fixture_.folder->path().toStdString());
        app->Show();
        TalvorFrame& frame = app->Frame();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QWidget* viewport = frame.Client()->viewport();
        const QRect picture = QRect(viewport->mapToGlobal(QPoint(0, 0)), viewport->size())
                                  .intersected(QRect(viewport->mapToGlobal(QPoint(0, 0)),
                                                     QSize(kFrameColumns, kFrameRows)));
        const QRect screen = viewport->screen()->availableGeometry();
        const auto opened = [&frame]<typename Dialog>(Dialog*) {
            Dialog* dialog = nullptr;
            for (auto* candidate : frame.findChildren<Dialog*>()) {
                dialog = candidate->isVisible() ? candidate : dialog;
            }
            return dialog;
        };
        const struct {
            int command;
            QDialog* (*find)(TalvorFrame&);
        } windows[] = {
            {CmPhotometry, [](TalvorFrame& f) -> QDialog* { return f.findChild<TPHDialog*>(); }},
            {CmHistogram, [](TalvorFrame& f) -> QDialog* { return f.findChild<THistDialog*>(); }},
            {CmRowIntensityPlot,
             [](TalvorFrame& f) -> QDialog* { return f.findChild<TRowDialog*>(); }},
        };
        for (const auto& window : windows) {
            frame.Dispatch(window.command);
            QDialog* dialog = window.find(frame);
            QVERIFY(dialog != nullptr && dialog->isVisible());
            QVERIFY2(screen.contains(dialog->frameGeometry()), dialog->metaObject()->className());
            QVERIFY2(!dialog->frameGeometry().intersects(picture),
                     dialog->metaObject()->className());
            dialog->close();
            QTRY_VERIFY(window.find(frame) == nullptr);
        }

        // Moved by the user, the window comes back there; moved off the screen, onto it.
        frame.Dispatch(CmPhotometry);
        TPHDialog* photometry = opened(static_cast<TPHDialog*>(nullptr));
        QVERIFY(photometry != nullptr);
        photometry->move(150, 120);
        photometry->close();
        QTRY_VERIFY(frame.findChild<TPHDialog*>() == nullptr);
        frame.Dispatch(CmPhotometry);
        photometry = opened(static_cast<TPHDialog*>(nullptr));
        QVERIFY(photometry != nullptr);
        QCOMPARE(photometry->pos(), QPoint(150, 120));
        photometry->move(screen.right() + 500, screen.bottom() + 500);
        photometry->close();
        QTRY_VERIFY(frame.findChild<TPHDialog*>() == nullptr);
        frame.Dispatch(CmPhotometry);
        photometry = opened(static_cast<TPHDialog*>(nullptr));
        QVERIFY(photometry != nullptr);
        QVERIFY(screen.contains(photometry->frameGeometry()));
        photometry->close();
        // Each window keeps its own place: the histogram still opens beside the picture.
        frame.Dispatch(CmHistogram);
        THistDialog* histogram = opened(static_cast<THistDialog*>(nullptr));
        QVERIFY(histogram != nullptr);
        QVERIFY(!histogram->frameGeometry().intersects(picture));
        histogram->close();
    }

    void photometryNotesAMagnitudeWithoutBackground() {
        std::fill_n(Frame().begin(), kFramePixels, uint16_t{1000});
        QVERIFY(StartPhotometry(State()) == PhotometryStart::Started);
        TPHDialog dialog(State(), nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* note = Find<QLabel>(&dialog, "magnitudeNote");
        QCOMPARE(note->text(), QString());
        MeasureTarget(State(), 100, 100);
        ChooseTarget(State(), PhotometryTarget::Comparison);
        PixelAt(Frame(), 200, 200) = 5000;
        MeasureTarget(State(), 200, 200);
        QVERIFY(!Find<QLineEdit>(&dialog, "magnitude")->text().isEmpty());
        QCOMPARE(note->text(), QStringLiteral("no background subtracted"));
        QVERIFY(note->isVisible());
        ChooseTarget(State(), PhotometryTarget::Background);
        MeasureTarget(State(), 300, 50);
        QCOMPARE(note->text(), QString());
        dialog.close();
    }

    void boundCommandsOpenEachWindowOnce() {
        auto app = testing::StartProgram(fixture_.folder->path().toStdString());
        app->Show();
        TalvorFrame& frame = app->Frame();
        const auto open = [&frame]<typename Dialog>(Dialog*) {
            int shown = 0;
            for (auto* dialog : frame.findChildren<Dialog*>()) {
                shown += dialog->isVisible() ? 1 : 0;
            }
            return shown;
        };
        frame.Dispatch(CmHistogram);
        frame.Dispatch(CmHistogram);
        QCOMPARE(open(static_cast<THistDialog*>(nullptr)), 1);
        frame.findChild<THistDialog*>()->close();
        QVERIFY(!app->State().modes.Analysis.HistogramOpen);
        frame.Dispatch(CmHistogram);
        QCOMPARE(open(static_cast<THistDialog*>(nullptr)), 1);

        frame.Dispatch(CmRowIntensityPlot);
        QVERIFY(app->State().modes.RowPlotMode);
        frame.Dispatch(CmIntensityPlot3D);
        QCOMPARE(open(static_cast<T3DDialog*>(nullptr)), 0);
        QCOMPARE(open(static_cast<TRowDialog*>(nullptr)), 1);
        frame.findChild<TRowDialog*>()->close();
        QVERIFY(!app->State().modes.RowPlotMode);

        frame.Dispatch(CmPhotometry);
        QVERIFY(app->State().modes.PhotometryMode);
        QCOMPARE(open(static_cast<TPHDialog*>(nullptr)), 1);
        frame.findChild<TPHDialog*>()->close();
        QVERIFY(!app->State().modes.PhotometryMode);
    }
};

}  // namespace talvor

QTEST_MAIN(talvor::MeasurementWindowsTest)
#include "measurement_windows_test.moc"
