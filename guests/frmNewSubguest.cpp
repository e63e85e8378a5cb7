#include "guests/frmNewSubguest.h"

#include "guests/frmGuestDetail.h"
#include "platform/twips.h"
#include "platform/ui/messages.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>

using modQVDatabase::gConn;

namespace {

// The SUBGUEST column of each Text1 box.
constexpr std::array<const char*, 5> kTextColumns = {"SUBGUEST_FNAME", "SUBGUEST_LNAME", "SUBGUEST_PHONE",
                                                     "SUBGUEST_EMAIL", "SUBGUEST_NOTE"};

}  // namespace

QString frmNewSubguest::text1(int index) const { return editing::boxText(Text1.at(index)); }
void frmNewSubguest::setText1(int index, const QString& text) { editing::setBoxText(Text1.at(index), text); }

void frmNewSubguest::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("New Suguest");
    w->setFixedSize(twipsToPixels(5160), twipsToPixels(4800));

    lblGroupName = new QLabel("Group Name", w);
    lblGroupName->setObjectName("lblGroupName");
    QFont bold = lblGroupName->font();
    bold.setBold(true);
    lblGroupName->setFont(bold);
    lblGroupName->setGeometry(twips::rect(120, 120, 4920, 300));

    constexpr int labelLeft = 120, labelWidth = 1200, boxLeft = 1380, boxWidth = 3660, boxHeight = 330;
    const char* captions[] = {"First Name:", "Last Name:", "Title:", "Phone:", "E-Mail", "Notes:"};
    // Screen rows from the top: title, then the five boxes.
    const int labelOfRow[] = {2, 0, 1, 3, 4, 5};
    for (int row = 0; row < 6; ++row) {
        const int l = labelOfRow[row];
        Label1[l] = editing::makeLabel(w, QString("Label1_%1").arg(l), captions[l],
                                       twips::rect(labelLeft, 570 + 405 * row, labelWidth, 270));
    }
    cmbTitles = editing::makeListBox(w, "cmbTitles", twips::rect(boxLeft, 540, 2640, boxHeight));
    Label1[2]->setBuddy(cmbTitles);
    cmdAddTitle = editing::makeButton(w, "cmdAddTitle", "Edit", twips::rect(4080, 540, 960, boxHeight),
                                      [this] { cmdAddTitle_Click(); });
    for (int i = 0; i < 5; ++i) {
        Text1[i] = editing::makeTextBox(w, QString("Text1_%1").arg(i), i == 4,
                                        twips::rect(boxLeft, 945 + 405 * i, boxWidth, i == 4 ? 1440 : boxHeight));
        Label1[i == 0 ? 0 : i == 1 ? 1 : i + 1]->setBuddy(Text1[i]);
    }
    cmdAdd = editing::makeButton(w, "cmdAdd", "Add", twips::rect(2520, 4230, 1215, 405), [this] { cmdAdd_Click(); });
    cmdCancel =
        editing::makeButton(w, "cmdCancel", "Cancel", twips::rect(3825, 4230, 1215, 405), [this] { cmdCancel_Click(); });

    QList<QWidget*> order = {cmdAddTitle, cmbTitles};
    for (QWidget* box : Text1)
        order << box;
    order << cmdAdd << cmdCancel;
    editing::chainTabOrder(order);

    editing::refillAfterLookupEdits(*this, [this](records::Lookup) { GetTitles(); });
}

void frmNewSubguest::releaseControls()
{
    lblGroupName = nullptr;
    cmbTitles = nullptr;
    cmdAddTitle = nullptr;
    Text1.fill(nullptr);
    Label1.fill(nullptr);
    cmdAdd = cmdCancel = nullptr;
}

void frmNewSubguest::Form_Load()
{
    InitFields();
    GetTitles();
    if (isEditing()) {
        if (!LoadSubguest()) {
            Unload();
            return;
        }
        cmdAdd->setText("Update");
        window()->setWindowTitle("Update Subguest");
    }
    boxesSaved();
    window()->raise();
}

void frmNewSubguest::InitFields()
{
    for (int i = 0; i < 5; ++i)
        setText1(i, QString());
    setText1(1, guestLastName);
    lblGroupName->setText(groupName);
}

void frmNewSubguest::GetTitles()
{
    if (!isLoaded())
        return;
    editing::refillLookupBox(cmbTitles, "SELECT * FROM TITLES", "TITLE_TEXT");
}

bool frmNewSubguest::LoadSubguest()
{
    // Opened on no person (a party's empty list): nothing to show or store.
    if (subguestID == 0)
        return true;
    record_.boxes = [this] {
        editing::ShownBoxes shown = {{"SUBGUEST_TITLE", cmbTitles}};
        for (int i = 0; i < 5; ++i)
            shown.push_back({kTextColumns[i], Text1[i]});
        return shown;
    };
    return editing::openRecord(record_, "SUBGUEST", subguestID, [this](ado::Recordset& rs) {
        setText1(0, editing::storedText(rs.value(kTextColumns[0])));
        setText1(1, editing::storedText(rs.value(kTextColumns[1])));
        editing::setBoxText(cmbTitles, editing::storedText(rs.value("SUBGUEST_TITLE")));
        for (int i = 2; i < 5; ++i)
            setText1(i, editing::storedText(rs.value(kTextColumns[i])));
    }, widget());
}

bool frmNewSubguest::save()
{
    const auto write = [this](ado::Recordset& rs) {
        rs.setValue(kTextColumns[0], text1(0));
        rs.setValue(kTextColumns[1], text1(1));
        rs.setValue("SUBGUEST_TITLE", cmbTitles->currentText());
        for (int i = 2; i < 5; ++i)
            rs.setValue(kTextColumns[i], text1(i));
    };
    if (isEditing()) {
        if (record_.isRead() && editing::saveChanges(record_, write, widget()) == editing::SaveOutcome::Refused)
            return false;
    } else {
        // A person is not added to a party deleted meanwhile.
        if (!editing::ownerStillThere("GUEST", guestID, widget()))
            return false;
        const bool saved = editing::saveAll(
            [&] {
                ado::Recordset rs;
                rs.Open("SELECT * FROM SUBGUEST WHERE 0 = 1", gConn, ado::adOpenKeyset, ado::adLockOptimistic);
                rs.AddNew();
                rs.setValue("GUEST_ID", guestID);
                write(rs);
                modSynchro::LogChange("SUBGUEST", rs.value("SUBGUEST_ID").toLongLong(), modSynchro::Changed);
                rs.Update();
            },
            widget());
        if (!saved)
            return false;
    }
    frmGuestDetail::instance().RefreshSubguests();
    return true;
}

void frmNewSubguest::cmdAdd_Click()
{
    if (save())
        closeAsIs();
}

void frmNewSubguest::cmdCancel_Click()
{
    closeAsIs();
}

void frmNewSubguest::cmdAddTitle_Click()
{
    editing::editLookupList(*this, records::Lookup::Titles);
}
