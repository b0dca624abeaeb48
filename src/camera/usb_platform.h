#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace talvor {

// The two kinds of device interface the camera presents.
enum class DeviceClass { Hid, BlockIo };

// An open device; kNoDevice is the empty handle.
using DeviceHandle = int;
inline constexpr DeviceHandle kNoDevice = 0;

// The outcome of a write or read: the platform's error number (an errno value, 0 on success)
// and the bytes moved.
struct IoResult {
    int errorNumber = 0;
    std::size_t bytes = 0;
    bool Succeeded() const { return errorNumber == 0; }
};

struct PlatformVersion {
    int major = 0;
    int minor = 0;
};

// The platform calls that the camera link is built on: enumerate the present interfaces of a
// device class by member index, name and open them, write a report, read a block.
class UsbPlatform {
  public:
    virtual ~UsbPlatform() = default;

    // Makes the list of present interfaces of the class; false when it cannot be made.
    virtual bool MakeInterfaceList(DeviceClass kind) = 0;
    // Whether the list holds a member with this index.
    virtual bool HasInterface(DeviceClass kind, int member) = 0;
    // The path to open for a listed member; none when the platform cannot name it.
    virtual std::optional<std::string> DevicePath(DeviceClass kind, int member) = 0;
    virtual void ReleaseInterfaceLists() = 0;

    // kNoDevice when the device cannot be opened.
    virtual DeviceHandle Open(DeviceClass kind, const std::string& path) = 0;
    // Closing kNoDevice does nothing.
    virtual void Close(DeviceHandle handle) = 0;

    // Writes a whole report (report id first) to a control device.
    virtual IoResult WriteReport(DeviceHandle handle, std::span<const uint8_t> report) = 0;
    // Reads destination.size() bytes from a block device.
    virtual IoResult BulkRead(DeviceHandle handle, std::span<uint8_t> destination) = 0;

    virtual PlatformVersion Version() = 0;
};

// The running kernel's major and minor version.
PlatformVersion HostPlatformVersion();

}  // namespace talvor
