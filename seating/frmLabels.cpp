#include "seating/frmLabels.h"

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

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

using ado::ignoringErrors;
using modQVDatabase::gConn;
using twips::rect;

namespace {

int whole(double v) { return int(std::nearbyint(v)); }

// In the user's regional form (0.50 in., 0,50 in.).
QString inches(double v) { return QLocale().toString(v, 'f', 2) + " in."; }

// A field as text, or nothing for NULL.
std::optional<QString> field(const ado::Recordset& rs, const char* name)
{
    const QVariant v = rs.value(name);
    if (v.isNull())
        return std::nullopt;
    return ado::convert::valueText(v);
}

// Reads a measure of the style; NULL, like a missing row, keeps the one before.
void readMeasure(const ado::Recordset& rs, const char* name, double& into)
{
    const QVariant v = rs.value(name);
    if (v.isNull())
        throw std::runtime_error("no value");
    into = v.toDouble();
}

// One offset step is a point: 20 twips.
double offsetInches(const QComboBox* box) { return box->currentIndex() * 20 / 1440.0; }

// Labels are fitted on the paper's measures, so that the preview shows the
// same lines at the same size as the paper.
constexpr double kFitDpi = 1200;
// Shrinking stops at this size; what still does not fit is cut with "…".
constexpr double kLegiblePoints = 6;

struct LabelLine {
    QString text;
    bool stepFirst = true;   // the line stands one line below the one before
};

// A value of several lines (a street kept with its line breaks, as phone and
// mail programs export it) prints as that many lines, each below the one
// before, so the label's fit counts every one of them.
void addLines(QVector<LabelLine>& lines, const QString& text, bool stepFirst)
{
    static const QRegularExpression kBreak("\\r\\n|\\r|\\n");
    QStringList parts = text.split(kBreak, Qt::SkipEmptyParts);
    if (parts.isEmpty())
        parts << QString();
    for (const QString& part : parts) {
        lines.push_back({part, stepFirst});
        stepFirst = true;
    }
}

struct FittedLabel {
    double points = 0;
    QStringList texts;
    QVector<double> tops;   // inches below the label's first line
};

// The tops of the lines in a font, and the bottom of the last one; device units.
double placeLines(const QVector<LabelLine>& lines, const printing::TextFont& font, QVector<double>* tops = nullptr)
{
    double y = 0, bottom = 0;
    for (const LabelLine& line : lines) {
        const double h = (line.text.count('\n') + 1) * printing::lineHeight(font, kFitDpi);
        if (line.stepFirst)
            y += h;
        if (tops)
            *tops << y;
        bottom = std::max(bottom, y + h);
    }
    return bottom;
}

// A label's lines within a room of inches: in the printer font, or one
// smaller down to a legible size, so that every line fits the room's width
// and all of them its height; then a line still too wide is cut with "…",
// and lines below the room are left out, the last one shown ending in "…".
// Offsets that leave the text no room in its label put it where they say.
FittedLabel fitLabel(const QVector<LabelLine>& lines, printing::TextFont font, double points, QSizeF room)
{
    QStringList texts;
    for (const LabelLine& line : lines)
        texts << line.text;
    font.height = printing::TextFont::heightOf(points, kFitDpi);
    const auto block = [&lines](const printing::TextFont& f, int n) { return placeLines(lines.mid(0, n), f); };
    const printing::FittedLines fitted = printing::fitLines(
        font, kFitDpi, texts, room * kFitDpi, printing::TextFont::heightOf(kLegiblePoints, kFitDpi), block);
    FittedLabel fit;
    fit.points = fitted.height != font.height ? fitted.height * 72 / kFitDpi : points;
    fit.texts = fitted.texts;
    font.height = fitted.height;
    QVector<double> tops;
    placeLines(lines, font, &tops);
    for (int i = 0; i < fit.texts.size(); ++i)
        fit.tops << tops[i] / kFitDpi;
    return fit;
}

}  // namespace

frmLabels::~frmLabels() = default;

QString frmLabels::cityLine(const QString& city, const QString& state, const QString& zip)
{
    if (state.isEmpty() && zip.isEmpty())
        return city;
    return city + ", " + state + "  " + zip;
}

void frmLabels::createControls()
{
    QDialog* w = window();
    w->setWindowTitle(kCaption);
    // The label style's list is as wide as the longest style the template
    // holds needs, under either design face.
    w->setFixedSize(twips::toPixels(9888), twips::toPixels(6372));

    const auto list = [w](const char* name, const QRect& at) {
        auto* c = new ui::ListBox(w);
        c->setObjectName(name);
        c->setGeometry(at);
        return c;
    };
    const auto caption = [&](int i, const char* text, const QRect& at) {
        Label2[i] = editing::makeLabel(w, QString("Label2(%1)").arg(i), text, at);
    };
    caption(0, "Event:", rect(240, 120, 2052, 252));
    Combo2 = list("Combo2", rect(240, 360, 2052, 315));
    caption(1, "Label Type:", rect(2412, 120, 4332, 252));
    Combo1 = list("Combo1", rect(2412, 360, 4332, 315));
    caption(4, "Top Space:", rect(6864, 120, 1332, 252));
    cmbTop = list("cmbTop", rect(6864, 360, 1332, 315));
    caption(5, "Left Space:", rect(8316, 120, 1332, 252));
    cmbLeft = list("cmbLeft", rect(8316, 360, 1332, 315));

    Picture1 = new printing::PreviewBox(w);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(rect(240, 840, 4932, 5292));

    caption(6, "First Label:", rect(5400, 840, 1332, 252));
    cmbFirstLabel = list("cmbFirstLabel", rect(5400, 1080, 1332, 315));
    cmdFont = editing::makeButton(w, "cmdFont", "Choose Font", rect(5400, 1560, 1332, 372), [this] { cmdFont_Click(); });
    // The style's name may take two lines.
    const int tops[8] = {2100, 2400, 2700, 3240, 3540, 3840, 4140, 4440};
    for (int i = 0; i < 8; ++i) {
        Label1[i] = editing::makeLabel(w, QString("Label1(%1)").arg(i), QString(),
                                       rect(5400, tops[i], 4248, i == 2 ? 492 : 252));
        Label1[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    Label1[2]->setWordWrap(true);
    cmdPrint = editing::makeButton(w, "cmdPrint", "Print", rect(5400, 5760, 972, 372), [this] { cmdPrint_Click(); });
    cmdCancel =
        editing::makeButton(w, "cmdCancel", "Cancel", rect(6492, 5760, 972, 372), [this] { cmdCancel_Click(); });
    editing::chainTabOrder({Combo2, Combo1, cmbTop, cmbLeft, cmbFirstLabel, cmdFont, cmdPrint, cmdCancel});

    const auto onClick = [this, w](QComboBox* box, void (frmLabels::*handler)()) {
        QObject::connect(box, &QComboBox::currentIndexChanged, w,
                         [this, handler] { ui::guarded([this, handler] { (this->*handler)(); }); });
    };
    onClick(Combo1, &frmLabels::Combo1_Click);
    onClick(Combo2, &frmLabels::Combo2_Click);
    onClick(cmbFirstLabel, &frmLabels::cmbFirstLabel_Click);
    onClick(cmbTop, &frmLabels::cmbTop_Click);
    onClick(cmbLeft, &frmLabels::cmbLeft_Click);
}

void frmLabels::releaseControls()
{
    Label2.fill(nullptr);
    Label1.fill(nullptr);
    Combo1 = Combo2 = cmbTop = cmbLeft = cmbFirstLabel = nullptr;
    Picture1 = nullptr;
    cmdFont = cmdPrint = cmdCancel = nullptr;
}

// ---------------------------------------------------------------- opening

void frmLabels::Form_Load()
{
    // Every opening starts afresh.
    formLoaded = false;
    topMargin = sideMargin = verticalPitch = heightPitch = numAcross = numDown = 0;
    curLabelID = curEvent = 0;
    previewScale = 0;
    firstLabel = 1;
    guestsRS.reset();

    InitFontAndOffsets();
    FillEvents();
    FillLabelStyles();
    LoadLabel(curLabelID);
    formLoaded = true;
    if (eventsExist()) {
        curEvent = Combo2->currentData().toLongLong();
        LoadGuests(curEvent);
        previewScale = printPreview::FitPreviewToPrinter(*Picture1);
        Redraw();
    } else {
        Picture1->resize(twips::toPixels(4932), twips::toPixels(5244));
        ui::MsgBox(kNoEvents, ui::vbOKOnly, QString(), window());
    }
    window()->raise();
}

void frmLabels::Form_Unload(bool&)
{
    guestsRS.reset();
}

void frmLabels::InitFontAndOffsets()
{
    printing::Printer& printer = printing::printer();
    printer.FontName = fonts::kDesignFace;
    printer.FontSize = 8;
    dialogColor = Qt::black;
    for (QComboBox* box : {cmbTop, cmbLeft}) {
        {
            const QSignalBlocker quiet(box);
            box->clear();
            for (int i = 0; i <= 40; ++i)
                box->addItem(QString::number(i) + " pixels");
            box->setCurrentIndex(-1);
        }
        box->setCurrentIndex(8);
    }
}

void frmLabels::FillEvents()
{
    editing::fillKeyedList(Combo2, "SELECT EVENT_ID, EVENT_NAME FROM EVENT");
    curEvent = Combo2->itemData(0).toLongLong();
    Combo2->setCurrentIndex(0);
}

void frmLabels::FillLabelStyles()
{
    editing::fillKeyedList(Combo1, "SELECT * FROM LABELS ORDER BY LABEL_NAME");
    Combo1->setCurrentIndex(0);
    curLabelID = Combo1->itemData(0).toLongLong();
    // The names are longer than the list is wide.
    Combo1->view()->setMinimumWidth(Combo1->view()->sizeHintForColumn(0) + 24);
}

bool frmLabels::eventsExist() const { return Combo2->count() > 0; }

int frmLabels::across() const { return whole(numAcross); }
int frmLabels::down() const { return whole(numDown); }

void frmLabels::LoadLabel(qint64& labelID)
{
    ado::Recordset labelRS;
    bool read = ignoringErrors([&] {
        labelRS.Open("SELECT * FROM LABELS WHERE LABEL_ID = ?", gConn, ado::adOpenKeyset, ado::adLockReadOnly,
                     {labelID});
    });
    read = read && !labelRS.EOF_();
    ignoringErrors([&] { curLabelType = labelRS.value("LABEL_NAME").toString(); });
    ignoringErrors([&] { readMeasure(labelRS, "TOP_MARGIN", topMargin); });
    ignoringErrors([&] { readMeasure(labelRS, "SIDE_MARGIN", sideMargin); });
    ignoringErrors([&] { readMeasure(labelRS, "VERTICAL_PITCH", verticalPitch); });
    ignoringErrors([&] { readMeasure(labelRS, "HEIGHT_PITCH", heightPitch); });
    ignoringErrors([&] { readMeasure(labelRS, "NUM_ACROSS", numAcross); });
    ignoringErrors([&] { readMeasure(labelRS, "NUM_DOWN", numDown); });

    const int perSheet = hasCells() ? whole(numDown * numAcross) : 0;
    {
        const QSignalBlocker quiet(cmbFirstLabel);
        cmbFirstLabel->clear();
        for (int i = 1; i <= perSheet; ++i)
            cmbFirstLabel->addItem(QString::number(i));
        cmbFirstLabel->setCurrentIndex(-1);
    }
    cmbFirstLabel->setCurrentIndex(0);
    firstLabel = 1;

    Label1[2]->setText("Label Style:  " + curLabelType);
    Label1[3]->setText("Labels/Page:  " + QString::number(whole(numAcross * numDown)));
    Label1[4]->setText("Top Margin:  " + inches(topMargin));
    Label1[5]->setText("Left Margin:  " + inches(sideMargin));
    Label1[6]->setText("Height Between:  " + inches(verticalPitch));
    Label1[7]->setText("Width Between:  " + inches(heightPitch));
    labelRS.Close();
    if (read && !hasCells())
        ui::MsgBox(kNoLabelsOnSheet, ui::vbExclamation | ui::vbOKOnly, QString(), window());
}

void frmLabels::LoadGuests(qint64& eventID)
{
    guestsRS = std::make_unique<ado::Recordset>();
    ignoringErrors([&] {
        guestsRS->Open(QStringLiteral("SELECT DISTINCT GUEST.GUEST_ID, INVITE.EVENT_ID, GUEST.GUEST_PARTYNAME, "
                                      "GUEST.GUEST_ADDRESS1, GUEST.GUEST_ADDRESS2, GUEST.GUEST_CITY, GUEST.GUEST_STATE, "
                                      "GUEST.GUEST_ZIP ")
                           + "FROM GUEST INNER JOIN (SUBGUEST INNER JOIN INVITE ON SUBGUEST.SUBGUEST_ID = "
                             "INVITE.SUBGUEST_ID) ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID "
                           + "WHERE (INVITE.EVENT_ID = ?)",
                       gConn, ado::adOpenKeyset, ado::adLockReadOnly, {eventID});
    });
    Label1[0]->setText("Guests:  " + QString::number(guestsRS->isOpen() ? guestsRS->RecordCount() : 0));
}

// ---------------------------------------------------------------- drawing

void frmLabels::DrawLabels(printing::Surface& surface, double scale, bool onPaper)
{
    // A sheet without cells would never use up a row.
    if (!hasCells())
        return;
    try {
        ado::Recordset* rs = guestsRS && guestsRS->isOpen() ? guestsRS.get() : nullptr;
        const int rows = rs ? rs->RecordCount() : 0;
        if (rows > 0)
            rs->MoveFirst();
        if (!onPaper)
            Picture1->Cls();
        Label1[1]->setText("Sheets Needed:  " + QString::number(int(std::ceil(rows / (numAcross * numDown)))));
        const auto rowLeft = [rs] { return rs && !rs->EOF_(); };
        for (;;) {
            // A print cancelled, or whose file failed, draws no further sheet.
            if (!rowLeft() || surface.stopped()) {
                firstLabel = cmbFirstLabel->currentIndex() + 1;
                return;
            }
            for (int r = 1; r <= down(); ++r)
                for (int c = 1; c <= across(); ++c) {
                    const int p = whole((r - 1) * numAcross + c);
                    if (rowLeft() && firstLabel <= p) {
                        drawLabel(surface, scale, onPaper, r, c);
                        rs->MoveNext();
                    }
                }
            if (onPaper) {
                surface.newPage();
                firstLabel = 1;
            } else if (rowLeft()) {
                // The preview shows the first sheet only.
                rs->MoveLast();
                rs->MoveNext();
            }
        }
    } catch (const std::exception&) {
        ado::logIgnoredError();  // what was drawn stays
    }
}

void frmLabels::drawLabel(printing::Surface& surface, double scale, bool onPaper, int r, int c)
{
    const std::optional<QString> party = field(*guestsRS, "GUEST_PARTYNAME");
    const std::optional<QString> address1 = field(*guestsRS, "GUEST_ADDRESS1");
    const std::optional<QString> address2 = field(*guestsRS, "GUEST_ADDRESS2");
    const QString city = cityLine(field(*guestsRS, "GUEST_CITY").value_or(QString()),
                                  field(*guestsRS, "GUEST_STATE").value_or(QString()),
                                  field(*guestsRS, "GUEST_ZIP").value_or(QString()));

    const double x = (c - 1) * heightPitch + sideMargin + offsetInches(cmbLeft);
    const double y = (r - 1) * verticalPitch + topMargin + offsetInches(cmbTop);

    // An address line that is NULL or empty (the guest editor stores a box
    // left empty as "") is left out and those below close up; the party
    // name stands on the label's first line.
    QVector<LabelLine> lines;
    if (party)
        addLines(lines, *party, false);
    for (const std::optional<QString>& line : {address1, address2})
        if (line && !line->trimmed().isEmpty())
            addLines(lines, *line, true);
    addLines(lines, city, true);
    // Every line stays inside its label: it ends as far from the right edge as
    // the left space keeps it from the left one, and above the bottom edge.
    const QSizeF room(heightPitch - 2 * offsetInches(cmbLeft), r * verticalPitch + topMargin - y);
    const printing::Printer& printer = printing::printer();
    const FittedLabel fit = fitLabel(lines, printer.textFont(0), printer.FontSize, room);

    // The preview shows the face and size; bold and the other effects only print.
    surface.setFont(printer.textFont(printing::TextFont::heightOf(fit.points * scale, surface.dpiY()), onPaper));
    surface.setColor(dialogColor);
    for (int i = 0; i < fit.texts.size(); ++i)
        surface.text({x, y + fit.tops[i]}, fit.texts[i]);
}

void frmLabels::DrawSheetOutline()
{
    printing::Surface& s = Picture1->surface();
    const QColor shade = QApplication::palette().color(QPalette::ToolTipBase);
    // Past the box's edges, whatever the scale.
    const double farRight = 2 * Picture1->scale().right() + 10;
    const double farBottom = 2 * Picture1->scale().bottom() + 10;
    const double gridRight = sideMargin + numAcross * heightPitch;
    const double gridBottom = topMargin + numDown * verticalPitch;
    s.fillBox(QRectF(QPointF(0, 0), QPointF(farRight, topMargin)), shade);
    s.fillBox(QRectF(QPointF(0, topMargin), QPointF(sideMargin, farBottom)), shade);
    s.fillBox(QRectF(QPointF(sideMargin, gridBottom), QPointF(farRight, farBottom)), shade);
    s.fillBox(QRectF(QPointF(gridRight, topMargin), QPointF(farRight, farBottom)), shade);
    for (int i = 0; i <= down(); ++i) {
        const double y = topMargin + i * verticalPitch;
        s.line({sideMargin, y}, {gridRight, y}, Qt::black);
    }
    for (int j = 0; j <= across(); ++j) {
        const double x = sideMargin + j * heightPitch;
        s.line({x, topMargin}, {x, gridBottom}, Qt::black);
    }
}

void frmLabels::Redraw()
{
    // Without an event the box was never fitted to the page.
    if (previewScale <= 0)
        return;
    DrawLabels(Picture1->surface(), previewScale, false);
    DrawSheetOutline();
}

// ---------------------------------------------------------------- handlers

void frmLabels::Combo1_Click()
{
    curLabelID = Combo1->currentData().toLongLong();
    if (!formLoaded)
        return;
    Picture1->Cls();
    LoadLabel(curLabelID);
    Redraw();
}

void frmLabels::Combo2_Click()
{
    curEvent = Combo2->currentData().toLongLong();
    if (!formLoaded)
        return;
    Picture1->Cls();
    LoadGuests(curEvent);
    Redraw();
}

void frmLabels::cmbFirstLabel_Click()
{
    if (!formLoaded)
        return;
    firstLabel = cmbFirstLabel->currentIndex() + 1;
    Picture1->Cls();
    Redraw();
}

void frmLabels::cmbTop_Click()
{
    if (!formLoaded)
        return;
    Picture1->Cls();
    Redraw();
}

void frmLabels::cmbLeft_Click() { cmbTop_Click(); }

void frmLabels::cmdFont_Click()
{
    if (printing::printer().chooseFont(dialogColor, ui::cdlCFPrinterFonts | ui::cdlCFEffects, window()))
        Redraw();
}

void frmLabels::cmdPrint_Click()
{
    const auto refuse = [this](const char* why) { ui::MsgBox(why, ui::vbExclamation | ui::vbOKOnly, QString(), window()); };
    if (!eventsExist())
        return refuse(kNoEvents);
    if (!hasCells())
        return refuse(kNoLabelsOnSheet);
    if (!guestsRS || !guestsRS->isOpen() || guestsRS->RecordCount() == 0)
        return refuse(kNoParties);
    // A sheet made for larger paper (a Letter sheet on A4) would lose what
    // its labels print past the paper's edge: the user decides, on the
    // paper chosen.
    const auto sheetFits = [this] {
        const QSizeF paper = printing::printer().pageInches();
        const QSizeF sheet(sideMargin + numAcross * heightPitch, topMargin + numDown * verticalPitch);
        if (sheet.width() <= paper.width() && sheet.height() <= paper.height())
            return true;
        // Labels that cross the edge may still print every line inside it.
        constexpr double kDpi = 600;
        printing::RecordingSurface dry(paper * kDpi, kDpi, kDpi);
        dry.setInches();
        DrawLabels(dry, 1.0, true);
        QSizeF reach;
        for (const printing::Drawn& d : dry.drawn())
            reach = reach.expandedTo(QSizeF(d.deviceAt.x() + printing::textWidth(d.font, kDpi, d.text),
                                            d.deviceAt.y() + (d.text.count('\n') + 1) * printing::lineHeight(d.font, kDpi)));
        const bool across = reach.width() > paper.width() * kDpi + 1;
        const bool down = reach.height() > paper.height() * kDpi + 1;
        if (!across && !down)
            return true;
        const QString reached = across && down ? inches(reach.width() / kDpi) + " across and "
                                                     + inches(reach.height() / kDpi) + " down"
                                : across       ? inches(reach.width() / kDpi) + " across"
                                               : inches(reach.height() / kDpi) + " down";
        const QString chosen = across && down ? inches(paper.width()) + " by " + inches(paper.height())
                               : across       ? inches(paper.width()) + " wide"
                                              : inches(paper.height()) + " high";
        return ui::MsgBox(QString(kSheetPastPaper).arg(reached, chosen), ui::vbExclamation | ui::vbYesNo, QString(),
                          window())
               == ui::vbYes;
    };
    const int perSheet = std::max(1, whole(numAcross * numDown));
    const int sheets = (guestsRS->RecordCount() + cmbFirstLabel->currentIndex() + perSheet - 1) / perSheet;
    printing::printer().printCopies(
        kCaption, window(),
        [this](printing::Document& doc, int) {
            doc.surface().setInches();
            DrawLabels(doc.surface(), 1.0, true);
        },
        sheetFits, sheets);
}

void frmLabels::cmdCancel_Click() { Unload(); }
