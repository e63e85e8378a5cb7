#include "records/lookuplists.h"

#include "records/modQVDatabase.h"
#include "records/modSynchro.h"

namespace records {

QString LookupList::query() const
{
    return QString("SELECT * FROM %1 ORDER BY %2").arg(QLatin1String(table), QLatin1String(textColumn));
}

const QVector<LookupList>& lookupLists()
{
    static const QVector<LookupList> lists = {
        {"Titles", "Modify Titles", "TITLES", "TITLE_TEXT", "TITLE_ID"},
        {"GuestTypes", "Guest Types", "GUESTTYPE", "GUESTTYPE_TEXT", "GUESTTYPE_ID"},
        {"Assignee", "Modify Assignees", "ASSIGNEE", "ASSIGNEE_TEXT", "ASSIGNEE_ID"},
        {"RSVP", "Modify RSVP", "RSVP_STATUS", "RSVP_TEXT", "RSVP_ID"},
        {"VendorTypes", "Modify Vendors", "VENDORTYPE", "VENDORTYPE_NAME", "VENDORTYPE_ID"},
        {"Stores", "Modify Stores", "GIFTSTORE", "GIFTSTORE_NAME", "GIFTSTORE_ID"},
        {"Category", "Modify Gift Category", "GIFT_CATEGORY", "GIFT_CAT_TEXT", "GIFT_CAT_ID"},
        {"Priority", "Modify Priority", "PRIORITY", "PRIORITY_TEXT", "PRIORITY_ID"},
        {"BudgetCategory", "Modify Category", "BUDGETCATEGORY", "BUDGETCATEGORY_TEXT", "BUDGETCATEGORY_ID"},
        {"Event", "Modify Events", "STDEVENT", "STDEVENT_TEXT", "STDEVENT_ID"},
        {"Attire", "Modify Attire Types", "ATTIRE_TYPE", "ATTIRETYPE_NAME", "ATTIRETYPE_ID"},
    };
    return lists;
}

const LookupList* findLookupList(const QString& curMode)
{
    for (const LookupList& l : lookupLists())
        if (curMode == QLatin1String(l.mode))
            return &l;
    return nullptr;
}

QVector<LookupEntry> loadLookupEntries(const LookupList& list)
{
    ado::Recordset rs;
    rs.Open(list.query(), modQVDatabase::gConn, ado::adOpenForwardOnly, ado::adLockReadOnly);
    QVector<LookupEntry> out;
    const int last = rs.fieldCount() - 1;
    for (; !rs.EOF_(); rs.MoveNext())
        out.push_back({rs.value(QLatin1String(list.keyColumn)).toLongLong(), rs.value(last)});
    rs.Close();
    return out;
}

qint64 addLookupEntry(const LookupList& list, const QString& text)
{
    if (text.isEmpty())
        return 0;
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction tx(c);
    ado::Recordset rs;
    rs.Open(list.query(), c, ado::adOpenKeyset, ado::adLockOptimistic);
    rs.AddNew();
    rs.setValue(QLatin1String(list.textColumn), text);
    const qint64 key = rs.value(QLatin1String(list.keyColumn)).toLongLong();
    modSynchro::LogChange(QLatin1String(list.table), key, modSynchro::Added);
    rs.Update();
    rs.Close();
    tx.commit();
    return key;
}

bool deleteLookupEntry(const LookupList& list, qint64 key)
{
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction tx(c);
    const int n = c.Execute(QString("DELETE FROM %1 WHERE %2 = ?").arg(QLatin1String(list.table), QLatin1String(list.keyColumn)),
                            {key});
    if (n == 0)
        return false;
    modSynchro::LogChange(QLatin1String(list.table), key, modSynchro::Deleted);
    tx.commit();
    return true;
}

}  // namespace records
