#include "money/moneyedit.h"

#include "records/cascade.h"

#include <QComboBox>

namespace money {

void showColumns(ado::Recordset& rs, const BoxColumns& boxes)
{
    for (const BoxColumn& b : boxes) {
        const QVariant v = rs.value(b.column);
        if (!v.isNull())
            editing::setBoxText(b.box, editing::storedText(v));
    }
}

void storeColumns(ado::Recordset& rs, const BoxColumns& boxes)
{
    for (const BoxColumn& b : boxes)
        editing::assignText(rs, b.column, editing::boxText(b.box));
}

void fillBox(QComboBox* box, const QString& sql, const QString& listMode)
{
    QStringList items;
    try {
        items = editing::columnTexts(sql);
    } catch (const ado::Error&) {
        return;
    }
    if (listMode.isEmpty())
        editing::fillListEmpty(box, items);
    else
        editing::refillLookupBox(box, items, listMode);
}

void refreshMain(const QString& member)
{
    records::refreshMainGrid(member);
}

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent), kept_(0, 0)
{
    setCalendarPopup(true);
    setDisplayFormat("M/d/yyyy");
}

void DatePicker::setValue(const QDateTime& v)
{
    setDate(v.date());
    kept_ = QTime(v.time().hour(), v.time().minute(), v.time().second());
}

bool DatePicker::setStored(const QVariant& stored)
{
    QDateTime dt;
    if (!editing::storedMoment(stored, dt))
        return false;
    setValue(dt);
    return true;
}

QString DatePicker::stored() const { return editing::fromPickers(date(), kept_); }

void DatePicker::setNow() { setValue(QDateTime(QDate::currentDate(), QTime::currentTime())); }

}  // namespace money
