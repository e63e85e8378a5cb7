// Peak memory of the program with one window open on a large wedding.
//
//   peak_memory [people]        every window, a line each: its peak in MB
//   peak_memory --seed FOLDER [people]
//   peak_memory --window NAME --data FOLDER
//
// The first form seeds one wedding (parties of one to four people with their
// addresses, a third of the people invited to the reception) and runs
// itself once per window, since a process's peak only grows: each line is
// the peak resident size of a process that started, showed the main window
// and then that window, as a user would. A window that is closed again also
// says how much of what it took the process still holds afterwards.

#include "app/frmMain.h"
#include "app/modQVDatabase.h"
#include "bench/benchmain.h"
#include "guests/frmExportData.h"
#include "guests/frmImportData.h"
#include "guests/frmInvite.h"
#include "platform/grid/gridex.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "seating/frmSeating.h"
#include "views/frmPreview.h"
#include "views/printpreview.h"

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

constexpr qint64 kEvent = 1;

void seed(int people)
{
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction t(c);
    c.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (?, 'Reception')", {kEvent});
    static const char* const families[] = {"Álvarez", "Björklund", "Chen", "Dubois-Lefèvre", "O'Brien", "Schmidt"};
    qint64 person = 0;
    for (qint64 party = 1; person < people; ++party) {
        const QString family = families[party % 6];
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_FNAME, GUEST_LNAME, GUEST_ADDRESS1, GUEST_CITY, "
                  "GUEST_STATE, GUEST_ZIP, GUEST_EMAIL, GUEST_CATEGORY) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  {party, QString("The %1 Family %2").arg(family).arg(party), "Zoë", family,
                   QString("%1 Rue du Faubourg Saint-Honoré").arg(party % 900 + 1), "Saint-Étienne-du-Rouvray", "NY",
                   QString::number(10000 + party % 90000), QString("family%1@example.org").arg(party),
                   party % 2 ? "Family" : "Friend"});
        for (int i = 0; i < 1 + party % 4 && person < people; ++i) {
            ++person;
            c.Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE) "
                      "VALUES (?, ?, ?, ?, 'Mr.')",
                      {person, party, QString("Margarethe %1").arg(person), family});
            if (person % 3 == 0)
                c.Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (?, ?)", {kEvent, person});
        }
    }
    t.commit();
}

// A guest list from another program: three people a party, every party
// name twice in the file (the import merges them).
void writeImportFile(const QString& file, int people)
{
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

// Lets the window's deferred work run, as the event loop would between two
// user actions.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
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
void eventWindow()
{
    mainShowing(&frmMain::ShowRSVP);
    Window& f = Window::instance();
    f.curEvent = kEvent;
    f.Load();
    f.window()->show();
    settle();
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
        {"invitation editor", [](const QString&) { eventWindow<frmInvite>(); }},
        {"seating designer", [](const QString&) { eventWindow<frmSeating>(); }},
        {"import a 60 MB file", {[](const QString& folder) { largeFileChosen(folder, *messages); }, 500}},
    };
    return all;
}

double peakMB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;   // kB on Linux
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
        printf("%.0f %.0f\n", peakMB(), keptMB);
    else
        printf("%.0f\n", peakMB());
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
    const bool seedOnly = args.value(1) == "--seed";
    const int people = args.size() > (seedOnly ? 3 : 1) ? args.last().toInt() : 100000;
    QTemporaryDir temporary;
    const QString folder = seedOnly ? args.value(2) : temporary.path();
    openFreshDatabase(folder);
    seed(people);
    writeImportFile(folder + "/import.csv", people);
    modQVDatabase::gConn.Close();
    if (seedOnly)
        return 0;

    printf("%-24s %8s %10s %14s\n", "window", "people", "peak MB", "kept after MB");
    bool over = false;
    for (const auto& [name, window] : windows()) {
        // Each on a copy of the wedding: the import changes it.
        QTemporaryDir copy;
        QDir(copy.path()).mkpath("data");
        for (const QString& file : {"data/qvnt03.qvd", "data/qvnt04.qvd", "import.csv"})
            QFile::copy(folder + '/' + file, copy.path() + '/' + file);
        QProcess child;
        child.start(args.value(0), {"--window", name, "--data", copy.path()});
        child.waitForFinished(-1);
        const QList<QByteArray> out = child.readAllStandardOutput().trimmed().split(' ');
        const bool failed = out.value(0).isEmpty();
        printf("%-24s %8d %10s %14s\n", qPrintable(name), people, failed ? "failed" : out[0].constData(),
               out.size() > 1 ? out[1].constData() : "");
        fflush(stdout);
        // A closed window gives back what it took, but for what the
        // allocator keeps at hand.
        over = over || failed || out[0].toDouble() > window.mostMB || out.value(1).toDouble() > 30;
    }
    return over ? 1 : 0;
}
