#include "app/talvor_app.h"

#include "app/clock.h"
#include "app/qt_user_interface.h"
#include "app/session.h"
#include "app/talvor_frame.h"
#include "image/image_store.h"

namespace talvor {

TTalvorApp::TTalvorApp(const std::filesystem::path& dataDirectory)
    : images_(CreateImageStore()),
      clock_(std::make_unique<SystemClock>()),
      ui_(std::make_unique<QtUserInterface>()),
      session_(std::make_unique<Session>(*images_, DataDirectory(dataDirectory), *clock_, *ui_)),
      frame_(std::make_unique<TalvorFrame>(*session_)) {
    ui_->AttachFrame(frame_.get());
}

TTalvorApp::~TTalvorApp() {
    // The frame goes first: its windows hold references into the session.
    frame_.reset();
}

void TTalvorApp::Show() {
    frame_->show();
}

}  // namespace talvor
