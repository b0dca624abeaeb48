// talvor: the desktop program.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/ui/talvor_app.h"
#include "camera/camera_recognition.h"
#include "camera/camera_usb_ids_file.h"
#include "camera/linux_usb_platform.h"
#include "camera/usb_survey.h"
#include "core/data_directory.h"

namespace {

// Qt stops with a terse platform-plugin message when there is no screen; say what to do.
bool HasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0') {
        return true;
    }
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

talvor::DataDirectory DataDirectoryOf(const talvor::CommandLine& line) {
    return talvor::DataDirectory(line.dataDirectory.value_or(talvor::DataDirectory::DefaultRoot()));
}

// --list-usb: the devices that could be the camera, and what the ids in use find. Ids given
// with it are only looked for, not remembered.
int ListUsb(const talvor::CommandLine& line) {
    std::optional<talvor::CameraUsbIds> ids;
    if (line.cameraUsbId) {
        ids = talvor::ParseCameraUsbIds(*line.cameraUsbId);
        if (!ids) {
            std::fprintf(stderr, "talvor: '%s' is not of the form VVVV:PPPP[,VVVV:PPPP]\n",
                         line.cameraUsbId->c_str());
            return 2;
        }
    } else {
        ids = talvor::ChooseCameraUsbIds(std::nullopt, DataDirectoryOf(line)).ids;
    }
    std::fputs(talvor::DescribeCameraCandidates(talvor::SurveyUsb(), *ids).c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> early(argv + 1, argv + argc);
    const talvor::CommandLine preview = talvor::ParseCommandLine(early);
    if (preview.showHelp || preview.showVersion) {
        std::fputs(preview.showHelp ? talvor::CommandLineUsage().c_str() : "", stdout);
        if (preview.showVersion) {
            std::printf("talvor %s\n", TALVOR_VERSION);
        }
        return 0;
    }
    if (preview.error.empty() && preview.listUsb) {
        return ListUsb(preview);
    }
    if (!HasDisplay()) {
        std::fputs(
            "talvor: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Talvor is a desktop program and needs a screen. On a machine without one, run it\n"
            "on a virtual screen:\n"
            "    xvfb-run -a -s '-screen 0 1024x768x24' talvor --simulate\n",
            stderr);
        return 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Talvor"));
    QApplication::setApplicationVersion(QStringLiteral(TALVOR_VERSION));

    // Qt has taken the arguments it understands; the rest are the program's own.
    std::vector<std::string> arguments;
    const QStringList all = QApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) {
        arguments.push_back(all[i].toStdString());
    }
    const talvor::CommandLine line = talvor::ParseCommandLine(arguments);
    if (!line.error.empty()) {
        std::fprintf(stderr, "talvor: %s\n\n%s", line.error.c_str(),
                     talvor::CommandLineUsage().c_str());
        return 2;
    }

    std::optional<talvor::CameraUsbIds> given;
    if (line.cameraUsbId) {
        given = talvor::ParseCameraUsbIds(*line.cameraUsbId);
        if (!given) {
            std::fprintf(stderr, "talvor: '%s' is not of the form VVVV:PPPP[,VVVV:PPPP]\n",
                         line.cameraUsbId->c_str());
            return 2;
        }
    }
    // Ids given are remembered for the next start; without them the remembered ones are used.
    const talvor::CameraUsbIdsChoice ids = talvor::ChooseCameraUsbIds(given, DataDirectoryOf(line));
    if (!ids.problem.empty()) {
        std::fprintf(stderr, "talvor: %s\n", ids.problem.c_str());
    }
    talvor::CommandLine start = line;
    start.cameraUsbId = talvor::FormatCameraUsbIds(ids.ids);
    talvor::TTalvorApp app(start);
    app.Show();
    return QApplication::exec();
}
