#pragma once
// Confirm-and-delete: names the record and what goes with it, and on
// "Delete" removes it by its kind's cascade and shows the view it came from
// afresh.

#include "platform/ui/forms.h"
#include "records/cascade.h"

#include <QString>

class QLabel;
class QPushButton;

class frmDeleteSingle : public ui::Form<frmDeleteSingle, QDialog> {
public:
    // Another delete request while this confirmation is open: it still
    // deletes what it names.
    frmDeleteSingle() : Form("frmDeleteSingle") { keepWhileOpen(delMode, delID, delString); }

    // Written by the opener before it shows the window; kept between openings.
    records::DeleteKind delMode = records::DeleteKind::None;
    qint64 delID = 0;
    QString delString;

    void Form_Load() override;
    void cmdDelete_Click();
    void cmdCancel_Click();

    QLabel* lblDelete = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdCancel = nullptr;

    // What this opening deletes, taken when the window loaded.
    qint64 confirmedID() const { return id_; }

protected:
    void createControls() override;
    void releaseControls() override;

private:
    records::DeleteKind mode_ = records::DeleteKind::None;
    qint64 id_ = 0;
};
