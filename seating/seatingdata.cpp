#include "seating/seatingdata.h"

#include "platform/ado/ado.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"
#include "seating/seatrules.h"

namespace seating {

using modQVDatabase::gConn;

namespace {

QString text(const QVariant& v) { return ado::convert::valueText(v); }

int position(const QVariant& v) { return v.isNull() ? -1 : int(v.toLongLong()); }

// The seated persons of one table of an event (bound: the event, the
// table), by position; also read by the seat diagram and Re-arrange.
const QString kTableSeating = QStringLiteral(
    "SELECT SUBGUEST.SUBGUEST_ID, SUBGUEST.SUBGUEST_FNAME, SUBGUEST.SUBGUEST_LNAME, TABLES.TABLE_ID, "
    "TABLES.TABLE_SEATS, TABLES.TABLE_TYPE, TABLES.TABLE_NAME, SEATING.SEATING_POS, EVENT.EVENT_ID "
    "FROM (GUEST INNER JOIN SUBGUEST ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID) INNER JOIN ((EVENT INNER JOIN "
    "TABLES ON EVENT.EVENT_ID = TABLES.EVENT_ID) INNER JOIN SEATING ON TABLES.TABLE_ID = SEATING.TABLE_ID) "
    "ON SUBGUEST.SUBGUEST_ID = SEATING.SUBGUEST_ID "
    "WHERE ((EVENT.EVENT_ID = ?) AND (TABLES.TABLE_ID = ?)) ORDER BY SEATING.SEATING_POS");

// Every SEATING row of a person at a table, logged with the action.
void logSeats(qint64 tableId, qint64 subguestId, short action)
{
    ado::Recordset rs;
    rs.Open("SELECT * FROM SEATING WHERE TABLE_ID = ? AND SUBGUEST_ID = ?", gConn, ado::adOpenForwardOnly,
            ado::adLockReadOnly, {tableId, subguestId});
    for (; !rs.EOF_(); rs.MoveNext())
        modSynchro::LogChange("SEATING", rs.value("SEATING_ID").toLongLong(), action);
}

// The positions held at a table, but those of one person.
QVector<int> positionsAt(qint64 tableId, qint64 except)
{
    ado::Recordset rs;
    rs.Open("SELECT SEATING_POS FROM SEATING WHERE TABLE_ID = ? AND SUBGUEST_ID <> ? AND SEATING_POS >= 0", gConn,
            ado::adOpenForwardOnly, ado::adLockReadOnly, {tableId, except});
    QVector<int> out;
    for (int r = 0; r < rs.RecordCount(); ++r)
        out << int(rs.cell(r, 0).toLongLong());
    return out;
}

}  // namespace

QString personName(const QVariant& first, const QVariant& last) { return text(first) + ' ' + text(last); }

QString tableName(const QVariant& name) { return name.isNull() ? QStringLiteral("Unnamed") : name.toString(); }

std::optional<Invitee> invitedPerson(qint64 eventId, qint64 subguestId)
{
    ado::Recordset rs;
    rs.Open("SELECT GUEST.GUEST_PARTYNAME, GUEST.GUEST_ID, SUBGUEST.SUBGUEST_ID, SUBGUEST.SUBGUEST_FNAME, "
            "SUBGUEST.SUBGUEST_LNAME FROM GUEST INNER JOIN SUBGUEST ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID "
            "INNER JOIN INVITE ON SUBGUEST.SUBGUEST_ID = INVITE.SUBGUEST_ID "
            "WHERE INVITE.EVENT_ID = ? AND SUBGUEST.SUBGUEST_ID = ?",
            gConn, ado::adOpenForwardOnly, ado::adLockReadOnly, {eventId, subguestId});
    if (rs.RecordCount() == 0)
        return std::nullopt;
    return Invitee{rs.cell(0, 1).toLongLong(), rs.cell(0, 0), rs.cell(0, 2).toLongLong(), text(rs.cell(0, 3)),
                   text(rs.cell(0, 4))};
}

namespace {

// A person (SUBGUEST s) without a seat at any table of the event ?1, and
// one who is also invited to it.
const QString kNotSeated = QStringLiteral("NOT EXISTS (SELECT 1 FROM SEATING x INNER JOIN TABLES t ON "
                                          "t.TABLE_ID = x.TABLE_ID WHERE x.SUBGUEST_ID = s.SUBGUEST_ID AND "
                                          "t.EVENT_ID = ?1)");
const QString kWaiting = "EXISTS (SELECT 1 FROM INVITE i WHERE i.SUBGUEST_ID = s.SUBGUEST_ID AND i.EVENT_ID = ?1) AND "
                         + kNotSeated;

QVector<Invitee> waiting(const QString& partyCondition, const ado::Params& params)
{
    QVector<Invitee> out;
    gConn.forEachRow("SELECT g.GUEST_PARTYNAME, g.GUEST_ID, s.SUBGUEST_ID, s.SUBGUEST_FNAME, s.SUBGUEST_LNAME "
                     "FROM GUEST g INNER JOIN SUBGUEST s ON s.GUEST_ID = g.GUEST_ID WHERE "
                         + partyCondition + " AND " + kWaiting + " ORDER BY g.GUEST_ID, s.SUBGUEST_ID",
                     params, [&](const ado::Row& r) {
                         out.push_back({r.integer(1), r.isNull(0) ? QVariant() : QVariant(r.text(0)), r.integer(2),
                                        r.text(3), r.text(4)});
                     });
    return out;
}

// The rows of SEATING at tables of the event ?1 of people who belong to a
// party, as the tables tree shows them.
const QString kSeatedRows =
    QStringLiteral("FROM SEATING INNER JOIN TABLES ON TABLES.TABLE_ID = SEATING.TABLE_ID INNER JOIN SUBGUEST ON "
                   "SUBGUEST.SUBGUEST_ID = SEATING.SUBGUEST_ID INNER JOIN GUEST ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID "
                   "WHERE TABLES.EVENT_ID = ?1");

}  // namespace

void forEachWaitingParty(qint64 eventId, const std::function<void(qint64, const QVariant&)>& party)
{
    // From the event's invitations; the parties sorted once gathered.
    gConn.forEachRow("SELECT DISTINCT g.GUEST_ID, g.GUEST_PARTYNAME FROM INVITE i INNER JOIN SUBGUEST s ON "
                     "s.SUBGUEST_ID = i.SUBGUEST_ID INNER JOIN GUEST g ON g.GUEST_ID = s.GUEST_ID WHERE i.EVENT_ID = ?1 "
                     "AND " + kNotSeated + " ORDER BY g.GUEST_PARTYNAME, g.GUEST_PARTYNAME COLLATE BINARY, g.GUEST_ID",
                     {eventId}, [&](const ado::Row& r) {
                         party(r.integer(0), r.isNull(1) ? QVariant() : QVariant(r.text(1)));
                     });
}

QVector<Invitee> waitingOfParty(qint64 eventId, qint64 guestId) { return waiting("g.GUEST_ID = ?2", {eventId, guestId}); }

QSet<qint64> tablesWithPeople(qint64 eventId)
{
    QSet<qint64> out;
    gConn.forEachRow("SELECT DISTINCT SEATING.TABLE_ID " + kSeatedRows, {eventId},
                     [&](const ado::Row& r) { out.insert(r.integer(0)); });
    return out;
}

QVector<SeatedPerson> seatedAt(qint64 eventId, qint64 tableId)
{
    QVector<SeatedPerson> out;
    gConn.forEachRow("SELECT SEATING.SEATING_ID, SUBGUEST.SUBGUEST_ID, SUBGUEST.SUBGUEST_FNAME, SUBGUEST.SUBGUEST_LNAME, "
                     "SEATING.SEATING_POS "
                         + kSeatedRows + " AND SEATING.TABLE_ID = ?2 ORDER BY SEATING.SEATING_ID",
                     {eventId, tableId}, [&](const ado::Row& r) {
                         out.push_back({r.integer(0), r.integer(1), r.text(2), r.text(3), tableId,
                                        r.isNull(4) ? -1 : int(r.integer(4))});
                     });
    return out;
}

QVector<qint64> tablesOfPerson(qint64 eventId, qint64 subguestId)
{
    QVector<qint64> out;
    gConn.forEachRow("SELECT DISTINCT SEATING.TABLE_ID " + kSeatedRows + " AND SEATING.SUBGUEST_ID = ?2",
                     {eventId, subguestId}, [&](const ado::Row& r) { out << r.integer(0); });
    return out;
}

QVector<SeatedPerson> tableSeating(qint64 eventId, qint64 tableId)
{
    ado::Recordset rs;
    rs.Open(kTableSeating, gConn, ado::adOpenKeyset, ado::adLockOptimistic, {eventId, tableId});
    const int posColumn = rs.fieldIndex("SEATING_POS");
    QVector<SeatedPerson> out;
    for (int r = 0; r < rs.RecordCount(); ++r)
        out.push_back({rs.rowKey(r, posColumn).toLongLong(), rs.cell(r, 0).toLongLong(), text(rs.cell(r, 1)),
                       text(rs.cell(r, 2)), rs.cell(r, 3).toLongLong(), position(rs.cell(r, posColumn))});
    return out;
}

namespace {
const char* const kTableColumns = "SELECT TABLE_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE, EVENT_ID FROM TABLES WHERE ";
TableInfo tableRow(const ado::Row& r)
{
    return {r.integer(0), r.value(1), int(r.integer(2)), r.value(3), r.integer(4)};
}
}  // namespace

QVector<TableInfo> eventTables(qint64 eventId)
{
    QVector<TableInfo> out;
    gConn.forEachRow(kTableColumns + QString("EVENT_ID = ?"), {eventId},
                     [&](const ado::Row& r) { out.push_back(tableRow(r)); });
    return out;
}

std::optional<TableInfo> tableOf(qint64 tableId)
{
    std::optional<TableInfo> out;
    gConn.forEachRow(kTableColumns + QString("TABLE_ID = ?"), {tableId}, [&](const ado::Row& r) {
        if (!out)
            out = tableRow(r);
    });
    return out;
}

// ---------------------------------------------------------------- writes

qint64 addTable(qint64 eventId)
{
    editing::requireRecord("EVENT", eventId);
    ado::Recordset rs;
    rs.Open("SELECT * FROM TABLES WHERE EVENT_ID = ?", gConn, ado::adOpenKeyset, ado::adLockOptimistic, {eventId});
    const int n = rs.RecordCount() + 1;
    rs.AddNew();
    rs.setValue("EVENT_ID", eventId);
    rs.setValue("TABLE_NAME", "Table " + QString::number(n));
    rs.setValue("TABLE_SEATS", 4);
    rs.setValue("TABLE_TYPE", 5);
    const qint64 id = rs.value("TABLE_ID").toLongLong();
    modSynchro::LogChange("TABLES", id, modSynchro::Added);
    rs.Update();
    return id;
}

namespace {
// Writes one column of a table's row through a recordset; refused when the row is gone.
void storeTableColumn(qint64 tableId, const char* column, const QVariant& value)
{
    ado::Recordset rs;
    rs.Open("SELECT * FROM TABLES WHERE TABLE_ID = ?", gConn, ado::adOpenKeyset, ado::adLockOptimistic, {tableId});
    if (rs.RecordCount() != 1)
        throw editing::Refused(editing::goneMessage("TABLES"));
    if (!rs.setValue(QString::fromLatin1(column), value))
        throw ado::Error(0, "The value cannot be stored.");
    modSynchro::LogChange("TABLES", tableId, modSynchro::Changed);
    rs.Update();
}

// The table a person is about to sit at, read inside the write: it, the
// person and his invitation to its event may have gone meanwhile (another
// window or copy), and a seat under any of them would name nothing.
TableInfo seatableTable(qint64 tableId, qint64 subguestId)
{
    const std::optional<TableInfo> t = tableOf(tableId);
    if (!t)
        throw editing::Refused(editing::goneMessage("TABLES"));
    if (!invitedPerson(t->eventId, subguestId))
        throw editing::Refused(editing::recordExists("SUBGUEST", subguestId) ? kNoLongerInvited
                                                                              : editing::goneMessage("SUBGUEST"));
    return *t;
}

void requireSeat(qint64 tableId, qint64 subguestId)
{
    if (gConn.scalar("SELECT count(*) FROM SEATING WHERE TABLE_ID = ? AND SUBGUEST_ID = ?", {tableId, subguestId})
            .toLongLong()
        == 0)
        throw editing::Refused(editing::goneMessage("SEATING"));
}
}  // namespace

const QString kNoLongerInvited = QStringLiteral("This person is no longer invited to this event.");
const QString kSeatedMeanwhile = QStringLiteral("This person already has a seat at this event.");

void setTableSeats(qint64 tableId, int seats) { storeTableColumn(tableId, "TABLE_SEATS", seats); }

void renameTable(qint64 tableId, const QString& name) { storeTableColumn(tableId, "TABLE_NAME", name); }

qint64 seatPerson(qint64 tableId, qint64 subguestId)
{
    const TableInfo table = seatableTable(tableId, subguestId);
    if (gConn.scalar("SELECT count(*) FROM SEATING WHERE SUBGUEST_ID = ? AND TABLE_ID IN "
                     "(SELECT TABLE_ID FROM TABLES WHERE EVENT_ID = ?)",
                     {subguestId, table.eventId})
            .toLongLong()
        > 0)
        throw editing::Refused(kSeatedMeanwhile);
    const int pos = lowestFreePosition(positionsAt(tableId, subguestId), table.seats);
    gConn.Execute("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID, SEATING_POS) VALUES (?, ?, ?)",
                  {tableId, subguestId, pos});
    const qint64 id = gConn.lastInsertId();
    modSynchro::LogChange("SEATING", id, modSynchro::Added);
    return id;
}

int moveToTable(qint64 fromTable, qint64 toTable, qint64 subguestId)
{
    const TableInfo table = seatableTable(toTable, subguestId);
    requireSeat(fromTable, subguestId);
    const int pos = lowestFreePosition(positionsAt(toTable, subguestId), table.seats);
    const int n = gConn.Execute(
        "UPDATE SEATING SET TABLE_ID = ?, SEATING_POS = ? WHERE TABLE_ID = ? AND SUBGUEST_ID = ?",
        {toTable, pos, fromTable, subguestId});
    if (n > 0)
        logSeats(toTable, subguestId, modSynchro::Changed);
    return n;
}

int moveToSeat(qint64 tableId, qint64 subguestId, int pos)
{
    seatableTable(tableId, subguestId);
    requireSeat(tableId, subguestId);
    const int n = gConn.Execute("UPDATE SEATING SET SEATING_POS = ? WHERE ((SUBGUEST_ID = ?) AND (TABLE_ID = ?))",
                                {pos, subguestId, tableId});
    if (n > 0)
        logSeats(tableId, subguestId, modSynchro::Changed);
    return n;
}

int unseatPerson(qint64 tableId, qint64 subguestId)
{
    logSeats(tableId, subguestId, modSynchro::Deleted);
    return gConn.Execute("DELETE FROM SEATING WHERE TABLE_ID = ? AND SUBGUEST_ID = ?", {tableId, subguestId});
}

void storePositions(qint64 tableId, const QVector<SeatedPerson>& rows, const QVector<int>& positions)
{
    for (int i = 0; i < rows.size() && i < positions.size(); ++i) {
        if (rows[i].pos == positions[i] || rows[i].seatingId == 0)
            continue;
        // A row gone meanwhile is neither written nor logged.
        if (gConn.Execute("UPDATE SEATING SET SEATING_POS = ? WHERE SEATING_ID = ? AND TABLE_ID = ?",
                          {positions[i], rows[i].seatingId, tableId})
            > 0)
            modSynchro::LogChange("SEATING", rows[i].seatingId, modSynchro::Changed);
    }
}

}  // namespace seating
