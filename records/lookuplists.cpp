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
        {Lookup::Titles, "Titles", "Modify Titles", "TITLES", "TITLE_TEXT", "TITLE_ID"},
        {Lookup::GuestTypes, "GuestTypes", "Guest Types", "GUESTTYPE", "GUESTTYPE_TEXT", "GUESTTYPE_ID"},
        {Lookup::Assignee, "Assignee", "Modify Assignees", "ASSIGNEE", "ASSIGNEE_TEXT", "ASSIGNEE_ID"},
        {Lookup::RSVP, "RSVP", "Modify RSVP", "RSVP_STATUS", "RSVP_TEXT", "RSVP_ID"},
        {Lookup::VendorTypes, "VendorTypes", "Modify Vendors", "VENDORTYPE", "VENDORTYPE_NAME", "VENDORTYPE_ID"},
        {Lookup::Stores, "Stores", "Modify Stores", "GIFTSTORE", "GIFTSTORE_NAME", "GIFTSTORE_ID"},
        {Lookup::Category, "Category", "Modify Gift Category", "GIFT_CATEGORY", "GIFT_CAT_TEXT", "GIFT_CAT_ID"},
        {Lookup::Priority, "Priority", "Modify Priority", "PRIORITY", "PRIORITY_TEXT", "PRIORITY_ID"},
        {Lookup::BudgetCategory, "BudgetCategory", "Modify Category", "BUDGETCATEGORY", "BUDGETCATEGORY_TEXT",
         "BUDGETCATEGORY_ID"},
        {Lookup::Event, "Event", "Modify Events", "STDEVENT", "STDEVENT_TEXT", "STDEVENT_ID"},
        {Lookup::Attire, "Attire", "Modify Attire Types", "ATTIRE_TYPE", "ATTIRETYPE_NAME", "ATTIRETYPE_ID"},
    };
    return lists;
}

const LookupList& lookupList(Lookup id)
{
    const LookupList& l = lookupLists().at(int(id));
    Q_ASSERT(l.id == id);
    return l;
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
