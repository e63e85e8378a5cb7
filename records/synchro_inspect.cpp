#include "records/synchro_internal.h"

#include "records/modQVDatabase.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <optional>

namespace synchro::detail {

namespace {

// What kind of value a column of ours takes, as an SQL condition on q.
QString fitsKind(ado::ColumnKind kind, const QString& q)
{
    using K = ado::ColumnKind;
    switch (kind) {
    case K::Text: return QString("typeof(%1) = 'text'").arg(q);
    case K::Integer: return QString("typeof(%1) = 'integer'").arg(q);
    case K::Real:
        return QString("(typeof(%1) IN ('integer', 'real') AND %1 BETWEEN -1.7976931348623157e308 AND "
                       "1.7976931348623157e308)")
            .arg(q);
    case K::Currency:
        return QString("(typeof(%1) IN ('integer', 'real') AND %1 BETWEEN -922337203685477.5807 AND "
                       "922337203685477.5807)")
            .arg(q);
    // Normalising through a modifier turns 30 February into 2 March, so only
    // a real moment written in the stored form stays the same text.
    case K::DateTime: return QString("(typeof(%1) = 'text' AND datetime(%1, '+0 seconds') IS %1)").arg(q);
    case K::YesNo: return QString("(typeof(%1) = 'integer' AND %1 IN (0, 1))").arg(q);
    case K::Other: break;
    }
    return QString("typeof(%1) <> 'blob'").arg(q);
}

QString whatKind(ado::ColumnKind kind)
{
    using K = ado::ColumnKind;
    switch (kind) {
    case K::Text: return "a text";
    case K::Integer: return "a whole number";
    case K::Real: return "a number";
    case K::Currency: return "an amount this program can hold";
    case K::DateTime: return "a date and time";
    case K::YesNo: return "a Yes/No value";
    case K::Other: break;
    }
    return "a value this program can store";
}

QString shortValue(const QString& quotedValue)
{
    if (quotedValue.startsWith("X'"))
        return "binary data";
    if (quotedValue == "NULL")
        return "nothing";
    return quotedValue.size() > 40 ? quotedValue.left(37) + "..." : quotedValue;
}

[[noreturn]] void misfit(const QString& table, const QString& column, const QString& record, const QString& value,
                         const QString& expected)
{
    const QString where = record.isEmpty() || record == "NULL" ? QString() : QString(" of record %1").arg(record);
    throw Failure(QString("The replica cannot be merged: table %1, column %2%3 holds %4, which is not %5.  Nothing "
                          "was changed.")
                      .arg(table, column, where, shortValue(value), expected));
}

// Two copies keep a wedding in step; a third is refused, and said to be one.
QString twoCopiesOnly() { return QStringLiteral("A wedding is kept in step between two copies only.  Nothing was changed."); }

}  // namespace

// A key one of the two copies can have given out (temp.merge_copies holds
// the copy numbers of both, 0 for the template's own rows).
QString fitsKey(const QString& q)
{
    return QString("(typeof(%1) = 'integer' AND %1 >= 1 AND %1 / %2 IN (SELECT n FROM temp.merge_copies))")
        .arg(q)
        .arg(ado::Connection::kKeyRange);
}

[[noreturn]] void badKey(const QString& table, const QString& column, const QString& value)
{
    // A key of a copy number that neither copy had was given out by a third copy.
    bool isNumber = false;
    const qint64 key = value.toLongLong(&isNumber);
    const qint64 copy = isNumber && key > 0 ? key / ado::Connection::kKeyRange : 0;
    if (copy >= 1 && copy <= ado::Connection::kMaxCopyNumber)
        throw Failure(QString("This replica holds records made by a third copy of the wedding (copy number %1, in "
                              "table %2).  %3")
                          .arg(copy)
                          .arg(table, twoCopiesOnly()));
    throw Failure(QString("The replica cannot be merged: table %1, column %2 holds the key %3, which neither copy can "
                          "have given out.  Nothing was changed.")
                      .arg(table, column, shortValue(value)));
}

namespace {

// What one column of a replica table must hold.
struct Check {
    QString column;
    QString fits;      // an SQL condition on the row
    QString expected;  // what the message says it should have held
    bool key = false;
};

Check checkOf(const Column& c, bool isKey)
{
    const QString q = quoted(c.name);
    if (isKey)
        return {c.name, fitsKey(q), QString(), true};
    const ado::ColumnKind kind = ado::convert::kindOfDeclaredType(c.type);
    const QString fits = fitsKind(kind, q);
    if (c.notNull)
        return {c.name, QString("(%1 IS NOT NULL AND %2)").arg(q, fits), whatKind(kind)};
    return {c.name, QString("(%1 IS NULL OR %2)").arg(q, fits), whatKind(kind)};
}

// Refuses the first row of a replica table that holds a value it must not,
// naming the table, the column and the record (by `recordColumn`).
void checkRows(sqlite3* db, const QString& table, const QVector<Check>& checks, const QString& recordColumn)
{
    QStringList all;
    for (const Check& c : checks)
        all << c.fits;
    Statement bad(db, QString("SELECT rowid FROM %1 WHERE NOT (%2) LIMIT 1").arg(rep(table), all.join(" AND ")));
    if (!bad.step())
        return;
    const qint64 rowid = bad.integer(0);
    const QString record = recordColumn.isEmpty() ? QString("NULL") : "quote(" + quoted(recordColumn) + ")";
    for (const Check& c : checks) {
        Statement one(db, QString("SELECT quote(%1), %2 FROM %3 WHERE rowid = ? AND NOT %4")
                              .arg(quoted(c.column), record, rep(table), c.fits));
        one.bind(1, rowid);
        if (!one.step())
            continue;
        if (c.key)
            badKey(table, c.column, one.text(0));
        misfit(table, c.column, one.text(1), one.text(0), one.text(0) == "NULL" ? "allowed to be empty" : c.expected);
    }
}

void checkValues(sqlite3* db, const QString& table, const QVector<Column>& cols)
{
    QVector<Check> checks;
    for (int i = 0; i < cols.size(); ++i)
        checks << checkOf(cols[i], i == 0);
    checkRows(db, table, checks, cols[0].name);
}

QVector<qint64> numbersIn(sqlite3* db, const QString& sql)
{
    QVector<qint64> out;
    Statement s(db, sql);
    while (s.step())
        out << s.integer(0);
    return out;
}

QSet<qint64> setOf(const QVector<qint64>& v) { return QSet<qint64>(v.begin(), v.end()); }

QString sameNumberMessage(int number)
{
    return QString("This replica comes from a copy of the database with the same copy number as this one (%1).  That "
                   "happens when the database file itself was copied to the other computer.  Until one of the two "
                   "copies takes a new number, records added on both could be taken for the same records.  "
                   "Nothing was changed.")
        .arg(number);
}

// nuptaro_version_form(x): whether x is a text of the form of a version,
// "2026-05-01 14:03:07.250" (each digit in the range its place allows).
void versionForm(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    static const char* const form = "9999-19-39 29:59:59.999";   // the highest digit of each place
    const auto* t = sqlite3_value_text(argv[0]);
    bool fits = t && sqlite3_value_bytes(argv[0]) == 23;
    for (int i = 0; fits && i < 23; ++i)
        fits = form[i] >= '0' && form[i] <= '9' ? t[i] >= '0' && t[i] <= form[i] : t[i] == form[i];
    sqlite3_result_int(ctx, fits ? 1 : 0);
}

// Which of two copies with one number takes a new one. Each copy keeps the
// marks of the replicas it prepared; two copies of one file share those of
// before the copy. The first marks in which the two lists differ decide,
// the lower one renumbering, so both copies come to the same answer from
// each other's replicas, in whatever order they merge them. A copy that
// prepared nothing since the copy renumbers: none of its own records went
// out under the old number. A replica whose list this copy's list begins
// with is this copy's own, or of before the file was copied: neither.
enum class Renumbering { ThisCopy, Sender, Neither };

Renumbering whoRenumbers(const QVector<qint64>& ours, const QVector<qint64>& sender)
{
    qsizetype k = 0;
    while (k < ours.size() && k < sender.size() && ours[k] == sender[k])
        ++k;
    if (k == sender.size())
        return Renumbering::Neither;
    if (k == ours.size() || ours[k] < sender[k])
        return Renumbering::ThisCopy;
    return Renumbering::Sender;
}

// The numbers a replica's table of numbers holds, in order; nothing when it
// has no such table (a replica of an earlier build). Refuses a table of
// other columns or values.
std::optional<QVector<qint64>> numbersOfReplica(sqlite3* db, const QSet<QString>& tables, const QString& table,
                                                const QString& column, bool copyNumbers)
{
    if (!tables.contains(table))
        return std::nullopt;
    const QVector<Column> cols = columnsOf(db, kRep, table);
    if (cols.size() != 1 || cols[0].name.compare(column, Qt::CaseInsensitive) != 0)
        throw ado::Error(SQLITE_CORRUPT, table);
    const QString fits = copyNumbers ? QString("(typeof(%1) = 'integer' AND %1 BETWEEN 1 AND %2)")
                                           .arg(column)
                                           .arg(ado::Connection::kMaxCopyNumber)
                                     : QString("typeof(%1) = 'integer'").arg(column);
    checkRows(db, table, {{column, fits, copyNumbers ? "a copy number" : "a whole number"}}, QString());
    return numbersIn(db, QString("SELECT %1 FROM %2 ORDER BY rowid").arg(column, rep(table)));
}

// The other copy's marks of the records its replica names, when it carries
// them (temp.merge_marks: t, id, m). A replica of this build keeps them by
// record, and they are read where they lie; those of earlier builds are
// copied so.
void readTheirMarks(sqlite3* db, const QSet<QString>& replicaTables)
{
    forgetTheirMarks(db);
    QStringList markColumns;
    if (replicaTables.contains("Origins"))
        for (const Column& c : columnsOf(db, kRep, "Origins"))
            markColumns << c.name.toUpper();
    const QString fits = "typeof(ORIGIN_TABLE) = 'text' AND typeof(ORIGIN_RECORDID) = 'integer' AND "
                         "typeof(ORIGIN_MARK) = 'integer'";
    if (markColumns == QStringList{"ORIGIN_TABLE", "ORIGIN_RECORDID", "ORIGIN_MARK"}) {
        Statement key(db, QString("SELECT group_concat(upper(name)) FROM (SELECT name FROM pragma_index_info((SELECT "
                                  "name FROM pragma_index_list('Origins', '%1') WHERE origin = 'pk'), '%1') ORDER BY "
                                  "seqno)")
                              .arg(kRep));
        if (key.step() && key.text(0) == "ORIGIN_TABLE,ORIGIN_RECORDID") {
            exec(db, QString("CREATE TEMP VIEW merge_marks AS SELECT ORIGIN_TABLE AS t, ORIGIN_RECORDID AS id, "
                             "ORIGIN_MARK AS m FROM %1 WHERE %2")
                         .arg(rep("Origins"), fits));
            return;
        }
    }
    exec(db, "CREATE TEMP TABLE merge_marks (t TEXT, id INTEGER, m INTEGER, PRIMARY KEY (t, id)) WITHOUT ROWID");
    if (!markColumns.isEmpty())
        exec(db, QString("INSERT OR IGNORE INTO temp.merge_marks SELECT ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK "
                         "FROM %1 WHERE %2")
                     .arg(rep("Origins"), fits));
}

// The other copy's log, for telling records without marks apart.
void readTheirLog(sqlite3* db)
{
    exec(db, "DROP TABLE IF EXISTS temp.merge_theirs");
    exec(db, QString("CREATE TEMP TABLE merge_theirs AS SELECT SYNCHRO_TABLE AS t, SYNCHRO_RECORDID AS id, "
                     "SYNCHRO_DATETIME AS dt, SYNCHRO_ACTION AS a FROM %1")
                 .arg(rep("Synchro")));
    exec(db, "CREATE INDEX temp.merge_theirs_by_record ON merge_theirs (t, id)");
}

// The highest keys the sender holds under each number of this copy, when it
// carries them (temp.merge_keys).
void readTheirKeys(sqlite3* db, const QSet<QString>& replicaTables)
{
    exec(db, "DROP TABLE IF EXISTS temp.merge_keys");
    exec(db, "CREATE TEMP TABLE merge_keys (t TEXT, n INTEGER, last INTEGER, PRIMARY KEY (t, n))");
    QStringList keyColumns;
    if (replicaTables.contains("Keys"))
        for (const Column& c : columnsOf(db, kRep, "Keys"))
            keyColumns << c.name.toUpper();
    if (keyColumns == QStringList{"KEY_TABLE", "KEY_COPY", "KEY_LAST"})
        exec(db, QString("INSERT OR IGNORE INTO temp.merge_keys SELECT KEY_TABLE, KEY_COPY, KEY_LAST FROM %1 WHERE "
                         "typeof(KEY_TABLE) = 'text' AND typeof(KEY_COPY) = 'integer' AND typeof(KEY_LAST) = "
                         "'integer' AND KEY_LAST BETWEEN KEY_COPY * %2 + 1 AND KEY_COPY * %2 + %2 - 1")
                     .arg(rep("Keys"))
                     .arg(ado::Connection::kKeyRange));
}

// A list of replica marks, and the computer its last replica was prepared on.
struct Lineage {
    QVector<qint64> marks;
    QString computer;
};

Lineage lineageIn(sqlite3* db, const QString& table)
{
    Lineage l;
    Statement s(db, QString("SELECT REPLICA_MARK, REPLICA_COMPUTER FROM %1 WHERE typeof(REPLICA_MARK) = 'integer' "
                            "ORDER BY rowid")
                        .arg(table));
    while (s.step()) {
        l.marks << s.integer(0);
        l.computer = s.text(1);
    }
    return l;
}

bool startsWith(const QVector<qint64>& list, const QVector<qint64>& head)
{
    return head.size() <= list.size() && std::equal(head.begin(), head.end(), list.begin());
}

// Each copy keeps the list of replica marks of the partner's newest replica
// it merged, with the computer it came from; a replica carries the sender's
// own list and that kept one. Files are put back from backups and copied to
// other computers, and a file tells neither from the other: a list that
// parts from the one seen before is the same copy put back to an older file
// when it comes from the same computer, and a copy of the file, a third
// copy, when it comes from another one.
// - The sender's list parts from what this copy saw of it: the partner went
//   back (partnerWentBack), or a third copy sends.
// - What the sender saw of this copy parts from this copy's list: this copy
//   went back, and the numbers the sender knows it by that it no longer
//   knows itself are the ones it drew before (recovered); or this copy is a
//   third one.
void checkLineages(sqlite3* db, const QSet<QString>& replicaTables, Plan& p, const QSet<qint64>& sendersPartner)
{
    if (!replicaTables.contains("Replicas") || !replicaTables.contains("Computer"))
        return;  // an earlier build's replica: nothing to tell by
    p.lineage = numbersIn(db, QString("SELECT REPLICA_MARK FROM %1 ORDER BY rowid").arg(rep("Replicas")));
    {
        Statement s(db,
                    QString("SELECT COMPUTER_NAME FROM %1 WHERE typeof(COMPUTER_NAME) = 'text'").arg(rep("Computer")));
        p.computer = s.step() ? s.text(0) : QString();
    }
    const Lineage seen = lineageIn(db, "main.SYNCHRO_PARTNER_REPLICA");
    p.keepLineage = !(startsWith(seen.marks, *p.lineage) && seen.marks.size() > p.lineage->size());
    if (!seen.marks.isEmpty() && !startsWith(*p.lineage, seen.marks) && !startsWith(seen.marks, *p.lineage)) {
        if (p.computer != seen.computer)
            throw Failure(QString("This replica comes from a third copy of the wedding: a copy of the file of copy "
                                  "number %1, prepared on the computer %2, while this copy exchanges its changes with "
                                  "the one on %3.  %4")
                              .arg(p.sender)
                              .arg(p.computer, seen.computer, twoCopiesOnly()));
        p.partnerWentBack = true;
    }
    // What the sender saw of this copy's replicas parts from this copy's
    // list: this copy went back to an older file, or it is a third copy.
    const Lineage seenOfUs =
        replicaTables.contains("PartnerReplicas") ? lineageIn(db, rep("PartnerReplicas")) : Lineage();
    if (!seenOfUs.marks.isEmpty() && seenOfUs.computer != thisComputer() &&
        !startsWith(numbersIn(db, "SELECT REPLICA_MARK FROM main.SYNCHRO_REPLICA ORDER BY rowid"), seenOfUs.marks))
        throw Failure(QString("This replica comes from copy number %1, which exchanges its changes with another copy "
                              "of this wedding's file, on the computer %2: this copy is a third copy of the wedding.  "
                              "%3")
                          .arg(p.sender)
                          .arg(seenOfUs.computer, twoCopiesOnly()));
    // The sender knows this copy by the numbers it had; one this copy does
    // not know itself it drew before its file was put back.
    p.recovered = sendersPartner - p.ourNumbers - p.senderNumbers;
    p.recovered.remove(0);
}

}  // namespace

void forgetTheirMarks(sqlite3* db)
{
    QString kind;
    {
        Statement s(db, "SELECT type FROM temp.sqlite_master WHERE name = 'merge_marks'");
        if (s.step())
            kind = s.text(0).toUpper();
    }
    if (!kind.isEmpty())
        exec(db, QString("DROP %1 temp.merge_marks").arg(kind));
}

// Whether the record this copy and the other name by one key (table and id
// as SQL expressions) is one and the same: only under the same mark; one
// without marks (made by an earlier build) only when both logs hold a row
// of it alike. Needs `mine` (main.SYNCHRO_ORIGIN) and `theirs`
// (temp.merge_marks) joined on the record, and temp.merge_theirs.
QString sameRecord(const QString& table, const QString& id)
{
    return QString("CASE WHEN mine.ORIGIN_MARK IS NOT NULL AND theirs.m IS NOT NULL THEN mine.ORIGIN_MARK = theirs.m "
                   "ELSE EXISTS (SELECT 1 FROM main.SYNCHRO s JOIN temp.merge_theirs r ON r.t = s.SYNCHRO_TABLE AND "
                   "r.id = s.SYNCHRO_RECORDID AND r.dt IS s.SYNCHRO_DATETIME AND r.a IS s.SYNCHRO_ACTION WHERE "
                   "s.SYNCHRO_TABLE = %1 AND s.SYNCHRO_RECORDID = %2) END")
        .arg(table, id);
}

// Reads and checks the attached replica; nothing of the working database is
// changed. Leaves temp.merge_copies, temp.merge_tables and temp.merge_marks
// filled for the merge. What is checked record by record (a version given
// twice, or without its row) is found while the merge runs, and undoes it.
Plan inspect(ado::Connection& conn, const QString& replicaPath, SameNumber same)
{
    sqlite3* db = conn.handle();
    const QString notReplica =
        QString("The file %1 is not a replica of a Nuptaro database.  Nothing was changed.").arg(native(replicaPath));
    Plan p;
    QSet<QString> replicaTables;
    try {
        replicaTables = tablesOf(db, kRep);
        if (conn.scalar(QString("PRAGMA %1.application_id").arg(kRep)).toLongLong() != kReplicaMark ||
            !replicaTables.contains("Synchro"))
            throw Failure(notReplica);
        p.sender = conn.scalar(QString("PRAGMA %1.user_version").arg(kRep)).toInt();
    } catch (const ado::Error&) {
        throw Failure(notReplica);
    }
    if (!replicaTables.contains("Versions") || !replicaTables.contains("Copies"))
        throw Failure(QString("The replica %1 was prepared by an earlier version of Nuptaro, which does not record when "
                              "each record was last changed, so merging it could undo newer changes made here.  Please "
                              "ask the other user to update Nuptaro and prepare the replica again.  Nothing was "
                              "changed.")
                          .arg(native(replicaPath)));
    if (p.sender < 1)
        throw Failure(QString("The replica carries the copy number %1, which no copy of the database can have.  "
                              "Nothing was changed.")
                          .arg(p.sender));
    p.ours = conn.copyNumber();

    try {
        if (!sameColumns(columnsOf(db, kRep, "Synchro"), columnsOf(db, "main", "SYNCHRO")))
            throw Failure(QString("The change log of the replica %1 does not match the change log of this database.  "
                                  "Nothing was changed.")
                              .arg(native(replicaPath)));
        const QStringList versionNames = {"VERSION_TABLE", "VERSION_RECORDID", "VERSION_STAMP", "VERSION_COPY",
                                          "VERSION_DELETED"};
        QStringList found;
        for (const Column& c : columnsOf(db, kRep, "Versions"))
            found << c.name.toUpper();
        if (found != versionNames)
            throw Failure(notReplica);

        // The copy numbers whose keys may travel: both copies' present and
        // earlier numbers, and the template's 0.
        const QVector<qint64> senderCopies =
            numbersOfReplica(db, replicaTables, "Copies", "COPY_NUMBER", true).value_or(QVector<qint64>());
        p.senderNumbers = setOf(senderCopies) << p.sender;
        const QSet<qint64> ourNumbers = setOf(numbersIn(db, "SELECT COPY_NUMBER FROM main.SYNCHRO_COPY")) << p.ours;
        p.shared = p.senderNumbers & ourNumbers;
        const std::optional<QVector<qint64>> lineage =
            numbersOfReplica(db, replicaTables, "Replicas", "REPLICA_MARK", false);
        const QSet<qint64> sendersPartner =
            setOf(numbersOfReplica(db, replicaTables, "Partner", "PARTNER_NUMBER", true).value_or(QVector<qint64>()));

        Renumbering renumbering = Renumbering::Neither;
        if (p.sender == p.ours)  // a replica of an earlier build cannot tell: this copy renumbers, as it did then
            renumbering = lineage ? whoRenumbers(numbersIn(db, "SELECT REPLICA_MARK FROM main.SYNCHRO_REPLICA ORDER "
                                                               "BY rowid"),
                                                 *lineage)
                                  : Renumbering::ThisCopy;
        if (p.sender == p.ours && renumbering == Renumbering::Neither)
            throw Failure("This replica was prepared by this copy of the database, or by the one it was copied from "
                          "before the copy was made, so it holds nothing new.  Please choose the replica received "
                          "from the other user.  Nothing was changed.");
        p.holdBack = p.sender == p.ours && renumbering == Renumbering::Sender;

        // Two copies only: this one and its partner (or, in a file of an
        // earlier build that names none, the copy it took changes from).
        QSet<qint64> partner = setOf(numbersIn(db, "SELECT PARTNER_NUMBER FROM main.SYNCHRO_PARTNER"));
        if (partner.isEmpty())
            partner = setOf(numbersIn(db, "SELECT DISTINCT VERSION_TAKENFROM FROM main.SYNCHRO_VERSION WHERE "
                                          "typeof(VERSION_TAKENFROM) = 'integer'")) -
                      ourNumbers;
        if (!partner.isEmpty() && !partner.intersects(p.senderNumbers))
            throw Failure(QString("This replica comes from copy number %1, a third copy of the wedding: this copy "
                                  "exchanges its changes with another one.  %2")
                              .arg(p.sender)
                              .arg(twoCopiesOnly()));
        if (!sendersPartner.isEmpty() && !sendersPartner.intersects(ourNumbers))
            throw Failure(QString("This replica comes from copy number %1, which exchanges its changes with a "
                                  "third copy of the wedding.  %2")
                              .arg(p.sender)
                              .arg(twoCopiesOnly()));
        p.ourNumbers = ourNumbers;
        readTheirMarks(db, replicaTables);
        checkLineages(db, replicaTables, p, sendersPartner);
        // A copy gone back to before it took a new number takes that one
        // again: this one, when it finds its number among the sender's
        // numbers for it; the other, when it no longer names a number it had.
        if (p.sender == p.ours && !p.recovered.isEmpty())
            renumbering = Renumbering::ThisCopy;
        else if (p.sender == p.ours && !(partner - p.senderNumbers - ourNumbers).isEmpty())
            renumbering = Renumbering::Sender;
        p.holdBack = p.sender == p.ours && renumbering == Renumbering::Sender;
        if (p.sender == p.ours && renumbering == Renumbering::ThisCopy && same == SameNumber::Refuse &&
            p.recovered.isEmpty())
            throw SameCopyNumber(sameNumberMessage(p.ours), p.ours);

        // Versions and keys of numbers either copy had, also those of this
        // copy that it lost by going back to an older file and the sender
        // still knows it by.
        QSet<qint64> numbers = p.senderNumbers | ourNumbers | p.recovered | sendersPartner;
        numbers << 0;
        if (p.sender == p.ours && renumbering == Renumbering::ThisCopy) {
            // The number this copy had drawn before its file was put back,
            // when the other copy knows it; else a new one.
            if (!p.recovered.isEmpty())
                p.fresh = int(*std::max_element(p.recovered.begin(), p.recovered.end()));
            else
                do
                    p.fresh = modQVDatabase::drawCopyNumber();
                while (numbers.contains(p.fresh));
            numbers << p.fresh;
        }
        exec(db, "DROP TABLE IF EXISTS temp.merge_copies");
        exec(db, "CREATE TEMP TABLE merge_copies (n INTEGER PRIMARY KEY)");
        Statement addNumber(db, "INSERT INTO temp.merge_copies VALUES (?)");
        for (qint64 n : numbers) {
            addNumber.bind(1, n);
            addNumber.run();
        }
        readTheirKeys(db, replicaTables);
        if (p.holdBack || p.fresh)
            readTheirLog(db);

        // The log: names of tables that travel, keys of the two copies.
        // The log's size, whether any row is amiss (then named), its tables.
        const QVector<Check> logChecks = {
            {"SYNCHRO_TABLE", "typeof(SYNCHRO_TABLE) = 'text'", "a table name"},
            // The records themselves are checked through their versions.
            {"SYNCHRO_RECORDID", "typeof(SYNCHRO_RECORDID) = 'integer'", QString(), true},
            {"SYNCHRO_ACTION", "typeof(SYNCHRO_ACTION) = 'integer'", "an action number"}};
        QStringList logged;
        bool amiss = false;
        {
            QStringList fits;
            for (const Check& c : logChecks)
                fits << c.fits;
            // One pass, nothing sorted: the log is as long as the replica.
            Statement s(db, QString("SELECT count(*), max(NOT (%1)), json_group_array(DISTINCT SYNCHRO_TABLE) FROM %2")
                                .arg(fits.join(" AND "), rep("Synchro")));
            s.step();
            p.items = s.integer(0);
            amiss = s.integer(1) != 0;
            for (const QJsonValue name : QJsonDocument::fromJson(s.text(2).toUtf8()).array())
                logged << name.toString();
            std::sort(logged.begin(), logged.end(),
                      [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        }
        if (amiss)
            checkRows(db, "Synchro", logChecks, "SYNCHRO_RECORDID");
        const QSet<QString> existing = tablesOf(db, "main");
        for (const QString& name : logged) {
            if (!travellingTables().contains(name) || !existing.contains(name))
                throw Failure(QString("The replica names the table \"%1\", which is not one that can be "
                                      "synchronized.  Nothing was changed.")
                                  .arg(name));
            const QVector<Column> mine = columnsOf(db, "main", name);
            if (!replicaTables.contains(name))
                throw Failure(QString("The replica has no table %1 for its logged changes.  Nothing was changed.")
                                  .arg(name));
            if (!sameColumns(mine, columnsOf(db, kRep, name)))
                throw Failure(QString("The table %1 of the replica does not have the same columns, in the same "
                                      "order, as this database.  Nothing was changed.")
                                  .arg(name));
            p.tables << name;
            p.columns.insert(name, mine);
        }
        // Parents before what hangs on them, so a record whose parent was
        // deleted here is known as such when its own turn comes.
        std::sort(p.tables.begin(), p.tables.end(), [](const QString& a, const QString& b) {
            return travellingTables().indexOf(a) < travellingTables().indexOf(b);
        });
        for (const QString& t : p.tables)
            checkValues(db, t, p.columns[t]);

        // The versions: one per record, of a table the log names.
        exec(db, "DROP TABLE IF EXISTS temp.merge_tables");
        exec(db, "CREATE TEMP TABLE merge_tables (name TEXT PRIMARY KEY)");
        Statement addTable(db, "INSERT INTO temp.merge_tables VALUES (?)");
        for (const QString& t : p.tables) {
            addTable.bind(1, t);
            addTable.run();
        }
        // A version in its form, told byte by byte: a pattern of digit
        // ranges costs more than the rest of the checks together.
        sqlite3_create_function(db, "nuptaro_version_form", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                &versionForm, nullptr, nullptr);
        const QString version = "nuptaro_version_form(VERSION_STAMP)";
        const QVector<Check> versionChecks = {
            {"VERSION_TABLE", "VERSION_TABLE IN (SELECT name FROM temp.merge_tables)", "a table of its change log"},
            // A record that travels has its key checked with its row, the key
            // of a deletion below.
            {"VERSION_RECORDID", "typeof(VERSION_RECORDID) = 'integer'", QString(), true},
            {"VERSION_STAMP", "(typeof(VERSION_STAMP) = 'text' AND " + version + ")",
             "a moment in the form of a version"},
            {"VERSION_COPY", "VERSION_COPY IN (SELECT n FROM temp.merge_copies WHERE n > 0)",
             "the number of either copy"},
            {"VERSION_DELETED", fitsKind(ado::ColumnKind::YesNo, "VERSION_DELETED"), "a Yes/No value"}};
        // One pass: each version checked, and where each table's lie.
        QStringList fits;
        for (const Check& c : versionChecks)
            fits << c.fits;
        Statement rows(db, QString("SELECT VERSION_TABLE, rowid, NOT (%1) FROM %2")
                               .arg(fits.join(" AND "), rep("Versions")));
        QByteArray last;
        QPair<qint64, qint64>* range = nullptr;
        bool bad = false;
        for (; rows.step(); ++p.records) {
            const qint64 rowid = rows.integer(1);
            bad = bad || rows.integer(2) != 0;
            if (!range || rows.utf8(0) != QByteArrayView(last)) {
                last = rows.utf8(0).toByteArray();
                const QString table = QString::fromUtf8(last);
                if (!p.versionRows.contains(table))
                    p.versionRows.insert(table, {rowid, rowid});
                range = &p.versionRows[table];
            }
            range->first = std::min(range->first, rowid);
            range->second = std::max(range->second, rowid);
        }
        if (bad)
            checkRows(db, "Versions", versionChecks, "VERSION_RECORDID");
    } catch (const ado::Error&) {
        throw Failure(notReplica);
    }
    return p;
}

}  // namespace synchro::detail
