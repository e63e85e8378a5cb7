#pragma once
// Guest export: the parties or the people of every party, the chosen fields
// in the chosen order, written to a CSV file the guest import reads back.

#include "platform/ui/forms.h"

#include <QString>

#include <array>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class frmExportData : public ui::Form<frmExportData, QDialog> {
public:
    frmExportData() : Form("frmExportData") {}

    void Form_Load() override;
    void cmbWhichData_Click();
    void cmdAdd_Click();
    void cmdAddAll_Click();
    void cmdRemove_Click();
    void Command1_Click();
    void Command2_Click();

    std::array<QLabel*, 3> Label1{};
    QComboBox* cmbWhichData = nullptr;
    QListWidget* lstAvailable = nullptr;
    QListWidget* lstExport = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdAddAll = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    const QString& dataSet() const { return DataSet; }

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void FillDataSetCombo();
    void FillFieldLists();

    QString DataSet;
    bool ListsReady = false;
    // The save dialog starts with the name chosen last in this window.
    QString lastFile_;
};
