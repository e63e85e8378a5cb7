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

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

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
    static const QHash<QString, QString> kWhat = {
        {"EVENT", "event"},          {"GUEST", "guest"},         {"SUBGUEST", "person"},
        {"TABLES", "table"},         {"SEATING", "seat"},        {"TASKS", "task"},
        {"VENDOR", "vendor"},        {"QUOTE", "quote"},         {"BUDGET", "budget item"},
        {"EXPENSES", "expense"},     {"ATTIRE", "attire item"},  {"MEASURE_FEMALE", "measurement"},
        {"MEASURE_MALE", "measurement"}, {"GIFT", "gift"},       {"REGISTRY", "registry item"}};
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

SaveOutcome addRecord(const QString& table, const std::function<void(ado::Recordset&)>& write, QWidget* owner,
                      qint64* newKey)
{
    qint64 stored = 0;
    const bool ok = saveAll(
        [&] {
            ado::Recordset rs;
            rs.Open("SELECT * FROM " + table + " WHERE 0 = 1", gConn, ado::adOpenKeyset, ado::adLockOptimistic);
            rs.AddNew();
            write(rs);
            stored = rs.value(gConn.keyColumn(table)).toLongLong();
            modSynchro::LogChange(table, stored, modSynchro::Added);
            rs.Update();
        },
        owner);
    if (!ok)
        return SaveOutcome::Refused;
    if (newKey)
        *newKey = stored;
    return SaveOutcome::Saved;
}

SaveOutcome saveRecord(RecordAsRead& record, const QString& table, bool adding,
                       const std::function<void(ado::Recordset&)>& write, QWidget* owner, qint64* newKey)
{
    if (adding)
        return addRecord(table, write, owner, newKey);
    if (newKey)
        *newKey = record.key();
    return saveChanges(record, write, owner);
}

RecordAsRead::Read RecordAsRead::read(const QString& table, qint64 key,
                                     const std::function<void(ado::Recordset&)>& show, QString* why)
{
    forget();
    ado::Connection& c = gConn;
    try {
        ado::Recordset rs;
        rs.Open("SELECT * FROM " + table + " WHERE " + c.keyColumn(table) + " = ?", c, ado::adOpenKeyset,
                ado::adLockReadOnly, {QVariant(key)});
        if (rs.EOF_())
            return Read::Missing;
        QStringList names;
        QVector<ado::ColumnKind> kinds;
        QVector<QVariant> values;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            names << rs.fieldName(i);
            kinds << rs.fieldKind(i);
            values << rs.value(i);
        }
        show(rs);
        table_ = table;
        key_ = key;
        names_ = names;
        kinds_ = kinds;
        values_ = values;
        return Read::Shown;
    } catch (const ado::Error& e) {
        ado::logIgnoredError();
        if (why)
            *why = e.description();
        return Read::Failed;
    }
}

void RecordAsRead::forget()
{
    names_.clear();
    kinds_.clear();
    values_.clear();
}

bool openRecord(RecordAsRead& record, const QString& table, qint64 key,
                const std::function<void(ado::Recordset&)>& show, QWidget* owner)
{
    QString why;
    switch (record.read(table, key, show, &why)) {
    case RecordAsRead::Read::Shown:
        return true;
    case RecordAsRead::Read::Missing:
        ui::MsgBox(goneMessage(table), ui::vbExclamation | ui::vbOKOnly, QString(), owner);
        return false;
    case RecordAsRead::Read::Failed:
        break;
    }
    ui::MsgBox(QString(kRecordUnread) + "\n\n" + why, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
    return false;
}

bool sameValue(ado::ColumnKind kind, const QVariant& a, const QVariant& b)
{
    const bool noA = a.isNull() || !a.isValid() || (a.typeId() == QMetaType::QString && a.toString().isEmpty());
    const bool noB = b.isNull() || !b.isValid() || (b.typeId() == QMetaType::QString && b.toString().isEmpty());
    if (noA || noB)
        return noA == noB;
    const auto number = [](const QVariant& v) {
        const int t = v.typeId();
        return t == QMetaType::Double || t == QMetaType::LongLong || t == QMetaType::Int;
    };
    if ((kind == ado::ColumnKind::Currency || kind == ado::ColumnKind::Real) && number(a) && number(b)) {
        // Two readings of one stored amount may differ in their last binary digit.
        const double x = a.toDouble(), y = b.toDouble();
        return std::abs(x - y) <= 1e-9 * std::max({1.0, std::abs(x), std::abs(y)});
    }
    return a == b || storedText(a) == storedText(b);
}

QString captionOf(const QWidget* box)
{
    if (!box || !box->parentWidget())
        return QString();
    const QWidget* window = box->window();
    const QRect at(box->mapTo(window, QPoint(0, 0)), box->size());
    const QLabel* best = nullptr;
    int bestGap = 0;
    for (const QLabel* l : window->findChildren<QLabel*>()) {
        if (l->buddy() == box) {
            best = l;
            break;
        }
        // The label on the box's line, left of it; else the one just above it.
        const QRect r(l->mapTo(window, QPoint(0, 0)), l->size());
        int gap = -1;
        if (r.center().y() >= at.top() && r.center().y() <= at.bottom() && r.right() <= at.left() + 2)
            gap = at.left() - r.right();
        else if (r.bottom() <= at.top() + 2 && at.top() - r.bottom() < 2 * r.height() && r.left() < at.right()
                 && r.right() > at.left())
            gap = 10000 + at.top() - r.bottom();
        if (gap >= 0 && (!best || gap < bestGap)) {
            best = l;
            bestGap = gap;
        }
    }
    if (!best)
        return QString();
    QString caption = best->text().remove('&').trimmed();
    while (caption.endsWith(':') || caption.endsWith('.'))
        caption.chop(1);
    return caption;
}

namespace {

// A column named as a user reads it when no box names it: "GUEST_CITY" is "City".
QString columnCaption(const QString& column)
{
    QString words = column.mid(column.indexOf('_') + 1).toLower().replace('_', ' ');
    if (!words.isEmpty())
        words[0] = words[0].toUpper();
    return words;
}

// A value as the question shows it: short, on one line.
QString questionText(const QVariant& v)
{
    QString t = regional::shownText(v).simplified();
    if (t.isEmpty())
        return QStringLiteral("(empty)");
    constexpr int kLongest = 60;
    if (t.size() > kLongest)
        t = t.left(kLongest - 1) + QChar(0x2026);
    return QChar(0x201C) + t + QChar(0x201D);
}

}  // namespace

SaveOutcome saveChanges(RecordAsRead& record, const std::function<void(ado::Recordset&)>& write, QWidget* owner)
{
    if (!record.isRead()) {
        ui::MsgBox(kRecordUnread, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
        return SaveOutcome::Refused;
    }
    const QString& table = record.table_;
    QString keyColumn, sql;
    const int n = record.names_.size();
    // What the boxes make of the record as it is stored now.
    QVector<QVariant> now(n), mine(n);
    bool gone = false;
    try {
        keyColumn = gConn.keyColumn(table);
        sql = "SELECT * FROM " + table + " WHERE " + keyColumn + " = ?";
        ado::Recordset rs;
        rs.Open(sql, gConn, ado::adOpenKeyset, ado::adLockOptimistic, {QVariant(record.key_)});
        gone = rs.EOF_();
        if (!gone) {
            for (int i = 0; i < n; ++i)
                now[i] = rs.value(record.names_[i]);
            write(rs);
            for (int i = 0; i < n; ++i)
                mine[i] = rs.value(record.names_[i]);
            rs.CancelUpdate();
        }
    } catch (const Refused& e) {
        ui::MsgBox(e.message(), ui::vbExclamation | ui::vbOKOnly, QString(), owner);
        return SaveOutcome::Refused;
    } catch (const ado::Error& e) {
        ui::RefusedSave(e.description(), owner);
        return SaveOutcome::Refused;
    }
    if (gone) {
        ui::MsgBox(kRecordGone, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
        return SaveOutcome::Gone;
    }

    QVector<int> changes, clashes;
    for (int i = 0; i < n; ++i) {
        const ado::ColumnKind kind = record.kinds_[i];
        if (record.names_[i].compare(keyColumn, Qt::CaseInsensitive) == 0 || sameValue(kind, mine[i], record.values_[i])
            || sameValue(kind, mine[i], now[i]))
            continue;
        changes << i;
        if (!sameValue(kind, now[i], record.values_[i]))
            clashes << i;
    }
    if (!clashes.isEmpty()) {
        const ShownBoxes shown = record.boxes ? record.boxes() : ShownBoxes();
        QStringList lines;
        for (int i : clashes) {
            QString caption;
            for (const ShownIn& s : shown)
                if (s.column.compare(record.names_[i], Qt::CaseInsensitive) == 0 && caption.isEmpty())
                    caption = captionOf(s.box);
            if (caption.isEmpty())
                caption = columnCaption(record.names_[i]);
            lines << QString("%1: now %2, typed here %3").arg(caption, questionText(now[i]), questionText(mine[i]));
        }
        const int answer =
            ui::MsgBox("While this window was open, this record was changed elsewhere (in another window, or by "
                       "changes taken from the other copy):\n\n"
                           + lines.join('\n')
                           + "\n\nPress Yes to save what is typed here over those changes, No to keep those changes "
                             "and save the rest of yours, or Cancel to save nothing yet.",
                       ui::vbYesNoCancel | ui::vbExclamation, QString(), owner);
        if (answer == ui::vbCancel)
            return SaveOutcome::Refused;
        if (answer != ui::vbYes)
            for (int i : clashes)
                changes.removeAll(i);
    }

    const bool ok = saveAll(
        [&] {
            if (changes.isEmpty())
                return;
            ado::Recordset rs;
            rs.Open(sql, gConn, ado::adOpenKeyset, ado::adLockOptimistic, {QVariant(record.key_)});
            if (rs.EOF_()) {
                gone = true;
                return;
            }
            for (int i : changes)
                if (!sameValue(record.kinds_[i], rs.value(record.names_[i]), now[i]))
                    throw Refused("This record was changed again elsewhere just now. Please press Save again to see "
                                  "what changed.");
            for (int i : changes)
                rs.setValue(record.names_[i], mine[i]);
            modSynchro::LogChange(table, record.key_, modSynchro::Changed);
            rs.Update();
        },
        owner);
    if (!ok)
        return SaveOutcome::Refused;
    if (gone) {
        ui::MsgBox(kRecordGone, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
        return SaveOutcome::Gone;
    }
    // The record as it is stored now is the one the window goes on from.
    for (int i : changes)
        now[i] = mine[i];
    record.values_ = now;
    return SaveOutcome::Saved;
}

bool readList(const std::function<void()>& read, QWidget* owner, const std::source_location& where)
{
    QString why;
    try {
        read();
        return true;
    } catch (const ado::Error& e) {
        ado::logIgnoredError(where);
        why = "\n\n" + e.description();
    } catch (const std::exception&) {
        ado::logIgnoredError(where);
    }
    ui::MsgBox(kListUnread + why, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
    return false;
}

namespace {

// What a box a user types into or chooses in holds; false for any other widget.
bool boxState(const QWidget* w, QString& state)
{
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        state = e->isReadOnly() ? QString() : e->text();
    else if (auto* p = qobject_cast<const QPlainTextEdit*>(w))
        state = p->toPlainText();
    else if (auto* c = qobject_cast<const QComboBox*>(w))
        state = c->currentText();
    else if (auto* b = qobject_cast<const QAbstractButton*>(w); b && b->isCheckable())
        state = b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    else
        return false;
    return true;
}

}  // namespace

void BoxesAsSaved::take(const QWidget* window)
{
    forget();
    if (!window)
        return;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        // A box shown only while it is used (a cell's picker), and the parts
        // of grids and lists (whose cells are stored as they are typed).
        bool part = w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide);
        for (const QWidget* p = w->parentWidget(); p && p != window && !part; p = p->parentWidget())
            part = qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QComboBox*>(p);
        QString state;
        if (!part && boxState(w, state))
            states_.emplace_back(w, state);
    }
}

bool BoxesAsSaved::changed() const
{
    if (other_)
        return true;
    for (const auto& [box, state] : states_) {
        QString now;
        if (box && boxState(box, now) && now != state)
            return true;
    }
    return false;
}

bool mayClose(BoxesAsSaved& boxes, QWidget* window, const std::function<bool()>& save)
{
    if (!boxes.changed())
        return true;
    const int answer = ui::MsgBox(kSaveChanges, ui::vbYesNoCancel | ui::vbQuestion, QString(), window);
    if (answer == ui::vbCancel)
        return false;
    if (answer == ui::vbYes && !save())
        return false;
    boxes.forget();
    return true;
}

void editLookupList(ui::FormBase& opener, records::Lookup list, bool modeless)
{
    frmAddType& t = frmAddType::instance();
    t.fromForm = &opener;
    t.curMode = list;
    if (modeless)
        t.Show(ui::vbModeless);
    else
        t.Show(ui::vbModal, &opener);
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
    // An entry the list held and no longer holds was deleted: the box stops
    // showing it. Any other text stays, also one the list never held.
    bool wasEntry = false;
    for (int i = 0; i < box->count() && !wasEntry; ++i)
        wasEntry = box->itemText(i) == shown;
    const bool keep = keepText && !(wasEntry && !leading.contains(shown) && !items.contains(shown));
    box->clear();
    box->addItems(leading + items);
    if (keep) {
        setBoxText(box, shown);
    } else if (keepText && leading.isEmpty()) {
        box->setCurrentIndex(-1);
        if (box->isEditable())
            box->setEditText(QString());
    } else if (box->count() > 0) {
        box->setCurrentIndex(0);
    }
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

void refillLookupBox(QComboBox* box, const QString& sql, const QString& field)
{
    QStringList items;
    ado::ignoringErrors([&] { items = fieldTexts(sql, field); });
    fillList(box, items, true);
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
    // A date picker alone keeps the time of day of the moment it shows.
    const QTime at = time ? time->time() : date ? date->timeOfDay() : QTime();
    if (!day.isValid()) {
        if (time && at.isValid())
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
        line->setMaxLength(kWholeColumn);
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
    c->lineEdit()->setMaxLength(kWholeColumn);
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

void refillAfterLookupEdits(ui::FormBase& form, std::function<void(records::Lookup list)> refill)
{
    records::answerWhileLoaded(form, &records::Notices::lookupListClosed,
                               [&form, refill = std::move(refill)](const ui::FormBase* opener, records::Lookup list) {
                                   if (opener == &form)
                                       refill(list);
                               });
}

}  // namespace editing
