#include "camera/usb_camera_link.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "core/messages.h"
#include "core/session.h"
#include "core/user_interface.h"

namespace talvor {
namespace {

// Discovery looks at this many members of each class, present or not.
constexpr int kMembersPerClass = 20;
// A report is the report id and at most this many payload bytes.
constexpr std::size_t kMaxPayloadBytes = 254;

template <typename... Values>
std::string Formatted(const char* format, Values... values) {
    std::array<char, 160> text{};
    std::snprintf(text.data(), text.size(), format, values...);
    return text.data();
}

}  // namespace

UsbCameraLink::UsbCameraLink(Session& session, std::unique_ptr<UsbPlatform> platform)
    : session_(session), platform_(std::move(platform)) {}

UsbCameraLink::~UsbCameraLink() {
    platform_->Close(control_);
    platform_->Close(block_);
}

bool UsbCameraLink::FindCamera() {
    session_.camera.LinkLost = false;
    bool enumerated = false;
    for (const DeviceClass kind : {DeviceClass::Hid, DeviceClass::BlockIo}) {
        if (!platform_->MakeInterfaceList(kind)) {
            platform_->ReleaseInterfaceLists();
            ReportMessage(session_.ui, kCallerText, "Could not attach to PnP node");
            return false;
        }
        DeviceHandle& slot = kind == DeviceClass::Hid ? control_ : block_;
        // Every index is tried: a gap in the list does not end it. The last device of the class
        // that opens is the one used.
        for (int member = 0; member < kMembersPerClass; ++member) {
            if (!platform_->HasInterface(kind, member)) {
                continue;
            }
            enumerated = true;
            const std::optional<std::string> path = platform_->DevicePath(kind, member);
            if (!path) {
                platform_->ReleaseInterfaceLists();
                session_.ui.ShowErrorBox("Error",
                                         "Could not find the system name for this HID device");
                return false;
            }
            const DeviceHandle handle = platform_->Open(kind, *path);
            if (handle == kNoDevice) {
                platform_->ReleaseInterfaceLists();
                session_.ui.ShowErrorBox("Error", "Could not open HID device");
                return false;
            }
            if (slot != kNoDevice) {
                platform_->Close(slot);
            }
            slot = handle;
        }
    }
    platform_->ReleaseInterfaceLists();

    if (control_ == kNoDevice || block_ == kNoDevice) {
        ReportMessage(session_.ui, kCallerText, "USB BlockIO device not found");
        session_.camera.CameraConnected = false;
        return enumerated;
    }
    // The flag asks for interrupts to be masked during a download; a Linux user program cannot
    // do that, whatever the kernel version.
    session_.camera.OsFamilyFlag = false;
    if (session_.settings.DebugMode) {
        const PlatformVersion version = platform_->Version();
        ReportMessage(session_.ui, kCallerText,
                      Formatted("Camera Found, Hid = %6d, BlockIO = %6d\nO/S = %4d.%4d", control_,
                                block_, version.major, version.minor));
    }
    session_.camera.CameraConnected = true;
    return enumerated;
}

void UsbCameraLink::SendCommand(std::span<const uint8_t> bytes) {
    if (bytes.size() > kMaxPayloadBytes) {
        ReportMessage(session_.ui, kCallerText, "Maximum ByteCount for WriteUSBdevice is 254");
        return;
    }
    if (session_.camera.LinkLost) {
        return;  // the failure has been told once; nothing more goes to a vanished camera
    }
    std::array<uint8_t, kMaxPayloadBytes + 1> report{};
    std::copy(bytes.begin(), bytes.end(), report.begin() + 1);
    const IoResult result =
        platform_->WriteReport(control_, std::span(report.data(), bytes.size() + 1));
    if (!result.Succeeded()) {
        Lose();
        ReportMessage(session_.ui, kCallerText,
                      Formatted("Error %d trying to send command to USB \n", result.errorNumber));
    }
}

void UsbCameraLink::ReadBlock() {
    CommandBytes& command = session_.readout.CommandBuffer;
    command[0] = 4;
    SendCommand(command);

    CameraState& camera = session_.camera;
    const std::size_t count = std::min(camera.BlockByteCount, camera.ReceiveBuffer.size());
    const std::span<uint8_t> destination(camera.ReceiveBuffer.data(), count);
    IoResult result{0, 0};
    if (!camera.LinkLost) {
        result = platform_->BulkRead(block_, destination);
    }
    camera.BytesRead = std::min(result.bytes, count);
    // Whatever did not arrive reads as zero, so a broken transfer never passes off the previous
    // frame's pixels as new ones.
    std::fill(destination.begin() + static_cast<std::ptrdiff_t>(camera.BytesRead),
              destination.end(), uint8_t{0});
    if (!result.Succeeded()) {
        Lose();
        ReportMessage(
            session_.ui, kCallerText,
            Formatted("Error %d trying to read BlockIO data from USB\n", result.errorNumber));
    }
}

void UsbCameraLink::Lose() {
    // A camera that fails once is taken as unplugged: its handles go, and the next camera run
    // looks for it again, so a replugged camera works without a restart.
    platform_->Close(control_);
    platform_->Close(block_);
    control_ = kNoDevice;
    block_ = kNoDevice;
    session_.camera.CameraConnected = false;
    session_.camera.LinkLost = true;
}

}  // namespace talvor
