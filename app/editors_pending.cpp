#include "app/editors_pending.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pending {

QWidget* PendingForm::makeWidget(QWidget* parent) { return new ui::FormWidget<QDialog>(this, parent); }

void PendingForm::createControls()
{
    QWidget* w = widget();
    w->setObjectName(name());
    w->setWindowTitle(caption());
    w->resize(380, 120);
    lblInfo = new QLabel(QString("The %1 window is not built yet.").arg(title_), w);
    lblInfo->setObjectName("lblInfo");
    lblInfo->setWordWrap(true);
    cmdClose = new QPushButton("Close", w);
    cmdClose->setObjectName("cmdClose");
    auto* box = new QVBoxLayout(w);
    box->addWidget(lblInfo);
    box->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdClose);
    box->addLayout(row);
    QObject::connect(cmdClose, &QPushButton::clicked, w, [this] { Unload(); });
}

void PendingForm::releaseControls()
{
    lblInfo = nullptr;
    cmdClose = nullptr;
}

}  // namespace pending
