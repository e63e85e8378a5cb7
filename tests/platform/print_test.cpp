// The print services: surfaces, the program's printer, its dialogs, and the
// preview box.

#include "support/fixture.h"

#include "platform/print/previewbox.h"
#include "platform/print/printer.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/fontdialog.h"
#include "support/pdf.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QComboBox>
#include <QFontComboBox>
#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using printing::Drawn;
using printing::RecordingSurface;

TEST(PrintSurface, MapsItsScaleTurnsPagesOnlyWhenDrawnOnAndMeasuresLines)
{
    RecordingSurface s(QSizeF(850, 1100), 100, 100);
    s.setInches();
    s.setFont({"Arial", 12});
    s.text({1, 2}, "Upright");
    s.text({4.5, 5.5}, "Turned", true);
    s.fillBox({0.5, 0.5, 1, 1}, Qt::yellow);
    s.newPage();
    s.newPage();  // a second break in a row starts no empty page
    s.line({0, 0}, {8.5, 11}, Qt::black);
    s.newPage();  // nor does a break at the end
    ASSERT_EQ(s.pages().size(), 2);
    const QVector<Drawn> first = s.pages()[0].drawn;
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(first[0].deviceAt, QPointF(100, 200));
    EXPECT_TRUE(first[1].turned);
    EXPECT_EQ(first[1].deviceAt, QPointF(450, 550));
    EXPECT_EQ(first[2].deviceBox, QRectF(50, 50, 100, 100));
    EXPECT_EQ(s.pages()[1].drawn[0].deviceTo, QPointF(850, 1100));
    EXPECT_EQ(first[0].font.height, 12);

    const double one = s.textHeight("A");
    EXPECT_NEAR(one, printing::lineHeight(s.font(), 100) / 100, 1e-12);
    EXPECT_NEAR(s.textHeight("A\nB"), 2 * one, 1e-12);
    s.setScale(QRectF());
    EXPECT_NEAR(s.textHeight(""), one * 100, 1e-9);

    s.clear();
    EXPECT_TRUE(s.isEmpty());
}

class PrinterTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        printing::Printer& p = printing::printer();
        p.device().setOutputFileName(QString());
        p.device().setOutputFormat(QPrinter::NativeFormat);
    }
    ui::ScriptedDialogsGuard dialogs;
    testsupport::ScriptedMessagesGuard messages;
    printing::Printer& printer = printing::printer();
};

TEST_F(PrinterTest, TheDialogGivesTheCopiesAndThePrinterItselfMakesOne)
{
    dialogs.dialogs->printAnswers << true << false;
    dialogs.dialogs->printCopies << 3;
    EXPECT_EQ(printer.printDialog(), 3);
    EXPECT_EQ(printer.device().copyCount(), 1);
    EXPECT_EQ(printer.printDialog(), 0);
    EXPECT_EQ(dialogs.dialogs->printRequests, 2);
}

TEST_F(PrinterTest, TheFontDialogStartsFromThePrinterFontAndOnlyOkChangesIt)
{
    printer.FontName = "Arial";
    printer.FontSize = 8;
    printer.FontItalic = true;
    QColor colour = Qt::blue;
    dialogs.dialogs->fonts << ui::FontChoice{"Courier", 14, true, false, true, true, Qt::red};
    ASSERT_TRUE(printer.chooseFont(colour, 258));
    const ui::FontChoice asked = dialogs.dialogs->fontRequests[0];
    EXPECT_EQ(asked.name, "Arial");
    EXPECT_EQ(asked.size, 8);
    EXPECT_TRUE(asked.italic && !asked.bold);
    EXPECT_EQ(asked.color, QColor(Qt::blue));
    EXPECT_EQ(printer.FontName, "Courier");
    EXPECT_TRUE(printer.FontBold && !printer.FontItalic && printer.FontUnderline && printer.FontStrikethru);
    EXPECT_EQ(colour, QColor(Qt::red));
    const printing::TextFont plain = printer.textFont(50, false);
    EXPECT_FALSE(plain.bold || plain.underline || plain.strikeOut);

    EXPECT_FALSE(printer.chooseFont(colour, 258));
    EXPECT_EQ(printer.FontSize, 14);
    EXPECT_EQ(colour, QColor(Qt::red));
    printer.FontBold = printer.FontUnderline = printer.FontStrikethru = false;
}

TEST_F(PrinterTest, APdfTakesEveryCopyAndAMissingPrinterIsSaidSo)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("out.pdf");
    dialogs.dialogs->printAnswers << true;
    dialogs.dialogs->printToPdf = file;
    ASSERT_EQ(printer.printDialog(), 1);
    auto doc = printer.beginDocument("Two Copies");
    ASSERT_TRUE(doc);
    doc->surface().setInches();
    doc->surface().text({1, 1}, "first copy");
    doc->nextJob();
    doc->surface().text({1, 1}, "second copy");
    doc->surface().newPage();
    EXPECT_TRUE(doc->end());
    const QString info = testsupport::pdfInfo(file);
    if (!info.isNull()) {
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\n"))) << info.toStdString();
        EXPECT_TRUE(info.contains("Two Copies"));
    }

    printer.device().setOutputFileName(QString());
    printer.device().setOutputFormat(QPrinter::NativeFormat);
    printer.device().setPrinterName("No Such Printer Anywhere");
    EXPECT_FALSE(printer.beginDocument("Nowhere"));
    EXPECT_EQ(messages.msgs->texts(), QStringList({printing::kCannotPrint}));
    // The failure leaves the printer able to take the next document.
    printer.device().setOutputFileName(dir.filePath("after.pdf"));
    auto next = printer.beginDocument("After");
    ASSERT_TRUE(next);
    next->surface().text({10, 10}, "printed");
    EXPECT_TRUE(next->end());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("after.pdf")));
}

TEST(FontColourDialog, ShowsTheFontItWasGivenAndReturnsWhatIsChosen)
{
    const ui::FontChoice start{"Courier", 14, true, true, true, false, QColor(Qt::red)};
    ui::FontColourDialog d(start, ui::cdlCFEffects);
    ui::FontChoice got = d.choice();
    EXPECT_EQ(got.size, 14);
    EXPECT_TRUE(got.bold && got.italic && got.underline && !got.strikethru);
    EXPECT_EQ(got.color, QColor(Qt::red));
    d.style->setCurrentIndex(0);
    d.strikeout->setChecked(true);
    d.colour->setCurrentIndex(d.colour->findText("Navy"));
    d.size->setCurrentText("nonsense");
    got = d.choice();
    EXPECT_FALSE(got.bold || got.italic);
    EXPECT_TRUE(got.strikethru);
    EXPECT_EQ(got.color, QColor(0, 0, 128));
    EXPECT_EQ(got.size, 14);  // a size that is no number keeps the one before

    ui::FontColourDialog plain({"Arial", 8, false, false, false, false, QColor(1, 2, 3)}, ui::cdlCFPrinterFonts);
    EXPECT_EQ(plain.choice().color, QColor(1, 2, 3));  // an odd colour is kept, not lost
}

TEST(PreviewBox, KeepsWhatIsDrawnUntilCleared)
{
    printing::PreviewBox box;
    box.resize(104, 104);  // 100 x 100 inside the border
    box.Scale(QRectF(0, 0, 10, 10));
    box.surface().fillBox({5, 5, 5, 5}, Qt::red);
    box.surface(true).fillBox({0, 0, 10, 10}, Qt::blue);  // in pixels
    const QImage shot = box.grab().toImage();
    EXPECT_EQ(shot.pixelColor(2 + 75, 2 + 75), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(2 + 5, 2 + 5), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(2 + 30, 2 + 30), QColor(Qt::white));
    box.Cls();
    EXPECT_EQ(box.grab().toImage().pixelColor(2 + 75, 2 + 75), QColor(Qt::white));
}

}  // namespace
