#include "seating/frmSeating.h"

#include "platform/ado/ignoring.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/celltip.h"
#include "platform/ui/dragdrop.h"
#include "platform/ui/messages.h"
#include "records/editing.h"
#include "records/frmDeleteSingle.h"
#include "records/modQVDatabase.h"
#include "records/notices.h"
#include "seating/seatingdata.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>
#include <optional>

using namespace seating;
using modQVDatabase::gConn;

namespace {

const QString kAddTableHint = QStringLiteral("Add a new table by pressing the New Table button.");
const QString kTooMany = QStringLiteral("Too many guests for this table select a larger size.");
const QString kNoEventForTable = QStringLiteral("There is no event to add a table to.  Please add an event first.");
const QString kRoot = QStringLiteral("ROOT");
// A party without a name stands under a node of its own with this text.
const QString kNamelessParty = QStringLiteral("Unnamed");

template <class W>
W* place(W* w, const char* name, int left, int top, int width, int height)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(twips::rect(left, top, width, height));
    return w;
}

QString key(const tree::Node* n) { return tree::TreeView::key(n); }

bool isNameless(const QVariant& partyName) { return partyName.isNull() || partyName.toString().isEmpty(); }

}  // namespace

// ---------------------------------------------------------------- controls

void frmSeating::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("Seating Designer");
    auto* box = new QVBoxLayout(w);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->setSizeConstraint(QLayout::SetFixedSize);
    menuBar = new QMenuBar(w);
    menuBar->setObjectName("menuBar");
    box->setMenuBar(menuBar);
    // The designed places fit the classic 8-point dialog font.
    QFont dialogFont = w->font();
    dialogFont.setPointSizeF(8);
    w->setFont(dialogFont);
    client = new QWidget(w);
    client->setObjectName("client");
    client->setFixedSize(twipsToPixels(10920), twipsToPixels(6132));
    box->addWidget(client);

    mnuFile = menuBar->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuFileExit = mnuFile->addAction("&Exit");
    mnuFileExit->setObjectName("mnuFileExit");
    mnuTables = menuBar->addMenu("&Tables");
    mnuTables->setObjectName("mnuTables");
    mnuTablesAdd = mnuTables->addAction("&Add Table");
    mnuTablesAdd->setObjectName("mnuTablesAdd");
    mnuTablesDelete = mnuTables->addAction("&Delete Table");
    mnuTablesDelete->setObjectName("mnuTablesDelete");

    QWidget* c = client;
    using editing::makeButton;
    using editing::makeLabel;
    Label1 = makeLabel(c, "Label1", "Invited - Unassigned Seating", twips::rect(240, 120, 2532, 252));
    treeInvited = place(new tree::TreeView(c), "treeInvited", 240, 360, 2532, 5412);
    Label2 = makeLabel(c, "Label2", "Tables - Seating Assignments", twips::rect(3000, 120, 2292, 252));
    treeTables = place(new tree::TreeView(c), "treeTables", 3000, 360, 2652, 5172);
    Command1 = makeButton(c, "Command1", "New Table", twips::rect(3240, 5640, 1092, 372), [this] { Command1_Click(); });
    Label3 = makeLabel(c, "Label3", "Event:", twips::rect(6480, 120, 732, 252));
    cmbEvents = place(new ui::ListBox(c), "cmbEvents", 7320, 120, 1812, 288);
    Frame1 = place(new QGroupBox("# of Seats for Table", c), "Frame1", 6360, 600, 3372, 612);
    Picture1 = place(new QWidget(Frame1), "Picture1", 120, 200, 3132, 372);
    static const char* const optCaptions[] = {"4", "6", "8", "10", "12", "16"};
    // In a row, each as wide as its caption needs, the room left shared out.
    int needed = 0;
    for (int i = 0; i < 6; ++i) {
        optSeats[i] = new QRadioButton(optCaptions[i], Picture1);
        optSeats[i]->setObjectName(QString("optSeats%1").arg(i));
        needed += optSeats[i]->sizeHint().width();
    }
    const int spare = std::max(0, Picture1->width() - needed) / 6;
    for (int i = 0, x = 0; i < 6; ++i) {
        const int width = optSeats[i]->sizeHint().width() + spare;
        optSeats[i]->setGeometry(x, (Picture1->height() - optSeats[i]->sizeHint().height()) / 2, width,
                                 optSeats[i]->sizeHint().height());
        x += width;
    }

    // The diagram: the shape under its name and the re-arrange button, the
    // seat boxes round it.
    shapeTable = place(new TableShape(c), "shapeTable", int(kTableShape.left), int(kTableShape.top),
                       int(kTableShape.width), int(kTableShape.height));
    lblTableName = makeLabel(c, "lblTableName", QString(), twips::rect(7080, 2640, 2292, 732));
    lblTableName->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblTableName->setWordWrap(true);
    cmdRearrange = makeButton(c, "cmdRearrange", "Re-arrange", twips::rect(7680, 3600, 1092, 612),
                              [this] { cmdRearrange_Click(); });
    lblTooMany = makeLabel(c, "lblTooMany", QString(), twips::rect(6120, 1200, 3612, 252));
    lblTooMany->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    for (int i = 0; i < kSeatBoxes; ++i) {
        picSeat[i] = new SeatBox(c, i);
        picSeat[i]->onMouseDown = [this](int index, int button, int shift, QPointF pos) {
            ui::guarded([&] { picSeat_MouseDown(index, button, shift, pos); });
        };
        picSeat[i]->onMouseMove = [this](int index, int button, int shift, QPointF pos) {
            ui::guarded([&] { picSeat_MouseMove(index, button, shift, pos); });
        };
        ui::setDropTarget(picSeat[i], {{}, [this, i](QWidget* source, QPoint pos) {
                                           ui::guarded([&] { picSeat_DragDrop(i, source, QPointF(pos) * twips::kTwipsPerPixel); });
                                       }});
    }

    for (int i = 0; i < 6; ++i)
        // Only a click writes; a button chosen from code stays quiet.
        QObject::connect(optSeats[i], &QRadioButton::clicked, w, [this, i] { ui::guarded([&] { optSeats_Click(i); }); });
    QObject::connect(cmbEvents, &QComboBox::currentIndexChanged, w, [this] { ui::guarded([this] { cmbEvents_Click(); }); });
    QObject::connect(mnuFileExit, &QAction::triggered, w, [this] { ui::guarded([this] { mnuFileExit_Click(); }); });
    QObject::connect(mnuTablesAdd, &QAction::triggered, w, [this] { ui::guarded([this] { mnuTablesAdd_Click(); }); });
    QObject::connect(mnuTablesDelete, &QAction::triggered, w,
                     [this] { ui::guarded([this] { mnuTablesDelete_Click(); }); });

    QObject::connect(treeInvited, &tree::TreeView::mouseDown, w, [this](int b, int s, QPoint p) {
        ui::guarded([&] { treeInvited_MouseDown(b, s, p); });
    });
    QObject::connect(treeInvited, &tree::TreeView::mouseMove, w, [this](int b, int s, QPoint p) {
        ui::guarded([&] { treeInvited_MouseMove(b, s, p); });
    });
    QObject::connect(treeTables, &tree::TreeView::mouseDown, w, [this](int b, int s, QPoint p) {
        ui::guarded([&] { treeTables_MouseDown(b, s, p); });
    });
    QObject::connect(treeTables, &tree::TreeView::mouseMove, w, [this](int b, int s, QPoint p) {
        ui::guarded([&] { treeTables_MouseMove(b, s, p); });
    });
    ui::setDropTarget(treeTables->viewport(),
                      {[this](QWidget* source, QPoint pos, int state) {
                           ui::guarded([&] { treeTables_DragOver(source, pos, state); });
                       },
                       [this](QWidget* source, QPoint pos) { ui::guarded([&] { treeTables_DragDrop(source, pos); }); }});
    ui::setDropTarget(treeInvited->viewport(),
                      {{}, [this](QWidget* source, QPoint pos) { ui::guarded([&] { treeInvited_DragDrop(source, pos); }); }});
    treeTables->beforeLabelEdit = [this](tree::Node* n) {
        bool cancel = false;
        ui::guarded([&] { treeTables_BeforeLabelEdit(cancel, n); });
        return cancel;
    };
    treeTables->afterLabelEdit = [this](tree::Node* n, const QString& text) {
        bool cancel = false;
        if (!ui::guarded([&] { treeTables_AfterLabelEdit(cancel, n, text); }))
            cancel = true;
        return cancel;
    };
    // The invited tree's names are not edited.
    treeInvited->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (tree::TreeView* t : {treeInvited, treeTables}) {
        t->setChildLoader([this, t](tree::Node* n) { loadPeople(t, n); });
        t->setNodeFinder([this, t](const QString& k) { findPerson(t, k); });
    }

    records::answerWhileLoaded(*this, &records::Notices::recordDeleted, [this](records::DeleteKind kind, qint64) {
        if (kind == records::DeleteKind::Table)
            GetInvitees();
    });
}

void frmSeating::releaseControls()
{
    if (ui::isDragging())
        ui::cancelDrag();
    menuBar = nullptr;
    mnuFile = mnuTables = nullptr;
    mnuFileExit = mnuTablesAdd = mnuTablesDelete = nullptr;
    client = Picture1 = nullptr;
    Label1 = Label2 = Label3 = lblTableName = lblTooMany = nullptr;
    cmbEvents = nullptr;
    treeInvited = treeTables = nullptr;
    Command1 = cmdRearrange = nullptr;
    Frame1 = nullptr;
    optSeats.fill(nullptr);
    shapeTable = nullptr;
    picSeat.fill(nullptr);
    WorkNode = DragNode = {};
}

// ---------------------------------------------------------------- opening and the event

void frmSeating::Form_Load()
{
    LastSeatPos = 0;
    // The diagram starts empty, so nothing acts on the table of an earlier opening.
    curTable = 0;
    Dragging = false;
    WorkNode = {};
    LoadEvents();
    HideSeats();
    GetInvitees();
    DragNode = {treeTables, kRoot};
    enableTableControls();
    window()->raise();
}

void frmSeating::LoadEvents()
{
    EventsLoaded = false;
    EventIDs = {0};
    cmbEvents->clear();
    // Read afresh at each opening, so events added since the main window
    // last filled its own list are offered too.
    ado::ignoringErrors([&] {
        ado::Recordset rs;
        rs.Open("SELECT EVENT_ID, EVENT_NAME FROM EVENT", gConn, ado::adOpenForwardOnly, ado::adLockReadOnly);
        for (int r = 0; r < rs.RecordCount(); ++r) {
            cmbEvents->addItem(rs.cell(r, 1).toString());
            EventIDs << rs.cell(r, 0).toLongLong();
        }
    });
    if (cmbEvents->count() > 0)
        cmbEvents->setCurrentIndex(0);
    for (int k = 1; k < EventIDs.size(); ++k)
        if (EventIDs[k] == curEvent)
            cmbEvents->setCurrentIndex(k - 1);
    EventsLoaded = true;
    curEvent = EventIDs.value(cmbEvents->currentIndex() + 1, 0);
}

void frmSeating::cmbEvents_Click()
{
    if (!EventsLoaded)
        return;
    curEvent = EventIDs.value(cmbEvents->currentIndex() + 1, 0);
    HideSeats();
    ShowTable(0);
    GetInvitees();
}

// ---------------------------------------------------------------- the trees

void frmSeating::GetInvitees()
{
    if (!treeInvited)
        return;
    // An event deleted meanwhile is offered no longer, and once that was
    // said (a write refused under it) nothing more is said of it.
    const bool eventGone = curEvent != 0 && editing::knownGone("EVENT", curEvent);
    if (eventGone)
        LoadEvents();
    QVector<TableInfo> tables;
    QSet<qint64> seatedAtTable;
    ado::ignoringErrors([&] { tables = eventTables(curEvent); });
    ado::ignoringErrors([&] { seatedAtTable = tablesWithPeople(curEvent); });

    treeInvited->setUpdatesEnabled(false);
    treeTables->setUpdatesEnabled(false);
    treeInvited->clearNodes();
    treeTables->clearNodes();
    namelessParties_.clear();
    sharedParties_.clear();
    partyKeys_.reset();
    // Both trees are built apart and go in whole. Parties and tables come
    // first; the people under each when it is opened (see loadPeople).
    tree::Node* invitedRoot = treeInvited->detachedRoot(kRoot, "Invited");
    tree::Node* tablesRoot = treeTables->detachedRoot(kRoot, "Tables");

    QSet<qint64> tableIds;
    for (const TableInfo& t : tables) {
        tree::Node* n = treeTables->add(tablesRoot, "T" + QString::number(t.tableId), t.text());
        if (n && seatedAtTable.contains(t.tableId))
            treeTables->setChildrenLater(n);
        tableIds.insert(t.tableId);
    }
    treeTables->attach(tablesRoot);
    tablesRoot->setExpanded(true);
    treeTables->setSelectedNode(tablesRoot);

    // Parties one after the other with the same name share a node.
    std::optional<QString> lastParty;
    QString lastKey;
    ado::ignoringErrors([&] {
        forEachWaitingParty(curEvent, [&](qint64 guestId, const QVariant& name) {
            const QString k = "G" + QString::number(guestId);
            tree::Node* party = nullptr;
            if (isNameless(name)) {
                // They come first; each party a node of its own.
                party = treeInvited->add(invitedRoot, k, kNamelessParty);
                namelessParties_.insert(k);
                lastParty.reset();
            } else if (!lastParty || *lastParty != name.toString()) {
                lastParty = name.toString();
                lastKey = k;
                party = treeInvited->add(invitedRoot, k, *lastParty);
            } else {
                sharedParties_[lastKey] << guestId;
            }
            if (party)
                treeInvited->setChildrenLater(party);
        });
    });
    treeInvited->attach(invitedRoot);
    invitedRoot->setExpanded(true);
    treeInvited->setSelectedNode(invitedRoot);
    treeInvited->setUpdatesEnabled(true);
    treeTables->setUpdatesEnabled(true);

    // A table deleted meanwhile is no longer the current one.
    if (curTable != 0 && !tableIds.contains(curTable))
        ShowTable(0);
    if (tables.isEmpty() && !eventGone)
        ui::MsgBox(kAddTableHint, ui::vbOKOnly, QString(), window());
}

void frmSeating::loadPeople(tree::TreeView* t, tree::Node* n)
{
    const QString k = key(n);
    if (t == treeTables) {
        QVector<SeatedPerson> seated;
        ado::ignoringErrors([&] { seated = seatedAt(curEvent, keyNumber(k)); });
        for (const SeatedPerson& p : seated)
            treeTables->add(n, "S" + QString::number(p.subguestId), p.name());
        return;
    }
    // Each party the node stands for, by key: no party of another name is read.
    QVector<qint64> parties = QVector<qint64>{keyNumber(k)} + sharedParties_.value(k);
    std::sort(parties.begin(), parties.end());
    QVector<Invitee> people;
    ado::ignoringErrors([&] {
        QVector<Invitee> read;
        for (const qint64 guest : parties)
            read += waitingOfParty(curEvent, guest);
        people = read;
    });
    for (const Invitee& p : people)
        treeInvited->add(n, "S" + QString::number(p.subguestId), p.name());
}

void frmSeating::findPerson(tree::TreeView* t, const QString& k)
{
    if (!k.startsWith('S'))
        return;
    const qint64 person = keyNumber(k);
    if (t == treeTables) {
        QVector<qint64> at;
        ado::ignoringErrors([&] { at = tablesOfPerson(curEvent, person); });
        for (qint64 table : at)
            treeTables->loadChildren(treeTables->node("T" + QString::number(table)));
        return;
    }
    std::optional<Invitee> p;
    ado::ignoringErrors([&] { p = invitedPerson(curEvent, person); });
    if (!p)
        return;
    if (isNameless(p->partyName)) {
        treeInvited->loadChildren(treeInvited->node("G" + QString::number(p->guestId)));
        return;
    }
    // The parties' nodes by name, gathered when first needed.
    if (!partyKeys_) {
        partyKeys_.emplace();
        const tree::Node* root = treeInvited->node(kRoot);
        for (int i = 0; root && i < root->childCount(); ++i)
            if (!namelessParties_.contains(key(root->child(i))))
                partyKeys_->insert(root->child(i)->text(0), key(root->child(i)));
    }
    const QString node = partyKeys_->value(p->partyName.toString());
    if (!node.isEmpty())
        shareNode(node, p->guestId);
    treeInvited->loadChildren(treeInvited->node(node));
}

void frmSeating::shareNode(const QString& node, qint64 guestId)
{
    // A party that had nobody waiting when the tree was built.
    QVector<qint64>& shared = sharedParties_[node];
    if (keyNumber(node) != guestId && !shared.contains(guestId))
        shared << guestId;
}

tree::Node* frmSeating::partyNode(const Invitee& p)
{
    tree::Node* root = treeInvited->node(kRoot);
    const QString k = "G" + QString::number(p.guestId);
    if (tree::Node* n = treeInvited->node(k))
        return n;
    if (!root)
        return nullptr;
    const bool nameless = isNameless(p.partyName);
    const QString name = nameless ? kNamelessParty : p.partyName.toString();
    int at = 0;
    for (; at < root->childCount(); ++at) {
        tree::Node* c = root->child(at);
        const bool cNameless = namelessParties_.contains(key(c));
        if (!nameless && !cNameless && c->text(0) == name) {
            shareNode(key(c), p.guestId);
            return c;  // the node of a party of the same name
        }
        // Nameless parties come first, the others by name.
        if (nameless ? !cNameless : (!cNameless && c->text(0).compare(name, Qt::CaseInsensitive) > 0))
            break;
    }
    if (nameless)
        namelessParties_.insert(k);
    else if (partyKeys_)
        partyKeys_->insert(name, k);
    return treeInvited->insert(root, at, k, name);
}

void frmSeating::addToInvitedTree(const Invitee& p, bool reveal)
{
    tree::Node* party = partyNode(p);
    if (!party)
        return;
    // A party not opened yet reads its people, him among them.
    treeInvited->loadChildren(party);
    const QString k = "S" + QString::number(p.subguestId);
    tree::Node* n = treeInvited->add(party, k, p.name());
    if (!n)
        n = treeInvited->node(k);
    if (reveal && n)
        treeInvited->ensureVisible(n);
}

// ---------------------------------------------------------------- tables

void frmSeating::AddTable()
{
    write([&] { addTable(curEvent); });
    GetInvitees();
}

void frmSeating::Command1_Click() { mnuTablesAdd_Click(); }

void frmSeating::mnuTablesAdd_Click()
{
    if (curEvent == 0) {
        ui::MsgBox(kNoEventForTable, ui::vbOKOnly, QString(), window());
        return;
    }
    AddTable();
}

void frmSeating::optSeats_Click(int index)
{
    if (curTable == 0 || index < 0 || index >= int(kSeatCounts.size()))
        return;
    // Refused (the table was deleted meanwhile): the trees as stored.
    if (!write([&] { setTableSeats(curTable, kSeatCounts[index]); }))
        GetInvitees();
    ShowTable(curTable);
}

void frmSeating::cmdRearrange_Click() { RearrangeSeats(); }

void frmSeating::RearrangeSeats()
{
    if (curTable == 0)
        return;
    QVector<SeatedPerson> rows;
    std::optional<TableInfo> table;
    ado::ignoringErrors([&] {
        rows = tableSeating(curEvent, curTable);
        table = tableOf(curTable);
    });
    const int n = int(rows.size());
    if (n > 0 && table && n > table->seats) {
        ui::MsgBox("Please select a table with at least " + QString::number(n) + " seats.\r\n"
                       + "You may also reduce the guests at this table by dragging their names to other table "
                         "positions.",
                   ui::vbOKOnly, QString(), window());
    } else if (n > 0) {
        QVector<int> positions(n);
        std::iota(positions.begin(), positions.end(), 0);
        write([&] { storePositions(curTable, rows, positions); });
    }
    ShowTable(curTable);
}

void frmSeating::mnuTablesDelete_Click()
{
    tree::Node* sel = treeTables->selectedNode();
    if (!sel)
        return;
    DragNode = {treeTables, key(sel)};
    if (!key(sel).startsWith('T'))
        return;
    NodeTableID = keyNumber(key(sel));
    frmDeleteSingle& d = frmDeleteSingle::instance();
    d.delID = NodeTableID;
    d.delMode = records::DeleteKind::Table;
    d.delString = sel->text(0);
    d.Show(ui::vbModal, this);
}

void frmSeating::mnuFileExit_Click() { Unload(); }

void frmSeating::enableTableControls()
{
    if (!Frame1)
        return;
    Frame1->setEnabled(curTable != 0);
    cmdRearrange->setEnabled(curTable != 0);
}

bool frmSeating::write(const std::function<void()>& steps) { return editing::saveAll(steps, window()); }

// ---------------------------------------------------------------- mouse in the trees

void frmSeating::treeInvited_MouseDown(int, int, QPoint pos)
{
    tree::Node* n = treeInvited->nodeAt(pos);
    treeInvited->setDropHighlight(n);
    if (n) {
        treeInvited->setSelectedNode(n);
        DragNode = {treeInvited, key(n)};
    }
    DragSourceTree = "treeInvited";
    pressedAt_ = pos;
}

void frmSeating::treeTables_MouseDown(int button, int, QPoint pos)
{
    tree::Node* n = treeTables->nodeAt(pos);
    treeTables->setDropHighlight(n);
    if (button != 1) {
        if (n)
            treeTables->setSelectedNode(n);
        mnuTables->popup(treeTables->viewport()->mapToGlobal(pos));
        return;
    }
    if (n) {
        treeTables->setSelectedNode(n);
        DragNode = {treeTables, key(n)};
        const QString k = key(n);
        if (k.startsWith('T') || k.startsWith('S')) {
            NodeTableID = keyNumber(k.startsWith('T') ? k : key(n->parent()));
            ShowTable(NodeTableID);
        }
    }
    DragSourceTree = "treeTables";
    pressedAt_ = pos;
}

void frmSeating::treeInvited_MouseMove(int button, int, QPoint pos) { beginTreeDrag(treeInvited, "treeInvited", button, pos); }

void frmSeating::treeTables_MouseMove(int button, int, QPoint pos) { beginTreeDrag(treeTables, "treeTables", button, pos); }

void frmSeating::beginTreeDrag(tree::TreeView* t, const QString& name, int button, QPoint pos)
{
    if (button != 1 || DragSourceTree != name || ui::isDragging())
        return;
    // A click that wobbles is not a drag.
    if ((pos - pressedAt_).manhattanLength() < QApplication::startDragDistance())
        return;
    tree::Node* sel = t->selectedNode();
    // Whether it has people under it is known once they are read.
    t->loadChildren(sel);
    if (!sel || sel->childCount() > 0)
        return;
    Dragging = true;
    // However it ends (dropped, let go elsewhere, Escape), nothing of it stays.
    t->beginNodeDrag(sel, [this] { endDrop(); });
}

void frmSeating::treeTables_DragOver(QWidget*, QPoint pos, int state)
{
    if (state == ui::vbLeave)
        treeTables->setDropHighlight(nullptr);
    else if (Dragging)
        treeTables->setDropHighlight(treeTables->nodeAt(pos));
}

Dragged frmSeating::dragged(QWidget* source) const
{
    Dragged d;
    if (auto* box = dynamic_cast<SeatBox*>(source)) {
        d.from = DragFrom::SeatBox;
        const qint64 who = SeatOccupant[box->index()];
        d.key = who ? "S" + QString::number(who) : QString();
        d.tableKey = "T" + QString::number(curTable);
        return d;
    }
    d.from = DragSourceTree == "treeInvited" ? DragFrom::InvitedTree : DragFrom::TablesTree;
    tree::TreeView* t = d.from == DragFrom::InvitedTree ? treeInvited : treeTables;
    if (DragNode.tree == t) {
        if (tree::Node* n = DragNode.get()) {
            d.key = key(n);
            if (t == treeTables)
                d.tableKey = key(n->parent());
        }
    }
    return d;
}

void frmSeating::treeTables_DragDrop(QWidget* source, QPoint pos)
{
    tree::Node* h = treeTables->nodeAt(pos);
    treeTables->setDropHighlight(h);
    const Dragged d = dragged(source);
    DropPlace p;
    p.on = DropOn::TablesTree;
    p.nodeKey = key(h);
    p.parentKey = h ? key(h->parent()) : QString();
    p.sameNode = h && !d.key.isEmpty() && d.from != DragFrom::InvitedTree && d.key == key(h);
    WorkNode = {treeTables, key(h)};
    carryOut(decideDrop(d, p));
}

void frmSeating::treeInvited_DragDrop(QWidget* source, QPoint)
{
    DropPlace p;
    p.on = DropOn::InvitedTree;
    carryOut(decideDrop(dragged(source), p));
}

void frmSeating::endDrop()
{
    if (treeTables)
        treeTables->setDropHighlight(nullptr);
    if (treeInvited)
        treeInvited->setDropHighlight(nullptr);
    Dragging = false;
}

void frmSeating::carryOut(const DropDecision& d)
{
    endDrop();
    carryOutDrop(d);
    // The tables tree marks the table the diagram now shows.
    if (tree::Node* shown = treeTables ? treeTables->node("T" + QString::number(curTable)) : nullptr)
        treeTables->setSelectedNode(shown);
}

void frmSeating::carryOutDrop(const DropDecision& d)
{
    const QString person = "S" + QString::number(d.person);
    switch (d.action) {
    case DropAction::Nothing: ShowTable(curTable); return;
    case DropAction::Refuse:
        ui::MsgBox(d.message, ui::vbOKOnly, QString(), window());
        ShowTable(curTable);
        return;
    case DropAction::SeatAt: {
        if (!write([&] { seatPerson(d.table, d.person); }))
            break;
        tree::Node* n = treeInvited->node(person);
        tree::Node* table = treeTables->node("T" + QString::number(d.table));
        if (!n || !table) {
            GetInvitees();
        } else {
            const QString text = n->text(0);
            treeInvited->remove(n);  // the party node stays
            // A table not opened yet reads its people, him among them.
            treeTables->loadChildren(table);
            treeTables->add(table, person, text);
        }
        ShowTable(d.table);
        treeTables->ensureVisible(WorkNode.get());
        WorkNode = {treeInvited, kRoot};
        treeInvited->ensureVisible(WorkNode.get());
        return;
    }
    case DropAction::MoveTo: {
        int moved = 0;
        if (!write([&] { moved = moveToTable(d.fromTable, d.table, d.person); }))
            break;
        tree::Node* n = treeTables->node(person);
        tree::Node* table = treeTables->node("T" + QString::number(d.table));
        if (moved == 0 || !n || !table) {
            GetInvitees();
        } else {
            const QString text = n->text(0);
            treeTables->remove(n);
            treeTables->loadChildren(table);
            tree::Node* moved = treeTables->add(table, person, text);
            treeTables->ensureVisible(moved ? moved : treeTables->node(person));
        }
        ShowTable(d.table);
        return;
    }
    case DropAction::Unseat: {
        if (!write([&] { unseatPerson(d.fromTable, d.person); }))
            break;
        treeTables->remove(treeTables->node(person));
        std::optional<Invitee> p;
        ado::ignoringErrors([&] { p = invitedPerson(curEvent, d.person); });
        if (p)
            addToInvitedTree(*p, true);
        ShowTable(d.fromTable);
        return;
    }
    case DropAction::MoveToSeat:
        if (!write([&] { moveToSeat(d.table, d.person, d.seat); }))
            break;
        ShowTable(d.table);
        return;
    }
    // Refused, by the database or because a record written under is gone:
    // show what the database holds.
    GetInvitees();
    ShowTable(curTable);
}

// ---------------------------------------------------------------- renaming a table

void frmSeating::treeTables_BeforeLabelEdit(bool& cancel, tree::Node* node) { cancel = !key(node).startsWith('T'); }

void frmSeating::treeTables_AfterLabelEdit(bool& cancel, tree::Node* node, const QString& newText)
{
    if (newText.isEmpty() || !key(node).startsWith('T')) {
        cancel = true;
        return;
    }
    if (write([&] { renameTable(keyNumber(key(node)), newText); }))
        return;
    cancel = true;
    // Not while the tree is still finishing the edit of the node.
    QTimer::singleShot(0, window(), [this] { GetInvitees(); });
}

// ---------------------------------------------------------------- the seat diagram

void frmSeating::ShowTable(qint64 tableId)
{
    if (!lblTableName)
        return;
    curTable = tableId;
    for (int i = 0; i < kSeatBoxes; ++i) {
        picSeat[i]->clear();
        SeatOccupant[i] = 0;
    }
    std::optional<TableInfo> table;
    QVector<SeatedPerson> rows;
    ado::ignoringErrors([&] {
        table = tableOf(tableId);
        if (table && table->eventId == curEvent)
            rows = tableSeating(curEvent, tableId);
        else
            table.reset();
    });
    if (!table) {
        // No table (or none of this event): an empty diagram.
        curTable = 0;
        lblTableName->clear();
        lblTooMany->clear();
        HideSeats();
        enableTableControls();
        return;
    }
    const QVariant type = table->type;
    const qint64 style = type.isNull() ? 0 : type.toLongLong();
    if (style <= 0)
        shapeTable->setStyle(5);
    else if (style <= 5)
        shapeTable->setStyle(int(style));
    lblTableName->setText("\n" + table->text());
    PositionSeats(table->seats);

    QVector<int> held;
    for (const SeatedPerson& r : rows)
        held << r.pos;
    QVector<int> positions = withoutNegativePositions(held);
    if (positions != held && !write([&] { storePositions(tableId, rows, positions); }))
        positions = held;
    LastSeatPos = 0;
    for (int i = 0; i < rows.size(); ++i) {
        const int pos = positions[i];
        QString name = rows[i].name();
        if (pos >= 0 && pos < kSeatBoxes)
            DrawSeatText(picSeat[pos], name, 0, "CenterCenter");
        if (pos >= 0 && pos <= kSeatBoxes)
            SeatOccupant[pos] = rows[i].subguestId;
        LastSeatPos = std::max(LastSeatPos, pos);
    }
    lblTooMany->setText(rows.size() > table->seats ? kTooMany : QString());
    enableTableControls();
}

void frmSeating::PositionSeats(int seatCount)
{
    const std::optional<std::vector<SeatPlace>> places = seatPlaces(seatCount);
    if (!places)
        return;
    optSeats[seatOptionIndex(seatCount)]->setChecked(true);
    for (int i = 0; i < kSeatBoxes; ++i) {
        if (i < int(places->size())) {
            picSeat[i]->setTop((*places)[i].top);
            picSeat[i]->setLeft((*places)[i].left);
        } else {
            picSeat[i]->setLeft(kParkedLeft);
        }
    }
}

void frmSeating::HideSeats()
{
    for (SeatBox* b : picSeat)
        if (b)
            b->setLeft(kHiddenLeft);
}

void frmSeating::DrawSeatText(SeatBox* box, QString& text, int angle, const QString& alignment)
{
    if (!box)
        return;
    const SeatFont record = seatFont(angle, twips::kTwipsPerPixel);
    const QFont font = toQFont(record);
    text = trimBlanks(text);
    SeatLines lines = splitSeatName(text);
    // Measured in the font the name is drawn in, so the lines stand centred.
    const QFontMetricsF fm(font);
    // A name too long for the box ends in "…" and shows whole as the box's
    // tooltip; so does a first word cut at its fifteenth letter.
    const QString ellipsis(QChar(0x2026));
    if (text.indexOf(' ') >= 15)
        lines.line1 = lines.line1.left(14) + ellipsis;
    for (QString* line : {&lines.line1, &lines.line2})
        *line = fm.elidedText(*line, Qt::ElideRight, box->shownWidth());
    box->setToolTip(lines.line1.endsWith(ellipsis) || lines.line2.endsWith(ellipsis) ? ui::plainTip(text) : QString());
    const TextMeasure measure{[&](const QString& s) { return fm.horizontalAdvance(s) * twips::kTwipsPerPixel; },
                              [&](const QString&) { return fm.height() * twips::kTwipsPerPixel; }};
    const QSize inner = box->innerSize();
    const LinePlaces at = placeSeatLines(lines, alignment, inner.width() * twips::kTwipsPerPixel,
                                         inner.height() * twips::kTwipsPerPixel, measure);
    box->print(lines.line1, at.x1, at.y1, font, record.escapement);
    box->print(lines.line2, at.x2, at.y2, font, record.escapement);
}

// ---------------------------------------------------------------- mouse on the seat boxes

void frmSeating::picSeat_MouseDown(int index, int, int, QPointF pos)
{
    DragSeatBox = index;
    seatPressedAt_ = pos;
}

void frmSeating::picSeat_MouseMove(int index, int button, int, QPointF pos)
{
    if (button != 1 || ui::isDragging() || index != DragSeatBox)
        return;
    if ((pos - seatPressedAt_).manhattanLength() < QApplication::startDragDistance() * twips::kTwipsPerPixel)
        return;
    Dragging = true;
    ui::beginDrag(picSeat[index], picSeat[index]->grab(), [this] { endDrop(); });
}

void frmSeating::picSeat_DragDrop(int index, QWidget* source, QPointF)
{
    const Dragged d = dragged(source);
    if (!dynamic_cast<SeatBox*>(source) && !qobject_cast<tree::TreeView*>(source))
        return;
    DropPlace p;
    p.on = DropOn::SeatBox;
    p.seat = index;
    p.seatTaken = SeatOccupant[index] != 0;
    const qint64 person = keyNumber(d.key);
    for (int i = 0; i < kSeatBoxes; ++i)
        p.personDrawn = p.personDrawn || (person != 0 && SeatOccupant[i] == person);
    p.shownTableKey = "T" + QString::number(curTable);
    carryOut(decideDrop(d, p));
}
