#include "telescope/ui/control_box_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "core/session.h"
#include "telescope/telescope_control.h"
#include "ui/arrow_scroll_bar.h"

namespace talvor {
namespace {

ArrowScrollBar* LinkedBar(Session& session, Qt::Orientation orientation, ArrowBar kind,
                          const char* name, QWidget* owner) {
    auto* bar = new ArrowScrollBar(orientation, owner);
    bar->setObjectName(name);
    QObject::connect(bar, &ArrowScrollBar::lineUp, owner, [&session, kind] {
        ControlBoxArrowNotice(session, kind, ArrowNotice::LineUpOrLeft);
    });
    QObject::connect(bar, &ArrowScrollBar::lineDown, owner, [&session, kind] {
        ControlBoxArrowNotice(session, kind, ArrowNotice::LineDownOrRight);
    });
    QObject::connect(bar, &ArrowScrollBar::endOfScroll, owner, [&session, kind] {
        ControlBoxArrowNotice(session, kind, ArrowNotice::EndOfScroll);
    });
    return bar;
}

}  // namespace

TCBDialog::TCBDialog(Session& session, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Move Telescope"));
    setModal(false);

    auto* horizontal =
        LinkedBar(session, Qt::Horizontal, ArrowBar::Horizontal, "horizontalBar", this);
    auto* vertical = LinkedBar(session, Qt::Vertical, ArrowBar::Vertical, "verticalBar", this);
    horizontal->setMinimumWidth(120);
    vertical->setMinimumHeight(100);

    auto* finished = new QPushButton(QStringLiteral("Finished"));
    finished->setObjectName("finishedButton");
    finished->setAutoDefault(false);
    connect(finished, &QPushButton::clicked, this, &QDialog::close);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Up")), 0, 3, Qt::AlignHCenter);
    grid->addWidget(vertical, 1, 3, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Down")), 2, 3, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Left")), 1, 0);
    grid->addWidget(horizontal, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Right")), 1, 2);
    grid->addWidget(finished, 3, 0, 1, 4, Qt::AlignRight);
}

}  // namespace talvor
