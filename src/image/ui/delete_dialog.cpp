#include "image/ui/delete_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvor {
namespace {

constexpr int kNameWidth = 360;

}  // namespace

TDeleteDialog::TDeleteDialog(const QString& fileName, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("DELETE FILE DIALOG"));
    auto* name = new QLineEdit(fileName, this);
    // The name shown is the one deleted: it is not for editing.
    name->setReadOnly(true);
    name->setMinimumWidth(kNameWidth);
    name->setCursorPosition(0);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Delete this file?"), this));
    layout->addWidget(name);
    layout->addLayout(buttons);
}

}  // namespace talvor
