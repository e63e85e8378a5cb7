#pragma once
// The quote editor: a vendor's offer for an event, with the product, the
// amounts as typed and four dates. Adds a QUOTE row or edits one.

#include "money/moneyedit.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QComboBox;
class QPushButton;
namespace ui {
class DateBox;
}

class frmQuote : public editing::RecordEditor<ui::Form<frmQuote, QDialog>> {
public:
    frmQuote() : RecordEditor("frmQuote") { keepWhileOpen(curMode, curQuote); }

    // Written by the opener; kept between openings.
    Mode curMode = Mode::Add;
    qint64 curQuote = 0;  // the quote to edit

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void cmdSave_Click();
    void cmdCancel_Click();
    void GetEvents();
    void GetVendors();

    QComboBox* cmbEvent = nullptr;
    QComboBox* cmbVendor = nullptr;
    std::array<QWidget*, 6> Text1{};  // product, details, not provided, three amounts
    // Each may hold no date.
    ui::DateBox* dtTotal = nullptr;
    ui::DateBox* dtDeposit = nullptr;
    ui::DateBox* dtBalance = nullptr;
    ui::DateBox* dtCancel = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void ClearFields();
    bool LoadQuote();
    bool save() override;
    money::BoxColumns boxes() const;
    std::array<std::pair<const char*, ui::DateBox*>, 4> pickers() const;
    Mode mode_ = Mode::Add;
    qint64 key_ = 0;
};
