#pragma once
// The lookup-list editor: one window for all eleven lists. Adds a typed text,
// deletes the selected entry, and on closing has its opener fill its
// drop-down lists again (or the main window show its view afresh).

#include "platform/ui/forms.h"
#include "records/lookuplists.h"

#include <QVector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmAddType : public ui::Form<frmAddType, QDialog> {
public:
    // Shown again while open, it goes on editing the list it shows.
    frmAddType() : Form("frmAddType") { keepWhileOpen(curMode, fromForm); }

    // Written by the opener; kept between openings.
    records::Lookup curMode = records::Lookup::Titles;  // which list
    const ui::FormBase* fromForm = nullptr;               // who is refreshed on closing, if any

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void cmdAdd_Click();
    void Command1_Click();
    void cmdClose_Click();

    QLineEdit* txtItem = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdClose = nullptr;
    QListWidget* lstItems = nullptr;
    QLabel* Label1 = nullptr;

    // The key of each list entry, in list order.
    const QVector<qint64>& entryKeys() const { return keys_; }
    // The list this opening edits and the caller it refreshes, taken when
    // the window loaded; another opener's writes while it is open change
    // neither.
    records::Lookup editedList() const { return mode_; }
    const ui::FormBase* caller() const { return from_; }

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void LoadList();
    QVector<qint64> keys_;
    records::Lookup mode_ = records::Lookup::Titles;
    const ui::FormBase* from_ = nullptr;
};
