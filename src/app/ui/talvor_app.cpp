#include "app/ui/talvor_app.h"

#include "app/command_line.h"
#include "app/ui/qt_user_interface.h"
#include "app/ui/talvor_frame.h"
#include "core/clock.h"
#include "core/image_store.h"
#include "core/messages.h"
#include "core/session.h"
#include "devices/hardware.h"

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
          ParseCameraUsbIds(line.cameraUsbId.value_or("")).value_or(kDefaultCameraUsbIds),
          line.mountLog.value_or(std::filesystem::path()),
          line.fastCamera ? CameraTiming::Fast : CameraTiming::Real)),
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
