#pragma once
// Address labels: one label for every guest party invited to an event, on
// the label sheets of a style from LABELS, starting at any label of the
// first sheet and moved by an extra offset; the first sheet previewed with
// its margins shaded and its label grid, all sheets printed in as many
// copies as the print dialog asks for.

#include "platform/ui/forms.h"

#include <QColor>
#include <QString>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace ado {
class Recordset;
}
namespace printing {
class PreviewBox;
class Surface;
}

class frmLabels : public ui::Form<frmLabels, QDialog> {
public:
    frmLabels() : Form("frmLabels") {}
    ~frmLabels() override;

    static constexpr const char* kCaption = "Address Labels";
    static constexpr const char* kNoEvents = "Please add events before printing labels.";
    static constexpr const char* kNoLabelsOnSheet =
        "This label type has no labels on its sheet: it needs at least one label across and one row down.";
    static constexpr const char* kNoParties = "No guest party is invited to this event, so there are no labels to print.";
    // How far the labels' lines reach ("8.31 in. across"), and the paper
    // chosen ("8.26 in. wide").
    static constexpr const char* kSheetPastPaper =
        "The lines of the labels on this sheet reach %1, but the paper chosen is %2: what is past its edge "
        "would be cut.  Print anyway?";

    // LABEL_NAME of the current label style.
    QString curLabelType;

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void LoadLabel(qint64& labelID);

    void Combo1_Click();
    void Combo2_Click();
    void cmbFirstLabel_Click();
    void cmbTop_Click();
    void cmbLeft_Click();
    void cmdFont_Click();
    void cmdPrint_Click();
    void cmdCancel_Click();

    // The city line of an address: the city alone when state and ZIP are
    // both empty.
    static QString cityLine(const QString& city, const QString& state, const QString& zip);

    std::array<QLabel*, 7> Label2{};  // captions 0, 1, 4, 5, 6
    std::array<QLabel*, 8> Label1{};  // information lines
    QComboBox* Combo2 = nullptr;      // events
    QComboBox* Combo1 = nullptr;      // label styles
    QComboBox* cmbTop = nullptr;
    QComboBox* cmbLeft = nullptr;
    QComboBox* cmbFirstLabel = nullptr;
    printing::PreviewBox* Picture1 = nullptr;
    QPushButton* cmdFont = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void InitFontAndOffsets();
    void FillEvents();
    void FillLabelStyles();
    void LoadGuests(qint64& eventID);
    void DrawLabels(printing::Surface& surface, double scale, bool onPaper);
    void DrawSheetOutline();
    void Redraw();
    void drawLabel(printing::Surface& surface, double scale, bool onPaper, int r, int c);
    // Labels across and rows down as the sheet's cells are counted; a style
    // with no cell is refused.
    int across() const;
    int down() const;
    bool hasCells() const { return across() >= 1 && down() >= 1; }
    bool eventsExist() const;

    std::unique_ptr<ado::Recordset> guestsRS;
    double topMargin = 0, sideMargin = 0, verticalPitch = 0, heightPitch = 0;
    double numAcross = 0, numDown = 0;
    qint64 curLabelID = 0;
    qint64 curEvent = 0;
    bool formLoaded = false;
    double previewScale = 0;
    int firstLabel = 1;
    QColor dialogColor = Qt::black;
};
