// Address labels: where each party's label lands on the sheets, what its
// lines say, the preview of the first sheet, copies, and the refusals.

#include "stationery_support.h"

#include "guests/frmGuestDetail.h"
#include "platform/print/previewbox.h"
#include "seating/frmLabels.h"
#include "support/pdf.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

namespace {

using printing::Drawn;

// The template's first style by name: 3 across, 10 down, 2.75 in by 1 in,
// margins 0.5 in at the top and 0.1875 in at the side.
constexpr double kTop = 0.5, kSide = 0.1875, kDown = 1.0, kAcross = 2.75;
constexpr double kOffset = 8 / 72.0;  // the default entry of both offset lists

class LabelsTest : public testsupport::StationeryTest {
protected:
    static frmLabels& f() { return frmLabels::instance(); }
    frmLabels& open() { return show<frmLabels>(); }
    void print(int copies = 1) { printWith(f().cmdPrint, copies); }
    // The label position a text's corner stands in.
    static int position(const Drawn& d, double offset = kOffset)
    {
        const int c = int(std::lround((d.at.x() - kSide - offset) / kAcross)) + 1;
        const int r = int(std::lround((d.at.y() - kTop - offset) / kDown)) + 1;
        return (r - 1) * 3 + c;
    }
    // Position of each party name on a page, in drawing order.
    static QList<int> partyPositions(const printing::RecordingSurface::Page& page)
    {
        QList<int> out;
        for (const Drawn& d : page.texts())
            if (d.text.startsWith("Party"))
                out << position(d);
        return out;
    }
    static QList<int> range(int from, int to)
    {
        QList<int> out;
        for (int i = from; i <= to; ++i)
            out << i;
        return out;
    }
    void SetUp() override
    {
        StationeryTest::SetUp();
        ev = event("Reception");
    }
    qint64 ev = 0;
};

TEST_F(LabelsTest, ThirtyPartiesFromLabelFiveFillTwoSheetsAndEachCopyStartsAgain)
{
    invitedParties(ev, 30);
    open();
    EXPECT_EQ(f().window()->windowTitle(), "Address Labels");
    QStringList info;
    for (QLabel* l : f().Label1)
        info << l->text();
    EXPECT_EQ(info, QStringList({"Guests:  30", "Sheets Needed:  1", "Label Style:  Address 1 x 2-5/8 in, 30 per sheet",
                                 "Labels/Page:  30", "Top Margin:  0.50 in.", "Left Margin:  0.19 in.",
                                 "Height Between:  1.00 in.", "Width Between:  2.75 in."}));
    EXPECT_EQ(f().cmbFirstLabel->count(), 30);
    EXPECT_EQ(f().cmbTop->count(), 41);
    EXPECT_EQ(f().cmbLeft->currentText(), "8 pixels");

    pick(f().cmbFirstLabel, "5");
    // The preview shows the first sheet only, positions 1 to 4 empty.
    EXPECT_EQ(partyPositions(f().Picture1->drawn().pages()[0]), range(5, 30));

    print(2);
    ASSERT_EQ(jobs().size(), 1);
    const auto& pages = jobs()[0].surface->pages();
    ASSERT_EQ(pages.size(), 4);  // no blank page after the last sheet
    EXPECT_EQ(partyPositions(pages[0]), range(5, 30));
    EXPECT_EQ(partyPositions(pages[1]), range(1, 4));
    EXPECT_EQ(partyPositions(pages[2]), range(5, 30));
    EXPECT_EQ(partyPositions(pages[3]), range(1, 4));
    EXPECT_EQ(texts(pages[0]).mid(0, 3), QStringList({"Party 01", "1 Main St", "Springfield, IL  62701"}));
    EXPECT_EQ(texts(pages[3]).last(), "Springfield, IL  62701");
    EXPECT_EQ(texts(pages[1]).mid(0, 1), QStringList({"Party 27"}));
    // Printing leaves the window as it was, with the first label chosen.
    EXPECT_EQ(partyPositions(f().Picture1->drawn().pages()[0]), range(5, 30));
}

TEST_F(LabelsTest, EmptyAddressLinesCloseUpAndTheCityLineFollowsStateAndZip)
{
    struct Case {
        QVariant address2, city, state, zip;
        QString cityLine;
        int cityStep;  // lines below the party name
    };
    const QList<Case> cases = {
        {QVariant(), "Springfield", "IL", "62701", "Springfield, IL  62701", 2},
        {"", "Springfield", "IL", "62701", "Springfield, IL  62701", 2},
        {"   ", "Springfield", "IL", "62701", "Springfield, IL  62701", 2},
        {"Apt 4", "Springfield", "IL", "", "Springfield, IL  ", 3},
        {QVariant(), "Springfield", "", "", "Springfield", 2},
        {QVariant(), "Springfield", QVariant(), QVariant(), "Springfield", 2},
        {QVariant(), QVariant(), QVariant(), "62701", ",   62701", 2},
        {QVariant(), "", "", "", "", 2},
    };
    for (int i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const qint64 g = addressed(QString("Party %1").arg(i), "1 Elm St", c.address2, c.city, c.state, c.zip);
        // Two people of one party make one label.
        person(g, "Ann", "A", {ev});
        person(g, "Bob", "A", {ev});
    }
    // A party without a name still gets its address, one line down.
    person(addressed(QVariant(), "9 Oak Ave", QVariant(), "Dover", "DE", "19901"), "Cy", "B", {ev});
    open();
    EXPECT_EQ(f().Label1[0]->text(), QString("Guests:  %1").arg(cases.size() + 1));
    print();
    ASSERT_EQ(jobs().size(), 1);
    const QVector<Drawn> drawn = jobs()[0].surface->pages()[0].texts();

    QMap<QString, QVector<Drawn>> byParty;  // each label's lines, by its party
    QString current;
    for (const Drawn& d : drawn) {
        if (d.text.startsWith("Party") || d.text == "9 Oak Ave")
            current = d.text;
        byParty[current] << d;
    }
    ASSERT_EQ(byParty.size(), cases.size() + 1);
    for (int i = 0; i < cases.size(); ++i) {
        const QVector<Drawn> lines = byParty.value(QString("Party %1").arg(i));
        ASSERT_GE(lines.size(), 3) << i;
        const double step = lines[1].at.y() - lines[0].at.y();
        EXPECT_GT(step, 0.05) << i;
        EXPECT_EQ(lines.last().text, cases[i].cityLine) << i;
        EXPECT_NEAR(lines.last().at.y() - lines[0].at.y(), cases[i].cityStep * step, 1e-9) << i;
        EXPECT_DOUBLE_EQ(lines.last().at.x(), lines[0].at.x()) << i;
    }
    const QVector<Drawn> nameless = byParty.value("9 Oak Ave");
    ASSERT_EQ(nameless.size(), 2);
    EXPECT_EQ(nameless[1].text, "Dover, DE  19901");
    const double labelTop = kTop + kOffset + (position(nameless[0]) - 1) / 3 * kDown;
    EXPECT_NEAR(nameless[0].at.y() - labelTop, nameless[1].at.y() - nameless[0].at.y(), 1e-9);
}

TEST_F(LabelsTest, AHandTypedPartyPrintsItsAddressWithoutABlankLine)
{
    // Typed in the guest editor, the second address line left empty.
    frmGuestDetail& g = frmGuestDetail::instance();
    g.curMode = frmGuestDetail::Mode::New;
    g.Show(ui::vbModeless);
    ASSERT_TRUE(testsupport::showActive(g.window()));
    const std::pair<int, const char*> typed[] = {
        {0, "Quinn Family"}, {2, "Rory"}, {1, "Quinn"}, {3, "14 Larch Lane"}, {5, "Ashford"}, {6, "KY"}, {7, "40601"}};
    for (const auto& [box, text] : typed)
        testsupport::type(g.Text1[box], text);
    testsupport::click(g.cmdAdd);
    ASSERT_FALSE(g.isLoaded());
    ASSERT_EQ(db().scalar("SELECT GUEST_ADDRESS2 FROM GUEST").toString(), "");
    db().Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) SELECT ?, SUBGUEST_ID FROM SUBGUEST", {ev});

    QTemporaryDir dir;
    const QString file = dir.filePath("typed.pdf");
    recording.reset();
    dialogs.dialogs->printToPdf = file;
    open();
    print();
    const QString text = testsupport::pdfText(file);
    if (text.isNull())
        GTEST_SKIP() << "poppler's tools are not at hand";
    QStringList lines = text.split('\n');
    for (QString& line : lines)
        line = line.trimmed();
    const int street = int(lines.indexOf("14 Larch Lane"));
    ASSERT_GT(street, 0) << text.toStdString();
    EXPECT_EQ(lines.mid(street - 1, 3), QStringList({"Quinn Family", "14 Larch Lane", "Ashford, KY 40601"}))
        << text.toStdString();
}

TEST_F(LabelsTest, OffsetsMoveTheLabelsByOnePointAStep)
{
    invitedParties(ev, 1);
    open();
    for (const auto& [entry, expected] : {std::pair{0, 0.0}, std::pair{40, 40 / 72.0}}) {
        pick(f().cmbTop, entry);
        pick(f().cmbLeft, entry);
        const QVector<Drawn> preview = f().Picture1->drawn().pages()[0].texts();
        ASSERT_FALSE(preview.isEmpty());
        EXPECT_NEAR(preview[0].at.x(), kSide + expected, 1e-12) << entry;
        EXPECT_NEAR(preview[0].at.y(), kTop + expected, 1e-12) << entry;
        print();
        const Drawn first = jobs().last().surface->pages()[0].texts()[0];
        EXPECT_EQ(first.text, "Party 01");
        EXPECT_NEAR(first.at.x(), kSide + expected, 1e-12) << entry;
        EXPECT_NEAR(first.at.y(), kTop + expected, 1e-12) << entry;
    }
}

TEST_F(LabelsTest, ThePreviewShadesTheMarginsAndDrawsTheGridOverTheLabels)
{
    invitedParties(ev, 2);
    open();
    printing::PreviewBox* box = f().Picture1;
    EXPECT_LT(box->width(), twipsToPixels(4932));  // narrowed to a Letter page's shape
    EXPECT_EQ(box->scale(), QRectF(0, 0, 8.52, 11));
    const QVector<Drawn> drawn = box->drawn().pages()[0].drawn;
    QVector<QRectF> bands;
    QVector<QLineF> lines;
    for (const Drawn& d : drawn) {
        if (d.kind == Drawn::Kind::Box)
            bands << d.box;
        if (d.kind == Drawn::Kind::Line)
            lines << QLineF(d.at, d.to);
    }
    const double right = kSide + 3 * kAcross, bottom = kTop + 10 * kDown;
    ASSERT_EQ(bands.size(), 4);
    const QList<QPointF> corners = {bands[0].topLeft(), bands[1].topLeft(), bands[2].topLeft(), bands[3].topLeft()};
    EXPECT_EQ(corners, QList<QPointF>({{0, 0}, {0, kTop}, {kSide, bottom}, {right, kTop}}));
    EXPECT_EQ(bands[0].bottom(), kTop);
    EXPECT_EQ(bands[1].right(), kSide);
    for (const QRectF& b : bands)
        EXPECT_GT(std::max(b.right(), b.bottom()), 11.0);  // past the box's edge
    ASSERT_EQ(lines.size(), 11 + 4);
    EXPECT_EQ(lines[0], QLineF(kSide, kTop, right, kTop));
    EXPECT_EQ(lines[10], QLineF(kSide, bottom, right, bottom));
    EXPECT_EQ(lines[14], QLineF(right, kTop, right, bottom));
    // Texts come first, so the bands lie over any that runs into a margin.
    EXPECT_EQ(drawn[0].kind, Drawn::Kind::Text);
    EXPECT_EQ(drawn[0].font.name, "Liberation Sans");
    EXPECT_NEAR(box->FontSize, 8 * box->width() / (8.5 * printing::PreviewBox::kPixelsPerInch), 0.01);
    EXPECT_DOUBLE_EQ(drawn[0].font.height, printing::TextFont::heightOf(box->FontSize, 96));

    // A new style starts again at label 1 with its own count of labels.
    pick(f().cmbFirstLabel, 7);
    pick(f().Combo1, "Shipping 2 x 4 in, 10 per sheet");
    EXPECT_EQ(f().cmbFirstLabel->count(), 10);
    EXPECT_EQ(f().cmbFirstLabel->currentText(), "1");
    EXPECT_EQ(f().Label1[3]->text(), "Labels/Page:  10");
    EXPECT_EQ(box->drawn().pages()[0].texts().size(), 6);
}

TEST_F(LabelsTest, ChosenFontPrintsWithItsEffectsAndColourWhileThePreviewShowsFaceAndSize)
{
    invitedParties(ev, 1);
    open();
    EXPECT_EQ(printing::printer().FontName, "Liberation Sans");
    EXPECT_EQ(printing::printer().FontSize, 8);
    dialogs.dialogs->fonts << ui::FontChoice{"Courier", 12, true, true, false, false, QColor(Qt::darkBlue)};
    testsupport::click(f().cmdFont);
    EXPECT_EQ(dialogs.dialogs->fontRequests.value(0).name, "Liberation Sans");
    EXPECT_EQ(dialogs.dialogs->fontFlags.value(0), 258);
    const Drawn preview = f().Picture1->drawn().pages()[0].texts()[0];
    EXPECT_EQ(preview.font.name, "Courier");
    EXPECT_FALSE(preview.font.bold);
    print();
    const Drawn paper = jobs()[0].surface->pages()[0].texts()[0];
    EXPECT_EQ(paper.font.name, "Courier");
    EXPECT_DOUBLE_EQ(paper.font.height, 12 * 600 / 72.0);
    EXPECT_TRUE(paper.font.bold && paper.font.italic);
    EXPECT_EQ(paper.color, QColor(Qt::darkBlue));
    // The preview is the page shrunk by the box's scale.
    const double scale = f().Picture1->FontSize / 8;
    EXPECT_DOUBLE_EQ(preview.font.height, printing::TextFont::heightOf(12 * scale, 96));

    // Cancel changes nothing.
    testsupport::click(f().cmdFont);
    EXPECT_EQ(printing::printer().FontName, "Courier");
}

TEST_F(LabelsTest, NothingIsSentWithoutPartiesEventsOrLabelsOnTheSheet)
{
    db().Execute("INSERT INTO LABELS (LABEL_NAME, TOP_MARGIN, SIDE_MARGIN, VERTICAL_PITCH, HEIGHT_PITCH, NUM_ACROSS, "
                 "NUM_DOWN) VALUES ('Blank sheet', 0.5, 0.2, 1, 2.5, 0, 10)");
    open();
    EXPECT_EQ(f().Label1[0]->text(), "Guests:  0");
    EXPECT_EQ(f().Label1[1]->text(), "Sheets Needed:  0");
    testsupport::click(f().cmdPrint);
    EXPECT_EQ(shown(), QStringList({frmLabels::kNoParties}));
    EXPECT_EQ(dialogs.dialogs->printRequests, 0);
    f().Unload();

    invitedParties(ev, 3);
    open();
    pick(f().Combo1, "Blank sheet");
    EXPECT_EQ(shown().last(), frmLabels::kNoLabelsOnSheet);
    EXPECT_EQ(f().cmbFirstLabel->count(), 0);
    EXPECT_TRUE(f().Picture1->drawn().pages()[0].texts().isEmpty());
    testsupport::click(f().cmdPrint);
    EXPECT_EQ(shown().last(), frmLabels::kNoLabelsOnSheet);
    EXPECT_EQ(dialogs.dialogs->printRequests, 0);

    // Cancel in the print dialog prints nothing.
    pick(f().Combo1, 0);
    dialogs.dialogs->printAnswers << false;
    testsupport::click(f().cmdPrint);
    EXPECT_EQ(dialogs.dialogs->printRequests, 1);
    EXPECT_TRUE(jobs().isEmpty());
    f().Unload();

    // An event with an empty name is still an event.
    db().Execute("UPDATE EVENT SET EVENT_NAME = ''");
    int before = shown().size();
    open();
    EXPECT_EQ(shown().size(), before);
    f().Unload();

    db().Execute("DELETE FROM EVENT");
    before = shown().size();
    open();
    EXPECT_EQ(shown().mid(before), QStringList({frmLabels::kNoEvents}));
    pick(f().cmbFirstLabel, 3);  // nothing to draw on a box never fitted
    EXPECT_TRUE(f().Picture1->drawn().isEmpty());
    testsupport::click(f().cmdPrint);
    EXPECT_EQ(shown().last(), frmLabels::kNoEvents);
    EXPECT_TRUE(jobs().isEmpty());
}

TEST_F(LabelsTest, LongNamesAndFourLineAddressesStayInsideTheirLabelsOnEverySheet)
{
    struct Party {
        QString name, address1;
        QVariant address2;
        QString city;
    } parties[] = {
        {"The Honourable Maximiliana Ñúñez-Castellano and Family", "12345 North Magnolia Boulevard, Building C",
         "Apartment 1207, care of the Okonkwo-Whitfield Residence", "San Francisco"},
        {"Mr. and Mrs. Bartholomew Fitzgerald-Vanderbilt", "87 West Chesterfield Avenue", "Suite 4400",
         "Rancho Santa Margarita"},
        {"Zoë Lindqvist", "9 Harbor View Terrace", QVariant(), "Dover"},
        {"Adams", "1 Elm St", "Apt 2", "Springfield"},
    };
    for (const Party& p : parties)
        person(addressed(p.name, p.address1, p.address2, p.city, "CA", "94110-2231"), "Pat", "Guest", {ev});
    const QString keep = qEnvironmentVariable("NUPTARO_PDF_DIR");
    open();
    // The default offsets, and a top space that leaves a half-inch label
    // room for two lines only.
    for (int topSpace : {8, 20})
    for (int style = 0; style < f().Combo1->count(); ++style) {
        pick(f().cmbTop, topSpace);
        pick(f().Combo1, style);
        SCOPED_TRACE(f().curLabelType.toStdString() + ", top space " + std::to_string(topSpace));
        ado::Recordset sheet;
        sheet.Open("SELECT * FROM LABELS WHERE LABEL_NAME = ?", db(), ado::adOpenKeyset, ado::adLockReadOnly,
                   {f().curLabelType});
        const double top = sheet.value("TOP_MARGIN").toDouble(), side = sheet.value("SIDE_MARGIN").toDouble();
        const double down = sheet.value("VERTICAL_PITCH").toDouble(), across = sheet.value("HEIGHT_PITCH").toDouble();
        print();
        QStringList paper;
        for (const Drawn& d : jobs().last().surface->drawn()) {
            SCOPED_TRACE(d.text.toStdString());
            paper << d.text;
            // The label the line starts in holds the whole line.
            const double cellLeft = side + std::floor((d.at.x() - side) / across) * across;
            const double cellTop = top + std::floor((d.at.y() - top) / down) * down;
            const QFontMetricsF fm = onPaper(d.font);
            EXPECT_LE(d.at.x() + fm.horizontalAdvance(d.text) / 600, cellLeft + across);
            EXPECT_LE(d.at.y() + fm.height() / 600, cellTop + down + 1e-9);
            EXPECT_GE(d.font.height * 72 / 600, 6 - 1e-9);   // legible
            // A line is printed whole or ends in "…".
            bool whole = false;
            for (const Party& p : parties)
                for (const QString& t : {p.name, p.address1, p.address2.toString(), p.city + ", CA  94110-2231"})
                    whole = whole || t == d.text;
            EXPECT_TRUE(whole || d.text.endsWith(QChar(0x2026)));
        }
        // The four lines of an address all show where the label holds them.
        const bool roomy = topSpace == 8 || down >= 1;
        EXPECT_EQ(paper.contains("Springfield, CA  94110-2231"), roomy);
        EXPECT_EQ(paper.contains("Adams") && paper.contains("Apt 2"), roomy);
        EXPECT_TRUE(paper.contains("Zoë Lindqvist"));
        // The preview shows the same lines as the first sheet.
        EXPECT_EQ(texts(f().Picture1->drawn().pages()[0]), texts(jobs().last().surface->pages()[0]));
        if (!keep.isEmpty()) {
            recording.reset();
            dialogs.dialogs->printToPdf = keep + QString("/long-labels%1-%2.pdf").arg(style + 1).arg(topSpace);
            print();
            recording = std::make_unique<printing::RecordingPrinterGuard>(600);
        }
    }
}

TEST_F(LabelsTest, ASheetReachingPastThePaperChosenIsSaidBeforePrinting)
{
    // Names that shrink to the right edge of the right-hand labels.
    for (int i = 1; i <= 6; ++i)
        person(addressed(QString("The Honourable Maximiliana Ñúñez-Castellano and the Okonkwo-Whitfield Family %1").arg(i),
                         "12345 North Magnolia Boulevard", QVariant(), "Rancho Santa Margarita", "CA", "92688"),
               "Pat", "Guest", {ev});
    struct Case {
        const char* style;
        QPageSize::PageSizeId paper;
        int answer;   // to the question, 0 for none asked
        bool printed;
    } cases[] = {
        {"Address 1 x 2-5/8 in, 30 per sheet", QPageSize::A4, ui::vbNo, false},
        {"Address 1 x 2-5/8 in, 30 per sheet", QPageSize::A4, ui::vbYes, true},
        {"Address 1 x 2-5/8 in, 30 per sheet", QPageSize::Letter, 0, true},
        {"Address 1 x 4 in, 20 per sheet", QPageSize::A4, ui::vbYes, true},
        // Its cells end 8.53 in. across, but every line stays inside the paper.
        {"Address 1 x 4 in, 20 per sheet", QPageSize::Letter, 0, true},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.style) + (c.paper == QPageSize::A4 ? " on A4" : " on Letter"));
        pick(f().Combo1, c.style);
        const int before = int(shown().size()), jobsBefore = int(jobs().size());
        if (c.answer)
            messages.msgs->answers << c.answer;
        dialogs.dialogs->printPapers << QPageSize(c.paper);
        print();
        const QStringList asked = shown().mid(before);
        ASSERT_EQ(asked.size(), c.answer ? 1 : 0);
        if (c.answer) {
            EXPECT_TRUE(QRegularExpression("^The lines of the labels on this sheet reach 8\\.[3-4]\\d in\\. across, but "
                                           "the paper chosen is 8\\.26 in\\. wide: ")
                            .match(asked[0])
                            .hasMatch())
                << asked[0].toStdString();
        }
        EXPECT_EQ(jobs().size() - jobsBefore, c.printed ? 1 : 0);
    }
}

TEST_F(LabelsTest, ThirtyPartiesOnEachSheetOfTheTemplatePrintToPdf)
{
    invitedParties(ev, 30);
    // Streets of three lines, as phone and mail programs export them.
    db().Execute("UPDATE GUEST SET GUEST_ADDRESS1 = 'Flat 3' || char(10) || 'Riverside House' || char(10) || "
                 "'12 Mill Lane', GUEST_ADDRESS2 = 'Rear' WHERE GUEST_PARTYNAME IN ('Party 05', 'Party 29')");
    db().Execute("UPDATE GUEST SET GUEST_ADDRESS1 = 'Apt 4B' || char(13, 10) || 'The Old Mill' || char(13, 10) || "
                 "'7 Water St' WHERE GUEST_PARTYNAME = 'Party 06'");
    QTemporaryDir dir;
    const QString keep = qEnvironmentVariable("NUPTARO_PDF_DIR");
    recording.reset();  // real pages, not recordings
    open();
    for (int i = 0; i < f().Combo1->count(); ++i) {
        pick(f().Combo1, i);
        const QString file = (keep.isEmpty() ? dir.path() : keep) + QString("/labels%1.pdf").arg(i + 1);
        dialogs.dialogs->printToPdf = file;
        const int perSheet = f().cmbFirstLabel->count();
        print();
        const QString info = testsupport::pdfInfo(file);
        if (info.isNull())
            continue;  // poppler's tools are not at hand
        EXPECT_TRUE(info.contains(QRegularExpression(QString("Pages:\\s+%1\n").arg((30 + perSheet - 1) / perSheet))))
            << i;
        EXPECT_TRUE(testsupport::pdfText(file).contains("Party 30")) << i;
        // Every line of a label stands below the one above: no word over another.
        const testsupport::PdfWords printed = testsupport::pdfWords(file);
        QStringList words;
        for (const testsupport::PdfWord& a : printed.words) {
            words << a.text;
            for (const testsupport::PdfWord& b : printed.words) {
                const QRectF both = a.box.intersected(b.box);
                EXPECT_FALSE(&a != &b && a.page == b.page && both.width() > 0.5 && both.height() > 0.5)
                    << i << ": " << a.text.toStdString() << " over " << b.text.toStdString();
            }
        }
        EXPECT_TRUE(words.contains("Riverside") && words.contains("Water")) << i;
    }
    // Cancel pressed as the first copy's sheet is done leaves the file there before.
    const QString cancelled = dir.filePath("cancelled.pdf");
    QFile before(cancelled);
    ASSERT_TRUE(before.open(QIODevice::WriteOnly) && before.write("before") == 6);
    before.close();
    dialogs.dialogs->printToPdf = cancelled;
    dialogs.dialogs->cancelAtSteps << 1;
    print(2);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    EXPECT_EQ(before.readAll(), "before");
    EXPECT_EQ(QDir(dir.path()).entryList({"cancelled*"}, QDir::Files | QDir::Hidden), QStringList{"cancelled.pdf"});
}

}  // namespace
