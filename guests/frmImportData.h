#pragma once
// Guest import: the user picks a CSV file, browses its records, says whether
// its first line is a header, links source columns to the guest fields and
// imports every record as a party with one person; parties of equal name are
// then merged. The main grid's guests are shown afresh when it closes.

#include "guests/guestcsv.h"
#include "platform/ui/forms.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QTableWidget;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

class frmImportData : public ui::Form<frmImportData, QDialog> {
public:
    frmImportData() : Form("frmImportData") {}

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void Command1_Click();
    void Option1_Click(int index);
    void Command2_Click();
    void Command3_Click();
    void cmdLink_Click();
    void cmdBreak_Click();
    void cmdImport_Click();
    void cmdCancel_Click();
    void cmbCharset_Click();

    std::array<QLabel*, 3> Label1{};
    std::array<QLabel*, 4> Label2{};
    QPushButton* Command1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QWidget* Picture1 = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    QPushButton* Command3 = nullptr;
    QPushButton* Command2 = nullptr;
    QListWidget* lstSource = nullptr;
    QListWidget* lstTarget = nullptr;
    QListWidget* lstLink = nullptr;
    QPushButton* cmdLink = nullptr;
    QPushButton* cmdBreak = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdCancel = nullptr;
    // The character set the file is read in, and its first records as they
    // will be stored.
    QLabel* lblCharset = nullptr;
    QComboBox* cmbCharset = nullptr;
    QLabel* lblCharsetNote = nullptr;   // what of the file the set has no letter for
    QLabel* lblPreview = nullptr;
    QTableWidget* grdPreview = nullptr;

    // For tests and the window's own checks.
    bool hasHeader() const { return HasHeader; }
    int currentRecord() const { return CurRecord; }
    const guestimport::LinkMap& links() const { return LinkMap; }

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void OpenSourceFile();
    void ShowSourceRecord(int& r);
    // Asks whether the first line is a header when it does not look like
    // what the option says.
    void askAboutHeader();
    void FillTargetList();
    void ClearLinks();
    // Drops the file read and everything shown of it.
    void clearSource();
    void browse(int step);
    int sourceRecords() const;
    // The character set read, and the first records, shown; what of the
    // file that set has no letter for, told.
    void showCharset();
    void fillPreview();
    void tellUnreadable(const QString& fileName, bool withMessage);

    std::optional<csv::Table> source_;
    QString lastFile_;
    QString SourceFolder;
    bool HasHeader = true;
    bool FileChosen = false;
    // The header question was asked since the file was chosen or the user
    // last changed the option; and the option is being changed by its answer.
    bool headerAsked_ = false;
    bool answeringHeader_ = false;
    int CurRecord = 0;
    // The character set the user chose for this file; -1 while the one
    // proposed stands.
    int chosenCharset_ = -1;
    QStringList TargetNames;
    QStringList SourceValues;
    guestimport::LinkMap LinkMap{};
};
