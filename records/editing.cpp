#include "records/editing.h"

#include "app/modQVDatabase.h"
#include "platform/ui/messages.h"
#include "records/cascade.h"
#include "records/frmAddType.h"

#include <QComboBox>
#include <QDateEdit>
#include <QTimeEdit>

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
    } catch (const ado::Error& e) {
        why = e.description();
    } catch (const std::exception& e) {
        why = QString::fromUtf8(e.what());
    }
    ui::MsgBox((failure.isEmpty() ? QStringLiteral("The changes could not be saved.") : failure) + "\n\n" + why, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
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

QStringList columnTexts(const QString& sql, const ado::Params& params)
{
    ado::Recordset rs;
    rs.Open(sql, gConn, ado::adOpenStatic, ado::adLockReadOnly, params);
    QStringList out;
    for (int r = 0; r < rs.RecordCount(); ++r) {
        const QVariant v = rs.cell(r, 0);
        out << (v.isNull() ? QString() : v.toString());
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
    if (keepText) {
        const int at = box->findText(shown, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (at >= 0)
            box->setCurrentIndex(at);
        else if (box->isEditable())
            box->setEditText(shown);
    } else if (box->count() > 0) {
        box->setCurrentIndex(0);
    }
}

bool lookupListEdited(const QString& listMode)
{
    const frmAddType& editor = frmAddType::instance();
    return editor.isLoaded() && editor.curMode == listMode;
}

bool toPickers(const QVariant& stored, QDateEdit* date, QTimeEdit* time)
{
    if (stored.isNull())
        return false;
    QDateTime dt = stored.toDateTime();
    if (!dt.isValid() && !ado::convert::parseDateTime(stored.toString(), dt))
        return false;
    if (date)
        date->setDate(dt.date());
    if (time)
        time->setTime(dt.time());
    return true;
}

QString fromPickers(const QDate& date, const QTime& time)
{
    const QTime t = time.isValid() ? QTime(time.hour(), time.minute(), time.second()) : QTime(0, 0);
    return date.toString("yyyy-MM-dd") + ' ' + t.toString("HH:mm:ss");
}

QString fromPickers(const QDateEdit* date, const QTimeEdit* time)
{
    return fromPickers(date ? date->date() : QDate(1899, 12, 30), time ? time->time() : QTime(0, 0));
}

void OpenProcedures::set(const QString& name, std::function<void()> proc)
{
    records::hooks::set(name, std::move(proc));
    names_.push_back(name);
}

void OpenProcedures::clear()
{
    for (const QString& n : names_)
        records::hooks::clear(n);
    names_.clear();
}

}  // namespace editing
