#pragma once
// The four ordered lists of an event (menu, decorations, music, running
// order) are one design; this table holds everything that differs between
// them, and the database steps they share.

#include <QString>
#include <QVector>

#include <array>

namespace events {

enum ListId { Menu = 0, Decorations = 1, Music = 2, Playscript = 3 };
constexpr int kListCount = 4;

struct EventList {
    ListId id;
    const char* stem;          // names its controls: cmd<stem>Up, cmd<stem>Down ...
    const char* page;          // the page frame
    const char* tab;           // the tab's caption
    const char* tabKey;
    const char* label;         // the text on the page
    const char* grid;
    const char* table;
    const char* keyColumn;
    const char* orderColumn;
    const char* select;        // the event's key bound; followed by orderBy
    const char* orderBy;
    QVector<int> widths;       // twips, of columns 3 onward
    const char* topMessage;    // Up on the first line
    const char* lastMessage;   // Down on the last line
    const char* deleteTitle;
    const char* deletePrefix;  // followed by the row's column 3 and "."
    const char* noSelection;   // Delete without a data line
    const char* printHeader;   // followed by the event's name
    bool orderWidthZero;       // column 2 given width 0 rather than hidden
    int customColumn;          // edited by the time picker, 0 for none
};

const std::array<EventList, kListCount>& eventLists();
const EventList& eventList(ListId id);

// Up or Down on the new-row line, the same for every list.
extern const char* const kEnterInTopRow;

// The list's rows of one event, whose key is bound.
QString listQuery(const EventList& list);

// Steps of a save (editing::saveAll), so a refusal is told and undoes them.
// Moves a row of an event's list past its neighbour, both addressed by
// their keys: the two exchange their order values, or, where rows share a
// value, the list is numbered again in its new order, so a move always
// moves. The rows written are logged as changed; false, writing nothing,
// when either row is gone.
bool moveRow(const EventList& list, qint64 eventId, qint64 key, qint64 neighbour);

// Deletes one row by its key and logs it as deleted; false when nothing was
// deleted.
bool deleteRow(const EventList& list, qint64 key);

}  // namespace events
