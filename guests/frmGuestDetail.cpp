#include "guests/frmGuestDetail.h"

#include "guests/frmNewSubguest.h"
#include "platform/ado/ignoring.h"
#include "platform/grid/gridex.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "records/frmDeleteSingle.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/notices.h"
#include "views/viewpattern.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabBar>

using modQVDatabase::gConn;

namespace {

// The GUEST column of each Text1 box.
constexpr std::array<const char*, 18> kTextColumns = {
    "GUEST_PARTYNAME",  "GUEST_LNAME",    "GUEST_FNAME",          "GUEST_ADDRESS1",          "GUEST_ADDRESS2",
    "GUEST_CITY",       "GUEST_STATE",    "GUEST_ZIP",            "GUEST_PHONE1",            "GUEST_PHONE2",
    "GUEST_EMAIL",      "GUEST_TRAVELARRIVE", "GUEST_TRAVELDEPARTNOTES", "GUEST_TRAVELARRIVENOTES",
    "GUEST_TRAVELDEPART", "GUEST_ACCOMPHONE", "GUEST_ACCOMNOTES", "GUEST_ACCOMPLACE"};

// The GUEST column of each pair of pickers (0/1, 2/3, 4/5, 6/7).
constexpr std::array<const char*, 4> kMomentColumns = {"GUEST_ACCOMARRIVETIME", "GUEST_ACCOMDEPARTTIME",
                                                       "GUEST_TRAVELARRIVETIME", "GUEST_TRAVELDEPARTTIME"};

const QString kSubguestQuery = QStringLiteral(
    "SELECT SUBGUEST_FNAME AS [First], SUBGUEST_LNAME AS [Last], SUBGUEST_TITLE AS [Title], SUBGUEST_ID FROM "
    "SUBGUEST WHERE GUEST_ID = ?");

// Hands the moment a box loses the focus to the window, as long as the
// focus moved within it (not to another window or a pop-up).
class LostFocusWatch : public QObject {
public:
    LostFocusWatch(frmGuestDetail* form, int index, QObject* parent) : QObject(parent), form_(form), index_(index) {}
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::FocusOut && form_->isLoaded()) {
            const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
            if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
                ui::guarded([this] { form_->Text1_LostFocus(index_); });
        }
        return QObject::eventFilter(o, e);
    }

private:
    frmGuestDetail* form_;
    int index_;
};

// Rows of the three pages, in twips.
constexpr int kBoxHeight = 330;
constexpr int kRowGap = 75;
constexpr int kPickerWidth = 1800;

// Lays out a page top to bottom: a label on the left, its control beside it.
struct PageRows {
    QWidget* page;
    int labelWidth;
    int boxWidth;  // the width of a control that names none
    int top = 150;
    void row(const char* label, QWidget* box, int width = 0, int height = kBoxHeight)
    {
        constexpr int labelLeft = 120;
        const int boxLeft = labelLeft + labelWidth + 60;
        box->setParent(page);
        box->setGeometry(twips::rect(boxLeft, top, width ? width : boxWidth, height));
        editing::makeLabel(page, QString(), label, twips::rect(labelLeft, top + 30, labelWidth, 270))->setBuddy(box);
        top += height + kRowGap;
    }
};

}  // namespace

// ---------------------------------------------------------------- controls

QString frmGuestDetail::text1(int index) const { return editing::boxText(Text1.at(index)); }
void frmGuestDetail::setText1(int index, const QString& text) { editing::setBoxText(Text1.at(index), text); }
ui::DateBox* frmGuestDetail::datePicker(int pair) const { return static_cast<ui::DateBox*>(DTPicker.at(2 * pair)); }
ui::TimeBox* frmGuestDetail::timePicker(int pair) const { return static_cast<ui::TimeBox*>(DTPicker.at(2 * pair + 1)); }

void frmGuestDetail::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("Guests and Groups");
    w->setFixedSize(twipsToPixels(10200), twipsToPixels(6720));

    for (int i = 0; i < 18; ++i) {
        Text1[i] = editing::makeTextBox(nullptr, QString("Text1_%1").arg(i), i == 12 || i == 13 || i == 16, QRect());
        Text1[i]->installEventFilter(new LostFocusWatch(this, i, Text1[i]));
    }
    for (int i = 0; i < 8; ++i) {
        const QString name = QString("DTPicker_%1").arg(i);
        // A time picker keeps a stored moment's seconds, so saving unchanged drops none.
        if (i % 2 == 0)
            DTPicker[i] = editing::makeDatePicker(nullptr, name, QRect());
        else
            DTPicker[i] = editing::makeTimePicker(nullptr, name, QRect());
    }
    // A party's travel and stay are unknown until the user gives them.
    for (int pair = 0; pair < 4; ++pair)
        editing::allowEmptyMoment(datePicker(pair), timePicker(pair));

    tabGuest = new QTabBar(w);
    tabGuest->setObjectName("tabGuest");
    for (const char* tab : {"General", "Travel", "Accomodations"})
        tabGuest->addTab(tab);
    tabGuest->setDrawBase(false);
    tabGuest->setGeometry(twips::rect(120, 120, 5760, 375));
    auto frame = [w](const char* name) {
        auto* f = new QFrame(w);
        f->setObjectName(name);
        f->setFrameShape(QFrame::StyledPanel);
        f->setGeometry(twips::rect(120, 480, 5760, 5520));
        return f;
    };
    fraGuest = frame("fraGuest");
    fraTravel = frame("fraTravel");
    fraAccom = frame("fraAccom");
    createGeneral();
    createTravel();
    createAccom();

    Label4 = new QLabel("Subguests for this Party", w);
    Label4->setObjectName("Label4");
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    Label4->setGeometry(twips::rect(6060, 150, 4020, 285));
    cmdAddSubguest = editing::makeButton(w, "cmdAddSubguest", "Add Subguest", twips::rect(6060, 480, 1560, 375),
                                         [this] { cmdAddSubguest_Click(); });
    cmdDeleteSubguest = editing::makeButton(w, "cmdDeleteSubguest", "Delete Subguest",
                                            twips::rect(7740, 480, 1560, 375), [this] { cmdDeleteSubguest_Click(); });
    GridSubguest = new grid::GridEX(w);
    GridSubguest->setObjectName("GridSubguest");
    GridSubguest->setGeometry(twips::rect(6060, 960, 4020, 5040));
    cmdAdd = editing::makeButton(w, "cmdAdd", "Save", twips::rect(7500, 6180, 1215, 405), [this] { cmdAdd_Click(); });
    cmdCancel =
        editing::makeButton(w, "cmdCancel", "Close", twips::rect(8865, 6180, 1215, 405), [this] { cmdCancel_Click(); });

    // Keyboard order; the boxes of the pages not shown are skipped.
    QList<QWidget*> order = {Text1[0], cmbCategory, cmdAddCategory, cmbTitle, cmdAddTitle, Text1[2], Text1[1]};
    for (int i = 3; i <= 10; ++i)
        order << Text1[i];
    order << Text1[11] << DTPicker[4] << DTPicker[5] << Text1[13] << Text1[14] << DTPicker[6] << DTPicker[7]
          << Text1[12];
    order << Text1[17] << Text1[15] << DTPicker[0] << DTPicker[1] << DTPicker[2] << DTPicker[3] << Text1[16];
    order << cmdAddSubguest << cmdDeleteSubguest << cmdCancel << cmdAdd << tabGuest << GridSubguest;
    editing::chainTabOrder(order);

    QObject::connect(GridSubguest, &grid::GridEX::doubleClicked, w,
                     [this] { ui::guarded([this] { GridSubguest_DblClick(); }); });
    QObject::connect(tabGuest, &QTabBar::currentChanged, w, [this] { ui::guarded([this] { tabGuest_Click(); }); });

    editing::refillAfterLookupEdits(*this, [this](records::Lookup) {
        GetCategories();
        GetTitles();
    });
    records::answerWhileLoaded(*this, &records::Notices::recordDeleted, [this](records::DeleteKind kind, qint64) {
        if (kind == records::DeleteKind::SubguestFromDetail)
            RefreshSubguests();
    });
}

void frmGuestDetail::createGeneral()
{
    PageRows page{fraGuest, 1560, 3720};
    page.row("Party Name:", Text1[0]);
    cmbCategory = editing::makeListBox(fraGuest, "cmbCategory", QRect());
    cmdAddCategory = editing::makeButton(fraGuest, "cmdAddCategory", "Edit", twips::rect(4620, page.top, 840, kBoxHeight),
                                         [this] { cmdAddCategory_Click(); });
    page.row("Category:", cmbCategory, 2760);
    cmbTitle = editing::makeListBox(fraGuest, "cmbTitle", QRect());
    cmdAddTitle = editing::makeButton(fraGuest, "cmdAddTitle", "Edit", twips::rect(4620, page.top, 840, kBoxHeight),
                                      [this] { cmdAddTitle_Click(); });
    page.row("Title:", cmbTitle, 2760);
    page.row("First Name:", Text1[2]);
    page.row("Last Name:", Text1[1]);
    page.row("Address:", Text1[3]);
    page.row("Address:", Text1[4]);
    page.row("City:", Text1[5]);
    page.row("State/Prov.", Text1[6], 1500);
    page.row("ZIP/Postal Code", Text1[7], 1800);
    page.row("Phone", Text1[8], 2400);
    page.row("Phone", Text1[9], 2400);
    page.row("E-Mail", Text1[10]);
}

void frmGuestDetail::createTravel()
{
    constexpr int notesHeight = 1050;
    PageRows page{fraTravel, 1500, 3780};
    page.row("Arrive Method:", Text1[11]);
    page.row("Arrive Date:", DTPicker[4], kPickerWidth);
    page.row("Arrive Time:", DTPicker[5], kPickerWidth);
    page.row("Arrive Notes:", Text1[13], 0, notesHeight);
    page.top += 150;
    page.row("Depart Method:", Text1[14]);
    page.row("Depart Date:", DTPicker[6], kPickerWidth);
    page.row("Depart Time:", DTPicker[7], kPickerWidth);
    page.row("Depart Notes:", Text1[12], 0, notesHeight);
}

void frmGuestDetail::createAccom()
{
    PageRows page{fraAccom, 2340, 3000};
    page.row("Accomodation Location:", Text1[17]);
    page.row("Phone:", Text1[15], 2400);
    page.row("Arrive Date:", DTPicker[0], kPickerWidth);
    page.row("Arrive Time:", DTPicker[1], kPickerWidth);
    page.row("Depart Date:", DTPicker[2], kPickerWidth);
    page.row("Depart Time:", DTPicker[3], kPickerWidth);
    page.row("Notes", Text1[16], 0, 2400);
}

void frmGuestDetail::releaseControls()
{
    tabGuest = nullptr;
    fraGuest = fraTravel = fraAccom = nullptr;
    Text1.fill(nullptr);
    DTPicker.fill(nullptr);
    cmbCategory = cmbTitle = nullptr;
    cmdAddCategory = cmdAddTitle = nullptr;
    Label4 = nullptr;
    cmdAddSubguest = cmdDeleteSubguest = nullptr;
    GridSubguest = nullptr;
    cmdAdd = cmdCancel = nullptr;
}

// ---------------------------------------------------------------- load

void frmGuestDetail::Form_Load()
{
    firstPerson_ = 0;
    ClearFields();
    GetTitles();
    GetCategories();
    if (curMode == Mode::New) {
        window()->setWindowTitle("New Guest and Group");
        cmdAdd->setText("Add New");
    } else {
        window()->setWindowTitle("Edit Guest and Group");
        cmdAdd->setText("Update");
        if (!LoadGuest()) {
            Unload();
            return;
        }
    }
    boxesSaved();
    window()->raise();
    tabGuest->setCurrentIndex(0);
    tabGuest_Click();
    Text1[0]->setFocus();
}

void frmGuestDetail::ClearFields()
{
    for (int i = 0; i < 18; ++i)
        setText1(i, QString());
    for (int pair = 0; pair < 4; ++pair) {
        datePicker(pair)->setDate(QDate());
        timePicker(pair)->setTime(QTime());
    }
    cmbTitle->setEditText(QString());
    cmbCategory->setEditText(QString());
}

void frmGuestDetail::GetTitles()
{
    if (!isLoaded())
        return;
    editing::refillLookupBox(cmbTitle, "SELECT * FROM TITLES", "TITLE_TEXT");
}

void frmGuestDetail::GetCategories()
{
    if (!isLoaded())
        return;
    editing::refillLookupBox(cmbCategory, "SELECT * FROM GUESTTYPE", "GUESTTYPE_TEXT");
}

bool frmGuestDetail::LoadGuest()
{
    record_.boxes = [this] {
        editing::ShownBoxes shown = {{"GUEST_CATEGORY", cmbCategory}, {"GUEST_TITLE", cmbTitle}};
        for (int i = 0; i < 18; ++i)
            shown.push_back({kTextColumns[i], Text1[i]});
        for (int pair = 0; pair < 4; ++pair)
            shown.push_back({kMomentColumns[pair], datePicker(pair)});
        return shown;
    };
    const bool read = editing::openRecord(record_, "GUEST", curRec, [this](ado::Recordset& rs) {
        // A column without a value leaves its control as cleared.
        for (int i = 0; i < 18; ++i) {
            const QVariant v = rs.value(kTextColumns[i]);
            if (!v.isNull())
                setText1(i, v.toString());
        }
        for (int pair = 0; pair < 4; ++pair)
            editing::toPickers(rs.value(kMomentColumns[pair]), datePicker(pair), timePicker(pair));
        const QVariant category = rs.value("GUEST_CATEGORY");
        if (!category.isNull())
            editing::setBoxText(cmbCategory, category.toString());
        const QVariant title = rs.value("GUEST_TITLE");
        if (!title.isNull())
            editing::setBoxText(cmbTitle, title.toString());
    }, widget());
    if (!read)
        return false;
    GISubGuestRS = ado::Recordset::create();
    editing::readList(
        [&] { GISubGuestRS->Open(kSubguestQuery, gConn, ado::adOpenKeyset, ado::adLockOptimistic, {curRec}); },
        widget());
    ado::ignoringErrors([&] {
        GridSubguest->bind(GISubGuestRS);
        for (int c = 1; c <= GridSubguest->columnCount(); ++c)
            GridSubguest->setColumnEditType(c, grid::etReadOnly);
        GridSubguest->setColumnHidden(4);
        GridSubguest->setColumnWidth(1, 1400);
        GridSubguest->setColumnWidth(2, 1500);
        GridSubguest->setColumnWidth(3, 800);
    });
    return true;
}

void frmGuestDetail::RefreshSubguests()
{
    if (isLoaded())
        views::RefreshGrid(GridSubguest, GISubGuestRS);
}

// ---------------------------------------------------------------- save

std::array<QString, 5> frmGuestDetail::firstPersonTexts() const
{
    return {text1(2), text1(1), cmbTitle->currentText(), text1(8), text1(10)};
}

namespace {
// The columns of a first person, in the order of firstPersonTexts.
constexpr std::array<const char*, 5> kFirstPersonColumns = {"SUBGUEST_FNAME", "SUBGUEST_LNAME", "SUBGUEST_TITLE",
                                                            "SUBGUEST_PHONE", "SUBGUEST_EMAIL"};
}  // namespace

editing::SaveOutcome frmGuestDetail::SaveGuest()
{
    const QScopedValueRollback<bool> busy(saving_, true);

    // Every control's text goes unchanged to its column; the data layer
    // converts it to the column's type.
    auto write = [this](ado::Recordset& rs) {
        for (int i = 0; i <= 10; ++i)
            rs.setValue(kTextColumns[i], text1(i));
        rs.setValue("GUEST_CATEGORY", cmbCategory->currentText());
        rs.setValue("GUEST_TITLE", cmbTitle->currentText());
        for (int i = 11; i < 18; ++i)
            rs.setValue(kTextColumns[i], text1(i));
        for (int pair = 0; pair < 4; ++pair)
            rs.setValue(kMomentColumns[pair], editing::momentOf(datePicker(pair), timePicker(pair)));
    };

    if (curMode == Mode::Edit) {
        const auto outcome = editing::saveChanges(record_, write, widget());
        if (outcome == editing::SaveOutcome::Saved)
            FollowFirstPerson();
        return outcome;
    }

    // A new party and its first person, made from the party's own name.
    qint64 party = 0, person = 0;
    const std::array<QString, 5> texts = firstPersonTexts();
    const bool saved = editing::saveAll(
        [&] {
            ado::Recordset rs;
            rs.Open("SELECT * FROM GUEST WHERE 0 = 1", gConn, ado::adOpenKeyset, ado::adLockOptimistic);
            rs.AddNew();
            write(rs);
            party = rs.value("GUEST_ID").toLongLong();
            modSynchro::LogChange("GUEST", party, modSynchro::Added);
            rs.Update();

            ado::Recordset first;
            first.Open("SELECT * FROM SUBGUEST WHERE 0 = 1", gConn, ado::adOpenKeyset, ado::adLockOptimistic);
            first.AddNew();
            first.setValue("GUEST_ID", party);
            for (int i = 0; i < 5; ++i)
                first.setValue(kFirstPersonColumns[i], texts[i]);
            person = first.value("SUBGUEST_ID").toLongLong();
            modSynchro::LogChange("SUBGUEST", person, modSynchro::Added);
            first.Update();
        },
        widget());
    if (!saved)
        return editing::SaveOutcome::Refused;
    curRec = party;
    firstPerson_ = person;
    firstAsWritten_ = texts;
    return editing::SaveOutcome::Saved;
}

void frmGuestDetail::FollowFirstPerson()
{
    if (firstPerson_ == 0)
        return;
    const std::array<QString, 5> texts = firstPersonTexts();
    // A column the person editor changed meanwhile keeps what it was given there.
    editing::saveAll(
        [&] {
            bool changed = false;
            for (int i = 0; i < 5; ++i)
                if (texts[i] != firstAsWritten_[i])
                    changed = gConn.Execute(QString("UPDATE SUBGUEST SET %1 = ? WHERE SUBGUEST_ID = ? AND "
                                                    "coalesce(%1, '') = ?")
                                                .arg(kFirstPersonColumns[i]),
                                            {texts[i], firstPerson_, firstAsWritten_[i]})
                                  > 0
                        || changed;
            if (changed)
                modSynchro::LogChange("SUBGUEST", firstPerson_, modSynchro::Changed);
        },
        widget());
    firstAsWritten_ = texts;
    RefreshSubguests();
}

bool frmGuestDetail::save() { return SaveGuest() != editing::SaveOutcome::Refused; }

bool frmGuestDetail::SaveNewParty()
{
    if (curMode == Mode::Edit)
        return true;
    if (SaveGuest() != editing::SaveOutcome::Saved)
        return false;
    // The captions stay those of a new party.
    curMode = Mode::Edit;
    keepVariables();
    if (!LoadGuest()) {
        Unload();
        return false;
    }
    boxesSaved();
    return true;
}

void frmGuestDetail::Text1_LostFocus(int index)
{
    if (index == 1 && curMode == Mode::New && !saving_)
        SaveNewParty();
}

// ---------------------------------------------------------------- buttons

void frmGuestDetail::cmdAdd_Click()
{
    // A party deleted meanwhile has been said so; there is nothing left to edit.
    if (save())
        closeAsIs();
}

void frmGuestDetail::cmdCancel_Click()
{
    Unload();
}

void frmGuestDetail::Form_Unload(bool&)
{
    emit records::notices().rowsChanged(records::MainList::People);
}

void frmGuestDetail::tabGuest_Click()
{
    const int index = tabGuest->currentIndex() + 1;
    QFrame* chosen = index == 1 ? fraGuest : index == 2 ? fraTravel : index == 3 ? fraAccom : nullptr;
    if (!chosen)
        return;
    // Only the chosen page shows, so the keyboard never reaches a hidden box.
    for (QFrame* f : {fraGuest, fraTravel, fraAccom})
        f->setVisible(f == chosen);
    chosen->raise();
}

qint64 frmGuestDetail::GetSelectedSubguestID()
{
    qint64 id = 0;
    ado::ignoringErrors([&] {
        int row = GridSubguest->currentRow();
        if (GridSubguest->rowKind(row) != grid::RowKind::Record)
            ++row;
        if (GridSubguest->rowKind(row) == grid::RowKind::Record)
            id = GridSubguest->value(row, 4).toLongLong();
    });
    return id;
}

void frmGuestDetail::cmdAddSubguest_Click()
{
    // A person is only ever added to a party that is stored, and still is.
    if (!SaveNewParty() || !editing::ownerStillThere("GUEST", curRec, widget()))
        return;
    frmNewSubguest& s = frmNewSubguest::instance();
    s.curMode = frmNewSubguest::Mode::Add;
    s.guestID = curRec;
    s.groupName = text1(0);
    s.guestLastName = text1(1);
    s.Show(ui::vbModeless);
}

void frmGuestDetail::GridSubguest_DblClick()
{
    frmNewSubguest& s = frmNewSubguest::instance();
    if (s.isLoaded()) {
        // The person editor is open on an addition: it keeps it.
        s.Show(ui::vbModeless);
        return;
    }
    s.curMode = frmNewSubguest::Mode::Edit;
    s.subguestID = GetSelectedSubguestID();
    s.groupName = text1(0);
    s.Show(ui::vbModal, this);
}

void frmGuestDetail::cmdDeleteSubguest_Click()
{
    if (!SaveNewParty())
        return;
    const int row = GridSubguest->currentRow();
    if (GridSubguest->rowKind(row) != grid::RowKind::Record)
        return;
    frmDeleteSingle& d = frmDeleteSingle::instance();
    d.delID = GridSubguest->value(row, 4).toLongLong();
    d.delString = GridSubguest->value(row, 1).toString() + " " + GridSubguest->value(row, 2).toString();
    d.delMode = records::DeleteKind::SubguestFromDetail;
    d.Show(ui::vbModeless);
}

void frmGuestDetail::cmdAddCategory_Click()
{
    editing::editLookupList(*this, records::Lookup::GuestTypes, true);
}

void frmGuestDetail::cmdAddTitle_Click()
{
    editing::editLookupList(*this, records::Lookup::Titles, true);
}
