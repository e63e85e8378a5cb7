// Damaged replicas merged into a working copy, each in a child process so a
// crash is seen as one: whatever the replica holds, the working file stays
// sound, holds no record that hangs on nothing, and is either as it was or
// holds what the replica brought and nothing else.

#include "support/twocopies.h"

#include <QRandomGenerator>

#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;

namespace {

enum class Mutation { None, BitFlips, Truncation, SwappedColumns, DanglingReferences };

class MutatedReplicas : public TwoCopiesOf<::testing::TestWithParam<Mutation>> {
protected:
    void SetUp() override
    {
        TwoCopiesOf::SetUp();
        // B plans a wedding; A takes it and adds its own; then B goes on.
        use(B);
        const qint64 church = addRecord("EVENT", "EVENT_NAME, EVENT_STARTDATE",
                                        {QString("Cérémonie à l'église Saint-Étienne"), "2027-06-12 14:00:00"});
        const qint64 party = addRecord("EVENT", "EVENT_NAME, EVENT_STARTDATE",
                                       {QString("Réception au Château"), "2027-06-12 18:30:00"});
        addRecord("EVENT_FOOD", "EVENT_ID, EVENT_FOOD_ORDER, EVENT_FOOD_TEXT", {party, 1, QString("Crème brûlée")});
        const qint64 table = addRecord("TABLES", "EVENT_ID, TABLE_NAME, TABLE_SEATS", {party, "Table des mariés", 8});
        const char* parties[] = {"The Müller-Lüdenscheidt Family", "O'Brien", "Nguyễn Văn An",
                                 "The Featherstonehaugh-Cholmondeley Family of Upper Slaughter"};
        QList<qint64> guests;
        int place = 0;  // the designer counts seats from 0
        for (const char* name : parties) {
            const qint64 g = addRecord("GUEST", "GUEST_PARTYNAME, GUEST_CITY", {QString(name), QString("Zürich")});
            guests << g;
            for (const char* first : {"Zoë", "Seán"}) {
                const qint64 s = addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME", {g, QString(first)});
                addRecord("INVITE", "EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT", {church, s, "Attending"});
                addRecord("INVITE", "EVENT_ID, SUBGUEST_ID", {party, s});
                addRecord("SEATING", "TABLE_ID, SUBGUEST_ID, SEATING_POS", {table, s, place++});
            }
        }
        const qint64 vendor = addRecord("VENDOR", "VENDOR_NAME, VENDOR_TYPE", {QString("Fleurs d'Éloïse"), "Florist"});
        addRecord("QUOTE", "VENDOR_ID, QUOTE_VENDOR, QUOTE_PRODUCT, QUOTE_AMOUNT", {vendor, "Fleurs", "Bouquets", "1200"});
        addRecord("EXPENSES", "EXPENSE_TEXT, EXPENSE_AMTPAID, EXPENSE_DUEDATE", {"Deposit", 922337203685.4775, "2027-01-05 00:00:00"});
        merge(A, replicaOf(B, "first.qvd"));
        addRecord("GUEST", "GUEST_PARTYNAME", {QString("Ångström")});
        // What B does next comes new to A: changes, a deletion, and records
        // that hang on records of either replica.
        use(B);
        renameGuest(guests[1], "O'Brien-Sørensen");
        ASSERT_TRUE(records::deleteRecord(records::DeleteKind::Guests, guests[2]).ok);
        const qint64 brunch = addRecord("EVENT", "EVENT_NAME", {QString("Brunch du dimanche")});
        addRecord("EVENT_FOOD", "EVENT_ID, EVENT_FOOD_ORDER, EVENT_FOOD_TEXT", {brunch, 1, QString("Croissants")});
        const qint64 second = addRecord("TABLES", "EVENT_ID, TABLE_NAME", {brunch, "Table 2"});
        const qint64 late = addRecord("GUEST", "GUEST_PARTYNAME", {QString("Łukasiewicz")});
        int seat = 0;
        for (const char* first : {"Jan", "Agnieszka"}) {
            const qint64 s = addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME", {late, QString(first)});
            addRecord("INVITE", "EVENT_ID, SUBGUEST_ID", {brunch, s});
            addRecord("SEATING", "TABLE_ID, SUBGUEST_ID, SEATING_POS", {second, s, seat++});
        }
        addRecord("QUOTE", "VENDOR_ID, QUOTE_PRODUCT", {vendor, "Boutonnières"});
        replica = replicaOf(B, "second.qvd");
        use(A);
        db().Close();
        current = nullptr;
        baseline = A.path("/baseline.qvd");
        QFile::copy(A.working(), baseline);
        before = dumpFile(baseline);
    }

    // A copy of the replica with one random damage of the kind.
    QString mutated(Mutation kind, QRandomGenerator& rng, int round)
    {
        const QString path = A.path("/mutated.qvd");
        QFile::remove(path);
        QFile::copy(replica, path);
        QFile f(path);
        if (kind == Mutation::BitFlips || kind == Mutation::Truncation) {
            f.open(QIODevice::ReadWrite);
            QByteArray bytes = f.readAll();
            if (kind == Mutation::Truncation) {
                bytes.truncate(rng.bounded(int(bytes.size())));
            } else {
                for (int n = 1 + rng.bounded(8); n > 0; --n)
                    bytes[rng.bounded(int(bytes.size()))] ^= char(1 << rng.bounded(8));
            }
            f.resize(0);
            f.seek(0);
            f.write(bytes);
            return path;
        }
        sqlite3* h = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &h);
        auto exec = [h](const QString& sql) { sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, nullptr); };
        const QStringList tables = rowsOf(h, "SELECT name FROM sqlite_master WHERE type = 'table'")
                                       .remove("3:")
                                       .split('\n', Qt::SkipEmptyParts);
        if (kind == Mutation::SwappedColumns) {
            // Every table in turn, two of its columns at random.
            const QString t = tables[round % tables.size()];
            const QStringList cols = rowsOf(h, QString("SELECT name FROM pragma_table_info('%1')").arg(t))
                                         .remove("3:")
                                         .split('\n', Qt::SkipEmptyParts);
            const int n = int(cols.size());
            const int first = rng.bounded(n);
            const QString a = cols[first], b = cols[n > 1 ? (first + 1 + rng.bounded(n - 1)) % n : first];
            exec(QString("UPDATE \"%1\" SET \"%2\" = \"%3\", \"%3\" = \"%2\"").arg(t, a, b));
        } else if (kind == Mutation::DanglingReferences) {
            QList<records::KeyReference> refs;
            for (const records::KeyReference& r : records::keyReferences())
                if (tables.contains(QLatin1String(r.table)))
                    refs << r;
            const records::KeyReference r = refs[rng.bounded(int(refs.size()))];
            const QString values[] = {QString::number(qint64(B.number) * ado::Connection::kKeyRange + 900000 +
                                                      rng.bounded(1000)),
                                      QString::number(qint64(A.number) * ado::Connection::kKeyRange + 1),
                                      "0", "NULL", "-7", "'Réception'", "4611686018427387904"};
            exec(QString("UPDATE %1 SET %2 = %3 WHERE rowid % %4 = 0")
                     .arg(QLatin1String(r.table), QLatin1String(r.column), values[rng.bounded(int(std::size(values)))])
                     .arg(1 + rng.bounded(3)));
        }
        sqlite3_close(h);
        return path;
    }

    // Merges in a child process: 0 merged, 1 refused, 2 failed otherwise.
    int mergeInChild(const QString& replicaPath)
    {
        const pid_t pid = fork();
        if (pid == 0) {
            int code = 2;
            try {
                ado::Connection c;
                c.Open(A.working());
                synchro::Synchronize(c, replicaPath);
                code = 0;
            } catch (const synchro::Failure&) {
                code = 1;
            } catch (...) {
            }
            _exit(code);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << "the merge ended by signal " << WTERMSIG(status);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static QSet<QString> lines(sqlite3* h, const QString& sql)
    {
        const QStringList l = rowsOf(h, sql).split('\n', Qt::SkipEmptyParts);
        return QSet<QString>(l.begin(), l.end());
    }

    QString replica, baseline, before;
};

TEST_P(MutatedReplicas, LeaveTheWorkingFileSoundAndWholeOrUnchanged)
{
    const Mutation kind = GetParam();
    const int rounds = kind == Mutation::None ? 1 : 50;
    int merged = 0;
    for (int i = 0; i < rounds; ++i) {
        SCOPED_TRACE(i);
        QRandomGenerator rng(quint32(int(kind) * 1000 + i));
        QFile::remove(A.working());
        QFile::copy(baseline, A.working());
        const QString damaged = mutated(kind, rng, i);
        const int outcome = mergeInChild(damaged);
        EXPECT_TRUE(outcome == 0 || outcome == 1) << "the merge failed in another way: " << outcome;

        sqlite3* h = nullptr;  // read and write: a crash may have left a journal to roll back
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(A.working()).constData(), &h, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        EXPECT_EQ(rowsOf(h, "PRAGMA integrity_check"), "3:ok\n");
        EXPECT_EQ(orphansOf(h), "");
        if (outcome != 0) {
            EXPECT_EQ(dumpOf(h), before);
        } else {
            ++merged;
            // Every record is the one this copy had or the one the replica brought.
            sqlite3* r = nullptr;
            sqlite3* was = nullptr;
            sqlite3_open_v2(QFile::encodeName(damaged).constData(), &r, SQLITE_OPEN_READONLY, nullptr);
            sqlite3_open_v2(QFile::encodeName(baseline).constData(), &was, SQLITE_OPEN_READONLY, nullptr);
            for (const QString& t : synchro::travellingTables()) {
                const QString sql = QString("SELECT * FROM \"%1\"").arg(t);
                const QSet<QString> stray = lines(h, sql) - lines(was, sql) - lines(r, sql);
                EXPECT_TRUE(stray.isEmpty()) << t.toStdString() << ": " << QStringList(stray.begin(), stray.end())
                                                                              .join(" / ")
                                                                              .toStdString();
            }
            // A merge logs only the seats it undid, so that the other copy undoes them too.
            const QString log =
                "SELECT * FROM SYNCHRO WHERE SYNCHRO_ACTION <> -3 AND NOT (SYNCHRO_TABLE = 'SEATING' AND SYNCHRO_ACTION = 3)";
            EXPECT_EQ(lines(h, log), lines(was, log));
            sqlite3_close(r);
            sqlite3_close(was);
        }
        sqlite3_close(h);
    }
    if (kind == Mutation::None) {
        EXPECT_EQ(merged, 1);
    }
}

const char* nameOf(Mutation m)
{
    static const char* names[] = {"Undamaged", "BitFlips", "Truncation", "SwappedColumns", "DanglingReferences"};
    return names[int(m)];
}
void PrintTo(Mutation m, std::ostream* os) { *os << nameOf(m); }
std::string testName(const ::testing::TestParamInfo<Mutation>& p) { return nameOf(p.param); }

INSTANTIATE_TEST_SUITE_P(Replicas, MutatedReplicas,
                         ::testing::Values(Mutation::None, Mutation::BitFlips, Mutation::Truncation,
                                           Mutation::SwappedColumns, Mutation::DanglingReferences),
                         testName);

}  // namespace
