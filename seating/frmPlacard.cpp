#include "seating/frmPlacard.h"

#include "platform/ado/ado.h"
#include "platform/ado/ignoring.h"
#include "platform/print/previewbox.h"
#include "platform/print/printer.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/fonts.h"
#include "platform/ui/messages.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "seating/pagefit.h"
#include "seating/seatingdata.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include <cmath>

using ado::ignoringErrors;
using modQVDatabase::gConn;
using twips::rect;

namespace {

int whole(double v) { return int(std::nearbyint(v)); }

// A blank name is no name either.
QString cardName(const QVariant& stored)
{
    const QString name = seating::tableName(stored);
    return name.trimmed().isEmpty() ? seating::tableName(QVariant()) : name;
}

// Guest lines shrink down to this size; what still does not fit is left off.
constexpr double kLegiblePoints = 6;

QPoint wholePoint(double x, double y) { return QPoint(whole(x), whole(y)); }

// A name prints on one line: each line break in it (an imported one) a blank.
QString oneLine(QString text)
{
    static const QRegularExpression kBreaks("[\\r\\n]+");
    return text.replace(kBreaks, " ");
}

// The resolution of an ordinary printer, at which the preview's card is laid out.
constexpr double kPaperDpi = 600;

}  // namespace

frmPlacard::~frmPlacard() = default;

frmPlacard::Card frmPlacard::cardTexts(QSizeF page, double dpi, const printing::TextFont& face, double points,
                                       const QString& name, const QStringList& guests)
{
    const double W = page.width(), H = page.height();
    const double xL = W / 8.5;
    const double xR = W - W / 8.5;
    const double F = H / 2;
    const int h = whole(printing::TextFont::heightOf(points, dpi));
    const double S = h + h / 5.0;
    Card card;
    // The name nearest the fold, in letters twice the size, as large as the face is wide.
    printing::TextFont font = face;
    font.height = 2 * h;
    const int nameHeight = whole(printing::fittingHeight(font, dpi, {name}, xR - xL, 1));
    card.texts.push_back({wholePoint(xR, F - 0.2 * F), name, true, nameHeight});
    card.texts.push_back({wholePoint(xL, F + 0.2 * F), name, false, nameHeight});
    // The guests outwards from three line steps beyond the name, a step (1.2
    // times their height) apart, the last one above the safe margin.
    const double first = 0.2 * F + 3 * S;  // from the fold
    font.height = h;
    const auto block = [dpi](const printing::TextFont& f, int n) {
        return n > 0 ? (n - 1) * 1.2 * f.height + printing::lineHeight(f, dpi) : 0.0;
    };
    const printing::FittedLines lines =
        printing::fitLines(font, dpi, guests, QSizeF(xR - xL, F - first - kSafeMargin * dpi),
                           printing::TextFont::heightOf(kLegiblePoints, dpi), block);
    const double step = lines.height * 1.2;
    for (int k = 0; k < lines.texts.size(); ++k) {
        card.texts.push_back({wholePoint(xR, F - first - k * step), lines.texts[k], true, whole(lines.height)});
        card.texts.push_back({wholePoint(xL, F + first + k * step), lines.texts[k], false, whole(lines.height)});
    }
    card.cut = lines.cut;
    return card;
}

void frmPlacard::createControls()
{
    QDialog* w = window();
    w->setWindowTitle(kCaption);
    w->setFixedSize(twips::toPixels(7008), twips::toPixels(6444));
    Label2 = editing::makeLabel(w, "Label2", "Event:", rect(360, 240, 1092, 252));
    Combo2 = new ui::ListBox(w);
    Combo2->setObjectName("Combo2");
    Combo2->setGeometry(rect(360, 480, 1812, 288));
    Combo2->setPlaceholderText("Choose Event");
    cmdFont = editing::makeButton(w, "cmdFont", "Choose Font", rect(2400, 360, 1332, 372), [this] { cmdFont_Click(); });
    Picture1 = new printing::PreviewBox(w);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(rect(360, 960, 4932, 5292));
    cmdPrint = editing::makeButton(w, "cmdPrint", "Print", rect(5880, 5280, 972, 372), [this] { cmdPrint_Click(); });
    cmdCancel =
        editing::makeButton(w, "cmdCancel", "Cancel", rect(5880, 5880, 972, 372), [this] { cmdCancel_Click(); });
    editing::chainTabOrder({Combo2, cmdFont, cmdPrint, cmdCancel});
    QObject::connect(Combo2, &QComboBox::currentIndexChanged, w, [this] { ui::guarded([this] { Combo2_Click(); }); });
}

void frmPlacard::releaseControls()
{
    Label2 = nullptr;
    Combo2 = nullptr;
    cmdFont = cmdPrint = cmdCancel = nullptr;
    Picture1 = nullptr;
}

void frmPlacard::Form_Load()
{
    formLoaded = false;
    curEvent = 0;
    previewScale = 0;
    tablesRS.reset();
    guestsRS.reset();
    FillEvents();
    textColor = Qt::black;
    printing::Printer& printer = printing::printer();
    printer.FontName = fonts::kDesignFace;
    printer.FontSize = 24;
    formLoaded = true;
    if (Combo2->count() > 0) {
        curEvent = Combo2->currentData().toLongLong();
        LoadTables(curEvent);
        previewScale = printPreview::FitPreviewToPrinter(*Picture1);
        PreviewPlacards();
    } else {
        Picture1->resize(twips::toPixels(4932), twips::toPixels(5292));
        ui::MsgBox(kNoEvents, ui::vbOKOnly, QString(), window());
    }
    window()->raise();
}

void frmPlacard::Form_Unload(bool&)
{
    tablesRS.reset();
    guestsRS.reset();
}

void frmPlacard::FillEvents()
{
    editing::fillKeyedList(Combo2, "SELECT EVENT_ID, EVENT_NAME FROM EVENT");
    curEvent = Combo2->itemData(0).toLongLong();
    Combo2->setCurrentIndex(0);
}

void frmPlacard::LoadTables(qint64 eventID)
{
    tablesRS = std::make_unique<ado::Recordset>();
    ignoringErrors([&] {
        tablesRS->Open("SELECT TABLE_ID, EVENT_ID, TABLE_NAME FROM TABLES WHERE EVENT_ID = ?", gConn,
                       ado::adOpenKeyset, ado::adLockReadOnly, {eventID});
    });
}

void frmPlacard::LoadTableGuests(qint64 tableID)
{
    guestsRS = std::make_unique<ado::Recordset>();
    ignoringErrors([&] {
        guestsRS->Open("SELECT SUBGUEST.SUBGUEST_FNAME, SUBGUEST.SUBGUEST_LNAME, SEATING.TABLE_ID FROM (SUBGUEST "
                       "INNER JOIN SEATING ON SEATING.SUBGUEST_ID=SUBGUEST.SUBGUEST_ID) WHERE SEATING.TABLE_ID = ?",
                       gConn, ado::adOpenKeyset, ado::adLockReadOnly, {tableID});
    });
}

bool frmPlacard::hasTables() const { return tablesRS && tablesRS->isOpen() && tablesRS->RecordCount() >= 1; }

frmPlacard::Card frmPlacard::currentCard(QSizeF page, double dpi)
{
    QString name;
    ignoringErrors([&] {
        LoadTableGuests(tablesRS->value("TABLE_ID").toLongLong());
        name = oneLine(cardName(tablesRS->value("TABLE_NAME")));
    });
    QStringList guests;
    ignoringErrors([&] {
        for (guestsRS->MoveFirst(); !guestsRS->EOF_(); guestsRS->MoveNext())
            guests << oneLine(
                seating::personName(guestsRS->value("SUBGUEST_FNAME"), guestsRS->value("SUBGUEST_LNAME")));
    });
    const printing::Printer& printer = printing::printer();
    return cardTexts(page, dpi, printer.textFont(0), printer.FontSize, name, guests);
}

void frmPlacard::drawCard(printing::Surface& s, QSizeF page, double dpi, QSizeF shrink)
{
    const printing::Printer& printer = printing::printer();
    s.setColor(textColor);
    for (const CardText& t : currentCard(page, dpi).texts) {
        s.setFont(printer.textFont(whole(t.height * shrink.height())));
        s.text(QPointF(whole(t.at.x() * shrink.width()), whole(t.at.y() * shrink.height())), t.text, t.turned);
    }
}

void frmPlacard::PrintPlacards(printing::Surface& paper)
{
    if (!hasTables())
        return;
    bool first = true;
    ignoringErrors([&] {
        for (tablesRS->MoveFirst(); !tablesRS->EOF_() && !paper.stopped(); tablesRS->MoveNext()) {
            if (!first)
                paper.newPage();
            first = false;
            drawCard(paper, paper.deviceSize(), paper.dpiY());
        }
    });
}

void frmPlacard::PreviewPlacards()
{
    const QSizeF page = printing::printer().pageInches();
    if (!hasTables() || previewScale <= 0 || page.isEmpty())
        return;
    // The card as paper of an ordinary resolution has it, shrunk onto the
    // box, which the fit gave the paper's proportion: the same lines, in the
    // same places.
    const QSizeF inner = Picture1->innerPixels();
    ignoringErrors([&] {
        tablesRS->MoveFirst();
        Picture1->Cls();
        drawCard(Picture1->surface(true), page * kPaperDpi, kPaperDpi,
                 QSizeF(inner.width() / page.width(), inner.height() / page.height()) / kPaperDpi);
    });
}

// ---------------------------------------------------------------- handlers

void frmPlacard::Combo2_Click()
{
    curEvent = Combo2->currentData().toLongLong();
    if (!formLoaded)
        return;
    Picture1->Cls();
    LoadTables(curEvent);
    PreviewPlacards();
}

void frmPlacard::cmdFont_Click()
{
    if (printing::printer().chooseFont(textColor, ui::cdlCFPrinterFonts | ui::cdlCFEffects, window()))
        PreviewPlacards();
}

void frmPlacard::cmdPrint_Click()
{
    const auto refuse = [this](const char* why) { ui::MsgBox(why, ui::vbExclamation | ui::vbOKOnly, QString(), window()); };
    if (Combo2->count() == 0)
        return refuse(kNoEvents);
    if (!hasTables())
        return refuse(kNoTables);
    // A table seating more than its card holds at the least size is said
    // before anything prints, on the paper chosen.
    const auto sayWhatIsLeftOff = [this] {
        bool cut = false;
        ignoringErrors([&] {
            for (tablesRS->MoveFirst(); !tablesRS->EOF_() && !cut; tablesRS->MoveNext())
                cut = currentCard(printing::printer().pageInches() * kPaperDpi, kPaperDpi).cut;
        });
        if (cut)
            ui::MsgBox(kGuestsLeftOff, ui::vbExclamation | ui::vbOKOnly, QString(), window());
        return true;
    };
    // Each copy is a print job of its own.
    printing::printer().printCopies(
        kDocument, window(),
        [this](printing::Document& doc, int copy) {
            if (copy > 1)
                doc.nextJob();
            PrintPlacards(doc.surface());
        },
        sayWhatIsLeftOff, tablesRS->RecordCount());
}

void frmPlacard::cmdCancel_Click() { Unload(); }
