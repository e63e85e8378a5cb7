#pragma once
// The money editors under test: a fresh database, modal windows scripted,
// what they tell the main window recorded, and a trace of the order in which
// the change log and the table were written.

#include "support/editors.h"
#include "support/fixture.h"

#include "platform/ui/forms.h"
#include "records/editing.h"
#include "records/notices.h"

#include <QComboBox>
#include <QMap>
#include <QObject>
#include <QTest>
#include <QWidget>

#include <type_traits>

namespace moneytest {

// Opens an editor as its openers do: mode and key written, then shown
// (modeless here, so the test can go on acting on it).
template <class F, class M>
F& openEditor(std::type_identity_t<M F::*> modeVar, M mode, qint64 F::*key, qint64 k)
{
    F& f = F::instance();
    f.*modeVar = mode;
    f.*key = k;
    f.Show(ui::vbModeless);
    return f;
}
template <class F>
F& openEditor(typename F::Mode mode, qint64 F::*key, qint64 k)
{
    return openEditor<F>(&F::curMode, mode, key, k);
}

// Amounts from the smallest currency keeps to the largest it holds, with the
// plain text every window shows them as.
inline const std::pair<double, const char*> kAmounts[] = {
    {0.0001, "0.0001"},   {0.5, "0.5"},           {100000, "100000"},
    {300000, "300000"},   {123456.78, "123456.78"}, {1e12, "1000000000000"},
    {-2500, "-2500"},     {922337203685477.5, "922337203685477.5"},
};

class MoneyTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // A stand-in for the main window showing `dataMode`, answering as
        // the main window does (its own answers are tested with it).
        QObject::connect(&records::notices(), &records::Notices::rowsChanged, &mainWindow,
                         [this](records::MainList list) { trace("refresh " + kRecordsets.value(list)); });
        QObject::connect(&records::notices(), &records::Notices::budgetChanged, &mainWindow, [this] {
            if (dataMode == "Budget") {
                trace("refresh BudgetRS");
            } else {
                trace("ShowBudget");
                trace("ShowGridPanel");
            }
        });
        db().Execute("CREATE TEMP TABLE seq (n INTEGER PRIMARY KEY, what TEXT)");
        db().Execute("CREATE TEMP TRIGGER seq_log AFTER INSERT ON SYNCHRO BEGIN "
                     "INSERT INTO seq (what) VALUES ('log ' || NEW.SYNCHRO_ACTION); END");
    }
    void TearDown() override
    {
        ui::FormBase::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DbTest::TearDown();
    }
    // Inserts and updates of a table join the trace.
    void watch(const QString& table)
    {
        for (const char* op : {"INSERT", "UPDATE"})
            db().Execute(QString("CREATE TEMP TRIGGER seq_%1_%2 AFTER %2 ON %1 BEGIN "
                                 "INSERT INTO seq (what) VALUES ('%3'); END")
                             .arg(table, op, QString(op).toLower()));
    }
    void trace(const QString& what) { db().Execute("INSERT INTO seq (what) SELECT ?", {what}); }
    QStringList traced()
    {
        QStringList out;
        ado::Recordset rs;
        rs.Open("SELECT what FROM seq ORDER BY n", db(), ado::adOpenForwardOnly, ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext())
            out << rs.value(0).toString();
        db().Execute("DELETE FROM seq");
        return out;
    }
    // The database refuses every write of the table.
    void refuse(const QString& table)
    {
        for (const char* op : {"INSERT", "UPDATE"})
            db().Execute(QString("CREATE TEMP TRIGGER refuse_%1_%2 BEFORE %2 ON %1 BEGIN "
                                 "SELECT RAISE(ABORT, 'the disk is full'); END")
                             .arg(table, op));
    }
    static qint64 insert(const QString& sql, const ado::Params& p = {}) { return testsupport::insertRow(sql, p); }
    QVariant cell(const QString& sql, const ado::Params& p = {}) { return db().scalar(sql, p); }
    static qlonglong logRows(const QString& table, qint64 key, int action)
    {
        return testsupport::logRows(table, key, action);
    }

    // The columns of one row as texts, "NULL" for no value; every column
    // after the key when none are named.
    QStringList rowTexts(const QString& table, qint64 key, QStringList columns = {})
    {
        ado::Recordset rs;
        rs.Open(QString("SELECT * FROM %1 WHERE %2 = ?").arg(table, db().keyColumn(table)), db(),
                ado::adOpenForwardOnly, ado::adLockReadOnly, {key});
        if (columns.isEmpty())
            for (int i = 1; i < rs.fieldCount(); ++i)
                columns << rs.fieldName(i);
        QStringList out;
        for (const QString& c : columns)
            out << (rs.value(c).isNull() ? "NULL" : editing::storedText(rs.value(c)));
        return out;
    }

    static void type(QWidget* box, const QString& text) { testsupport::retype(box, text); }
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    static QStringList items(const QComboBox* box) { return testsupport::items(box); }
    // Shows a window and makes it the active one, so focus moves as it would.
    static bool activate(QWidget* w)
    {
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w);
    }

    // The main window's recordset of each list.
    const QMap<records::MainList, QString> kRecordsets = {
        {records::MainList::Vendors, "VendorRS"}, {records::MainList::Quotes, "QuoteRS"},
        {records::MainList::Budget, "BudgetRS"},  {records::MainList::Expenses, "ExpensesRS"},
        {records::MainList::Gifts, "GiftRS"},     {records::MainList::Registry, "RegistryRS"},
        {records::MainList::Attire, "AttireRS"},  {records::MainList::Measurements, "MeasurementRS"}};
    QString dataMode = "Budget";
    QObject mainWindow;
    ui::ScriptedModalGuard modal;
};

}  // namespace moneytest
