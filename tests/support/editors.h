#pragma once
// What the editor tests share: rows written and their log rows counted on
// the shared connection, boxes typed over and tabs clicked as a user does,
// and the folder screenshots are saved in.

#include "records/modQVDatabase.h"
#include "support/userinput.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QTabBar>
#include <QTest>
#include <QWidget>

namespace testsupport {

// Runs an insert and gives the new row's key.
inline qint64 insertRow(const QString& sql, const ado::Params& p = {})
{
    modQVDatabase::gConn.Execute(sql, p);
    return modQVDatabase::gConn.scalar("SELECT last_insert_rowid()").toLongLong();
}

// The log rows of one record and action.
inline qlonglong logRows(const QString& table, qint64 key, int action)
{
    return modQVDatabase::gConn
        .scalar("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ? AND SYNCHRO_ACTION = ?",
                {table, key, action})
        .toLongLong();
}

// The rows of each table named: "GUEST SUBGUEST" gives "2 1".
inline QString counts(const QString& tables)
{
    QStringList out;
    for (const QString& t : tables.split(' '))
        out << modQVDatabase::gConn.scalar("SELECT count(*) FROM " + t).toString();
    return out.join(' ');
}

// Types over a box: everything in it selected and deleted, then the text
// typed key by key, Return between its lines.
inline void retype(QWidget* box, const QString& text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        keyClicks(box, lines[i]);
    }
}

inline QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// Clicks the tab of that caption.
inline void clickTab(QTabBar* t, const QString& caption)
{
    for (int i = 0; i < t->count(); ++i)
        if (t->tabText(i) == caption) {
            QTest::mouseClick(t, Qt::LeftButton, {}, t->tabRect(i).center());
            return;
        }
    ADD_FAILURE() << "no tab " << caption.toStdString();
}

// Saves what a widget shows as dir/name.png, once pending events are done.
inline void snap(QWidget* w, const QString& dir, const QString& name)
{
    QCoreApplication::processEvents();
    w->grab().save(dir + '/' + name + ".png");
}

}  // namespace testsupport

// Names the folder of NUPTARO_SCREENSHOTS, or skips the test when it is not set.
#define NUPTARO_SCREENSHOTS_OR_SKIP(dir)                        \
    const QString dir = qEnvironmentVariable("NUPTARO_SCREENSHOTS"); \
    if (dir.isEmpty())                                          \
    GTEST_SKIP() << "NUPTARO_SCREENSHOTS not set"
