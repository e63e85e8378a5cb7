#pragma once
// Two copies of the program, each with its own folder and working database
// made from the template, exchanging replicas; the shared connection is on
// one of them at a time. One test clock serves both machines, a minute
// further at every reading, each copy with its own error on it.

#include "support/fixture.h"

#include "records/cascade.h"
#include "records/modSynchro.h"
#include "records/synchro.h"

#include <QCryptographicHash>
#include <QDateTime>

#include <sqlite3.h>

#include <map>

namespace testsupport {

inline QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Every row of a query as text, one line per row.
inline QString rowsOf(sqlite3* h, const QString& sql)
{
    QString out;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList cells;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            cells << QString::number(sqlite3_column_type(st, i)) + ":" + (p ? QString::fromUtf8(p) : "<null>");
        }
        out += cells.join('|') + "\n";
    }
    sqlite3_finalize(st);
    return out;
}

// Every table, row and value of a database, with the header numbers and the
// schema, as text.
inline QString dumpOf(sqlite3* h)
{
    QString out = rowsOf(h, "PRAGMA user_version") + rowsOf(h, "SELECT sql FROM sqlite_master ORDER BY type, name");
    sqlite3_stmt* st = nullptr;
    QStringList tables;
    sqlite3_prepare_v2(h, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    for (const QString& t : tables)
        out += "== " + t + "\n" + rowsOf(h, QString("SELECT * FROM \"%1\" ORDER BY rowid").arg(t));
    return out;
}

// The rows that name a record of another table that is not there, or name
// none where they must, one "table|key" line each.
inline QString orphansOf(sqlite3* h)
{
    QString out;
    for (const records::KeyReference& r : records::keyReferences())
        out += rowsOf(h, QString("SELECT '%1', c.rowid FROM %1 c WHERE %4 NOT EXISTS "
                                 "(SELECT 1 FROM %3 p WHERE p.rowid = c.%2)")
                             .arg(r.table, r.column, r.parent,
                                  r.optional ? QString("c.%1 IS NOT NULL AND c.%1 <> 0 AND").arg(r.column) : ""));
    return out;
}

inline QString dumpFile(const QString& path)
{
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    const QString d = dumpOf(h);
    sqlite3_close(h);
    return d;
}

template <class Base = ::testing::Test>
class TwoCopiesOf : public Base {
protected:
    struct Copy {
        QTemporaryDir dir;
        int number = 0;
        qint64 clockError = 0;  // seconds this machine's clock is off
        QString at;             // the folder it was moved to, if it was
        QString path(const QString& rel) const { return (at.isEmpty() ? dir.path() : at) + rel; }
        QString working() const { return path("/data/qvnt03.qvd"); }
    };

    void SetUp() override
    {
        Base::SetUp();
        modSynchro::setClock([this] {
            const qint64 error = current ? current->clockError : 0;
            return clock.addSecs(60 * ++ticks + error);
        });
        make(A, 17);
        make(B, 42);
        use(A);
    }
    void TearDown() override
    {
        modSynchro::setClock(nullptr);
        modQVDatabase::gConn.Close();
        Base::TearDown();
    }

    // A fresh working database in the copy's folder, with that number.
    void make(Copy& c, int number)
    {
        if (current == &c)
            modQVDatabase::gConn.Close();
        c.number = number;
        c.at.clear();
        QDir(c.dir.path()).mkpath("data");
        QFile::remove(c.working());
        QFile::copy(templatePath(), c.path("/data/qvnt04.qvd"));
        modQVDatabase::setAppPath(c.dir.path());
        modQVDatabase::LocateDataFile();
        ado::Connection k;
        k.Open(c.working());
        k.setCopyNumber(number);
    }
    void use(Copy& c)
    {
        modQVDatabase::gConn.Close();
        modQVDatabase::setAppPath(c.path(QString()));
        modQVDatabase::OpenConnection();
        current = &c;
        if (!flushed)
            db().Execute("PRAGMA synchronous = OFF");
    }
    ado::Connection& db() { return modQVDatabase::gConn; }

    void log(const QString& table, qint64 key, short action) { modSynchro::LogChange(table, key, action); }
    qint64 addGuest(const QString& name)
    {
        const qint64 key = db().reserveKey("GUEST");
        db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_CITY) VALUES (?, ?, 'Salem')", {key, name});
        log("GUEST", key, modSynchro::Added);
        return key;
    }
    // A record of any table with the given columns, logged as added.
    qint64 addRecord(const QString& table, const QString& columns, const ado::Params& values)
    {
        const qint64 key = db().reserveKey(table);
        const QStringList marks(values.size() + 1, "?");
        db().Execute(QString("INSERT INTO %1 (%2, %3) VALUES (%4)")
                         .arg(table, db().keyColumn(table), columns, marks.join(", ")),
                     ado::Params{key} + values);
        log(table, key, modSynchro::Added);
        return key;
    }
    void renameGuest(qint64 key, const QString& name)
    {
        db().Execute("UPDATE GUEST SET GUEST_PARTYNAME = ? WHERE GUEST_ID = ?", {name, key});
        log("GUEST", key, modSynchro::Changed);
    }
    void deleteGuest(qint64 key)
    {
        db().Execute("DELETE FROM GUEST WHERE GUEST_ID = ?", {key});
        log("GUEST", key, modSynchro::Deleted);
    }
    QStringList guests()
    {
        QStringList out;
        ado::Recordset rs;
        rs.Open("SELECT GUEST_ID, GUEST_PARTYNAME FROM GUEST ORDER BY GUEST_ID", db(), ado::adOpenForwardOnly,
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
        synchro::Prepare(db());
        return synchro::SaveReplica(db(), c.path("/" + name));
    }
    synchro::Merged merge(Copy& into, const QString& replica)
    {
        use(into);
        return synchro::Synchronize(db(), replica);
    }
    // The message of a refused or failed merge; "" when it went through.
    QString refusal(const QString& replica)
    {
        try {
            synchro::Synchronize(db(), replica);
        } catch (const synchro::Failure& f) {
            return f.message();
        }
        return QString();
    }
    QString dump() { return dumpOf(db().handle()); }
    QString rows(const QString& sql) { return rowsOf(db().handle(), sql); }

    Copy A, B;
    Copy* current = nullptr;
    // A test of many exchanges may leave the flushing of each write to disk
    // to the system: what it checks does not depend on it.
    bool flushed = true;
    ScriptedMessagesGuard messages;
    QDateTime clock{QDate(2026, 5, 1), QTime(9, 0), Qt::UTC};
    int ticks = 0;
};

using TwoCopiesTest = TwoCopiesOf<>;

}  // namespace testsupport
