#include "events/eventlists.h"

#include "records/modQVDatabase.h"
#include "records/modSynchro.h"

#include <algorithm>

namespace events {

using modQVDatabase::gConn;

const char* const kEnterInTopRow = "Enter in data with in the top row. Press enter to save.";

const std::array<EventList, kListCount>& eventLists()
{
    static const std::array<EventList, kListCount> lists = {{
        {Menu, "Menu", "fraMenu", "Menu", "eventMenu", "Added Menus for this Event.", "gridMenu", "EVENT_FOOD",
         "EVENT_FOOD_ID", "EVENT_FOOD_ORDER",
         "SELECT Event_ID, Event_Food_Order, Event_Food_Text as [Menu], Event_Food_Cost as [Cost], Event_Food_Notes "
         "as [Notes] FROM EVENT_FOOD WHERE EVENT_ID = ?",
         " ORDER BY EVENT_FOOD_ORDER", {2700, 1000, 4000},
         "The selected menu item is already in the top position.",
         "The selected menu item is already in the last position.", "Delete menu item.",
         "Press OK to delete the menu item ", "Please select a menu item by clicking on the item.", "Menu for ",
         false, 0},
        {Decorations, "Decoration", "fraDecorations", "Decorations", "eventDecorations",
         "Added Decorations for this Event.", "gridDecorations", "EVENT_DECORATION", "EVENT_DECORATION_ID",
         "EVENT_DECORATION_ORDER",
         "SELECT Event_ID, Event_Decoration_Order, Event_Decoration_Item as [Item], Event_Decoration_Location as "
         "[Placement], Event_Decoration_Cost as [Cost], Event_Decoration_Quantity as [Quantity] FROM "
         "EVENT_DECORATION WHERE EVENT_ID = ?",
         " ORDER BY EVENT_DECORATION_ORDER", {2700, 2700, 1000, 1300},
         "The selected decoration is already in the top position.",
         "The selected decoration item is already in the last position.", "Delete decoration item.",
         "Press OK to delete the decoration item ", "Please select a decoration item by clicking on the item.",
         "Decorations for ", false, 0},
        {Music, "Music", "fraMusic", "Music", "eventMusic", "Added Music for this Event.", "gridMusic",
         "EVENT_MUSIC", "EVENT_MUSIC_ID", "EVENT_MUSIC_ORDER",
         "SELECT Event_ID, Event_Music_Order, Event_Music_Title as [Title], Event_Music_Performer as [Performer], "
         "Event_Music_Album as [Album], Event_Music_Duration as [Duration] FROM EVENT_MUSIC WHERE EVENT_ID = ?",
         " ORDER BY EVENT_MUSIC_ORDER", {2700, 2000, 2000, 1000},
         "The selected song is already in the top position.", "The selected song is already in the last position.",
         "Delete song item.", "Press OK to delete the song ", "Please select a song by clicking on the item.",
         "Music for ", false, 0},
        {Playscript, "Playscript", "fraPlayscript", "Playscript", "eventPlayscript", "Added Events for this Event.",
         "gridPlayscript", "EVENT_PLAYSCRIPT", "EVENT_PLAYSCRIPT_ID", "EVENT_PLAYSCRIPT_ORDER",
         "SELECT Event_ID, Event_Playscript_Order, Event_Playscript_Text as [Event], Event_Playscript_Performer as "
         "[Performer], Event_Playscript_StartTime AS [Start Time], Event_Playscript_Duration as [Duration] FROM "
         "EVENT_PLAYSCRIPT WHERE EVENT_ID = ?",
         " ORDER BY EVENT_PLAYSCRIPT_ORDER", {3700, 1700, 1300, 1000},
         "The selected topic is already in the top position.", "The selected topic is already in the last position.",
         "Delete playscript item.", "Press OK to delete the playscript item ",
         "Please select a playscript item by clicking on the item.", "Playscript for ", true, 5},
    }};
    return lists;
}

const EventList& eventList(ListId id) { return eventLists()[id]; }

QString listQuery(const EventList& list)
{
    // Rows of one order value (two copies each adding a row make them) in a
    // fixed order, the one moveRow counts in.
    return QString::fromLatin1(list.select) + QString::fromLatin1(list.orderBy) + ", " +
           QString::fromLatin1(list.keyColumn);
}

bool moveRow(const EventList& list, qint64 eventId, qint64 key, qint64 neighbour)
{
    const QString table = QString::fromLatin1(list.table);
    const QString keyColumn = QString::fromLatin1(list.keyColumn);
    const QString order = QString::fromLatin1(list.orderColumn);
    QList<qint64> keys;
    QList<QVariant> values;
    gConn.forEachRow(QString("SELECT %1, %2 FROM %3 WHERE EVENT_ID = ? ORDER BY %2, %1").arg(keyColumn, order, table),
                     {eventId}, [&](const ado::Row& r) {
                         keys << r.integer(0);
                         values << r.value(1);
                     });
    const qsizetype a = keys.indexOf(key), b = keys.indexOf(neighbour);
    if (a < 0 || b < 0)
        return false;
    const qsizetype lo = std::min(a, b), hi = std::max(a, b);
    const auto below = [&](qsizetype i, qsizetype j) {
        return !values[i].isNull() && !values[j].isNull() && values[i].toLongLong() < values[j].toLongLong();
    };
    const QString write = QString("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(table, order, keyColumn);
    QList<qint64> changed;
    if ((lo == 0 || below(lo - 1, lo)) && below(lo, hi) && (hi + 1 == keys.size() || below(hi, hi + 1))) {
        // The two exchange their values; the other rows keep theirs.
        gConn.Execute(write, {values[hi], keys[lo]});
        gConn.Execute(write, {values[lo], keys[hi]});
        changed << keys[lo] << keys[hi];
    } else {
        // Among rows of one value an exchange would change nothing: the list
        // is numbered 1, 2, 3 ... in its new order.
        keys.swapItemsAt(lo, hi);
        values.swapItemsAt(lo, hi);
        for (qsizetype i = 0; i < keys.size(); ++i)
            if (values[i].isNull() || values[i].toLongLong() != i + 1) {
                gConn.Execute(write, {qint64(i + 1), keys[i]});
                changed << keys[i];
            }
    }
    modSynchro::LogChanges(table, changed, modSynchro::Changed);
    return true;
}

bool deleteRow(const EventList& list, qint64 key)
{
    const QString table = QString::fromLatin1(list.table);
    if (gConn.Execute(QString("DELETE FROM %1 WHERE %2 = ?").arg(table, QString::fromLatin1(list.keyColumn)), {key})
        != 1)
        return false;
    modSynchro::LogChange(table, key, modSynchro::Deleted);
    return true;
}

}  // namespace events
