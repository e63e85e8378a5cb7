// A working database made by an earlier build gains what the present schema
// adds, the first time this build opens it.

#include "records/modQVDatabase.h"

#include "records/synchro.h"

#include <QFile>
#include <QSet>

#include <sqlite3.h>

static void initSchemaResources() { Q_INIT_RESOURCE(schema); }

namespace modQVDatabase {

namespace {

struct SchemaObject {
    QString type;
    QString name;
    QString sql;
};

// Every table and index of the schema the program is built with, tables
// first, read by building the schema in memory.
QVector<SchemaObject> presentSchema()
{
    initSchemaResources();
    QFile f(":/schema/schema.sql");
    if (!f.open(QIODevice::ReadOnly))
        throw ado::Error(SQLITE_INTERNAL, "The program's own schema is missing.");
    const QByteArray text = f.readAll();
    // A schema that cannot be read must stop the upgrade: read as empty, it
    // would leave an earlier file without the tables this build needs.
    sqlite3* mem = nullptr;
    struct Close {
        sqlite3*& db;
        ~Close() { sqlite3_close(db); }
    } closing{mem};
    const auto fail = [&mem](int rc, const QString& statement = QString()) {
        const QString why = mem ? QString::fromUtf8(sqlite3_errmsg(mem)) : QString::fromUtf8(sqlite3_errstr(rc));
        throw ado::Error(rc, "The program's own schema cannot be read: " + why, statement);
    };
    if (const int rc = sqlite3_open(":memory:", &mem); rc != SQLITE_OK)
        fail(rc);
    char* err = nullptr;
    if (sqlite3_exec(mem, text.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString message = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(mem));
        sqlite3_free(err);
        throw ado::Error(SQLITE_INTERNAL, "The program's own schema does not build: " + message);
    }
    sqlite3_stmt* st = nullptr;
    const char* objects = "SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE "
                          "'sqlite%' ORDER BY type <> 'table', rowid";
    if (const int rc = sqlite3_prepare_v2(mem, objects, -1, &st, nullptr); rc != SQLITE_OK)
        fail(rc, objects);
    QVector<SchemaObject> out;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        auto col = [st](int i) { return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i))); };
        out.push_back({col(0), col(1), col(2)});
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        fail(rc, objects);
    return out;
}

}  // namespace

void UpgradeDatabase(ado::Connection& c)
{
    const QVector<SchemaObject> schema = presentSchema();
    QSet<QString> present;
    {
        ado::Recordset rs;
        rs.Open("SELECT type || ' ' || upper(name) FROM sqlite_master", c, ado::adOpenForwardOnly, ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext())
            present << rs.value(0).toString();
    }
    QVector<SchemaObject> missing;
    for (const SchemaObject& o : schema)
        if (!present.contains(o.type + ' ' + o.name.toUpper()))
            missing.push_back(o);
    const bool unnumbered = c.copyNumber() <= 0;
    if (missing.isEmpty() && !unnumbered)
        return;  // nothing to write: a read-only file opens as it is

    ado::Transaction tx(c);
    for (const SchemaObject& o : missing)
        c.Execute(o.sql);
    for (const SchemaObject& o : missing) {
        if (o.type == "table" && o.name == "SYNCHRO_VERSION")
            synchro::versionsFromLog(c);
        if (o.type == "table" && o.name == "SYNCHRO_REPLICA")
            synchro::marksOfEarlierBuild(c);
    }
    // A working file without a copy number would give out the template's keys.
    if (unnumbered)
        c.setCopyNumber(drawCopyNumber());
    tx.commit();
}

}  // namespace modQVDatabase
