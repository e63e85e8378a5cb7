#pragma once
// The budget wizard: an amount chosen for each standard budget item, page by
// category, starting from the budget's own amounts, kept as soon as its box
// is left, with the total of them all; "Save Budget" writes the amounts
// changed here into the budget (the whole standard list the first time).

#include "platform/ui/forms.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QTabBar;
class QWidget;
namespace grid {
class CurrencySum;
}

class frmAutoBudget : public ui::Form<frmAutoBudget, QDialog> {
public:
    frmAutoBudget() : Form("frmAutoBudget") {}

    // The planning wizard's total budget, handed over when it opens this
    // window. While no item has a chosen amount, opening proposes one for
    // each item out of it.
    double budgetAmt = 0;

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void TabStrip1_Click();
    // Leaving the amount box of a row.
    void Combo1_LostFocus(int index);
    void cmdSave_Click();
    void Command2_Click();

    // The tabs, left to right: caption (the STDBUDGET_CATEGORY) and key.
    static const std::array<std::pair<const char*, const char*>, 14> kCategories;
    static constexpr int kDesignRows = 8;

    QTabBar* TabStrip1 = nullptr;
    QGroupBox* fraAutoBudget = nullptr;
    std::array<QLabel*, 5> Label2{};
    QScrollArea* rowArea = nullptr;
    // Row i of the page; a category of more items than the design's eight
    // rows gets more, and the rows scroll.
    QVector<QLabel*> lblName, lblHigh, lblMed, lblLow;
    QVector<QComboBox*> Combo1;
    QLabel* Label1 = nullptr;
    QLabel* lblTotal = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* Command2 = nullptr;

    // The category shown, and the STDBUDGET_ID of each of its rows.
    QString CurrentCategory;
    QVector<qint64> RowIDs;
    int rowsShown() const { return int(RowIDs.size()); }

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void ReadAmounts();
    void ProposeAmounts();
    // The typed amount of a row kept (a text that is no amount refused with
    // a message); the page is not rebuilt.
    void storeAmount(int index);
    grid::CurrencySum chosenTotal() const;
    void LoadCategory(const QString& category);
    void UpdateTotal();
    void addRow();
    void showRow(int i, bool shown);
    bool leaving(int index, int reason) const;
    friend class AmountFocusWatch;
    bool busy_ = false;  // rebuilding the page or storing an amount
    bool closing_ = false;
    // Each standard item's amount as the wizard opened on it and as it
    // stands now; Save Budget writes those that differ.
    QHash<qint64, QVariant> openedAmt_, amt_;
};
