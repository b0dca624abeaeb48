#include "batch/file_commands.h"

#include <cstdio>
#include <filesystem>

#include "batch/batch_context.h"
#include "batch/exit_status.h"
#include "batch/output_file.h"
#include "batch/terminal_text.h"
#include "core/messages.h"
#include "image/file_bytes.h"
#include "image/image_file_kind.h"
#include "image/image_loading.h"

namespace talvor {

const char* const kInfoHelp =
    "Usage: talvor-batch info FILE\n"
    "\n"
    "Tells what FILE is, by its size as Open does: native 290 rows, native 256 rows,\n"
    "FITS layout 1, 2 or 3. For FITS files it then lists the header fields, one\n"
    "'NAME: value' line each, and one 'HISTORY: text' line per processing step.\n";

const char* const kConvertHelp =
    "Usage: talvor-batch convert IN OUT [--8bit] [--unsigned]\n"
    "\n"
    "Loads IN as Open does and writes OUT in the format its extension names:\n"
    ".fit/.fits FITS, .tif/.tiff the TIFF export, .bmp the display bitmap,\n"
    "anything else the native raw format. A FITS output keeps the header texts of a\n"
    "FITS input and the processing history.\n"
    "  --8bit      write 8-bit FITS data\n"
    "  --unsigned  write unsigned 16-bit FITS data\n";

namespace {

constexpr int kNotSuitableFile = 41;

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

bool Load(BatchContext& context, const std::filesystem::path& file) {
    LoadIntoCurrentImage(context.State(), file, file.filename().string());
    return !context.Ui().MessageShown();
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
    if (kind == ImageFileKind::Unknown) {
        ReportMessage(context.Ui(), kNotSuitableFile);
        return kExitFailed;
    }
    if (!Load(context, file)) {
        return kExitFailed;
    }
    std::printf("%s\n", KindName(kind));
    if (IsFits(kind)) {
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
    if (!Load(context, files[0])) {
        return kExitFailed;
    }
    if (unsignedData) {
        context.State().state.UnsignedFits = true;
    }
    return WriteCurrentImage(context.State(), files[1], eightBit) == OutputResult::Written
               ? kExitSuccess
               : kExitFailed;
}

}  // namespace talvor
