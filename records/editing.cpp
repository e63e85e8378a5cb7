#include "records/editing.h"

#include "platform/ado/ignoring.h"
#include "platform/ui/boxes.h"
#include "platform/ui/forms.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"
#include "records/frmAddType.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/notices.h"
#include "records/synchro.h"

#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace editing {

using modQVDatabase::gConn;

bool saveAll(const std::function<void()>& steps, QWidget* owner, const QString& failure)
{
    QString why;
    try {
        ado::Transaction t(gConn);
        steps();
        t.commit();
        return true;
    } catch (const Refused& e) {
        ui::MsgBox(e.message(), ui::vbExclamation | ui::vbOKOnly, QString(), owner);
        return false;
    } catch (const ado::Error& e) {
        why = e.description();
    } catch (const std::exception& e) {
        why = QString::fromUtf8(e.what());
    }
    ui::RefusedSave(why, owner, failure);
    return false;
}

namespace {

QString groupedNumber(qint64 n) { return QLocale(QLocale::English).toString(n); }

QString limitText(const QString& what)
{
    return QString("a copy of a wedding holds at most %1 %2, counting those deleted")
        .arg(groupedNumber(ado::Connection::kKeyRange - 1), what);
}

// The data layer's refusal when a table's keys are spent, in the program's words.
const bool gKeysFullWorded = [] {
    ado::setKeysFullText([](const QString& table) {
        const QString what = recordsWord(table);
        return QString("No more %1 can be added: %2, and this one has reached that.").arg(what, limitText(what));
    });
    return true;
}();

}  // namespace

QString recordsWord(const QString& table)
{
    static const QHash<QString, QString> kWords = {
        {"GUEST", "guest parties"},
        {"SUBGUEST", "guests"},
        {"INVITE", "invitations"},
        {"TABLES", "tables"},
        {"SEATING", "seats"},
        {"EVENT", "events"},
        {"EVENT_FOOD", "menu items"},
        {"EVENT_DECORATION", "decorations"},
        {"EVENT_MUSIC", "songs"},
        {"EVENT_PLAYSCRIPT", "playscript items"},
        {"TASKS", "tasks"},
        {"APPOINTMENT", "appointments"},
        {"OUR_WEDDING", "wedding records"},
        {"VENDOR", "vendors"},
        {"QUOTE", "quotes"},
        {"BUDGET", "budget items"},
        {"EXPENSES", "expenses"},
        {"ATTIRE", "attire items"},
        {"MEASURE_FEMALE", "female measurements"},
        {"MEASURE_MALE", "male measurements"},
        {"GIFT", "gifts"},
        {"REGISTRY", "registry items"},
        {"TITLES", "titles"},
        {"GUESTTYPE", "guest types"},
        {"ASSIGNEE", "assignees"},
        {"RSVP_STATUS", "RSVP answers"},
        {"VENDORTYPE", "vendor types"},
        {"GIFTSTORE", "stores"},
        {"GIFT_CATEGORY", "gift categories"},
        {"PRIORITY", "priorities"},
        {"BUDGETCATEGORY", "budget categories"},
        {"STDEVENT", "typical events"},
        {"ATTIRE_TYPE", "attire types"},
    };
    return kWords.value(table.toUpper(), "records of " + table);
}

bool roomFor(const QString& table, qint64 count, QWidget* owner)
{
    qint64 left = count;
    ado::ignoringErrors([&] { left = gConn.keysLeft(table); });
    if (left >= count)
        return true;
    const QString what = recordsWord(table);
    ui::MsgBox((left == 0 ? ado::keysFullText(table)
                          : QString("%1 %2 were to be added, but there is room for only %3 more: %4.")
                                .arg(groupedNumber(count), what, groupedNumber(left), limitText(what)))
                   + " Nothing was added.",
               ui::vbExclamation | ui::vbOKOnly, QString(), owner);
    return false;
}

bool recordExists(const QString& table, qint64 key)
{
    const QString keyColumn = gConn.keyColumn(table);
    if (keyColumn.isEmpty())
        return false;
    return gConn.scalar("SELECT COUNT(*) FROM " + table + " WHERE " + keyColumn + " = ?", {QVariant(key)})
               .toLongLong() > 0;
}

bool knownGone(const QString& table, qint64 key)
{
    bool gone = false;
    ado::ignoringErrors([&] { gone = !recordExists(table, key); });
    return gone;
}

QString goneMessage(const QString& table)
{
    static const QHash<QString, QString> kWhat = {{"EVENT", "event"},   {"GUEST", "guest"},  {"SUBGUEST", "person"},
                                                  {"TABLES", "table"}, {"SEATING", "seat"}};
    return "This " + kWhat.value(table.toUpper(), QStringLiteral("record")) + " no longer exists.";
}

bool ownerStillThere(const QString& table, qint64 key, QWidget* parent)
{
    if (key != 0 && !knownGone(table, key))
        return true;
    ui::MsgBox(goneMessage(table), ui::vbExclamation | ui::vbOKOnly, QString(), parent);
    return false;
}

void requireRecord(const QString& table, qint64 key)
{
    if (key == 0 || !recordExists(table, key))
        throw Refused(goneMessage(table));
}

SaveOutcome saveRecord(const QString& table, bool adding, qint64 key,
                       const std::function<void(ado::Recordset&)>& write, QWidget* owner, qint64* newKey)
{
    // Every read is inside the save: under another program's lock it fails
    // as a refused save, not out of this routine.
    bool gone = false;
    qint64 stored = 0;
    const bool ok = saveAll(
        [&] {
            if (!adding && !recordExists(table, key)) {
                gone = true;
                return;
            }
            const QString keyColumn = gConn.keyColumn(table);
            ado::Recordset rs;
            if (adding) {
                rs.Open("SELECT * FROM " + table + " WHERE 0 = 1", gConn, ado::adOpenKeyset, ado::adLockOptimistic);
                rs.AddNew();
            } else {
                rs.Open("SELECT * FROM " + table + " WHERE " + keyColumn + " = ?", gConn, ado::adOpenKeyset,
                        ado::adLockOptimistic, {QVariant(key)});
                if (rs.EOF_())
                    throw ado::Error(3021, kRecordGone);
            }
            write(rs);
            stored = rs.value(keyColumn).toLongLong();
            modSynchro::LogChange(table, stored, adding ? modSynchro::Added : modSynchro::Changed);
            rs.Update();
            rs.Close();
        },
        owner);
    if (!ok)
        return SaveOutcome::Refused;
    if (gone) {
        ui::MsgBox(kRecordGone, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
        return SaveOutcome::Gone;
    }
    if (newKey)
        *newKey = stored;
    return SaveOutcome::Saved;
}

bool loadRecord(const QString& table, qint64 key, const std::function<void(ado::Recordset&)>& show)
{
    ado::Connection& c = gConn;
    try {
        ado::Recordset rs;
        rs.Open("SELECT * FROM " + table + " WHERE " + c.keyColumn(table) + " = ?", c, ado::adOpenKeyset,
                ado::adLockReadOnly, {QVariant(key)});
        if (rs.EOF_())
            return false;
        show(rs);
        return true;
    } catch (const ado::Error&) {
        ado::logIgnoredError();
        return false;
    }
}

void editLookupList(const QString& fromForm, const QString& listMode, ui::FormBase* owner, bool modeless)
{
    frmAddType& t = frmAddType::instance();
    t.fromForm = fromForm;
    t.curMode = listMode;
    if (modeless)
        t.Show(ui::vbModeless);
    else
        t.Show(ui::vbModal, owner);
}

QString boxText(const QWidget* box)
{
    if (auto* e = qobject_cast<const QLineEdit*>(box))
        return e->text();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(box))
        return p->toPlainText();
    if (auto* c = qobject_cast<const QComboBox*>(box))
        return c->currentText();
    if (auto* l = qobject_cast<const QLabel*>(box))
        return l->text();
    return QString();
}

void setBoxText(QWidget* box, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(box))
        e->setText(text);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(box))
        p->setPlainText(text);
    else if (auto* c = qobject_cast<QComboBox*>(box)) {
        // The stored text is shown whether or not the list holds it.
        const int at = c->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (at >= 0)
            c->setCurrentIndex(at);
        else if (c->isEditable())
            c->setEditText(text);
    } else if (auto* l = qobject_cast<QLabel*>(box))
        l->setText(text);
}

bool assignText(ado::Recordset& rs, const QString& column, const QString& text)
{
    const int i = rs.fieldIndex(column);
    if (i < 0)
        throw ado::Error(3265, QString("Item cannot be found in the collection (field %1).").arg(column));
    const ado::ColumnKind kind = rs.fieldKind(i);
    if (kind == ado::ColumnKind::Text)
        return rs.setValue(i, text);
    if (text.trimmed().isEmpty())
        return false;
    // Typed in the user's forms; a text that reads as no value refuses the
    // save rather than leaving the column as it was without a word.
    QVariant v;
    if (!regional::readValue(kind, text, v))
        throw ado::Error(13, regional::refusal(kind, text));
    return rs.setValue(i, v);
}

QString storedText(const QVariant& v) { return ado::convert::valueText(v); }

QStringList columnTexts(const QString& sql, const ado::Params& params)
{
    ado::Recordset rs;
    rs.Open(sql, gConn, ado::adOpenStatic, ado::adLockReadOnly, params);
    QStringList out;
    for (int r = 0; r < rs.RecordCount(); ++r) {
        const QVariant v = rs.cell(r, 0);
        out << storedText(v);
    }
    return out;
}

QStringList fieldTexts(const QString& sql, const QString& field, const ado::Params& params)
{
    ado::Recordset rs;
    rs.Open(sql, gConn, ado::adOpenStatic, ado::adLockReadOnly, params);
    QStringList out;
    for (; !rs.EOF_(); rs.MoveNext()) {
        const QVariant v = rs.value(field);
        if (!v.isNull())
            out << storedText(v);
    }
    return out;
}

void fillList(QComboBox* box, const QStringList& items, bool keepText, const QStringList& leading)
{
    if (!box)
        return;
    const QString shown = box->currentText();
    box->clear();
    box->addItems(leading + items);
    if (keepText)
        setBoxText(box, shown);
    else if (box->count() > 0)
        box->setCurrentIndex(0);
}

void fillListFrom(QComboBox* box, const QString& sql, bool keepText, const QStringList& leading)
{
    QStringList items;
    ado::ignoringErrors([&] { items = columnTexts(sql); });
    fillList(box, items, keepText, leading);
}

void fillKeyedList(QComboBox* box, const QString& sql, const ado::Params& params)
{
    const QSignalBlocker quiet(box);
    box->clear();
    ado::ignoringErrors([&] {
        gConn.forEachRow(sql, params,
                         [box](const ado::Row& row) { box->addItem(row.text(1), QVariant(row.integer(0))); });
    });
    box->setCurrentIndex(-1);
}

bool lookupListEdited(const QString& listMode)
{
    const frmAddType& editor = frmAddType::instance();
    return editor.isLoaded() && editor.editedList() == listMode;
}

void refillLookupBox(QComboBox* box, const QStringList& items, const QString& listMode)
{
    if (!box)
        return;
    if (lookupListEdited(listMode))
        fillListEmpty(box, items);
    else
        fillList(box, items, true);
}

void refillLookupBox(QComboBox* box, const QString& sql, const QString& field, const QString& listMode)
{
    QStringList items;
    ado::ignoringErrors([&] { items = fieldTexts(sql, field); });
    refillLookupBox(box, items, listMode);
}

void fillListEmpty(QComboBox* box, const QStringList& items)
{
    if (!box)
        return;
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    if (box->isEditable())
        box->setEditText(QString());
}

bool storedMoment(const QVariant& stored, QDateTime& out)
{
    if (stored.isNull())
        return false;
    // Stored text is read as the wall clock it is, never through the local zone.
    QDateTime dt;
    if (stored.typeId() == QMetaType::QString) {
        if (!ado::convert::parseDateTime(stored.toString(), dt))
            return false;
    } else {
        dt = ado::convert::wallClock(stored.toDateTime());
        if (!dt.isValid())
            return false;
    }
    out = dt;
    return true;
}

bool toPickers(const QVariant& stored, ui::DateBox* date, ui::TimeBox* time)
{
    QDateTime dt;
    if (!storedMoment(stored, dt)) {
        if (!stored.isNull() || !date || !date->emptyAllowed())
            return false;
        date->setDate(QDate());
        if (time && time->emptyAllowed())
            time->setTime(QTime());
        return true;
    }
    if (date && !time)
        date->setDateTime(dt);
    else if (date)
        date->setDate(dt.date());
    if (time)
        time->setTime(dt.time());
    return true;
}

void allowEmptyMoment(ui::DateBox* date, ui::TimeBox* time)
{
    if (date)
        date->setEmptyAllowed(true);
    if (time)
        time->setEmptyAllowed(true);
}

QVariant momentOf(const ui::DateBox* date, const ui::TimeBox* time, bool wholeMinutes)
{
    const QDate day = date ? date->date() : QDate();
    const QTime at = time ? time->time() : QTime();
    if (!day.isValid()) {
        if (at.isValid())
            throw ado::Error(0, QStringLiteral("The time %1 has no date. Please type its date as well, or clear the "
                                               "time.")
                                    .arg(time->text().trimmed()));
        return QVariant();
    }
    return fromPickers(day, !at.isValid() ? QTime(0, 0) : wholeMinutes ? QTime(at.hour(), at.minute()) : at);
}

QString fromPickers(const QDate& date, const QTime& time)
{
    const QTime t = time.isValid() ? QTime(time.hour(), time.minute(), time.second()) : QTime(0, 0);
    return date.toString("yyyy-MM-dd") + ' ' + t.toString("HH:mm:ss");
}

QString fromPickers(const ui::DateBox* date, const ui::TimeBox* time)
{
    return fromPickers(date ? date->date() : QDate(1899, 12, 30), time ? time->time() : QTime(0, 0));
}

void storeDate(ado::Recordset& rs, const QString& column, const ui::DateBox* date)
{
    const QDate day = date->date();
    rs.setValue(column, day.isValid() ? fromPickers(day, date->timeOfDay()) : QVariant());
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& at)
{
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    l->setGeometry(at);
    return l;
}

QWidget* makeTextBox(QWidget* parent, const QString& name, bool multiLine, const QRect& at)
{
    QWidget* box;
    if (multiLine) {
        auto* p = new QPlainTextEdit(parent);
        p->setTabChangesFocus(true);
        box = p;
    } else {
        auto* line = new QLineEdit(parent);
        ui::showBeginningWhenSet(line);
        box = line;
    }
    box->setObjectName(name);
    box->setGeometry(at);
    return box;
}

QComboBox* makeListBox(QWidget* parent, const QString& name, const QRect& at)
{
    auto* c = new ui::ListBox(parent, true);
    c->setObjectName(name);
    c->setGeometry(at);
    return c;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QRect& at,
                        std::function<void()> onClick)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(at);
    b->setAutoDefault(false);
    if (onClick)
        QObject::connect(b, &QPushButton::clicked, b, [f = std::move(onClick)] { ui::guarded(f); });
    return b;
}

QListWidget* makeList(QWidget* parent, const QString& name, const QRect& at, bool multiSelect)
{
    auto* l = new QListWidget(parent);
    l->setObjectName(name);
    l->setSelectionMode(multiSelect ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
    l->setSortingEnabled(false);
    l->setGeometry(at);
    return l;
}

ui::DateBox* makeDatePicker(QWidget* parent, const QString& name, const QRect& at)
{
    auto* d = new ui::DateBox(parent);
    d->setObjectName(name);
    d->setGeometry(at);
    return d;
}

ui::TimeBox* makeTimePicker(QWidget* parent, const QString& name, const QRect& at)
{
    auto* t = new ui::TimeBox(parent);
    t->setObjectName(name);
    t->setGeometry(at);
    return t;
}

void chainTabOrder(const QList<QWidget*>& order)
{
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

namespace {
std::function<QDateTime()>& clockInUse()
{
    static std::function<QDateTime()> clock;
    return clock;
}
}  // namespace

QDateTime now()
{
    const auto& clock = clockInUse();
    return clock ? clock() : ado::convert::now();
}

void setClock(std::function<QDateTime()> clock) { clockInUse() = std::move(clock); }

double daysBetween(const QDate& fromDay, const QTime& fromTime, const QDate& toDay, const QTime& toTime)
{
    constexpr double kMsPerDay = 86400000.0;
    const QTime from = fromTime.isValid() ? fromTime : QTime(0, 0);
    const QTime to = toTime.isValid() ? toTime : QTime(0, 0);
    return double(fromDay.daysTo(toDay)) + double(from.msecsTo(to)) / kMsPerDay;
}

qint64 sharedKey(const QString& table, qint64 key)
{
    const bool deleted =
        gConn.scalar("SELECT COUNT(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ? AND "
                     "SYNCHRO_ACTION IN (?, ?)",
                     {table, key, int(modSynchro::Deleted), int(synchro::kReceivedDeletion)})
            .toLongLong() > 0;
    return deleted || recordExists(table, key) ? gConn.reserveKey(table) : key;
}

void refillAfterLookupEdits(ui::FormBase& form, const QStringList& callers,
                            std::function<void(const QString& listMode)> refill)
{
    records::answerWhileLoaded(form, &records::Notices::lookupListClosed,
                               [callers, refill = std::move(refill)](const QString& fromForm, const QString& listMode) {
                                   if (callers.contains(fromForm))
                                       refill(listMode);
                               });
}

}  // namespace editing
