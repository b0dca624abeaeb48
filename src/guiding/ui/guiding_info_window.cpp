#include "guiding/ui/guiding_info_window.h"

#include <QWidget>

#include "guiding/ui/guiding_info_dialog.h"

namespace talvor {

GuidingInfoWindow::GuidingInfoWindow(QWidget* owner, QWidget* picture)
    : owner_(owner), picture_(picture) {}

GuidingInfoWindow::~GuidingInfoWindow() {
    delete window_.data();
}

TInfoDialog* GuidingInfoWindow::Window() const {
    return window_.data();
}

void GuidingInfoWindow::OpenGuidingInfo(const std::string& title) {
    if (window_.isNull()) {
        window_ = new TInfoDialog(owner_);
    }
    window_->setWindowTitle(QString::fromStdString(title));
    window_->show();
}

void GuidingInfoWindow::SetGuidingInfoTitle(const std::string& title) {
    if (!window_.isNull()) {
        window_->setWindowTitle(QString::fromStdString(title));
    }
}

void GuidingInfoWindow::ShowGuidingInfo(const GuidingInfoContent& content) {
    if (!window_.isNull()) {
        window_->ShowContent(content);
    }
}

void GuidingInfoWindow::CloseGuidingInfo() {
    delete window_.data();
    window_ = nullptr;
}

void GuidingInfoWindow::RepaintMainWindow() {
    if (picture_ != nullptr) {
        picture_->repaint();
    }
}

}  // namespace talvor
