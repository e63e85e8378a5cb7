#include "guests/guestcsv.h"

#include "app/modQVDatabase.h"
#include "records/modSynchro.h"

#include <QVariant>

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

int addParties(const csv::Table& source, bool hasHeader, const LinkMap& links)
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

    auto valueOf = [&](const csv::Record& r, int field) {
        const int k = links[field];
        return k >= 1 && k <= r.size() ? r[k - 1] : QString();
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
        const qint64 guest = lastKey();
        modSynchro::LogChange("GUEST", guest, modSynchro::Added);
        gConn.Execute(personSql, {guest, person[FirstName], person[LastName], person[Title], person[Phone], person[EMail]});
        modSynchro::LogChange("SUBGUEST", lastKey(), modSynchro::Added);
    };

    int count = 0;
    for (const csv::Record& r : source.records()) {
        add(r);
        ++count;
    }
    // Without a header the first line is a record too, added after the others.
    if (!hasHeader && source.recordCount() > 0) {
        add(source.names());
        ++count;
    }
    return count;
}

void mergeDuplicateParties()
{
    // Exact names side by side whatever their case neighbours, and the
    // oldest party of each name first.
    ado::Recordset rs;
    rs.Open("SELECT GUEST_ID, GUEST_PARTYNAME FROM GUEST ORDER BY GUEST_PARTYNAME COLLATE BINARY, GUEST_ID", gConn,
            ado::adOpenStatic, ado::adLockReadOnly);
    bool havePrevious = false;
    QString previousName;
    qint64 previousKey = 0;
    for (int row = 0; row < rs.RecordCount(); ++row) {
        const QVariant name = rs.cell(row, 1);
        if (name.isNull() || name.toString().isEmpty())
            continue;
        const qint64 key = rs.cell(row, 0).toLongLong();
        if (havePrevious && name.toString() == previousName) {
            ado::Recordset people;
            people.Open("SELECT SUBGUEST_ID FROM SUBGUEST WHERE GUEST_ID = ?", gConn, ado::adOpenStatic,
                        ado::adLockReadOnly, {key});
            for (int p = 0; p < people.RecordCount(); ++p)
                modSynchro::LogChange("SUBGUEST", people.cell(p, 0).toLongLong(), modSynchro::Changed);
            gConn.Execute("UPDATE SUBGUEST SET GUEST_ID = ? WHERE GUEST_ID = ?", {previousKey, key});
            modSynchro::LogChange("GUEST", key, modSynchro::Deleted);
            gConn.Execute("DELETE FROM GUEST WHERE GUEST_ID = ?", {key});
            continue;
        }
        havePrevious = true;
        previousName = name.toString();
        previousKey = key;
    }
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
