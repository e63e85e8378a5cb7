// A working database made by an earlier build is brought to the present
// schema one version at a time, the first time this build opens it; one made
// by a later build is refused and left as it is.

#include "records/upgrade.h"

#include "records/modQVDatabase.h"
#include "records/synchro.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <sqlite3.h>

#include <iterator>
#include <utility>

static void initSchemaResources() { Q_INIT_RESOURCE(schema); }

namespace modQVDatabase {

namespace {

struct Column {
    QString name;
    QString definition;  // as ALTER TABLE ... ADD COLUMN takes it
};

struct SchemaObject {
    QString type;
    QString name;
    QString sql;
    QVector<Column> columns;  // a table's, in order
};

struct Schema {
    int version = 0;
    QVector<SchemaObject> objects;  // tables first
};

QString quoted(QString name) { return '"' + name.replace('"', "\"\"") + '"'; }

// A column's definition read back from the database that holds it; `info`
// is its row of pragma_table_info (name, type, notnull, dflt_value).
QString definitionOf(sqlite3* db, const QString& table, const ado::Row& info)
{
    QString out = quoted(info.text(0));
    if (!info.text(1).isEmpty())
        out += ' ' + info.text(1);
    const QByteArray t = table.toUtf8(), c = info.text(0).toUtf8();
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(db, "main", t.constData(), c.constData(), nullptr, &collation, nullptr, nullptr,
                                      nullptr)
            == SQLITE_OK
        && collation && qstricmp(collation, "BINARY") != 0)
        out += " COLLATE " + QString::fromUtf8(collation);
    if (info.integer(2) != 0)
        out += " NOT NULL";
    if (!info.isNull(3))
        out += " DEFAULT " + info.text(3);
    return out;
}

// Every table (with its columns) and index of the schema the program is
// built with, and its version, read by building the schema in memory.
Schema presentSchema()
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
    if (const int rc = sqlite3_open(":memory:", &mem); rc != SQLITE_OK)
        throw ado::Error(rc, "The program's own schema cannot be read: "
                                 + QString::fromUtf8(mem ? sqlite3_errmsg(mem) : sqlite3_errstr(rc)));
    char* err = nullptr;
    if (sqlite3_exec(mem, text.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString message = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(mem));
        sqlite3_free(err);
        throw ado::Error(SQLITE_INTERNAL, "The program's own schema does not build: " + message);
    }
    Schema out;
    try {
        ado::Statement objects(mem, "SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL AND name NOT "
                                    "LIKE 'sqlite%' ORDER BY type <> 'table', rowid");
        while (objects.step())
            out.objects.push_back({objects.text(0), objects.text(1), objects.text(2), {}});
        ado::Statement columns(mem, "SELECT name, type, \"notnull\", dflt_value FROM pragma_table_info(?) ORDER BY cid");
        for (SchemaObject& o : out.objects) {
            if (o.type != "table")
                continue;
            columns.bind(1, o.name);
            while (columns.step())
                o.columns.push_back({columns.text(0), definitionOf(mem, o.name, columns)});
            columns.reset();
        }
        ado::Statement version(mem, "SELECT max(SCHEMA_VERSION_NUMBER) FROM SCHEMA_VERSION");
        version.step();
        out.version = int(version.integer(0));
    } catch (const ado::Error& e) {
        throw ado::Error(e.number(), "The program's own schema cannot be read: " + e.description(), e.statement());
    }
    if (out.version != kSchemaVersion)
        throw ado::Error(SQLITE_INTERNAL, QString("The program's own schema is of version %1, but its upgrade "
                                                  "reaches version %2.")
                                              .arg(out.version)
                                              .arg(kSchemaVersion));
    return out;
}

// What a file lacks of the present schema.
struct Missing {
    QVector<const SchemaObject*> objects;
    QVector<std::pair<QString, Column>> columns;  // table, column
    bool empty() const { return objects.isEmpty() && columns.isEmpty(); }
};

Missing missingFrom(ado::Connection& c, const Schema& schema)
{
    QSet<QString> present;
    c.forEachRow("SELECT type || ' ' || upper(name) FROM sqlite_master", {},
                 [&present](const ado::Row& r) { present << r.text(0); });
    Missing m;
    for (const SchemaObject& o : schema.objects) {
        if (!present.contains(o.type + ' ' + o.name.toUpper())) {
            m.objects.push_back(&o);
            continue;
        }
        if (o.type != "table")
            continue;
        QSet<QString> has;
        for (const QString& name : c.columnNames(o.name))
            has << name.toUpper();
        for (const Column& col : o.columns)
            if (!has.contains(col.name.toUpper()))
                m.columns.push_back({o.name, col});
    }
    return m;
}

// Tables first, then the columns (an index may name one), then the rest.
// Replicas copy by position: a column only ever joins a table at its end.
void add(ado::Connection& c, const Missing& m)
{
    for (const SchemaObject* o : m.objects)
        if (o->type == "table")
            c.Execute(o->sql);
    for (const auto& [table, column] : m.columns)
        c.Execute(QString("ALTER TABLE %1 ADD COLUMN %2").arg(quoted(table), column.definition));
    for (const SchemaObject* o : m.objects)
        if (o->type != "table")
            c.Execute(o->sql);
    for (const SchemaObject* o : m.objects) {
        if (o->type == "table" && o->name == "SYNCHRO_VERSION")
            synchro::versionsFromLog(c);
        if (o->type == "table" && o->name == "SYNCHRO_REPLICA")
            synchro::marksOfEarlierBuild(c);
    }
}

// Builds before the version was kept only added tables, indexes and columns
// at the end of a table, so a file of any of them is completed by name.
// That completes it to the schema built in, whatever its version: a later
// step that adds something finds it there already in such a file. A step
// that only adds is this one again; one that changes rows does that after.
void completeByName(ado::Connection& c, const Schema& schema) { add(c, missingFrom(c, schema)); }

// kSteps[N] takes a file of version N to N + 1, inside the transaction that
// then records N + 1.
using Step = void (*)(ado::Connection&, const Schema&);
const Step kSteps[] = {
    completeByName,  // 0 -> 1: the files of builds before the version was kept
};
static_assert(std::size(kSteps) == kSchemaVersion, "one step to each version");

void recordVersion(ado::Connection& c, int version)
{
    c.Execute("DELETE FROM SCHEMA_VERSION");
    c.Execute("INSERT INTO SCHEMA_VERSION (SCHEMA_VERSION_NUMBER) VALUES (?)", {version});
}

}  // namespace

int schemaVersion(ado::Connection& c)
{
    if (!c.tableExists("SCHEMA_VERSION"))
        return 0;
    return c.scalar("SELECT max(SCHEMA_VERSION_NUMBER) FROM SCHEMA_VERSION").toInt();
}

void UpgradeDatabase(ado::Connection& c)
{
    const Schema schema = presentSchema();
    const int version = schemaVersion(c);
    // Whatever this build wrote into a later build's file could be wrong for it.
    if (version > kSchemaVersion)
        throw ado::Error(75, QString("The data file %1 was made by a later version of Nuptaro: its data is of "
                                     "version %2, and this version of Nuptaro reads versions up to %3.  The file "
                                     "was left as it is: open it with the later version of Nuptaro, or update "
                                     "this one.")
                                 .arg(QDir::toNativeSeparators(c.path()))
                                 .arg(version)
                                 .arg(kSchemaVersion));
    // A step that fails leaves the file at the version before it.
    for (int v = version; v < kSchemaVersion; ++v) {
        ado::Transaction tx(c);
        kSteps[v](c, schema);
        recordVersion(c, v + 1);
        tx.commit();
    }
    // At the present version too, what the file lost of the schema is made
    // again, and a file without a copy number (it would give out the
    // template's keys) draws one.
    const Missing missing = missingFrom(c, schema);
    const bool unnumbered = c.copyNumber() <= 0;
    if (missing.empty() && !unnumbered)
        return;  // nothing to write: a read-only file opens as it is
    ado::Transaction tx(c);
    add(c, missing);
    if (unnumbered)
        c.setCopyNumber(drawCopyNumber());
    tx.commit();
}

}  // namespace modQVDatabase
