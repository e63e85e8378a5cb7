#pragma once
// The vendor editor: a vendor's name, type, address and phones, three
// references, and the bride's and the groom's notes and ratings, on four
// pages. Adds a VENDOR row or edits one.

#include "money/moneyedit.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTabBar;

class frmVendor : public editing::RecordEditor<ui::Form<frmVendor, QDialog>> {
public:
    frmVendor() : RecordEditor("frmVendor") { keepWhileOpen(vendorID, curMode); }

    // Written by the opener; kept between openings.
    qint64 vendorID = 0;  // the vendor to edit, read in "Edit" only
    Mode curMode = Mode::Add;

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void TabStrip1_Click();
    void cmdAddCategory_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    // Fills the vendor type list again (the lookup editor calls it too).
    void GetVendorTypes();

    // The columns of the boxes Text1(0) to Text1(25), by index.
    static const std::array<const char*, 26> kTextColumns;

    QTabBar* TabStrip1 = nullptr;
    QGroupBox* frameGeneral = nullptr;
    QGroupBox* frameReferences = nullptr;
    QGroupBox* frameBridesComments = nullptr;
    QGroupBox* frameGroomsComments = nullptr;
    std::array<QWidget*, 26> Text1{};  // one-line or multi-line boxes
    QComboBox* cmbVendorTypes = nullptr;
    QPushButton* cmdAddCategory = nullptr;
    std::array<QRadioButton*, 4> optBR{};
    std::array<QRadioButton*, 4> optGR{};
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void ClearFields();
    bool LoadVendor();
    bool save() override;
    void showPage(QGroupBox* frame);
    money::BoxColumns textBoxes() const;
    // What this opening edits, taken at load.
    Mode mode_ = Mode::Add;
    qint64 key_ = 0;
};
