#include "camera/ui/camera_dialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "camera/camera_interface.h"
#include "camera/exposure_rules.h"
#include "camera/self_guiding_hooks.h"
#include "camera/ui/file_name_label.h"
#include "camera/ui/focus_pause_dialog.h"
#include "core/calibration_state.h"
#include "core/scroll_action.h"
#include "core/session.h"
#include "display/display_bitmap.h"
#include "display/stretch_palette.h"
#include "image/settings_file.h"
#include "processing/processing_state.h"
#include "ui/slider_actions.h"

namespace talvor {
namespace {

constexpr int kMaxExposures = 99;
constexpr int kMaxDelayMinutes = 20;

const char* const kCameraHelp =
    "Select exposure range using Radio buttons on left of dialog Window \n"
    "Select anti-smear status using checkbox\n"
    "Vary exposure time using scroll arrows,and take exposure by pressing the 'Take Photo' "
    "button\n\n"
    "The Focus mode allows repeated exposures of 0.01 to 10 seconds to be made, and displays "
    "the value of the most saturated pixel. In a starfield, altering the focus until the "
    "maximum value is returned will give a good indication of best focus.\n\n"
    "It is posssible to use an 'slew and sum' mode, which will automatically sum images "
    "together, taking into account small amounts of drift in the telescope drive. To do this "
    "simply change the number of exposures from 1 to any value less than 100.\n\n"
    "Press Right Hand mouse button anywhere in TALVOR Window to pematurely terminate an "
    "exposure.\n\n"
    "The delay option gives an audible 10 second countdown to the exposure start\n\n"
    "If multiple is used to control Continuous mode Slew&Sum is disabled";

// -1 for the left or upper arrow, +1 for the other, 0 for anything else.
int ArrowStep(int action) {
    if (action == QAbstractSlider::SliderSingleStepSub) {
        return -1;
    }
    return action == QAbstractSlider::SliderSingleStepAdd ? 1 : 0;
}

QLabel* ReadOut(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(48);
    return label;
}

}  // namespace

TVeltraneDialog::TVeltraneDialog(Session& session, const SelfGuidingHooks& hooks, QWidget* parent)
    : QDialog(parent), session_(session), hooks_(hooks) {
    setWindowTitle(QStringLiteral("Drevik Zenka  -  Camera Control Interface"));
    auto* take = new QPushButton(QStringLiteral("Take Photo"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    take->setDefault(true);
    connect(take, &QPushButton::clicked, this, &TVeltraneDialog::TakePhoto);
    connect(cancel, &QPushButton::clicked, this, [this] {
        session_.capture.FocusLoopStop = true;
        reject();
    });
    connect(help, &QPushButton::clicked, this, &TVeltraneDialog::ShowHelp);

    auto* columns = new QHBoxLayout;
    columns->addWidget(BuildExposureColumn());
    columns->addWidget(BuildOptionColumn());
    columns->addWidget(BuildFocusColumn());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(take);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    Redraw();
}

QScrollBar* TVeltraneDialog::Arrows(Qt::Orientation orientation,
                                    std::function<void(int action)> onAction) {
    auto* bar = new QScrollBar(orientation, this);
    bar->setRange(0, 2);
    bar->setValue(1);
    bar->setFixedWidth(orientation == Qt::Horizontal ? 48 : bar->sizeHint().width());
    connect(bar, &QScrollBar::actionTriggered, this, [this, bar, onAction](int action) {
        onAction(action);
        bar->setSliderPosition(1);  // the bar is only a pair of arrows
        Redraw();
    });
    return bar;
}

QCheckBox* TVeltraneDialog::Option(const QString& text, std::function<bool&()> flag) {
    auto* box = new QCheckBox(text, this);
    connect(box, &QCheckBox::clicked, this, [this, flag] {
        flag() = !flag();
        Redraw();
    });
    options_.emplace_back(box, flag);
    return box;
}

QWidget* TVeltraneDialog::BuildExposureColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    auto* range = new QGroupBox(QStringLiteral("Exposure Range"), column);
    auto* rangeLayout = new QVBoxLayout(range);
    const std::pair<const char*, ExposureUnit> choices[] = {
        {"Thousandth's", ExposureUnit::Thousandths},
        {"Hundredth's", ExposureUnit::Hundredths},
        {"Tenth's", ExposureUnit::Tenths},
        {"Seconds", ExposureUnit::Seconds},
        {"Minutes", ExposureUnit::Minutes}};
    for (const auto& [text, unit] : choices) {
        auto* radio = new QRadioButton(QString::fromLatin1(text), range);
        rangeLayout->addWidget(radio);
        units_.emplace_back(radio, static_cast<char>(unit));
        connect(radio, &QRadioButton::clicked, this, [this, unit = unit] {
            CaptureSettings& settings = session_.capture.Settings;
            settings.Unit = unit;
            settings.Value = UnitStartValue(unit);
            Redraw();
        });
    }
    layout->addWidget(range);

    auto* numbers = new QGridLayout;
    CaptureSettings& settings = session_.capture.Settings;
    value_ = ReadOut(column);
    exposures_ = ReadOut(column);
    delay_ = ReadOut(column);
    numbers->addWidget(new QLabel(QStringLiteral("Exposure Value"), column), 0, 0);
    numbers->addWidget(Arrows(Qt::Horizontal,
                              [&settings](int action) {
                                  settings.Value = StepWithin(settings.Value, ArrowStep(action), 1,
                                                              UnitMaximum(settings.Unit));
                              }),
                       0, 1);
    numbers->addWidget(value_, 0, 2);
    numbers->addWidget(new QLabel(QStringLiteral("No of Exposures"), column), 1, 0);
    numbers->addWidget(Arrows(Qt::Horizontal,
                              [&settings](int action) {
                                  settings.NumberOfExposures =
                                      StepWithin(settings.NumberOfExposures, ArrowStep(action), 1,
                                                 kMaxExposures);
                              }),
                       1, 1);
    numbers->addWidget(exposures_, 1, 2);
    numbers->addWidget(new QLabel(QStringLiteral("Delay between exposures (mins)"), column), 2, 0);
    numbers->addWidget(Arrows(Qt::Horizontal,
                              [&settings](int action) {
                                  settings.DelayMinutes =
                                      StepWithin(settings.DelayMinutes, ArrowStep(action), 0,
                                                 kMaxDelayMinutes);
                              }),
                       2, 1);
    numbers->addWidget(delay_, 2, 2);
    layout->addLayout(numbers);

    auto* stretch = new QGroupBox(QStringLiteral("Stretch"), column);
    auto* stretchLayout = new QGridLayout(stretch);
    stretch_ = new QScrollBar(Qt::Vertical, stretch);
    stretch_->setRange(kMinStretchBits, kMaxStretchBits);
    stretch_->setPageStep(1);
    stretch_->setMinimumHeight(70);
    stretchValue_ = ReadOut(stretch);
    connect(stretch_, &QScrollBar::actionTriggered, this, [this](int action) {
        int& bits = session_.readout.StretchBits;
        const auto scroll = ScrollActionOf(action);
        if (scroll) {
            bits = StretchBitsAfterScroll(bits, *scroll, stretch_->sliderPosition());
        }
        stretch_->setSliderPosition(bits);
        Redraw();
    });
    stretchLayout->addWidget(new QLabel(QStringLiteral("12 bit"), stretch), 0, 0);
    stretchLayout->addWidget(stretch_, 0, 1, 2, 1);
    stretchLayout->addWidget(new QLabel(QStringLiteral("16 bit"), stretch), 1, 0);
    stretchLayout->addWidget(stretchValue_, 0, 2);
    layout->addWidget(stretch);
    layout->addStretch();
    return column;
}

QWidget* TVeltraneDialog::BuildOptionColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    CaptureSettings& s = session_.capture.Settings;
    ProgramSettings& p = session_.settings;
    const auto option = [this, layout](const char* text, std::function<bool&()> flag) {
        layout->addWidget(Option(QString::fromLatin1(text), std::move(flag)));
    };
    option("Continuous Mode", [&s]() -> bool& { return s.ContinuousMode; });
    option("Delay before exposure", [&s]() -> bool& { return s.DelayBeforeExposure; });
    option("Average Multiple Exposures", [&s]() -> bool& { return s.AverageMultiple; });
    option("Alternative Slew Method", [&s]() -> bool& { return s.AlternativeSlew; });
    option("Auto Save Image", [&s]() -> bool& { return s.AutoSave; });
    // The automatic dark and flat files stand beside their boxes, folder and all.
    const auto optionWithFile = [this, layout, column](const char* text,
                                                       std::function<bool&()> flag) {
        auto* row = new QHBoxLayout;
        row->addWidget(Option(QString::fromLatin1(text), std::move(flag)));
        auto* name = new TFileNameLabel(column);
        row->addWidget(name, 1);
        layout->addLayout(row);
        return name;
    };
    darkName_ =
        optionWithFile("Auto-Remove Dark Frame", [&s]() -> bool& { return s.AutoRemoveDark; });
    flatName_ = optionWithFile("Auto-Apply Flatfield", [&s]() -> bool& { return s.AutoApplyFlat; });
    option("Set Stretch for all Images", [&s]() -> bool& { return s.SetStretchForAllImages; });
    option("Beep after Exposure ends", [&p]() -> bool& { return p.BeepAfterExposure; });
    layout->addWidget(new QLabel(QStringLiteral("Disable Interrupts"), column));
    option("during Download", [&p]() -> bool& { return p.DisableInterruptsDuringDownload; });
    option("Debug Mode", [&p]() -> bool& { return p.DebugMode; });
    option("Auto-Exposure Mode", [&s]() -> bool& { return s.AutoExposureMode; });
    option("AutoStart Control Dialog", [&s]() -> bool& { return s.AutoStartControlDialog; });

    auto* guiding = new QGroupBox(QStringLiteral("Self-Guiding"), column);
    auto* grid = new QGridLayout(guiding);
    selfGuide_ = new QCheckBox(QStringLiteral("Self-Guide Next Exposure"), guiding);
    matchingDark_ = new QCheckBox(QStringLiteral("Take matching Darkframe"), guiding);
    connect(selfGuide_, &QCheckBox::clicked, this, [this] {
        ToggleSelfGuideNextExposure(session_, hooks_);
        Redraw();
    });
    connect(matchingDark_, &QCheckBox::clicked, this, [this] {
        ToggleMatchingDarkframe(session_, hooks_);
        Redraw();
    });
    guideFrames_ = ReadOut(guiding);
    guideValue_ = ReadOut(guiding);
    grid->addWidget(selfGuide_, 0, 0, 1, 2);
    grid->addWidget(matchingDark_, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Toggle Guide Frame"), guiding), 2, 0);
    grid->addWidget(
        Option(QStringLiteral(" during Exposure"), [&s]() -> bool& { return s.ToggleGuideFrame; }),
        2, 1);
    grid->addWidget(new QLabel(QStringLiteral("No of Guiding Frames"), guiding), 3, 0);
    grid->addWidget(guideFrames_, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Value"), guiding), 4, 0);
    grid->addWidget(guideValue_, 4, 1);
    layout->addWidget(guiding);
    layout->addStretch();
    return column;
}

QWidget* TVeltraneDialog::BuildFocusColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    auto* focus = new QGroupBox(QStringLiteral("Focus Mode"), column);
    auto* grid = new QGridLayout(focus);
    auto* start = new QPushButton(QStringLiteral("Start"), focus);
    auto* stop = new QPushButton(QStringLiteral("Stop"), focus);
    start->setAutoDefault(false);
    stop->setAutoDefault(false);
    connect(start, &QPushButton::clicked, this, &TVeltraneDialog::StartFocus);
    connect(stop, &QPushButton::clicked, this, [this] { session_.capture.FocusLoopStop = true; });
    maxValue_ = ReadOut(focus);
    CaptureSettings& s = session_.capture.Settings;
    auto* pause =
        Option(QStringLiteral("Pause between"), [&s]() -> bool& { return s.FocusExposures; });
    ProgramSettings& p = session_.settings;
    auto* delay = Option(QStringLiteral("1 sec delay when focussing"),
                         [&p]() -> bool& { return p.FocusDelayOneSecond; });
    grid->addWidget(start, 0, 0);
    grid->addWidget(stop, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Max Value"), focus), 1, 0);
    grid->addWidget(maxValue_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Focus exposures"), focus), 2, 0);
    grid->addWidget(pause, 2, 1);
    grid->addWidget(delay, 3, 0, 1, 2);
    layout->addWidget(focus);

    auto* window = new QGroupBox(QStringLiteral("Focus Window"), column);
    auto* windowLayout = new QVBoxLayout(window);
    focusPicture_ = new QLabel(window);
    focusPicture_->setFixedSize(128, 128);
    focusPicture_->setFrameShape(QFrame::Box);
    windowLayout->addWidget(focusPicture_);
    layout->addWidget(window);

    auto* saving = new QGridLayout;
    subDirectory_ = ReadOut(column);
    lastFile_ = ReadOut(column);
    saving->addWidget(new QLabel(QStringLiteral("Sub-Dir"), column), 0, 0);
    saving->addWidget(subDirectory_, 0, 1);
    saving->addWidget(new QLabel(QStringLiteral("Last File no."), column), 1, 0);
    saving->addWidget(lastFile_, 1, 1);
    layout->addLayout(saving);
    layout->addStretch();
    return column;
}

void TVeltraneDialog::Redraw() {
    const CaptureState& capture = session_.capture;
    const CaptureSettings& settings = capture.Settings;
    for (auto& [radio, unit] : units_) {
        radio->setChecked(unit == static_cast<char>(settings.Unit));
    }
    for (auto& [box, flag] : options_) {
        box->setChecked(flag());
    }
    selfGuide_->setChecked(capture.SelfGuideArmed);
    matchingDark_->setChecked(capture.GuideDarkFrame);
    value_->setText(QString::number(settings.Value));
    exposures_->setText(QString::number(settings.NumberOfExposures));
    delay_->setText(QString::number(settings.DelayMinutes));
    stretch_->setValue(session_.readout.StretchBits);
    stretchValue_->setText(QString::number(session_.readout.StretchBits));
    if (capture.SelfGuideArmed) {
        guideFrames_->setText(QString::number(capture.Run.GuideDarkFrameCount));
        guideValue_->setText(QStringLiteral("%1 %2")
                                 .arg(settings.GuideValue)
                                 .arg(QString::fromStdString(UnitWord(settings.GuideUnit))));
    } else {
        guideFrames_->clear();
        guideValue_->clear();
    }
    maxValue_->setText(QString::number(settings.LastFocusPeak));
    subDirectory_->setText(QString::fromStdString(session_.settings.AutoSaveSubDirectory));
    lastFile_->setText(QString::number(session_.settings.QuickSaveCounter));
    const CalibrationState& calibration = CalibrationOf(session_);
    darkName_->SetFileName(
        QString::fromStdString(AutomaticDarkFile(calibration, session_.dataDirectory).string()));
    flatName_->SetFileName(
        QString::fromStdString(AutomaticFlatFile(calibration, session_.dataDirectory).string()));
    const QString small =
        QString::fromStdString(session_.dataDirectory.Resolve(kSmallBitmapName).string());
    if (QFileInfo::exists(small)) {
        focusPicture_->setPixmap(QPixmap(small));
    }
}

void TVeltraneDialog::done(int result) {
    // However the dialog closes (Take Photo, Cancel, Escape, the title bar), a running focus
    // loop ends with it.
    session_.capture.FocusLoopStop = true;
    QDialog::done(result);
}

void TVeltraneDialog::ShowFocusFrame() {
    Redraw();
    focusPicture_->repaint();
    maxValue_->repaint();
}

bool TVeltraneDialog::ConfirmNextFrame() {
    return TMESSDialog(this).exec() == QDialog::Accepted;
}

void TVeltraneDialog::StartFocus() {
    if (session_.camera.Link) {
        FocusLoop(session_, *session_.camera.Link, *this);
    }
    Redraw();
}

void TVeltraneDialog::TakePhoto() {
    session_.capture.FocusLoopStop = true;
    session_.state.FocusMode = false;
    accept();
}

void TVeltraneDialog::ShowHelp() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TALVOR - Control Zenka Camera"),
                    QString::fromLatin1(kCameraHelp), QMessageBox::Ok, this);
    box.exec();
}

}  // namespace talvor
