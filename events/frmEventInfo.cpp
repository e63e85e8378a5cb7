#include "events/frmEventInfo.h"

#include "platform/ado/ignoring.h"
#include "platform/grid/gridex.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/messages.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/notices.h"
#include "views/frmPreview.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>

#include <algorithm>

using events::ListId;
using modQVDatabase::gConn;

namespace {

template <class W>
W* place(W* w, const char* name, int left, int top, int width, int height)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(twips::rect(left, top, width, height));
    return w;
}

QLineEdit* line(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    return static_cast<QLineEdit*>(
        editing::makeTextBox(parent, QString::fromLatin1(name), false, twips::rect(left, top, width, height)));
}

QLabel* label(QWidget* parent, const QString& text, int left, int top, int width = 1500)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(twips::rect(left, top, width, 285));
    return l;
}

// A multi-line text box: lines wrap, and Tab goes on to the next control.
QPlainTextEdit* multiLine(QWidget* parent)
{
    auto* t = new QPlainTextEdit(parent);
    t->setTabChangesFocus(true);
    t->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return t;
}

bool unsetCell(const QVariant& v)
{
    return !v.isValid() || v.isNull() || v.toString().isEmpty() || v.toString() == QLatin1String("0");
}

// A time of day alone, as it is stored: on the calendar's day zero, no seconds.
QDateTime timeOfDay(const QTime& t)
{
    return QDateTime(QDate(1899, 12, 30), QTime(t.hour(), t.minute()));
}

QTime noSeconds(const QTime& t) { return QTime(t.hour(), t.minute()); }

constexpr int kPageLeft = 120, kPageTop = 480, kPageWidth = 9540, kPageHeight = 5880;

}  // namespace

frmEventInfo::frmEventInfo() : RecordEditor(QStringLiteral("frmEventInfo")) { keepWhileOpen(curMode, curEvent); }

// ---------------------------------------------------------------- controls

void frmEventInfo::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("Event Information");
    w->setFixedSize(twipsToPixels(9780), twipsToPixels(7020));

    TabStrip1 = place(new QTabBar(w), "TabStrip1", kPageLeft, 120, kPageWidth, 360);
    TabStrip1->setExpanding(false);
    TabStrip1->setDrawBase(false);
    auto page = [&](const char* name) {
        auto* f = place(new QFrame(w), name, kPageLeft, kPageTop, kPageWidth, kPageHeight);
        f->setFrameShape(QFrame::StyledPanel);
        f->hide();
        return f;
    };

    fraOverview = page("fraOverview");
    label(fraOverview, "Event Name:", 240, 300);
    txtName = line(fraOverview, "txtName", 1800, 240, 4080, 315);
    label(fraOverview, "Start Date/Time:", 240, 780);
    dtStartDate = place(new ui::DateBox(fraOverview), "dtStartDate", 1800, 720, 1560, 315);
    dtStartTime = place(new ui::TimeBox(fraOverview), "dtStartTime", 3480, 720, 1440, 315);
    label(fraOverview, "End Date/Time:", 240, 1260);
    dtEndDate = place(new ui::DateBox(fraOverview), "dtEndDate", 1800, 1200, 1560, 315);
    dtEndTime = place(new ui::TimeBox(fraOverview), "dtEndTime", 3480, 1200, 1440, 315);
    // An event without an end (as the planning wizard makes them) keeps none.
    editing::allowEmptyMoment(dtEndDate, dtEndTime);
    label(fraOverview, "Event Budget:", 240, 1740);
    txtBudget = line(fraOverview, "txtBudget", 1800, 1680, 1560, 315);
    label(fraOverview, "Event Notes:", 240, 2220);
    txtNotes = place(multiLine(fraOverview), "txtNotes", 1800, 2160, 4080, 3360);

    // Four independent Yes/No questions, each pair in a box of its own.
    struct Question {
        const char* text;
        const char* box;
        const char* yes;
        const char* no;
        QGroupBox** frame;
        QRadioButton** optYes;
        QRadioButton** optNo;
    } questions[] = {
        {"Event Has Menu?", "optFrame", "optYesMenu", "optNoMenu", &optFrame, &optYesMenu, &optNoMenu},
        {"Event Is Decorated?", "Frame1", "optYesDecoration", "optNoDecoration", &Frame1, &optYesDecoration,
         &optNoDecoration},
        {"Event Has Music?", "Frame2", "optYesMusic", "optNoMusic", &Frame2, &optYesMusic, &optNoMusic},
        {"Event Has Playscript?", "Frame3", "optYesPlayscript", "optNoPlayscript", &Frame3, &optYesPlayscript,
         &optNoPlayscript},
    };
    int top = 240;
    for (const Question& q : questions) {
        label(fraOverview, q.text, 6240, top, 3000);
        QGroupBox* box = place(new QGroupBox(fraOverview), q.box, 6240, top + 300, 2880, 405);
        box->setFlat(true);
        *q.frame = box;
        *q.optYes = place(new QRadioButton("Yes", box), q.yes, 120, 60, 900, 285);
        *q.optNo = place(new QRadioButton("No", box), q.no, 1200, 60, 900, 285);
        for (QRadioButton* b : {*q.optYes, *q.optNo})
            QObject::connect(b, &QRadioButton::toggled, w, [this](bool on) {
                if (on)
                    ui::guarded([this] { BuildTabs(); });
            });
        top += 900;
    }

    fraLocation = page("fraLocation");
    label(fraLocation, "Location:", 240, 300);
    txtLocation = line(fraLocation, "txtLocation", 1800, 240, 7440, 315);
    label(fraLocation, "Directions:", 240, 780);
    txtDirections = place(multiLine(fraLocation), "txtDirections", 1800, 720, 7440, 4800);

    for (const events::EventList& l : events::eventLists())
        makeListPage(l.id);

    cmdSave = place(new QPushButton("Save", w), "cmdSave", 6960, 6480, 1260, 405);
    cmdCancel = place(new QPushButton("Cancel", w), "cmdCancel", 8400, 6480, 1260, 405);
    // Enter belongs to the lists' new-row lines, never to Save.
    for (QPushButton* b : w->findChildren<QPushButton*>())
        b->setAutoDefault(false);
    QObject::connect(cmdSave, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdSave_Click(); }); });
    QObject::connect(cmdCancel, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdCancel_Click(); }); });
    QObject::connect(TabStrip1, &QTabBar::tabBarClicked, w, [this](int index) {
        // A click on the tab already chosen reads its list again.
        if (index == TabStrip1->currentIndex())
            ui::guarded([this] { TabStrip1_Click(); });
    });
    QObject::connect(TabStrip1, &QTabBar::currentChanged, w, [this](int) { ui::guarded([this] { TabStrip1_Click(); }); });
}

void frmEventInfo::makeListPage(ListId id)
{
    const events::EventList& d = events::eventList(id);
    ListPage& p = lists[id];
    QWidget* w = window();
    p.frame = place(new QFrame(w), d.page, kPageLeft, kPageTop, kPageWidth, kPageHeight);
    p.frame->setFrameShape(QFrame::StyledPanel);
    p.frame->hide();
    p.label = label(p.frame, d.label, 240, 180, 7800);
    p.label->setObjectName(QString("lbl") + d.stem);
    p.grid = place(new grid::GridEX(p.frame), d.grid, 240, 540, 8040, 5040);
    p.grid->setNewRowLine(true);
    // No row is written for an event deleted while this window is open.
    p.grid->setWriteGuard([this] { return editing::ownerStillThere("EVENT", event_, window()); });
    const QString stem = QString::fromLatin1(d.stem);
    auto button = [&](const char* text, const char* what, int top) {
        auto* b = new QPushButton(text, p.frame);
        b->setObjectName("cmd" + stem + what);
        b->setGeometry(twips::rect(8400, top, 960, 405));
        return b;
    };
    p.cmdUp = button("Up", "Up", 540);
    p.cmdDown = button("Down", "Down", 1020);
    p.cmdDelete = button("Delete", "Delete", 1500);
    p.cmdPrint = button("Print", "Print", 1980);
    QObject::connect(p.cmdUp, &QPushButton::clicked, w, [this, id] { ui::guarded([this, id] { cmdUp_Click(id); }); });
    QObject::connect(p.cmdDown, &QPushButton::clicked, w,
                     [this, id] { ui::guarded([this, id] { cmdDown_Click(id); }); });
    QObject::connect(p.cmdDelete, &QPushButton::clicked, w,
                     [this, id] { ui::guarded([this, id] { cmdDelete_Click(id); }); });
    QObject::connect(p.cmdPrint, &QPushButton::clicked, w,
                     [this, id] { ui::guarded([this, id] { cmdPrint_Click(id); }); });
    QObject::connect(p.grid, &grid::GridEX::FillNewRow, w, [this, id] { grid_FillNewRow(id); });

    if (d.customColumn == 0)
        return;
    // The running order's start time is chosen on a time picker over the cell.
    dtPlayscript = new ui::TimeBox(p.frame);
    dtPlayscript->setObjectName("dtPlayscript");
    dtPlayscript->resize(twipsToPixels(1300), twipsToPixels(252));
    dtPlayscript->hide();
    p.grid->setCustomEditControl(dtPlayscript);
    grid::GridEX* g = p.grid;
    QObject::connect(g, &grid::GridEX::LoadCustomEdit, w, [this](int c) { gridPlayscript_LoadCustomEdit(c); });
    QObject::connect(g, &grid::GridEX::ShowCustomEdit, w, [this](int c, int x, int y, int wd, int h, bool show) {
        gridPlayscript_ShowCustomEdit(c, x, y, wd, h, show);
    });
    QObject::connect(g, &grid::GridEX::StoreCustomEdit, w, [this](int c) { gridPlayscript_StoreCustomEdit(c); });
}

void frmEventInfo::releaseControls()
{
    TabStrip1 = nullptr;
    fraOverview = fraLocation = nullptr;
    txtName = txtBudget = txtLocation = nullptr;
    dtStartDate = dtEndDate = nullptr;
    dtStartTime = dtEndTime = dtPlayscript = nullptr;
    txtNotes = txtDirections = nullptr;
    optFrame = Frame1 = Frame2 = Frame3 = nullptr;
    optYesMenu = optNoMenu = optYesDecoration = optNoDecoration = nullptr;
    optYesMusic = optNoMusic = optYesPlayscript = optNoPlayscript = nullptr;
    cmdSave = cmdCancel = nullptr;
    lists = {};
    front_ = nullptr;
}

// ---------------------------------------------------------------- the record

void frmEventInfo::Form_Load()
{
    mode_ = curMode;
    event_ = mode_ == Mode::Edit ? curEvent : 0;
    ClearForm();
    if (mode_ == Mode::Edit ? !LoadEvent() : !NewEvent()) {
        Unload();
        return;
    }
    boxesSaved();
    window()->raise();
    bringToFront(fraOverview);
}

void frmEventInfo::ClearForm()
{
    for (QLineEdit* e : {txtName, txtBudget, txtLocation})
        e->clear();
    txtNotes->clear();
    txtDirections->clear();
    const QDateTime now = QDateTime::currentDateTime();
    dtStartDate->setDate(now.date());
    dtStartTime->setTime(now.time());
    dtEndDate->setDate(QDate());
    dtEndTime->setTime(QTime());
}

bool frmEventInfo::NewEvent()
{
    // Noon today, as a new event starts and ends.
    const QString noon = editing::fromPickers(QDate::currentDate(), QTime(12, 0));
    qint64 key = 0;
    const bool made = editing::saveAll(
        [&] {
            key = gConn.reserveKey("EVENT");
            gConn.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_STARTDATE, EVENT_ENDDATE, EVENT_NAME, EVENT_LOCATION, "
                          "EVENT_DIRECTIONS) VALUES (?, ?, ?, '', '', '')",
                          {key, noon, noon});
            // Logged at once, so the other copy receives the event and its lists.
            modSynchro::LogChange("EVENT", key, modSynchro::Added);
        },
        window(), "The new event could not be created.");
    if (!made)
        return false;
    event_ = key;
    curEvent = key;
    return LoadEvent();
}

bool frmEventInfo::LoadEvent()
{
    const std::pair<const char*, std::pair<QRadioButton*, QRadioButton*>> flags[] = {
        {"EVENT_HASFOOD", {optYesMenu, optNoMenu}},
        {"EVENT_HASDECORATION", {optYesDecoration, optNoDecoration}},
        {"EVENT_HASMUSIC", {optYesMusic, optNoMusic}},
        {"EVENT_HASPLAYSCRIPT", {optYesPlayscript, optNoPlayscript}},
    };
    record_.boxes = [this, flags] {
        editing::ShownBoxes shown = {{"EVENT_NAME", txtName},         {"EVENT_STARTDATE", dtStartDate},
                                     {"EVENT_ENDDATE", dtEndDate},    {"EVENT_BUDGET", txtBudget},
                                     {"EVENT_TEXT", txtNotes},        {"EVENT_LOCATION", txtLocation},
                                     {"EVENT_DIRECTIONS", txtDirections}};
        for (const auto& [column, pair] : flags)
            shown.push_back({column, pair.first->parentWidget()});
        return shown;
    };
    QString why;
    switch (record_.read("EVENT", event_, [&](ado::Recordset& rs) {
        txtName->setText(rs.value("EVENT_NAME").toString());
        editing::toPickers(rs.value("EVENT_STARTDATE"), dtStartDate, nullptr);
        dtPlayscript->setTime(dtStartTime->time());
        editing::toPickers(rs.value("EVENT_STARTDATE"), nullptr, dtStartTime);
        editing::toPickers(rs.value("EVENT_ENDDATE"), dtEndDate, dtEndTime);
        txtBudget->setText(editing::storedText(rs.value("EVENT_BUDGET")));
        txtNotes->setPlainText(rs.value("EVENT_TEXT").toString());
        txtLocation->setText(rs.value("EVENT_LOCATION").toString());
        txtDirections->setPlainText(rs.value("EVENT_DIRECTIONS").toString());
        for (const auto& [column, pair] : flags)
            (rs.value(column).toBool() ? pair.first : pair.second)->setChecked(true);
    }, &why)) {
    case editing::RecordAsRead::Read::Shown:
        BuildTabs();
        return true;
    case editing::RecordAsRead::Read::Missing:
        // Lists typed into an event that is gone would belong to nothing.
        ui::MsgBox("This event no longer exists. It may have been deleted.", ui::vbExclamation | ui::vbOKOnly);
        return false;
    case editing::RecordAsRead::Read::Failed:
        break;
    }
    ui::MsgBox(QString(editing::kRecordUnread) + "\n\n" + why, ui::vbExclamation | ui::vbOKOnly, QString(), window());
    return false;
}

frmEventInfo::Saved frmEventInfo::SaveEvent()
{
    if (editing::knownGone("EVENT", event_)) {
        ui::MsgBox("This event has been deleted, so it cannot be saved.", ui::vbExclamation | ui::vbOKOnly, QString(),
                   window());
        return Saved::Gone;
    }
    const QString start = editing::fromPickers(dtStartDate->date(), noSeconds(dtStartTime->time()));
    QVariant end;
    try {
        end = editing::momentOf(dtEndDate, dtEndTime, true);
    } catch (const ado::Error& e) {
        ui::RefusedSave(e.description(), window());
        return Saved::Refused;
    }
    if (!end.isNull() && end.toString() < start) {
        ui::MsgBox(kEndBeforeStart, ui::vbExclamation | ui::vbOKOnly, QString(), window());
        dtEndDate->setFocus();
        return Saved::Refused;
    }
    switch (editing::saveChanges(record_, [&](ado::Recordset& rs) {
        rs.setValue("EVENT_NAME", txtName->text());
        rs.setValue("EVENT_STARTDATE", start);
        rs.setValue("EVENT_ENDDATE", end);
        rs.setValue("EVENT_BUDGET", txtBudget->text());
        rs.setValue("EVENT_TEXT", txtNotes->toPlainText());
        rs.setValue("EVENT_LOCATION", txtLocation->text());
        rs.setValue("EVENT_DIRECTIONS", txtDirections->toPlainText());
        rs.setValue("EVENT_HASFOOD", optYesMenu->isChecked());
        rs.setValue("EVENT_HASDECORATION", optYesDecoration->isChecked());
        rs.setValue("EVENT_HASMUSIC", optYesMusic->isChecked());
        rs.setValue("EVENT_HASPLAYSCRIPT", optYesPlayscript->isChecked());
    }, window())) {
    case editing::SaveOutcome::Saved:
        return Saved::Yes;
    case editing::SaveOutcome::Gone:
        return Saved::Gone;
    case editing::SaveOutcome::Refused:
        break;
    }
    return Saved::Refused;
}

bool frmEventInfo::save()
{
    const Saved s = SaveEvent();
    if (s == Saved::Refused)
        return false;
    if (s == Saved::Yes)
        emit records::notices().eventSaved();
    else
        emit records::notices().rowsChanged(records::MainList::Events);
    return true;
}

void frmEventInfo::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmEventInfo::cmdCancel_Click()
{
    // A new event's row is kept and shows in the events grid.
    emit records::notices().rowsChanged(records::MainList::Events);
    closeAsIs();
}

void frmEventInfo::Form_Unload(bool&)
{
    for (ListPage& p : lists)
        p.rs.reset();
    curMode = Mode::Add;
    curEvent = 0;
    mode_ = Mode::Add;
    event_ = 0;
}

// ---------------------------------------------------------------- pages and tabs

void frmEventInfo::bringToFront(QFrame* page)
{
    if (!page)
        return;
    for (QFrame* f : {fraOverview, fraLocation})
        if (f != page)
            f->hide();
    for (ListPage& p : lists)
        if (p.frame != page)
            p.frame->hide();
    page->show();
    page->raise();
    front_ = page;
}

void frmEventInfo::BuildTabs()
{
    const QSignalBlocker quiet(TabStrip1);
    while (TabStrip1->count() > 0)
        TabStrip1->removeTab(0);
    auto add = [this](const QString& caption, const QString& key) {
        TabStrip1->setTabData(TabStrip1->addTab(caption), key);
    };
    add("Overview", "eventOverview");
    add("Location", "eventLocation");
    const QRadioButton* noOptions[] = {optNoMenu, optNoDecoration, optNoMusic, optNoPlayscript};
    for (const events::EventList& l : events::eventLists())
        if (!noOptions[l.id]->isChecked())
            add(l.tab, l.tabKey);
    // The page in front stays; its tab is the chosen one when it is still offered.
    for (int i = 0; i < TabStrip1->count(); ++i) {
        const QString caption = TabStrip1->tabText(i);
        if ((front_ == fraOverview && caption == "Overview") || (front_ == fraLocation && caption == "Location")) {
            TabStrip1->setCurrentIndex(i);
            break;
        }
    }
}

void frmEventInfo::TabStrip1_Click()
{
    const int i = TabStrip1->currentIndex();
    if (i < 0)
        return;
    const QString caption = TabStrip1->tabText(i);
    if (caption == "Overview") {
        bringToFront(fraOverview);
    } else if (caption == "Location") {
        bringToFront(fraLocation);
    } else {
        for (const events::EventList& l : events::eventLists())
            if (caption == QLatin1String(l.tab)) {
                bringToFront(lists[l.id].frame);
                LoadList(l.id);
            }
    }
}

// ---------------------------------------------------------------- the lists

void frmEventInfo::LoadList(ListId id)
{
    const events::EventList& d = events::eventList(id);
    ListPage& p = lists[id];
    if (d.customColumn && dtPlayscript)
        dtPlayscript->hide();
    // A row typed into the new-row line and not stored yet outlives the list
    // read again (its page left and chosen anew, a row moved).
    const auto given = [](const QVariant& v) { return v.isValid() && !v.isNull() && !v.toString().isEmpty(); };
    QVector<QVariant> typed;
    for (int c = 1; c <= p.grid->columnCount(); ++c)
        typed << p.grid->value(grid::GridEX::kNewRowLine, c);
    const bool typing = std::any_of(typed.begin(), typed.end(), given);
    auto rs = ado::Recordset::create();
    editing::readList(
        [&] { rs->Open(events::listQuery(d), gConn, ado::adOpenKeyset, ado::adLockOptimistic, {QVariant(event_)}); },
        window());
    p.rs = rs;
    grid::GridEX* g = p.grid;
    g->bind(rs);
    g->setColumnHidden(1);
    if (d.orderWidthZero)
        g->setColumnWidth(2, 0);
    else
        g->setColumnHidden(2);
    // The hidden values are the program's, never typed.
    g->setColumnEditType(1, grid::etReadOnly);
    g->setColumnEditType(2, grid::etReadOnly);
    for (int i = 0; i < d.widths.size(); ++i)
        g->setColumnWidth(3 + i, d.widths[i]);
    if (d.customColumn)
        g->setColumnEditType(d.customColumn, grid::etCustom);
    const int n = rs->RecordCount();
    if (n > 0) {
        maxOrder_[id] = rs->cell(n - 1, 1).toLongLong();
        g->setCurrentRow(rowToSelect >= 2 ? rowToSelect : 1);
    } else {
        maxOrder_[id] = 0;
    }
    if (typing && typed.size() == g->columnCount()) {
        const int selected = g->currentRow();
        g->setCurrentRow(grid::GridEX::kNewRowLine);
        for (int c = 1; c <= typed.size(); ++c)
            if (given(typed[c - 1]))
                g->setCurrentValue(c, typed[c - 1]);
        if (n > 0)
            g->setCurrentRow(selected);
    }
}

void frmEventInfo::grid_FillNewRow(ListId id)
{
    grid::GridEX* g = lists[id].grid;
    if (unsetCell(g->currentValue(1)))
        g->setCurrentValue(1, event_);
    if (unsetCell(g->currentValue(2)))
        g->setCurrentValue(2, ++maxOrder_[id]);
}

qint64 frmEventInfo::lineKey(ListId id, int line) const
{
    const ListPage& p = lists[id];
    const int record = p.grid->recordOfRow(line);
    return record >= 0 && p.rs ? p.rs->rowKey(record, 0).toLongLong() : 0;
}

void frmEventInfo::moveLine(ListId id, int step)
{
    const events::EventList& d = events::eventList(id);
    grid::GridEX* g = lists[id].grid;
    const int r = g->currentRow();
    if (g->recordOfRow(r) < 0) {
        ui::MsgBox(events::kEnterInTopRow);
        return;
    }
    const int to = r + step;
    if (step < 0 ? g->recordOfRow(to) < 0 : g->recordOfRow(r) + 1 >= g->rowCount()) {
        ui::MsgBox(step < 0 ? d.topMessage : d.lastMessage);
        return;
    }
    if (!editing::ownerStillThere("EVENT", event_, window()))
        return;
    // The two rows are named by their keys; a refusal leaves both as they were.
    bool moved = false;
    if (editing::saveAll([&] { moved = events::moveRow(d, event_, lineKey(id, r), lineKey(id, to)); }, window())
        && moved)
        rowToSelect = to;
    LoadList(id);
}

void frmEventInfo::cmdUp_Click(ListId id) { moveLine(id, -1); }

void frmEventInfo::cmdDown_Click(ListId id) { moveLine(id, 1); }

void frmEventInfo::cmdDelete_Click(ListId id)
{
    const events::EventList& d = events::eventList(id);
    grid::GridEX* g = lists[id].grid;
    const int r = g->currentRow();
    if (g->recordOfRow(r) < 0) {
        ui::MsgBox(d.noSelection);
        return;
    }
    const QString question = QString::fromLatin1(d.deletePrefix) + g->text(r, 3) + ".";
    if (ui::MsgBox(question, ui::vbOKCancel, d.deleteTitle, window()) != ui::vbOK)
        return;
    const qint64 key = lineKey(id, r);
    editing::saveAll([&] { events::deleteRow(d, key); }, window());
    LoadList(id);
}

void frmEventInfo::cmdPrint_Click(ListId id)
{
    const events::EventList& d = events::eventList(id);
    // The name as typed, saved or not.
    report::ShowGridPreview(*lists[id].grid, *window(), 1440, d.printHeader + txtName->text(),
                            report::ComesBack::AsItWas);
}

void frmEventInfo::gridPlayscript_LoadCustomEdit(int column)
{
    if (column != events::eventList(events::Playscript).customColumn)
        return;
    const QVariant v = gridPlayscript()->currentValue(column);
    if (!v.isValid() || v.isNull() || v.toString().isEmpty()) {
        dtPlayscript->setTime(dtStartTime->time());
        return;
    }
    QDateTime dt = v.toDateTime();
    if (dt.isValid() || ado::convert::parseDateTime(v.toString(), dt))
        dtPlayscript->setTime(dt.time());
}

void frmEventInfo::gridPlayscript_ShowCustomEdit(int column, int x, int y, int width, int, bool show)
{
    if (column != events::eventList(events::Playscript).customColumn)
        return;
    grid::GridEX* g = gridPlayscript();
    if (show) {
        // Over the cell, a little above its top edge, as high as the picker itself.
        dtPlayscript->setGeometry(twipsToPixels(pixelsToTwips(g->x()) + x),
                                  twipsToPixels(pixelsToTwips(g->y()) + y - 40), twipsToPixels(width),
                                  dtPlayscript->height());
        dtPlayscript->show();
        dtPlayscript->raise();
        dtPlayscript->setFocus();
    } else {
        // What was typed and not stored is dropped, without a word.
        dtPlayscript->revert();
        if (dtPlayscript->hasFocus())
            g->tableView()->setFocus();
        dtPlayscript->hide();
    }
}

void frmEventInfo::gridPlayscript_StoreCustomEdit(int column)
{
    if (column != events::eventList(events::Playscript).customColumn)
        return;
    gridPlayscript()->setCurrentValue(column, timeOfDay(dtPlayscript->time()));
}
