#include "app/ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace talvor {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Help About Talvor"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Talvor Image processing software for use with Veltrane Zenka cameras"),
        this));
    layout->addWidget(
        new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(TALVOR_VERSION)), this));
    layout->addWidget(new QLabel(QStringLiteral("Released December 2026"), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

}  // namespace talvor
