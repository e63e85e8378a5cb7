#pragma once
// The rules a connection keeps on every write, whatever statement makes it:
// keys from this copy's range, and values in their columns' stored form.
// Private to the data layer.

#include "platform/ado/ado.h"

#include <QHash>
#include <QString>
#include <QVector>

struct sqlite3_context;
struct sqlite3_value;

namespace ado::detail {

// An SQL name in double quotes.
inline QString quoteIdent(const QString& name)
{
    QString n = name;
    n.replace('"', "\"\"");
    return '"' + n + '"';
}

class WriteRules {
public:
    explicit WriteRules(Connection& c) : c_(c) {}

    // Learns the tables and makes the connection's functions and TEMP
    // triggers. Triggers of the temp schema belong to this connection alone:
    // they are never stored in the file, and another program opening it
    // sees none of them.
    void install();
    // Drops the triggers, as a change of the tables' columns needs.
    void remove();
    // Makes the triggers again when something dropped them: a change of
    // temp_store, for one, drops every TEMP object of the connection. Cheap
    // while they are in place.
    void keep();
    // The copy number changed: keys are drawn from the new range from now on.
    void rangeChanged();
    // Drops the triggers that watch a table's inserts and updates, inside a
    // running transaction; resume makes the table's triggers again. A
    // rollback brings them back as they were.
    void suspend(const QString& table);
    void resume(const QString& table);
    // A rollback undid what it wrote: the keys it took are free again, and
    // each table's counter is read afresh from the database before the next
    // statement.
    void rolledBack() { recount_ = true; }
    // How many keys of this copy's range the table has left.
    qint64 keysLeft(const QString& table);

    // Around each statement: whether a key was replaced, and the last row's key.
    void beginStatement() { rekeyed_ = false; }
    bool rekeyed() const { return rekeyed_; }
    qint64 lastKey() const { return lastKey_; }

    // The next key of the table from this copy's range, remembered at once so
    // it is never handed out again. Inside a running statement (a trigger)
    // nested is true: the table's AUTOINCREMENT counter is then left alone,
    // since the statement writes it when it ends. With a count, that many
    // keys in a row; the first is returned.
    qint64 take(const QString& table, bool nested, qint64 count = 1);

private:
    struct Table {
        QString name;
        QString key;              // "" when the table has no integer key
        QStringList typed;        // columns whose values are converted
        QVector<ColumnKind> kinds;
        bool keyGiven = false;    // for the row being inserted: the statement gave its key
        bool replaceKey = false;  // for the row just inserted: its key must be one of ours
        qint64 counter = 0;       // highest key of our range known to be taken
    };

    bool ours(qint64 key) const { return key >= low_ && key <= high_; }
    int indexOf(const QString& table) const;
    void recount();
    qint64 highestTaken(const QString& table, const QString& key);
    void run(const QString& sql);
    void createFunctions();
    // The table's triggers, or those of inserts and updates alone.
    void createTriggers(int index, bool writesOnly = false);
    int countTriggers();
    qint64 tempInteger(const char* sql);

    static void keyGiven(sqlite3_context* ctx, int argc, sqlite3_value** argv);
    static void rowNeedsWork(sqlite3_context* ctx, int argc, sqlite3_value** argv);
    static void typedNeedsWork(sqlite3_context* ctx, int argc, sqlite3_value** argv);
    static void typedValue(sqlite3_context* ctx, int argc, sqlite3_value** argv);
    static void keyNeeded(sqlite3_context* ctx, int argc, sqlite3_value** argv);
    static void keyFor(sqlite3_context* ctx, int argc, sqlite3_value** argv);
    static void keyRemoved(sqlite3_context* ctx, int argc, sqlite3_value** argv);

    Connection& c_;
    QVector<Table> tables_;
    QHash<QString, int> byName_;  // lower-case names
    qint64 low_ = 0;
    qint64 high_ = 0;
    bool counters_ = false;   // KEY_COUNTER exists
    bool sequence_ = false;   // sqlite_sequence exists (some table has AUTOINCREMENT)
    bool rekeyed_ = false;
    qint64 lastKey_ = 0;
    bool recount_ = false;    // a rollback left the counters above what the database holds
    qint64 tempSchema_ = -1;  // the temp schema's version when the triggers were last known there
    int triggers_ = 0;        // how many there are
    bool functionsMade_ = false;
};

}  // namespace ado::detail
