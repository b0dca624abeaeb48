#include "app/talvor_app.h"

#include "app/clock.h"
#include "app/command_line.h"
#include "app/hardware.h"
#include "app/messages.h"
#include "app/qt_user_interface.h"
#include "app/session.h"
#include "app/talvor_frame.h"
#include "image/image_store.h"

namespace talvor {

TTalvorApp::TTalvorApp(const CommandLine& line)
    : images_(CreateImageStore()),
      clock_(std::make_unique<SystemClock>()),
      ui_(std::make_unique<QtUserInterface>()),
      session_(std::make_unique<Session>(
          *images_, DataDirectory(line.dataDirectory.value_or(DataDirectory::DefaultRoot())),
          *clock_, *ui_)),
      hardware_(std::make_unique<Hardware>(
          *session_, line.simulate,
          ParseCameraUsbId(line.cameraUsbId.value_or("")).value_or(kDefaultCameraUsbId),
          line.mountLog.value_or(std::filesystem::path()))),
      frame_(std::make_unique<TalvorFrame>(*session_)) {
    ui_->AttachFrame(frame_.get());
    if (!hardware_->Problem().empty()) {
        ReportMessage(*ui_, kCallerText, hardware_->Problem());
    }
}

TTalvorApp::~TTalvorApp() {
    // The frame goes first: its windows hold references into the session.
    frame_.reset();
    hardware_.reset();
}

void TTalvorApp::Show() {
    frame_->show();
}

}  // namespace talvor
