#pragma once
// The guest party editor: one party's name, address, phones, category,
// travel and accommodation, and the list of its people. A new party is
// written as soon as its last name has been typed, with its first person
// made from the party's own name, so more people can be added to it while
// the window stays open.

#include "platform/ado/ado.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTabBar;

namespace grid {
class GridEX;
}
namespace ui {
class DateBox;
class MomentBox;
class TimeBox;
}

class frmGuestDetail : public editing::RecordEditor<ui::Form<frmGuestDetail, QDialog>> {
public:
    frmGuestDetail() : RecordEditor("frmGuestDetail") { keepWhileOpen(curMode, curRec); }

    // Written by the opener; New becomes Edit once the party is written.
    enum class Mode { New, Edit };
    Mode curMode = Mode::New;
    qint64 curRec = 0;
    // The party's people as GridSubguest shows them; other windows requery
    // it after changing them (RefreshSubguests).
    ado::RecordsetPtr GISubGuestRS;

    // Called by the lookup-list editor and the person editors while open.
    void GetTitles();
    void GetCategories();
    void RefreshSubguests();

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void cmdAdd_Click();
    void cmdCancel_Click();
    void cmdAddSubguest_Click();
    void cmdDeleteSubguest_Click();
    void GridSubguest_DblClick();
    void cmdAddCategory_Click();
    void cmdAddTitle_Click();
    void tabGuest_Click();
    void Text1_LostFocus(int index);

    QTabBar* tabGuest = nullptr;
    QFrame* fraGuest = nullptr;
    QFrame* fraTravel = nullptr;
    QFrame* fraAccom = nullptr;
    // Indexes 12, 13 and 16 are note boxes of several lines.
    std::array<QWidget*, 18> Text1{};
    // Even indexes pick a date, odd ones the time of day of the same moment.
    std::array<ui::MomentBox*, 8> DTPicker{};
    QComboBox* cmbCategory = nullptr;
    QComboBox* cmbTitle = nullptr;
    QPushButton* cmdAddCategory = nullptr;
    QPushButton* cmdAddTitle = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* cmdAddSubguest = nullptr;
    QPushButton* cmdDeleteSubguest = nullptr;
    grid::GridEX* GridSubguest = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdCancel = nullptr;

    QString text1(int index) const;
    void setText1(int index, const QString& text);
    ui::DateBox* datePicker(int pair) const;
    ui::TimeBox* timePicker(int pair) const;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    editing::SaveOutcome SaveGuest();
    bool save() override;
    bool LoadGuest();
    // The party's first person follows the names typed until the user saves
    // the party: each of its columns that still holds what the early save
    // wrote takes the party's box anew.
    void FollowFirstPerson();
    void ClearFields();
    qint64 GetSelectedSubguestID();
    // The early save: a party not written yet is written with its first
    // person, and the window goes on editing it. False when refused.
    bool SaveNewParty();

    void createGeneral();
    void createTravel();
    void createAccom();

    bool saving_ = false;
    // The first person the early save of this opening made, and what it wrote.
    qint64 firstPerson_ = 0;
    std::array<QString, 5> firstAsWritten_;
    std::array<QString, 5> firstPersonTexts() const;
};
