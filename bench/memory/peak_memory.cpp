// Peak memory and CPU time of the program with one window open on a large
// wedding.
//
//   peak_memory [people ...]    every window at each size, a line each
//   peak_memory --seed FOLDER [people]
//   peak_memory --window NAME --data FOLDER
//
// The first form seeds one wedding per size (parties of one to four people
// with their addresses; everyone invited to the reception, where one in
// five has a seat at a table of ten; a third of them invited to the
// rehearsal dinner) and runs itself once per window, since a process's peak
// only grows: each line is the peak resident size and the CPU time of a
// process that started, showed the main window and then that window, as a
// user would. The sizes run one after the other, each window alone.
// A window that is closed again also says how much of what it took the
// process still holds afterwards.

#include "app/frmMain.h"
#include "records/modQVDatabase.h"
#include "bench/benchmain.h"
#include "guests/frmExportData.h"
#include "guests/frmImportData.h"
#include "guests/frmInvite.h"
#include "money/frmGift.h"
#include "money/frmMeasure.h"
#include "platform/grid/gridex.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "seating/frmSeating.h"
#include "views/frmPreview.h"
#include "views/printpreview.h"

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPageSize>
#include <QProcess>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <map>

namespace {

constexpr qint64 kReception = 1, kRehearsal = 2;

// The wedding written straight into the file, before the program opens it.
void seed(const QString& file, int people)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const auto exec = [db](const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); };
    struct Statement {
        sqlite3_stmt* st = nullptr;
        Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &st, nullptr); }
        ~Statement() { sqlite3_finalize(st); }
        Statement& operator()(int i, qint64 v) { sqlite3_bind_int64(st, i, v); return *this; }
        Statement& operator()(int i, const QString& v)
        {
            const QByteArray b = v.toUtf8();
            sqlite3_bind_text(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            return *this;
        }
        void run() { sqlite3_step(st); sqlite3_reset(st); }
    };
    exec("BEGIN");
    exec("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (1, 'Reception'), (2, 'Rehearsal Dinner')");
    {
        Statement guest(db, "INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_FNAME, GUEST_LNAME, GUEST_ADDRESS1, "
                            "GUEST_CITY, GUEST_STATE, GUEST_ZIP, GUEST_EMAIL, GUEST_CATEGORY) "
                            "VALUES (?, ?, 'Zoë', ?, ?, 'Saint-Étienne-du-Rouvray', 'NY', ?, ?, ?)");
        Statement person(db, "INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, "
                             "SUBGUEST_TITLE) VALUES (?, ?, ?, ?, 'Mr.')");
        Statement invite(db, "INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (?, ?)");
        Statement table(db, "INSERT INTO TABLES (TABLE_ID, EVENT_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE) "
                            "VALUES (?, 1, ?, 10, 5)");
        Statement seat(db, "INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID, SEATING_POS) VALUES (?, ?, ?)");
        static const char* const families[] = {"Álvarez", "Björklund", "Chen", "Dubois-Lefèvre", "O'Brien", "Schmidt"};
        qint64 person_ = 0, seated = 0;
        for (qint64 party = 1; person_ < people; ++party) {
            const QString family = families[party % 6];
            guest(1, party)(2, QString("The %1 Family %2").arg(family).arg(party))(3, family)(
                4, QString("%1 Rue du Faubourg Saint-Honoré").arg(party % 900 + 1))(
                5, QString::number(10000 + party % 90000))(6, QString("family%1@example.org").arg(party))(
                7, party % 2 ? "Family" : "Friend")
                .run();
            for (int i = 0; i < 1 + party % 4 && person_ < people; ++i) {
                ++person_;
                person(1, person_)(2, party)(3, QString("Margarethe %1").arg(person_))(4, family).run();
                invite(1, kReception)(2, person_).run();
                if (person_ % 3 == 0)
                    invite(1, kRehearsal)(2, person_).run();
                if (person_ % 5 == 0) {
                    const qint64 at = seated / 10 + 1;
                    if (seated % 10 == 0)
                        table(1, at)(2, QString("Table %1").arg(at)).run();
                    seat(1, at)(2, person_)(3, seated % 10).run();
                    ++seated;
                }
            }
        }
    }
    exec("COMMIT");
    sqlite3_close(db);
}

// A guest list from another program: three people a party, every party
// name twice in the file (the import merges them). Half a million people at
// most: an import larger than that is no guest list.
void writeImportFile(const QString& file, int people)
{
    people = std::min(people, 500000);
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    QTextStream out(&f);
    out << "\"Party Name\",\"First Name\",\"Last Name\",\"City\"\r\n";
    for (int i = 0; i < people; ++i)
        out << QString("\"The Núñez Family %1\",\"Zoë %2\",\"Núñez\",\"Saint-Étienne\"\r\n")
                   .arg(i / 3 % (people / 6 + 1))
                   .arg(i);
}

// A guest file near the import's size limit: 1,000,000 short lines, about
// 60 MB, written in pieces so that writing it costs no memory.
void writeLargeImportFile(const QString& file)
{
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write("Party Name,First Name,Last Name,City,E-Mail\r\n");
    QByteArray piece;
    for (int i = 1; i <= 1000000; ++i) {
        piece += QString("Núñez %1,Zoë,Núñez,Saint-Étienne,z%1@example.org\r\n").arg(i).toUtf8();
        if (piece.size() > 1024 * 1024 || i == 1000000) {
            f.write(piece);
            piece.clear();
        }
    }
}

double residentMB()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// What the process holds after a window closed beyond what it held before
// it opened; negative while it has not closed.
double keptMB = -1;

// A window that did not write its file has not done the work measured.
void made(const QString& file)
{
    if (!QFileInfo(file).size()) {
        fprintf(stderr, "%s not written\n", qPrintable(file));
        exit(3);
    }
}

frmMain& mainShowing(void (frmMain::*view)())
{
    frmMain& f = mainWithDataPanel();
    f.window()->show();
    (f.*view)();
    settle();
    return f;
}

void reportPreview(void (frmMain::*view)())
{
    frmMain& f = mainShowing(view);
    f.PrintGridReport();
    settle();
}

void reportPrinted(void (frmMain::*view)(), const QString& file, bool otherPaper = false)
{
    reportPreview(view);
    if (otherPaper)   // laid out again for the paper chosen
        frmPreview::instance().gridPreview->printer().setPageSize(QPageSize(QPageSize::A4));
    ui::ScriptedDialogsGuard dialogs;
    dialogs.dialogs->printToPdf = file;
    dialogs.dialogs->printAnswers << true;
    frmPreview::instance().gridPreview->print();
    made(file);
}

void exportWindow(const QString& folder)
{
    mainShowing(&frmMain::ShowPeople);
    ui::ScriptedDialogsGuard dialogs;
    dialogs.dialogs->files << folder + "/people.csv";
    frmExportData& f = frmExportData::instance();
    f.Load();
    f.window()->show();
    f.cmbWhichData->setCurrentIndex(1);   // the people
    f.cmbWhichData_Click();
    f.cmdAddAll_Click();
    f.Command1_Click();
    settle();
    made(folder + "/people.csv");
}

void importWindow(const QString& folder, ui::ScriptedMessages& messages)
{
    mainShowing(&frmMain::ShowPeople);
    ui::ScriptedDialogsGuard dialogs;
    dialogs.dialogs->files << folder + "/import.csv";
    frmImportData& f = frmImportData::instance();
    f.Show(ui::vbModeless);
    f.Command1_Click();
    for (const char* field : {"Party Name", "First Name", "Last Name", "City"}) {
        f.lstSource->setCurrentItem(f.lstSource->findItems(field, Qt::MatchExactly).value(0));
        f.lstTarget->setCurrentItem(f.lstTarget->findItems(field, Qt::MatchExactly).value(0));
        f.cmdLink_Click();
    }
    messages.answers = {ui::vbYes};
    f.cmdImport_Click();
    settle();
    if (!messages.texts().join('\n').contains("Successfully added")) {
        fprintf(stderr, "not imported: %s\n", qPrintable(messages.texts().join('\n')));
        exit(3);
    }
}

// Choosing a file of a million lines in the import window, then closing it.
void largeFileChosen(const QString& folder, ui::ScriptedMessages& messages)
{
    mainShowing(&frmMain::ShowPeople);
    const QString file = folder + "/large.csv";
    writeLargeImportFile(file);
    settle();
    const double before = residentMB();
    {
        ui::ScriptedDialogsGuard dialogs;
        dialogs.dialogs->files << file;
        frmImportData& f = frmImportData::instance();
        f.Show(ui::vbModeless);
        f.Command1_Click();
        settle();
        if (f.Label2[2]->text() != "Record Count: 1 of 1000000") {
            fprintf(stderr, "not read: %s %s\n", qPrintable(f.Label2[2]->text()),
                    qPrintable(messages.texts().join('\n')));
            exit(3);
        }
        f.Unload();
        settle();
    }
    keptMB = residentMB() - before;
}

// A window of an event (the invitations, the seating) opened from the RSVP view.
template <class Window>
void eventWindow(qint64 event)
{
    mainShowing(&frmMain::ShowRSVP);
    Window& f = Window::instance();
    f.curEvent = event;
    f.Load();
    f.window()->show();
    settle();
}

// An editor opened to add a record, its lists filled, and the list of
// everyone opened as the user would to choose from it.
template <class Window>
void addingEditor(void (frmMain::*view)(), const std::function<void(Window&)>& adding,
                  const std::function<QComboBox*(Window&)>& everyone)
{
    mainShowing(view);
    Window& f = Window::instance();
    adding(f);
    f.Load();
    f.window()->show();
    settle();
    everyone(f)->showPopup();
    settle();
    everyone(f)->hidePopup();
}

// A program folder whose working database holds a wedding of `people`, and
// the file the import window reads.
void makeWedding(const QString& folder, int people)
{
    QDir(folder).mkpath("data");
    QFile::copy(QStringLiteral(NUPTARO_TEMPLATE), folder + "/data/qvnt04.qvd");
    // Made from the template as on a first start, with a copy number of its own.
    modQVDatabase::setAppPath(folder);
    modQVDatabase::LocateDataFile();
    seed(folder + "/data/qvnt03.qvd", people);
    writeImportFile(folder + "/import.csv", people);
}

ui::ScriptedMessages* messages = nullptr;

struct Window {
    template <class Show>
    Window(Show s, double most = 250) : show(s), mostMB(most)
    {
    }
    std::function<void(const QString& folder)> show;
    double mostMB;  // its peak above this fails the run
};

const std::map<QString, Window>& windows()
{
    static const std::map<QString, Window> all = {
        {"guests view", [](const QString&) { mainShowing(&frmMain::ShowPeople); }},
        {"addresses view", [](const QString&) { mainShowing(&frmMain::ShowAddresses); }},
        {"rsvp view", [](const QString&) { mainShowing(&frmMain::ShowRSVP); }},
        {"guest report preview", [](const QString&) { reportPreview(&frmMain::ShowPeople); }},
        {"guest report printed",
         [](const QString& folder) { reportPrinted(&frmMain::ShowPeople, folder + "/guests.pdf"); }},
        {"guest report on A4",
         [](const QString& folder) { reportPrinted(&frmMain::ShowPeople, folder + "/guests-a4.pdf", true); }},
        {"address report preview", [](const QString&) { reportPreview(&frmMain::ShowAddresses); }},
        {"address report printed",
         [](const QString& folder) { reportPrinted(&frmMain::ShowAddresses, folder + "/addresses.pdf"); }},
        {"export window", exportWindow},
        {"import window", [](const QString& folder) { importWindow(folder, *messages); }},
        {"invitation editor", [](const QString&) { eventWindow<frmInvite>(kRehearsal); }},
        {"seating designer", [](const QString&) { eventWindow<frmSeating>(kReception); }},
        {"gift editor",
         [](const QString&) {
             addingEditor<frmGift>(
                 &frmMain::ShowGifts, [](frmGift& f) { f.giftMode = frmGift::Mode::Add; }, [](frmGift& f) { return f.Combo1[2]; });
         }},
        {"measurement editor",
         [](const QString&) {
             addingEditor<frmMeasureFemale>(
                 &frmMain::ShowMeasurementsFemale, [](frmMeasureFemale& f) { f.curMode = frmMeasureFemale::Mode::Add; },
                 [](frmMeasureFemale& f) { return f.Combo1; });
         }},
        {"import a 60 MB file", {[](const QString& folder) { largeFileChosen(folder, *messages); }, 500}},
    };
    return all;
}

// The peak resident size in MB and the CPU seconds of this process.
QString peakAndTime()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const double cpu = double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    return QString("%1 %2").arg(u.ru_maxrss / 1024.0, 0, 'f', 0).arg(cpu, 0, 'f', 1);   // kB on Linux
}

int runWindow(const QString& name, const QString& folder)
{
    const auto w = windows().find(name);
    if (w == windows().end()) {
        fprintf(stderr, "no window %s\n", qPrintable(name));
        return 2;
    }
    auto shown = std::make_unique<ui::ScriptedMessages>();
    messages = shown.get();
    ui::setMessageService(std::move(shown));
    openProgramFolder(folder);
    w->second.show(folder);
    if (keptMB >= 0)
        printf("%s %.0f\n", qPrintable(peakAndTime()), keptMB);
    else
        printf("%s\n", qPrintable(peakAndTime()));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows measured keep the rules of the program's boxes.
    ui::keepBoxRules();
    const QStringList args = app.arguments();
    const int at = int(args.indexOf("--window"));
    if (at > 0 && at + 1 < args.size() && args.indexOf("--data") > 0)
        return runWindow(args.value(at + 1), args.value(args.indexOf("--data") + 1));

    // --seed FOLDER [people] only makes the wedding, for a look at one window
    // under a profiler.
    if (args.value(1) == "--seed") {
        const QString folder = args.value(2);
        makeWedding(folder, args.size() > 3 ? args.value(3).toInt() : 100000);
        return 0;
    }
    QList<int> sizes;
    for (int i = 1; i < args.size(); ++i)
        sizes << args[i].toInt();
    if (sizes.isEmpty())
        sizes << 100000;

    printf("%-24s %8s %10s %8s %14s\n", "window", "people", "peak MB", "CPU s", "kept after MB");
    bool over = false;
    for (const int people : sizes) {
        QTemporaryDir wedding;
        makeWedding(wedding.path(), people);
        for (const auto& [name, window] : windows()) {
            // Each on a copy of the wedding: the import changes it.
            QTemporaryDir copy;
            QDir(copy.path()).mkpath("data");
            for (const QString& file : {"data/qvnt03.qvd", "data/qvnt04.qvd", "import.csv"})
                QFile::copy(wedding.path() + '/' + file, copy.path() + '/' + file);
            QProcess child;
            child.start(args.value(0), {"--window", name, "--data", copy.path()});
            child.waitForFinished(-1);
            const QStringList out = QString::fromUtf8(child.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
            const bool failed = child.exitCode() != 0 || out.size() < 2;
            printf("%-24s %8d %10s %8s %14s\n", qPrintable(name), people, failed ? "failed" : qPrintable(out[0]),
                   failed ? "" : qPrintable(out[1].trimmed()), qPrintable(out.value(2).trimmed()));
            fflush(stdout);
            // The bounds hold for weddings of up to 100,000 people. A closed
            // window gives back what it took, but for what the allocator
            // keeps at hand.
            over = over || failed ||
                   (people <= 100000 && (out[0].toDouble() > window.mostMB || out.value(2).toDouble() > 30));
        }
    }
    return over ? 1 : 0;
}
