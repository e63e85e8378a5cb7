#pragma once
// The planning wizard: the wedding itself (the couple, their parents, the
// standard events planned and their dates) in the one OUR_WEDDING row, the
// ticked standard events made or re-dated in EVENT, the way to the budget
// wizard, and the start-up setting of the wizard.

#include "platform/ui/forms.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
namespace ui {
class DateBox;
}

class frmWizard : public ui::Form<frmWizard, QDialog> {
public:
    frmWizard() : Form(QStringLiteral("frmWizard")) {}

    void Form_Load() override;
    void TabStrip1_Click();
    void DTPicker1_Change(int index);
    void cmdSave_Click();
    void Command1_Click();
    void Check1_Click();
    void Command2_Click();

    // A box of the wedding row: its page, label, txtName index and column,
    // in the order the pages show them.
    struct TextColumn {
        const char* page;
        const char* label;
        int index;
        const char* column;
    };
    static const std::array<TextColumn, 24> kTextColumns;
    // Line i of the Events page.
    struct StandardEvent {
        const char* label;
        const char* plan;
        const char* date;
        const char* name;
    };
    static const std::array<StandardEvent, 7> kEvents;

    // The page in front.
    QGroupBox* frontPage() const { return front_; }

    QTabBar* TabStrip1 = nullptr;
    QGroupBox* fraBride = nullptr;
    QGroupBox* fraGroom = nullptr;
    QGroupBox* fraParents = nullptr;
    QGroupBox* fraEvents = nullptr;
    QGroupBox* fraBudget = nullptr;
    std::array<QLabel*, 24> Label1{};
    std::array<QLineEdit*, 24> txtName{};
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    std::array<QLabel*, 7> Label4{};
    std::array<QCheckBox*, 7> chkPlan{};
    // Each shows a date and keeps the time of day it was loaded with.
    std::array<ui::DateBox*, 7> DTPicker1{};
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtBudget = nullptr;
    QPushButton* Command1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* Command2 = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void ClearFields();
    void SetShowWizardCheck();
    void LoadWedding();
    bool SaveWedding();
    void AddStandardEvents();
    void bringToFront(QGroupBox* page);
    // The Budget page's amount to Auto-Budget; false for a text that is no amount.
    bool handOverBudget();
    // Before a save: an amount typed and not handed over is offered to
    // Auto-Budget; false when the user stays in the window.
    bool offerBudget();

    QGroupBox* front_ = nullptr;
    QString handedBudget_;
};
