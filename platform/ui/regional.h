#pragma once
// The user's regional forms: dates, times, numbers and amounts are shown and
// read as the user's locale writes them (the default locale, which the
// program takes from the system). What is stored never depends on them; the
// messages stay in English.

#include "platform/ado/ado.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>
#include <QVariant>

namespace regional {

// The system's locale made the default; "C" (no regional choice at all)
// gives the US forms. The program calls it once at start.
void useSystemForms();

// A date in the locale's short form with four-digit years (8/14/2027,
// 14/08/2027, 14.08.2027); a time of day in its short form, with seconds
// when it has any (2:30 PM, 14:30, 14:30:15); a moment as its date, with
// its time unless midnight, and a time alone (on 1899-12-30) as its time.
QString dateText(const QDate& d);
QString timeText(const QTime& t);
QString momentText(const QDateTime& dt);
// A number with the locale's decimal separator and no group separators,
// only the decimals it needs (1234.5, 1234,5).
QString numberText(double v);
// An amount of whole ten-thousandths in the locale's currency form, its
// digits grouped as the locale groups them, with its stored decimals and at
// least the cents ($1,234.50, ($8.875), 1.234,50 €, ₹1,23,45,678.50).
QString amountText(qint64 tenThousandths);
// A value as the user reads it in a box: "" for none, numbers, dates and
// times in the forms above, anything else as its text.
QString shownText(const QVariant& v);

// The forms the user is asked for: "MM/DD/YYYY", "DD/MM/YYYY", "DD.MM.YYYY";
// "H:MM AM/PM", "HH:MM".
QString dateForm();
QString timeForm();

// Typed text in the locale's forms (ado::convert::readDate and the rest).
bool readDate(const QString& text, QDate& out);
bool readTime(const QString& text, QTime& out);
bool readNumber(const QString& text, double& out);
bool readAmount(const QString& text, double& out);
// A typed text as a value of a column of that kind: a date-time, a number,
// an amount, Yes or No; a text column's text as it stands. False when the
// text is none of these.
bool readValue(ado::ColumnKind kind, const QString& text, QVariant& out);

// Why a typed text was refused, naming the form asked for ("\"x\" is not a
// date. Please type a date as DD/MM/YYYY, such as 14/08/2027.").
QString notADate(const QString& typed);
QString notATime(const QString& typed);
QString notANumber(const QString& typed);
QString refusal(ado::ColumnKind kind, const QString& typed);

}  // namespace regional
