#include "app/ui/progress_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>

#include "core/progress.h"

namespace talvor {

TProgressDialog::TProgressDialog(const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog), gauge_(new QScrollBar(Qt::Horizontal, this)) {
    setWindowTitle(caption);
    setModal(false);
    gauge_->setRange(0, kProgressFull);
    gauge_->setPageStep(0);
    gauge_->setMinimumWidth(220);
    // A gauge only: the user cannot move it.
    gauge_->setAttribute(Qt::WA_TransparentForMouseEvents);
    gauge_->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("0%"), this));
    layout->addWidget(gauge_, 1);
    layout->addWidget(new QLabel(QStringLiteral("100%"), this));
}

void TProgressDialog::SetPosition(int position) {
    gauge_->setValue(position);
}

int TProgressDialog::Position() const {
    return gauge_->value();
}

}  // namespace talvor
