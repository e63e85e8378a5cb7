// Two copies exchanging replicas through the Synchronize window while each
// goes on working on its one open connection: imports, editors and plain
// statements after a merge keep every rule of the data layer; two copies of
// one file swap replicas, and a third copy's replica is refused.

#include "support/fixture.h"
#include "support/twocopies.h"

#include "guests/frmImportData.h"
#include "money/frmVendor.h"
#include "platform/ui/dialogs.h"
#include "records/cascade.h"
#include "records/frmSynchronize.h"
#include "support/editors.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <map>

using namespace testsupport;

namespace {

class ExchangeByWindows : public TwoCopiesTest {
protected:
    void TearDown() override
    {
        sync().chooseFile = nullptr;
        ui::FormBase::unloadAll();
        flushPosted();
        TwoCopiesTest::TearDown();
    }
    static void flushPosted() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    // Three fresh copies for the next case, no window open.
    void fresh()
    {
        ui::FormBase::unloadAll();
        make(A, 17);
        make(B, 42);
        make(C, 99);
        current = nullptr;
        made.clear();
        keys.clear();
        replicas.clear();
        said.clear();
    }
    static frmSynchronize& sync() { return frmSynchronize::instance(); }
    Copy& copy(QChar c) { return c == 'A' ? A : c == 'B' ? B : C; }

    // Presses a button of the Synchronize window with the file chosen in its dialog.
    void pressWithFile(QPushButton* frmSynchronize::*button, const QString& file)
    {
        if (!sync().isLoaded())
            sync().Load();
        sync().chooseFile = [file](const frmSynchronize::FileRequest&) { return file; };
        messages.msgs->shown.clear();
        QTest::mouseClick(sync().*button, Qt::LeftButton);
    }
    // A party through the import window, from a CSV file with a header.
    void importParty(const QString& name)
    {
        const QString file = A.dir.filePath("import.csv");
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QString("\"Party Name\",\"First Name\"\r\n\"%1\",\"Zoë\"\r\n").arg(name).toUtf8());
        f.close();
        frmImportData& w = frmImportData::instance();
        w.Show(ui::vbModeless);
        messages.msgs->shown.clear();
        dialogs.dialogs->files << file;
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        for (const char* field : {"Party Name", "First Name"}) {
            for (QListWidget* l : {w.lstSource, w.lstTarget}) {
                const auto found = l->findItems(field, Qt::MatchExactly);
                ASSERT_FALSE(found.isEmpty()) << field;
                QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(found.first()).center());
            }
            QTest::mouseClick(w.cmdLink, Qt::LeftButton);
        }
        messages.msgs->answers << ui::vbYes;
        QTest::mouseClick(w.cmdImport, Qt::LeftButton);
        ASSERT_EQ(messages.msgs->texts().value(1), "Successfully added 1 records.")
            << messages.msgs->texts().join(" | ").toStdString();
        messages.msgs->shown.clear();
    }
    // A vendor through the vendor editor.
    void saveVendor(const QString& name)
    {
        frmVendor& f = frmVendor::instance();
        f.curMode = frmVendor::Mode::Add;
        f.Show(ui::vbModeless);
        retype(f.Text1[0], name);
        QTest::mouseClick(f.cmdSave, Qt::LeftButton);
        ASSERT_FALSE(f.isLoaded());
    }

    // Runs steps such as "A > 1" (A prepares replica 1 in its window), "B < 1"
    // (B merges it in its window, answering Yes when asked to take a new
    // number), "C <! 1" (C's window refuses it), "B = A" (B's file becomes a
    // copy of A's), "A import Ivy", "A vendor Bloom", "A add Bea" (a party
    // written by the data layer), "A party Bea Ann" (a party with a person),
    // "A rename Bea Bee" (the party under the key Bea was added with), "A
    // money Cake" (an amount typed as text into a money column by a
    // statement) and "A pragma" (a statement that drops every TEMP object of
    // the connection). A copy keeps its connection from one step to the next.
    void run(const QStringList& steps)
    {
        for (const QString& step : steps) {
            SCOPED_TRACE(step.toStdString());
            const QStringList w = step.split(' ');
            Copy& c = copy(w[0][0]);
            if (w[1] == "=") {
                ui::FormBase::unloadAll();
                flushPosted();
                db().Close();
                current = nullptr;
                QFile::remove(c.working());
                ASSERT_TRUE(QFile::copy(copy(w[2][0]).working(), c.working()));
                continue;
            }
            if (current != &c) {
                ui::FormBase::unloadAll();
                flushPosted();
                use(c);
            }
            const QString what = w[1], name = w.value(2);
            if (what == ">") {
                replicas[name] = c.path("/r" + name + ".qvd");
                pressWithFile(&frmSynchronize::cmdPrepare, replicas[name]);
                ASSERT_TRUE(QFileInfo::exists(replicas[name]));
            } else if (what == "<" || what == "<!") {
                const QString before = dump();
                messages.msgs->answers = {ui::vbYes};  // to taking a new number, when asked
                pressWithFile(&frmSynchronize::cmdSynchronize, replicas.at(name));
                said << messages.msgs->texts().join('\n');
                if (what == "<!")
                    EXPECT_EQ(dump(), before);
                else
                    ASSERT_TRUE(messages.msgs->texts().last().startsWith("Synchronization complete.")) << said.last().toStdString();
            } else if (what == "party") {
                keys[name] = addGuest(name);
                addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME", {keys[name], w.value(3)});
            } else if (what == "rename") {
                renameGuest(keys.at(name), w.value(3));
            } else if (what == "import") {
                importParty(name);
                made[name] = c.number;
            } else if (what == "vendor") {
                saveVendor(name);
                made[name] = c.number;
            } else if (what == "add") {
                addGuest(name);
                made[name] = c.number;
            } else if (what == "money") {
                db().Execute("INSERT INTO EXPENSES (EXPENSE_TEXT, EXPENSE_AMTPAID) VALUES (?, ?)",
                             {name, QString("$1,234.50")});
                log("EXPENSES", db().lastInsertId(), modSynchro::Added);
                EXPECT_EQ(rows("SELECT typeof(EXPENSE_AMTPAID), EXPENSE_AMTPAID FROM EXPENSES WHERE EXPENSE_TEXT = '"
                               + name + "'"),
                          "3:real|2:1234.5\n");
                made[name] = c.number;
            } else if (what == "pragma") {
                db().Execute("PRAGMA temp_store = FILE");
            }
        }
    }
    // Every record made in the steps, with the number of the copy whose range its key is in.
    QString records()
    {
        QStringList out;
        const QString sql = "SELECT GUEST_PARTYNAME, GUEST_ID FROM GUEST UNION ALL SELECT VENDOR_NAME, VENDOR_ID FROM "
                            "VENDOR UNION ALL SELECT EXPENSE_TEXT, EXPENSE_ID FROM EXPENSES ORDER BY 1";
        db().forEachRow(sql, {}, [&](const ado::Row& r) {
            out << r.text(0) + "@" + QString::number(r.integer(1) / ado::Connection::kKeyRange);
        });
        return out.join(' ');
    }
    QString expected()
    {
        QStringList out;
        for (const auto& [name, number] : made)
            out << name + "@" + QString::number(number);
        return out.join(' ');
    }

    qlonglong count(const QString& sql) { return db().scalar(sql).toLongLong(); }

    ui::ScriptedDialogsGuard dialogs;
    std::map<QString, QString> replicas;
    std::map<QString, int> made;
    std::map<QString, qint64> keys;  // of the parties added
    QStringList said;                // what each merge said
    Copy C;
};

TEST_F(ExchangeByWindows, TheWriteRulesHoldAcrossPrepareMergeImportAndSaves)
{
    // Each copy goes on working after a merge on the connection the merge
    // ran on; then the two exchange in either order.
    const QStringList aMergesFirst = {"B add Bea",      "B vendor Bloom", "B > 1",       "A add Ann",
                                      "A > 0",          "A < 1",          "A import Ivy", "A vendor Alder",
                                      "A money Cake",   "A pragma",       "A import Ida", "B add Bo",
                                      "B vendor Briar", "B money Band"};
    const QStringList bMergesFirst = {"A add Ann",      "A vendor Alder", "A > 1",       "B add Bea",
                                      "B > 0",          "B < 1",          "B import Ivy", "B vendor Bloom",
                                      "B money Cake",   "B pragma",       "B import Ida", "A add Al",
                                      "A vendor Aspen", "A money Band"};
    const struct {
        const char* name;
        QStringList steps;
    } cases[] = {
        {"A merges, imports; A's replica first", aMergesFirst + QStringList{"A > 2", "B < 2", "B > 3", "A < 3"}},
        {"A merges, imports; B's replica first", aMergesFirst + QStringList{"B > 2", "A < 2", "A > 3", "B < 3"}},
        {"B merges, imports; B's replica first", bMergesFirst + QStringList{"B > 2", "A < 2", "A > 3", "B < 3"}},
        {"B merges, imports; A's replica first", bMergesFirst + QStringList{"A > 2", "B < 2", "B > 3", "A < 3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        run(c.steps);
        for (Copy* x : {&A, &B}) {
            use(*x);
            EXPECT_EQ(records(), expected()) << "on copy " << x->number;
        }
    }
}

TEST_F(ExchangeByWindows, RecordsThatNameARecordNobodyHasAreSkipped)
{
    // What B writes and logs, given its event, party, person and table; -1
    // names a record of B's range that exists in neither copy.
    struct Row {
        const char* table;
        const char* columns;
        QList<int> refs;  // 0 event, 1 party, 2 person, 3 table, -1 nowhere
    };
    const struct {
        const char* name;
        QList<Row> rows;
        bool eventDeletedOnA;  // A deleted B's event after an earlier exchange
        int skipped;
    } cases[] = {
        {"invitation to no event", {{"INVITE", "EVENT_ID, SUBGUEST_ID", {-1, 2}}}, false, 1},
        {"invitation of no person", {{"INVITE", "EVENT_ID, SUBGUEST_ID", {0, -1}}}, false, 1},
        {"person of no party", {{"SUBGUEST", "GUEST_ID", {-1}}}, false, 1},
        {"seat at no table", {{"SEATING", "TABLE_ID, SUBGUEST_ID", {-1, 2}}}, false, 1},
        {"quote of no vendor", {{"QUOTE", "VENDOR_ID", {-1}}}, false, 1},
        {"menu of no event", {{"EVENT_FOOD", "EVENT_ID", {-1}}}, false, 1},
        {"table of no event, with a seat",
         {{"TABLES", "EVENT_ID", {-1}}, {"SEATING", "TABLE_ID, SUBGUEST_ID", {-2, 2}}}, false, 2},
        // A genuine exchange: the other copy invites someone to an event
        // this copy deleted meanwhile. The deletion wins.
        {"invitation to an event deleted here", {{"INVITE", "EVENT_ID, SUBGUEST_ID", {0, 2}}}, true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui::FormBase::unloadAll();
        make(A, 17);
        make(B, 42);
        use(B);
        const qint64 event = addRecord("EVENT", "EVENT_NAME", {QString("Réception au château")});
        const qint64 party = addRecord("GUEST", "GUEST_PARTYNAME", {QString("Müller-Lüdenscheidt Family")});
        const qint64 person = addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME", {party, QString("Zoë")});
        const qint64 table = addRecord("TABLES", "EVENT_ID, TABLE_NAME", {event, QString("Table des mariés")});
        QList<qint64> keys = {event, party, person, table};
        if (c.eventDeletedOnA) {
            run({"B > 1", "A < 1"});
            ASSERT_TRUE(records::deleteRecord(records::DeleteKind::Event, event).ok);
        }
        use(B);
        const qint64 nowhere = db().reserveKey("EVENT") + 500;
        for (const Row& r : c.rows) {
            ado::Params values;
            for (int ref : r.refs)
                values << (ref == -1 ? nowhere : ref == -2 ? keys.last() : keys[ref]);
            keys << addRecord(r.table, r.columns, values);
        }
        run({"B > 2", "A < 2"});
        const QString shown = messages.msgs->texts().value(0);
        if (c.skipped > 0)
            EXPECT_TRUE(shown.contains(QString("were applied and %1 skipped").arg(c.skipped))) << shown.toStdString();
        else
            EXPECT_TRUE(shown.contains("skipped")) << shown.toStdString();
        EXPECT_EQ(orphansOf(db().handle()), "");
        for (int i = 0; i < c.rows.size(); ++i)
            EXPECT_EQ(count(QString("SELECT count(*) FROM %1 WHERE rowid = %2").arg(c.rows[i].table).arg(keys[4 + i])),
                      0)
                << c.rows[i].table;
    }
}

}  // namespace

namespace {

TEST_F(ExchangeByWindows, TwoCopiesOfOneFileThatSwapReplicasKeepEveryRecordOnce)
{
    // B is a file copy of A; each adds a party with a person under the same
    // next key, and the two exchange their first replicas in every order.
    const QStringList copied = {"A add Shared", "B = A", "A party Adams Ann", "B party Baker Bea"};
    const struct {
        const char* name;
        QStringList first;
    } cases[] = {
        {"both prepare, A merges first", {"A > 1", "B > 2", "A < 2", "B < 1"}},
        {"both prepare, B merges first", {"A > 1", "B > 2", "B < 1", "A < 2"}},
        {"A's replica first, then B's", {"A > 1", "B < 1", "B > 2", "A < 2"}},
        {"B's replica first, then A's", {"B > 2", "A < 2", "A > 1", "B < 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        run(copied + c.first + QStringList{"A > 3", "B > 4", "A < 4", "B < 3"});
        const qint64 clash = keys.at("Adams");
        ASSERT_EQ(keys.at("Baker"), clash);
        // The party A holds under the clashing key is edited in A.
        use(A);
        keys["Edited"] = clash;
        QString expected = "3:Adams|3:Ann\n3:Baker|3:Bea\n";
        expected.replace(rows("SELECT GUEST_PARTYNAME FROM GUEST WHERE GUEST_ID = " + QString::number(clash)).chopped(1),
                         "3:Cole");
        run({"A rename Edited Cole", "A > 5", "B < 5"});
        // Each party once with its person, the key naming one record in both;
        // exactly one of the two took a new number.
        QString onA;
        QList<int> numbers;
        for (Copy* x : {&A, &B}) {
            use(*x);
            numbers << db().copyNumber();
            EXPECT_EQ(rows("SELECT GUEST_PARTYNAME, SUBGUEST_FNAME FROM GUEST JOIN SUBGUEST USING (GUEST_ID) ORDER BY 2"),
                      expected);
            EXPECT_EQ(rows("SELECT count(*) FROM GUEST WHERE GUEST_ID <> " + QString::number(clash)), "1:2\n");
            EXPECT_EQ(orphansOf(db().handle()), "");
            const QString all = rows("SELECT * FROM GUEST ORDER BY 1") + rows("SELECT * FROM SUBGUEST ORDER BY 1");
            EXPECT_EQ(all, onA.isEmpty() ? (onA = all) : onA);
        }
        EXPECT_TRUE(numbers[0] != numbers[1] && numbers.contains(17)) << numbers[0] << " " << numbers[1];
        // In a swap the copy that keeps its number says what waits for the other's next replica.
        if (QString(c.name).startsWith("both")) {
            EXPECT_EQ(said.filter("come with the other copy's next replica").size(), 1) << said.join("\n---\n").toStdString();
        }
    }
}

TEST_F(ExchangeByWindows, AReplicaOfAThirdCopyIsRefusedAsOne)
{
    // A sends its wedding to B and to C; C exchanges with A only.
    const QString third = "This replica comes from copy number 42, a third copy of the wedding: this copy exchanges "
                          "its changes with another one.  A wedding is kept in step between two copies only.  "
                          "Nothing was changed.";
    const QString partnered = "This replica comes from copy number 17, which exchanges its changes with a third copy "
                              "of the wedding.  A wedding is kept in step between two copies only.  Nothing was "
                              "changed.";
    const QStringList sent = {"A party Adams Ann", "A > 1", "B < 1", "C < 1"};
    const struct {
        const char* name;
        QStringList steps;
        QString refusal;
        QString onC;  // the parties C holds at the end
    } cases[] = {
        {"the other receiver's correction", sent + QStringList{"B rename Adams Addams", "B > 2", "C <! 2",
                                                                "A rename Adams Adam", "A > 3", "C < 3"},
         third, "Adam"},
        {"a copy that exchanges with the third",
         sent + QStringList{"B party Baker Bea", "B > 2", "A < 2", "A > 3", "C <! 3"}, partnered, "Adams"},
        {"an earlier file, which names no partner", sent + QStringList{"C forget", "B > 2", "C <! 2"}, third, "Adams"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        for (const QString& step : c.steps) {
            if (step == "C forget") {  // as an earlier build left it
                ui::FormBase::unloadAll();
                use(C);
                db().Execute("DELETE FROM SYNCHRO_PARTNER");
                continue;
            }
            run({step});
        }
        EXPECT_TRUE(said.contains(c.refusal)) << said.join("\n---\n").toStdString();
        use(C);
        EXPECT_EQ(rows("SELECT group_concat(GUEST_PARTYNAME) FROM GUEST"), "3:" + c.onC + "\n");
        // The window says so.
        sync().Load();
        EXPECT_TRUE(sync().Label3->text().contains("between two copies"));
    }
}

}  // namespace
