// Deleting each kind of record with its dependent rows, and the log rows
// that go with them.

#include "support/editors.h"
#include "support/fixture.h"
#include "support/twocopies.h"

#include "records/cascade.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>

using testsupport::DbTest;
using records::DeleteKind;
using records::RemovedRow;

namespace {

const QStringList kRecordTables = {"EVENT", "EVENT_FOOD", "EVENT_DECORATION", "EVENT_MUSIC", "EVENT_PLAYSCRIPT",
                                   "INVITE", "TABLES", "SEATING", "GUEST", "SUBGUEST", "VENDOR", "QUOTE",
                                   "TASKS", "EXPENSES", "BUDGET", "GIFT", "REGISTRY", "ATTIRE",
                                   "MEASURE_FEMALE", "MEASURE_MALE"};

class Cascade : public DbTest {
protected:
    static qint64 insert(const QString& sql, const ado::Params& p = {}) { return testsupport::insertRow(sql, p); }

    // Every key of every record table.
    QSet<QString> keys()
    {
        QSet<QString> out;
        for (const QString& t : kRecordTables) {
            ado::Recordset rs;
            rs.Open("SELECT * FROM " + t, db(), ado::adOpenForwardOnly, ado::adLockReadOnly);
            for (; !rs.EOF_(); rs.MoveNext())
                out.insert(t + ':' + rs.value(0).toString());
        }
        return out;
    }

    QSet<QString> deletionLog()
    {
        QSet<QString> out;
        ado::Recordset rs;
        rs.Open("SELECT SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_ACTION FROM SYNCHRO", db(), ado::adOpenForwardOnly,
                ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext()) {
            EXPECT_EQ(rs.value(2).toInt(), 3);
            out.insert(rs.value(0).toString() + ':' + rs.value(1).toString());
        }
        return out;
    }

    static QSet<QString> asSet(const QVector<RemovedRow>& rows)
    {
        QSet<QString> out;
        for (const RemovedRow& r : rows)
            out.insert(r.table + ':' + QString::number(r.key));
        return out;
    }

    // Deletes and checks that exactly the expected rows went, each logged once.
    void expectRemoves(DeleteKind kind, qint64 id, const QSet<QString>& expected)
    {
        db().Execute("DELETE FROM SYNCHRO");
        const QSet<QString> before = keys();
        const auto outcome = records::deleteRecord(kind, id);
        ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
        const QSet<QString> gone = before - keys();
        EXPECT_EQ(gone, expected);
        EXPECT_EQ(deletionLog(), expected);
        EXPECT_EQ(asSet(outcome.removed), expected);
        EXPECT_EQ(outcome.removed.size(), expected.size());
        EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), expected.size());
    }

    static QString k(const QString& t, qint64 key) { return t + ':' + QString::number(key); }

    // A whole event: lists, invitations, two tables with seats.
    struct EventRows {
        qint64 event;
        QSet<QString> rows;
    };
    EventRows makeEvent(const QString& name, qint64 sub1, qint64 sub2)
    {
        EventRows e;
        e.event = insert("INSERT INTO EVENT (EVENT_NAME) VALUES (?)", {name});
        e.rows << k("EVENT", e.event);
        const QStringList lists = {"EVENT_FOOD", "EVENT_DECORATION", "EVENT_MUSIC", "EVENT_PLAYSCRIPT"};
        for (const QString& t : lists)
            for (int i = 0; i < 2; ++i)
                e.rows << k(t, insert(QString("INSERT INTO %1 (EVENT_ID, %1_ORDER) VALUES (?, ?)").arg(t), {e.event, i}));
        for (qint64 s : {sub1, sub2})
            e.rows << k("INVITE", insert("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (?, ?)", {e.event, s}));
        for (int t = 0; t < 2; ++t) {
            const qint64 table = insert("INSERT INTO TABLES (EVENT_ID, TABLE_NAME, TABLE_SEATS) VALUES (?, ?, 8)",
                                        {e.event, QString("Table %1").arg(t + 1)});
            e.rows << k("TABLES", table);
            e.rows << k("SEATING", insert("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID, SEATING_POS) VALUES (?, ?, 1)",
                                          {table, t == 0 ? sub1 : sub2}));
        }
        return e;
    }

    struct Party {
        qint64 guest;
        QVector<qint64> subs;
    };
    Party makeParty(const QString& name, int people)
    {
        Party p;
        p.guest = insert("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES (?)", {name});
        for (int i = 0; i < people; ++i)
            p.subs << insert("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME) VALUES (?, ?)",
                             {p.guest, QString("Person %1").arg(i)});
        return p;
    }

    QString dump() { return testsupport::dumpOf(db().handle()); }
};

TEST_F(Cascade, EventGoesWithItsListsInvitationsTablesAndSeats)
{
    const Party p = makeParty("Lopez", 2);
    const EventRows doomed = makeEvent("Reception", p.subs[0], p.subs[1]);
    const EventRows kept = makeEvent("Shower", p.subs[0], p.subs[1]);
    expectRemoves(DeleteKind::Event, doomed.event, doomed.rows);
    // Nothing of the other event, and no guest, was touched.
    for (const QString& r : kept.rows)
        EXPECT_TRUE(keys().contains(r)) << r.toStdString();
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM SEATING WHERE TABLE_ID NOT IN (SELECT TABLE_ID FROM TABLES)"), 0);
}

TEST_F(Cascade, PartySubguestTableAndVendor)
{
    const Party party = makeParty("Nguyen", 2);
    const Party other = makeParty("Okafor", 1);
    const EventRows ev = makeEvent("Reception", party.subs[0], party.subs[1]);
    // The other party's person shares the first table.
    const qint64 firstTable = db().scalar("SELECT min(TABLE_ID) FROM TABLES").toLongLong();
    const qint64 otherSeat = insert("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID) VALUES (?, ?)", {firstTable, other.subs[0]});
    const qint64 otherInvite = insert("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (?, ?)", {ev.event, other.subs[0]});

    QSet<QString> partyRows{k("GUEST", party.guest), k("SUBGUEST", party.subs[0]), k("SUBGUEST", party.subs[1])};
    for (const QString& t : {QString("SEATING"), QString("INVITE")}) {
        ado::Recordset rs;
        rs.Open(QString("SELECT %1_ID FROM %1 WHERE SUBGUEST_ID IN (?, ?)").arg(t), db(), ado::adOpenForwardOnly,
                ado::adLockReadOnly, {party.subs[0], party.subs[1]});
        for (; !rs.EOF_(); rs.MoveNext())
            partyRows << k(t, rs.value(0).toLongLong());
    }
    ASSERT_EQ(partyRows.size(), 7);
    expectRemoves(DeleteKind::Guests, party.guest, partyRows);

    // One subguest, from either window: its seat and invitation go with it.
    expectRemoves(DeleteKind::SubguestFromDetail, other.subs[0],
                  {k("SUBGUEST", other.subs[0]), k("SEATING", otherSeat), k("INVITE", otherInvite)});
    EXPECT_EQ(count("SELECT count(*) FROM GUEST WHERE GUEST_ID = ?", {other.guest}), 1);

    // A table with seats; the event's other table stays.
    const Party third = makeParty("Park", 1);
    const qint64 seat = insert("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID) VALUES (?, ?)", {firstTable, third.subs[0]});
    expectRemoves(DeleteKind::Table, firstTable, {k("TABLES", firstTable), k("SEATING", seat)});
    EXPECT_EQ(count("SELECT count(*) FROM TABLES WHERE EVENT_ID = ?", {ev.event}), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST WHERE SUBGUEST_ID = ?", {third.subs[0]}), 1);

    // A vendor takes the quotes that carry its key, and only those: a quote
    // the quote editor made names its vendor by text and stays.
    const qint64 florist = insert("INSERT INTO VENDOR (VENDOR_NAME) VALUES ('Bloom & Co')");
    const qint64 qKey = insert("INSERT INTO QUOTE (QUOTE_VENDOR, VENDOR_ID) VALUES ('whatever', ?)", {florist});
    const qint64 qName = insert("INSERT INTO QUOTE (QUOTE_VENDOR) VALUES ('bloom & co')");
    expectRemoves(DeleteKind::Vendor, florist, {k("VENDOR", florist), k("QUOTE", qKey)});
    EXPECT_EQ(count("SELECT count(*) FROM QUOTE WHERE QUOTE_ID = ?", {qName}), 1);
}

TEST_F(Cascade, SingleRowKindsAndMissingKeys)
{
    struct Case {
        DeleteKind kind;
        const char* table;
    };
    const Case cases[] = {
        {DeleteKind::Task, "TASKS"},       {DeleteKind::Quote, "QUOTE"},
        {DeleteKind::Expense, "EXPENSES"}, {DeleteKind::Budget, "BUDGET"},
        {DeleteKind::Registry, "REGISTRY"}, {DeleteKind::Gift, "GIFT"},
        {DeleteKind::Attire, "ATTIRE"},    {DeleteKind::FemaleMeasurement, "MEASURE_FEMALE"},
        {DeleteKind::MaleMeasurement, "MEASURE_MALE"}, {DeleteKind::SubguestFromMain, "SUBGUEST"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
            const QString key = db().keyColumn(c.table);
        const qint64 a = insert(QString("INSERT INTO %1 DEFAULT VALUES").arg(c.table));
        const qint64 b = insert(QString("INSERT INTO %1 DEFAULT VALUES").arg(c.table));
        expectRemoves(c.kind, a, {k(c.table, a)});
        EXPECT_EQ(count(QString("SELECT count(*) FROM %1 WHERE %2 = ?").arg(c.table, key), {b}), 1);
        // A key that names no row removes and logs nothing.
            expectRemoves(c.kind, a, {});
    }
    // No kind: nothing at all.
    const QString before = dump();
    EXPECT_TRUE(records::deleteRecord(DeleteKind::None, 1).ok);
    EXPECT_EQ(dump(), before);
}

TEST_F(Cascade, AFailingStepLeavesEverythingAsItWas)
{
    const Party p = makeParty("Schmidt", 2);
    const EventRows ev = makeEvent("Rehearsal Dinner", p.subs[0], p.subs[1]);
    db().Execute("CREATE TRIGGER no_unseat BEFORE DELETE ON SEATING BEGIN SELECT RAISE(ABORT, 'x'); END");
    for (auto [kind, id] : {std::pair{DeleteKind::Event, ev.event}, std::pair{DeleteKind::Guests, p.guest},
                            std::pair{DeleteKind::SubguestFromMain, p.subs[1]}}) {
        const QString before = dump();
        const auto outcome = records::deleteRecord(kind, id);
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.error.contains("nothing was changed")) << outcome.error.toStdString();
        EXPECT_TRUE(outcome.removed.isEmpty());
        EXPECT_EQ(dump(), before);
        EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);
        EXPECT_EQ(db().transactionDepth(), 0);
    }
    // A failing log write undoes the deletes too.
    db().Execute("DROP TRIGGER no_unseat");
    db().Execute("CREATE TRIGGER no_log BEFORE INSERT ON SYNCHRO WHEN NEW.SYNCHRO_TABLE = 'INVITE' "
                 "BEGIN SELECT RAISE(ABORT, 'log full'); END");
    const QString before = dump();
    EXPECT_FALSE(records::deleteRecord(DeleteKind::Event, ev.event).ok);
    EXPECT_EQ(dump(), before);
}

class GiftPicture : public Cascade {
protected:
    QString folderPath() { return records::giftPictureFolder(); }
    QString makeFile(const QString& path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("jpeg");
        return path;
    }
    qint64 gift(const QVariant& image) { return insert("INSERT INTO GIFT (GIFT_NAME, GIFT_IMAGE) VALUES ('Vase', ?)", {image}); }
};

TEST_F(GiftPicture, FileGoesOnlyWhenInsideTheFolderAndNamedByNoOtherGift)
{
    const QString inside = makeFile(folderPath() + "/vase.jpg");
    const QString shared = makeFile(folderPath() + "/shared.jpg");
    const QString outside = makeFile(folder->path() + "/elsewhere/vase.jpg");
    const QString escaping = folderPath() + "/../../../elsewhere/vase.jpg";
    const QString relative = makeFile(folderPath() + "/relative.jpg");
    const QString readOnly = makeFile(folderPath() + "/locked.jpg");
    QFile(readOnly).setPermissions(QFileDevice::ReadOwner);

    struct Case {
        QString stored;
        QString file;       // what must exist or not afterwards
        bool fileRemoved;
        bool sharedWithAnother;
    };
    const Case cases[] = {
        {inside, inside, true, false},
        {shared, shared, false, true},
        {outside, outside, false, false},
        {escaping, outside, false, false},
        {"data/images/gifts/relative.jpg", relative, true, false},
        {readOnly, readOnly, true, false},
        {folderPath() + "/already-gone.jpg", QString(), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        const qint64 id = gift(c.stored);
        if (c.sharedWithAnother)
            gift(c.stored);
        const auto outcome = records::deleteRecord(DeleteKind::Gift, id);
        ASSERT_TRUE(outcome.ok);
        EXPECT_EQ(count("SELECT count(*) FROM GIFT WHERE GIFT_ID = ?", {id}), 0);
        if (!c.file.isEmpty()) {
            EXPECT_EQ(QFile::exists(c.file), !c.fileRemoved);
        }
    }
    // Gifts without a picture delete cleanly.
    for (const QVariant& none : {QVariant(), QVariant(QString(""))}) {
        const qint64 id = gift(none);
        EXPECT_TRUE(records::deleteRecord(DeleteKind::Gift, id).ok);
        EXPECT_EQ(count("SELECT count(*) FROM GIFT WHERE GIFT_ID = ?", {id}), 0);
    }
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_FALSE(records::isInGiftPictureFolder(folderPath()));
}

TEST_F(GiftPicture, FileStaysWhenTheRowCouldNotBeDeleted)
{
    const QString file = makeFile(folderPath() + "/kept.jpg");
    const qint64 id = gift(file);
    db().Execute("CREATE TRIGGER keep_gift BEFORE DELETE ON GIFT BEGIN SELECT RAISE(ABORT, 'x'); END");
    EXPECT_FALSE(records::deleteRecord(DeleteKind::Gift, id).ok);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(count("SELECT count(*) FROM GIFT WHERE GIFT_ID = ?", {id}), 1);
}

TEST(DeleteTexts, EveryKindNamesItsRecordAndOtherModesHaveNothingToDelete)
{
    for (int k = int(DeleteKind::Event); k <= int(DeleteKind::Attire); ++k) {
        const DeleteKind kind = DeleteKind(k);
        const std::string name = records::deleteKindName(kind).toStdString();
        EXPECT_FALSE(name.empty()) << k;
        EXPECT_TRUE(records::deleteConfirmation(kind, "Ann Lee").startsWith("Delete the ")) << name;
        EXPECT_TRUE(records::deleteConfirmation(kind, "Ann Lee").contains(": Ann Lee")) << name;
    }
    // A budget item is named an expense item, as it always was.
    EXPECT_EQ(records::deleteConfirmation(DeleteKind::Budget, "X"), "Delete the expense item: X.");
    EXPECT_EQ(records::deleteConfirmation(DeleteKind::None, "X"), "Nothing to delete.");
}

}  // namespace
