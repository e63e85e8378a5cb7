#pragma once
// The eleven lookup lists the editors offer in drop-down lists, and their
// edits: add a text, delete an entry by its key. Both are logged.

#include <QString>
#include <QVariant>
#include <QVector>


namespace records {

// The lists, in the order of their table. An opener names one of these, so a
// list that does not exist cannot be asked for.
enum class Lookup {
    Titles,
    GuestTypes,
    Assignee,
    RSVP,
    VendorTypes,
    Stores,
    Category,
    Priority,
    BudgetCategory,
    Event,
    Attire,
};

struct LookupList {
    Lookup id;
    const char* name;        // the name the list goes by
    const char* caption;     // the editor's caption
    const char* table;       // also the table name of its log rows
    const char* textColumn;
    const char* keyColumn;
    // "SELECT * FROM <table> ORDER BY <text column>"
    QString query() const;
};

// Every list, in the order of the enumeration.
const QVector<LookupList>& lookupLists();
const LookupList& lookupList(Lookup id);

struct LookupEntry {
    qint64 key = 0;
    QVariant text;  // null for a row without text
    // As the list shows it: "" for a row without text.
    QString display() const { return text.isNull() ? QString() : text.toString(); }
};

// The entries in the list's query order; throws ado::Error.
QVector<LookupEntry> loadLookupEntries(const LookupList& list);
// Adds a text unchanged (blanks count) with its log row, in one transaction;
// returns the new key, 0 when the text is empty. Throws ado::Error.
qint64 addLookupEntry(const LookupList& list, const QString& text);
// Deletes the entry of that key with its log row, in one transaction; false
// when no such entry exists. Throws ado::Error.
bool deleteLookupEntry(const LookupList& list, qint64 key);

}  // namespace records
