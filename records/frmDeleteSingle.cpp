#include "records/frmDeleteSingle.h"

#include "platform/ui/messages.h"
#include "records/notices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

void frmDeleteSingle::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("Delete");
    w->resize(420, 170);
    lblDelete = new QLabel(records::kNothingToDelete, w);
    lblDelete->setObjectName("lblDelete");
    lblDelete->setWordWrap(true);
    Label2 = new QLabel("Press Delete to delete the data.  Cancel to keep the data.", w);
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    cmdDelete = new QPushButton("Delete", w);
    cmdDelete->setObjectName("cmdDelete");
    cmdCancel = new QPushButton("Cancel", w);
    cmdCancel->setObjectName("cmdCancel");
    // Enter must not delete by accident.
    cmdDelete->setAutoDefault(false);
    cmdCancel->setDefault(true);

    auto* box = new QVBoxLayout(w);
    box->addWidget(lblDelete);
    box->addWidget(Label2);
    box->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdDelete);
    row->addWidget(cmdCancel);
    box->addLayout(row);
    QObject::connect(cmdDelete, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdDelete_Click(); }); });
    QObject::connect(cmdCancel, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdCancel_Click(); }); });
}

void frmDeleteSingle::releaseControls()
{
    lblDelete = nullptr;
    Label2 = nullptr;
    cmdDelete = nullptr;
    cmdCancel = nullptr;
}

void frmDeleteSingle::Form_Load()
{
    mode_ = delMode;
    id_ = delID;
    lblDelete->setText(records::deleteConfirmation(delMode, delString, delID));
    window()->raise();
}

void frmDeleteSingle::cmdDelete_Click()
{
    const records::DeleteKind kind = mode_;
    const records::DeleteOutcome outcome = records::deleteRecord(kind, id_);
    if (!outcome.ok) {
        ui::MsgBox(outcome.error, ui::vbExclamation | ui::vbOKOnly, "Delete");
    } else if (kind != records::DeleteKind::None) {
        emit records::notices().recordDeleted(kind, id_);
        if (const auto list = records::mainListOf(kind))
            emit records::notices().rowsChanged(*list);
    }
    Unload();
}

void frmDeleteSingle::cmdCancel_Click()
{
    Unload();
}
