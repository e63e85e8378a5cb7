#pragma once
// The measurement editors: one person's name and clothing sizes, a
// MEASURE_FEMALE row (nine sizes) or a MEASURE_MALE row (ten). The two
// windows are one editor told which table, sizes and layout it has.

#include "money/moneyedit.h"
#include "platform/ui/forms.h"

#include <QString>

#include <vector>

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace money {

struct MeasureKind {
    const char* form;
    const char* caption;
    const char* table;
    // Label and column of each size box, by index.
    std::vector<std::pair<const char*, const char*>> sizes;
    // The boxes of the row with labels above, then of the left and the
    // right column with labels beside, by index.
    std::vector<int> topRow, leftColumn, rightColumn;
};

class MeasureForm : public editing::RecordEditor<ui::FormBase> {
public:
    // Written by the opener; kept between openings.
    Mode curMode = Mode::Add;
    qint64 curRec = 0;  // the row to edit

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void Command1_Click();  // save
    void Command2_Click();  // cancel

    QDialog* window() const;
    const MeasureKind& kind() const { return kind_; }

    QLabel* Label2 = nullptr;
    QComboBox* Combo1 = nullptr;
    std::vector<QLabel*> Label3;
    std::vector<QLineEdit*> Text1;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

protected:
    explicit MeasureForm(const MeasureKind& kind);
    QWidget* makeWidget(QWidget* parent) override;
    void createControls() override;
    void releaseControls() override;

private:
    void GetNames();
    void ClearFields();
    bool LoadMeasurement();
    bool save() override;
    BoxColumns boxes() const;
    const MeasureKind& kind_;
    Mode mode_ = Mode::Add;
    qint64 key_ = 0;
};

// One shared instance of each of the two windows.
template <class T>
class MeasureWindow : public MeasureForm {
public:
    static T& instance()
    {
        static T* inst = new T;
        return *inst;
    }

protected:
    using MeasureForm::MeasureForm;
};

extern const MeasureKind kFemaleMeasures;
extern const MeasureKind kMaleMeasures;

}  // namespace money

class frmMeasureFemale : public money::MeasureWindow<frmMeasureFemale> {
public:
    frmMeasureFemale() : MeasureWindow(money::kFemaleMeasures) {}
};

class frmMeasureMale : public money::MeasureWindow<frmMeasureMale> {
public:
    frmMeasureMale() : MeasureWindow(money::kMaleMeasures) {}
};
