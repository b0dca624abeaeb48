#include "image/fits_library.h"

#include <dlfcn.h>

#include <cstdio>

namespace talvor {
namespace {

// Finds one entry point by name into `into`; false, with why in `error`, when it is missing.
template <typename Function>
bool FindEntry(void* handle, const char* symbol, Function& into, std::string& error) {
    dlerror();
    void* address = dlsym(handle, symbol);
    if (address == nullptr) {
        const char* why = dlerror();
        error = why != nullptr ? why : std::string(symbol) + " is missing";
        return false;
    }
    into = reinterpret_cast<Function>(address);
    return true;
}

}  // namespace

const char* const kFitsLibraryName = TALVOR_CFITSIO_SONAME;

std::optional<FitsLibrary> OpenFitsLibrary(const char* name, std::string& error) {
    void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        error = why != nullptr ? why : std::string(name) + " could not be opened";
        return std::nullopt;
    }
    FitsLibrary library;
    if (FindEntry(handle, "ffdkopn", library.openDiskFile, error) &&
        FindEntry(handle, "ffclos", library.closeFile, error) &&
        FindEntry(handle, "ffthdu", library.countHdus, error) &&
        FindEntry(handle, "ffmahd", library.moveToHdu, error) &&
        FindEntry(handle, "ffgipr", library.imageParameters, error) &&
        FindEntry(handle, "ffgky", library.readKey, error) &&
        FindEntry(handle, "ffghsp", library.headerSpace, error) &&
        FindEntry(handle, "ffgrec", library.readRecord, error) &&
        FindEntry(handle, "ffgsv", library.readSubset, error)) {
        return library;
    }
    dlclose(handle);
    return std::nullopt;
}

const FitsLibrary* TheFitsLibrary() {
    static const std::optional<FitsLibrary> library = [] {
        std::string error;
        auto opened = OpenFitsLibrary(kFitsLibraryName, error);
        if (!opened) {
            std::fprintf(stderr, "talvor: FITS files of other programs cannot be read: %s\n",
                         error.c_str());
        }
        return opened;
    }();
    return library ? &*library : nullptr;
}

}  // namespace talvor
