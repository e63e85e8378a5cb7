// Every kind of editor, shown and typed into as a user does: a save stores
// what the user changed over what another window or a merge changed
// meanwhile, a record that cannot be read leaves nothing to save, a close
// asks about typing not yet saved (of any length), a lookup refill keeps
// what the boxes show.

#include "support/editors.h"
#include "support/twocopies.h"
#include "support/userinput.h"

#include "events/frmEventInfo.h"
#include "events/frmEventTasks.h"
#include "guests/frmGuestDetail.h"
#include "guests/frmNewSubguest.h"
#include "money/frmAddBudget.h"
#include "money/frmAddExpense.h"
#include "money/frmAttire.h"
#include "money/frmGift.h"
#include "money/frmMeasure.h"
#include "money/frmQuote.h"
#include "money/frmRegistry.h"
#include "money/frmVendor.h"
#include "platform/ui/boxes.h"
#include "records/cascade.h"
#include "records/frmAddType.h"
#include "records/frmDeleteSingle.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

namespace {

using testsupport::retype;

// An editor kind: its record, the box the user types into and the one whose
// column another window or the merge changes meanwhile, and the lookup list
// beside one of its boxes.
struct Kind {
    const char* name;
    const char* table;
    const char *typedColumn, *typedBox, *otherColumn, *otherBox;
    std::function<ui::FormBase&(qint64)> open;
    const char* save;
    const char* more = nullptr;  // completes the record: its party, a name the save needs
    const char *lookupButton = nullptr, *lookupTable = nullptr;  // beside otherBox, which holds its entry
};

template <class F, class C, class Mode, class Key>
std::function<ui::FormBase&(qint64)> opener(Mode C::*mode, Key C::*key)
{
    return [=](qint64 k) -> ui::FormBase& {
        F& f = F::instance();
        f.*mode = Mode::Edit;
        f.*key = k;
        f.Show(ui::vbModeless);
        return f;
    };
}

const Kind kKinds[] = {
    {"party", "GUEST", "GUEST_CITY", "Text1_5", "GUEST_TITLE", "cmbTitle",
     opener<frmGuestDetail>(&frmGuestDetail::curMode, &frmGuestDetail::curRec), "cmdAdd", nullptr, "cmdAddTitle", "TITLES"},
    {"person", "SUBGUEST", "SUBGUEST_PHONE", "Text1_2", "SUBGUEST_TITLE", "cmbTitles",
     opener<frmNewSubguest>(&frmNewSubguest::curMode, &frmNewSubguest::subguestID), "cmdAdd",
     "UPDATE SUBGUEST SET GUEST_ID = (SELECT max(GUEST_ID) FROM GUEST) WHERE SUBGUEST_ID = ?", "cmdAddTitle",
     "TITLES"},
    {"event", "EVENT", "EVENT_NAME", "txtName", "EVENT_TEXT", "txtNotes",
     opener<frmEventInfo>(&frmEventInfo::curMode, &frmEventInfo::curEvent), "cmdSave",
     "UPDATE EVENT SET EVENT_STARTDATE = '2027-08-14 18:00:00' WHERE EVENT_ID = ?"},
    {"task", "TASKS", "TASK_NAME", "txtName", "TASK_ASSIGN", "cmbAssignee",
     opener<frmEventTasks>(&frmEventTasks::curMode, &frmEventTasks::curTaskID), "cmdSave", nullptr, "cmdEditAssignee", "ASSIGNEE"},
    {"vendor", "VENDOR", "VENDOR_CITY", "Text1(4)", "VENDOR_TYPE", "cmbVendorTypes",
     opener<frmVendor>(&frmVendor::curMode, &frmVendor::vendorID), "cmdSave", nullptr, "cmdAddCategory", "VENDORTYPE"},
    {"quote", "QUOTE", "QUOTE_PRODUCT", "Text1(0)", "QUOTE_DETAILS", "Text1(1)",
     opener<frmQuote>(&frmQuote::curMode, &frmQuote::curQuote), "cmdSave"},
    {"budget item", "BUDGET", "BUDGET_NAME", "Text1(0)", "BUDGET_WHOPAYS", "Combo1(2)",
     opener<frmAddBudget>(&frmAddBudget::curMode, &frmAddBudget::curBudgetID), "cmdSave", nullptr, "cmdEditAssignees", "ASSIGNEE"},
    {"expense", "EXPENSES", "EXPENSE_TEXT", "Text1(0)", "EXPENSE_WHOPAYS", "Combo1(2)",
     opener<frmAddExpense>(&frmAddExpense::curMode, &frmAddExpense::curBudgetID), "cmdSave", nullptr, "cmdEditAssignees",
     "ASSIGNEE"},
    {"attire", "ATTIRE", "ATTIRE_ITEM", "Text1(0)", "ATTIRE_TYPE", "Combo1(2)",
     opener<frmAttire>(&frmAttire::curMode, &frmAttire::curAttireID), "cmdSave", nullptr, "cmdEditAttireType", "ATTIRE_TYPE"},
    {"female measurement", "MEASURE_FEMALE", "MEASURE_FEMALE_HEIGHT", "Text1(0)", "MEASURE_FEMALE_WAIST", "Text1(1)",
     opener<frmMeasureFemale>(&frmMeasureFemale::curMode, &frmMeasureFemale::curRec), "Command1",
     "UPDATE MEASURE_FEMALE SET MEASURE_FEMALE_NAME = 'Ann Lee' WHERE MEASURE_FEMALE_ID = ?"},
    {"male measurement", "MEASURE_MALE", "MEASURE_MALE_HEIGHT", "Text1(0)", "MEASURE_MALE_WAIST", "Text1(1)",
     opener<frmMeasureMale>(&frmMeasureMale::curMode, &frmMeasureMale::curRec), "Command1",
     "UPDATE MEASURE_MALE SET MEASURE_MALE_NAME = 'Bo Lee' WHERE MEASURE_MALE_ID = ?"},
    {"gift", "GIFT", "GIFT_NAME", "Text1(0)", "GIFT_STORE", "Combo1(1)", opener<frmGift>(&frmGift::giftMode, &frmGift::giftID),
     "cmdSave", nullptr, "cmdAddStore", "GIFTSTORE"},
    {"registry item", "REGISTRY", "REGISTRY_TEXT", "Text1(0)", "REGISTRY_CATEGORY", "Combo1(1)",
     opener<frmRegistry>(&frmRegistry::registryMode, &frmRegistry::registryID), "cmdSave", nullptr, "cmdAddCategory",
     "GIFT_CATEGORY"},
};

// What a label shows a reader: its text, or what is left of it read as markup.
QString seen(const QLabel* l)
{
    QTextDocument d;
    l->textFormat() == Qt::PlainText ? d.setPlainText(l->text()) : d.setHtml(l->text());
    return d.toPlainText();
}

class EditedMeanwhile : public testsupport::TwoCopiesTest {
protected:
    void SetUp() override
    {
        flushed = false;
        testsupport::TwoCopiesTest::SetUp();
    }
    void TearDown() override
    {
        messages.msgs->defaultAnswer = ui::vbNo;
        ui::FormBase::unloadAll();
        testsupport::TwoCopiesTest::TearDown();
    }
    // A record of the kind in the copy in use, logged, with "Old" texts (a
    // lookup list's entry where the list is).
    qint64 seed(const Kind& k, const QString& other = "Aunt May")
    {
        if (k.lookupTable)
            db().Execute(QString("INSERT INTO %1 (%2) SELECT 'Aunt May' WHERE NOT EXISTS (SELECT 1 FROM %1 WHERE %2 = "
                                 "'Aunt May')")
                             .arg(k.lookupTable, db().columnNames(k.lookupTable).value(1)));
        addGuest("Lee");
        const qint64 key = addRecord(k.table, QString("%1, %2").arg(k.typedColumn, k.otherColumn), {"Old", other});
        if (k.more)
            db().Execute(k.more, {key});
        return key;
    }
    QWidget* box(const ui::FormBase& f, const char* name)
    {
        auto* b = f.widget()->findChild<QWidget*>(name);
        EXPECT_TRUE(b) << name;
        return b;
    }
    void click(const ui::FormBase& f, const char* button) { QTest::mouseClick(box(f, button), Qt::LeftButton); }
    QString stored(const Kind& k, const char* column, qint64 key)
    {
        return db()
            .scalar(QString("SELECT %1 FROM %2 WHERE %3 = ?").arg(column, k.table, db().keyColumn(k.table)), {key})
            .toString();
    }
    ui::FormBase& shown(const Kind& k, qint64 key)
    {
        ui::FormBase& f = k.open(key);
        EXPECT_TRUE(f.isLoaded() && testsupport::showActive(f.widget()));
        return f;
    }
    QStringList told() const { return messages.msgs->texts(); }
    ui::ScriptedModalGuard modal;
};

}  // namespace

TEST_F(EditedMeanwhile, ASaveStoresWhatTheUserChangedOverAChangeMadeMeanwhile)
{
    int n = 0;
    for (const bool merged : {true, false}) {
        // Every kind of editor open at once on its record, while it changes.
        std::vector<qint64> keys;
        for (const Kind& k : kKinds)
            keys.push_back(seed(k));
        if (merged)
            merge(B, replicaOf(A, "a.qvd"));
        use(A);
        for (size_t i = 0; i < keys.size(); ++i)
            shown(kKinds[i], keys[i]);
        if (merged)
            use(B);
        for (size_t i = 0; i < keys.size(); ++i) {
            const Kind& k = kKinds[i];
            db().Execute(QString("UPDATE %1 SET %2 = 'Merged' WHERE %3 = ?")
                             .arg(k.table, k.otherColumn, db().keyColumn(k.table)),
                         {keys[i]});
            log(k.table, keys[i], modSynchro::Changed);
        }
        if (merged)
            merge(A, replicaOf(B, "b.qvd"));
        for (size_t i = 0; i < keys.size(); ++i) {
            const Kind& k = kKinds[i];
            SCOPED_TRACE(std::string(k.name) + (merged ? ", changed by a merge" : ", changed in another window"));
            ui::FormBase& f = k.open(keys[i]);
            ASSERT_TRUE(testsupport::showActive(f.widget()));
            retype(box(f, k.typedBox), "Typed here");
            // In the other window's case the user changed that column too, and chooses.
            const bool clash = !merged, mine = ++n % 2;
            if (clash) {
                retype(box(f, k.otherBox), "Typed too");
                messages.msgs->answers = {mine ? ui::vbYes : ui::vbNo};
            }
            messages.msgs->shown.clear();
            click(f, k.save);
            EXPECT_FALSE(f.isLoaded());
            ASSERT_EQ(told().size(), clash ? 1 : 0) << told().join('|').toStdString();
            if (clash) {
                EXPECT_TRUE(told()[0].contains("Merged") && told()[0].contains("Typed too")) << told()[0].toStdString();
            }
            EXPECT_EQ(stored(k, k.typedColumn, keys[i]), "Typed here");
            EXPECT_EQ(stored(k, k.otherColumn, keys[i]), clash && mine ? "Typed too" : "Merged");
        }
    }
}

TEST_F(EditedMeanwhile, ARecordThatCannotBeReadIsToldAndLeavesNothingToSave)
{
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        const qint64 key = seed(k);
        const QString before = rows(QString("SELECT * FROM %1 WHERE rowid = %2").arg(k.table).arg(key));
        db().setBusyTimeout(1);
        testsupport::OtherProgramsLock lock(db().path(), "BEGIN EXCLUSIVE");
        messages.msgs->shown.clear();
        EXPECT_FALSE(k.open(key).isLoaded());
        EXPECT_EQ(told(), QStringList{QString(editing::kRecordUnread) + "\n\ndatabase is locked"});
        lock.release();
        EXPECT_EQ(rows(QString("SELECT * FROM %1 WHERE rowid = %2").arg(k.table).arg(key)), before);
    }
}

TEST_F(EditedMeanwhile, ClosingWithTypingNotYetSavedAsksToSaveItWhateverItsLength)
{
    // Texts longer than Qt's 32,767 characters, stored and pasted.
    const QString stored40k(40005, 'x'), typed40k = QString(40000, 'y') + "end";
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        const qint64 key = seed(k, stored40k);
        ui::FormBase& f = shown(k, key);
        EXPECT_EQ(editing::boxText(box(f, k.otherBox)), stored40k);
        QGuiApplication::clipboard()->setText(typed40k);
        QWidget* typed = box(f, k.typedBox);
        typed->setFocus();
        QTest::keyClick(typed, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(typed, Qt::Key_V, Qt::ControlModifier);
        messages.msgs->shown.clear();
        messages.msgs->answers = {ui::vbCancel, ui::vbYes};
        f.widget()->close();
        ASSERT_TRUE(f.isLoaded());
        EXPECT_EQ(editing::boxText(typed), typed40k);
        f.widget()->close();
        EXPECT_FALSE(f.isLoaded());
        EXPECT_EQ(told(), QStringList(2, editing::kSaveChanges));
        EXPECT_EQ(stored(k, k.typedColumn, key), typed40k);
        EXPECT_EQ(stored(k, k.otherColumn, key), stored40k);
    }

    // A new party, written when its last name is left: Close after more
    // typing asks too, and its first person follows the names typed.
    frmGuestDetail& g = frmGuestDetail::instance();
    g.curMode = frmGuestDetail::Mode::New;
    g.Show(ui::vbModeless);
    ASSERT_TRUE(testsupport::showActive(g.window()));
    retype(g.Text1[2], "Ana");
    retype(g.Text1[1], "Lee");
    QTest::keyClick(g.Text1[1], Qt::Key_Tab);
    ASSERT_EQ(g.curMode, frmGuestDetail::Mode::Edit);
    retype(g.Text1[2], "Anna");
    retype(g.Text1[5], "Salem");
    messages.msgs->shown.clear();
    messages.msgs->answers = {ui::vbYes};
    QTest::mouseClick(g.cmdCancel, Qt::LeftButton);
    EXPECT_FALSE(g.isLoaded());
    EXPECT_EQ(told(), QStringList{editing::kSaveChanges});
    EXPECT_EQ(rows(QString("SELECT GUEST_FNAME, GUEST_CITY, SUBGUEST_FNAME, SUBGUEST_LNAME FROM GUEST JOIN SUBGUEST "
                           "USING (GUEST_ID) WHERE GUEST_ID = %1")
                       .arg(g.curRec)),
              "3:Anna|3:Salem|3:Anna|3:Lee\n");
}

TEST_F(EditedMeanwhile, ALookupEntryAddedBesideABoxKeepsItsStoredTextAndOnlyADeletedOneGoes)
{
    for (const bool deleting : {false, true})
        for (const Kind& k : kKinds) {
            if (!k.lookupButton)
                continue;
            SCOPED_TRACE(std::string(k.name) + (deleting ? ", its entry deleted" : ", an entry added"));
            const qint64 key = seed(k);
            ui::FormBase& f = shown(k, key);
            const auto editList = [&](ui::FormBase&) {
                frmAddType& t = frmAddType::instance();
                QTest::keyClicks(t.txtItem, "Zed");
                QTest::mouseClick(t.cmdAdd, Qt::LeftButton);
                if (deleting) {
                    QListWidgetItem* entry = t.lstItems->findItems("Aunt May", Qt::MatchExactly).value(0);
                    ASSERT_TRUE(entry);
                    QTest::mouseClick(t.lstItems->viewport(), Qt::LeftButton, {},
                                      t.lstItems->visualItemRect(entry).center());
                    QTest::mouseClick(t.Command1, Qt::LeftButton);
                }
                QTest::mouseClick(t.cmdClose, Qt::LeftButton);
            };
            modal.modal->once("frmAddType", editList);  // modal beside some editors, modeless beside others
            click(f, k.lookupButton);
            if (frmAddType::instance().isLoaded())
                editList(frmAddType::instance());
            auto* list = static_cast<QComboBox*>(box(f, k.otherBox));
            EXPECT_GE(list->findText("Zed"), 0);
            const QString shownThen = list->currentText();
            EXPECT_EQ(shownThen == "Aunt May", !deleting) << shownThen.toStdString();
            click(f, k.save);
            EXPECT_FALSE(f.isLoaded());
            EXPECT_EQ(stored(k, k.otherColumn, key), shownThen);
        }
    EXPECT_TRUE(told().isEmpty()) << told().join('|').toStdString();
}

TEST_F(EditedMeanwhile, NamesThatLookLikeMarkupShowAsTyped)
{
    const QString name = "<b>Lee</b><!--";
    frmDeleteSingle& d = frmDeleteSingle::instance();
    d.delMode = records::DeleteKind::Guests;
    d.delID = addGuest(name);
    d.delString = name;
    d.Show(ui::vbModeless);
    EXPECT_EQ(seen(d.lblDelete), records::deleteConfirmation(records::DeleteKind::Guests, name, d.delID));
    d.Unload();

    // A message box of the real service.
    ui::setMessageService(nullptr);
    QString shownText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        shownText = seen(box->findChild<QLabel*>("qt_msgbox_label"));
        box->accept();
    });
    ui::MsgBox("Delete the guest: " + name + ". Everything of the guest goes.");
    EXPECT_EQ(shownText, "Delete the guest: " + name + ". Everything of the guest goes.");
    auto scripted = std::make_unique<ui::ScriptedMessages>();
    messages.msgs = scripted.get();
    ui::setMessageService(std::move(scripted));
}

TEST_F(EditedMeanwhile, ATasksDueTimeIsKeptAndAnEventEndingBeforeItsStartIsRefused)
{
    const qint64 task = addRecord("TASKS", "TASK_NAME, TASK_DUEDATE", {"Book the band", "2027-06-12 15:00:00"});
    ui::FormBase& t = shown(kKinds[3], task);
    retype(box(t, "dtDate"), "6/20/2027");
    click(t, "cmdSave");
    EXPECT_EQ(stored(kKinds[3], "TASK_DUEDATE", task), "2027-06-20 15:00:00");

    const qint64 event = seed(kKinds[2]);
    frmEventInfo& e = static_cast<frmEventInfo&>(shown(kKinds[2], event));
    retype(e.dtEndDate, "8/13/2027");
    retype(e.dtEndTime, "11:30 PM");
    click(e, "cmdSave");
    EXPECT_TRUE(e.isLoaded());
    EXPECT_EQ(told(), QStringList{frmEventInfo::kEndBeforeStart});
    retype(e.dtEndDate, "8/14/2027");
    click(e, "cmdSave");
    EXPECT_FALSE(e.isLoaded());
    EXPECT_EQ(stored(kKinds[2], "EVENT_ENDDATE", event), "2027-08-14 23:30:00");
}
