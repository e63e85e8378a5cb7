// Packing replicas and merging them between two copies of the database.

#include "support/fixture.h"

#include "records/modSynchro.h"
#include "records/synchro.h"

#include <QCryptographicHash>

#include <sqlite3.h>

using namespace testsupport;
using modQVDatabase::gConn;

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Every table, row and value of a database, with the header numbers and the
// schema, as text.
QString dumpOf(sqlite3* h)
{
    QString out;
    auto rows = [&](const QString& sql, auto&& each) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            each(st);
        sqlite3_finalize(st);
    };
    auto text = [](sqlite3_stmt* st, int i) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        return p ? QString::fromUtf8(p) : QString("<null>");
    };
    rows("PRAGMA user_version", [&](sqlite3_stmt* st) { out += "version " + text(st, 0) + "\n"; });
    QStringList tables;
    rows("SELECT type, name, sql FROM sqlite_master ORDER BY type, name", [&](sqlite3_stmt* st) {
        out += text(st, 2) + "\n";
        if (text(st, 0) == "table")
            tables << text(st, 1);
    });
    for (const QString& t : tables) {
        out += "== " + t + "\n";
        rows(QString("SELECT * FROM \"%1\" ORDER BY rowid").arg(t), [&](sqlite3_stmt* st) {
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                cells << QString::number(sqlite3_column_type(st, i)) + ":" + text(st, i);
            out += cells.join('|') + "\n";
        });
    }
    return out;
}

QString dumpFile(const QString& path)
{
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    const QString d = dumpOf(h);
    sqlite3_close(h);
    return d;
}

// Two copies of the program, each with its folder and working database made
// from the template; the shared connection is on one of them at a time.
class TwoCopies : public ::testing::Test {
protected:
    struct Copy {
        QTemporaryDir dir;
        int number = 0;
        QString path(const QString& rel) const { return dir.path() + rel; }
        QString working() const { return path("/data/qvnt03.qvd"); }
    };

    void SetUp() override
    {
        make(A, 17);
        make(B, 42);
        use(A);
    }
    void TearDown() override { gConn.Close(); }

    void make(Copy& c, int number)
    {
        c.number = number;
        QDir(c.dir.path()).mkpath("data");
        QFile::copy(templatePath(), c.path("/data/qvnt04.qvd"));
        modQVDatabase::setAppPath(c.dir.path());
        modQVDatabase::LocateDataFile();
        ado::Connection k;
        k.Open(c.working());
        k.setCopyNumber(number);
    }
    void use(Copy& c)
    {
        gConn.Close();
        modQVDatabase::setAppPath(c.dir.path());
        gConn.Open(c.working());
    }

    // The change log's own writer, with a clock of the test so that log
    // times are distinct and in order.
    void log(const QString& table, qint64 key, short action)
    {
        const qlonglong before = gConn.scalar("SELECT count(*) FROM SYNCHRO").toLongLong();
        modSynchro::LogChange(table, int(key), action);
        if (gConn.scalar("SELECT count(*) FROM SYNCHRO").toLongLong() > before)
            gConn.Execute("UPDATE SYNCHRO SET SYNCHRO_DATETIME = ? WHERE rowid = (SELECT max(rowid) FROM SYNCHRO)",
                          {ado::convert::isoDateTime(clock.addSecs(60 * ++ticks))});
    }
    qint64 addGuest(const QString& name)
    {
        const qint64 key = gConn.reserveKey("GUEST");
        gConn.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_CITY) VALUES (?, ?, 'Salem')", {key, name});
        log("GUEST", key, modSynchro::Added);
        return key;
    }
    void renameGuest(qint64 key, const QString& name)
    {
        gConn.Execute("UPDATE GUEST SET GUEST_PARTYNAME = ? WHERE GUEST_ID = ?", {name, key});
        log("GUEST", key, modSynchro::Changed);
    }
    void deleteGuest(qint64 key)
    {
        gConn.Execute("DELETE FROM GUEST WHERE GUEST_ID = ?", {key});
        log("GUEST", key, modSynchro::Deleted);
    }
    QStringList guests()
    {
        QStringList out;
        ado::Recordset rs;
        rs.Open("SELECT GUEST_ID, GUEST_PARTYNAME FROM GUEST ORDER BY GUEST_ID", gConn, ado::adOpenForwardOnly,
                ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext())
            out << rs.value(0).toString() + " " + rs.value(1).toString();
        return out;
    }
    QString g(qint64 key, const QString& name) { return QString::number(key) + " " + name; }

    // Prepares a replica on a copy and saves it in that copy's folder.
    QString replicaOf(Copy& c, const QString& name)
    {
        use(c);
        synchro::Prepare(gConn);
        return synchro::SaveReplica(gConn, c.path("/" + name));
    }
    int merge(Copy& into, const QString& replica)
    {
        use(into);
        return synchro::Synchronize(gConn, replica);
    }
    // The message of a refused or failed merge; "" when it went through.
    QString refusal(const QString& replica)
    {
        try {
            synchro::Synchronize(gConn, replica);
        } catch (const synchro::Failure& f) {
            return f.message();
        }
        return QString();
    }
    QString dump() { return dumpOf(gConn.handle()); }

    Copy A, B;
    ScriptedMessagesGuard messages;
    QDateTime clock{QDate(2026, 5, 1), QTime(9, 0)};
    int ticks = 0;
};

TEST_F(TwoCopies, PrepareBuildsTheReplicaFromTheLog)
{
    const qint64 adams = addGuest("Adams");
    renameGuest(adams, "Adams family");  // no second log row
    const qint64 baker = addGuest("Baker");
    deleteGuest(baker);
    const qint64 cole = addGuest("Cole");
    log("GUEST", cole, modSynchro::Added);  // two log rows, two data rows
    log("TASKS", 999, modSynchro::Changed);  // no such record: a log row only
    // Rows that do not travel: a deletion a merge applied, and names the
    // other copy would refuse.
    gConn.Execute("INSERT INTO SYNCHRO VALUES ('GUEST', 5, '2026-01-01 00:00:00', ?)",
                  {int(synchro::kReceivedDeletion)});
    gConn.Execute("INSERT INTO SYNCHRO VALUES ('guest', 5, '2026-01-01 00:00:00', 1)");
    gConn.Execute("INSERT INTO SYNCHRO VALUES ('TIPS', 1, '2026-01-01 00:00:00', 2)");
    gConn.Execute("INSERT INTO SYNCHRO VALUES ('NOPE', 1, '2026-01-01 00:00:00', 1)");

    QStringList steps;
    const int packed = synchro::Prepare(gConn, [&](const QString& t, int p) { steps << QString("%1 %2").arg(t).arg(p); });
    EXPECT_EQ(packed, 6);
    EXPECT_TRUE(steps.contains("Creating Database... 0"));
    EXPECT_TRUE(steps.contains("Creating Table: GUEST 0"));
    EXPECT_TRUE(steps.contains("Creating Table: TASKS 40"));
    EXPECT_TRUE(steps.contains("Adding records to GUEST 0"));
    EXPECT_TRUE(steps.contains("Adding records to TASKS 66"));
    EXPECT_EQ(steps.last(), "Successfully packed 6 items. 100");

    const QString staging = A.path("/data/synchro.qvd");
    ASSERT_TRUE(QFileInfo::exists(staging));
    EXPECT_FALSE(QFileInfo::exists(staging + ".part"));
    ado::Connection r;
    r.Open(staging);
    EXPECT_EQ(r.scalar("PRAGMA application_id").toInt(), synchro::kReplicaMark);
    EXPECT_EQ(r.copyNumber(), 17);
    EXPECT_EQ(r.columnNames("Synchro"), gConn.columnNames("SYNCHRO"));
    EXPECT_EQ(r.columnNames("GUEST"), gConn.columnNames("GUEST"));
    EXPECT_EQ(r.scalar("SELECT group_concat(SYNCHRO_TABLE || ':' || SYNCHRO_ACTION, ',') FROM Synchro").toString(),
              "GUEST:1,GUEST:1,GUEST:3,GUEST:1,GUEST:1,TASKS:2");
    EXPECT_EQ(r.scalar("SELECT group_concat(GUEST_PARTYNAME, ',') FROM GUEST").toString(), "Adams family,Cole,Cole");
    EXPECT_EQ(r.scalar("SELECT GUEST_CITY FROM GUEST LIMIT 1").toString(), "Salem");
    EXPECT_EQ(r.scalar("SELECT count(*) FROM TASKS").toInt(), 0);
    EXPECT_EQ(r.scalar("SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type = 'table' "
                       "ORDER BY name)")
                  .toString(),
              "GUEST,Synchro,TASKS");
    r.Close();

    // An unsaved replica is kept once more by the next Prepare; a saved one
    // leaves nothing behind, so the kept one stays as it was.
    const QByteArray first = digest(staging);
    synchro::Prepare(gConn);
    EXPECT_EQ(digest(A.path("/data/OLD_synchro.qvd")), first);
    EXPECT_TRUE(QFileInfo::exists(staging));
    synchro::SaveReplica(gConn, A.path("/sent"));
    EXPECT_FALSE(QFileInfo::exists(staging));
    addGuest("Dunn");
    synchro::Prepare(gConn);
    EXPECT_EQ(digest(A.path("/data/OLD_synchro.qvd")), first);
}

TEST_F(TwoCopies, AnEmptyLogPacksAnEmptyReplica)
{
    EXPECT_EQ(synchro::Prepare(gConn), 0);
    const QString d = dumpFile(A.path("/data/synchro.qvd"));
    EXPECT_TRUE(d.contains("CREATE TABLE \"Synchro\""));
    EXPECT_EQ(d.count("CREATE TABLE"), 1);
    // Merged into the other copy, it changes nothing but counts nothing either.
    const QString replica = synchro::SaveReplica(gConn, A.path("/empty.qvd"));
    use(B);
    const QString before = dump();
    EXPECT_EQ(synchro::Synchronize(gConn, replica), 0);
    EXPECT_EQ(dump(), before);
}

TEST_F(TwoCopies, AddChangeAndDeleteTravelBothWays)
{
    const qint64 adams = addGuest("Adams");
    const qint64 acker = addGuest("Acker");
    use(B);
    const qint64 baker = addGuest("Baker");
    EXPECT_EQ(adams / ado::Connection::kKeyRange, 17);
    EXPECT_EQ(baker / ado::Connection::kKeyRange, 42);

    // Both prepare before either merges: nothing is lost.
    const QString fromA = replicaOf(A, "a1.qvd");
    const QString fromB = replicaOf(B, "b1.qvd");
    EXPECT_EQ(merge(B, fromA), 2);
    EXPECT_EQ(merge(A, fromB), 1);
    const QStringList all = {g(adams, "Adams"), g(acker, "Acker"), g(baker, "Baker")};
    EXPECT_EQ(guests(), all);
    use(B);
    EXPECT_EQ(guests(), all);
    EXPECT_EQ(gConn.scalar("SELECT GUEST_CITY FROM GUEST WHERE GUEST_ID = ?", {adams}).toString(), "Salem");
    // The merge logged nothing of what it applied.
    EXPECT_EQ(gConn.scalar("SELECT count(*) FROM SYNCHRO").toInt(), 1);

    // Each changes the other's record, B deletes one of A's; the replicas cross again.
    renameGuest(adams, "Adams-Smith");
    deleteGuest(acker);
    use(A);
    renameGuest(baker, "Baker-Jones");
    const qint64 ames = addGuest("Ames");
    const QString fromA2 = replicaOf(A, "a2.qvd");
    const QString fromB2 = replicaOf(B, "b2.qvd");
    merge(A, fromB2);
    merge(B, fromA2);
    const QStringList after = {g(adams, "Adams-Smith"), g(ames, "Ames"), g(baker, "Baker-Jones")};
    EXPECT_EQ(guests(), after);
    use(A);
    EXPECT_EQ(guests(), after);

    // Keys of the other copy leave this copy's next keys in its own range.
    EXPECT_EQ(addGuest("Next") / ado::Connection::kKeyRange, 17);
    use(B);
    EXPECT_EQ(addGuest("Next") / ado::Connection::kKeyRange, 42);
}

TEST_F(TwoCopies, ACopyAddingAtTheSameTimeLosesNothing)
{
    QList<qint64> keys;
    for (int i = 0; i < 30; ++i) {
        use(A);
        keys << addGuest(QString("A%1").arg(i));
        use(B);
        keys << addGuest(QString("B%1").arg(i));
    }
    for (int round = 0; round < 2; ++round) {
        const QString fromA = replicaOf(A, QString("a%1.qvd").arg(round));
        const QString fromB = replicaOf(B, QString("b%1.qvd").arg(round));
        merge(A, fromB);
        merge(B, fromA);
        use(A);
        keys << addGuest("late A");
        use(B);
        keys << addGuest("late B");
    }
    const QString fromA = replicaOf(A, "a.qvd");
    const QString fromB = replicaOf(B, "b.qvd");
    merge(A, fromB);
    merge(B, fromA);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
    for (Copy* c : {&A, &B}) {
        use(*c);
        EXPECT_EQ(gConn.scalar("SELECT count(*) FROM GUEST").toInt(), keys.size());
    }
}

TEST_F(TwoCopies, MergingTheSameReplicaTwiceGivesTheSameDatabase)
{
    const qint64 adams = addGuest("Adams");
    const qint64 gone = addGuest("Gone");
    deleteGuest(gone);
    // Add and delete of the same key in one replica: applied in log order.
    use(B);
    const qint64 kept = addGuest("Kept");
    const QString fromB0 = replicaOf(B, "b0.qvd");
    merge(A, fromB0);
    use(A);
    renameGuest(kept, "Kept here");
    deleteGuest(adams);
    const QString fromA = replicaOf(A, "a.qvd");

    merge(B, fromA);
    const QString once = dump();
    EXPECT_EQ(guests(), QStringList{g(kept, "Kept here")});
    merge(B, fromA);
    EXPECT_EQ(dump(), once);
}

TEST_F(TwoCopies, ADeletionIsNotUndone)
{
    const qint64 adams = addGuest("Adams");
    const qint64 baker = addGuest("Baker");
    const QString old = replicaOf(A, "old.qvd");
    merge(B, old);

    // B deletes a record of A's; A's old replica, and a newer one in which A
    // changed the record, do not bring it back.
    deleteGuest(adams);
    merge(B, old);
    EXPECT_EQ(guests(), QStringList{g(baker, "Baker")});
    use(A);
    renameGuest(baker, "Baker-Jones");
    renameGuest(adams, "Adams again");
    const QString newer = replicaOf(A, "newer.qvd");
    merge(B, newer);
    EXPECT_EQ(guests(), QStringList{g(baker, "Baker-Jones")});

    // A deletion received from B is remembered too: after B's replica with
    // the deletion, an older replica of B's that still holds the record
    // leaves it deleted.
    use(B);
    const qint64 cole = addGuest("Cole");
    const QString withCole = replicaOf(B, "cole.qvd");
    deleteGuest(cole);
    const QString withoutCole = replicaOf(B, "nocole.qvd");
    merge(A, withoutCole);
    EXPECT_EQ(gConn.scalar("SELECT count(*) FROM GUEST WHERE GUEST_ID IN (?, ?)", {adams, cole}).toInt(), 0);
    merge(A, withCole);
    EXPECT_EQ(gConn.scalar("SELECT count(*) FROM GUEST WHERE GUEST_ID = ?", {cole}).toInt(), 0);
    // What the merge remembered does not travel back.
    const QString fromA = replicaOf(A, "back.qvd");
    ado::Connection r;
    r.Open(fromA);
    EXPECT_EQ(r.scalar("SELECT count(*) FROM Synchro WHERE SYNCHRO_ACTION < 0").toInt(), 0);
    EXPECT_EQ(r.scalar("SELECT count(*) FROM Synchro WHERE SYNCHRO_RECORDID = ?", {cole}).toInt(), 0);
}

TEST_F(TwoCopies, ARecordChangedOnBothSidesSettlesOnTheNewerChange)
{
    const qint64 adams = addGuest("Adams");
    merge(B, replicaOf(A, "a0.qvd"));
    use(A);
    renameGuest(adams, "older change");  // A's log keeps its add only
    use(B);
    renameGuest(adams, "newer change");
    const QString fromA = replicaOf(A, "a.qvd");
    const QString fromB = replicaOf(B, "b.qvd");
    merge(A, fromB);
    merge(B, fromA);
    EXPECT_EQ(guests(), QStringList{g(adams, "newer change")});
    use(A);
    EXPECT_EQ(guests(), QStringList{g(adams, "newer change")});
}

TEST_F(TwoCopies, RefusalsAndFailuresLeaveTheDatabaseUnchanged)
{
    use(B);
    const qint64 baker = addGuest("Baker");
    log("TITLES", 1, modSynchro::Deleted);
    const QString good = replicaOf(B, "good.qvd");
    use(A);
    const qint64 adams = addGuest("Adams");

    // A replica of B's, tampered with.
    auto tampered = [&](const QString& name, const QStringList& sql) {
        const QString path = B.path("/" + name);
        QFile::copy(good, path);
        // Written past the data layer, whose rules would refuse the hostile values.
        sqlite3* r = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &r);
        for (const QString& s : sql)
            EXPECT_EQ(sqlite3_exec(r, s.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << s.toStdString();
        sqlite3_close(r);
        return path;
    };
    const QString plain = A.path("/plain.qvd");
    {
        QFile f(plain);
        f.open(QIODevice::WriteOnly);
        f.write("Dear Ann, here is our guest list.\n");
    }
    // A copy made on A itself.
    synchro::Prepare(gConn);
    const QString ours = synchro::SaveReplica(gConn, A.path("/ours.qvd"));
    // A file copy of A's database, marked as a replica.
    const QString fileCopy = A.path("/copy.qvd");
    QFile::copy(A.working(), fileCopy);
    {
        ado::Connection r;
        r.Open(fileCopy);
        r.Execute(QString("PRAGMA application_id = %1").arg(synchro::kReplicaMark));
    }

    const struct {
        QString replica;
        QString message;
    } cases[] = {
        {plain, "is not a replica of a Nuptaro database"},
        {A.path("/data/qvnt04.qvd"), "is not a replica of a Nuptaro database"},
        {tampered("unmarked.qvd", {"PRAGMA application_id = 0"}), "is not a replica of a Nuptaro database"},
        {A.path("/missing.qvd"), "was not found"},
        {A.working(), "This is the working database itself"},
        {A.path("/data/../data/qvnt03.qvd"), "This is the working database itself"},
        {ours, "prepared from this copy of the database (copy number 17)"},
        {fileCopy, "prepared from this copy of the database (copy number 17)"},
        {tampered("order.qvd", {"ALTER TABLE GUEST RENAME COLUMN GUEST_FNAME TO X",
                                "ALTER TABLE GUEST RENAME COLUMN GUEST_LNAME TO GUEST_FNAME",
                                "ALTER TABLE GUEST RENAME COLUMN X TO GUEST_LNAME"}),
         "The table GUEST of the replica does not have the same columns"},
        {tampered("fewer.qvd", {"ALTER TABLE GUEST DROP COLUMN GUEST_ACCOMDEPARTTIME"}),
         "The table GUEST of the replica does not have the same columns"},
        {tampered("nolog.qvd", {"ALTER TABLE Synchro DROP COLUMN SYNCHRO_ACTION"}),
         "The change log of the replica"},
        {tampered("notable.qvd", {"DROP TABLE TITLES"}), "The replica has no table TITLES"},
        {tampered("synchro.qvd", {"INSERT INTO Synchro VALUES ('SYNCHRO', 1, '2026-01-01 00:00:00', 3)"}),
         "names the table \"SYNCHRO\""},
        {tampered("where.qvd", {"INSERT INTO Synchro VALUES ('GUEST WHERE 1=1', 1, '2026-01-01 00:00:00', 3)"}),
         "names the table \"GUEST WHERE 1=1\""},
        {tampered("tips.qvd", {"INSERT INTO Synchro VALUES ('TIPS', 1, '2026-01-01 00:00:00', 3)"}),
         "names the table \"TIPS\""},
        {tampered("std.qvd", {"INSERT INTO Synchro VALUES ('STDTASK', 1, '2026-01-01 00:00:00', 3)"}),
         "names the table \"STDTASK\""},
        {tampered("case.qvd", {"INSERT INTO Synchro VALUES ('guest', 1, '2026-01-01 00:00:00', 3)"}),
         "names the table \"guest\""},
        {tampered("key.qvd", {"INSERT INTO Synchro VALUES ('GUEST', '1 OR 1=1', '2026-01-01 00:00:00', 3)"}),
         "holds rows that are not valid"},
    };
    const QString before = dump();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.replica.toStdString());
        const QString message = refusal(c.replica);
        if (c.message.isEmpty())
            EXPECT_FALSE(message.isEmpty());
        else
            EXPECT_TRUE(message.contains(c.message)) << message.toStdString();
        EXPECT_TRUE(message.contains("Nothing was changed") || message.contains("left as it was"))
            << message.toStdString();
        EXPECT_EQ(dump(), before);
    }
    EXPECT_FALSE(QFileInfo::exists(A.path("/missing.qvd")));

    // A failure after part of the merge was applied rolls all of it back.
    // The guest comes first and is applied, then the title's deletion fails.
    gConn.Execute("CREATE TRIGGER boom BEFORE DELETE ON TITLES WHEN OLD.TITLE_ID = 1 "
                  "BEGIN SELECT RAISE(ABORT, 'injected failure'); END");
    const QString armed = dump();
    const QString message = refusal(good);
    EXPECT_TRUE(message.contains("injected failure")) << message.toStdString();
    EXPECT_TRUE(message.contains("left as it was"));
    EXPECT_EQ(dump(), armed);
    EXPECT_EQ(gConn.transactionDepth(), 0);
    // The copy kept before the merge is the database as it was.
    EXPECT_EQ(dumpFile(A.path("/data/PRE_synchro.qvd")), armed);

    // The same replica goes through once the fault is gone.
    gConn.Execute("DROP TRIGGER boom");
    EXPECT_EQ(refusal(good), "");
    EXPECT_EQ(guests(), (QStringList{g(adams, "Adams"), g(baker, "Baker")}));
    EXPECT_EQ(gConn.scalar("SELECT count(*) FROM TITLES WHERE TITLE_ID = 1").toInt(), 0);
}

TEST_F(TwoCopies, SavingRefusesTheDatabasesAndAppendsTheExtension)
{
    addGuest("Adams");
    const QString workingBefore = dump();
    const QByteArray templ = digest(A.path("/data/qvnt04.qvd"));
    auto saveFails = [&](const QString& chosen) {
        synchro::Prepare(gConn);
        try {
            synchro::SaveReplica(gConn, chosen);
        } catch (const synchro::Failure& f) {
            EXPECT_TRUE(QFileInfo::exists(A.path("/data/synchro.qvd")));
            return f.message();
        }
        return QString();
    };
    EXPECT_TRUE(saveFails(A.path("/data/qvnt03")).contains("over the working database"));
    EXPECT_TRUE(saveFails(A.working()).contains("over the working database"));
    EXPECT_TRUE(saveFails(A.path("/data/qvnt04.qvd")).contains("over the empty template"));
    QDir(A.dir.path()).mkdir("folder.qvd");
    EXPECT_TRUE(saveFails(A.path("/folder.qvd")).contains("is a folder"));
    EXPECT_EQ(dump(), workingBefore);
    EXPECT_EQ(digest(A.path("/data/qvnt04.qvd")), templ);

    const struct {
        QString chosen;
        QString saved;
    } names[] = {
        {"/out", "/out.qvd"},
        {"/out.qvd", "/out.qvd"},
        {"/OUT.QVD", "/OUT.QVD.qvd"},
        {"/data/synchro.qvd", "/data/synchro.qvd"},
    };
    for (const auto& n : names) {
        SCOPED_TRACE(n.chosen.toStdString());
        synchro::Prepare(gConn);
        const QByteArray packed = digest(A.path("/data/synchro.qvd"));
        EXPECT_EQ(synchro::SaveReplica(gConn, A.path(n.chosen)), A.path(n.saved));
        EXPECT_EQ(digest(A.path(n.saved)), packed);
        EXPECT_EQ(QFileInfo::exists(A.path("/data/synchro.qvd")), n.saved == "/data/synchro.qvd");
    }
    // An existing file is replaced; nothing is saved without a Prepare.
    EXPECT_EQ(synchro::SaveReplica(gConn, ""), "");
    QFile::remove(A.path("/data/synchro.qvd"));
    EXPECT_THROW(synchro::SaveReplica(gConn, A.path("/out")), synchro::Failure);
}

}  // namespace
