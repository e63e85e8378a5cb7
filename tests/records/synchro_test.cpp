// Packing replicas and merging them between two copies of the database.

#include "support/twocopies.h"

using namespace testsupport;
using modQVDatabase::gConn;

namespace {

class TwoCopies : public TwoCopiesTest {};

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
              "Computer,Copies,GUEST,Keys,Origins,Partner,PartnerReplicas,Replicas,Synchro,TASKS,Versions");
    // Each record once, with the version it holds here, or as deleted; the
    // task that is not here has none.
    auto version = [&](qint64 key) {
        return gConn.scalar("SELECT VERSION_CHANGED FROM SYNCHRO_VERSION WHERE VERSION_RECORDID = ?", {key}).toString();
    };
    const QString deleted = gConn.scalar("SELECT strftime('%Y-%m-%d %H:%M:%f', SYNCHRO_DATETIME, 'utc') FROM SYNCHRO "
                                         "WHERE SYNCHRO_ACTION = 3").toString();
    EXPECT_GT(version(adams), gConn.scalar("SELECT strftime('%Y-%m-%d %H:%M:%f', SYNCHRO_DATETIME, 'utc') FROM "
                                           "SYNCHRO WHERE SYNCHRO_RECORDID = ?", {adams}).toString());  // the rename
    EXPECT_EQ(rowsOf(r.handle(), "SELECT VERSION_TABLE, VERSION_RECORDID, VERSION_STAMP, VERSION_COPY, "
                                 "VERSION_DELETED FROM Versions ORDER BY VERSION_RECORDID"),
              QString("3:GUEST|1:%1|3:%2|1:17|1:0\n3:GUEST|1:%3|3:%4|1:17|1:1\n3:GUEST|1:%5|3:%6|1:17|1:0\n")
                  .arg(adams).arg(version(adams)).arg(baker).arg(deleted).arg(cole).arg(version(cole)));
    EXPECT_EQ(r.scalar("SELECT count(*) FROM Copies").toInt(), 0);
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
    // the log, the versions, the earlier copy numbers, the records' and the replicas' marks, the partner, the
    // computer, what it saw of the partner's replicas, the partner's highest keys
    EXPECT_EQ(d.count("CREATE TABLE"), 9);
    // Merged into the other copy, it changes nothing but counts nothing either.
    const QString replica = synchro::SaveReplica(gConn, A.path("/empty.qvd"));
    use(B);
    const QString before = dump();
    const synchro::Merged m = synchro::Synchronize(gConn, replica);
    EXPECT_EQ(m.items + m.applied + m.skipped, 0);
    // B now knows A as the copy it exchanges with, and its replicas.
    EXPECT_EQ(rows("SELECT PARTNER_NUMBER FROM SYNCHRO_PARTNER"), "1:17\n");
    EXPECT_EQ(rows("SELECT count(*) FROM SYNCHRO_PARTNER_REPLICA"), "1:1\n");
    db().Execute("DELETE FROM SYNCHRO_PARTNER");
    db().Execute("DELETE FROM SYNCHRO_PARTNER_REPLICA");
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
    EXPECT_EQ(merge(B, fromA).items, 2);
    EXPECT_EQ(merge(A, fromB).items, 1);
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

TEST_F(TwoCopies, RefusalsAndFailuresLeaveTheDatabaseUnchanged)
{
    use(B);
    const qint64 baker = addGuest("Baker");
    gConn.Execute("DELETE FROM TITLES WHERE TITLE_ID = 1");
    log("TITLES", 1, modSynchro::Deleted);
    const qint64 task = gConn.reserveKey("TASKS");
    gConn.Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE) VALUES (?, 'Book the band', "
                  "'2026-06-01 00:00:00')",
                  {task});
    log("TASKS", task, modSynchro::Added);
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
        {ours, "was prepared by this copy of the database"},
        {fileCopy, "is not a replica of a Nuptaro database"},
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
         "table Synchro, column SYNCHRO_RECORDID holds the key '1 OR 1=1'"},
        // Values that do not fit the columns, named by table and column.
        {tampered("yes.qvd", {"UPDATE TASKS SET TASK_COMPLETE = 'yes'"}),
         "table TASKS, column TASK_COMPLETE of record 42000001 holds 'yes', which is not a Yes/No value"},
        {tampered("nullyes.qvd", {"UPDATE TASKS SET TASK_COMPLETE = NULL"}),
         "table TASKS, column TASK_COMPLETE of record 42000001 holds nothing"},
        {tampered("week.qvd", {"UPDATE TASKS SET TASK_DUEDATE = 'next week'"}),
         "table TASKS, column TASK_DUEDATE of record 42000001 holds 'next week', which is not a date and time"},
        {tampered("feb30.qvd", {"UPDATE TASKS SET TASK_DUEDATE = '2026-02-30 00:00:00'"}),
         "column TASK_DUEDATE of record 42000001 holds '2026-02-30 00:00:00'"},
        {tampered("number.qvd", {"UPDATE TASKS SET TASK_STDID = 'five'"}),
         "table TASKS, column TASK_STDID of record 42000001 holds 'five', which is not a whole number"},
        {tampered("blob.qvd", {"UPDATE GUEST SET GUEST_CITY = X'00FF'"}),
         "table GUEST, column GUEST_CITY of record 42000001 holds binary data, which is not a text"},
        {tampered("textkey.qvd", {"UPDATE GUEST SET GUEST_ID = '12a'"}),
         "table GUEST, column GUEST_ID holds the key '12a', which neither copy can have given out"},
        {tampered("range.qvd", {"UPDATE GUEST SET GUEST_ID = 99000001"}),
         "holds records made by a third copy of the wedding (copy number 99, in table GUEST)"},
        {tampered("huge.qvd", {"UPDATE GUEST SET GUEST_ID = 4611686018427387904"}),
         "table GUEST, column GUEST_ID holds the key 4611686018427387904, which neither copy can have given out"},
        {tampered("negative.qvd", {"UPDATE GUEST SET GUEST_ID = -5"}), "holds the key -5"},
        {tampered("copy0.qvd", {"PRAGMA user_version = 0"}), "the copy number 0, which no copy"},
        {tampered("copyneg.qvd", {"PRAGMA user_version = -7"}), "the copy number -7, which no copy"},
        {tampered("stamp.qvd", {"UPDATE Versions SET VERSION_STAMP = 'yesterday'"}),
         "table Versions, column VERSION_STAMP"},
        {tampered("vcopy.qvd", {"UPDATE Versions SET VERSION_COPY = 99"}), "table Versions, column VERSION_COPY"},
        {tampered("vgone.qvd", {"UPDATE Versions SET VERSION_DELETED = 'no'"}),
         "table Versions, column VERSION_DELETED"},
        {tampered("vkey.qvd", {"UPDATE Versions SET VERSION_RECORDID = 77000001, VERSION_DELETED = 1"}),
         "holds records made by a third copy of the wedding (copy number 77, in table Versions)"},
        {tampered("vtable.qvd", {"UPDATE Versions SET VERSION_TABLE = 'VENDOR'"}),
         "table Versions, column VERSION_TABLE"},
        {tampered("vtwice.qvd", {"INSERT INTO Versions SELECT * FROM Versions LIMIT 1"}), "two versions"},
        {tampered("vnodata.qvd", {"DELETE FROM TASKS"}), "has no record 42000001 of table TASKS"},
        {tampered("copies.qvd", {"INSERT INTO Copies VALUES ('x')"}), "table Copies, column COPY_NUMBER"},
        // A replica of a copy that has not been updated carries no versions.
        {tampered("earlier.qvd", {"DROP TABLE Versions", "DROP TABLE Copies"}),
         "was prepared by an earlier version of Nuptaro"},
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

    // A failure in the middle of the merge rolls all of it back.
    gConn.Execute("CREATE TRIGGER boom BEFORE DELETE ON TITLES WHEN OLD.TITLE_ID = 1 "
                  "BEGIN SELECT RAISE(ABORT, 'injected failure'); END");
    const QString armed = dump();
    const QString message = refusal(good);
    EXPECT_TRUE(message.contains("injected failure")) << message.toStdString();
    EXPECT_TRUE(message.contains("left as it was"));
    EXPECT_EQ(dump(), armed);
    EXPECT_EQ(gConn.transactionDepth(), 0);
    // A failed or refused merge keeps no copy; a merge that goes through
    // keeps the database as it was before it.
    EXPECT_FALSE(QFileInfo::exists(A.path("/data/PRE_synchro.qvd")));
    EXPECT_FALSE(QFileInfo::exists(A.path("/data/PRE_synchro.qvd.next")));

    // The same replica goes through once the fault is gone.
    gConn.Execute("DROP TRIGGER boom");
    const QString fixed = dump();
    EXPECT_EQ(refusal(good), "");
    EXPECT_EQ(dumpFile(A.path("/data/PRE_synchro.qvd")), fixed);
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
    // Each Prepare remembered its replica's mark, and nothing else.
    EXPECT_EQ(db().scalar("SELECT count(*) FROM SYNCHRO_REPLICA").toInt(), 4);
    db().Execute("DELETE FROM SYNCHRO_REPLICA");
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
