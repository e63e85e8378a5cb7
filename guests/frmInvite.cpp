#include "guests/frmInvite.h"

#include "app/frmMain.h"
#include "app/modQVDatabase.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/messages.h"
#include "records/cascade.h"
#include "records/editing.h"
#include "records/modSynchro.h"
#include "views/refresh.h"

#include <QApplication>
#include <QComboBox>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>

#include <utility>

using editing::ignoringErrors;
using modQVDatabase::gConn;
using twips::rect;

namespace {

constexpr const char* kNodeMime = "application/x-nuptaro-node";

// The window's events of one tree's viewport, handed to its handlers.
class TreeEvents : public QObject {
public:
    TreeEvents(QObject* parent, std::function<bool(QEvent*)> handle) : QObject(parent), handle_(std::move(handle)) {}
    bool eventFilter(QObject*, QEvent* e) override { return handle_(e); }

private:
    std::function<bool(QEvent*)> handle_;
};

QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& key, const QString& text)
{
    auto* n = new QTreeWidgetItem(parent, {text});
    n->setData(0, Qt::UserRole, key);
    return n;
}

QTreeWidgetItem* rootOf(QTreeWidget* tree) { return tree->topLevelItemCount() ? tree->topLevelItem(0) : nullptr; }

QTreeWidgetItem* nodeByKey(QTreeWidget* tree, const QString& key)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (frmInvite::key(*it) == key)
            return *it;
    return nullptr;
}

// Parties are grouped by their exact name, whatever order the rows came in.
QTreeWidgetItem* partyNamed(QTreeWidgetItem* root, const QString& name)
{
    for (int i = 0; i < root->childCount(); ++i)
        if (root->child(i)->text(0) == name)
            return root->child(i);
    return nullptr;
}

QTreeWidgetItem* partyNode(QTreeWidgetItem* root, const QString& key, const QString& name)
{
    if (QTreeWidgetItem* found = partyNamed(root, name))
        return found;
    return addNode(root, key, name);
}

qint64 idOf(const QString& key) { return key.mid(1).toLongLong(); }

// The persons a node stands for: itself, or every person of its party.
QVector<qint64> personsOf(const QTreeWidgetItem* node)
{
    QVector<qint64> out;
    const QString k = frmInvite::key(node);
    if (k.startsWith('S'))
        out << idOf(k);
    else if (k.startsWith('G'))
        for (int i = 0; i < node->childCount(); ++i)
            out << idOf(frmInvite::key(node->child(i)));
    return out;
}

bool movable(const QTreeWidgetItem* node)
{
    const QString k = frmInvite::key(node);
    return k.startsWith('S') || k.startsWith('G');
}

QString text(const ado::Recordset& rs, int row, int col)
{
    return ado::convert::valueText(rs.cell(row, col));
}

void invite(qint64 event, qint64 person)
{
    if (gConn.scalar("SELECT count(*) FROM INVITE WHERE EVENT_ID = ? AND SUBGUEST_ID = ?", {event, person})
            .toLongLong() > 0)
        return;
    const qint64 id = gConn.reserveKey("INVITE");
    modSynchro::LogChange("INVITE", id, modSynchro::Added);
    gConn.Execute("INSERT INTO INVITE (INVITE_ID, EVENT_ID, SUBGUEST_ID) VALUES (?, ?, ?)", {id, event, person});
}

// Every invitation of the person to the event goes, and with them the
// person's seats at the event's tables, each logged.
void uninvite(qint64 event, qint64 person)
{
    const auto removeAll = [](const QString& table, const QString& sql, const ado::Params& params) {
        for (const QString& key : editing::columnTexts(sql, params))
            records::deleteWithCascade(gConn, table, key.toLongLong(), [](const records::RemovedRow& r) {
                modSynchro::LogChange(r.table, r.key, modSynchro::Deleted);
            });
    };
    removeAll("INVITE", "SELECT INVITE_ID FROM INVITE WHERE EVENT_ID = ? AND SUBGUEST_ID = ? ORDER BY INVITE_ID",
              {event, person});
    removeAll("SEATING",
              "SELECT SEATING_ID FROM SEATING WHERE SUBGUEST_ID = ? AND TABLE_ID IN "
              "(SELECT TABLE_ID FROM TABLES WHERE EVENT_ID = ?) ORDER BY SEATING_ID",
              {person, event});
}

}  // namespace

const frmInvite::Side frmInvite::kUninvited = {&frmInvite::treeUninvited, "Uninvited", true,
                                               frmInvite::kSelectUninvited, frmInvite::kDropUninvited};
const frmInvite::Side frmInvite::kInvited = {&frmInvite::treeInvited, "Invited", false, frmInvite::kSelectInvited,
                                             frmInvite::kDropInvited};

QString frmInvite::key(const QTreeWidgetItem* node)
{
    return node ? node->data(0, Qt::UserRole).toString() : QString();
}

std::function<void(QTreeWidget*, const QPixmap&)>& frmInvite::dragLoop()
{
    static std::function<void(QTreeWidget*, const QPixmap&)> loop = [](QTreeWidget* source, const QPixmap& image) {
        auto* drag = new QDrag(source);
        auto* mime = new QMimeData;
        mime->setData(kNodeMime, {});
        drag->setMimeData(mime);
        if (!image.isNull())
            drag->setPixmap(image);
        drag->exec(Qt::MoveAction);
    };
    return loop;
}

void frmInvite::createControls()
{
    QDialog* w = window();
    w->setWindowTitle(kCaption);
    w->setFixedSize(twips::toPixels(8520), twips::toPixels(6120));

    Label2 = editing::makeLabel(w, "Label2", "Event:", rect(120, 165, 600, 255));
    cmbEvents = new ui::ListBox(w);
    cmbEvents->setObjectName("cmbEvents");
    cmbEvents->setGeometry(rect(780, 120, 3000, 315));
    Label1 = editing::makeLabel(w, "Label1", "Uninvited Guests", rect(120, 600, 3300, 255));
    Label3 = editing::makeLabel(w, "Label3", "Invited Guests", rect(5100, 600, 3300, 255));

    auto makeTree = [&](const char* name, int left) {
        auto* t = new QTreeWidget(w);
        t->setObjectName(name);
        t->setGeometry(rect(left, 900, 3300, 5100));
        t->setHeaderHidden(true);
        t->setColumnCount(1);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->viewport()->setAcceptDrops(true);
        return t;
    };
    treeUninvited = makeTree("treeUninvited", 120);
    treeInvited = makeTree("treeInvited", 5100);

    const auto button = [&](const char* name, const char* caption, int top, void (frmInvite::*handler)()) {
        return editing::makeButton(w, name, caption, rect(3540, top, 1440, 375),
                                   [this, handler] { (this->*handler)(); });
    };
    cmdInvite = button("cmdInvite", "Invite >>", 2400, &frmInvite::cmdInvite_Click);
    cmdRemove = button("cmdRemove", "<< Remove", 2880, &frmInvite::cmdRemove_Click);
    Command1 = button("Command1", "Close", 5625, &frmInvite::Command1_Click);
    editing::chainTabOrder({cmbEvents, treeUninvited, cmdInvite, treeInvited, cmdRemove, Command1});

    QObject::connect(cmbEvents, &QComboBox::currentIndexChanged, w,
                     [this] { ui::guarded([this] { cmbEvents_Click(); }); });

    for (const Side* side : {&kUninvited, &kInvited}) {
        QTreeWidget* tree = this->*side->tree;
        tree->viewport()->installEventFilter(new TreeEvents(tree, [this, side](QEvent* e) {
            const auto mouse = [](QEvent* e) { return static_cast<QMouseEvent*>(e); };
            switch (e->type()) {
            case QEvent::MouseButtonPress:
                ui::guarded([&] { mouseDown(*side, int(mouse(e)->button() & 7), mouse(e)->position().toPoint()); });
                return false;
            case QEvent::MouseMove: {
                // A move that ran a drag is done with; the tree may have been built afresh.
                bool dragged = false;
                ui::guarded([&] {
                    dragged = mouseMove(*side, int(mouse(e)->buttons() & 7), mouse(e)->position().toPoint());
                });
                return dragged;
            }
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                // Only a node of the other tree, and only with an event to invite to.
                auto* d = static_cast<QDragMoveEvent*>(e);
                const bool takes = d->mimeData()->hasFormat(kNodeMime) && hasEvent() &&
                                   d->source() == this->*other(*side).tree;
                if (takes)
                    d->acceptProposedAction();
                else
                    d->ignore();
                return true;
            }
            case QEvent::Drop:
                static_cast<QDropEvent*>(e)->acceptProposedAction();
                ui::guarded([&] { dragDrop(*side); });
                return true;
            default:
                return false;
            }
        }));
    }
}

void frmInvite::releaseControls()
{
    Label1 = Label2 = Label3 = nullptr;
    cmbEvents = nullptr;
    treeUninvited = treeInvited = nullptr;
    cmdInvite = cmdRemove = Command1 = nullptr;
    dragKey.clear();
    dragTree = nullptr;
}

void frmInvite::Form_Load()
{
    FillEvents();
    LoadTrees();
    window()->raise();
}

void frmInvite::FillEvents()
{
    eventsFilled = false;
    cmbEvents->clear();
    eventIDs = {0};
    ignoringErrors([&] {
        ado::Recordset rs;
        rs.Open("SELECT EVENT_ID, EVENT_NAME FROM EVENT", gConn, ado::adOpenStatic, ado::adLockReadOnly);
        for (int r = 0; r < rs.RecordCount(); ++r) {
            cmbEvents->addItem(text(rs, r, 1));
            eventIDs << rs.cell(r, 0).toLongLong();
        }
    });
    if (cmbEvents->count() > 0) {
        cmbEvents->setCurrentIndex(0);
        const int at = eventIDs.indexOf(curEvent, 1);
        if (at > 0)
            cmbEvents->setCurrentIndex(at - 1);
    }
    eventsFilled = true;
    const bool any = hasEvent();
    cmdInvite->setEnabled(any);
    cmdRemove->setEnabled(any);
    if (!any)
        ui::MsgBox(kNoEvents, ui::vbOKOnly, QString(), window());
    else
        curEvent = eventIDs.value(cmbEvents->currentIndex() + 1);
}

void frmInvite::cmbEvents_Click()
{
    if (!eventsFilled)
        return;
    curEvent = eventIDs.value(cmbEvents->currentIndex() + 1);
    LoadTrees();
}

void frmInvite::LoadTrees()
{
    dragKey.clear();
    dragTree = nullptr;
    treeUninvited->clear();
    treeInvited->clear();

    ado::Recordset guests, invited;
    ignoringErrors([&] {
        guests.Open("SELECT GUEST.GUEST_ID, GUEST.GUEST_PARTYNAME, SUBGUEST.SUBGUEST_ID, SUBGUEST.SUBGUEST_FNAME, "
                    "SUBGUEST.SUBGUEST_LNAME FROM GUEST INNER JOIN SUBGUEST ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID "
                    "ORDER BY GUEST.GUEST_PARTYNAME",
                    gConn, ado::adOpenStatic, ado::adLockReadOnly);
    });
    ignoringErrors([&] {
        invited.Open("SELECT DISTINCT GUEST.GUEST_PARTYNAME, GUEST.GUEST_ID, SUBGUEST.SUBGUEST_ID, "
                     "SUBGUEST.SUBGUEST_FNAME, SUBGUEST.SUBGUEST_LNAME, EVENT.EVENT_ID "
                     "FROM GUEST INNER JOIN (SUBGUEST INNER JOIN (EVENT INNER JOIN INVITE ON EVENT.EVENT_ID = "
                     "INVITE.EVENT_ID) ON SUBGUEST.SUBGUEST_ID = INVITE.SUBGUEST_ID) "
                     "ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID WHERE (EVENT.EVENT_ID = ?) ORDER BY GUEST.GUEST_PARTYNAME",
                     gConn, ado::adOpenStatic, ado::adLockReadOnly, {curEvent});
    });

    QTreeWidgetItem* uninvitedRoot = addNode(nullptr, "ROOT", "Uninvited");
    QTreeWidgetItem* invitedRoot = addNode(nullptr, "ROOT", "Invited");
    treeUninvited->addTopLevelItem(uninvitedRoot);
    treeInvited->addTopLevelItem(invitedRoot);
    treeUninvited->setCurrentItem(uninvitedRoot);
    treeInvited->setCurrentItem(invitedRoot);

    // Where each query has the party's name and key, the person's key and first name.
    struct Columns {
        int party, guest, person, first;
    };
    const auto build = [](QTreeWidgetItem* root, const ado::Recordset& rs, Columns c, const QSet<qint64>& skipped) {
        if (!rs.isOpen())
            return;
        for (int r = 0; r < rs.RecordCount(); ++r) {
            const qint64 person = rs.cell(r, c.person).toLongLong();
            if (skipped.contains(person))
                continue;
            QTreeWidgetItem* party =
                partyNode(root, "G" + QString::number(rs.cell(r, c.guest).toLongLong()), text(rs, r, c.party));
            addNode(party, "S" + QString::number(person), text(rs, r, c.first) + " " + text(rs, r, c.first + 1));
        }
    };
    const Columns invitedColumns{0, 1, 2, 3};
    build(invitedRoot, invited, invitedColumns, {});
    QSet<qint64> invitedPersons;
    if (invited.isOpen())
        for (int r = 0; r < invited.RecordCount(); ++r)
            invitedPersons.insert(invited.cell(r, invitedColumns.person).toLongLong());
    build(uninvitedRoot, guests, Columns{1, 0, 2, 3}, invitedPersons);

    for (QTreeWidget* t : {treeUninvited, treeInvited}) {
        t->expandItem(rootOf(t));
        t->scrollToTop();
    }
}

void frmInvite::cmdInvite_Click() { buttonMove(kUninvited); }
void frmInvite::cmdRemove_Click() { buttonMove(kInvited); }

void frmInvite::buttonMove(const Side& from)
{
    if (!hasEvent())
        return;
    QTreeWidget* source = this->*from.tree;
    const QList<QTreeWidgetItem*> selected = source->selectedItems();
    QTreeWidgetItem* node = selected.value(0);
    if (!movable(node)) {
        ui::MsgBox(from.selectMessage, ui::vbOKOnly, QString(), window());
        return;
    }
    const QVector<qint64> persons = personsOf(node);
    if (persons.isEmpty())
        return;
    if (writeMove(persons, from.inviting))
        moveNodes(node, this->*other(from).tree);
    else
        LoadTrees();
}

bool frmInvite::writeMove(const QVector<qint64>& persons, bool inviting)
{
    const qint64 event = curEvent;
    if (inviting && !editing::ownerStillThere("EVENT", event, window()))
        return false;
    return editing::saveAll(
        [&] {
            for (qint64 p : persons)
                inviting ? invite(event, p) : uninvite(event, p);
        },
        window(), kMoveFailed);
}

void frmInvite::moveNodes(QTreeWidgetItem* node, QTreeWidget* to)
{
    const bool one = key(node).startsWith('S');
    QTreeWidgetItem* party = one ? node->parent() : node;
    QTreeWidgetItem* target = partyNode(rootOf(to), key(party), party->text(0));
    const QList<QTreeWidgetItem*> moved = one ? QList<QTreeWidgetItem*>{node} : party->takeChildren();
    QTreeWidgetItem* last = nullptr;
    for (QTreeWidgetItem* p : moved)
        last = addNode(target, key(p), p->text(0));
    to->expandItem(target);
    to->scrollToItem(last);
    if (one)
        delete node;
    else
        qDeleteAll(moved);
    if (party->childCount() == 0)
        delete party;
}

void frmInvite::treeUninvited_MouseDown(int button, int, QPoint pos) { mouseDown(kUninvited, button, pos); }
void frmInvite::treeUninvited_MouseMove(int button, int, QPoint pos) { mouseMove(kUninvited, button, pos); }
void frmInvite::treeUninvited_DragDrop() { dragDrop(kUninvited); }
void frmInvite::treeInvited_MouseDown(int button, int, QPoint pos) { mouseDown(kInvited, button, pos); }
void frmInvite::treeInvited_MouseMove(int button, int, QPoint pos) { mouseMove(kInvited, button, pos); }
void frmInvite::treeInvited_DragDrop() { dragDrop(kInvited); }

void frmInvite::mouseDown(const Side& side, int, QPoint pos)
{
    QTreeWidget* tree = this->*side.tree;
    QTreeWidgetItem* node = tree->itemAt(pos);
    // A press beside the nodes leaves nothing to drag.
    dragKey = key(node);
    dragTree = node ? &side : nullptr;
    pressedAt = pos;
    if (node)
        tree->setCurrentItem(node);
}

bool frmInvite::mouseMove(const Side& side, int button, QPoint pos)
{
    if (button != 1)
        return false;
    dragSource = side.name;
    if (dragTree != &side || dragKey.isEmpty() || dragKey == "ROOT" ||
        (pos - pressedAt).manhattanLength() < QApplication::startDragDistance())
        return false;
    QTreeWidget* tree = this->*side.tree;
    QTreeWidgetItem* node = nodeByKey(tree, dragKey);
    if (!node)
        return false;
    const QRect at = tree->visualItemRect(node);
    dragLoop()(tree, at.isValid() ? tree->viewport()->grab(at) : QPixmap());
    return true;
}

void frmInvite::dragDrop(const Side& onto)
{
    const Side& from = other(onto);
    if (dragSource != from.name)
        return;
    if (hasEvent()) {
        QTreeWidgetItem* node = dragTree == &from ? nodeByKey(this->*from.tree, dragKey) : nullptr;
        if (!movable(node))
            ui::MsgBox(onto.dropMessage, ui::vbOKOnly, QString(), window());
        else if (const QVector<qint64> persons = personsOf(node); !persons.isEmpty())
            writeMove(persons, from.inviting);
        LoadTrees();
    }
    dragSource.clear();
}

void frmInvite::Command1_Click() { Unload(); }

void frmInvite::Form_Unload(bool&)
{
    // The RSVP view lists the invitations as they now stand.
    views::RefreshMainGrid(frmMain::instance().chooseMenuRS);
}
