// Two copies exchanging replicas in every order: newer changes win on both
// sides, deletions cascade, old files gain versions, and copies that share a
// number part.

#include "support/twocopies.h"

#include "app/modQVDatabase.h"
#include "records/cascade.h"

#include <map>

using namespace testsupport;

namespace {

class Exchange : public TwoCopiesTest {
protected:
    Copy& copy(QChar c) { return c == 'A' ? A : c == 'B' ? B : C; }

    // Runs steps such as "A + g Ann" (add), "B : g Bea" (rename), "A - g"
    // (delete), "A > 1" (A prepares replica 1), "A >- 1" (the same without
    // any marks, as earlier builds made it), "A >~ 1" (without the marks of
    // replicas and the partner, as the build before made it), "B < 1" (B
    // merges it), "B = A" (B's file copied from A's), "B << 1" (B merges it
    // taking a new number), "A earlier" (A's file as the build before left
    // it, which drew a mark of its own for a record it took when it changed
    // it), "B clock -7200" (B's clock two hours behind), "freeze" and "thaw"
    // (the clock stands still for both machines, or moves again).
    void run(const QStringList& steps)
    {
        for (const QString& step : steps) {
            SCOPED_TRACE(step.toStdString());
            const QStringList w = step.split(' ');
            if (w[0] == "freeze") {
                frozen = true;
                continue;
            }
            if (w[0] == "thaw") {
                frozen = false;
                continue;
            }
            Copy& c = copy(w[0][0]);
            if (w[1] == "=") {  // "B = A": B's file becomes a copy of A's
                db().Close();
                current = nullptr;
                QFile::remove(c.working());
                ASSERT_TRUE(QFile::copy(copy(w[2][0]).working(), c.working()));
                continue;
            }
            if (w[1] == "clock") {
                c.clockError = w[2].toLongLong();
                continue;
            }
            if (w[1] == "earlier") {
                db().Close();
                current = nullptr;
                ado::Connection k;
                k.Open(c.working());
                k.Execute("INSERT OR REPLACE INTO SYNCHRO_ORIGIN SELECT VERSION_TABLE, VERSION_RECORDID, random() FROM "
                          "SYNCHRO_VERSION WHERE VERSION_TAKEN IS NOT NULL");
                k.Execute("DROP TABLE SYNCHRO_REPLICA");
                k.Execute("DROP TABLE SYNCHRO_PARTNER");
                continue;
            }
            synchro::setComputer(computer[&c]);
            if (w[1] == "key") {  // "B key c 17": the record's key is of that number
                EXPECT_EQ(keys.at(w[2]) / ado::Connection::kKeyRange, w[3].toLongLong());
                continue;
            }
            if (w[1] == "computer") {
                computer[&c] = w[2];
                continue;
            }
            if (w[1] == "save" || w[1] == "back" || w[1] == "earlier-file") {  // a backup taken or put back
                db().Close();
                current = nullptr;
                const QString saved = w[1] == "earlier-file" ? sourcePath("tests/data/earlier/no-marks/qvnt03.qvd")
                                                              : c.path("/" + w[2] + ".qvd");
                const QString from = w[1] == "save" ? c.working() : saved;
                const QString to = w[1] == "save" ? saved : c.working();
                QFile::remove(to);
                ASSERT_TRUE(QFile::copy(from, to));
                QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
                continue;
            }
            if (w[1].startsWith(">")) {
                replicas[w[2]] = replicaOf(c, "r" + w[2] + ".qvd");
                ado::Connection r;
                r.Open(replicas[w[2]]);
                if (w[1] == ">!")  // damaged: a record with two versions
                    r.Execute("INSERT INTO Versions SELECT * FROM Versions LIMIT 1");
                if (w[1] == ">-")
                    r.Execute("DROP TABLE Origins");
                if (w[1] == ">-" || w[1] == ">~") {
                    r.Execute("DROP TABLE Replicas");
                    r.Execute("DROP TABLE Partner");
                }
                continue;
            }
            use(c);
            if (w[1].startsWith("<")) {  // "<!", "<<!": refused or failed, nothing changed
                const QString before = dump();
                try {
                    said << synchro::mergeSummary(synchro::Synchronize(
                        db(), replicas.at(w[2]), {},
                        w[1].startsWith("<<") ? synchro::SameNumber::Renumber : synchro::SameNumber::Refuse));
                    EXPECT_FALSE(w[1].endsWith("!")) << said.last().toStdString();
                } catch (const synchro::Failure& f) {
                    said << f.message();
                    EXPECT_TRUE(w[1].endsWith("!")) << f.message().toStdString();
                    EXPECT_EQ(dump(), before);
                }
            } else if (w[1] == "+")
                keys[w[2]] = addGuest(w[3]);
            else if (w[1] == "+p")  // a person of the party named last
                keys[w[2]] = addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME", {keys.at(w[4]), w[3]});
            else if (w[1] == "raw")  // a party an earlier build stored without logging it
                db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (?, ?)",
                             {keys[w[2]] = db().reserveKey("GUEST"), w[3]});
            else if (w[1] == ":")
                renameGuest(keys.at(w[2]), w[3]);
            else if (w[1] == "-")
                deleteGuest(keys.at(w[2]));
        }
    }
    // "g=Ann h=-": the name each copy holds for each record, - for none.
    QString holds()
    {
        QStringList out;
        for (const auto& [label, key] : keys) {
            const QVariant name = db().scalar("SELECT GUEST_PARTYNAME FROM GUEST WHERE GUEST_ID = ?", {key});
            out << label + "=" + (name.isNull() ? QString("-") : name.toString());
        }
        return out.join(' ');
    }
    QString guestRows() { return rows("SELECT * FROM GUEST ORDER BY GUEST_ID"); }

    void SetUp() override
    {
        TwoCopiesTest::SetUp();
        modSynchro::setClock([this] {
            const qint64 error = current ? current->clockError : 0;
            if (!frozen)
                ++ticks;
            return clock.addSecs(60 * ticks + error);
        });
    }

    // Each party with its people, "Adams:Sam Zed:".
    QString parties()
    {
        return rows("SELECT group_concat(p, ' ') FROM (SELECT GUEST_PARTYNAME || ':' || coalesce((SELECT "
                    "group_concat(SUBGUEST_FNAME) FROM SUBGUEST s WHERE s.GUEST_ID = g.GUEST_ID), '') AS p FROM "
                    "GUEST g ORDER BY 1)")
            .mid(2)
            .trimmed();
    }
    void TearDown() override
    {
        synchro::setComputer(QString());
        TwoCopiesTest::TearDown();
    }

    std::map<QString, qint64> keys;
    std::map<QString, QString> replicas;
    std::map<Copy*, QString> computer;
    QStringList said;  // what each merge said
    bool frozen = false;
    Copy C;
};

TEST_F(Exchange, BothCopiesHoldTheNewestChangeOfEveryRecordWhateverTheOrder)
{
    const struct {
        const char* name;
        QStringList steps;
        QString holds;
    } cases[] = {
        {"the creator editing last",
         {"A + g Ann", "A > 1", "B < 1", "B : g Bea", "B > 2", "A < 2", "A : g Cy", "A > 3", "B < 3"}, "g=Cy"},
        {"the other copy editing last",
         {"A + g Ann", "A > 1", "B < 1", "A : g Bea", "A > 2", "B < 2", "B : g Cy", "B > 3", "A < 3"}, "g=Cy"},
        {"edits on both sides, the older side's replica merged first",
         {"A + g Ann", "A + h Hal", "A > 1", "B < 1", "A : g Al", "B : h Bo", "B : g Bea", "A > 2", "B > 3", "B < 2",
          "A < 3"},
         "g=Bea h=Bo"},
        {"edits on both sides, the newer side's replica merged first",
         {"A + g Ann", "A + h Hal", "A > 1", "B < 1", "A : g Al", "B : h Bo", "B : g Bea", "A > 2", "B > 3", "A < 3",
          "B < 2"},
         "g=Bea h=Bo"},
        {"an older replica after a newer one",
         {"A + g Ann", "A > 1", "A : g Al", "A > 2", "B < 2", "B < 1"}, "g=Al"},
        {"an older replica after a newer one, after edits there",
         {"A + g Ann", "A > 1", "B < 1", "B : g Bea", "B > 2", "B : g Cy", "B > 3", "A < 3", "A < 2", "A > 4", "B < 4"},
         "g=Cy"},
        {"the same replica twice, with an edit between",
         {"A + g Ann", "A > 1", "B < 1", "B : g Bea", "B > 2", "A < 2", "A : g Cy", "A < 2", "A > 3", "B < 3", "B < 3"},
         "g=Cy"},
        {"a clock two hours behind still lets its later edit win",
         {"A + g Ann", "A > 1", "B clock -7200", "B < 1", "B : g Bea", "B > 2", "A < 2", "A > 3", "B < 3"}, "g=Bea"},
        {"the same millisecond: the higher copy number wins",
         {"A + g Ann", "A > 1", "B < 1", "freeze", "A : g Al", "B : g Bea", "thaw", "A > 2", "B > 3", "A < 3", "B < 2"},
         "g=Bea"},
        {"a deletion wins over a later edit, deletion merged first",
         {"A + g Ann", "A + h Hal", "A > 1", "B < 1", "A - g", "B : g Bea", "A > 2", "B > 3", "B < 2", "A < 3"},
         "g=- h=Hal"},
        {"a deletion wins over a later edit, edit merged first",
         {"A + g Ann", "A + h Hal", "A > 1", "B < 1", "A - g", "B : g Bea", "A > 2", "B > 3", "A < 3", "B < 2"},
         "g=- h=Hal"},
        {"records added on both sides at once",
         {"A + g Ann", "B + h Hal", "A > 1", "B > 2", "A < 2", "B < 1", "B : g Bea", "A : h Hugh", "A > 3", "B > 4",
          "A < 4", "B < 3"},
         "g=Bea h=Hugh"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        keys.clear();
        replicas.clear();
        A.clockError = B.clockError = 0;
        make(A, 17);  // fresh copies for each sequence
        make(B, 42);
        run(c.steps);
        use(A);
        const QString onA = guestRows();
        EXPECT_EQ(holds(), c.holds);
        use(B);
        EXPECT_EQ(holds(), c.holds);
        EXPECT_EQ(guestRows(), onA);
    }
}

TEST_F(Exchange, TwoCopiesOfOneFileKeepWhatBothAddedWhateverTheTiming)
{
    // Both copies add under the same number, so under the same keys; in the
    // same second too, when the clock stands still.
    const QStringList copied = {"A + s Shared", "B = A"};
    const QStringList added = {"A + a Ann", "A + d Dee", "A - d", "B + b Bea", "B + c Cy"};
    const QStringList resolved = {"B > 1", "A << 1", "A > 2", "B < 2"};
    const QString all = "3:Ann Bea Cy Shared\n";
    const struct {
        const char* name;
        QStringList steps;
        QString parties;
    } cases[] = {
        {"a minute apart, A renumbers", copied + added + resolved, all},
        {"a minute apart, a replica without marks", copied + added + QStringList{"B >- 1", "A << 1", "A > 2", "B < 2"},
         all},
        {"a minute apart, a replica of the build before", copied + added + QStringList{"B >~ 1", "A << 1", "A > 2", "B < 2"},
         all},
        {"the same second, A renumbers",
         copied + QStringList{"freeze"} + added + QStringList{"thaw"} + resolved, all},
        {"the same second, B renumbers",
         copied + QStringList{"freeze"} + added + QStringList{"thaw"} + QStringList{"A > 1", "B << 1", "B > 2", "A < 2"},
         all},
        {"the same second, both exchange twice",
         copied + QStringList{"freeze"} + added + resolved + QStringList{"A + e Eve", "B + f Flo", "thaw",
                                                 "A > 3", "B > 4", "B < 3", "A < 4"},
         "3:Ann Bea Cy Eve Flo Shared\n"},
        // A changes a record it took, in a file of the build before.
        {"a file of the build before", copied + added + resolved + QStringList{"A earlier", "A : b Beatrix", "A > 3", "B < 3"},
         "3:Ann Beatrix Cy Shared\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        keys.clear();
        replicas.clear();
        make(A, 17);
        make(B, 42);
        run(c.steps);
        use(A);
        const QString onA = guestRows();
        EXPECT_EQ(rows("SELECT group_concat(GUEST_PARTYNAME, ' ') FROM (SELECT GUEST_PARTYNAME FROM GUEST ORDER BY 1)"),
                  c.parties);
        use(B);
        EXPECT_EQ(guestRows(), onA);
    }
}

// What people do with their files: put an older one back, copy one to
// another computer, see a merge fail half-way. Neither copy loses, mixes or
// duplicates a record because of it; both end alike, row for row.
TEST_F(Exchange, FilesPutBackOrCopiedNeverMixOrDuplicateRecords)
{
    const QStringList partners = {"A > 0", "B < 0", "A save old", "A + g Adams", "A > 1", "B < 1", "B +p s Sam g"};
    const QStringList copied = {"A + s Shared", "B = A", "A + a Ann", "B + b Bea", "B save old"};
    const struct {
        const char* name;
        QStringList steps;
        QString parties;  // on both copies at the end
        QStringList says;  // in what the merges said
    } cases[] = {
        {"a copy put back adds under a key it gave out before",
         partners + QStringList{"A back old", "A + z Zed", "A > 2", "B < 2", "B > 3", "A < 3", "A > 4", "B < 4"},
         "Adams:Sam Zed:",
         {"1 of them name records under keys that name other records here", "The other copy's file was put back",
          "records added here since then had keys"}},
        {"a copy put back adds and deletes under a key it gave out before",
         partners + QStringList{"A back old", "A + z Zed", "A - z", "A > 2", "B < 2", "B > 3", "A < 3", "A > 4",
                                "B < 4"},
         "Adams:Sam", {"1 of them name records under keys that name other records here"}},
        {"a copy put back merges before it sends", partners + QStringList{"A back old", "B > 2", "A < 2", "A + z Zed",
                                                                            "A > 3", "B < 3", "B > 4", "A < 4"},
         "Adams:Sam Zed:", {}},
        {"a copy put back to before it renumbered merges a later replica",
         copied + QStringList{"A > 1", "B << 1", "B > 2", "A < 2", "A > 3", "B back old", "B < 3", "B > 4", "A < 4"},
         "Ann: Bea: Shared:", {"the copy number", "again"}},
        {"a copy put back to before it renumbered merges the same replica again",
         copied + QStringList{"A > 1", "B << 1", "B > 2", "A < 2", "B back old", "B << 1", "B > 3", "A < 3", "A > 4",
                              "B < 4", "B > 5", "A < 5"},
         "Ann: Bea: Shared:", {"this copy holds under other keys"}},
        {"a copy of a partner's file sends to both partners",
         {"A > 0", "B < 0", "B > 9", "A < 9", "C = A", "C computer laptop", "A + g Adams", "C + c Cole", "A > 1",
          "B < 1", "B +p s Sam g", "C > 2", "B <! 2", "A <! 2", "B > 3", "C <! 3", "A < 3"},
         "Adams:Sam",
         {"a third copy of the wedding: a copy of the file of copy number 17, prepared on the computer laptop",
          "This replica comes from copy number 17, a third copy", "this copy is a third copy"}},
        {"a renumbering merge fails after renumbering, then a save and an exchange",
         copied + QStringList{"A >! 1", "B <<! 1", "B + c Cole", "B key c 17", "A > 2", "B << 2", "B > 3", "A < 3",
                              "A > 4", "B < 4"},
         "Ann: Bea: Cole: Shared:", {"two versions"}},
        {"a record of before the copy that both logged first after it",
         {"A raw o Old", "A + s Shared", "B = A", "B : o Olde", "A : o Older", "A + a Ann", "B + b Bea", "B > 1",
          "A << 1", "A > 2", "B < 2", "B > 3", "A < 3"},
         "Ann: Bea: Older: Shared:", {}},
        {"the file of an earlier build copied",
         {"A earlier-file", "B = A", "A + a Ann", "B + b Bea", "B > 1", "A << 1", "A > 2", "B < 2", "B > 3", "A < 3"},
         QString(), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        keys.clear();
        replicas.clear();
        said.clear();
        computer.clear();
        make(A, 17);
        make(B, 42);
        make(C, 99);
        run(c.steps);
        use(A);
        const QString onA = guestRows() + rows("SELECT * FROM SUBGUEST ORDER BY 1");
        const QString partiesOnA = parties();
        const int numberOfA = db().copyNumber();
        use(B);
        EXPECT_EQ(guestRows() + rows("SELECT * FROM SUBGUEST ORDER BY 1"), onA);
        EXPECT_NE(db().copyNumber(), numberOfA);
        if (!c.parties.isEmpty()) {
            EXPECT_EQ(partiesOnA, c.parties);
        }
        for (const QString& text : c.says)
            EXPECT_TRUE(said.join('\n').contains(text)) << text.toStdString() << "\n"
                                                         << said.join("\n---\n").toStdString();
        // What stood in both before the copy stands under its keys in both.
        if (QString(c.name).contains("earlier build")) {
            sqlite3* h = nullptr;
            sqlite3_open_v2(QFile::encodeName(sourcePath("tests/data/earlier/no-marks/qvnt03.qvd")).constData(), &h,
                            SQLITE_OPEN_READONLY, nullptr);
            const QString range = rowsOf(h, "SELECT min(GUEST_ID) || ' AND ' || max(GUEST_ID) FROM GUEST").mid(2);
            const QString earlier = rowsOf(h, "SELECT * FROM GUEST ORDER BY 1");
            const QString count = rowsOf(h, "SELECT count(*) + 2 FROM GUEST");
            sqlite3_close(h);
            EXPECT_EQ(rows("SELECT * FROM GUEST WHERE GUEST_ID BETWEEN " + range + " ORDER BY 1"), earlier);
            EXPECT_EQ(rows("SELECT count(*) FROM GUEST"), count);
        }
    }
}

// Seats and invitations of a party, for the cascade test.
class ReceivedDeletions : public Exchange {
protected:
    // A subguest of the party, invited to the event and seated at its table.
    void invitedAndSeated(qint64 party, const QString& name)
    {
        const qint64 s = addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME", {party, name});
        addRecord("INVITE", "EVENT_ID, SUBGUEST_ID", {event, s});
        addRecord("SEATING", "TABLE_ID, SUBGUEST_ID", {table, s});
    }
    QString hanging()
    {
        return rows("SELECT (SELECT count(*) FROM SUBGUEST), (SELECT count(*) FROM INVITE), "
                    "(SELECT count(*) FROM SEATING), (SELECT count(*) FROM TABLES)");
    }
    qint64 event = 0, table = 0;
};

TEST_F(ReceivedDeletions, TakeWithThemWhatHangsOnTheRecordInEitherOrder)
{
    for (const bool deletionFirst : {true, false}) {
        SCOPED_TRACE(deletionFirst);
        make(A, 17);
        make(B, 42);
        use(A);
        event = addRecord("EVENT", "EVENT_NAME", {"Reception"});
        table = addRecord("TABLES", "EVENT_ID, TABLE_NAME", {event, "Table 1"});
        const qint64 party = addRecord("GUEST", "GUEST_PARTYNAME", {"Adams"});
        invitedAndSeated(party, "Ann");
        const qint64 other = addRecord("GUEST", "GUEST_PARTYNAME", {"Baker"});
        invitedAndSeated(other, "Bea");
        merge(B, replicaOf(A, "a1.qvd"));
        // B adds to the party while A deletes it.
        invitedAndSeated(party, "Al");
        use(A);
        ASSERT_TRUE(records::deleteRecord(records::DeleteKind::Guests, party).ok);
        const QString fromA = replicaOf(A, "a2.qvd");
        const QString fromB = replicaOf(B, "b2.qvd");
        if (deletionFirst) {
            merge(B, fromA);
            merge(A, fromB);
        } else {
            merge(A, fromB);
            merge(B, fromA);
        }
        for (Copy* c : {&A, &B}) {
            use(*c);
            EXPECT_EQ(hanging(), "1:1|1:1|1:1|1:1\n");  // Bea's alone
            EXPECT_EQ(rows("SELECT SUBGUEST_FNAME FROM SUBGUEST"), "3:Bea\n");
            EXPECT_EQ(guests(), QStringList{g(other, "Baker")});
        }
        // An event's deletion takes its tables, seats and invitations.
        use(B);
        ASSERT_TRUE(records::deleteRecord(records::DeleteKind::Event, event).ok);
        merge(A, replicaOf(B, "b3.qvd"));
        EXPECT_EQ(hanging(), "1:1|1:0|1:0|1:0\n");
    }
}

TEST_F(Exchange, AFileOfTheEarlierBuildGainsVersionsWhenOpened)
{
    // The earlier build's file: no version tables, a guest logged at 10:30
    // local time; and one without a copy number.
    db().Close();
    const QString old = A.path("/data/qvnt03.qvd");
    {
        ado::Connection c;
        c.Open(old);
        c.Execute("DROP TABLE SYNCHRO_VERSION");
        c.Execute("DROP TABLE SYNCHRO_COPY");
        c.Execute("DROP TABLE SYNCHRO_ORIGIN");
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (17000001, 'Adams')");
        c.Execute("INSERT INTO SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) "
                  "VALUES ('GUEST', 17000001, '2026-03-01 10:30:00', 1)");
    }
    use(A);
    EXPECT_TRUE(db().tableExists("SYNCHRO_COPY"));
    EXPECT_TRUE(db().tableExists("SYNCHRO_ORIGIN"));
    EXPECT_EQ(rows("SELECT VERSION_TABLE, VERSION_RECORDID, VERSION_CHANGED, VERSION_TAKEN FROM SYNCHRO_VERSION"),
              "3:GUEST|1:17000001|3:" +
                  QDateTime(QDate(2026, 3, 1), QTime(10, 30)).toUTC().toString("yyyy-MM-dd HH:mm:ss.zzz") +
                  "|5:<null>\n");
    // Opened again, it is left as it is.
    db().Close();
    const QByteArray upgraded = digest(old);
    use(A);
    db().Close();
    EXPECT_EQ(digest(old), upgraded);
    // Its records travel as any other.
    merge(B, replicaOf(A, "a.qvd"));
    EXPECT_EQ(guests(), QStringList{g(17000001, "Adams")});

    db().Close();
    {
        ado::Connection c;
        c.Open(old);
        c.setCopyNumber(0);
    }
    use(A);
    EXPECT_GE(db().copyNumber(), 1);
}

TEST_F(Exchange, CopyNumbersComeFromTheWholeRangeAndTheirKeysTravelWhole)
{
    QSet<int> drawn;
    for (int i = 0; i < 1000; ++i) {
        const int n = modQVDatabase::drawCopyNumber();
        ASSERT_GE(n, 1);
        ASSERT_LE(n, ado::Connection::kMaxCopyNumber);
        drawn << n;
    }
    // From the whole range one repeat in 1,000 draws comes once in about
    // 4,000 runs, two practically never; from 2,000 numbers they would
    // nearly all repeat.
    EXPECT_GE(drawn.size(), 999);

    make(B, ado::Connection::kMaxCopyNumber);
    use(B);
    const qint64 top = addGuest("Top");
    EXPECT_EQ(top, qint64(ado::Connection::kMaxCopyNumber) * ado::Connection::kKeyRange + 1);
    merge(A, replicaOf(B, "b.qvd"));
    EXPECT_EQ(guests(), QStringList{g(top, "Top")});
    ado::Recordset rs;
    rs.Open("SELECT GUEST_ID FROM GUEST", db());
    EXPECT_EQ(rs.value(0).toLongLong(), top);
}

TEST_F(Exchange, ACopyOfTheSameFileRenumbersAndItsOwnRecordsMoveAway)
{
    const qint64 shared = addGuest("Shared");
    db().Close();
    QFile::remove(B.working());
    QFile::copy(A.working(), B.working());
    // Both go on adding under the same number: the same keys for different records.
    use(A);
    const qint64 mine = addGuest("Mine");
    const qint64 mineToo = addGuest("Gone");
    deleteGuest(mineToo);
    use(B);
    const qint64 theirs = addGuest("Theirs");
    ASSERT_EQ(theirs, mine);
    {
        const qint64 s = db().reserveKey("SUBGUEST");
        db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME) VALUES (?, ?, 'Tess')", {s, theirs});
        log("SUBGUEST", s, modSynchro::Added);
    }
    const qint64 theirsToo = addGuest("Theirs too");
    ASSERT_EQ(theirsToo, mineToo);
    const QString fromB = replicaOf(B, "b.qvd");

    use(A);
    const QString before = dump();
    try {
        synchro::Synchronize(db(), fromB);
        FAIL() << "merged a replica of the same number";
    } catch (const synchro::SameCopyNumber& e) {
        EXPECT_EQ(e.number(), 17);
    }
    EXPECT_EQ(dump(), before);

    const synchro::Merged m = synchro::Synchronize(db(), fromB, {}, synchro::SameNumber::Renumber);
    const int fresh = db().copyNumber();
    EXPECT_EQ(m.renumberedTo, fresh);
    EXPECT_NE(fresh, 17);
    EXPECT_EQ(rows("SELECT COPY_NUMBER FROM SYNCHRO_COPY"), "1:17\n");
    const qint64 moved = db().scalar("SELECT GUEST_ID FROM GUEST WHERE GUEST_PARTYNAME = 'Mine'").toLongLong();
    EXPECT_EQ(moved / ado::Connection::kKeyRange, fresh);
    EXPECT_EQ(guests(), (QStringList{g(shared, "Shared"), g(theirs, "Theirs"), g(theirsToo, "Theirs too"),
                                     g(moved, "Mine")}));
    EXPECT_EQ(rows("SELECT SUBGUEST_FNAME FROM SUBGUEST WHERE GUEST_ID = " + QString::number(theirs)), "3:Tess\n");

    // From now on the two exchange as any two copies.
    merge(B, replicaOf(A, "a.qvd"));
    const QString onB = rows("SELECT * FROM GUEST ORDER BY GUEST_ID");
    use(A);
    EXPECT_EQ(rows("SELECT * FROM GUEST ORDER BY GUEST_ID"), onB);
    EXPECT_EQ(addGuest("Next") / ado::Connection::kKeyRange, fresh);

    // Under a key both copies gave out, a record of another mark here, which
    // the other copy does not know, is never overwritten: it is one this
    // copy made after its file was put back, and it takes a new key.
    renameGuest(shared, "Shared by A");
    const QString fromA = replicaOf(A, "a2.qvd");
    use(B);
    db().Execute("UPDATE SYNCHRO_ORIGIN SET ORIGIN_MARK = ORIGIN_MARK / 2 + 1 WHERE ORIGIN_TABLE = 'GUEST' AND "
                 "ORIGIN_RECORDID = ?",
                 {shared});
    const synchro::Merged other = synchro::Synchronize(db(), fromA);
    EXPECT_EQ(other.movedAway, 1);
    EXPECT_TRUE(synchro::mergeSummary(other).contains("1 records added here since then had keys that the other copy "
                                                      "holds other records under, and took new keys."));
    EXPECT_EQ(guests().first(), g(shared, "Shared by A"));
    EXPECT_EQ(rows("SELECT count(*) FROM GUEST WHERE GUEST_PARTYNAME = 'Shared'"), "1:1\n");
}

}  // namespace
