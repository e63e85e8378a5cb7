// The rules a connection keeps on every write.
//
// Keys. SQLite's AUTOINCREMENT gives a new row one more than the largest key
// the table ever held. Once a merge has brought in the rows of a copy with a
// higher number, that is the other copy's next key, so AUTOINCREMENT alone
// cannot keep this copy in its range, and no counter we set can either.
// Instead every row inserted without a key is checked after the insert: a
// key outside this copy's range, or one already handed out (reserved by an
// AddNew that is still open, or deleted), is replaced at once by the next key
// of our range. This holds for every form of INSERT (several rows, INSERT ...
// SELECT, OR REPLACE, without a column list), because it is done by TEMP
// triggers on the tables, not by reading the SQL text. A BEFORE trigger tells
// a supplied key from one SQLite chose: there NEW.key is NULL, or -1, for a
// key the statement leaves to SQLite. A supplied key is kept.
//
// The highest key of our range ever taken is kept in KEY_COUNTER (rows
// deleted or keys reserved and never stored are remembered there), so no
// key is ever handed out twice, also not after a merge restored the tables'
// AUTOINCREMENT counters.
//
// Values. A value written to a date, currency, number or Yes/No column that
// is not in the column's stored form is converted after the write as a typed
// cell is (convert::toStorage), or the statement fails and changes nothing.

#include "platform/ado/rules.h"

#include <sqlite3.h>

#include <QHash>

#include <cmath>

namespace ado::detail {

namespace {

QVariant toVariant(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return static_cast<qlonglong>(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
    default:
        return QVariant();
    }
}

void setResult(sqlite3_context* ctx, const QVariant& v)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_result_null(ctx);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
        sqlite3_result_int(ctx, v.toBool() ? 1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
        sqlite3_result_int64(ctx, v.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_result_double(ctx, v.toDouble());
        break;
    default: {
        const QByteArray b = v.toString().toUtf8();
        sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    }
}

QString kindName(ColumnKind k)
{
    switch (k) {
    case ColumnKind::DateTime: return QStringLiteral("date");
    case ColumnKind::Currency: return QStringLiteral("currency");
    case ColumnKind::Real: return QStringLiteral("number");
    case ColumnKind::Integer: return QStringLiteral("whole-number");
    case ColumnKind::YesNo: return QStringLiteral("Yes/No");
    default: return QStringLiteral("typed");
    }
}

QString shown(const QVariant& v)
{
    if (v.typeId() == QMetaType::QByteArray)
        return QStringLiteral("(binary data)");
    QString s = v.toString();
    if (s.size() > 40)
        s = s.left(37) + "...";
    return '"' + s + '"';
}

bool isConverted(ColumnKind k)
{
    return k == ColumnKind::DateTime || k == ColumnKind::Currency || k == ColumnKind::Real
           || k == ColumnKind::Integer || k == ColumnKind::YesNo;
}

WriteRules& rulesOf(sqlite3_context* ctx) { return *static_cast<WriteRules*>(sqlite3_user_data(ctx)); }

}  // namespace

void WriteRules::run(const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(c_.handle(), sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QStringLiteral("error");
        sqlite3_free(err);
        throw Error(sqlite3_extended_errcode(c_.handle()), msg, sql);
    }
}

void WriteRules::remove()
{
    QStringList old;
    {
        Statement st(c_, "SELECT name FROM temp.sqlite_master WHERE type = 'trigger' "
                         "AND name LIKE 'nuptaro\\_%' ESCAPE '\\'");
        while (st.step())
            old << st.text(0);
    }
    for (const QString& o : old)
        run("DROP TRIGGER temp." + quoteIdent(o));
}

namespace {

// The triggers that watch inserts and updates (the others watch keys leaving).
const char* const kWriteTriggers[] = {"given", "inserted", "updated"};

QString triggerName(const char* kind, const QString& table) { return quoteIdent(QString("nuptaro_%1_%2").arg(kind, table)); }

}  // namespace

void WriteRules::suspend(const QString& table)
{
    const int i = indexOf(table);
    if (i < 0)
        return;
    for (const char* kind : kWriteTriggers)
        run("DROP TRIGGER IF EXISTS temp." + triggerName(kind, tables_[i].name));
}

void WriteRules::resume(const QString& table)
{
    const int i = indexOf(table);
    if (i < 0)
        return;
    createTriggers(i, true);
}

void WriteRules::install()
{
    tables_.clear();
    byName_.clear();
    counters_ = c_.tableExists("KEY_COUNTER");
    sequence_ = c_.tableExists("sqlite_sequence");
    const qint64 copy = c_.copyNumber();
    low_ = Connection::firstKeyOf(copy);
    high_ = Connection::lastKeyOf(copy);

    QStringList names;
    {
        Statement st(c_, "SELECT name FROM main.sqlite_master WHERE type = 'table' "
                         "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' AND name <> 'KEY_COUNTER' "
                         "ORDER BY name");
        while (st.step())
            names << st.text(0);
    }
    for (const QString& name : names) {
        Table t;
        t.name = name;
        Statement st(c_, "SELECT name, type, pk FROM pragma_table_info(?) ORDER BY cid");
        st.bind(1, name);
        int keys = 0;
        QString key;
        while (st.step()) {
            const QString col = st.text(0);
            const QString type = st.text(1);
            if (st.integer(2) > 0) {
                ++keys;
                if (type.compare("INTEGER", Qt::CaseInsensitive) == 0)
                    key = col;
                continue;
            }
            const ColumnKind k = convert::kindOfDeclaredType(type);
            if (isConverted(k)) {
                t.typed << col;
                t.kinds << k;
            }
        }
        if (keys == 1)
            t.key = key;
        byName_.insert(name.toLower(), int(tables_.size()));
        tables_.push_back(t);
    }
    for (Table& t : tables_)
        if (!t.key.isEmpty())
            t.counter = highestTaken(t.name, t.key);

    // The functions outlive the TEMP triggers that call them, and SQLite
    // refuses to make them again while a statement runs: made once.
    if (!functionsMade_) {
        createFunctions();
        functionsMade_ = true;
    }
    remove();
    for (int i = 0; i < tables_.size(); ++i)
        createTriggers(i);
    triggers_ = countTriggers();
    tempSchema_ = tempInteger("PRAGMA temp.schema_version");
}

// Statements on the temp schema are prepared afresh each time: one kept
// from before the temp schema was dropped would read a closed database.
qint64 WriteRules::tempInteger(const char* sql)
{
    Statement st(c_, QString::fromLatin1(sql));
    return st.step() ? st.integer(0) : -1;
}

int WriteRules::countTriggers()
{
    return int(tempInteger("SELECT count(*) FROM temp.sqlite_master WHERE type = 'trigger' "
                           "AND name LIKE 'nuptaro\\_%' ESCAPE '\\'"));
}

void WriteRules::keep()
{
    if (recount_)
        recount();
    // Inside a transaction the temp store cannot change, and what is made
    // there may be rolled back: the rules are looked at, and made, outside.
    if (!sqlite3_get_autocommit(c_.handle()))
        return;
    // Any change of the temp schema moves its version; only then is it
    // worth counting the triggers.
    const qint64 version = tempInteger("PRAGMA temp.schema_version");
    if (version == tempSchema_)
        return;
    if (countTriggers() < triggers_) {
        // Kept statements may name the dropped temp schema.
        c_.clearCache();
        install();
    } else {
        tempSchema_ = version;
    }
}

void WriteRules::rangeChanged()
{
    const qint64 copy = c_.copyNumber();
    low_ = Connection::firstKeyOf(copy);
    high_ = Connection::lastKeyOf(copy);
    for (Table& t : tables_)
        if (!t.key.isEmpty())
            t.counter = highestTaken(t.name, t.key);
}

int WriteRules::indexOf(const QString& table) const { return byName_.value(table.toLower(), -1); }

// After a rollback the database holds the counters as they were before it;
// the ones in memory go back to them, so the keys it took are given again.
// A key that was committed stays spent: its row, or KEY_COUNTER, still
// names it. The copy number lives in the file header and is rolled back
// with the rest, so the range is read afresh too: a merge that took a new
// number and then failed leaves the copy on its old one.
void WriteRules::recount()
{
    const qint64 copy = c_.copyNumber();
    low_ = Connection::firstKeyOf(copy);
    high_ = Connection::lastKeyOf(copy);
    for (Table& t : tables_)
        if (!t.key.isEmpty())
            t.counter = highestTaken(t.name, t.key);
    recount_ = false;
}

qint64 WriteRules::keysLeft(const QString& table)
{
    const int i = indexOf(table);
    if (i < 0 || tables_[i].key.isEmpty())
        throw Error(SQLITE_ERROR, QString("no such table with a key: %1").arg(table));
    const Table& t = tables_[i];
    return std::max<qint64>(0, high_ - std::max(t.counter, highestTaken(t.name, t.key)));
}

qint64 WriteRules::highestTaken(const QString& table, const QString& key)
{
    qint64 top = low_ - 1;
    auto consider = [&](const QVariant& v) {
        if (v.isValid() && !v.isNull() && ours(v.toLongLong()))
            top = std::max(top, v.toLongLong());
    };
    if (counters_)
        consider(c_.scalar("SELECT KEY_COUNTER_LAST FROM main.KEY_COUNTER WHERE KEY_COUNTER_TABLE = ?", {table}));
    if (sequence_)
        consider(c_.scalar("SELECT seq FROM main.sqlite_sequence WHERE name = ?", {table}));
    consider(c_.scalar(QString("SELECT max(%1) FROM main.%2 WHERE %1 BETWEEN ? AND ?")
                           .arg(quoteIdent(key), quoteIdent(table)),
                       {low_, high_}));
    return top;
}

qint64 WriteRules::take(const QString& tableIn, bool nested, qint64 count)
{
    const int i = indexOf(tableIn);
    if (i < 0 || tables_[i].key.isEmpty())
        throw Error(SQLITE_ERROR, QString("no such table with a key: %1").arg(tableIn));
    Table& t = tables_[i];
    const qint64 first = std::max(t.counter, highestTaken(t.name, t.key)) + 1;
    const qint64 next = first + std::max<qint64>(count, 1) - 1;
    if (next > high_)
        throw Error(SQLITE_FULL, keysFullText(t.name));
    t.counter = next;
    if (counters_)
        c_.Execute("INSERT INTO main.KEY_COUNTER (KEY_COUNTER_TABLE, KEY_COUNTER_LAST) VALUES (?, ?) "
                   "ON CONFLICT (KEY_COUNTER_TABLE) DO UPDATE SET KEY_COUNTER_LAST = " + Connection::laterCounter(),
                   {t.name, next});
    // AUTOINCREMENT goes on after the reserved key, so a plain INSERT seldom
    // needs its key replaced.
    if (!nested && sequence_) {
        if (c_.scalar("SELECT count(*) FROM main.sqlite_sequence WHERE name = ?", {t.name}).toLongLong() > 0)
            c_.Execute("UPDATE main.sqlite_sequence SET seq = ? WHERE name = ?", {next, t.name});
        else
            c_.Execute("INSERT INTO main.sqlite_sequence (name, seq) VALUES (?, ?)", {t.name, next});
    }
    return first;
}

void WriteRules::createFunctions()
{
    sqlite3* db = c_.handle();
    using Function = void (*)(sqlite3_context*, int, sqlite3_value**);
    const struct {
        const char* name;
        int arguments;
        Function function;
    } functions[] = {
        {"nuptaro_key_given", 2, &WriteRules::keyGiven},     {"nuptaro_row_check", -1, &WriteRules::rowNeedsWork},
        {"nuptaro_typed_check", -1, &WriteRules::typedNeedsWork}, {"nuptaro_typed", 3, &WriteRules::typedValue},
        {"nuptaro_key_needed", 1, &WriteRules::keyNeeded},   {"nuptaro_key", 2, &WriteRules::keyFor},
        {"nuptaro_key_removed", 2, &WriteRules::keyRemoved},
    };
    // The triggers call these; without one every write would fail later
    // with a message that names no cause.
    for (const auto& f : functions)
        if (sqlite3_create_function(db, f.name, f.arguments, SQLITE_UTF8, this, f.function, nullptr, nullptr)
            != SQLITE_OK)
            throw Error(sqlite3_extended_errcode(db), QString("The write rule function %1 could not be made: %2")
                                                          .arg(QString::fromLatin1(f.name),
                                                               QString::fromUtf8(sqlite3_errmsg(db))));
}

void WriteRules::createTriggers(int index, bool writesOnly)
{
    const Table& t = tables_[index];
    const QString table = quoteIdent(t.name);
    const QString tag = QString::number(index);
    const QString name = t.name;
    auto trigger = [&](const char* kind) { return triggerName(kind, name); };
    auto literal = [](QString s) { return '\'' + s.replace('\'', "''") + '\''; };

    QStringList newTyped, sets;
    for (int c = 0; c < t.typed.size(); ++c) {
        newTyped << "NEW." + quoteIdent(t.typed[c]);
        sets << QString("%1 = nuptaro_typed(%2, %3, %1)").arg(quoteIdent(t.typed[c]), tag).arg(c);
    }
    const QString key = t.key.isEmpty() ? QString() : quoteIdent(t.key);
    const QString convertRow =
        sets.isEmpty() ? QString()
                       : QString("UPDATE %1 SET %2 WHERE rowid = NEW.rowid AND nuptaro_typed_check(%3, %4);")
                             .arg(table, sets.join(", "), tag, newTyped.join(", "));

    if (!t.key.isEmpty())
        run(QString("CREATE TEMP TRIGGER %1 BEFORE INSERT ON main.%2 BEGIN SELECT nuptaro_key_given(%3, NEW.%4); "
                           "END")
                       .arg(trigger("given"), table, tag, key));
    if (!t.key.isEmpty() || !sets.isEmpty()) {
        QString body = convertRow;
        if (!t.key.isEmpty())
            body += QString(" UPDATE %1 SET %2 = nuptaro_key(%3, NEW.%2) WHERE rowid = NEW.rowid "
                            "AND nuptaro_key_needed(%3);")
                        .arg(table, key, tag);
        QStringList args{tag, t.key.isEmpty() ? QStringLiteral("NULL") : "NEW." + key};
        args += newTyped;
        run(QString("CREATE TEMP TRIGGER %1 AFTER INSERT ON main.%2 WHEN nuptaro_row_check(%3) BEGIN %4 END")
                       .arg(trigger("inserted"), table, args.join(", "), body));
    }
    if (!sets.isEmpty()) {
        QStringList cols;
        for (const QString& c : t.typed)
            cols << quoteIdent(c);
        run(QString("CREATE TEMP TRIGGER %1 AFTER UPDATE OF %2 ON main.%3 WHEN nuptaro_typed_check(%4, %5) "
                           "BEGIN %6 END")
                       .arg(trigger("updated"), cols.join(", "), table, tag, newTyped.join(", "), convertRow));
    }
    if (!t.key.isEmpty() && counters_ && !writesOnly) {
        const QString remember =
            QString("INSERT INTO KEY_COUNTER (KEY_COUNTER_TABLE, KEY_COUNTER_LAST) VALUES (%1, OLD.%2) "
                    "ON CONFLICT (KEY_COUNTER_TABLE) DO UPDATE SET KEY_COUNTER_LAST = %3;")
                .arg(literal(t.name), key, Connection::laterCounter());
        run(QString("CREATE TEMP TRIGGER %1 AFTER DELETE ON main.%2 WHEN nuptaro_key_removed(%3, OLD.%4) "
                           "BEGIN %5 END")
                       .arg(trigger("deleted"), table, tag, key, remember));
        run(QString("CREATE TEMP TRIGGER %1 AFTER UPDATE OF %2 ON main.%3 WHEN OLD.%2 IS NOT NEW.%2 "
                           "AND nuptaro_key_removed(%4, OLD.%2) BEGIN %5 END")
                       .arg(trigger("rekeyed"), key, table, tag, remember));
    }
}

// nuptaro_key_given(table, NEW.key), BEFORE INSERT: whether the statement
// gives the key or leaves it to SQLite.
void WriteRules::keyGiven(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    WriteRules& r = rulesOf(ctx);
    Table& t = r.tables_[sqlite3_value_int(argv[0])];
    sqlite3_value* k = argv[1];
    t.keyGiven = !(sqlite3_value_type(k) == SQLITE_NULL
                   || (sqlite3_value_type(k) == SQLITE_INTEGER && sqlite3_value_int64(k) == -1));
    sqlite3_result_null(ctx);
}

// nuptaro_row_check(table, NEW.key, NEW.typed...), AFTER INSERT: whether the
// row needs a key of ours or a value converted.
void WriteRules::rowNeedsWork(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    WriteRules& r = rulesOf(ctx);
    Table& t = r.tables_[sqlite3_value_int(argv[0])];
    bool work = false;
    if (!t.key.isEmpty()) {
        const qint64 k = sqlite3_value_int64(argv[1]);
        r.lastKey_ = k;
        t.replaceKey = !t.keyGiven && (!r.ours(k) || k <= t.counter);
        if (!t.replaceKey && r.ours(k) && k > t.counter)
            t.counter = k;
        work = t.replaceKey;
    }
    for (int c = 2; c < argc && !work; ++c)
        work = !convert::isStoredForm(t.kinds[c - 2], toVariant(argv[c]));
    sqlite3_result_int(ctx, work ? 1 : 0);
}

// nuptaro_typed_check(table, NEW.typed...): whether a value needs converting.
void WriteRules::typedNeedsWork(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    const Table& t = rulesOf(ctx).tables_[sqlite3_value_int(argv[0])];
    bool work = false;
    for (int c = 1; c < argc && !work; ++c)
        work = !convert::isStoredForm(t.kinds[c - 1], toVariant(argv[c]));
    sqlite3_result_int(ctx, work ? 1 : 0);
}

// nuptaro_typed(table, column, value): the value in its stored form, or the
// statement fails.
void WriteRules::typedValue(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const Table& t = rulesOf(ctx).tables_[sqlite3_value_int(argv[0])];
    const int c = sqlite3_value_int(argv[1]);
    const ColumnKind kind = t.kinds[c];
    const QVariant in = toVariant(argv[2]);
    if (convert::isStoredForm(kind, in)) {
        sqlite3_result_value(ctx, argv[2]);
        return;
    }
    QVariant out;
    if (in.typeId() == QMetaType::QByteArray || !convert::toStorage(kind, in, out)) {
        const QByteArray msg = QString("The value %1 does not fit the %2 column %3.%4; nothing was stored.")
                                   .arg(shown(in), kindName(kind), t.name, t.typed[c])
                                   .toUtf8();
        sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
        return;
    }
    setResult(ctx, out);
}

// nuptaro_key_needed(table): whether the row just inserted must get a key
// of ours (decided by nuptaro_row_check for that row).
void WriteRules::keyNeeded(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const Table& t = rulesOf(ctx).tables_[sqlite3_value_int(argv[0])];
    sqlite3_result_int(ctx, t.replaceKey ? 1 : 0);
}

// nuptaro_key(table, NEW.key): the key the new row keeps: a key of ours,
// taken at once, when SQLite chose one outside our range or one already
// handed out.
void WriteRules::keyFor(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    WriteRules& r = rulesOf(ctx);
    Table& t = r.tables_[sqlite3_value_int(argv[0])];
    if (!t.replaceKey) {
        sqlite3_result_value(ctx, argv[1]);
        return;
    }
    t.replaceKey = false;
    try {
        const qint64 mine = r.take(t.name, true);
        r.rekeyed_ = true;
        r.lastKey_ = mine;
        sqlite3_result_int64(ctx, mine);
    } catch (const Error& e) {
        const QByteArray msg = e.description().toUtf8();
        sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
    }
}

// nuptaro_key_removed(table, OLD.key): whether a key of ours left the table,
// so the counter must remember it.
void WriteRules::keyRemoved(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    WriteRules& r = rulesOf(ctx);
    Table& t = r.tables_[sqlite3_value_int(argv[0])];
    const qint64 k = sqlite3_value_int64(argv[1]);
    const bool mine = sqlite3_value_type(argv[1]) == SQLITE_INTEGER && r.ours(k);
    if (mine && k > t.counter)
        t.counter = k;
    sqlite3_result_int(ctx, mine ? 1 : 0);
}

}  // namespace ado::detail
