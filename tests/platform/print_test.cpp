// The print services: surfaces, the program's printer, its dialogs, and the
// preview box.

#include "support/fixture.h"

#include "platform/print/previewbox.h"
#include "platform/print/printer.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/fontdialog.h"
#include "support/pdf.h"

#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using printing::Drawn;
using printing::RecordingSurface;

TEST(PrintSurface, MapsItsScaleAndTurnsPagesOnlyWhenDrawnOn)
{
    RecordingSurface s(QSizeF(850, 1100), 100, 100);
    s.setInches();
    s.setFont({"Liberation Sans", 12});
    s.text({4.5, 5.5}, "Turned", true);
    s.newPage();
    s.newPage();  // a second break in a row starts no empty page
    s.fillBox({0.5, 0.5, 1, 1}, Qt::yellow);
    s.newPage();  // nor does a break at the end
    ASSERT_EQ(s.pages().size(), 2);
    EXPECT_EQ(s.pages()[0].drawn[0].deviceAt, QPointF(450, 550));
    EXPECT_EQ(s.pages()[1].drawn[0].deviceBox, QRectF(50, 50, 100, 100));
    EXPECT_NEAR(s.textHeight("A\nB"), 2 * printing::lineHeight(s.font(), 100) / 100, 1e-12);
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

namespace {

TEST(FontColourDialog, GivesBackTheFontItShowsWithWhatIsChanged)
{
    ui::FontColourDialog d({"Courier", 14, true, true, true, false, QColor(1, 2, 3)}, ui::cdlCFEffects);
    ui::FontChoice got = d.choice();
    EXPECT_TRUE(got.bold && got.italic && got.underline && !got.strikethru);
    EXPECT_EQ(got.color, QColor(1, 2, 3));  // a colour of no name is kept
    d.style->setCurrentIndex(d.style->findText("Italic"));
    d.size->setCurrentText("twelve");
    got = d.choice();
    EXPECT_TRUE(!got.bold && got.italic);
    EXPECT_EQ(got.size, 14);  // a size that is no number keeps the one before
}

}  // namespace
