#include "telescope/ui/lx200_hand_control_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/session.h"
#include "telescope/lx200_commands.h"
#include "telescope/telescope_control.h"
#include "ui/arrow_scroll_bar.h"

namespace talvor {
namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLineEdit* NumberEdit(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setMaximumWidth(60);
    return edit;
}

QPushButton* Button(const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// Hands a bar's notices to the rules of this window.
ArrowScrollBar* LinkedBar(Session& session, Qt::Orientation orientation, ArrowBar kind,
                          const char* name, QWidget* owner) {
    auto* bar = new ArrowScrollBar(orientation, owner);
    bar->setObjectName(name);
    QObject::connect(bar, &ArrowScrollBar::lineUp, owner, [&session, kind] {
        Lx200ArrowNotice(session, kind, ArrowNotice::LineUpOrLeft);
    });
    QObject::connect(bar, &ArrowScrollBar::lineDown, owner, [&session, kind] {
        Lx200ArrowNotice(session, kind, ArrowNotice::LineDownOrRight);
    });
    QObject::connect(bar, &ArrowScrollBar::endOfScroll, owner, [&session, kind] {
        Lx200ArrowNotice(session, kind, ArrowNotice::EndOfScroll);
    });
    return bar;
}

}  // namespace

TMTDialog::TMTDialog(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setWindowTitle(QStringLiteral("TALVOR Move Telescope"));
    setModal(false);
    showNotice = [this](const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box.exec();
    };

    info_ = new QPlainTextEdit;
    info_->setObjectName("infoFromScope");
    info_->setReadOnly(true);
    info_->setMaximumHeight(60);
    auto* infoBox = new QGroupBox(QStringLiteral("Info from Scope"));
    (new QVBoxLayout(infoBox))->addWidget(info_);

    auto* help = Button(QStringLiteral("Help"), "helpButton");
    auto* finished = Button(QStringLiteral("Finished"), "finishedButton");
    connect(help, &QPushButton::clicked, this, [this] { Notice(kControlTelescopeHelp); });
    connect(finished, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(finished);

    auto* grid = new QGridLayout(this);
    sendingGroups_[0] = BuildGoTo();
    sendingGroups_[1] = BuildPlanets();
    sendingGroups_[2] = BuildMovement();
    sendingGroups_[3] = BuildFocus();
    grid->addWidget(sendingGroups_[0], 0, 0);
    grid->addWidget(sendingGroups_[1], 1, 0);
    grid->addWidget(infoBox, 2, 0);
    grid->addWidget(sendingGroups_[2], 0, 1, 2, 1);
    grid->addWidget(sendingGroups_[3], 0, 2, 2, 1);
    grid->addLayout(buttons, 2, 1, 1, 2);
    messier_->setFocus();
}

QGroupBox* TMTDialog::BuildGoTo() {
    auto* box = new QGroupBox(QStringLiteral("Go To"));
    auto* grid = new QGridLayout(box);
    messier_ = NumberEdit("messierEdit");
    cngc_ = NumberEdit("cngcEdit");
    auto* gotoObject = Button(QStringLiteral("GoTo Object"), "gotoObjectButton");
    connect(gotoObject, &QPushButton::clicked, this, &TMTDialog::GoToObjectPressed);
    // Typing a number and Return is the quickest go-to: the window opens with the Messier
    // field ready for it.
    connect(messier_, &QLineEdit::returnPressed, this, &TMTDialog::GoToObjectPressed);
    connect(cngc_, &QLineEdit::returnPressed, this, &TMTDialog::GoToObjectPressed);
    grid->addWidget(new QLabel(QStringLiteral("Messier Object")), 0, 0);
    grid->addWidget(messier_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("CNGC Object")), 1, 0);
    grid->addWidget(cngc_, 1, 1);
    grid->addWidget(gotoObject, 0, 2, 2, 1);

    raHours_ = NumberEdit("raHoursEdit");
    raMinutes_ = NumberEdit("raMinutesEdit");
    decDegrees_ = NumberEdit("decDegreesEdit");
    decMinutes_ = NumberEdit("decMinutesEdit");
    auto* gotoCoordinates = Button(QStringLiteral("Go To "), "gotoCoordinatesButton");
    connect(gotoCoordinates, &QPushButton::clicked, this, &TMTDialog::GoToCoordinatesPressed);
    grid->addWidget(new QLabel(QStringLiteral("R.A.")), 2, 0);
    grid->addWidget(raHours_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("hrs")), 2, 2);
    grid->addWidget(raMinutes_, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("mins")), 2, 4);
    grid->addWidget(new QLabel(QStringLiteral("Dec.")), 3, 0);
    grid->addWidget(decDegrees_, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Deg")), 3, 2);
    grid->addWidget(decMinutes_, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("mins")), 3, 4);
    grid->addWidget(gotoCoordinates, 4, 1, 1, 3);
    return box;
}

QGroupBox* TMTDialog::BuildPlanets() {
    auto* box = new QGroupBox(QStringLiteral("Go to Planet"));
    auto* grid = new QGridLayout(box);
    int index = 0;
    for (const PlanetNumber& planet : kPlanets) {
        const QString name = FromView(planet.name);
        auto* button = Button(name, "");
        button->setObjectName(QStringLiteral("planet") + name);
        const int number = planet.number;
        connect(button, &QPushButton::clicked, this,
                [this, number] { RunGoTo([this, number] { GoToPlanet(session_, number); }); });
        grid->addWidget(button, index / 4, index % 4);
        ++index;
    }
    return box;
}

QGroupBox* TMTDialog::BuildMovement() {
    auto* box = new QGroupBox(QStringLiteral("Move"));
    auto* layout = new QVBoxLayout(box);
    auto* vertical = LinkedBar(session_, Qt::Vertical, ArrowBar::Vertical, "verticalBar", this);
    auto* horizontal =
        LinkedBar(session_, Qt::Horizontal, ArrowBar::Horizontal, "horizontalBar", this);
    vertical->setMinimumHeight(120);
    horizontal->setMinimumWidth(120);
    auto* verticalRow = new QHBoxLayout;
    verticalRow->addStretch();
    verticalRow->addWidget(vertical);
    verticalRow->addStretch();
    layout->addLayout(verticalRow);
    layout->addWidget(horizontal);

    static constexpr const char* kNames[] = {"rateSlew", "rateFind", "rateCentre", "rateGuide"};
    static constexpr const char* kTexts[] = {"Slew", "Find", "Centre", "Guide"};
    for (int rate = 0; rate < 4; ++rate) {
        rates_[rate] = new QRadioButton(QString::fromLatin1(kTexts[rate]));
        rates_[rate]->setObjectName(kNames[rate]);
        connect(rates_[rate], &QRadioButton::clicked, this, [this, rate] {
            ChooseSlewRate(session_.telescope, static_cast<SlewRate>(rate));
            Refresh();
        });
        layout->addWidget(rates_[rate]);
    }
    return box;
}

QGroupBox* TMTDialog::BuildFocus() {
    auto* box = new QGroupBox(QStringLiteral("Focus"));
    auto* layout = new QVBoxLayout(box);
    auto* bar = LinkedBar(session_, Qt::Vertical, ArrowBar::Focus, "focusBar", this);
    bar->setMinimumHeight(120);
    auto* barRow = new QHBoxLayout;
    barRow->addStretch();
    barRow->addWidget(bar);
    barRow->addStretch();
    layout->addLayout(barRow);
    fast_ = new QRadioButton(QStringLiteral("fast"));
    fast_->setObjectName("focusFast");
    slow_ = new QRadioButton(QStringLiteral("slow"));
    slow_->setObjectName("focusSlow");
    connect(fast_, &QRadioButton::clicked, this, [this] {
        ChooseFocusSpeed(session_.telescope, FocusSpeed::Fast);
        Refresh();
    });
    connect(slow_, &QRadioButton::clicked, this, [this] {
        ChooseFocusSpeed(session_.telescope, FocusSpeed::Slow);
        Refresh();
    });
    layout->addWidget(fast_);
    layout->addWidget(slow_);
    layout->addStretch();
    return box;
}

void TMTDialog::Notice(std::string_view text) {
    showNotice(FromView(kControlTelescopeTitle), FromView(text));
}

template <typename GoTo>
void TMTDialog::RunGoTo(GoTo goTo) {
    // The window answers during the go-to, so a second press could arrive before the first
    // go-to has its answers.
    if (goToRunning_) {
        return;
    }
    goToRunning_ = true;
    // Disabling the groups takes the focus from the field Return was pressed in; it goes back.
    const QPointer<QWidget> focused = focusWidget();
    for (QGroupBox* group : sendingGroups_) {
        group->setEnabled(false);
    }
    info_->setPlainText(QStringLiteral("Waiting for the telescope... (Escape stops waiting)"));
    const QPointer<TMTDialog> alive(this);
    goTo();
    if (alive.isNull()) {
        return;
    }
    for (QGroupBox* group : sendingGroups_) {
        group->setEnabled(true);
    }
    if (!focused.isNull()) {
        focused->setFocus();
    }
    goToRunning_ = false;
    Refresh();
}

void TMTDialog::GoToObjectPressed() {
    RunGoTo([this] {
        if (GoToObject(session_, messier_->text().toStdString(), cngc_->text().toStdString()) ==
            EntryResult::OutOfRange) {
            Notice(kObjectOutOfRange);
        }
    });
}

void TMTDialog::GoToCoordinatesPressed() {
    RunGoTo([this] {
        if (GoToCoordinates(session_, raHours_->text().toStdString(),
                            raMinutes_->text().toStdString(), decDegrees_->text().toStdString(),
                            decMinutes_->text().toStdString()) == EntryResult::OutOfRange) {
            Notice(kInvalidCoordinates);
        }
    });
}

void TMTDialog::reject() {
    if (!goToRunning_) {
        QDialog::reject();
    }
}

void TMTDialog::Refresh() {
    const QString reply =
        QString::fromLatin1(session_.telescope.ReplyText.data(),
                            static_cast<qsizetype>(session_.telescope.ReplyText.size()));
    // During a go-to the box says what the window waits for.
    if (!goToRunning_ && info_->toPlainText() != reply) {
        info_->setPlainText(reply);
    }
    rates_[static_cast<int>(ShownSlewRate(session_.telescope))]->setChecked(true);
    (ShownFocusSpeed(session_.telescope) == FocusSpeed::Fast ? fast_ : slow_)->setChecked(true);
}

void TMTDialog::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

void TMTDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Refresh();
    }
    QDialog::changeEvent(event);
}

}  // namespace talvor
