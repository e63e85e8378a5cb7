#include "guests/frmExportData.h"

#include "guests/guestcsv.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

struct ExportField {
    const char* title;
    const char* guests;     // select-list piece for the parties
    const char* subguests;  // and for the people
};

constexpr ExportField kFields[] = {
    {"Party Name", "GUEST_PARTYNAME AS [Party Name], ", "GUEST.GUEST_PARTYNAME AS [Party Name], "},
    {"First Name", "GUEST_FNAME As [First Name], ", "SUBGUEST.SUBGUEST_FNAME AS [First Name], "},
    {"Last Name", "GUEST_LNAME As [Last Name], ", "SUBGUEST.SUBGUEST_LNAME AS [Last Name], "},
    {"Title", "GUEST_TITLE AS [Title], ", "SUBGUEST.SUBGUEST_TITLE AS [Title], "},
    {"Address 1", "GUEST_ADDRESS1 As [Address 1], ", "GUEST.GUEST_ADDRESS1 AS [Address 1], "},
    {"Address 2", "GUEST_ADDRESS2 As [Address 2], ", "GUEST.GUEST_ADDRESS2 AS [Address 2], "},
    {"City", "GUEST_CITY As [City], ", "GUEST.GUEST_CITY AS [City], "},
    {"State", "GUEST_STATE As [State], ", "GUEST.GUEST_STATE AS [State], "},
    {"Zip/Postal", "GUEST_ZIP As [Zip/Postal], ", "GUEST.GUEST_ZIP AS [Zip/Postal], "},
    {"Phone 1", "GUEST_PHONE1 As [Phone 1], ", "SUBGUEST.SUBGUEST_PHONE AS [Phone 1], "},
    {"Phone 2", "GUEST_PHONE2 As [Phone 2], ", "GUEST.GUEST_PHONE1 As [Phone 2], "},
    {"E-Mail", "GUEST_EMAIL As [E-Mail], ", "SUBGUEST.SUBGUEST_EMAIL AS [E-Mail], "},
};

const char* const kGuestsSource = " FROM GUEST";
const char* const kSubguestsSource = " FROM SUBGUEST INNER JOIN GUEST ON (SUBGUEST.GUEST_ID = GUEST.GUEST_ID)";

const char* const kGuestsQuery =
    "SELECT GUEST_PARTYNAME AS [Party Name], GUEST_FNAME AS [First Name], GUEST_LNAME AS [Last Name], GUEST_TITLE AS "
    "[Title], GUEST_ADDRESS1 AS [Address 1], GUEST_ADDRESS2 AS [Address 2], GUEST_CITY AS [City], GUEST_STATE AS "
    "[State], GUEST_ZIP AS [Zip/Postal], GUEST_PHONE1 AS [Phone 1], GUEST_PHONE2 AS [Phone 2], GUEST_EMAIL AS "
    "[E-Mail] FROM GUEST";
const char* const kSubguestsQuery =
    "SELECT GUEST.GUEST_PARTYNAME AS [Party Name], SUBGUEST.SUBGUEST_FNAME AS [First Name], SUBGUEST.SUBGUEST_LNAME "
    "AS [Last Name], SUBGUEST.SUBGUEST_TITLE AS [Title], GUEST.GUEST_ADDRESS1 AS [Address 1], GUEST.GUEST_ADDRESS2 AS "
    "[Address 2], GUEST.GUEST_CITY AS [City], GUEST.GUEST_STATE AS [State], GUEST.GUEST_ZIP AS [Zip/Postal], "
    "SUBGUEST.SUBGUEST_PHONE AS [Phone 1], GUEST.GUEST_PHONE1 As [Phone 2], SUBGUEST.SUBGUEST_EMAIL AS [E-Mail] FROM "
    "SUBGUEST INNER JOIN GUEST ON (SUBGUEST.GUEST_ID = GUEST.GUEST_ID)";

const ExportField* fieldTitled(const QString& title)
{
    for (const ExportField& f : kFields)
        if (title == QLatin1String(f.title))
            return &f;
    return nullptr;
}

// Moves the entries of one list to the end of the other, from the top down.
void moveEntries(QListWidget* from, QListWidget* to, bool selectedOnly)
{
    QList<QListWidgetItem*> moving;
    for (int i = 0; i < from->count(); ++i)
        if (!selectedOnly || from->item(i)->isSelected())
            moving << from->item(i);
    for (QListWidgetItem* item : moving)
        to->addItem(from->takeItem(from->row(item)));
    to->clearSelection();
}

}  // namespace

void frmExportData::createControls()
{
    using twips::rect;
    QDialog* w = window();
    w->setObjectName(name());
    w->setWindowTitle("Export Data");
    w->setFixedSize(rect(0, 0, 6240, 5160).size());

    using editing::makeButton;
    using editing::makeLabel;
    using editing::makeList;
    Label1[2] = makeLabel(w, "Label1_2", "What to Export:", rect(120, 120, 2760, 255));
    cmbWhichData = new ui::ListBox(w);
    cmbWhichData->setObjectName("cmbWhichData");
    cmbWhichData->setEditable(false);
    cmbWhichData->setGeometry(rect(120, 390, 2760, 345));
    Label1[0] = makeLabel(w, "Label1_0", "Available Fields:", rect(120, 930, 2280, 255));
    lstAvailable = makeList(w, "lstAvailable", rect(120, 1200, 2280, 3120), true);
    cmdAdd = makeButton(w, "cmdAdd", "Add  >>", rect(2520, 1560, 1200, 405), [this] { cmdAdd_Click(); });
    cmdRemove = makeButton(w, "cmdRemove", "<< Remove", rect(2520, 2070, 1200, 405), [this] { cmdRemove_Click(); });
    cmdAddAll = makeButton(w, "cmdAddAll", "Add All  >>", rect(2520, 2580, 1200, 405), [this] { cmdAddAll_Click(); });
    Label1[1] = makeLabel(w, "Label1_1", "Fields to Export:", rect(3840, 930, 2280, 255));
    lstExport = makeList(w, "lstExport", rect(3840, 1200, 2280, 3120), true);
    Command1 = makeButton(w, "Command1", "Export", rect(3840, 4530, 1080, 405), [this] { Command1_Click(); });
    Command2 = makeButton(w, "Command2", "Cancel", rect(5040, 4530, 1080, 405), [this] { Command2_Click(); });

    QObject::connect(cmbWhichData, &QComboBox::activated, w, [this] { ui::guarded([this] { cmbWhichData_Click(); }); });
}

void frmExportData::releaseControls()
{
    Label1 = {};
    cmbWhichData = nullptr;
    lstAvailable = lstExport = nullptr;
    cmdAdd = cmdRemove = cmdAddAll = Command1 = Command2 = nullptr;
}

void frmExportData::Form_Load()
{
    DataSet.clear();
    lastFile_.clear();
    ListsReady = false;
    FillDataSetCombo();
    ListsReady = true;
    window()->raise();
}

void frmExportData::FillDataSetCombo()
{
    cmbWhichData->clear();
    cmbWhichData->addItems({"Guest Information", "Subguest Information"});
    cmbWhichData->setCurrentIndex(-1);
    lstAvailable->clear();
    lstExport->clear();
}

void frmExportData::cmbWhichData_Click()
{
    if (!ListsReady)
        return;
    const int i = cmbWhichData->currentIndex();
    if (i == 0)
        DataSet = "Guests";
    else if (i == 1)
        DataSet = "Subguests";
    FillFieldLists();
}

void frmExportData::FillFieldLists()
{
    lstAvailable->clear();
    lstExport->clear();
    if (DataSet.isEmpty())
        return;
    // One row tells whether there is any, and the field names; a large
    // wedding is not read whole for that.
    ado::Recordset rs;
    rs.Open(QString(DataSet == "Guests" ? kGuestsQuery : kSubguestsQuery) + " LIMIT 1", modQVDatabase::gConn,
            ado::adOpenStatic, ado::adLockReadOnly);
    if (rs.RecordCount() < 1)
        return;
    for (int c = 0; c < rs.fieldCount(); ++c)
        lstAvailable->addItem(rs.fieldName(c));
}

void frmExportData::cmdAdd_Click() { moveEntries(lstAvailable, lstExport, true); }

void frmExportData::cmdAddAll_Click() { moveEntries(lstAvailable, lstExport, false); }

void frmExportData::cmdRemove_Click() { moveEntries(lstExport, lstAvailable, true); }

void frmExportData::Command1_Click()
{
    if (DataSet.isEmpty())
        return;
    if (lstExport->count() == 0) {
        ui::MsgBox("There are no fields selected.", ui::vbOKOnly);
        return;
    }
    const bool guests = DataSet == "Guests";
    QString select;
    for (int i = 0; i < lstExport->count(); ++i)
        if (const ExportField* f = fieldTitled(lstExport->item(i)->text()))
            select += QLatin1String(guests ? f->guests : f->subguests);
    select.chop(2);
    const QString sql = "SELECT " + select + (guests ? kGuestsSource : kSubguestsSource);

    ui::FileRequest r;
    r.save = true;
    r.filter = "Comma Separated Values (*.csv)|*.csv";
    r.defaultExt = ".csv";
    r.fileName = lastFile_;
    const QString path = ui::dialogs().fileDialog(r, window());
    if (path.isEmpty())
        return;
    lastFile_ = path;

    const guestexport::Result result = guestexport::writeQuery(sql, path);
    if (!result.ok) {
        // The lists stay as they are, so the user can choose another place.
        ui::MsgBox(QString("The file %1 could not be written.\n\n%2").arg(QDir::toNativeSeparators(path), result.error),
                   ui::vbOKOnly | ui::vbExclamation);
        return;
    }
    ui::MsgBox(QString("Successfully exported %1 records.").arg(result.rows), ui::vbOKOnly);
    FillDataSetCombo();
}

void frmExportData::Command2_Click()
{
    Unload();
}
