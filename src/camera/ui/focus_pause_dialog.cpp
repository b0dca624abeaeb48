#include "camera/ui/focus_pause_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvor {

TMESSDialog::TMESSDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Talvor Focus Pause"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* stop = new QPushButton(QStringLiteral("Stop"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(stop, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(stop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Press OK to take next frame or Stop to end focus mode"), this));
    layout->addLayout(buttons);
}

}  // namespace talvor
