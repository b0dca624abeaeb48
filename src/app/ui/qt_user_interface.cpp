#include "app/ui/qt_user_interface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QThread>
#include <QWindow>

#include "app/ui/progress_dialog.h"
#include "app/ui/talvor_frame.h"
#include "app/ui/talvor_window.h"
#include "core/progress.h"
#include "display/refresh_display.h"

namespace talvor {
namespace {

// How long a newly shown progress window is given to be mapped before it is painted.
constexpr qint64 kLongestMapWaitMs = 300;
// Bar moves closer together than this are painted together.
constexpr qint64 kProgressPaintMs = 40;

}  // namespace

QtUserInterface::QtUserInterface() {
    qApp->installEventFilter(this);
}

QtUserInterface::~QtUserInterface() {
    qApp->removeEventFilter(this);
}

bool QtUserInterface::eventFilter(QObject* watched, QEvent* event) {
    if (dispatchDepth_ > 0 && watched->isWidgetType()) {
        if (event->type() == QEvent::KeyPress) {
            presses_.key = true;
        } else if (event->type() == QEvent::MouseButtonPress) {
            const auto button = static_cast<QMouseEvent*>(event)->button();
            presses_.leftButton = presses_.leftButton || button == Qt::LeftButton;
            presses_.rightButton = presses_.rightButton || button == Qt::RightButton;
        }
    }
    return QObject::eventFilter(watched, event);
}

void QtUserInterface::ShowMessage(const std::string& text) {
    QMessageBox box(
        QMessageBox::NoIcon,
        QString::fromUtf8(kApplicationName.data(), static_cast<int>(kApplicationName.size())),
        QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

void QtUserInterface::ShowErrorBox(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

bool QtUserInterface::AskYesNo(const std::string& caption, const std::string& text) {
    return QMessageBox::question(frame_, QString::fromStdString(caption),
                                 QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

UserPresses QtUserInterface::DispatchPendingEvents() {
    // A press counts only once per wait, and only while this wait dispatches it: a nested
    // wait started by a dispatched command keeps its own record.
    const UserPresses outer = presses_;
    presses_ = {};
    ++dispatchDepth_;
    QApplication::sendPostedEvents();
    QApplication::processEvents(QEventLoop::AllEvents);
    --dispatchDepth_;
    const UserPresses seen = presses_;
    presses_ = outer;
    return seen;
}

void QtUserInterface::IdleWait() {
    QThread::msleep(2);
}

void QtUserInterface::Beep() {
    QApplication::beep();
}

void QtUserInterface::PushBusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUserInterface::PopCursor() {
    QApplication::restoreOverrideCursor();
}

void QtUserInterface::OpenProgress(const std::string& caption) {
    progress_ = std::make_unique<TProgressDialog>(QString::fromStdString(caption), frame_);
    progress_->show();
    // A new window can be painted once the window system has mapped it.
    QElapsedTimer waited;
    waited.start();
    while (!progress_->windowHandle()->isExposed() && waited.elapsed() < kLongestMapWaitMs) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
    PaintProgress();
}

void QtUserInterface::SetProgressCaption(const std::string& caption) {
    if (progress_) {
        progress_->setWindowTitle(QString::fromStdString(caption));
        PaintProgress();
    }
}

void QtUserInterface::SetProgressPosition(int position) {
    if (progress_ && position != progress_->Position()) {
        progress_->SetPosition(position);
        if (!lastProgressPaint_.isValid() || lastProgressPaint_.elapsed() >= kProgressPaintMs ||
            position == 0 || position >= kProgressFull) {
            PaintProgress();
        }
    }
}

void QtUserInterface::PaintProgress() {
    // The step that moves the bar runs on this thread and may block right after (a camera
    // readout takes seconds): the window is painted and handed to the window system now, not
    // when events are next dispatched. Input stays queued for the step's own checks.
    progress_->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    lastProgressPaint_.start();
}

void QtUserInterface::CloseProgress() {
    progress_.reset();
}

void QtUserInterface::SetMainCaption(const std::string& caption) {
    if (frame_ != nullptr) {
        frame_->setWindowTitle(QString::fromStdString(caption));
    }
}

bool QtUserInterface::LoadDisplayBitmap(const std::filesystem::path& file) {
    return frame_ != nullptr &&
           frame_->Client()->LoadDisplayBitmap(QString::fromStdString(file.string()));
}

}  // namespace talvor
