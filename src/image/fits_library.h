#pragma once

// CFITSIO, opened when the first FITS file of another program is read rather than when the
// program starts. The library brings a long chain of network and encryption libraries with it,
// and loading them at every start took most of the start-up time of the batch tool, which starts
// once for every frame of a night; most runs never read a FITS file of another program.

#include <fitsio.h>

#include <optional>
#include <string>

namespace talvor {

// The entry points the FITS reader uses, under CFITSIO's own names.
struct FitsLibrary {
    decltype(&ffdkopn) openDiskFile = nullptr;
    decltype(&ffclos) closeFile = nullptr;
    decltype(&ffthdu) countHdus = nullptr;
    decltype(&ffmahd) moveToHdu = nullptr;
    decltype(&ffgipr) imageParameters = nullptr;
    decltype(&ffgky) readKey = nullptr;
    decltype(&ffghsp) headerSpace = nullptr;
    decltype(&ffgrec) readRecord = nullptr;
    decltype(&ffgsv) readSubset = nullptr;
};

// The library's file name as the build found it (its soname, for example "libcfitsio.so.10").
extern const char* const kFitsLibraryName;

// Opens the library of that name and finds every entry point. Nothing when it cannot be opened
// or lacks one, with why in `error`. The library stays loaded.
std::optional<FitsLibrary> OpenFitsLibrary(const char* name, std::string& error);

// The build's library, opened on the first call. Nothing when it cannot be, in which case the
// reason is written to the standard error once.
const FitsLibrary* TheFitsLibrary();

}  // namespace talvor
