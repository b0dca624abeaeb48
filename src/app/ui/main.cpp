// talvor: the desktop program.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/ui/talvor_app.h"
#include "camera/camera_recognition.h"
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

    if (line.cameraUsbId && !talvor::ParseCameraUsbId(*line.cameraUsbId)) {
        std::fprintf(stderr, "talvor: '%s' is not a USB id of the form VVVV:PPPP\n",
                     line.cameraUsbId->c_str());
        return 2;
    }
    talvor::TTalvorApp app(line);
    app.Show();
    return QApplication::exec();
}
