#include "camera/usb_platform.h"

#include <sys/utsname.h>

#include <cstdio>

namespace talvor {

PlatformVersion HostPlatformVersion() {
    PlatformVersion version;
    utsname name{};
    if (uname(&name) == 0) {
        std::sscanf(name.release, "%d.%d", &version.major, &version.minor);
    }
    return version;
}

}  // namespace talvor
