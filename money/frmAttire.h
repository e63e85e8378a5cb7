#pragma once
// The attire item editor: a garment or accessory, who wears it, its kind,
// its vendor and its cost. Adds an ATTIRE row or edits one.

#include "money/moneyedit.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmAttire : public editing::RecordEditor<ui::Form<frmAttire, QDialog>> {
public:
    frmAttire() : RecordEditor("frmAttire") { keepWhileOpen(curMode, curAttireID); }

    // Written by the opener; kept between openings.
    Mode curMode = Mode::Add;
    qint64 curAttireID = 0;   // the row to edit

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdEditAssignees_Click();
    void cmdEditAttireType_Click();
    // The type and wearer lists, also called by the lookup editor.
    void GetAttireTypes();
    void GetAssignees();

    std::array<QLabel*, 6> Label2{};     // 0 vendor, 1 for whom, 4 item, 5 type
    QLabel* Label3 = nullptr;            // cost
    std::array<QWidget*, 2> Text1{};     // item (several lines), cost
    std::array<QComboBox*, 3> Combo1{};  // vendor, for whom, type
    QPushButton* cmdEditAssignees = nullptr;
    QPushButton* cmdEditAttireType = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void GetVendors();
    void ClearFields();
    bool LoadAttire();
    bool save() override;
    money::BoxColumns boxes() const;
    Mode mode_ = Mode::Add;
    qint64 key_ = 0;
};
