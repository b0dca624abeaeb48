#pragma once

#include <QString>
#include <functional>

class QDialog;
class QHBoxLayout;
class QLineEdit;
class QScrollBar;
class QWidget;

namespace talvor {

// Controls shared by the parameter dialogs of the Contrast and Filters menus.

// A box that shows a value; the scroll bar beside it is what changes the value.
QLineEdit* ValueBox(const char* name, QWidget* owner);
// A horizontal bar over low..high that steps by one.
QScrollBar* ParameterBar(const char* name, int low, int high, int width, QWidget* owner);
// "OK" (accepts), "Cancel" (rejects) and "Help" (runs help), right-aligned.
QHBoxLayout* DialogButtons(QDialog* dialog, std::function<void()> help);
// Lays out the "Radius" and "Power" rows (label, bar, value box) over the dialog's buttons, as
// the Unsharp and Median dialogs show them.
void LayOutRadiusAndPower(QDialog* dialog, QScrollBar* radiusBar, QLineEdit* radiusValue,
                          QScrollBar* powerBar, QLineEdit* powerValue, std::function<void()> help);
// A modal box with the caption and text and an OK button.
void ShowHelpBox(QWidget* owner, const QString& caption, const QString& text);

}  // namespace talvor
