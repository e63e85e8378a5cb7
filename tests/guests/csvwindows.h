#pragma once
// What the tests of the guest import and export windows share: a database,
// scripted message boxes and file dialogs, a folder for the files, and
// clicks on list entries and buttons the way a user makes them.

#include "support/editors.h"
#include "support/fixture.h"

#include "platform/ui/dialogs.h"

#include <QAbstractButton>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace testsupport {

class CsvWindowTest : public DbTest {
protected:
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = files.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QStringList entries(const QListWidget* l)
    {
        QStringList out;
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text();
        return out;
    }
    // Near the left edge, where an option button's circle and caption are.
    static void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); }
    // Clicks the first entry of that text; false when the list has none.
    static bool clickEntry(QListWidget* l, const QString& text)
    {
        const QList<QListWidgetItem*> found = l->findItems(text, Qt::MatchExactly);
        if (found.isEmpty())
            return false;
        l->scrollToItem(found.first());
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(found.first()).center());
        return true;
    }
    QStringList shownMessages() const { return messages.msgs->texts(); }
    void answer(std::initializer_list<int> answers) { messages.msgs->answers << QList<int>(answers); }
    static qint64 insert(const QString& sql, const ado::Params& p = {}) { return insertRow(sql, p); }
    qint64 addParty(const QString& name, const QString& phone = QString())
    {
        return insert("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_PHONE1) VALUES (?, ?)", {name, phone});
    }
    qint64 addPerson(qint64 party, const QString& first, const QString& last = QString())
    {
        return insert("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES (?, ?, ?)",
                      {party, first, last});
    }

    QTemporaryDir files;
    ui::ScriptedDialogsGuard dialogs;
};

}  // namespace testsupport
