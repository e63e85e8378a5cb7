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

QString cleanText(const QString& value)
{
    // Tabs and line breaks are kept: the export writes them as they are.
    auto blank = [](QChar c) { return c == u' ' || c == u'\u00A0' || c == u'\u2007' || c == u'\u202F'; };
    qsizetype from = 0, to = value.size();
    while (from < to && blank(value[from]))
        ++from;
    while (to > from && blank(value[to - 1]))
        --to;
    return value.mid(from, to - from).normalized(QString::NormalizationForm_C);
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

int addParties(const csv::Table& source, bool hasHeader, const LinkMap& links, const Progress& progress)
{
    // The party name is always written: when unlinked or empty it is made
    // from the person's names.
    QStringList columns{"GUEST_PARTYNAME"};
    QList<int> linked;
    for (int i = 2; i <= kFieldCount; ++i) {
        if (links[i] > 0) {
            columns << fields()[i - 1].column;
            linked << i;
        }
    }
    const QString guestSql = "INSERT INTO GUEST (" + columns.join(", ") + ") VALUES (?"
                             + QString(", ?").repeated(columns.size() - 1) + ")";
    const QString personSql =
        "INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE, SUBGUEST_PHONE, "
        "SUBGUEST_EMAIL) VALUES (?, ?, ?, ?, ?, ?)";

    // Logged together at the end: one moment for the whole import.
    QList<qint64> parties, people;
    auto valueOf = [&](const csv::Record& r, int field) {
        const int k = links[field];
        return k >= 1 && k <= r.size() ? cleanText(r[k - 1]) : QString();
    };
    auto add = [&](const csv::Record& r) {
        QString person[PersonValues];
        ado::Params values{QString()};
        for (int i : linked) {
            const QString v = valueOf(r, i);
            values << v;
            if (const int p = personValueOf(i); p >= 0)
                person[p] = v;
        }
        QString party = links[1] > 0 ? valueOf(r, 1) : QString();
        if (party.isEmpty())
            party = person[FirstName] + ' ' + person[LastName];
        values[0] = party;
        gConn.Execute(guestSql, values);
        parties << lastKey();
        gConn.Execute(personSql,
                      {parties.last(), person[FirstName], person[LastName], person[Title], person[Phone], person[EMail]});
        people << lastKey();
        if (progress && !progress(int(parties.size())))
            throw Cancelled();
    };

    for (int i = 0; i < source.recordCount(); ++i)
        add(source.record(i));
    // Without a header the first line is a record too, added after the others.
    if (!hasHeader && source.recordCount() > 0)
        add(source.names());
    modSynchro::LogChanges("GUEST", parties, modSynchro::Added);
    modSynchro::LogChanges("SUBGUEST", people, modSynchro::Added);
    return int(parties.size());
}

void mergeDuplicateParties(const std::function<bool()>& keepGoing)
{
    auto checkIn = [&] {
        if (keepGoing && !keepGoing())
            throw Cancelled();
    };
    // In key order each exact name meets its oldest party first; case and
    // blanks count. Names and people are read once each, so the merge costs
    // what the guest list does, however many parties fold.
    QHash<QString, qint64> oldest;
    QHash<qint64, qint64> survivorOf;
    QList<qint64> folded;
    gConn.forEachRow("SELECT GUEST_ID, GUEST_PARTYNAME FROM GUEST WHERE GUEST_PARTYNAME <> '' ORDER BY GUEST_ID", {},
                     [&](const ado::Row& row) {
                         const qint64 key = row.integer(0);
                         const QString name = row.text(1);
                         if (const auto it = oldest.constFind(name); it != oldest.cend()) {
                             survivorOf.insert(key, it.value());
                             folded << key;
                         } else {
                             oldest.insert(name, key);
                         }
                     });
    checkIn();
    if (folded.isEmpty())
        return;
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
    QStringList parties;
    for (const qint64 k : folded)
        parties << QString::number(k);
    gConn.Execute("DELETE FROM GUEST WHERE GUEST_ID IN (SELECT value FROM json_each(?))", {'[' + parties.join(',') + ']'});
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
