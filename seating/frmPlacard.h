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
}

class frmPlacard : public ui::Form<frmPlacard, QDialog> {
public:
    frmPlacard() : Form("frmPlacard") {}
    ~frmPlacard() override;

    static constexpr const char* kCaption = "Seating Placards";
    static constexpr const char* kDocument = "Wedding Placards";
    static constexpr const char* kNoEvents = "Please add events, before printing placards.";
    static constexpr const char* kNoTables = "This event has no tables, so there are no placards to print.";

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
    // A card on a page of W x H device units with a character height of h;
    // the name in letters twice as high, or in `nameHeight` when given.
    static QVector<CardText> cardTexts(QSizeF page, int h, const QString& name, const QStringList& guests,
                                       int nameHeight = 0);

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
    // The current table's card: its name, and its guests as LoadTableGuests read them.
    void drawCard(printing::Surface& s, QSizeF page, int h);
    bool hasTables() const;

    qint64 curEvent = 0;
    std::unique_ptr<ado::Recordset> tablesRS;
    std::unique_ptr<ado::Recordset> guestsRS;
    bool formLoaded = false;
    double previewScale = 0;
    QColor textColor = Qt::black;
};
