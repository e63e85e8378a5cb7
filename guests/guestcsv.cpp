#include "guests/guestcsv.h"

#include "records/modQVDatabase.h"
#include "records/modSynchro.h"

#include <QHash>
#include <QVariant>

#include <algorithm>

namespace guestimport {

using modQVDatabase::gConn;

namespace {

// The person values some fields also give, by field index.
enum PersonValue { FirstName, LastName, Title, Phone, EMail, PersonValues };

int personValueOf(int field)
{
    switch (field) {
    case 2: return FirstName;
    case 3: return LastName;
    case 4: return Title;
    case 10: return Phone;
    case 12: return EMail;
    default: return -1;
    }
}

qint64 lastKey()
{
    return gConn.lastInsertId();
}

}  // namespace

const std::array<GuestField, kFieldCount>& fields()
{
    static const std::array<GuestField, kFieldCount> f = {{
        {"Party Name", "GUEST_PARTYNAME"},
        {"First Name", "GUEST_FNAME"},
        {"Last Name", "GUEST_LNAME"},
        {"Title", "GUEST_TITLE"},
        {"Address 1", "GUEST_ADDRESS1"},
        {"Address 2", "GUEST_ADDRESS2"},
        {"City", "GUEST_CITY"},
        {"State", "GUEST_STATE"},
        {"ZIP/Postal", "GUEST_ZIP"},
        {"Phone 1", "GUEST_PHONE1"},
        {"Phone 2", "GUEST_PHONE2"},
        {"E-Mail", "GUEST_EMAIL"},
    }};
    return f;
}

QString cleanText(const QString& value, bool oneLine)
{
    auto blank = [](QChar c) { return c == u' ' || c == u'\u00A0' || c == u'\u2007' || c == u'\u202F'; };
    auto lineBreak = [](QChar c) { return c == u'\t' || c == u'\r' || c == u'\n'; };
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        // Tabs and line breaks stay in an address (the export writes them as
        // they are); a one-line value takes one blank for each run of them.
        if (lineBreak(c)) {
            if (!oneLine)
                out += c;
            else if (i + 1 == value.size() || !lineBreak(value[i + 1]))
                out += u' ';
            continue;
        }
        // Control codes are no part of any text.
        if (c.category() == QChar::Other_Control)
            continue;
        out += c;
    }
    qsizetype from = 0, to = out.size();
    while (from < to && blank(out[from]))
        ++from;
    while (to > from && blank(out[to - 1]))
        --to;
    return out.mid(from, to - from).normalized(QString::NormalizationForm_C);
}

bool looksLikeHeader(const QStringList& line)
{
    for (const QString& s : line) {
        const QString t = s.toLower();
        if (t.contains(QLatin1String(" name")) || t.contains(QLatin1String("phone")))
            return true;
    }
    return false;
}

int titleLines(const csv::Table& source)
{
    // A title block is short; a longer run of one-value lines is data.
    constexpr int kMostTitleLines = 5;
    for (int i = 0; i < std::min(kMostTitleLines, source.lineCount() - 1); ++i) {
        const QStringList line = source.line(i);
        if (looksLikeHeader(line))
            return 0;
        if (std::count_if(line.begin(), line.end(), [](const QString& v) { return !cleanText(v).isEmpty(); }) > 1)
            return 0;
        if (looksLikeHeader(source.line(i + 1)))
            return i + 1;
    }
    return 0;
}

namespace {

// What one record stores: the linked GUEST columns' values, the party name
// and the person's five values.
struct Stored {
    ado::Params columns;   // party name first, then the linked fields in index order
    QString person[PersonValues];
    QString party() const { return columns[0].toString(); }
};

// The fields an address keeps on several lines; every other is one line.
bool multiLine(int field) { return field == 5 || field == 6; }

Stored storedOf(const csv::Record& r, const LinkMap& links)
{
    auto valueOf = [&](int field) {
        const int k = links[field];
        return k >= 1 && k <= r.size() ? cleanText(r[k - 1], !multiLine(field)) : QString();
    };
    Stored s;
    s.columns << QString();
    for (int i = 2; i <= kFieldCount; ++i) {
        if (links[i] < 1)
            continue;
        const QString v = valueOf(i);
        s.columns << v;
        if (const int p = personValueOf(i); p >= 0)
            s.person[p] = v;
    }
    // The party name is always written: when unlinked or empty it is made
    // from the person's names, as a name typed would be.
    QString party = links[1] > 0 ? valueOf(1) : QString();
    if (party.isEmpty())
        party = cleanText(s.person[FirstName] + ' ' + s.person[LastName], true);
    s.columns[0] = party;
    return s;
}

// Each named party's oldest key, by exact name (case and blanks count); the
// younger parties of a name a merge folds into it go to `folded`.
QHash<QString, qint64> oldestParties(QHash<qint64, qint64>* folded = nullptr)
{
    QHash<QString, qint64> oldest;
    gConn.forEachRow("SELECT GUEST_ID, GUEST_PARTYNAME FROM GUEST WHERE GUEST_PARTYNAME <> '' ORDER BY GUEST_ID", {},
                     [&](const ado::Row& row) {
                         const qint64 key = row.integer(0);
                         const QString name = row.text(1);
                         if (const auto it = oldest.constFind(name); it == oldest.cend())
                             oldest.insert(name, key);
                         else if (folded)
                             folded->insert(key, it.value());
                     });
    return oldest;
}

// Every record of the source, the first line last when it is no header.
void forEachRecord(const csv::Table& source, bool hasHeader, const std::function<void(const csv::Record&)>& f)
{
    for (int i = 0; i < source.recordCount(); ++i)
        f(source.record(i));
    if (!hasHeader && source.recordCount() > 0)
        f(source.names());
}

}  // namespace

qint64 newParties(const csv::Table& source, bool hasHeader, const LinkMap& links)
{
    QHash<QString, qint64> known = oldestParties();
    qint64 count = 0;
    forEachRecord(source, hasHeader, [&](const csv::Record& r) {
        const QString party = storedOf(r, links).party();
        if (party.isEmpty() || !known.contains(party)) {
            known.insert(party, 0);
            ++count;
        }
    });
    return count;
}

int addParties(const csv::Table& source, bool hasHeader, const LinkMap& links, const Progress& progress)
{
    QStringList columns{"GUEST_PARTYNAME"};
    for (int i = 2; i <= kFieldCount; ++i)
        if (links[i] > 0)
            columns << fields()[i - 1].column;
    const QString guestSql = "INSERT INTO GUEST (" + columns.join(", ") + ") VALUES (?"
                             + QString(", ?").repeated(columns.size() - 1) + ")";
    const QString personSql =
        "INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE, SUBGUEST_PHONE, "
        "SUBGUEST_EMAIL) VALUES (?, ?, ?, ?, ?, ?)";

    // A record whose party exists, in the guest list or earlier in the file,
    // joins the oldest party of that name, as the merge would fold it in: a
    // key is taken only for a party that is new.
    QHash<QString, qint64> partyOf = oldestParties();
    // Logged together at the end: one moment for the whole import.
    QList<qint64> parties, people;
    forEachRecord(source, hasHeader, [&](const csv::Record& r) {
        const Stored s = storedOf(r, links);
        const QString name = s.party();
        auto it = name.isEmpty() ? partyOf.end() : partyOf.find(name);
        if (it == partyOf.end()) {
            gConn.Execute(guestSql, s.columns);
            parties << lastKey();
            if (!name.isEmpty())
                it = partyOf.insert(name, parties.last());
        }
        const qint64 party = it == partyOf.end() ? parties.last() : it.value();
        gConn.Execute(personSql, {party, s.person[FirstName], s.person[LastName], s.person[Title], s.person[Phone],
                                  s.person[EMail]});
        people << lastKey();
        if (progress && !progress(int(people.size())))
            throw Cancelled();
    });
    modSynchro::LogChanges("GUEST", parties, modSynchro::Added);
    modSynchro::LogChanges("SUBGUEST", people, modSynchro::Added);
    return int(people.size());
}

void mergeDuplicateParties(const std::function<bool()>& keepGoing)
{
    auto checkIn = [&] {
        if (keepGoing && !keepGoing())
            throw Cancelled();
    };
    // In key order each exact name meets its oldest party first. Names and
    // people are read once each, so the merge costs what the guest list
    // does, however many parties fold.
    QHash<qint64, qint64> survivorOf;
    oldestParties(&survivorOf);
    checkIn();
    if (survivorOf.isEmpty())
        return;
    QList<qint64> folded = survivorOf.keys();
    std::sort(folded.begin(), folded.end());
    // One statement moves every person of a folded party, given the pairs
    // [person, party] as a JSON array, and one deletes the folded parties.
    QList<qint64> moved;
    QStringList pairs;
    gConn.forEachRow("SELECT SUBGUEST_ID, GUEST_ID FROM SUBGUEST", {}, [&](const ado::Row& row) {
        if (const auto it = survivorOf.constFind(row.integer(1)); it != survivorOf.cend()) {
            moved << row.integer(0);
            pairs << QString("[%1,%2]").arg(moved.last()).arg(it.value());
        }
    });
    modSynchro::LogChanges("SUBGUEST", moved, modSynchro::Changed);
    modSynchro::LogChanges("GUEST", folded, modSynchro::Deleted);
    checkIn();
    gConn.Execute("UPDATE SUBGUEST SET GUEST_ID = json_extract(m.value, '$[1]') FROM json_each(?) AS m "
                  "WHERE SUBGUEST.SUBGUEST_ID = json_extract(m.value, '$[0]')",
                  {'[' + pairs.join(',') + ']'});
    checkIn();
    gConn.Execute("DELETE FROM GUEST WHERE GUEST_ID IN (SELECT value FROM json_each(?))", {ado::jsonKeys(folded)});
}

}  // namespace guestimport

namespace guestexport {

using modQVDatabase::gConn;

namespace {

// Blanks only, as the titles and values are trimmed; other white space is
// part of the value.
QString trimBlanks(const QString& s)
{
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && s[from] == u' ')
        ++from;
    while (to > from && s[to - 1] == u' ')
        --to;
    return s.mid(from, to - from);
}

}  // namespace

Result writeQuery(const QString& sql, const QString& path)
{
    Result out;
    ado::Recordset rs;
    try {
        rs.Open(sql, gConn, ado::adOpenStatic, ado::adLockReadOnly);
    } catch (const ado::Error& e) {
        out.error = e.description();
        return out;
    }
    csv::Writer w(path);
    if (!w.open()) {
        out.error = w.errorString();
        return out;
    }
    QStringList line;
    for (int c = 0; c < rs.fieldCount(); ++c)
        line << trimBlanks(rs.fieldName(c));
    w.writeLine(line);
    for (int r = 0; r < rs.RecordCount(); ++r) {
        line.clear();
        for (int c = 0; c < rs.fieldCount(); ++c) {
            const QVariant v = rs.cell(r, c);
            line << trimBlanks(ado::convert::valueText(v));
        }
        w.writeLine(line);
    }
    if (!w.commit()) {
        out.error = w.errorString();
        return out;
    }
    out.ok = true;
    out.rows = rs.RecordCount();
    return out;
}

}  // namespace guestexport
