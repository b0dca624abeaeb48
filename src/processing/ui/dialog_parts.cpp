#include "processing/ui/dialog_parts.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <initializer_list>
#include <utility>

namespace talvor {

QLineEdit* ValueBox(const char* name, QWidget* owner) {
    auto* box = new QLineEdit(owner);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setMaximumWidth(48);
    return box;
}

QScrollBar* ParameterBar(const char* name, int low, int high, int width, QWidget* owner) {
    auto* bar = new QScrollBar(Qt::Horizontal, owner);
    bar->setObjectName(name);
    bar->setRange(low, high);
    bar->setSingleStep(1);
    bar->setPageStep(10);
    bar->setMinimumWidth(width);
    return bar;
}

QHBoxLayout* DialogButtons(QDialog* dialog, std::function<void()> help) {
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    auto* helpButton = new QPushButton(QStringLiteral("Help"), dialog);
    ok->setObjectName("okButton");
    cancel->setObjectName("cancelButton");
    helpButton->setObjectName("helpButton");
    ok->setDefault(true);
    helpButton->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    QObject::connect(helpButton, &QPushButton::clicked, dialog, std::move(help));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    row->addWidget(helpButton);
    return row;
}

void ShowHelpBox(QWidget* owner, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

QGridLayout* LayOutTwoBars(QDialog* dialog, const BarRow& first, const BarRow& second,
                           std::function<void()> help) {
    auto* grid = new QGridLayout(dialog);
    int row = 0;
    for (const BarRow& bar : {first, second}) {
        grid->addWidget(new QLabel(QString::fromLatin1(bar.label), dialog), row, 0);
        grid->addWidget(bar.bar, row, 1);
        grid->addWidget(bar.value, row, 2);
        ++row;
    }
    grid->addLayout(DialogButtons(dialog, std::move(help)), row, 0, 1, 3);
    return grid;
}

}  // namespace talvor
