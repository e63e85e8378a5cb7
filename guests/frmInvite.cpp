#include "guests/frmInvite.h"

#include "platform/ado/ignoring.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/notices.h"

#include "platform/ui/dragdrop.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QVarLengthArray>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <memory>
#include <numeric>

using ado::ignoringErrors;
using modQVDatabase::gConn;
using twips::rect;

namespace {

qint64 idOf(const QString& key) { return key.mid(1).toLongLong(); }

// "S" and a SUBGUEST_ID, "G" and a GUEST_ID: made without a string for the number.
QString nodeKey(char kind, qint64 id)
{
    char text[24] = {kind};
    const auto end = std::to_chars(text + 1, text + sizeof text, id).ptr;
    return QString::fromLatin1(text, end - text);
}

// The persons a node stands for: itself, or every person of its party.
QVector<qint64> personsOf(const tree::Node* node)
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

bool movable(const tree::Node* node)
{
    const QString k = frmInvite::key(node);
    return k.startsWith('S') || k.startsWith('G');
}

// A move of more people than this is written in steps of as many, its
// progress shown with a Cancel button.
constexpr qsizetype kStep = 2000;
// Thrown through the move's transaction when the user stops it: nothing of
// it stays.
struct Cancelled {};

QVector<qint64> keysOf(const QString& sql, const ado::Params& params)
{
    QVector<qint64> out;
    gConn.forEachRow(sql, params, [&](const ado::Row& r) { out << r.integer(0); });
    return out;
}

// One INVITE row for each person not invited yet (never a second one),
// each logged.
void invite(qint64 event, const QVector<qint64>& persons)
{
    const QString list = ado::jsonKeys(persons);
    // A person deleted elsewhere, or one of a party deleted elsewhere, is
    // not invited: the row would name nobody.
    if (gConn.scalar("SELECT count(*) FROM json_each(?1) k WHERE NOT EXISTS (SELECT 1 FROM SUBGUEST s INNER JOIN "
                     "GUEST g ON s.GUEST_ID = g.GUEST_ID WHERE s.SUBGUEST_ID = k.value)",
                     {list})
            .toLongLong()
        > 0)
        throw editing::Refused(editing::goneMessage("SUBGUEST"));
    const QVector<qint64> fresh = keysOf("SELECT DISTINCT k.value FROM json_each(?1) k WHERE NOT EXISTS (SELECT 1 "
                                         "FROM INVITE i WHERE i.EVENT_ID = ?2 AND i.SUBGUEST_ID = k.value)",
                                         {list, event});
    if (fresh.isEmpty())
        return;
    // The keys after the one reserved were never handed out (it is the
    // highest this copy took), so the rows take it and those following,
    // while the copy's range lasts.
    const qint64 first = gConn.reserveKey("INVITE");
    if (first + fresh.size() - 1 > ado::Connection::lastKeyOf(gConn.copyNumber()))
        throw ado::Error(SQLITE_FULL, ado::keysFullText("INVITE"));
    gConn.Execute("INSERT INTO INVITE (INVITE_ID, EVENT_ID, SUBGUEST_ID) SELECT ?1 + key, ?2, value FROM json_each(?3)",
                  {first, event, ado::jsonKeys(fresh)});
    QVector<qint64> keys(fresh.size());
    std::iota(keys.begin(), keys.end(), first);
    modSynchro::LogChanges("INVITE", keys, modSynchro::Added);
}

// Every invitation of the persons to the event goes, and with them their
// seats at the event's tables, each logged (nothing hangs on either).
void uninvite(qint64 event, const QVector<qint64>& persons)
{
    const ado::Params params{event, ado::jsonKeys(persons)};
    const auto removeAll = [&](const QString& table, const QString& key, const QString& where) {
        const QVector<qint64> keys = keysOf(QString("SELECT %1 FROM %2 WHERE %3").arg(key, table, where), params);
        modSynchro::LogChanges(table, keys, modSynchro::Deleted);
        gConn.Execute(QString("DELETE FROM %1 WHERE %2 IN (SELECT value FROM json_each(?))").arg(table, key),
                      {ado::jsonKeys(keys)});
    };
    removeAll("INVITE", "INVITE_ID", "EVENT_ID = ?1 AND SUBGUEST_ID IN (SELECT value FROM json_each(?2))");
    removeAll("SEATING", "SEATING_ID",
              "SUBGUEST_ID IN (SELECT value FROM json_each(?2)) AND TABLE_ID IN (SELECT TABLE_ID FROM TABLES WHERE "
              "EVENT_ID = ?1)");
}

}  // namespace

const frmInvite::Side frmInvite::kUninvited = {&frmInvite::treeUninvited, "Uninvited", true,
                                               frmInvite::kSelectUninvited, frmInvite::kDropUninvited};
const frmInvite::Side frmInvite::kInvited = {&frmInvite::treeInvited, "Invited", false, frmInvite::kSelectInvited,
                                             frmInvite::kDropInvited};

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
        auto* t = new tree::TreeView(w);
        t->setObjectName(name);
        t->setGeometry(rect(left, 900, 3300, 5100));
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
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
        tree::TreeView* tree = this->*side->tree;
        QObject::connect(tree, &tree::TreeView::mouseDown, w, [this, side](int button, int, QPoint pos) {
            ui::guarded([&] { mouseDown(*side, button, pos); });
        });
        QObject::connect(tree, &tree::TreeView::mouseMove, w, [this, side](int button, int, QPoint pos) {
            ui::guarded([&] { mouseMove(*side, button, pos); });
        });
        tree->setChildLoader([this, side](tree::Node* n) { loadPersons(*side, n); });
        tree->setNodeFinder([this, side](const QString& k) { findPerson(*side, k); });
        ui::setDropTarget(tree->viewport(), {{}, [this, side](QWidget*, QPoint) {
                                                 ui::guarded([&] { dragDrop(*side); });
                                             }});
    }
}

void frmInvite::releaseControls()
{
    if (ui::isDragging())
        ui::cancelDrag();
    Label1 = Label2 = Label3 = nullptr;
    cmbEvents = nullptr;
    treeUninvited = treeInvited = nullptr;
    cmdInvite = cmdRemove = Command1 = nullptr;
    dragKey.clear();
    dragTree = nullptr;
    clearPartyKeys();
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
        gConn.forEachRow("SELECT EVENT_ID, EVENT_NAME FROM EVENT", {}, [&](const ado::Row& r) {
            cmbEvents->addItem(r.text(1));
            eventIDs << r.integer(0);
        });
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

void frmInvite::clearPartyKeys()
{
    for (auto& keys : partyKeys_)
        keys.reset();
}

QHash<QString, QString>& frmInvite::partyKeys(const Side& side)
{
    // Gathered from the party nodes when first needed.
    std::optional<QHash<QString, QString>>& keys = partyKeys_[&side == &kInvited];
    if (!keys) {
        keys.emplace();
        const tree::Node* root = (this->*side.tree)->node("ROOT");
        for (int i = 0; root && i < root->childCount(); ++i)
            keys->insert(root->child(i)->text(0), key(root->child(i)));
    }
    return *keys;
}

namespace {

// A person (SUBGUEST s) invited to the event ?1.
const QString kIsInvited = QStringLiteral("EXISTS (SELECT 1 FROM INVITE i INNER JOIN EVENT e ON e.EVENT_ID = i.EVENT_ID "
                                        "WHERE i.SUBGUEST_ID = s.SUBGUEST_ID AND i.EVENT_ID = ?1)");
// Parties in name order, those of exactly the same name one after another.
const QString kPartyOrder =
    QStringLiteral(" ORDER BY g.GUEST_PARTYNAME, g.GUEST_PARTYNAME COLLATE BINARY, g.GUEST_ID");

QString personName(const ado::Row& r, int firstColumn)
{
    // First name, a blank, last name: made in one piece.
    const QByteArrayView first = r.utf8(firstColumn), last = r.utf8(firstColumn + 1);
    QVarLengthArray<char, 128> name(first.size() + 1 + last.size());
    std::copy(first.begin(), first.end(), name.begin());
    name[first.size()] = ' ';
    std::copy(last.begin(), last.end(), name.begin() + first.size() + 1);
    return QString::fromUtf8(name.data(), name.size());
}

}  // namespace

void frmInvite::LoadTrees()
{
    dragKey.clear();
    dragTree = nullptr;
    for (tree::TreeView* t : {treeUninvited, treeInvited}) {
        t->setUpdatesEnabled(false);
        t->clearNodes();
    }
    clearPartyKeys();

    // Each tree is built apart from its view and goes in whole: the parties
    // now, the persons of each when it is opened (see loadPersons). A party
    // is in the tree of each side where it has someone.
    const auto build = [&](const Side& side, const QString& sql) {
        tree::TreeView* t = this->*side.tree;
        tree::Node* root = t->detachedRoot("ROOT", side.inviting ? "Uninvited" : "Invited");
        ignoringErrors([&] {
            // Parties of one name share the node of the first; a missing name is empty.
            tree::Node* party = nullptr;
            QString partyName;
            QHash<QString, QVector<qint64>>& others = sharedNodes_[&side == &kInvited];
            others.clear();
            gConn.forEachRow(sql + kPartyOrder, {curEvent}, [&](const ado::Row& r) {
                const QString name = r.text(1);
                if (party && name == partyName) {
                    others[key(party)] << r.integer(0);
                    return;
                }
                partyName = name;
                party = t->add(root, nodeKey('G', r.integer(0)), name);
                t->setChildrenLater(party);
            });
        });
        t->attach(root);
        root->setExpanded(true);
        t->setSelectedNode(root);
        t->scrollToTop();
        t->setUpdatesEnabled(true);
    };
    build(kInvited, "SELECT DISTINCT g.GUEST_ID, g.GUEST_PARTYNAME FROM INVITE i INNER JOIN EVENT e ON e.EVENT_ID = "
                    "i.EVENT_ID INNER JOIN SUBGUEST s ON s.SUBGUEST_ID = i.SUBGUEST_ID INNER JOIN GUEST g ON "
                    "g.GUEST_ID = s.GUEST_ID WHERE i.EVENT_ID = ?1");
    build(kUninvited, "SELECT g.GUEST_ID, g.GUEST_PARTYNAME FROM GUEST g WHERE EXISTS (SELECT 1 FROM SUBGUEST s "
                      "WHERE s.GUEST_ID = g.GUEST_ID AND NOT " + kIsInvited + ")");
}

void frmInvite::loadPersons(const Side& side, tree::Node* party)
{
    tree::TreeView* t = this->*side.tree;
    // The persons on this side of each party under the node, by key: no
    // party of another name is read.
    const QString sql = "SELECT s.SUBGUEST_ID, s.SUBGUEST_FNAME, s.SUBGUEST_LNAME FROM SUBGUEST s INNER JOIN GUEST g "
                        "ON g.GUEST_ID = s.GUEST_ID WHERE s.GUEST_ID = ?2 AND " + QString(side.inviting ? "NOT " : "")
                        + kIsInvited + " ORDER BY s.SUBGUEST_ID";
    const QString k = key(party);
    ignoringErrors([&] {
        for (const qint64 guest : QVector<qint64>{idOf(k)} + sharedNodes_[&side == &kInvited].value(k))
            gConn.forEachRow(sql, {curEvent, guest}, [&](const ado::Row& r) {
                t->add(party, nodeKey('S', r.integer(0)), personName(r, 1));
            });
    });
}

void frmInvite::findPerson(const Side& side, const QString& k)
{
    if (!k.startsWith('S'))
        return;
    // The person's party node on the side where the person is, opened.
    ignoringErrors([&] {
        bool found = false, invited = false;
        QString name;
        gConn.forEachRow("SELECT IFNULL(g.GUEST_PARTYNAME, ''), " + kIsInvited + " FROM SUBGUEST s INNER JOIN GUEST g "
                         "ON g.GUEST_ID = s.GUEST_ID WHERE s.SUBGUEST_ID = ?2",
                         {curEvent, idOf(k)}, [&](const ado::Row& r) {
                             found = true;
                             name = r.text(0);
                             invited = r.integer(1) != 0;
                         });
        if (found && invited == !side.inviting)
            (this->*side.tree)->loadChildren((this->*side.tree)->node(partyKeys(side).value(name)));
    });
}

tree::Node* frmInvite::partyNode(const Side& side, tree::Node* root, const QString& key, const QString& name)
{
    tree::TreeView* t = this->*side.tree;
    QHash<QString, QString>& keys = partyKeys(side);
    if (tree::Node* found = t->node(keys.value(name)))
        return found;
    tree::Node* added = t->add(root, key, name);
    if (added)
        keys.insert(name, key);
    return added;
}

void frmInvite::removeNode(const Side& side, tree::Node* node)
{
    tree::Node* party = node->parent();
    const bool isParty = key(node).startsWith('G');
    if (isParty) {
        party = nullptr;
        if (auto& keys = partyKeys_[&side == &kInvited]) {
            const auto it = keys->constFind(node->text(0));
            if (it != keys->cend() && *it == key(node))
                keys->erase(it);
        }
    }
    (this->*side.tree)->remove(node);
    // A party node goes with its last person.
    if (party && key(party).startsWith('G') && party->childCount() == 0)
        removeNode(side, party);
}

void frmInvite::cmdInvite_Click() { buttonMove(kUninvited); }
void frmInvite::cmdRemove_Click() { buttonMove(kInvited); }

void frmInvite::buttonMove(const Side& from)
{
    if (!hasEvent())
        return;
    tree::Node* node = (this->*from.tree)->selectedNode();
    if (!movable(node)) {
        ui::MsgBox(from.selectMessage, ui::vbOKOnly, QString(), window());
        return;
    }
    moveAcross(from, node);
}

void frmInvite::moveAcross(const Side& from, tree::Node* node)
{
    // A party not opened yet reads its persons: all of them move.
    (this->*from.tree)->loadChildren(node);
    const QVector<qint64> persons = personsOf(node);
    const QString k = key(node);
    if (persons.isEmpty()) {
        // A party whose persons all went meanwhile: refused when the party
        // went too; the trees show what is there.
        if (k.startsWith('G')) {
            writeMove({}, from.inviting, idOf(k));
            LoadTrees();
        }
        return;
    }
    // Refused before anything is written, so the trees stay as they are.
    if (from.inviting && !editing::roomFor("INVITE", persons.size(), window()))
        return;
    switch (writeMove(persons, from.inviting, k.startsWith('G') ? idOf(k) : 0)) {
    case Moved::Written: moveNodes(node, from, other(from)); break;
    case Moved::Refused: LoadTrees(); break;
    case Moved::Cancelled: break;  // nothing was written: the trees stand
    }
}

frmInvite::Moved frmInvite::writeMove(const QVector<qint64>& persons, bool inviting, qint64 party)
{
    const qint64 event = curEvent;
    // A long move shows how far it has come; Cancel undoes all of it.
    std::unique_ptr<ui::Progress> bar;
    if (persons.size() > kStep)
        bar = ui::dialogs().progress({kCaption,
                                      QString(inviting ? "Inviting %1 people..." : "Removing %1 people...")
                                          .arg(QLocale().toString(persons.size())),
                                      int(persons.size())},
                                     window());
    try {
        const bool written = editing::saveAll(
            [&] {
                const auto closeBar = qScopeGuard([&] { bar.reset(); });  // before any message
                if (inviting) {
                    editing::requireRecord("EVENT", event);
                    if (party != 0)
                        editing::requireRecord("GUEST", party);
                }
                for (qsizetype done = 0; done < persons.size(); done += kStep) {
                    const QVector<qint64> step = persons.mid(done, kStep);
                    inviting ? invite(event, step) : uninvite(event, step);
                    if (bar && !bar->setValue(int(done + step.size())))
                        throw Cancelled();
                }
            },
            window(), kMoveFailed);
        return written ? Moved::Written : Moved::Refused;
    } catch (const Cancelled&) {
        return Moved::Cancelled;
    }
}

void frmInvite::moveNodes(tree::Node* node, const Side& from, const Side& to)
{
    tree::TreeView* target = this->*to.tree;
    const bool one = key(node).startsWith('S');
    tree::Node* party = one ? node->parent() : node;
    tree::Node* into = partyNode(to, target->node("ROOT"), key(party), party->text(0));
    if (!into) {
        LoadTrees();
        return;
    }
    QVector<tree::Node*> moved;
    if (one)
        moved << node;
    else
        for (int i = 0; i < party->childCount(); ++i)
            moved << party->child(i);
    // A party node not opened there yet reads its persons, those moved among them.
    target->loadChildren(into);
    tree::Node* last = nullptr;
    for (tree::Node* p : moved)
        if (tree::Node* added = target->add(into, key(p), p->text(0)); added || (added = target->node(key(p))))
            last = added;
    target->ensureVisible(last ? last : into);
    // The moved node stays chosen where it went, and nothing is where it came
    // from (the tree stays where it was scrolled): a second click of the
    // button, a double click, moves no neighbour that nobody chose.
    target->setSelectedNode(one && last ? last : into);
    removeNode(from, node);
    tree::TreeView* source = this->*from.tree;
    source->setCurrentItem(nullptr);
    source->clearSelection();
}

void frmInvite::treeUninvited_MouseDown(int button, int, QPoint pos) { mouseDown(kUninvited, button, pos); }
void frmInvite::treeUninvited_MouseMove(int button, int, QPoint pos) { mouseMove(kUninvited, button, pos); }
void frmInvite::treeUninvited_DragDrop() { dragDrop(kUninvited); }
void frmInvite::treeInvited_MouseDown(int button, int, QPoint pos) { mouseDown(kInvited, button, pos); }
void frmInvite::treeInvited_MouseMove(int button, int, QPoint pos) { mouseMove(kInvited, button, pos); }
void frmInvite::treeInvited_DragDrop() { dragDrop(kInvited); }

void frmInvite::mouseDown(const Side& side, int, QPoint pos)
{
    tree::TreeView* tree = this->*side.tree;
    tree::Node* node = tree->nodeAt(pos);
    // A press beside the nodes leaves nothing to drag.
    dragKey = key(node);
    dragTree = node ? &side : nullptr;
    pressedAt = pos;
    if (node)
        tree->setSelectedNode(node);
}

void frmInvite::mouseMove(const Side& side, int button, QPoint pos)
{
    if (button != 1)
        return;
    dragSource = side.name;
    if (ui::isDragging() || dragTree != &side || dragKey.isEmpty() || dragKey == "ROOT" ||
        (pos - pressedAt).manhattanLength() < QApplication::startDragDistance())
        return;
    tree::TreeView* tree = this->*side.tree;
    if (tree::Node* node = tree->node(dragKey))
        tree->beginNodeDrag(node);
}

void frmInvite::dragDrop(const Side& onto)
{
    const Side& from = other(onto);
    if (dragSource != from.name)
        return;
    dragSource.clear();
    if (!hasEvent())
        return;
    tree::Node* node = dragTree == &from ? (this->*from.tree)->node(dragKey) : nullptr;
    if (!movable(node)) {
        ui::MsgBox(onto.dropMessage, ui::vbOKOnly, QString(), window());
        return;
    }
    moveAcross(from, node);
}

void frmInvite::Command1_Click() { Unload(); }

void frmInvite::Form_Unload(bool&)
{
    // The RSVP view lists the invitations as they now stand.
    emit records::notices().rowsChanged(records::MainList::Invitations);
}
