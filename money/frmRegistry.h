#pragma once
// The registry item editor: a gift the couple would like, with its model
// number, store, value and category. Adds a REGISTRY row or edits one.

#include "money/moneyedit.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;

class frmRegistry : public editing::RecordEditor<ui::Form<frmRegistry, QDialog>> {
public:
    frmRegistry() : RecordEditor("frmRegistry") { keepWhileOpen(registryMode, registryID); }

    // Written by the opener; kept between openings.
    Mode registryMode = Mode::Add;
    qint64 registryID = 0;  // the item to edit

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void cmdAddStore_Click();
    void cmdAddCategory_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    // The two lists, also called by the lookup editor when it closes.
    void GetStores();
    void GetCategory();

    QLabel* lblHeading = nullptr;
    std::array<QWidget*, 3> Text1{};     // description (several lines), model, value
    std::array<QComboBox*, 2> Combo1{};  // store, category
    QPushButton* cmdAddStore = nullptr;
    QPushButton* cmdAddCategory = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void ClearFields();
    bool LoadRegistry();
    bool save() override;
    money::BoxColumns boxes() const;
    Mode mode_ = Mode::Add;
    qint64 key_ = 0;
};
