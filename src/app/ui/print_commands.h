#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace talvor {

// Prints the bitmap file the display keeps up to date, scaled to the page, after the print
// dialog; nothing happens when the dialog is cancelled or the file cannot be read.
void PrintDisplayBitmap(QPrinter& printer, const QString& bitmapFile, QWidget* parent);

// The page set-up dialog for the printer used by Print.
void SetUpPrinter(QPrinter& printer, QWidget* parent);

}  // namespace talvor
