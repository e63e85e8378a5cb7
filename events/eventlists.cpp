#include "events/eventlists.h"

#include "records/modQVDatabase.h"
#include "records/modSynchro.h"

namespace events {

using modQVDatabase::gConn;

const char* const kEnterInTopRow = "Enter in data with in the top row. Press enter to save.";

const std::array<EventList, kListCount>& eventLists()
{
    static const std::array<EventList, kListCount> lists = {{
        {Menu, "Menu", "fraMenu", "Menu", "eventMenu", "Added Menus for this Event.", "gridMenu", "EVENT_FOOD",
         "EVENT_FOOD_ID", "EVENT_FOOD_ORDER",
         "SELECT Event_ID, Event_Food_Order, Event_Food_Text as [Menu], Event_Food_Cost as [Cost], Event_Food_Notes "
         "as [Notes] FROM EVENT_FOOD WHERE EVENT_ID = ",
         " ORDER BY EVENT_FOOD_ORDER", {2700, 1000, 4000},
         "The selected menu item is already in the top position.",
         "The selected menu item is already in the last position.", "Delete menu item.",
         "Press OK to delete the menu item ", "Please select a menu item by clicking on the item.", "Menu for ",
         "Menu", false, 0},
        {Decorations, "Decoration", "fraDecorations", "Decorations", "eventDecorations",
         "Added Decorations for this Event.", "gridDecorations", "EVENT_DECORATION", "EVENT_DECORATION_ID",
         "EVENT_DECORATION_ORDER",
         "SELECT Event_ID, Event_Decoration_Order, Event_Decoration_Item as [Item], Event_Decoration_Location as "
         "[Placement], Event_Decoration_Cost as [Cost], Event_Decoration_Quantity as [Quantity] FROM "
         "EVENT_DECORATION WHERE EVENT_ID = ",
         " ORDER BY EVENT_DECORATION_ORDER", {2700, 2700, 1000, 1300},
         "The selected decoration is already in the top position.",
         "The selected decoration item is already in the last position.", "Delete decoration item.",
         "Press OK to delete the decoration item ", "Please select a decoration item by clicking on the item.",
         "Decorations for ", "Decorations", false, 0},
        {Music, "Music", "fraMusic", "Music", "eventMusic", "Added Music for this Event.", "gridMusic",
         "EVENT_MUSIC", "EVENT_MUSIC_ID", "EVENT_MUSIC_ORDER",
         "SELECT Event_ID, Event_Music_Order, Event_Music_Title as [Title], Event_Music_Performer as [Performer], "
         "Event_Music_Album as [Album], Event_Music_Duration as [Duration] FROM EVENT_MUSIC WHERE EVENT_ID = ",
         " ORDER BY EVENT_MUSIC_ORDER", {2700, 2000, 2000, 1000},
         "The selected song is already in the top position.", "The selected song is already in the last position.",
         "Delete song item.", "Press OK to delete the song ", "Please select a song by clicking on the item.",
         "Music for ", "Music", false, 0},
        {Playscript, "Playscript", "fraPlayscript", "Playscript", "eventPlayscript", "Added Events for this Event.",
         "gridPlayscript", "EVENT_PLAYSCRIPT", "EVENT_PLAYSCRIPT_ID", "EVENT_PLAYSCRIPT_ORDER",
         "SELECT Event_ID, Event_Playscript_Order, Event_Playscript_Text as [Event], Event_Playscript_Performer as "
         "[Performer], Event_Playscript_StartTime AS [Start Time], Event_Playscript_Duration as [Duration] FROM "
         "EVENT_PLAYSCRIPT WHERE EVENT_ID = ",
         " ORDER BY EVENT_PLAYSCRIPT_ORDER", {3700, 1700, 1300, 1000},
         "The selected topic is already in the top position.", "The selected topic is already in the last position.",
         "Delete playscript item.", "Press OK to delete the playscript item ",
         "Please select a playscript item by clicking on the item.", "Playscript for ", "Playscript", true, 5},
    }};
    return lists;
}

const EventList& eventList(ListId id) { return eventLists()[id]; }

QString listQuery(const EventList& list, qint64 eventId)
{
    // The key is the program's own number, never typed text.
    return QString::fromLatin1(list.select) + QString::number(eventId) + QString::fromLatin1(list.orderBy);
}

bool swapOrders(const EventList& list, qint64 firstKey, qint64 secondKey)
{
    const QString table = QString::fromLatin1(list.table);
    const QString key = QString::fromLatin1(list.keyColumn);
    const QString order = QString::fromLatin1(list.orderColumn);
    if (gConn.scalar(QString("SELECT count(*) FROM %1 WHERE %2 IN (?, ?)").arg(table, key), {firstKey, secondKey})
            .toLongLong()
        != 2)
        return false;
    const QString read = QString("SELECT %1 FROM %2 WHERE %3 = ?").arg(order, table, key);
    const QVariant a = gConn.scalar(read, {firstKey});
    const QVariant b = gConn.scalar(read, {secondKey});
    const QString write = QString("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(table, order, key);
    gConn.Execute(write, {b, firstKey});
    gConn.Execute(write, {a, secondKey});
    modSynchro::LogChange(table, firstKey, modSynchro::Changed);
    modSynchro::LogChange(table, secondKey, modSynchro::Changed);
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
