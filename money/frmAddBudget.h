#pragma once
// The budget item editor: an item's text, category, event, who pays and
// cost. Adds a BUDGET row or edits one; the link of a wizard-made row to its
// standard item is left as it is.

#include "money/moneyedit.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmAddBudget : public editing::RecordEditor<ui::Form<frmAddBudget, QDialog>> {
public:
    frmAddBudget() : RecordEditor("frmAddBudget") { keepWhileOpen(curMode, curBudgetID); }

    // Written by the opener; kept between openings.
    Mode curMode = Mode::Add;
    qint64 curBudgetID = 0;  // the row to edit

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdEditCategory_Click();
    void cmdEditEvent_Click();
    void cmdEditAssignees_Click();
    // The three lists, also called by the lookup editor when it closes.
    void GetCategories();
    void GetEvents();
    void GetAssignees();

    std::array<QLabel*, 5> Label2{};
    std::array<QLineEdit*, 2> Text1{};   // item, cost
    std::array<QComboBox*, 3> Combo1{};  // category, event, who pays
    QPushButton* cmdEditCategory = nullptr;
    QPushButton* cmdEditEvent = nullptr;
    QPushButton* cmdEditAssignees = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void ClearFields();
    bool LoadBudget();
    bool save() override;
    money::BoxColumns boxes() const;
    Mode mode_ = Mode::Add;
    qint64 key_ = 0;
};
