#pragma once
// The seating designer on a fresh database: events, parties, people,
// invitations, tables and seats made row by row, the window opened, and its
// trees, seat boxes and menus worked with the mouse.

#include "support/fixture.h"

#include "platform/tree/treeview.h"
#include "platform/ui/forms.h"
#include "seating/frmSeating.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>

namespace testsupport {

class SeatingTest : public DbTest {
protected:
    void TearDown() override
    {
        ui::FormBase::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DbTest::TearDown();
    }
    static frmSeating& f() { return frmSeating::instance(); }

    qint64 insert(const QString& table, const QString& columns, const ado::Params& values)
    {
        const qint64 id = db().reserveKey(table);
        QString marks = "?";
        for (int i = 0; i < values.size(); ++i)
            marks += ", ?";
        ado::Params p{id};
        p << values;
        db().Execute(QString("INSERT INTO %1 (%2, %3) VALUES (%4)").arg(table, db().keyColumn(table), columns, marks), p);
        return id;
    }
    qint64 event(const QString& name) { return insert("EVENT", "EVENT_NAME", {name}); }
    qint64 party(const QVariant& name) { return insert("GUEST", "GUEST_PARTYNAME", {name}); }
    // A person of the party, invited to the events given.
    qint64 person(qint64 guest, const QString& first, const QString& last, std::initializer_list<qint64> events)
    {
        const qint64 id = insert("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME", {guest, first, last});
        for (qint64 e : events)
            insert("INVITE", "EVENT_ID, SUBGUEST_ID", {e, id});
        return id;
    }
    qint64 table(qint64 ev, const QVariant& name, int seats = 4, const QVariant& type = 5)
    {
        return insert("TABLES", "EVENT_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE", {ev, name, seats, type});
    }
    qint64 seat(qint64 tbl, qint64 sub, const QVariant& pos)
    {
        return insert("SEATING", "TABLE_ID, SUBGUEST_ID, SEATING_POS", {tbl, sub, pos});
    }
    int pos(qint64 tbl, qint64 sub)
    {
        const QVariant v =
            db().scalar("SELECT SEATING_POS FROM SEATING WHERE TABLE_ID = ? AND SUBGUEST_ID = ?", {tbl, sub});
        return v.isValid() ? v.toInt() : -99;
    }
    // The key of the table node the person is seated at, "" for none.
    QString seatedAt(qint64 sub)
    {
        const QVariant t = db().scalar("SELECT TABLE_ID FROM SEATING WHERE SUBGUEST_ID = ?", {sub});
        return t.isValid() ? tKey(t.toLongLong()) : QString();
    }
    qlonglong logRows(const QString& table, qint64 key, int action)
    {
        return count("SELECT COUNT(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ? AND "
                     "SYNCHRO_ACTION = ?",
                     {table, key, action});
    }

    frmSeating& open(qint64 ev = 0)
    {
        if (ev)
            f().curEvent = ev;
        f().Show(ui::vbModeless);
        QApplication::setActiveWindow(f().window());
        return f();
    }

    // A tree as text, the people under each node read as opening it reads
    // them: "Invited[Adams[Ann Adams,Bob Adams],Smith[...]]".
    static QString dump(tree::Node* n)
    {
        if (auto* t = qobject_cast<tree::TreeView*>(n->treeWidget()))
            t->loadChildren(n);
        QString s = n->text(0);
        if (n->childCount()) {
            QStringList kids;
            for (int i = 0; i < n->childCount(); ++i)
                kids << dump(n->child(i));
            s += '[' + kids.join(',') + ']';
        }
        return s;
    }
    static QString dump(const tree::TreeView* t) { return t->firstNode() ? dump(t->firstNode()) : QString(); }

    // Where a node stands in its tree's viewport, shown first.
    static QPoint at(tree::TreeView* t, const QString& key)
    {
        tree::Node* n = t->node(key);
        EXPECT_TRUE(n) << key.toStdString();
        if (!n)
            return {};
        t->ensureVisible(n);
        QCoreApplication::processEvents();
        return t->nodeRect(n).center();
    }
    static QString sKey(qint64 id) { return "S" + QString::number(id); }
    static QString tKey(qint64 id) { return "T" + QString::number(id); }

    static void press(tree::TreeView* t, const QString& key, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseClick(t->viewport(), b, {}, at(t, key));
    }
    // Press, move far enough to begin a drag, move over the target and release.
    static void drag(QWidget* from, QPoint fromAt, QWidget* to, QPoint toAt)
    {
        QTest::mousePress(from, Qt::LeftButton, {}, fromAt);
        QTest::mouseMove(from, fromAt + QPoint(12, 2));
        QTest::mouseMove(to, toAt);
        QTest::mouseRelease(to, Qt::LeftButton, {}, toAt);
        QCoreApplication::processEvents();
    }
    static void dragNode(tree::TreeView* from, const QString& key, tree::TreeView* to, const QString& target)
    {
        const QPoint a = at(from, key);
        const QPoint b = target.isEmpty() ? QPoint(5, to->viewport()->height() - 5) : at(to, target);
        drag(from->viewport(), a, to->viewport(), b);
    }
    static QPoint middle(QWidget* w) { return w->rect().center(); }

    QStringList shown() const { return messages.msgs->texts(); }
    ui::ScriptedModalGuard modal;
};

}  // namespace testsupport
