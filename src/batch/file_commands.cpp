#include "batch/file_commands.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>

#include "batch/batch_context.h"
#include "batch/exit_status.h"
#include "batch/output_file.h"
#include "batch/terminal_text.h"
#include "core/messages.h"
#include "image/file_bytes.h"
#include "image/fits_file.h"
#include "image/foreign_fits.h"
#include "image/image_file_kind.h"

namespace talvor {

const char* const kInfoHelp =
    "Usage: talvor-batch info FILE\n"
    "\n"
    "Tells what FILE is, as Open does: native 290 rows, native 256 rows, FITS layout\n"
    "1, 2 or 3 (told by size), or 'FITS image W x H' for a FITS file of another\n"
    "program. For FITS files it then lists the header fields, one 'NAME: value' line\n"
    "each, and one 'HISTORY: text' line per processing step.\n";

const char* const kConvertHelp =
    "Usage: talvor-batch convert IN OUT [--8bit] [--unsigned]\n"
    "\n"
    "Loads IN as Open does and writes OUT in the format its extension names:\n"
    ".fit/.fits FITS, .tif/.tiff the TIFF export, .bmp the display bitmap,\n"
    "anything else the native raw format. A FITS output keeps the header texts of a\n"
    "FITS input and the processing history; its DATE-OBS and TIME-OBS are those of\n"
    "the input, or, when the input has none (a native file), the time IN was last\n"
    "written, in universal time.\n"
    "  --8bit      write 8-bit FITS data\n"
    "  --unsigned  write unsigned 16-bit FITS data\n";

namespace {

const char* KindName(ImageFileKind kind) {
    switch (kind) {
        case ImageFileKind::Native290:
            return "native 290 rows";
        case ImageFileKind::Native256:
            return "native 256 rows";
        case ImageFileKind::FitsLayout1:
            return "FITS layout 1";
        case ImageFileKind::FitsLayout2:
            return "FITS layout 2";
        case ImageFileKind::FitsLayout3:
            return "FITS layout 3";
        case ImageFileKind::Unknown:
            break;
    }
    return "";
}

// "FITS image W x H" for a file that Open reads through the standard FITS reader; empty for
// the program's own layouts.
std::string ForeignKind(const std::filesystem::path& file, ImageFileKind kind) {
    const auto bytes = ReadFileBytes(file, kFitsLayout3Size);
    if (!bytes || !LooksLikeFits(*bytes)) {
        return {};
    }
    if (IsFits(kind)) {
        WorkingState scratch;
        auto frame = std::make_unique<ImageBuffer>();
        if (DecodeFitsFile(*bytes,
                           kind == ImageFileKind::FitsLayout1   ? 1
                           : kind == ImageFileKind::FitsLayout2 ? 2
                                                                : 3,
                           *frame, scratch) != FitsReadResult::NotOurs) {
            return {};
        }
    }
    const auto image = ReadForeignFits(file);
    if (!image) {
        return {};
    }
    return "FITS image " + std::to_string(image->width) + " x " + std::to_string(image->height);
}

void PrintFitsFields(const WorkingState& state) {
    const FitsDetails& fits = state.Fits;
    // The texts come from the file: whatever bytes it holds must not drive the terminal.
    const auto text = [](const char* name, const std::string& value) {
        std::printf("%s: %s\n", name, PrintableText(value).c_str());
    };
    const auto number = [](const char* name, double value) {
        std::printf("%s: %.10g\n", name, value);
    };
    text("OBJECT", fits.object);
    text("TELESCOP", fits.telescope);
    text("INSTRUME", fits.instrument);
    text("OBSERVER", fits.observer);
    text("ORIGIN", fits.origin);
    text("DATE-OBS", fits.date);
    text("TIME-OBS", fits.time);
    number("EXPTIME", fits.exposureSeconds);
    number("PIXWIDTH", fits.pixelWidth);
    number("PIXHEIGH", fits.pixelHeight);
    number("FOCALLEN", fits.focalLengthInches);
    number("APERTURE", fits.apertureSquareInches);
    text("FILTER", fits.filter);
    text("unsigned", state.UnsignedFits ? "yes" : "no");
    for (const std::string& line : state.HistoryLines) {
        if (!line.empty()) {
            text("HISTORY", line);
        }
    }
}

// A frame without a date is dated by the time its file was last written.
void DateFromFileTime(FitsDetails& details, const std::filesystem::path& file) {
    struct stat status {};
    if (!details.date.empty() || stat(file.c_str(), &status) != 0) {
        return;
    }
    std::tm utc{};
    gmtime_r(&status.st_mtime, &utc);
    char date[16];
    char time[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &utc);
    std::strftime(time, sizeof time, "%H:%M:%S", &utc);
    details.date = date;
    details.time = time;
}

}  // namespace

int RunInfo(BatchContext& context, const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        std::fputs(kInfoHelp, stderr);
        return kExitUsage;
    }
    const std::filesystem::path file(arguments[0]);
    const auto size = RegularFileSize(file);
    const ImageFileKind kind = size ? KindBySize(*size) : ImageFileKind::Unknown;
    if (!context.LoadCurrentImage(file)) {
        return kExitFailed;
    }
    const std::string what = ForeignKind(file, kind);
    std::printf("%s\n", what.empty() ? KindName(kind) : what.c_str());
    if (IsFits(kind) || !what.empty()) {
        PrintFitsFields(context.State().state);
    }
    return kExitSuccess;
}

int RunConvert(BatchContext& context, const std::vector<std::string>& arguments) {
    std::vector<std::string> files;
    bool eightBit = false;
    bool unsignedData = false;
    for (const std::string& argument : arguments) {
        if (argument == "--8bit") {
            eightBit = true;
        } else if (argument == "--unsigned") {
            unsignedData = true;
        } else if (argument.rfind("--", 0) == 0) {
            std::fprintf(stderr, "talvor-batch convert: unknown option '%s'\n\n", argument.c_str());
            std::fputs(kConvertHelp, stderr);
            return kExitUsage;
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() != 2) {
        std::fputs(kConvertHelp, stderr);
        return kExitUsage;
    }
    context.ReadExistingSettings();
    if (!context.LoadCurrentImage(files[0])) {
        return kExitFailed;
    }
    DateFromFileTime(context.State().state.Fits, files[0]);
    if (unsignedData) {
        context.State().state.UnsignedFits = true;
    }
    return WriteCurrentImage(context.State(), files[1], eightBit) == OutputResult::Written
               ? kExitSuccess
               : kExitFailed;
}

}  // namespace talvor
