// Every window of the program, opened the way a user opens it, at its
// designed size and over a wedding of long names: no caption of a label,
// button, check box, frame or tab is cut. ctest runs it under the design
// fonts and again under DejaVu Sans alone; with NUPTARO_SCREENSHOTS set it
// saves a picture of every window and page.

#include "support/clipping.h"
#include "support/editors.h"
#include "support/folderdata.h"
#include "support/mainwindow.h"

#include "platform/tree/treeview.h"
#include "seating/frmTables.h"

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QTest>

namespace {

// Shows each window run modally, looks at it, then closes it as its close
// box would.
class LookingModal : public ui::ModalService {
public:
    explicit LookingModal(std::function<void(ui::FormBase&)> look) : look_(std::move(look)) {}
    void runModal(ui::FormBase& form, QWidget*) override
    {
        form.widget()->show();
        look_(form);
        if (form.isLoaded() && !form.Unload(ui::vbFormControlMenu))
            form.Hide();
    }

private:
    std::function<void(ui::FormBase&)> look_;
};

class EveryWindow : public testsupport::ShownMainWindowTest<> {
protected:
    void SetUp() override
    {
        ShownMainWindowTest::SetUp();
        ui::setModalService(std::make_unique<LookingModal>([this](ui::FormBase& f) { look(f); }));
        folderdata::fill();
        // Seating: a table of the first event with a long name and more
        // guests than seats.
        db().Execute("INSERT INTO TABLES (TABLE_ID, EVENT_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE) VALUES "
                     "(1, 900, 'Table of the Bride''s University Friends', 4, 5)");
        db().Execute("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID, SEATING_POS) "
                     "SELECT 1, SUBGUEST_ID, SUBGUEST_ID - 1000 FROM SUBGUEST WHERE SUBGUEST_ID < 1006");
    }

    // Every page of the window: each tab of each tab bar clicked in turn.
    void look(ui::FormBase& f)
    {
        QWidget* w = f.widget();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w)) << f.name().toStdString();
        QCoreApplication::processEvents();
        looked << f.name();
        if (auto step = userSteps.find(f.name()); step != userSteps.end())
            step->second(f.widget());
        QList<QTabBar*> bars;
        for (QTabBar* bar : w->findChildren<QTabBar*>())
            if (bar->isVisibleTo(w))
                bars << bar;
        if (bars.isEmpty())
            check(w, f.name());
        for (QTabBar* bar : bars)
            for (int i = 0; i < bar->count(); ++i) {
                testsupport::clickTab(bar, bar->tabText(i));
                check(w, f.name() + '/' + bar->tabText(i));
            }
    }
    void check(QWidget* w, const QString& page)
    {
        QCoreApplication::processEvents();
        for (const QString& c : testsupport::clippedTexts(w))
            cut << page + ": " + c;
        if (!dir.isEmpty())
            testsupport::snap(w, dir, QString(page).replace('/', '_').replace(' ', '_'));
    }
    // Looks at every window the action leaves open beside the main window.
    void openModeless(const std::function<void()>& action)
    {
        action();
        for (ui::FormBase* f : ui::FormBase::all())
            if (f != &m() && f->isLoaded() && f->widget()->isVisible()) {
                look(*f);
                f->Unload();
            }
    }
    void click(const char* key)
    {
        QWidget* item = m().ExplorerBarCtlQV1->itemWidget(key);
        ASSERT_TRUE(item) << key;
        openModeless([&] { QTest::mouseClick(item, Qt::LeftButton); });
        check(m().widget(), "frmMain/" + m().lblMode->text());
    }
    void menu(const char* item)
    {
        openModeless([&] { m().widget()->findChild<QAction*>(item)->trigger(); });
    }

    QString dir = qEnvironmentVariable("NUPTARO_SCREENSHOTS");
    QStringList cut;
    QSet<QString> looked;
    // What a user does in a window before it shows its longest texts.
    std::map<QString, std::function<void(QWidget*)>> userSteps = {
        {"frmSeating",
         [](QWidget* w) {
             auto* tables = w->findChild<tree::TreeView*>("treeTables");
             tables->ensureVisible(tables->node("T1"));
             QTest::mouseClick(tables->viewport(), Qt::LeftButton, {}, tables->nodeRect(tables->node("T1")).center());
         }},
        {"frmLabels",
         [](QWidget* w) {
             auto* styles = w->findChild<QComboBox*>("Combo1");
             styles->setFocus();
             QTest::keyClicks(styles, "Return Address");
         }},
        {"frmGuestDetail",
         [](QWidget* w) {
             if (auto* add = w->findChild<QPushButton*>("cmdAddSubguest"); add && add->isEnabled())
                 QTest::mouseClick(add, Qt::LeftButton);
         }},
    };
};

TEST_F(EveryWindow, ShowsItsTextsWhole)
{
    const QString face = QFontInfo(QApplication::font()).family();
    if (!dir.isEmpty()) {
        dir += '/' + QString(face).replace(' ', '_');
        QDir().mkpath(dir);
    }
    // Each mode of the main window, and what its navigation items open.
    const std::pair<const char*, std::vector<const char*>> navigation[] = {
        {"CALENDARMODE", {"MONTHVIEW", "ADDAPPOINTMENT"}},
        {"TASKMODE", {"AUTOADDTASKS", "ADDTASK"}},
        {"EVENTMODE", {"ADDEVENT", "MODIFYEVENT", "DELETEEVENT"}},
        {"GUESTMODE", {"GUESTADDRESSES", "ADDGUEST", "VIEWGUESTS", "MODIFYGUESTS", "GUESTREPORT", "IMPORTGUESTS",
                       "EXPORTGUESTS"}},
        {"RSVPMODE", {"INVITATIONS", "SEATING", "LABELS", "PLACARDS"}},
        {"VENDORMODE", {"ADDVENDOR", "MODIFYVENDOR", "VIEWQUOTES", "ADDQUOTE", "MODIFYQUOTE"}},
        {"BUDGETMODE", {"AUTOADDBUDGET", "ADDBUDGET", "MODIFYBUDGET", "EXPENSES", "ADDEXPENSE", "MODIFYEXPENSE"}},
        {"ATTIREMODE", {"ADDATTIRE", "MODIFYATTIRE", "FEMALEMEASUREMENTS", "ADDFEMALEMEASUREMENT", "MALEMEASUREMENTS",
                        "ADDMALEMEASUREMENT", "MODIFYMEASUREMENT"}},
        {"GIFTMODE", {"ADDGIFT", "MODIFYGIFT", "VIEWREGISTRY", "ADDREGISTRY", "MODIFYREGISTRY"}},
    };
    for (const auto& [mode, keys] : navigation) {
        click(mode);
        for (const char* key : keys)
            click(key);
    }
    // The menus' windows.
    for (const char* item : {"mnuWizard", "mnuTOD", "mnuHelpAbout", "mnuHelpContents", "mnuDatabase", "mnuEditTitles"})
        menu(item);
    // The designer nothing opens.
    openModeless([] { frmTables::instance().Show(ui::vbModeless); });

    EXPECT_EQ(cut, QStringList()) << "under " << face.toStdString();
    QStringList missing;
    for (const char* name : {"frmAbout", "frmAddAppt", "frmAddBudget", "frmAddExpense", "frmAddType", "frmAttire",
                             "frmAutoBudget", "frmDeleteSingle", "frmEventInfo", "frmEventTasks", "frmExportData",
                             "frmGift", "frmGuestDetail", "frmHelp", "frmImportData", "frmInvite", "frmLabels",
                             "frmMeasureFemale", "frmMeasureMale", "frmNewSubguest", "frmPlacard", "frmPreview",
                             "frmQuote", "frmRegistry", "frmSeating", "frmSynchronize", "frmTables", "frmTip",
                             "frmVendor", "frmWizAddTask", "frmWizard"})
        if (!looked.contains(name))
            missing << name;
    EXPECT_EQ(missing, QStringList());
}

}  // namespace
