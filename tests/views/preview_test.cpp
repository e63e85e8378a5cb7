// The preview window: the report handed to it from the main window's grid,
// its header, and the return to the window that opened it.

#include "support/datamode.h"
#include "support/fixture.h"
#include "support/pdf.h"
#include "platform/ui/dialogs.h"
#include "views/frmPreview.h"
#include "views/report.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QToolButton>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <sys/resource.h>

namespace {

// Stands in for the event editor.
class FakeEventInfo : public ui::Form<FakeEventInfo, QWidget> {
public:
    FakeEventInfo() : Form("frmEventInfoStandIn") {}
};

class PreviewTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        main = std::make_unique<QMainWindow>();
        main->setObjectName("frmMainUnderTest");
        grid = new grid::GridEX(main.get());
        main->setCentralWidget(grid);
        main->setGeometry(100, 80, 700, 500);
        db().Execute("INSERT INTO EXPENSES (EXPENSE_TEXT, EXPENSE_EVENT, EXPENSE_AMTPAID) VALUES "
                     "('Flowers', 'Wedding', 100.25), ('Cake', 'Wedding', 20.5)");
        auto rs = ado::Recordset::create();
        rs->Open("SELECT EXPENSE_ID, EXPENSE_TEXT AS [Item], EXPENSE_AMTPAID AS [Amt Paid] FROM EXPENSES", db(),
                 ado::adOpenKeyset, ado::adLockOptimistic);
        grid->bind(rs);
        main->show();
    }
    void TearDown() override
    {
        frmPreview::instance().Unload();
        main.reset();
        DbTest::TearDown();
    }
    QWidget* preview() { return frmPreview::instance().widget(); }
    // Expenses named the text and a number, from 1 to n, shown by the grid.
    void addExpenses(int n, const QString& text)
    {
        db().Execute(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                             "INSERT INTO EXPENSES (EXPENSE_TEXT, EXPENSE_EVENT, EXPENSE_AMTPAID) "
                             "SELECT ? || i, 'Wedding', i FROM n")
                         .arg(n),
                     {text});
        grid->recordset()->Requery();
        grid->bind(grid->recordset());
    }

    std::unique_ptr<QMainWindow> main;
    grid::GridEX* grid = nullptr;
};

}  // namespace

TEST_F(PreviewTest, ReportShowsPreviewInPlaceOfTheMainWindowWithItsHeader)
{
    struct Case {
        const char* mode;
        const char* header;
        int cardsAcross;
    } cases[] = {
        {"Expenses", "Expense Report for Our Wedding", 0},
        {"Addresses", "Guest-Address Report for Our Wedding", 3},
        {"Quotes", "Quote Report for Our Wedding", 1},
        {"Month", "", 0},
    };
    for (const Case& c : cases) {
        grid->setCardsAcross(0);
        const QSize gridSize = grid->size();
        report::PrintGridReport(*grid, *main, testsupport::dataModeNamed(c.mode));
        frmPreview& f = frmPreview::instance();
        ASSERT_TRUE(f.isLoaded());
        EXPECT_TRUE(preview()->isVisible());
        EXPECT_FALSE(main->isVisible());
        EXPECT_EQ(preview()->windowTitle(), "Print Preview");
        EXPECT_EQ(preview()->geometry(), main->geometry());
        EXPECT_EQ(f.returnTo, main.get());
        EXPECT_EQ(grid->pageHeader(), c.header);
        EXPECT_EQ(grid->cardsAcross(), c.cardsAcross);
        EXPECT_EQ(grid->size(), gridSize) << c.mode;   // the grid on screen keeps its size
        const grid::ReportModel m = grid->reportModel();
        EXPECT_EQ(m.leftMarginTwips, 1152);
        EXPECT_EQ(m.rightMarginTwips, 1152);
        EXPECT_EQ(f.gridPreview->source(), grid);
        EXPECT_EQ(f.gridPreview->geometry(), QRect(QPoint(0, 0), preview()->size()));
        f.gridPreview_Close();
        EXPECT_FALSE(f.isLoaded());
        EXPECT_TRUE(main->isVisible());
    }
}

TEST_F(PreviewTest, ClosingBringsTheMainWindowBackNormalOrMaximised)
{
    report::PrintGridReport(*grid, *main, views::DataMode::Expenses);
    preview()->setGeometry(150, 120, 640, 420);
    const QRect placed = preview()->geometry();
    frmPreview::instance().gridPreview->closeButton()->click();
    EXPECT_FALSE(frmPreview::instance().isLoaded());
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->isMaximized());
    EXPECT_EQ(main->geometry(), placed);

    report::PrintGridReport(*grid, *main, views::DataMode::Expenses);
    preview()->setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(frmPreview::instance().Unload());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->windowState() & Qt::WindowMaximized);

    // And back to normal again from a normal preview.
    report::PrintGridReport(*grid, *main, views::DataMode::Expenses);
    preview()->setWindowState(Qt::WindowNoState);
    preview()->setGeometry(10, 20, 500, 400);
    ASSERT_TRUE(frmPreview::instance().Unload());
    EXPECT_FALSE(main->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(main->geometry(), QRect(10, 20, 500, 400));
}

TEST_F(PreviewTest, ClosingAPreviewOfTheEventEditorShowsTheEditorAndLeavesTheMainWindow)
{
    FakeEventInfo& editor = FakeEventInfo::instance();
    editor.Show();
    const QRect mainPlace = main->geometry();
    using report::ComesBack;
    for (const ComesBack back : {ComesBack::AsItWas, ComesBack::InPreviewsPlace}) {
        editor.widget()->setGeometry(200, 150, 600, 450);
        grid->setPageMargins(720, 720);
        report::ShowGridPreview(*grid, *editor.widget(), 720, "Menu for Wedding", back);
        EXPECT_FALSE(editor.widget()->isVisible());
        EXPECT_EQ(preview()->geometry(), QRect(200, 150, 600, 450));
        preview()->setGeometry(40, 30, 300, 300);
        const QRect placed = preview()->geometry();
        main->hide();
        ASSERT_TRUE(frmPreview::instance().Unload());
        EXPECT_TRUE(editor.widget()->isVisible());
        EXPECT_EQ(editor.widget()->geometry(), back == ComesBack::AsItWas ? QRect(200, 150, 600, 450) : placed);
        EXPECT_FALSE(main->isVisible());   // the main window is left as it was
        EXPECT_EQ(main->geometry(), mainPlace);
        main->show();
    }
    // An editor closed behind its preview is not brought back.
    report::ShowGridPreview(*grid, *editor.widget(), 720, "Menu for Wedding", ComesBack::AsItWas);
    editor.Unload();
    ASSERT_TRUE(frmPreview::instance().Unload());
    EXPECT_FALSE(editor.isLoaded());
}

TEST_F(PreviewTest, MinimisedPreviewKeepsTheSurfaceSize)
{
    report::PrintGridReport(*grid, *main, views::DataMode::Expenses);
    frmPreview& f = frmPreview::instance();
    const QSize before = f.gridPreview->size();
    preview()->setWindowState(Qt::WindowMinimized);
    preview()->resize(200, 100);
    f.Form_Resize();
    EXPECT_EQ(f.gridPreview->size(), before);
    preview()->setWindowState(Qt::WindowNoState);
    preview()->resize(640, 480);
    f.Form_Resize();
    EXPECT_EQ(f.gridPreview->geometry(), QRect(0, 0, 640, 480));
}

TEST_F(PreviewTest, PrintAndPageSetupGoThroughTheDialogService)
{
    ui::ScriptedDialogsGuard dialogs;
    QTemporaryDir dir;
    report::PrintGridReport(*grid, *main, views::DataMode::Expenses);
    frmPreview& f = frmPreview::instance();
    EXPECT_GE(f.gridPreview->pageCount(), 1);

    dialogs.dialogs->printAnswers = {false};
    EXPECT_FALSE(f.gridPreview->print());
    EXPECT_EQ(dialogs.dialogs->printRequests, 1);

    dialogs.dialogs->printAnswers = {true};
    dialogs.dialogs->printToPdf = dir.filePath("printed.pdf");
    EXPECT_TRUE(f.gridPreview->print());
    QFile out(dir.filePath("printed.pdf"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(4) == "%PDF");

    grid->setPrintOptions(false);
    dialogs.dialogs->printAnswers = {false};
    f.gridPreview->setupButton()->click();
    EXPECT_EQ(dialogs.dialogs->printRequests, 3);
    EXPECT_TRUE(grid->printOptions());   // the main grid's print settings are switched on
    EXPECT_TRUE(f.isLoaded());
}

TEST_F(PreviewTest, PrintedOnOtherPaperThePagesAreLaidOutForItAndShown)
{
    // Enough rows that Letter, A4 and Legal take different numbers of pages.
    addExpenses(600, QString::fromUtf8("Crème brûlée for table "));
    ui::ScriptedDialogsGuard dialogs;
    QTemporaryDir dir;
    report::PrintGridReport(*grid, *main, views::DataMode::Expenses);
    report::GridPreview* surface = frmPreview::instance().gridPreview;
    const int letterPages = surface->pageCount();
    struct Case {
        QPageSize::PageSizeId paper;
        const char* points;   // as pdfinfo reads the page size
    } cases[] = {
        {QPageSize::A4, "595 x 842 pts"},
        {QPageSize::Legal, "612 x 1008 pts"},
        {QPageSize::Letter, "612 x 792 pts"},
    };
    QSet<int> counts;
    for (const Case& c : cases) {
        surface->printer().setPageSize(QPageSize(c.paper));
        const QString file = dir.filePath(QString("paper%1.pdf").arg(int(c.paper)));
        dialogs.dialogs->printAnswers = {true};
        dialogs.dialogs->printToPdf = file;
        ASSERT_TRUE(surface->print());
        const QString info = testsupport::pdfInfo(file);
        if (info.isNull())
            GTEST_SKIP() << "poppler's pdfinfo is not at hand";
        EXPECT_TRUE(info.contains(QString("Pages:           %1\n").arg(surface->pageCount()))) << info.toStdString();
        EXPECT_TRUE(info.contains(c.points)) << info.toStdString();
        const QString text = testsupport::pdfText(file);
        EXPECT_TRUE(text.contains("table 600")) << text.right(600).toStdString();
        counts << surface->pageCount();
    }
    EXPECT_EQ(counts.size(), 3);
    EXPECT_EQ(surface->pageCount(), letterPages);
}

// A print to a file is written whole or not at all: Cancel pressed in its
// progress, a folder that cannot be written and a full disk (a file-size
// limit, in a child process) leave no file but the one there before, and a
// failure is told, naming the file.
TEST_F(PreviewTest, APrintToAFileIsWrittenWholeOrNotAtAll)
{
    addExpenses(600, "Lantern ");
    ui::ScriptedDialogsGuard dialogs;
    QTemporaryDir dir;
    QFile earlier(dir.filePath("report.pdf"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("printed before") > 0);
    earlier.close();
    report::PrintGridReport(*grid, *main, views::DataMode::Expenses);
    report::GridPreview* surface = frmPreview::instance().gridPreview;
    ASSERT_GT(surface->pageCount(), 3);
    const auto printTo = [&](const QString& file, int cancelAt) {
        messages.msgs->shown.clear();
        dialogs.dialogs->printAnswers = {true};
        dialogs.dialogs->printToPdf = file;
        dialogs.dialogs->cancelAtSteps = {cancelAt};
        return surface->print();
    };
    const auto left = [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
    const auto notWritten = [](const QString& file) {
        return QString("^The print could not be written to the file %1: .+\\.  No file was saved there")
            .arg(QRegularExpression::escape(QDir::toNativeSeparators(file)));
    };
    const struct {
        const char* what;
        QString file;
        int cancelAt;
        QString says;   // a pattern; none for a print cancelled
    } cases[] = {
        {"cancelled at its second page", earlier.fileName(), 2, QString()},
        {"a folder not there", dir.filePath("gone/report.pdf"), 0, notWritten(dir.filePath("gone/report.pdf"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(printTo(c.file, c.cancelAt));
        ASSERT_EQ(messages.msgs->texts().size(), c.says.isEmpty() ? 0 : 1);
        if (!c.says.isEmpty()) {
            EXPECT_TRUE(QRegularExpression(c.says).match(messages.msgs->texts()[0]).hasMatch());
        }
        EXPECT_EQ(left(), QStringList{"report.pdf"});
        ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
        EXPECT_EQ(earlier.readAll(), "printed before");
        earlier.close();
    }
    EXPECT_EQ(dialogs.dialogs->progressRequests.last().label, "Printing report.pdf...");
    EXPECT_EQ(dialogs.dialogs->progressRequests.last().maximum, surface->pageCount());

    // A disk that fills while the report prints: writes past 8 KB fail.
    const auto printOnAFullDisk = [&] {
        const rlimit limit{8192, 8192};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool printed = printTo(dir.filePath("full.pdf"), 0);
        std::fprintf(stderr, "%s\n", qPrintable(messages.msgs->texts().join('\n')));
        std::fflush(stderr);
        std::_Exit(!printed && left() == QStringList{"report.pdf"} ? 0 : 1);
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(printOnAFullDisk(), ::testing::ExitedWithCode(0),
                "The print could not be written to the file .*full\\.pdf: File too large");
}

TEST_F(PreviewTest, ThePagesFollowTheGridWhileThePreviewIsOpen)
{
    // The pages read the grid's rows as they are shown and printed: what
    // changes in the grid meanwhile (an editor saved, a cell typed over, the
    // grid gone) is what is printed, on as many pages as it takes.
    enum Pages { More, Same, One };
    struct Case {
        const char* what;
        std::function<void()> change;
        const char* printed;   // a text printed afterwards
        const char* gone;      // one printed no more
        Pages pages;
    } cases[] = {
        {"rows added and bound again",
         [this] { addExpenses(150, "Lantern "); },
         "Lantern 150", "", More},
        {"a cell typed over", [this] { grid->editCell(1, 2, "Peonies"); }, "Peonies", "Flowers", Same},
        {"the grid gone",
         [this] {
             delete grid;
             grid = nullptr;
         },
         "", "Peonies", One},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        report::PrintGridReport(*grid, *main, views::DataMode::Expenses);
        report::GridPreview* surface = frmPreview::instance().gridPreview;
        const int before = surface->pageCount();
        c.change();
        QCoreApplication::processEvents();
        const int after = surface->pageCount();
        EXPECT_TRUE(c.pages == More ? after > before : c.pages == Same ? after == before : after == 1)
            << before << " pages, then " << after;
        ui::ScriptedDialogsGuard dialogs;
        const QString file = dir.filePath(QString("%1.pdf").arg(int(c.pages)));
        dialogs.dialogs->printAnswers = {true};
        dialogs.dialogs->printToPdf = file;
        ASSERT_TRUE(surface->print());
        const QString text = testsupport::pdfText(file);
        if (text.isNull())
            GTEST_SKIP() << "poppler's pdftotext is not at hand";
        EXPECT_TRUE(text.contains(c.printed)) << text.left(400).toStdString();
        if (*c.gone) {
            EXPECT_FALSE(text.contains(c.gone)) << text.left(400).toStdString();
        }
        frmPreview::instance().Unload();
    }
}
