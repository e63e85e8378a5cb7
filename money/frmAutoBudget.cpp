#include "money/frmAutoBudget.h"

#include "money/moneyedit.h"
#include "platform/ado/ignoring.h"
#include "platform/grid/gridex.h"
#include "platform/twips.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/notices.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QTabBar>

#include <algorithm>
#include <cmath>
#include <optional>

using modQVDatabase::gConn;

const std::array<std::pair<const char*, const char*>, 14> frmAutoBudget::kCategories = {{
    {"Attire", "tabAttire"},
    {"Ceremony", "tabCeremony"},
    {"Fees", "tabFees"},
    {"Flowers", "tabFlowers"},
    {"Food", "tabFood"},
    {"Gifts", "tabGifts"},
    {"Honeymoon", "tabHoneymoon"},
    {"Music", "tabMusic"},
    {"Photographer", "tabPhotographer"},
    {"Reception", "tabReception"},
    {"Rings", "tabRings"},
    {"Stationery", "tabStationery"},
    {"Travel", "tabTravel"},
    {"Videographer", "tabVideographer"},
}};

namespace {

constexpr int kRowPitch = 390;  // twips from one row to the next
constexpr int kRowHeight = 330;

}  // namespace

// Tells the window when an amount box is left.
class AmountFocusWatch : public QObject {
public:
    AmountFocusWatch(frmAutoBudget* form, int index, QObject* parent) : QObject(parent), form_(form), index_(index) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::FocusOut && form_->leaving(index_, static_cast<QFocusEvent*>(e)->reason()))
            ui::guarded([this] { form_->Combo1_LostFocus(index_); });
        return false;
    }

private:
    frmAutoBudget* form_;
    int index_;
};

void frmAutoBudget::createControls()
{
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle("Auto Budget");
    w->setFixedSize(twips::toPixels(15840), twips::toPixels(5160));
    busy_ = false;
    closing_ = false;

    TabStrip1 = new QTabBar(w);
    TabStrip1->setObjectName("TabStrip1");
    TabStrip1->setGeometry(rect(120, 120, 15600, 390));
    TabStrip1->setExpanding(false);
    TabStrip1->setUsesScrollButtons(true);
    TabStrip1->setDrawBase(false);
    // A click on a tab takes the focus, so the amount box being left stores
    // its amount before the page changes.
    TabStrip1->setFocusPolicy(Qt::StrongFocus);
    for (const auto& [caption, key] : kCategories)
        TabStrip1->setTabData(TabStrip1->addTab(caption), QString(key));

    fraAutoBudget = new QGroupBox("Attire", w);
    fraAutoBudget->setObjectName("fraAutoBudget");
    fraAutoBudget->setGeometry(rect(120, 540, 15600, 3900));
    const std::pair<const char*, QRect> headings[] = {{"Item:", rect(240, 300, 6000, 255)},
                                                      {"High:", rect(6840, 300, 1800, 255)},
                                                      {"Med:", rect(8880, 300, 1800, 255)},
                                                      {"Low:", rect(10920, 300, 1800, 255)},
                                                      {"Budget:", rect(12960, 300, 2400, 255)}};
    for (int i = 0; i < 5; ++i)
        Label2[i]
            = editing::makeLabel(fraAutoBudget, QString("Label2(%1)").arg(i), headings[i].first, headings[i].second);
    rowArea = new QScrollArea(fraAutoBudget);
    rowArea->setObjectName("rowArea");
    rowArea->setFrameShape(QFrame::NoFrame);
    rowArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rowArea->setGeometry(rect(120, 600, 15360, kDesignRows * kRowPitch + 60));
    auto* rows = new QWidget;
    rows->setObjectName("rows");
    rows->resize(twips::toPixels(15120), twips::toPixels(kDesignRows * kRowPitch));
    rowArea->setWidget(rows);
    // The rows lie on the page itself, as the design has them.
    rowArea->viewport()->setAutoFillBackground(false);
    rows->setAutoFillBackground(false);
    for (int i = 0; i < kDesignRows; ++i)
        addRow();

    Label1 = editing::makeLabel(w, "Label1", "Total Budget:", rect(240, 4620, 1500, 255));
    lblTotal = editing::makeLabel(w, "lblTotal", "$0.00", rect(1800, 4620, 2400, 255));
    cmdSave
        = editing::makeButton(w, "cmdSave", "Save Budget", rect(13020, 4560, 1320, 375), [this] { cmdSave_Click(); });
    Command2 = editing::makeButton(w, "Command2", "Cancel", rect(14400, 4560, 1320, 375), [this] { Command2_Click(); });

    QObject::connect(TabStrip1, &QTabBar::currentChanged, w, [this] { ui::guarded([this] { TabStrip1_Click(); }); });
}

void frmAutoBudget::addRow()
{
    using twips::rect;
    QWidget* rows = rowArea->widget();
    const int i = int(Combo1.size());
    const int y = kRowPitch * i;
    auto label = [&](const char* name, int left, int width) {
        return editing::makeLabel(
            rows, QString("%1(%2)").arg(name).arg(i), QString(), rect(left, y, width, kRowHeight));
    };
    lblName << label("lblName", 120, 6000);
    lblHigh << label("lblHigh", 6720, 1800);
    lblMed << label("lblMed", 8760, 1800);
    lblLow << label("lblLow", 10800, 1800);
    QComboBox* c = editing::makeListBox(rows, QString("Combo1(%1)").arg(i), rect(12840, y, 1800, kRowHeight));
    c->installEventFilter(new AmountFocusWatch(this, i, c));
    Combo1 << c;
    const int height = twips::toPixels(kRowPitch * std::max(kDesignRows, i + 1));
    if (rows->height() < height)
        rows->resize(rows->width(), height);
    // Tab goes down the amount boxes.
    if (i > 0)
        QWidget::setTabOrder(Combo1[i - 1], c);
}

void frmAutoBudget::releaseControls()
{
    TabStrip1 = nullptr;
    fraAutoBudget = nullptr;
    Label2.fill(nullptr);
    rowArea = nullptr;
    lblName.clear();
    lblHigh.clear();
    lblMed.clear();
    lblLow.clear();
    Combo1.clear();
    Label1 = lblTotal = nullptr;
    cmdSave = Command2 = nullptr;
    RowIDs.clear();
}

bool frmAutoBudget::leaving(int index, int reason) const
{
    // Opening the box's own list, or another window taking the focus, is
    // not leaving it; nor is a row hidden while the page is rebuilt.
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return false;
    return isLoaded() && !busy_ && !closing_ && index < rowsShown();
}

void frmAutoBudget::Form_Load()
{
    ReadAmounts();
    ProposeAmounts();
    UpdateTotal();
    LoadCategory("Attire");
}

namespace {

// `total` shared out in the proportions of the weights, in whole units that
// add up to it exactly: each share rounded down, and the units left over go
// to the largest remainders (the first of equal ones first).
QVector<qint64> shareOut(qint64 total, const QVector<qint64>& weights)
{
    __int128 sum = 0;
    for (qint64 w : weights)
        sum += w;
    QVector<qint64> shares(weights.size(), 0);
    if (sum <= 0)
        return shares;
    QVector<std::pair<__int128, int>> remainders;
    qint64 given = 0;
    for (int i = 0; i < weights.size(); ++i) {
        const __int128 part = __int128(total) * weights[i];
        shares[i] = qint64(part / sum);
        given += shares[i];
        remainders.push_back({part % sum, i});
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (int k = 0; given < total; ++k, ++given)
        ++shares[remainders[k % remainders.size()].second];
    return shares;
}

bool sameAmount(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return grid::toTenThousandths(a.toDouble()) == grid::toTenThousandths(b.toDouble());
}

}  // namespace

void frmAutoBudget::ReadAmounts()
{
    // An item the budget holds shows the budget's own amount (corrected in
    // the Budget grid, or received from the other copy); the others the
    // amount chosen here before.
    openedAmt_.clear();
    ado::ignoringErrors([&] {
        gConn.forEachRow("SELECT s.STDBUDGET_ID, s.STDBUDGET_AMT, b.BUDGET_ID, b.BUDGET_AMT FROM STDBUDGET s LEFT "
                         "JOIN BUDGET b ON b.BUDGET_ID = (SELECT min(BUDGET_ID) FROM BUDGET WHERE "
                         "BUDGET_STDBUDGETID = s.STDBUDGET_ID)",
                         {}, [&](const ado::Row& r) {
                             const bool listed = !r.isNull(2);
                             openedAmt_.insert(r.integer(0), r.value(listed ? 3 : 1));
                         });
    });
    amt_ = openedAmt_;
}

void frmAutoBudget::ProposeAmounts()
{
    // Only the planning wizard's amount: every item gets its share in the
    // proportions of the medium suggestions, in whole cents that add up to
    // the amount exactly. Amounts chosen before give way only when the user
    // says so, and only to another amount than theirs.
    if (!(budgetAmt > 0) || !ado::convert::currencyFits(budgetAmt))
        return;
    QVector<qint64> ids, weights;
    try {
        gConn.forEachRow("SELECT STDBUDGET_ID, STDBUDGET_MED FROM STDBUDGET ORDER BY STDBUDGET_ID", {},
                         [&](const ado::Row& row) {
                             ids << row.integer(0);
                             weights << std::max<qint64>(0, grid::toTenThousandths(row.value(1).toDouble()));
                         });
    } catch (const ado::Error&) {
        ado::logIgnoredError();
        return;
    }
    const bool chosen = std::any_of(amt_.cbegin(), amt_.cend(), [](const QVariant& v) { return v.toDouble() != 0; });
    const grid::CurrencySum total = chosenTotal();
    const qint64 amountCents = qint64(std::nearbyint(budgetAmt * 100));
    if (chosen) {
        if (!total.overflow() && total.tenThousandths() == amountCents * 100)
            return;
        grid::CurrencySum amount;
        amount.add(double(amountCents) / 100.0);
        const QString question = QStringLiteral("The amounts chosen so far add up to %1. Share out the budget of %2 "
                                                "over the items instead?")
                                     .arg(grid::totalText(total, "Currency"), grid::totalText(amount, "Currency"));
        if (ui::MsgBox(question, ui::vbYesNo | ui::vbQuestion, QString(), window()) != ui::vbYes)
            return;
    }
    const QVector<qint64> cents = shareOut(amountCents, weights);
    if (std::all_of(cents.begin(), cents.end(), [](qint64 c) { return c == 0; }))
        return;
    const bool stored = editing::saveAll(
        [&] {
            for (int i = 0; i < ids.size(); ++i)
                gConn.Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = ? WHERE STDBUDGET_ID = ?",
                              {double(cents[i]) / 100.0, ids[i]});
        },
        window());
    // Shared out at the user's word: amounts changed here, which Save Budget writes.
    for (int i = 0; stored && i < ids.size(); ++i)
        amt_.insert(ids[i], double(cents[i]) / 100.0);
}

void frmAutoBudget::showRow(int i, bool shown)
{
    for (QWidget* c : {static_cast<QWidget*>(lblName[i]), static_cast<QWidget*>(lblHigh[i]),
                       static_cast<QWidget*>(lblMed[i]), static_cast<QWidget*>(lblLow[i]),
                       static_cast<QWidget*>(Combo1[i])})
        c->setVisible(shown);
}

void frmAutoBudget::LoadCategory(const QString& category)
{
    busy_ = true;
    CurrentCategory = category;
    fraAutoBudget->setTitle(category);
    RowIDs.clear();
    ado::Recordset rs;
    // A page that cannot be read shows no rows.
    ado::ignoringErrors([&] {
        rs.Open("SELECT * FROM STDBUDGET WHERE STDBUDGET_CATEGORY = ?", gConn, ado::adOpenKeyset,
                ado::adLockOptimistic, {category});
    });
    const int n = rs.isOpen() ? rs.RecordCount() : 0;
    while (Combo1.size() < n)
        addRow();
    for (int i = int(Combo1.size()) - 1; i >= n; --i)
        showRow(i, false);
    for (int i = 0; i < n; ++i) {
        rs.setPosition(i);
        RowIDs << rs.value("STDBUDGET_ID").toLongLong();
        QComboBox* box = Combo1[i];
        box->clear();
        showRow(i, true);
        lblName[i]->setText(editing::storedText(rs.value("STDBUDGET_NAME")));
        const QString high = regional::shownText(rs.value("STDBUDGET_HIGH"));
        const QString med = regional::shownText(rs.value("STDBUDGET_MED"));
        const QString low = regional::shownText(rs.value("STDBUDGET_LOW"));
        lblHigh[i]->setText(high);
        lblMed[i]->setText(med);
        lblLow[i]->setText(low);
        for (const QString& s : {high, med, low})
            if (!s.isEmpty())
                box->addItem(s);
        box->setCurrentIndex(-1);
        box->setEditText(regional::shownText(amt_.value(RowIDs.last(), rs.value("STDBUDGET_AMT"))));
    }
    rs.Close();
    rowArea->widget()->resize(rowArea->widget()->width(),
                              twips::toPixels(kRowPitch * std::max<int>(kDesignRows, n)));
    busy_ = false;
}

void frmAutoBudget::TabStrip1_Click()
{
    // What was typed on the page left is stored before another page is shown.
    if (const QWidget* typing = QApplication::focusWidget())
        for (int i = 0; i < rowsShown(); ++i)
            if (Combo1[i] == typing || Combo1[i]->isAncestorOf(typing))
                storeAmount(i);
    const int tab = TabStrip1->currentIndex();
    if (tab >= 0 && tab < int(kCategories.size()))
        LoadCategory(QString::fromLatin1(kCategories[tab].first));
}

void frmAutoBudget::Combo1_LostFocus(int index)
{
    if (index < 0 || index >= rowsShown())
        return;
    std::optional<ado::Error> failed;
    try {
        storeAmount(index);
    } catch (const ado::Error& e) {
        failed = e;
    }
    // The page as stored: a refused text gives way to the amount kept.
    LoadCategory(CurrentCategory);
    if (failed)
        throw *failed;
}

void frmAutoBudget::storeAmount(int index)
{
    busy_ = true;
    struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{busy_};
    const qint64 id = RowIDs[index];
    double amount = 0;
    // Cents and beyond as typed, in the user's forms: the currency keeps four decimals.
    if (!regional::readAmount(Combo1[index]->currentText(), amount)) {
        ui::MsgBox("Please enter a number in the amount location", ui::vbOKOnly, QString(), window());
        return;
    }
    if (amt_.contains(id) && sameAmount(amt_.value(id), amount))
        return;
    // Kept in the standard list too, so a choice outlives Cancel.
    gConn.Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = ? WHERE STDBUDGET_ID = ?", {amount, id});
    amt_.insert(id, gConn.scalar("SELECT STDBUDGET_AMT FROM STDBUDGET WHERE STDBUDGET_ID = ?", {id}));
    UpdateTotal();
}

grid::CurrencySum frmAutoBudget::chosenTotal() const
{
    grid::CurrencySum total;
    for (const QVariant& v : amt_)
        if (!v.isNull())
            total.add(v.toDouble());
    return total;
}

void frmAutoBudget::UpdateTotal()
{
    // Added in whole ten-thousandths, so the total is exact; one beyond what
    // currency holds shows "Overflow", as the grid's totals do.
    lblTotal->setText(grid::totalText(chosenTotal(), "Currency"));
}

void frmAutoBudget::cmdSave_Click()
{
    // Only the amounts the user changed here are written: a budget row
    // corrected in the Budget grid, or taken out of the budget, stays as it
    // is. The first save, into a budget without wizard rows, makes them all.
    QSet<qint64> changed;
    for (auto it = amt_.cbegin(); it != amt_.cend(); ++it)
        if (!sameAmount(it.value(), openedAmt_.value(it.key())))
            changed.insert(it.key());
    const bool saved = editing::saveAll(
        [&] {
            ado::Recordset b;
            b.Open("SELECT * FROM BUDGET WHERE BUDGET_STDBUDGETID <> 0 ORDER BY BUDGET_ID", gConn,
                   ado::adOpenKeyset, ado::adLockOptimistic);
            ado::Recordset s;
            s.Open("SELECT * FROM STDBUDGET", gConn, ado::adOpenKeyset, ado::adLockReadOnly);
            const bool first = b.RecordCount() < 1;
            // The first wizard row made from each standard item.
            QHash<qint64, int> rowOf;
            const int link = b.fieldIndex("BUDGET_STDBUDGETID");
            for (int r = b.RecordCount() - 1; r >= 0; --r)
                rowOf.insert(b.cell(r, link).toLongLong(), r);
            for (; !s.EOF_(); s.MoveNext()) {
                const qint64 id = s.value("STDBUDGET_ID").toLongLong();
                const auto found = rowOf.constFind(id);
                const bool adding = found == rowOf.constEnd();
                if (!changed.contains(id) && !(adding && first))
                    continue;
                const QVariant amount = amt_.value(id, s.value("STDBUDGET_AMT"));
                if (!adding) {
                    b.setPosition(found.value());
                    b.setValue("BUDGET_AMT", amount);
                    b.Update();
                    modSynchro::LogChange("BUDGET", b.value("BUDGET_ID").toLongLong(), modSynchro::Changed);
                    continue;
                }
                b.AddNew();
                b.setValue("BUDGET_NAME", s.value("STDBUDGET_NAME"));
                b.setValue("BUDGET_CATEGORY", s.value("STDBUDGET_CATEGORY"));
                b.setValue("BUDGET_EVENT", s.value("STDBUDGET_EVENT"));
                b.setValue("BUDGET_AMT", amount);
                b.setValue("BUDGET_WHOPAYS", s.value("STDBUDGET_WHOPAYS"));
                b.setValue("BUDGET_STDBUDGETID", id);
                b.Update();
                modSynchro::LogChange("BUDGET", b.value("BUDGET_ID").toLongLong(), modSynchro::Added);
            }
        },
        window());
    if (saved)
        Unload();
}

void frmAutoBudget::Command2_Click()
{
    Unload();
}

void frmAutoBudget::Form_Unload(bool&)
{
    closing_ = true;
    emit records::notices().budgetChanged();
}
