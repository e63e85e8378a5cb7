#include "records/cascade.h"

#include "platform/ado/ignoring.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>

#include <exception>

namespace records {

namespace {

struct KindText {
    const char* mode;
    DeleteKind kind;
    const char* prefix;
    const char* suffix;
};

constexpr KindText kKinds[] = {
    {"Event", DeleteKind::Event, "Delete the event: ",
     ".  This will delete all associated invitations, RSVP's, menus, table seating, and associated information."},
    {"Guests", DeleteKind::Guests, "Delete the guest: ",
     ".  This will delete all subguests, invitations, RSVP's, table seating and associated information for the guest."},
    {"SubguestFromDetail", DeleteKind::SubguestFromDetail, "Delete the subguest: ",
     ".  This will delete all invitations, RSVP's, table seating and associated information for the guest."},
    {"SubguestFromMain", DeleteKind::SubguestFromMain, "Delete the subguest: ",
     ".  This will delete all invitations, RSVP's, table seating and associated information for the guest."},
    {"Task", DeleteKind::Task, "Delete the task: ", ".  This will delete only the associated information for this task."},
    // What goes with a vendor is counted (vendorSuffix).
    {"Vendor", DeleteKind::Vendor, "Delete the vendor: ", "."},
    {"Expense", DeleteKind::Expense, "Delete the expense item: ", "."},
    {"Quote", DeleteKind::Quote, "Delete the quote item: ", "."},
    {"Gift", DeleteKind::Gift, "Delete the gift item: ", "."},
    {"Registry", DeleteKind::Registry, "Delete the registry item: ", "."},
    {"Table", DeleteKind::Table, "Delete the table named: ", ".  This may require you to re-seat guests at other tables."},
    {"FemaleMeasurement", DeleteKind::FemaleMeasurement, "Delete the female measurements for: ", "."},
    {"MaleMeasurement", DeleteKind::MaleMeasurement, "Delete the male measurements for: ", "."},
    // A budget item is announced as an expense item.
    {"Budget", DeleteKind::Budget, "Delete the expense item: ", "."},
    {"Attire", DeleteKind::Attire, "Delete the attire item: ", "."},
};

const KindText* findKind(DeleteKind kind)
{
    for (const KindText& k : kKinds)
        if (k.kind == kind)
            return &k;
    return nullptr;
}

// Removes rows of one table and tells of each removed key first. Names come
// from this file only; every value is bound.
class Cascade {
public:
    using Removing = std::function<void(const RemovedRow&)>;
    Cascade(ado::Connection& c, Removing removing) : c_(c), removing_(std::move(removing)) {}

    void remove(const QString& table, const QString& keyColumn, const QString& column, qint64 value)
    {
        removeWhere(table, keyColumn, column + " = ?", value);
    }

    // The rows whose condition (of one bound value) holds: those of every
    // person of a party, or of every table of an event, at once.
    void removeWhere(const QString& table, const QString& keyColumn, const QString& condition, qint64 value)
    {
        const QVector<qint64> found = keysWhere(table, keyColumn, condition, value);
        for (qint64 k : found) {
            removing_({table, k});
            removed.push_back({table, k});
        }
        const int n = c_.Execute(QString("DELETE FROM %1 WHERE %2").arg(table, condition), {value});
        if (n != found.size())
            throw ado::Error(0, QString("The rows of %1 changed while they were being deleted.").arg(table));
    }

    void removeOne(const QString& table, const QString& keyColumn, qint64 key)
    {
        remove(table, keyColumn, keyColumn, key);
    }

    QVector<RemovedRow> removed;

private:
    QVector<qint64> keysWhere(const QString& table, const QString& keyColumn, const QString& condition, qint64 value)
    {
        QVector<qint64> out;
        c_.forEachRow(QString("SELECT %1 FROM %2 WHERE %3 ORDER BY %1").arg(keyColumn, table, condition), {value},
                      [&out](const ado::Row& r) { out.push_back(r.integer(0)); });
        return out;
    }

    ado::Connection& c_;
    Removing removing_;
};

void cascadeEvent(Cascade& x, qint64 id)
{
    x.removeOne("EVENT", "EVENT_ID", id);
    x.remove("EVENT_DECORATION", "EVENT_DECORATION_ID", "EVENT_ID", id);
    x.remove("EVENT_FOOD", "EVENT_FOOD_ID", "EVENT_ID", id);
    x.remove("EVENT_MUSIC", "EVENT_MUSIC_ID", "EVENT_ID", id);
    x.remove("EVENT_PLAYSCRIPT", "EVENT_PLAYSCRIPT_ID", "EVENT_ID", id);
    x.remove("INVITE", "INVITE_ID", "EVENT_ID", id);
    x.removeWhere("SEATING", "SEATING_ID", "TABLE_ID IN (SELECT TABLE_ID FROM TABLES WHERE EVENT_ID = ?)", id);
    x.remove("TABLES", "TABLE_ID", "EVENT_ID", id);
}

void cascadeSubguest(Cascade& x, qint64 s)
{
    x.remove("SEATING", "SEATING_ID", "SUBGUEST_ID", s);
    x.remove("INVITE", "INVITE_ID", "SUBGUEST_ID", s);
}

void cascadeGuest(Cascade& x, qint64 id)
{
    x.removeOne("GUEST", "GUEST_ID", id);
    const QString ofParty = "SUBGUEST_ID IN (SELECT SUBGUEST_ID FROM SUBGUEST WHERE GUEST_ID = ?)";
    x.removeWhere("SEATING", "SEATING_ID", ofParty, id);
    x.removeWhere("INVITE", "INVITE_ID", ofParty, id);
    x.remove("SUBGUEST", "SUBGUEST_ID", "GUEST_ID", id);
}

// A vendor's quotes are those that carry its key. A quote that only names a
// vendor by its text (as the quote editor writes it) is the user's own
// record and stays.
void cascadeVendor(Cascade& x, qint64 id)
{
    x.remove("QUOTE", "QUOTE_ID", "VENDOR_ID", id);
    x.removeOne("VENDOR", "VENDOR_ID", id);
}

void runCascade(Cascade& x, DeleteKind kind, qint64 id)
{
    switch (kind) {
    case DeleteKind::Event: cascadeEvent(x, id); break;
    case DeleteKind::Guests: cascadeGuest(x, id); break;
    case DeleteKind::SubguestFromDetail:
    case DeleteKind::SubguestFromMain:
        cascadeSubguest(x, id);
        x.removeOne("SUBGUEST", "SUBGUEST_ID", id);
        break;
    case DeleteKind::Vendor: cascadeVendor(x, id); break;
    case DeleteKind::Table:
        x.remove("SEATING", "SEATING_ID", "TABLE_ID", id);
        x.removeOne("TABLES", "TABLE_ID", id);
        break;
    case DeleteKind::Gift: x.removeOne("GIFT", "GIFT_ID", id); break;
    case DeleteKind::Task: x.removeOne("TASKS", "TASK_ID", id); break;
    case DeleteKind::Quote: x.removeOne("QUOTE", "QUOTE_ID", id); break;
    case DeleteKind::Expense: x.removeOne("EXPENSES", "EXPENSE_ID", id); break;
    case DeleteKind::Budget: x.removeOne("BUDGET", "BUDGET_ID", id); break;
    case DeleteKind::Registry: x.removeOne("REGISTRY", "REGISTRY_ID", id); break;
    case DeleteKind::FemaleMeasurement: x.removeOne("MEASURE_FEMALE", "MEASURE_FEMALE_ID", id); break;
    case DeleteKind::MaleMeasurement: x.removeOne("MEASURE_MALE", "MEASURE_MALE_ID", id); break;
    case DeleteKind::Attire: x.removeOne("ATTIRE", "ATTIRE_ID", id); break;
    case DeleteKind::None: break;
    }
}

// A stored picture path as a file name: relative paths are taken in the
// user's data folder.
QString absolutePicture(const QString& path)
{
    QFileInfo fi(path);
    if (fi.isRelative())
        fi = QFileInfo(QDir(modQVDatabase::dataFolder()), path);
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : canonical;
}

}  // namespace

QString deleteKindName(DeleteKind kind)
{
    const KindText* k = findKind(kind);
    return k ? QString::fromLatin1(k->mode) : QString();
}

namespace {

// What deleting a vendor removes: the quotes tied to it by key. Quotes that
// name it only by text stay, and the text says so.
QString vendorSuffix(qint64 id)
{
    ado::Connection& c = modQVDatabase::gConn;
    if (!c.isOpen())
        return QStringLiteral(".");
    qlonglong linked = 0, named = 0;
    try {
        linked = c.scalar("SELECT count(*) FROM QUOTE WHERE VENDOR_ID = ?", {id}).toLongLong();
        named = c.scalar("SELECT count(*) FROM QUOTE, VENDOR WHERE VENDOR.VENDOR_ID = ? AND QUOTE_VENDOR = VENDOR_NAME "
                         "AND QUOTE.VENDOR_ID IS NOT ?",
                         {id, id})
                    .toLongLong();
    } catch (const ado::Error&) {
        ado::logIgnoredError();
        return QStringLiteral(".");
    }
    QString s = QStringLiteral(".");
    if (linked == 1)
        s += QStringLiteral("  This will delete the quote linked to it and associated information for the vendor.");
    else if (linked > 1)
        s += QString("  This will delete the %1 quotes linked to it and associated information for the vendor.")
                 .arg(linked);
    if (named == 1)
        s += QStringLiteral("  The quote that names it is kept.");
    else if (named > 1)
        s += QString("  The %1 quotes that name it are kept.").arg(named);
    return s;
}

}  // namespace

QString deleteConfirmation(DeleteKind kind, const QString& delString, qint64 delID)
{
    const KindText* k = findKind(kind);
    if (!k)
        return QString::fromLatin1(kNothingToDelete);
    const QString suffix = k->kind == DeleteKind::Vendor ? vendorSuffix(delID) : QString::fromLatin1(k->suffix);
    return QString::fromLatin1(k->prefix) + delString + suffix;
}

DeleteOutcome deleteRecord(DeleteKind kind, qint64 id)
{
    DeleteOutcome out;
    if (kind == DeleteKind::None)
        return out;
    ado::Connection& c = modQVDatabase::gConn;
    QString picture;
    try {
        // Logged together once the cascade ran, a few statements a table
        // however many rows go (a party of thousands, an event with all
        // its invitations).
        QMap<QString, QList<qint64>> gone;
        Cascade x(c, [&gone](const RemovedRow& r) { gone[r.table] << r.key; });
        ado::Transaction tx(c);
        if (kind == DeleteKind::Gift)
            picture = c.scalar("SELECT GIFT_IMAGE FROM GIFT WHERE GIFT_ID = ?", {id}).toString();
        runCascade(x, kind, id);
        for (auto it = gone.cbegin(); it != gone.cend(); ++it)
            modSynchro::LogChanges(it.key(), it.value(), modSynchro::Deleted);
        tx.commit();
        out.removed = x.removed;
    } catch (const ado::Error& e) {
        out.ok = false;
        out.error = e.description();
    } catch (const std::exception& e) {
        out.ok = false;
        out.error = QString::fromLocal8Bit(e.what());
    }
    if (!out.ok) {
        out.error = QString("The record could not be deleted; nothing was changed.\n\n%1").arg(out.error);
        return out;
    }
    if (!picture.isEmpty() && !out.removed.isEmpty())
        removeGiftPicture(picture);
    return out;
}

namespace {

// The kind whose cascade deleting a record of a table runs.
DeleteKind kindOfTable(const QString& table)
{
    static const QHash<QString, DeleteKind> kinds = {
        {"EVENT", DeleteKind::Event},       {"GUEST", DeleteKind::Guests},
        {"SUBGUEST", DeleteKind::SubguestFromMain}, {"VENDOR", DeleteKind::Vendor},
        {"TABLES", DeleteKind::Table},      {"GIFT", DeleteKind::Gift},
        {"TASKS", DeleteKind::Task},        {"QUOTE", DeleteKind::Quote},
        {"EXPENSES", DeleteKind::Expense},  {"BUDGET", DeleteKind::Budget},
        {"REGISTRY", DeleteKind::Registry}, {"MEASURE_FEMALE", DeleteKind::FemaleMeasurement},
        {"MEASURE_MALE", DeleteKind::MaleMeasurement}, {"ATTIRE", DeleteKind::Attire},
    };
    return kinds.value(table, DeleteKind::None);
}

}  // namespace

void deleteWithCascade(ado::Connection& c, const QString& table, qint64 key,
                       const std::function<void(const RemovedRow&)>& removing)
{
    Cascade x(c, removing);
    const DeleteKind kind = kindOfTable(table);
    if (kind != DeleteKind::None) {
        runCascade(x, kind, key);
        return;
    }
    const QString keyColumn = c.keyColumn(table);
    if (keyColumn.isEmpty())
        throw ado::Error(0, QString("The table %1 has no key.").arg(table));
    x.removeOne(table, keyColumn, key);
}

// The same relations the cascades above follow.
const QVector<KeyReference>& keyReferences()
{
    static const QVector<KeyReference> refs = {
        {"EVENT_FOOD", "EVENT_ID", "EVENT"},       {"EVENT_DECORATION", "EVENT_ID", "EVENT"},
        {"EVENT_MUSIC", "EVENT_ID", "EVENT"},      {"EVENT_PLAYSCRIPT", "EVENT_ID", "EVENT"},
        {"INVITE", "EVENT_ID", "EVENT"},           {"INVITE", "SUBGUEST_ID", "SUBGUEST"},
        {"TABLES", "EVENT_ID", "EVENT"},           {"SEATING", "TABLE_ID", "TABLES"},
        {"SEATING", "SUBGUEST_ID", "SUBGUEST"},    {"SUBGUEST", "GUEST_ID", "GUEST"},
        {"QUOTE", "VENDOR_ID", "VENDOR", true},
    };
    return refs;
}

QString giftPictureFolder()
{
    return modQVDatabase::dataFile("/data/images/gifts");
}

bool isInGiftPictureFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString folder = QFileInfo(giftPictureFolder()).canonicalFilePath();
    if (folder.isEmpty())
        return false;
    const QString file = absolutePicture(path);
    return file.startsWith(folder + '/') && QFileInfo(file).isFile();
}

bool removeGiftPicture(const QString& path)
{
    if (!isInGiftPictureFolder(path))
        return false;
    const QString file = absolutePicture(path);
    try {
        ado::Recordset rs;
        rs.Open("SELECT GIFT_IMAGE FROM GIFT WHERE GIFT_IMAGE IS NOT NULL AND GIFT_IMAGE <> ''", modQVDatabase::gConn,
                ado::adOpenForwardOnly, ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext())
            if (absolutePicture(rs.value(0).toString()) == file)
                return false;
    } catch (const ado::Error&) {
        ado::logIgnoredError();
        return false;  // cannot tell whether another gift shows it: keep it
    }
    QFile f(file);
    f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
    return f.remove();
}

}  // namespace records
