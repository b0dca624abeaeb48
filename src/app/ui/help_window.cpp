#include "app/ui/help_window.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace talvor {
namespace {

// One help window for the whole run, raised again when asked for a second time.
QPointer<QDialog> helpWindow;

}  // namespace

QString HelpDirectory() {
    const QString overridden = qEnvironmentVariable("TALVOR_HELP_DIR");
    if (!overridden.isEmpty()) {
        return overridden;
    }
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../share/talvor/help"));
}

bool ShowHelpContents(QWidget* parent) {
    const QString contents = QDir(HelpDirectory()).absoluteFilePath(QStringLiteral("index.html"));
    if (!QFileInfo(contents).isReadable()) {
        return false;
    }
    if (helpWindow.isNull()) {
        helpWindow = new QDialog(parent, Qt::Window);
        helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        helpWindow->setWindowTitle(QStringLiteral("Talvor Help"));
        helpWindow->resize(640, 520);
        auto* browser = new QTextBrowser(helpWindow);
        browser->setObjectName(QStringLiteral("helpBrowser"));
        browser->setOpenExternalLinks(false);
        browser->setSource(QUrl::fromLocalFile(contents));
        auto* layout = new QVBoxLayout(helpWindow);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
    }
    helpWindow->show();
    helpWindow->raise();
    return true;
}

}  // namespace talvor
