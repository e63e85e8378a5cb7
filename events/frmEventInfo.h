#pragma once
// The event editor (modeless): one EVENT row on the Overview and Location
// pages, and the event's four ordered lists on pages of their own, offered
// by the event's four Yes/No answers. A new event's row is made as the
// window opens, so the lists always have an event to belong to.

#include "events/eventlists.h"
#include "platform/ado/ado.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace grid {
class GridEX;
}
namespace ui {
class DateBox;
class TimeBox;
}

class frmEventInfo : public editing::RecordEditor<ui::Form<frmEventInfo, QDialog>> {
public:
    frmEventInfo();

    // Written by the opener: Edit loads curEvent; Add makes a new event,
    // whose key then stands in curEvent. Back to Add and 0 on closing.
    Mode curMode = Mode::Add;
    qlonglong curEvent = 0;

    static constexpr const char* kEndBeforeStart = "The end of the event is before its start.";

    // The line the next load of any list selects when it is 2 or more; set
    // by Up and Down, kept for the whole run.
    int rowToSelect = 0;

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void TabStrip1_Click();
    void cmdSave_Click();
    void cmdCancel_Click();

    void LoadList(events::ListId list);
    void cmdUp_Click(events::ListId list);
    void cmdDown_Click(events::ListId list);
    void cmdDelete_Click(events::ListId list);
    void cmdPrint_Click(events::ListId list);
    void grid_FillNewRow(events::ListId list);
    void gridPlayscript_LoadCustomEdit(int column);
    void gridPlayscript_ShowCustomEdit(int column, int x, int y, int width, int height, bool show);
    void gridPlayscript_StoreCustomEdit(int column);

    // The page shown (the one in front).
    QFrame* frontPage() const { return front_; }

    // Controls, made at each load.
    QTabBar* TabStrip1 = nullptr;
    QFrame* fraOverview = nullptr;
    QFrame* fraLocation = nullptr;
    QLineEdit* txtName = nullptr;
    ui::DateBox* dtStartDate = nullptr;
    ui::TimeBox* dtStartTime = nullptr;
    ui::DateBox* dtEndDate = nullptr;
    ui::TimeBox* dtEndTime = nullptr;
    QLineEdit* txtBudget = nullptr;
    QPlainTextEdit* txtNotes = nullptr;
    QLineEdit* txtLocation = nullptr;
    QPlainTextEdit* txtDirections = nullptr;
    QGroupBox* optFrame = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* optYesMenu = nullptr;
    QRadioButton* optNoMenu = nullptr;
    QRadioButton* optYesDecoration = nullptr;
    QRadioButton* optNoDecoration = nullptr;
    QRadioButton* optYesMusic = nullptr;
    QRadioButton* optNoMusic = nullptr;
    QRadioButton* optYesPlayscript = nullptr;
    QRadioButton* optNoPlayscript = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    ui::TimeBox* dtPlayscript = nullptr;

    // One list page: its frame, label, grid and buttons, and the recordset
    // the grid shows.
    struct ListPage {
        QFrame* frame = nullptr;
        QLabel* label = nullptr;
        grid::GridEX* grid = nullptr;
        QPushButton* cmdUp = nullptr;
        QPushButton* cmdDown = nullptr;
        QPushButton* cmdDelete = nullptr;
        QPushButton* cmdPrint = nullptr;
        ado::RecordsetPtr rs;
    };
    std::array<ListPage, events::kListCount> lists;
    grid::GridEX* gridPlayscript() const { return lists[events::Playscript].grid; }
    // The largest order value of each list as last loaded, raised by each row typed.
    qint64 maxOrder(events::ListId list) const { return maxOrder_[list]; }

protected:
    void createControls() override;
    void releaseControls() override;

private:
    enum class Saved { Yes, Refused, Gone };
    void ClearForm();
    bool NewEvent();
    bool LoadEvent();
    Saved SaveEvent();
    bool save() override;
    void BuildTabs();
    void bringToFront(QFrame* page);
    void makeListPage(events::ListId list);
    qint64 lineKey(events::ListId list, int line) const;
    // Up (-1) or Down (1): the current line changes places with its neighbour.
    void moveLine(events::ListId list, int step);

    // The mode and event of this opening, read once as it loads.
    Mode mode_ = Mode::Add;
    qint64 event_ = 0;
    std::array<qint64, events::kListCount> maxOrder_{};
    QFrame* front_ = nullptr;
};
