#include "events/frmWizard.h"

#include "money/frmAutoBudget.h"
#include "platform/ado/ignoring.h"
#include "platform/settings/settings.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/notices.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>

#include <algorithm>

using modQVDatabase::gConn;

const std::array<frmWizard::TextColumn, 24> frmWizard::kTextColumns = {{
    {"Bride", "Bride's First Name:", 6, "BRIDE_FNAME"},
    {"Bride", "Bride's Last Name:", 0, "BRIDE_LNAME"},
    {"Bride", "Address:", 1, "BRIDE_ADDRESS1"},
    {"Bride", "Address:", 7, "BRIDE_ADDRESS2"},
    {"Bride", "City:", 8, "BRIDE_CITY"},
    {"Bride", "State:", 9, "BRIDE_STATE"},
    {"Bride", "ZIP:", 10, "BRIDE_ZIP"},
    {"Bride", "Phone 1:", 11, "BRIDE_PHONE"},
    {"Bride", "Phone 2:", 12, "BRIDE_PHONE1"},
    {"Bride", "E-Mail:", 13, "BRIDE_EMAIL"},
    {"Groom", "Groom's First Name:", 17, "GROOM_FNAME"},
    {"Groom", "Groom's Last Name:", 18, "GROOM_LNAME"},
    {"Groom", "Address:", 19, "GROOM_ADDRESS1"},
    {"Groom", "Address:", 20, "GROOM_ADDRESS2"},
    {"Groom", "City:", 21, "GROOM_CITY"},
    {"Groom", "State:", 22, "GROOM_STATE"},
    {"Groom", "ZIP:", 23, "GROOM_ZIP"},
    {"Groom", "Phone 1:", 16, "GROOM_PHONE"},
    {"Groom", "Phone 2:", 15, "GROOM_PHONE1"},
    {"Groom", "E-Mail:", 14, "GROOM_EMAIL"},
    {"Parents", "Bride's Father's Name:", 3, "BRIDE_FATHER"},
    {"Parents", "Bride's Mother's Name:", 2, "BRIDE_MOTHER"},
    {"Parents", "Groom's Father's Name:", 5, "GROOM_FATHER"},
    {"Parents", "Groom's Mother's Name:", 4, "GROOM_MOTHER"},
}};

const std::array<frmWizard::StandardEvent, 7> frmWizard::kEvents = {{
    {"Wedding Ceremony:", "PLAN_CEREMONY", "DATE_CEREMONY", "Ceremony"},
    {"Reception:", "PLAN_RECEPTION", "DATE_RECEPTION", "Reception"},
    {"Shower:", "PLAN_SHOWER", "DATE_SHOWER", "Shower"},
    {"Rehearsal / Dinner:", "PLAN_REHEARSAL", "DATE_REHEARSAL", "Rehearsal Dinner"},
    {"Bachelor Party:", "PLAN_BACHELOR", "DATE_BACHELOR", "Bachelor Party"},
    {"Bachelorette Party:", "PLAN_BACHELORETTE", "DATE_BACHELORETTE", "Bachelorette Party"},
    {"Honeymoon:", "PLAN_HONEYMOON", "DATE_HONEYMOON", "Honeymoon"},
}};

namespace {

// Every copy gives its wedding row, and the event it makes for standard
// event i, the same key. They lie in the template's range, from which no
// working copy draws keys of its own, and the template holds no such rows.
constexpr qint64 kWeddingKey = 1;
qint64 standardEventKey(int i) { return 1 + i; }

constexpr int kPageLeft = 120, kPageTop = 480, kPageWidth = 6960, kPageHeight = 4500;
constexpr int kLabelLeft = 240, kLabelWidth = 2400, kBoxLeft = 2760, kBoxWidth = 3960, kLine = 420;
constexpr int kPlanLeft = 2400, kDateLeft = 3840;

}  // namespace

// ---------------------------------------------------------------- controls

void frmWizard::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("Planning Wizard");
    w->setFixedSize(twips::toPixels(7200), twips::toPixels(5700));
    if (const QScreen* s = QGuiApplication::primaryScreen())
        w->move(s->availableGeometry().center() - w->rect().center());

    TabStrip1 = new QTabBar(w);
    TabStrip1->setObjectName("TabStrip1");
    TabStrip1->setGeometry(twips::rect(kPageLeft, 120, kPageWidth, 360));
    TabStrip1->setExpanding(false);
    TabStrip1->setDrawBase(false);
    const std::pair<const char*, const char*> tabs[] = {
        {"Bride", "tabBride"}, {"Groom", "tabGroom"}, {"Parents", "tabParents"},
        {"Events", "tabEvents"}, {"Budget", "tabBudget"}};
    for (const auto& [caption, key] : tabs)
        TabStrip1->setTabData(TabStrip1->addTab(caption), QString::fromLatin1(key));

    auto page = [&](const char* caption) {
        auto* f = new QGroupBox(caption, w);
        f->setObjectName(QString("fra") + caption);
        f->setGeometry(twips::rect(kPageLeft, kPageTop, kPageWidth, kPageHeight));
        f->hide();
        return f;
    };
    fraBride = page("Bride");
    fraGroom = page("Groom");
    fraParents = page("Parents");

    // The boxes of the three name pages, line by line; ZIP stands on the
    // line of State, and the groom's parents after a gap.
    int top = 360;
    QString lastPage;
    for (int n = 0; n < int(kTextColumns.size()); ++n) {
        const TextColumn& t = kTextColumns[n];
        const QString pageName = QString::fromLatin1(t.page);
        QGroupBox* parent = pageName == "Bride" ? fraBride : pageName == "Groom" ? fraGroom : fraParents;
        if (pageName != lastPage)
            top = 360;
        else if (QLatin1String(t.column) == QLatin1String("GROOM_FATHER"))
            top += kLine;
        lastPage = pageName;
        const bool zip = QLatin1String(t.label) == QLatin1String("ZIP:");
        const bool state = QLatin1String(t.label) == QLatin1String("State:");
        if (zip)
            top -= kLine;
        const QRect labelAt =
            zip ? twips::rect(4200, top + 30, 600, 285) : twips::rect(kLabelLeft, top + 30, kLabelWidth, 285);
        const QRect boxAt = zip     ? twips::rect(4800, top, kBoxLeft + kBoxWidth - 4800, 315)
                            : state ? twips::rect(kBoxLeft, top, 1200, 315)
                                    : twips::rect(kBoxLeft, top, kBoxWidth, 315);
        Label1[n] = editing::makeLabel(parent, QString("Label1_%1").arg(n), t.label, labelAt);
        txtName[t.index] =
            static_cast<QLineEdit*>(editing::makeTextBox(parent, QString("txtName_%1").arg(t.index), false, boxAt));
        Label1[n]->setBuddy(txtName[t.index]);
        top += kLine;
    }

    fraEvents = page("Events");
    Label5 = editing::makeLabel(fraEvents, "Label5",
                                "Select the standard events that this wedding will have.  You can always add and "
                                "delete events later.",
                                twips::rect(kLabelLeft, 300, 6480, 480));
    Label5->setWordWrap(true);
    Label7 = editing::makeLabel(fraEvents, "Label7", "Plan Event?", twips::rect(kPlanLeft, 900, 1320, 285));
    Label6 = editing::makeLabel(fraEvents, "Label6", "Date:", twips::rect(kDateLeft, 900, 1320, 285));
    for (int i = 0; i < int(kEvents.size()); ++i) {
        const int y = 1260 + i * kLine;
        Label4[i] = editing::makeLabel(fraEvents, QString("Label4_%1").arg(i), kEvents[i].label,
                                       twips::rect(kLabelLeft, y + 30, 2040, 285));
        chkPlan[i] = new QCheckBox("Yes", fraEvents);
        chkPlan[i]->setObjectName(QString("chkPlan_%1").arg(i));
        chkPlan[i]->setGeometry(twips::rect(kPlanLeft, y + 30, 900, 285));
        DTPicker1[i] =
            editing::makeDatePicker(fraEvents, QString("DTPicker1_%1").arg(i), twips::rect(kDateLeft, y, 1800, 315));
        // A date counts once it is whole: typed and left, or picked.
        QObject::connect(DTPicker1[i], &ui::DateBox::valueChanged, w,
                         [this, i] { ui::guarded([&] { DTPicker1_Change(i); }); });
    }

    fraBudget = page("Budget");
    Label2 = editing::makeLabel(fraBudget, "Label2",
                                "Enter in a budget amount and press Auto-Budget to determine an initial budget.",
                                twips::rect(kLabelLeft, 360, 6480, 480));
    Label2->setWordWrap(true);
    Label3 = editing::makeLabel(fraBudget, "Label3", "Budget Amount:", twips::rect(kLabelLeft, 1110, 1560, 285));
    txtBudget = static_cast<QLineEdit*>(
        editing::makeTextBox(fraBudget, "txtBudget", false, twips::rect(1920, 1080, 1800, 315)));
    Label3->setBuddy(txtBudget);
    Command1 = editing::makeButton(fraBudget, "Command1", "Auto-Budget", twips::rect(1920, 1560, 1440, 405),
                                   [this] { Command1_Click(); });

    Check1 = new QCheckBox("Show Planning Wizard on Startup?", w);
    Check1->setObjectName("Check1");
    Check1->setGeometry(twips::rect(240, 5160, 3720, 315));
    cmdSave = editing::makeButton(w, "cmdSave", "Save", twips::rect(4440, 5100, 1200, 405), [this] { cmdSave_Click(); });
    Command2 =
        editing::makeButton(w, "Command2", "Cancel", twips::rect(5760, 5100, 1200, 405), [this] { Command2_Click(); });

    QObject::connect(TabStrip1, &QTabBar::currentChanged, w, [this](int) { ui::guarded([this] { TabStrip1_Click(); }); });
    QObject::connect(Check1, &QCheckBox::clicked, w, [this] { ui::guarded([this] { Check1_Click(); }); });
}

void frmWizard::releaseControls()
{
    TabStrip1 = nullptr;
    fraBride = fraGroom = fraParents = fraEvents = fraBudget = nullptr;
    Label1 = {};
    txtName = {};
    Label4 = {};
    chkPlan = {};
    DTPicker1 = {};
    Label2 = Label3 = Label5 = Label6 = Label7 = nullptr;
    txtBudget = nullptr;
    Command1 = cmdSave = Command2 = nullptr;
    Check1 = nullptr;
    front_ = nullptr;
}

// ---------------------------------------------------------------- loading

void frmWizard::Form_Load()
{
    // Filling the pickers is not the user changing the ceremony's date:
    // the pickers tell only of what is typed or picked.
    ClearFields();
    SetShowWizardCheck();
    LoadWedding();
    handedBudget_.clear();
    TabStrip1->setCurrentIndex(0);
    bringToFront(fraBride);
}

void frmWizard::ClearFields()
{
    for (QLineEdit* t : txtName)
        t->clear();
    for (QCheckBox* c : chkPlan)
        c->setChecked(false);
    // Today, without the time of day the window opened at.
    const QDate today = editing::now().date();
    for (ui::DateBox* p : DTPicker1)
        p->setDateTime(ado::convert::wallClock(today));
}

void frmWizard::SetShowWizardCheck() { Check1->setChecked(modQVDatabase::gShowWizard == QLatin1String("Yes")); }

void frmWizard::LoadWedding()
{
    // The first row by key is the wedding; a column that is NULL or cannot
    // be read leaves its control as cleared, and the others still load.
    ado::Recordset rs;
    if (!ado::ignoringErrors([&] {
            rs.Open("SELECT * FROM OUR_WEDDING ORDER BY OUR_WEDDING_ID", gConn, ado::adOpenKeyset,
                    ado::adLockOptimistic);
        })
        || rs.EOF_())
        return;
    auto read = [&rs](const char* column) {
        QVariant v;
        ado::ignoringErrors([&] { v = rs.value(QString::fromLatin1(column)); });
        return v;
    };
    for (const TextColumn& t : kTextColumns) {
        const QVariant v = read(t.column);
        if (!v.isNull())
            txtName[t.index]->setText(editing::storedText(v));
    }
    for (int i = 0; i < int(kEvents.size()); ++i) {
        const QVariant v = read(kEvents[i].plan);
        if (!v.isNull())
            chkPlan[i]->setChecked(v.toBool());
    }
    for (int i = 0; i < int(kEvents.size()); ++i) {
        const QVariant v = read(kEvents[i].date);
        QDateTime dt = v.toDateTime();
        if (v.isNull() || (!dt.isValid() && !ado::convert::parseDateTime(v.toString(), dt)))
            continue;
        DTPicker1[i]->setDateTime(dt);
    }
}

// ---------------------------------------------------------------- pages

void frmWizard::bringToFront(QGroupBox* page)
{
    for (QGroupBox* f : {fraBride, fraGroom, fraParents, fraEvents, fraBudget})
        if (f != page)
            f->hide();
    page->show();
    page->raise();
    front_ = page;
}

void frmWizard::TabStrip1_Click()
{
    QGroupBox* const pages[] = {fraBride, fraGroom, fraParents, fraEvents, fraBudget};
    const int at = TabStrip1->currentIndex();
    if (at >= 0 && at < 5)
        bringToFront(pages[at]);
}

void frmWizard::DTPicker1_Change(int index)
{
    if (index != 0)
        return;
    const QDateTime now = editing::now();
    const ui::DateBox* ceremony = DTPicker1[0];
    for (int i = 1; i < int(DTPicker1.size()); ++i) {
        ui::DateBox* p = DTPicker1[i];
        if (editing::daysBetween(now.date(), now.time(), p->date(), p->timeOfDay()) < 1.0)
            p->setDateTime(ceremony->dateTime());
    }
}

// ---------------------------------------------------------------- saving

void frmWizard::cmdSave_Click()
{
    if (!offerBudget())
        return;
    if (!SaveWedding())
        return;  // the refusal was shown; what was typed stays
    // The events view, when it is the one shown, lists what was made.
    emit records::notices().rowsChanged(records::MainList::Events);
    Unload();
}

bool frmWizard::SaveWedding()
{
    // Every column on every save, an empty box as an empty text.
    QStringList columns;
    ado::Params values;
    auto texts = [&](bool parents) {
        for (const TextColumn& t : kTextColumns)
            if ((QLatin1String(t.page) == QLatin1String("Parents")) == parents) {
                columns << t.column;
                values << txtName[t.index]->text();
            }
    };
    texts(false);
    for (int i = 0; i < int(kEvents.size()); ++i) {
        columns << kEvents[i].plan;
        values << chkPlan[i]->isChecked();
    }
    for (int i = 0; i < int(kEvents.size()); ++i) {
        columns << kEvents[i].date;
        values << editing::fromPickers(DTPicker1[i]->date(), DTPicker1[i]->timeOfDay());
    }
    texts(true);

    return editing::saveAll(
        [&] {
            const QVariant first = gConn.scalar("SELECT OUR_WEDDING_ID FROM OUR_WEDDING ORDER BY OUR_WEDDING_ID LIMIT 1");
            if (first.isNull()) {
                const qint64 key = editing::sharedKey("OUR_WEDDING", kWeddingKey);
                const QStringList marks(columns.size() + 1, QStringLiteral("?"));
                gConn.Execute("INSERT INTO OUR_WEDDING (OUR_WEDDING_ID, " + columns.join(", ") + ") VALUES (" +
                                  marks.join(", ") + ")",
                              ado::Params{key} + values);
                modSynchro::LogChange("OUR_WEDDING", key, modSynchro::Added);
            } else {
                const qint64 key = first.toLongLong();
                gConn.Execute("UPDATE OUR_WEDDING SET " + columns.join(" = ?, ") + " = ? WHERE OUR_WEDDING_ID = ?",
                              values + ado::Params{key});
                modSynchro::LogChange("OUR_WEDDING", key, modSynchro::Changed);
            }
            AddStandardEvents();
        },
        window());
}

void frmWizard::AddStandardEvents()
{
    for (int i = 0; i < int(kEvents.size()); ++i) {
        if (!chkPlan[i]->isChecked())
            continue;
        const QString name = QString::fromLatin1(kEvents[i].name);
        const QDate day = DTPicker1[i]->date();
        // The first event of exactly that name, letter case and blanks included.
        ado::Recordset rs;
        rs.Open("SELECT EVENT_ID, EVENT_STARTDATE, EVENT_ENDDATE FROM EVENT WHERE EVENT_NAME = ? COLLATE BINARY "
                "ORDER BY EVENT_ID",
                gConn, ado::adOpenForwardOnly, ado::adLockReadOnly, {name});
        if (!rs.EOF_()) {
            const qint64 key = rs.value("EVENT_ID").toLongLong();
            // It keeps its time of day; one without a start begins at midnight.
            QDateTime at;
            const bool started = editing::storedMoment(rs.value("EVENT_STARTDATE"), at);
            const QTime time = started ? QTime(at.time().hour(), at.time().minute()) : QTime(0, 0);
            const QDateTime start = ado::convert::wallClock(day, time);
            // The end moves with the start, so the event keeps its length;
            // it never ends before it starts.
            QVariant end = rs.value("EVENT_ENDDATE");
            QDateTime oldEnd;
            if (editing::storedMoment(end, oldEnd)) {
                const qint64 shift = started ? ado::convert::wallClock(at.date(), time).secsTo(start) : 0;
                end = ado::convert::isoDateTime(std::max(oldEnd.addSecs(shift), start));
            }
            gConn.Execute("UPDATE EVENT SET EVENT_STARTDATE = ?, EVENT_ENDDATE = ? WHERE EVENT_ID = ?",
                          {editing::fromPickers(day, time), end, key});
            modSynchro::LogChange("EVENT", key, modSynchro::Changed);
            continue;
        }
        // Starting at noon, and ending there until the user says otherwise.
        const qint64 key = editing::sharedKey("EVENT", standardEventKey(i));
        const QString noon = editing::fromPickers(day, QTime(12, 0));
        gConn.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE, EVENT_ENDDATE) VALUES (?, ?, ?, ?)",
                      {key, name, noon, noon});
        modSynchro::LogChange("EVENT", key, modSynchro::Added);
    }
}

// ---------------------------------------------------------------- the other buttons

void frmWizard::Command1_Click() { handOverBudget(); }

bool frmWizard::handOverBudget()
{
    double amount = 0;
    const QString text = txtBudget->text();
    // A text that is no amount is said, never handed over as nothing.
    if (!text.trimmed().isEmpty() && !regional::readAmount(text, amount)) {
        ui::MsgBox(regional::refusal(ado::ColumnKind::Currency, text), ui::vbExclamation | ui::vbOKOnly, QString(),
                   window());
        TabStrip1->setCurrentIndex(4);
        txtBudget->setFocus();
        return false;
    }
    handedBudget_ = text.trimmed();
    frmAutoBudget& budget = frmAutoBudget::instance();
    budget.budgetAmt = amount;
    budget.Show(ui::vbModal, this);
    return true;
}

bool frmWizard::offerBudget()
{
    // The amount on the Budget page is not kept: only Auto-Budget uses it.
    const QString typed = txtBudget->text().trimmed();
    if (typed.isEmpty() || typed == handedBudget_)
        return true;
    const int answer = ui::MsgBox("The budget amount " + typed +
                                      " is not kept by the Planning Wizard: Auto-Budget shares it out over the "
                                      "budget items.  Press Yes to open Auto-Budget with it now, or No to save "
                                      "without it.",
                                  ui::vbYesNoCancel | ui::vbQuestion, QString(), window());
    if (answer == ui::vbCancel)
        return false;
    return answer == ui::vbNo || handOverBudget();
}

void frmWizard::Check1_Click()
{
    const QString value = Check1->isChecked() ? "Yes" : "No";
    settings::SaveSetting(modQVDatabase::kAppName, "Wizard", "ShowWizard", value);
    modQVDatabase::gShowWizard = value;
}

void frmWizard::Command2_Click() { Unload(); }
