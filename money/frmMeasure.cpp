#include "money/frmMeasure.h"

#include "platform/twips.h"
#include "platform/ui/messages.h"
#include "records/editing.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace money {

const MeasureKind kFemaleMeasures = {
    "frmMeasureFemale",
    "Measurements - Female",
    "MEASURE_FEMALE",
    {{"Height:", "MEASURE_FEMALE_HEIGHT"},
     {"Waist:", "MEASURE_FEMALE_WAIST"},
     {"Bust:", "MEASURE_FEMALE_BUST"},
     {"Dress Size:", "MEASURE_FEMALE_DRESS"},
     {"Head/Hat:", "MEASURE_FEMALE_HEAD"},
     {"Shoe:", "MEASURE_FEMALE_SHOE"},
     {"Gloves:", "MEASURE_FEMALE_GLOVE"},
     {"Slip:", "MEASURE_FEMALE_SLIP"},
     {"Hose:", "MEASURE_FEMALE_HOSE"}},
    {0, 1, 2},
    {3, 4, 5},
    {6, 7, 8},
};

const MeasureKind kMaleMeasures = {
    "frmMeasureMale",
    "Measurements - Male",
    "MEASURE_MALE",
    {{"Height:", "MEASURE_MALE_HEIGHT"},
     {"Waist:", "MEASURE_MALE_WAIST"},
     {"Chest:", "MEASURE_MALE_CHEST"},
     {"Coat:", "MEASURE_MALE_COAT"},
     {"Pant Waist:", "MEASURE_MALE_PANTWAIST"},
     {"Pant Inseam:", "MEASURE_MALE_PANTINSEAM"},
     {"Collar:", "MEASURE_MALE_COLLAR"},
     {"Sleeve:", "MEASURE_MALE_SLEEVE"},
     {"Shoe:", "MEASURE_MALE_SHOE"},
     {"Hat:", "MEASURE_MALE_HAT"}},
    {0, 1, 2, 3},
    {4, 5, 9},
    {6, 7, 8},
};

MeasureForm::MeasureForm(const MeasureKind& kind) : RecordEditor(kind.form), kind_(kind)
{
    keepWhileOpen(curMode, curRec);
}

QWidget* MeasureForm::makeWidget(QWidget* parent)
{
    return new ui::FormWidget<QDialog>(this, parent);
}

QDialog* MeasureForm::window() const
{
    return static_cast<QDialog*>(widget());
}

void MeasureForm::createControls()
{
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle(kind_.caption);
    const int width = std::max<int>(5100, 120 + 1380 * int(kind_.topRow.size()));
    w->setFixedSize(twips::toPixels(width), twips::toPixels(3300));

    Label2 = editing::makeLabel(w, "Label2", "Name:", rect(120, 150, 720, 255));
    Combo1 = editing::makeListBox(w, "Combo1", rect(900, 120, width - 1020, 315));
    const int n = int(kind_.sizes.size());
    Label3.assign(n, nullptr);
    Text1.assign(n, nullptr);
    auto size = [&](int i, QRect label, QRect box) {
        Label3[i] = editing::makeLabel(w, QString("Label3(%1)").arg(i), kind_.sizes[i].first, label);
        Text1[i] = static_cast<QLineEdit*>(editing::makeTextBox(w, QString("Text1(%1)").arg(i), false, box));
    };
    QList<QWidget*> order = {Combo1};
    for (int c = 0; c < int(kind_.topRow.size()); ++c) {
        const int x = 120 + 1380 * c;
        size(kind_.topRow[c], rect(x, 570, 1260, 255), rect(x, 840, 1260, 300));
        order << Text1[kind_.topRow[c]];
    }
    const std::pair<const std::vector<int>*, int> columns[] = {{&kind_.leftColumn, 120}, {&kind_.rightColumn, 2640}};
    for (const auto& [column, x] : columns)
        for (int r = 0; r < int(column->size()); ++r) {
            const int y = 1320 + 420 * r;
            size((*column)[r], rect(x, y + 30, 1260, 255), rect(x + 1320, y, 1020, 300));
            order << Text1[(*column)[r]];
        }
    Command1 =
        editing::makeButton(w, "Command1", "Save", rect(width - 2640, 2700, 1140, 375), [this] { Command1_Click(); });
    Command2 =
        editing::makeButton(w, "Command2", "Cancel", rect(width - 1320, 2700, 1140, 375), [this] { Command2_Click(); });
    editing::chainTabOrder(order << Command1 << Command2);
    centredDialog(w);
}

void MeasureForm::releaseControls()
{
    Label2 = nullptr;
    Combo1 = nullptr;
    Label3.clear();
    Text1.clear();
    Command1 = Command2 = nullptr;
}

BoxColumns MeasureForm::boxes() const
{
    // The name, then each size in index order.
    BoxColumns b = {{QString(kind_.table) + "_NAME", Combo1}};
    for (size_t i = 0; i < kind_.sizes.size(); ++i)
        b.push_back({kind_.sizes[i].second, Text1[i]});
    return b;
}

void MeasureForm::Form_Load()
{
    mode_ = curMode;
    key_ = curRec;
    GetNames();
    ClearFields();
    if (mode_ == Mode::Edit && !LoadMeasurement()) {
        Unload();
        return;
    }
    boxesSaved();
    window()->raise();
}

void MeasureForm::GetNames()
{
    // In the table's own order, also when read a page at a time.
    fillNameBox(Combo1, "SELECT SUBGUEST_FNAME, SUBGUEST_LNAME FROM SUBGUEST ORDER BY SUBGUEST_ID");
}

void MeasureForm::ClearFields()
{
    for (QLineEdit* t : Text1)
        t->clear();
}

bool MeasureForm::LoadMeasurement()
{
    record_.boxes = [this] { return shownIn(boxes()); };
    return editing::openRecord(record_, kind_.table, key_, [this](ado::Recordset& rs) { showColumns(rs, boxes()); },
                               window());
}

bool MeasureForm::save()
{
    if (Combo1->currentText().isEmpty()) {
        // The window stays open with what was typed.
        ui::MsgBox("Please enter a name for this person.", ui::vbOKOnly, QString(), window());
        return false;
    }
    return editing::saveRecord(record_, kind_.table, mode_ == Mode::Add,
                               [this](ado::Recordset& rs) { storeColumns(rs, boxes()); }, window())
        != editing::SaveOutcome::Refused;
}

void MeasureForm::Command1_Click()
{
    if (save())
        closeAsIs();
}

void MeasureForm::Command2_Click()
{
    closeAsIs();
}

void MeasureForm::Form_Unload(bool&)
{
    refreshMain(records::MainList::Measurements);
}

}  // namespace money
