#pragma once
// Place cards: one folded card per table of an event, printed as a page
// folded across its middle. Each half carries the table's name nearest the
// fold and one line per person seated there; the upper half is turned half
// round, so the standing card reads upright on both faces. The first
// table's card is previewed.

#include "platform/ui/forms.h"

#include <QColor>
#include <QPoint>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

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
struct TextFont;
}

class frmPlacard : public ui::Form<frmPlacard, QDialog> {
public:
    frmPlacard() : Form("frmPlacard") {}
    ~frmPlacard() override;

    static constexpr const char* kCaption = "Seating Placards";
    static constexpr const char* kDocument = "Wedding Placards";
    static constexpr const char* kNoEvents = "Please add events, before printing placards.";
    static constexpr const char* kNoTables = "This event has no tables, so there are no placards to print.";
    static constexpr const char* kGuestsLeftOff =
        "Some tables seat more guests than their placard holds: the names that do not fit are left off.";

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void Combo2_Click();
    void cmdFont_Click();
    void cmdPrint_Click();
    void cmdCancel_Click();

    // One text of a card, at whole device units.
    struct CardText {
        QPoint at;
        QString text;
        bool turned = false;
        int height = 0;  // character height, device units
    };
    struct Card {
        QVector<CardText> texts;
        bool cut = false;   // guests left off, or a name cut short
    };
    // The card of a table on a page of W x H device units, `dpi` of them to
    // the inch, in the face of the printer font (its height unused) at
    // `points`. The name, in letters twice as high, shrinks to fit the face;
    // the guest lines shrink together, down to a legible size, so that all
    // of them stand inside the face and the paper's safe margin.
    static Card cardTexts(QSizeF page, double dpi, const printing::TextFont& face, double points,
                          const QString& name, const QStringList& guests);
    // Keeps this far from the paper's edge, inches.
    static constexpr double kSafeMargin = 0.25;

    QLabel* Label2 = nullptr;
    QComboBox* Combo2 = nullptr;
    QPushButton* cmdFont = nullptr;
    printing::PreviewBox* Picture1 = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void FillEvents();
    void LoadTables(qint64 eventID);
    void LoadTableGuests(qint64 tableID);
    void PrintPlacards(printing::Surface& paper);
    void PreviewPlacards();
    // The current table's card on a page of device units, drawn shrunk by
    // a factor across and down.
    Card currentCard(QSizeF page, double dpi);
    void drawCard(printing::Surface& s, QSizeF page, double dpi, QSizeF shrink = QSizeF(1, 1));
    bool hasTables() const;

    qint64 curEvent = 0;
    std::unique_ptr<ado::Recordset> tablesRS;
    std::unique_ptr<ado::Recordset> guestsRS;
    bool formLoaded = false;
    double previewScale = 0;
    QColor textColor = Qt::black;
};
