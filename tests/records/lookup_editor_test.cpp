// The lookup lists and their editor: adding, deleting by key, logging, and
// the refresh of the window that opened it.

#include "support/datamode.h"
#include "support/editors.h"
#include "support/fixture.h"
#include "support/mainwindow.h"

#include "app/frmMain.h"
#include "guests/frmGuestDetail.h"
#include "money/frmGift.h"
#include "money/frmRegistry.h"
#include "money/frmVendor.h"
#include "platform/grid/gridex.h"
#include "records/editing.h"
#include "records/frmAddType.h"
#include "records/lookuplists.h"
#include "records/notices.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using testsupport::DbTest;

namespace {

class LookupEditor : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        QObject::connect(&records::notices(), &records::Notices::lookupListClosed, &listener,
                         [this](const ui::FormBase* from, records::Lookup list) {
                             told << (from ? from->name() : "-") + ' ' + records::lookupList(list).name;
                         });
    }
    void TearDown() override
    {
        frmAddType::instance().Unload();
        ui::FormBase::unloadAll();
        DbTest::TearDown();
    }
    QStringList listed(frmAddType& f)
    {
        QStringList out;
        for (int i = 0; i < f.lstItems->count(); ++i)
            out << f.lstItems->item(i)->text();
        return out;
    }
    frmAddType& open(records::Lookup mode, const ui::FormBase* from)
    {
        frmAddType& f = frmAddType::instance();
        f.curMode = mode;
        f.fromForm = from;
        f.Show(ui::vbModeless);
        return f;
    }
    // The caller and list of each closing, as the editor told them.
    QObject listener;
    QStringList told;
};

TEST_F(LookupEditor, EveryListAddsAndDeletesWithLogRows)
{
    ASSERT_EQ(records::lookupLists().size(), 11);
    for (const records::LookupList& l : records::lookupLists()) {
        SCOPED_TRACE(l.name);
        ASSERT_EQ(&records::lookupList(l.id), &l);
        EXPECT_EQ(db().keyColumn(l.table), QString(l.keyColumn));
        const qint64 key = records::addLookupEntry(l, "Zz test entry");
        ASSERT_GT(key, 0);
        EXPECT_EQ(db().scalar(QString("SELECT %1 FROM %2 WHERE %3 = ?").arg(l.textColumn, l.table, l.keyColumn), {key})
                      .toString(),
                  "Zz test entry");
        const auto entries = records::loadLookupEntries(l);
        ASSERT_FALSE(entries.isEmpty());
        EXPECT_EQ(entries.last().key, key);  // sorted by text: "Zz" comes last
        EXPECT_TRUE(records::deleteLookupEntry(l, key));
        EXPECT_FALSE(records::deleteLookupEntry(l, key));
        EXPECT_EQ(testsupport::logRows(l.table, key, 1), 1);
        EXPECT_EQ(testsupport::logRows(l.table, key, 3), 1);
    }
}

TEST_F(LookupEditor, EachListShowsItsTableInTextOrderUnderItsCaption)
{
    for (const records::LookupList& l : records::lookupLists()) {
        frmAddType& f = open(l.id, nullptr);
        EXPECT_EQ(listed(f), editing::columnTexts(QString("SELECT %1 FROM %2 ORDER BY %1").arg(l.textColumn, l.table)))
            << l.name;
        EXPECT_EQ(f.window()->windowTitle(), l.caption);
        f.cmdClose->click();
    }
}

TEST_F(LookupEditor, AddingTexts)
{
    frmAddType& f = open(records::Lookup::Priority, nullptr);
    const qlonglong rows = count("SELECT count(*) FROM PRIORITY");

    f.txtItem->setText("");
    f.cmdAdd->click();
    EXPECT_EQ(count("SELECT count(*) FROM PRIORITY"), rows);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);

    for (const char* text : {"  ", "Aaa first", "Aaa first"}) {
        f.txtItem->setText(text);
        f.cmdAdd->click();
        EXPECT_EQ(f.txtItem->text(), "");
    }
    EXPECT_EQ(count("SELECT count(*) FROM PRIORITY"), rows + 3);
    EXPECT_EQ(count("SELECT count(*) FROM PRIORITY WHERE PRIORITY_TEXT = '  '"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'PRIORITY' AND SYNCHRO_ACTION = 1"), 3);
    const QStringList shown = listed(f);
    EXPECT_EQ(shown.mid(0, 3), (QStringList{"  ", "Aaa first", "Aaa first"}));  // in sorted place
    EXPECT_EQ(f.entryKeys().size(), shown.size());

    // A row the database refuses leaves no log row behind, is told, and stays typed.
    db().Execute("CREATE TRIGGER no_more BEFORE INSERT ON PRIORITY BEGIN SELECT RAISE(ABORT, 'x'); END");
    f.txtItem->setText("Refused");
    f.cmdAdd->click();
    EXPECT_EQ(count("SELECT count(*) FROM PRIORITY"), rows + 3);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 3);
    EXPECT_EQ(messages.msgs->texts(), QStringList{"The changes could not be saved.\n\nx"});
    EXPECT_EQ(f.txtItem->text(), "Refused");
}

TEST_F(LookupEditor, DeletesTheSelectedEntryByKeyWithANullRowPresent)
{
    db().Execute("DELETE FROM TITLES");
    db().Execute("INSERT INTO TITLES (TITLE_TEXT) VALUES (NULL)");
    const QStringList texts = {"Dr.", "Mr.", "Mrs.", "Ms.", "Rev."};
    for (const QString& t : texts)
        db().Execute("INSERT INTO TITLES (TITLE_TEXT) VALUES (?)", {t});
    frmAddType& f = open(records::Lookup::Titles, nullptr);
    ASSERT_EQ(listed(f), (QStringList{""} + texts));  // NULL sorts first and keeps its entry

    // Nothing selected: nothing changes.
    f.lstItems->clearSelection();
    f.lstItems->setCurrentRow(-1);
    f.Command1->click();
    EXPECT_EQ(count("SELECT count(*) FROM TITLES"), 6);

    const qint64 mrs = db().scalar("SELECT TITLE_ID FROM TITLES WHERE TITLE_TEXT = 'Mrs.'").toLongLong();
    f.lstItems->setCurrentRow(3);
    ASSERT_EQ(f.lstItems->currentItem()->text(), "Mrs.");
    f.Command1->click();
    EXPECT_EQ(listed(f), (QStringList{"", "Dr.", "Mr.", "Ms.", "Rev."}));
    EXPECT_EQ(count("SELECT count(*) FROM TITLES WHERE TITLE_ID = ?", {mrs}), 0);
    EXPECT_EQ(testsupport::logRows("TITLES", mrs, 3), 1);

    // The list went stale (a row added behind its back): the selected entry
    // is still the one deleted.
    db().Execute("INSERT INTO TITLES (TITLE_TEXT) VALUES ('Aaa')");
    const qint64 ms = db().scalar("SELECT TITLE_ID FROM TITLES WHERE TITLE_TEXT = 'Ms.'").toLongLong();
    f.lstItems->setCurrentRow(3);
    f.Command1->click();
    EXPECT_EQ(count("SELECT count(*) FROM TITLES WHERE TITLE_ID = ?", {ms}), 0);
    EXPECT_EQ(count("SELECT count(*) FROM TITLES WHERE TITLE_TEXT = 'Mr.'"), 1);
    EXPECT_EQ(listed(f), (QStringList{"", "Aaa", "Dr.", "Mr.", "Rev."}));

    // The text-less row itself can be deleted too.
    f.lstItems->setCurrentRow(0);
    f.Command1->click();
    EXPECT_EQ(count("SELECT count(*) FROM TITLES WHERE TITLE_TEXT IS NULL"), 0);
}

TEST_F(LookupEditor, ClosingTellsItsCallerOnEveryClose)
{
    open(records::Lookup::Stores, &frmGift::instance()).cmdClose->click();
    open(records::Lookup::Stores, &frmGift::instance()).window()->close();  // the close box tells too
    EXPECT_EQ(told, (QStringList{"frmGift Stores", "frmGift Stores"}));

    // A menu command that writes only the list keeps the earlier caller.
    told.clear();
    frmAddType& f = open(records::Lookup::GuestTypes, &frmGuestDetail::instance());
    f.cmdClose->click();
    f.curMode = records::Lookup::Titles;
    f.Show(ui::vbModeless);
    f.cmdClose->click();
    EXPECT_EQ(told, (QStringList{"frmGuestDetail GuestTypes", "frmGuestDetail Titles"}));
    EXPECT_FALSE(frmAddType::instance().isLoaded());
}

TEST_F(LookupEditor, OnlyTheWindowThatOpenedItFillsItsListsAgain)
{
    // Three callers open: the guest editor fills both its lists again, the
    // registry editor only the list edited.
    frmGuestDetail& guest = frmGuestDetail::instance();
    guest.curMode = frmGuestDetail::Mode::New;
    guest.Show(ui::vbModeless);
    frmRegistry& registry = frmRegistry::instance();
    registry.registryMode = frmRegistry::Mode::Add;
    registry.Show(ui::vbModeless);
    frmGift& gift = frmGift::instance();
    gift.giftMode = frmGift::Mode::Add;
    gift.Show(ui::vbModeless);
    const struct {
        const char* table;
        const char* column;
        QComboBox* box;
        const char* name;
    } boxes[] = {
        {"TITLES", "TITLE_TEXT", guest.cmbTitle, "guest titles"},
        {"GUESTTYPE", "GUESTTYPE_TEXT", guest.cmbCategory, "guest types"},
        {"GIFTSTORE", "GIFTSTORE_NAME", registry.Combo1[0], "registry stores"},
        {"GIFT_CATEGORY", "GIFT_CAT_TEXT", registry.Combo1[1], "registry categories"},
        {"GIFTSTORE", "GIFTSTORE_NAME", gift.Combo1[1], "gift stores"},
    };
    using records::Lookup;
    const struct {
        const ui::FormBase* from;
        Lookup list;
        QStringList refilled;
    } cases[] = {
        {&guest, Lookup::Titles, {"guest titles", "guest types"}},
        {&guest, Lookup::Priority, {"guest titles", "guest types"}},
        {&registry, Lookup::Stores, {"registry stores"}},
        {&registry, Lookup::Category, {"registry categories"}},
        {&registry, Lookup::Titles, {}},
        {&gift, Lookup::Stores, {"gift stores"}},
        {&frmVendor::instance(), Lookup::Stores, {}},  // not open
        {nullptr, Lookup::Titles, {}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(n);
        const QString entry = QString("Zz entry %1").arg(++n);
        for (const auto& b : boxes)
            db().Execute(QString("INSERT INTO %1 (%2) VALUES (?)").arg(b.table, b.column), {entry});
        open(c.list, c.from).cmdClose->click();
        QStringList refilled;
        for (const auto& b : boxes)
            if (testsupport::items(b.box).contains(entry))
                refilled << b.name;
        EXPECT_EQ(refilled, c.refilled);
    }

    // Opened by an editor's own button beside the others.
    for (QPushButton* edit : {registry.cmdAddStore, gift.cmdAddStore}) {
        const QString entry = QString("Zz entry %1").arg(++n);
        QTest::mouseClick(edit, Qt::LeftButton);
        frmAddType& t = frmAddType::instance();
        ASSERT_TRUE(t.isLoaded());
        QTest::keyClicks(t.txtItem, entry);
        QTest::mouseClick(t.cmdAdd, Qt::LeftButton);
        QTest::mouseClick(t.cmdClose, Qt::LeftButton);
        EXPECT_EQ(testsupport::items(registry.Combo1[0]).contains(entry), edit == registry.cmdAddStore);
        EXPECT_EQ(testsupport::items(gift.Combo1[1]).contains(entry), edit == gift.cmdAddStore);
    }
}

TEST_F(LookupEditor, ASecondOpenerDoesNotRetargetTheOpenEditor)
{
    const qlonglong priorities = count("SELECT count(*) FROM PRIORITY");
    const qlonglong titles = count("SELECT count(*) FROM TITLES");
    frmAddType& f = open(records::Lookup::Titles, &frmGuestDetail::instance());
    f.window()->show();
    ASSERT_GE(f.lstItems->count(), 2);

    // Another editor asks for the priorities while the titles are open; one
    // writes its keys and shows the window, one only writes them.
    for (const bool shows : {true, false}) {
        SCOPED_TRACE(shows);
        f.curMode = records::Lookup::Priority;
        f.fromForm = &frmRegistry::instance();
        if (shows)
            f.Show(ui::vbModeless);
        EXPECT_EQ(f.window()->windowTitle(), "Modify Titles");
        EXPECT_EQ(listed(f), editing::columnTexts("SELECT TITLE_TEXT FROM TITLES ORDER BY TITLE_TEXT"));
        QListWidgetItem* second = f.lstItems->item(1);
        const QString text = second->text();
        QTest::mouseClick(f.lstItems->viewport(), Qt::LeftButton, {}, f.lstItems->visualItemRect(second).center());
        ASSERT_TRUE(second->isSelected());
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        EXPECT_EQ(count("SELECT count(*) FROM PRIORITY"), priorities);
        EXPECT_EQ(count("SELECT count(*) FROM TITLES WHERE TITLE_TEXT = ?", {text}), 0);
        QTest::keyClicks(f.txtItem, "Zed");
        QTest::mouseClick(f.cmdAdd, Qt::LeftButton);
        EXPECT_EQ(count("SELECT count(*) FROM TITLES WHERE TITLE_TEXT = 'Zed'"), shows ? 1 : 2);
    }
    EXPECT_EQ(count("SELECT count(*) FROM TITLES"), titles);
    EXPECT_EQ(count("SELECT count(*) FROM PRIORITY"), priorities);
    // Its callers are told the list it edits.
    EXPECT_EQ(f.editedList(), records::Lookup::Titles);
    // Closing refreshes the editor that opened it.
    QTest::mouseClick(f.cmdClose, Qt::LeftButton);
    EXPECT_EQ(told, QStringList{"frmGuestDetail Titles"});
}

}  // namespace

namespace {

using LookupFromMainMenu = testsupport::MainWindowTest<LookupEditor>;

TEST_F(LookupFromMainMenu, AMainRefreshShowsItsViewInTheGridPanel)
{
    frmMain& m = frmMain::instance();
    m.Load();
    using records::Lookup;
    const struct {
        Lookup list;
        const char* shown;  // the view shown when the editor closes
        const char* after;
    } cases[] = {
        {Lookup::Stores, "Gifts", "Gifts"},
        {Lookup::Stores, "AllTasks", "Registry"},
        {Lookup::Category, "Gifts", "Registry"},
        {Lookup::BudgetCategory, "Vendors", "Budget"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(records::lookupList(c.list).name);
        m.ShowPanel(m.frameDate);
        m.curDataMode = testsupport::dataModeNamed(c.shown);
        open(c.list, &m).cmdClose->click();
        EXPECT_EQ(views::dataModeName(m.curDataMode), c.after);
        EXPECT_EQ(m.curFrameName(), "frameDataGrid");
        EXPECT_TRUE(m.GridEX1->recordset() && m.GridEX1->recordset()->isOpen());
    }
    EXPECT_EQ(m.GridEX1->recordset(), m.BudgetRS);

    // A list the main window does not show refreshes nothing.
    m.ShowPanel(m.frameDate);
    open(records::Lookup::Event, &m).cmdClose->click();
    EXPECT_EQ(m.curFrameName(), "frameDate");
    EXPECT_EQ(m.curDataMode, views::DataMode::Budget);
}

}  // namespace
