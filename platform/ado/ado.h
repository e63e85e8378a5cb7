#pragma once
// A small recordset-style data layer over one SQLite file.
//
// Windows open recordsets with an SQL text, walk them, read and write fields
// by name (case-insensitively), start rows with AddNew (the key is reserved
// at once and readable before Update) and store them with Update. Edited rows
// of a SELECT, joins included, are written back to the base table and row
// each column came from, through hidden row identities that never count as
// columns. Typed text is converted to the column's declared type.

#include "platform/ado/rowstore.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <stdexcept>

class QLocale;
struct sqlite3;
struct sqlite3_stmt;

namespace ado {

namespace detail {
class WriteRules;
}

enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };

// What a declared column type converts typed values to.
enum class ColumnKind { Text, Integer, Real, Currency, DateTime, YesNo, Other };

class Error : public std::runtime_error {
public:
    Error(int number, const QString& description, const QString& statement = QString());
    int number() const { return number_; }
    QString description() const { return description_; }
    // The SQL text that failed (a recordset's own SQL for an error of its
    // rows or fields); "" when no statement was involved.
    QString statement() const { return statement_; }

private:
    int number_;
    QString description_;
    QString statement_;
};

// The error SQLite holds for a handle, as an Error: its code and message
// (after `what` when given), naming the statement. A file moved away while
// open is said in plain words, naming `file` (else the handle's own file).
Error lastError(sqlite3* db, const QString& what = QString(), const QString& statement = QString(),
                const QString& file = QString());

using Params = QVariantList;

// Keys as a JSON array ("[3,5]", "[]" for none), bound to a statement that
// reads them through json_each(?): many rows at once, no key in its text.
template <typename Keys>
QString jsonKeys(const Keys& keys)
{
    QString out;
    out.reserve(keys.size() * 9 + 2);
    for (const qint64 k : keys)
        out += (out.isEmpty() ? u'[' : u',') + QString::number(k);
    return out.isEmpty() ? QStringLiteral("[]") : out + u']';
}

// Whether an error is another connection's lock (a write of another
// program), and what to tell the user then, naming the file.
bool isBusy(const Error& e);
QString inUseElsewhere(const QString& file);

// The message of an addition refused because a table has no key left in
// this copy's range (Connection::kKeyRange keys per table). The program
// words it, saying which of its lists is full; by default it names the table.
using KeysFullText = std::function<QString(const QString& table)>;
void setKeysFullText(KeysFullText text);
QString keysFullText(const QString& table);

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing database file; never creates one. The file is probed
    // at once, so a file that is not a database fails here.
    //
    // Every write through the connection, by any statement or through the
    // handle, keeps two rules (see platform/ado/rules.cpp):
    // - A row inserted without a key gets one of this copy's range, whatever
    //   form the INSERT takes. A key the statement gives is kept as given
    //   (the merge gives other copies' keys; AddNew gives the one it reserved).
    // - A value written to a date, currency, number or Yes/No column is
    //   converted as a typed cell is; one that does not convert refuses the
    //   whole statement.
    //
    // The rules hold for the life of the connection, whatever runs on it:
    // each statement of Execute first makes them again if something dropped
    // them. Code that writes through the handle calls keepRules first.
    void Open(const QString& path);
    void Close();
    bool isOpen() const { return db_ != nullptr; }
    // Opened, but the file could only be opened for reading.
    bool isReadOnly() const;
    QString path() const { return path_; }
    sqlite3* handle() const { return db_; }
    // How long a statement waits for another connection's lock before it fails.
    void setBusyTimeout(int milliseconds);
    // Makes the write rules again if anything dropped them.
    void keepRules();
    // Runs `work` inside the running transaction with the write rules of
    // inserts and updates set aside on `tables`: for rows that carry their
    // keys and whose values were checked to be in their stored form, where
    // the rules would only spend time (a merge of many thousand rows).
    // Deletions keep their rules. Outside a transaction it throws.
    void withoutWriteRules(const QStringList& tables, const std::function<void()>& work);

    // Runs one statement with bound parameters (? placeholders); returns the
    // number of rows changed.
    int Execute(const QString& sql, const Params& params = {});
    // First column of the first row, or a null value.
    QVariant scalar(const QString& sql, const Params& params = {});
    // Hands each row of a query to `row` as it is read, nothing kept: for
    // large reads that are turned into something else at once.
    void forEachRow(const QString& sql, const Params& params, const std::function<void(const class Row&)>& row);
    // The key (rowid) of the row the last INSERT stored, as it was finally
    // stored. SELECT last_insert_rowid() gives the same.
    qint64 lastInsertId() const;

    // Nestable: the outermost level is a real transaction, inner ones are
    // savepoints. A COMMIT that fails (another program holds the file) rolls
    // the transaction back and throws; the connection stays usable.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    int transactionDepth() const { return depth_; }

    // Reserves the next key of a table at once, so it is readable before the
    // row is stored and never given out again. Keys come from this copy's
    // own range (see copyNumber).
    qint64 reserveKey(const QString& table);
    // Reserves `count` keys in a row at once (moving many records); the first.
    qint64 reserveKeys(const QString& table, qint64 count);
    // How many more keys of this copy's range the table can hand out. Keys
    // once committed are never given again, also those of deleted rows; a
    // transaction rolled back gives back the keys it took.
    qint64 keysLeft(const QString& table);
    // Key column (first column) of a table, "" when the table is unknown.
    QString keyColumn(const QString& table);
    // Names and kinds of a table's columns, in order.
    QStringList columnNames(const QString& table);
    ColumnKind columnKind(const QString& table, const QString& column);
    bool tableExists(const QString& table);

    // Every working database carries a copy number in its file header; new
    // keys of a copy are drawn from number * kKeyRange + 1 up to
    // (number+1) * kKeyRange - 1 (no key is ever 0). 0 is the template's own
    // range (the standard data). Numbers are 1 to kMaxCopyNumber (files of
    // earlier builds hold 1 to 2000), so keys stay below 2^52 and exact
    // wherever they pass through a double.
    static constexpr qint64 kKeyRange = 1000000;
    static constexpr int kMaxCopyNumber = 2147483647;
    static qint64 firstKeyOf(qint64 copy) { return copy * kKeyRange + 1; }
    static qint64 lastKeyOf(qint64 copy) { return copy * kKeyRange + kKeyRange - 1; }
    int copyNumber();
    void setCopyNumber(int number);
    // The value an upsert of KEY_COUNTER keeps (excluded. the one written):
    // the later key of one range; a key of another range (this copy's
    // number before it took a new one) gives way.
    static QString laterCounter();
    // The key counters of every table; a merge that inserts other copies'
    // keys saves them first and puts them back after, so this copy's next
    // keys stay in its own range.
    QMap<QString, qint64> keyCounters();
    void setKeyCounters(const QMap<QString, qint64>& counters);

private:
    friend class Recordset;
    // Execute and scalar keep their prepared statements for the next run of
    // the same text, as most are run again and again (log rows, key lookups,
    // the rows of an import).
    struct Cached;
    static constexpr int kCachedStatements = 64;
    QHash<QString, sqlite3_stmt*> cache_;
    void clearCache();
    friend class detail::WriteRules;
    sqlite3_stmt* prepare(const QString& sql);
    void bindAll(sqlite3_stmt* st, const Params& params);
    [[noreturn]] void fail(const QString& what, const QString& statement);

    sqlite3* db_ = nullptr;
    QString path_;
    int depth_ = 0;
    std::unique_ptr<detail::WriteRules> rules_;
};

// Values as the layer hands them out: text as QString, whole numbers as
// qlonglong, currency and reals as double, dates as QDateTime, Yes/No as bool,
// NULL as an invalid QVariant.
//
// Date-times are wall-clock values: the date and time of day the user sees,
// in no time zone. In memory they are QDateTime values of the UTC spec, so
// that building, comparing and adding minutes never pass through the local
// zone (where a daylight-saving gap would make a time invalid or shift it by
// an hour). Build them with wallClock and now(), never with a bare
// QDateTime(date, time) or QDateTime::currentDateTime().
namespace convert {
ColumnKind kindOfDeclaredType(const QString& declared);
// Converts a value for storage in a column of the kind; false when it does
// not convert (the caller then leaves the column unchanged). Never a partial
// parse: "12abc" is not 12. A whole number rounds halves to even; currency
// beyond what the old engine held (+-922,337,203,685,477.5807) and a value
// that is not a number are refused.
bool toStorage(ColumnKind kind, const QVariant& in, QVariant& out);
QVariant fromStorage(ColumnKind kind, const QVariant& stored);
// Whether a value read from the database already has the stored form of its
// kind (ISO date-time text, 0 or 1, a whole number, rounded currency in range).
bool isStoredForm(ColumnKind kind, const QVariant& stored);
// The wall-clock value of a date and a time of day (midnight when none).
QDateTime wallClock(const QDate& d, const QTime& t = QTime(0, 0));
// The same date and time of day as a wall-clock value, whatever the zone of
// the given one; an invalid value stays invalid.
QDateTime wallClock(const QDateTime& dt);
// The present moment as the local clock shows it, and today's date.
QDateTime now();
QDate today();
// The program's own texts of a date-time: the stored form, or the US forms
// ("11/05/2004", "11/05/2004 14:30", "11/5/2004 2:30 PM", "2:30 PM", "9:5"
// for 9:05); a time alone lands on 1899-12-30. The result is a wall-clock
// value.
bool parseDateTime(const QString& text, QDateTime& out);
// Typed text read in a locale's forms. A date is three numbers in the order
// of the locale's short date, or year first with four digits (2027-08-14);
// a two-digit year is read by fullYear. A time is hours and minutes (and
// seconds), 24-hour or with AM/PM in English or the locale's words; "9:5" is
// 9:05. A date-time is a date, a date and a time, or a time alone (on
// 1899-12-30). A number takes the locale's decimal separator, and its group
// separator only between groups of the locale's sizes (or of three digits);
// where the locale parts its groups with an apostrophe or a blank of any
// width, each of those marks does. An amount may also carry the locale's
// currency symbol and a minus sign (before or after the symbol) or
// parentheses ("(5)" is -5, "(-5)" is refused). False for anything else.
bool readDate(const QString& text, QDate& out, const QLocale& forms);
bool readTime(const QString& text, QTime& out, const QLocale& forms);
bool readDateTime(const QString& text, QDateTime& out, const QLocale& forms);
bool readNumber(const QString& text, double& out, const QLocale& forms);
bool readAmount(const QString& text, double& out, const QLocale& forms);
// The year of a two-digit year: the one that lies from 20 years before this
// year to 79 after it ("30" is 2030, not 1930).
int fullYear(int twoDigitYear);
// The stored text of a date-time, as its date and time of day read ("" when invalid).
QString isoDateTime(const QDateTime& dt);
QString isoDate(const QDate& d);  // midnight of the day
// An amount in the US forms ("$1,250.75", "(5)"), rounded to currency and
// refused beyond what it holds; a plain number ("1e5" too).
bool parseCurrency(const QString& text, double& out);
bool parseNumber(const QString& text, double& out);
// A number as plain decimal text with only the decimals it needs (100000,
// 0.0001, 123456.78, -5), never an exponent and without group separators,
// so that parseNumber and parseCurrency read it back to the same value.
QString numberText(double v);
// A value as text: "" for NULL, numbers by numberText, a date-time in its
// stored form, anything else as its own text.
QString valueText(const QVariant& v);
bool parseYesNo(const QString& text, bool& out);
// An amount rounded to whole ten-thousandths, halves away from zero: the
// double nearest that decimal (6.56, never 6.5600000000000005), so that its
// shortest text is the amount as typed. A value beyond what currency holds
// comes back as it was.
double roundCurrency(double v);
bool currencyFits(double v);
// An amount within what currency holds in whole ten-thousandths, and back.
qint64 tenThousandths(double v);
double fromTenThousandths(qint64 n);
// How a locale groups the digits of a whole number: the group before the
// decimal point, each group before that (2 in India's 1,23,45,678), and
// the fewest digits left of the first group (2 where 1500 stays whole).
struct Grouping {
    int first = 3;
    int rest = 3;
    int least = 1;
};
Grouping grouping(const QLocale& forms);
// The symbol of the locale's amounts: its own, or the currency's code.
QString currencySymbol(const QLocale& forms);
// Plain digits with the locale's group separator between its groups.
QString groupedDigits(const QString& digits, const QLocale& forms);
}  // namespace convert

class Recordset;
using RecordsetPtr = std::shared_ptr<Recordset>;

// One field of the current row, by value: reading and writing go through the
// recordset.
class Field {
public:
    Field(Recordset* rs, int index) : rs_(rs), index_(index) {}
    QString Name() const;
    QVariant Value() const;
    bool setValue(const QVariant& v);
    Field& operator=(const QVariant& v) { setValue(v); return *this; }
    bool isNull() const { return Value().isNull(); }
    QString text() const;  // the value as the user would see it, "" for NULL
    ColumnKind kind() const;

private:
    Recordset* rs_;
    int index_;
};

class Recordset : public QObject {
    Q_OBJECT
public:
    enum class EditMode { None, Edit, Add };

    Recordset();
    ~Recordset() override;

    static RecordsetPtr create() { return std::make_shared<Recordset>(); }

    void Open(const QString& sql, Connection& conn, CursorType cursor = adOpenKeyset,
              LockType lock = adLockOptimistic, const Params& params = {});
    void Close();
    bool isOpen() const { return open_; }
    // Runs the same SQL text again; the position returns to the first row.
    void Requery();

    QString source() const { return sql_; }
    // The connection it was opened on; nullptr before.
    Connection* connection() const { return conn_; }
    LockType lockType() const { return lock_; }
    bool isUpdatable() const;

    // Walking
    bool BOF() const;
    bool EOF_() const;
    bool atEnd() const { return EOF_(); }
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    int RecordCount() const;
    // 0-based index of the current row, -1 before the first, RecordCount() after the last.
    int position() const { return pos_; }
    void setPosition(int row);

    // Fields (hidden row identities are never counted)
    int fieldCount() const;
    QString fieldName(int index) const;
    int fieldIndex(const QString& name) const;  // case-insensitive, -1 when absent
    Field fields(int index);
    Field fields(const QString& name);
    Field operator[](const QString& name) { return fields(name); }
    ColumnKind fieldKind(int index) const;
    // Base table and column a field came from ("" for an expression).
    QString fieldTable(int index) const;
    QString fieldOrigin(int index) const;

    QVariant value(const QString& name) const;
    QVariant value(int index) const;
    // Writes a value into the current row's buffer. Throws when the field is
    // unknown; returns false (column unchanged) when the value does not
    // convert to the column's type.
    bool setValue(const QString& name, const QVariant& v);
    bool setValue(int index, const QVariant& v);

    // Direct row access for grids.
    QVariant cell(int row, int col) const;
    // Cells of a column that hold the same stored value hash alike and are
    // the same; for gathering rows by value without reading every value.
    size_t cellHash(int row, int col) const;
    bool sameCell(int row, int otherRow, int col) const;
    // Key of the base-table row a cell came from (also when the key column is
    // not selected); a null value for expressions.
    QVariant rowKey(int row, int col) const;
    // Writes one cell of a stored row back to its base table at once. With
    // `alsoWrite` (the change-log row, say) both are one transaction: when
    // either is refused neither is stored, and the recordset shows the row
    // as it was.
    bool setCell(int row, int col, const QVariant& v, const std::function<void()>& alsoWrite = {});

    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    EditMode editMode() const { return edit_; }

signals:
    void reset();
    void rowChanged(int row);

private:
    struct Column {
        QString name;       // alias as selected
        QString table;      // origin table, "" for expressions
        QString origin;     // origin column
        ColumnKind kind = ColumnKind::Other;
        int hiddenRowid = -1;  // index of the hidden rowid column of its table
    };

    void load();
    // An error of this recordset, naming its SQL text.
    Error error(int number, const QString& description) const { return Error(number, description, sql_); }
    void requireOpen() const;
    void requireRow() const;
    QString baseTable() const;
    // The one table whose rows AddNew and Delete work on; throws when the
    // recordset shows several tables or cannot tell its rows apart.
    QString rowTable(const char* what) const;
    void writeRow(int row, const QVector<int>& cols, const QVector<QVariant>& values,
                  const std::function<void()>& alsoWrite = {});
    void insertRow();
    void updateRow();
    void refetchRow(int row);

    Connection* conn_ = nullptr;
    QString sql_;
    QString runSql_;  // the text actually run, with the hidden row identities
    Params params_;
    LockType lock_ = adLockOptimistic;
    bool open_ = false;

    QVector<Column> cols_;          // visible columns
    QStringList hiddenTables_;      // tables whose rowid is selected, in order
    detail::RowStore rows_;         // visible values then hidden rowids
    int pos_ = -1;

    EditMode edit_ = EditMode::None;
    QVector<QVariant> buffer_;
    QVector<bool> dirty_;
    qint64 reservedKey_ = 0;
};

// A row handed out by Connection::forEachRow, valid during the call only.
class Row {
public:
    explicit Row(sqlite3_stmt* st) : st_(st) {}
    bool isNull(int column) const;
    qint64 integer(int column) const;  // 0 for NULL
    QString text(int column) const;    // "" for NULL
    // The text as stored (UTF-8), valid until the next row; empty for NULL.
    QByteArrayView utf8(int column) const;
    QVariant value(int column) const;  // as stored, NULL as an invalid value

protected:
    sqlite3_stmt* st_;
};

// One statement prepared once and run again and again: for work of many rows
// through a few statements of its own (between attached files, say). Values are
// bound by position (from 1); each row stepped to is read as a Row; reset
// clears the row and the values for the next run. Prepared on a connection,
// or on a handle (a database of its own); what it writes keeps the write
// rules as any write through the handle does (see Connection::keepRules).
// Every failure is an Error naming its SQL text.
class Statement : public Row {
public:
    Statement(Connection& conn, const QString& sql);
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    QString sql() const { return sql_; }
    // For SQLite's own calls on it (where a column comes from, say).
    sqlite3_stmt* handle() const { return st_; }
    int parameters() const;

    void bind(int index, qint64 value);
    void bind(int index, const QString& value);
    // True while a row is there, false once the rows are done.
    bool step();
    // Steps through to the end, then resets.
    void run();
    void reset();
    // Rows changed by the last INSERT, UPDATE or DELETE on the handle.
    int changes() const;

private:
    friend class Connection;
    static sqlite3_stmt* prepare(sqlite3* db, const QString& sql, const QString& file);
    [[noreturn]] void fail(const QString& what) const;

    sqlite3* db_;
    QString sql_;
    QString file_;  // the file the errors name, "" for the handle's own
};

// Whole or nothing: rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Connection& c) : c_(c) { c_.BeginTrans(); }
    ~Transaction();
    void commit();

private:
    Connection& c_;
    bool done_ = false;
};

}  // namespace ado
