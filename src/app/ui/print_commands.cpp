#include "app/ui/print_commands.h"

#include <QImage>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace talvor {

void PrintDisplayBitmap(QPrinter& printer, const QString& bitmapFile, QWidget* parent) {
    const QImage picture(bitmapFile, "BMP");
    if (picture.isNull()) {
        return;
    }
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    QPainter painter(&printer);
    if (!painter.isActive()) {
        return;
    }
    const QRect page = painter.viewport();
    const QSize size = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), picture);
}

void SetUpPrinter(QPrinter& printer, QWidget* parent) {
    QPageSetupDialog dialog(&printer, parent);
    dialog.exec();
}

}  // namespace talvor
