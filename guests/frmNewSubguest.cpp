#include "guests/frmNewSubguest.h"

#include "app/modQVDatabase.h"
#include "guests/frmGuestDetail.h"
#include "platform/twips.h"
#include "platform/ui/controls.h"
#include "records/frmAddType.h"
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

QString frmNewSubguest::text1(int index) const { return ui::boxText(Text1.at(index)); }
void frmNewSubguest::setText1(int index, const QString& text) { ui::setBoxText(Text1.at(index), text); }

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
        Label1[l] = new QLabel(captions[l], w);
        Label1[l]->setObjectName(QString("Label1_%1").arg(l));
        Label1[l]->setGeometry(twips::rect(labelLeft, 570 + 405 * row, labelWidth, 270));
    }
    cmbTitles = ui::makeEditableList("cmbTitles", w);
    cmbTitles->setGeometry(twips::rect(boxLeft, 540, 2640, boxHeight));
    Label1[2]->setBuddy(cmbTitles);
    cmdAddTitle = ui::makeButton("Edit", "cmdAddTitle", w, twips::rect(4080, 540, 960, boxHeight));
    for (int i = 0; i < 5; ++i) {
        Text1[i] = ui::makeTextBox(w, i == 4);
        Text1[i]->setObjectName(QString("Text1_%1").arg(i));
        Text1[i]->setGeometry(twips::rect(boxLeft, 945 + 405 * i, boxWidth, i == 4 ? 1440 : boxHeight));
        Label1[i == 0 ? 0 : i == 1 ? 1 : i + 1]->setBuddy(Text1[i]);
    }
    cmdAdd = ui::makeButton("Add", "cmdAdd", w, twips::rect(2520, 4230, 1215, 405));
    cmdCancel = ui::makeButton("Cancel", "cmdCancel", w, twips::rect(3825, 4230, 1215, 405));

    QList<QWidget*> order = {cmdAddTitle, cmbTitles};
    for (QWidget* box : Text1)
        order << box;
    order << cmdAdd << cmdCancel;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    QObject::connect(cmdAdd, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdAdd_Click(); }); });
    QObject::connect(cmdCancel, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdCancel_Click(); }); });
    QObject::connect(cmdAddTitle, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdAddTitle_Click(); }); });

    procs_.set("frmNewSubguest.GetTitles", [this] { GetTitles(); });
}

void frmNewSubguest::releaseControls()
{
    procs_.clear();
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
    if (curMode == "Edit") {
        LoadSubguest();
        cmdAdd->setText("Update");
        window()->setWindowTitle("Update Subguest");
    }
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
    editing::refillList(cmbTitles, "SELECT * FROM TITLES", "TITLE_TEXT", "Titles");
}

void frmNewSubguest::LoadSubguest()
{
    editing::ignoreErrors([&] {
        ado::Recordset rs;
        rs.Open("SELECT * FROM SUBGUEST WHERE SUBGUEST_ID = " + QString::number(subguestID), gConn,
                ado::adOpenKeyset, ado::adLockOptimistic);
        if (rs.EOF_())
            return;
        auto text = [&rs](const char* column) {
            const QVariant v = rs.value(column);
            return v.isNull() ? QString() : v.toString();
        };
        setText1(0, text("SUBGUEST_FNAME"));
        setText1(1, text("SUBGUEST_LNAME"));
        editing::showText(cmbTitles, text("SUBGUEST_TITLE"));
        setText1(2, text("SUBGUEST_PHONE"));
        setText1(3, text("SUBGUEST_EMAIL"));
        setText1(4, text("SUBGUEST_NOTE"));
    });
}

void frmNewSubguest::cmdAdd_Click()
{
    // A person deleted while open here is not written again.
    if (isEditing() && subguestID != 0 && !editing::checkStored("SUBGUEST", subguestID, widget())) {
        frmGuestDetail::instance().RefreshSubguests();
        Unload();
        return;
    }
    const bool saved = editing::saveAll(
        [&] {
            ado::Recordset rs;
            if (isEditing()) {
                rs.Open("SELECT * FROM SUBGUEST WHERE SUBGUEST_ID = " + QString::number(subguestID), gConn,
                        ado::adOpenKeyset, ado::adLockOptimistic);
                if (rs.EOF_())
                    return;  // no person to change (none was listed)
            } else {
                rs.Open("SELECT * FROM SUBGUEST", gConn, ado::adOpenKeyset, ado::adLockOptimistic);
                rs.AddNew();
                rs.setValue("GUEST_ID", guestID);
            }
            rs.setValue(kTextColumns[0], text1(0));
            rs.setValue(kTextColumns[1], text1(1));
            rs.setValue("SUBGUEST_TITLE", cmbTitles->currentText());
            for (int i = 2; i < 5; ++i)
                rs.setValue(kTextColumns[i], text1(i));
            modSynchro::LogChange("SUBGUEST", rs.value("SUBGUEST_ID").toLongLong(), modSynchro::Changed);
            rs.Update();
        },
        widget());
    if (!saved)
        return;
    frmGuestDetail::instance().RefreshSubguests();
    Unload();
}

void frmNewSubguest::cmdCancel_Click()
{
    Unload();
}

void frmNewSubguest::cmdAddTitle_Click()
{
    frmAddType& t = frmAddType::instance();
    t.fromForm = "Subguest";
    t.curMode = "Titles";
    t.Show(ui::vbModal, this);
}
