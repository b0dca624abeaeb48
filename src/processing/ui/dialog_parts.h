#pragma once

#include <QString>
#include <functional>

class QDialog;
class QGridLayout;
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
// One labelled row of a two-bar dialog: the label, the bar and the box that shows its value.
struct BarRow {
    const char* label;
    QScrollBar* bar;
    QLineEdit* value;
};
// Lays out the dialog as its two rows over its buttons; returns the grid for margins.
QGridLayout* LayOutTwoBars(QDialog* dialog, const BarRow& first, const BarRow& second,
                           std::function<void()> help);
// A modal box with the caption and text and an OK button.
void ShowHelpBox(QWidget* owner, const QString& caption, const QString& text);

}  // namespace talvor
