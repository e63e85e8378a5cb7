// The guest export window: choosing the data set and the fields, the file
// it writes (byte for byte), its messages, a failed write, and a file that
// the import reads back unchanged.

#include "guests/csvwindows.h"

#include "guests/frmExportData.h"
#include "guests/frmImportData.h"

#include <QLabel>
#include <QPushButton>

namespace {

const QStringList kTitles = {"Party Name", "First Name", "Last Name", "Title",   "Address 1", "Address 2",
                             "City",       "State",      "Zip/Postal", "Phone 1", "Phone 2",  "E-Mail"};

// GUEST_PARTYNAME to GUEST_EMAIL; a null QString is stored as NULL.
const QList<QStringList> kParties = {
    {"O'Brien Family", "Pat", "O'Brien", "Mr.", "12 Main St, Apt 4", "", "Boston", "MA", "02134", "555-0100",
     QString(), "pat@example.com"},
    {QString::fromUtf8("Müller"), QString::fromUtf8("Zoë"), QString::fromUtf8("Müller"), "Dr.",
     QString::fromUtf8("Straße 5"), "c/o \"Anna\"", QString::fromUtf8("Köln"), "", "01067", "", "", ""},
    {"  Smith  ", "John", "Smith", " Ms. ", "Line one\r\nLine two", QString(), "Rome", "", "00100", "", "", ""},
};

const QByteArray kExpectedFile =
    "\"Party Name\",\"First Name\",\"Last Name\",\"Title\",\"Address 1\",\"Address 2\",\"City\",\"State\","
    "\"Zip/Postal\",\"Phone 1\",\"Phone 2\",\"E-Mail\"\r\n"
    "\"O'Brien Family\",\"Pat\",\"O'Brien\",\"Mr.\",\"12 Main St, Apt 4\",\"\",\"Boston\",\"MA\",\"02134\","
    "\"555-0100\",\"\",\"pat@example.com\"\r\n"
    "\"M\xC3\xBCller\",\"Zo\xC3\xAB\",\"M\xC3\xBCller\",\"Dr.\",\"Stra\xC3\x9F" "e 5\",\"c/o \"\"Anna\"\"\","
    "\"K\xC3\xB6ln\",\"\",\"01067\",\"\",\"\",\"\"\r\n"
    "\"Smith\",\"John\",\"Smith\",\"Ms.\",\"Line one\r\nLine two\",\"\",\"Rome\",\"\",\"00100\",\"\",\"\",\"\"\r\n";

class ExportWindow : public testsupport::CsvWindowTest {
protected:
    void TearDown() override
    {
        frmExportData::instance().Unload();
        frmImportData::instance().Unload();
        CsvWindowTest::TearDown();
    }
    static frmExportData& f() { return frmExportData::instance(); }
    frmExportData& open()
    {
        f().Unload();
        f().Show(ui::vbModeless);
        return f();
    }
    // Picks a data set with the keyboard: 1 the parties, 2 the people.
    void chooseDataSet(int entry)
    {
        f().cmbWhichData->setFocus();
        while (f().cmbWhichData->currentIndex() < entry - 1)
            QTest::keyClick(f().cmbWhichData, Qt::Key_Down);
    }
    void addParties()
    {
        for (const QStringList& p : kParties) {
            ado::Params values;
            for (const QString& v : p)
                values << (v.isNull() ? QVariant() : QVariant(v));
            db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_FNAME, GUEST_LNAME, GUEST_TITLE, GUEST_ADDRESS1, "
                         "GUEST_ADDRESS2, GUEST_CITY, GUEST_STATE, GUEST_ZIP, GUEST_PHONE1, GUEST_PHONE2, GUEST_EMAIL) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                         values);
        }
    }
    // Exports to that path with the dialog answering it.
    void exportTo(const QString& path)
    {
        dialogs.dialogs->files << path;
        click(f().Command1);
    }
};

TEST_F(ExportWindow, ChoosesTheDataSetAndTheFields)
{
    frmExportData& w = open();
    ASSERT_EQ(w.cmbWhichData->count(), 2);
    EXPECT_EQ(w.cmbWhichData->itemText(0), "Guest Information");
    EXPECT_EQ(w.cmbWhichData->itemText(1), "Subguest Information");
    EXPECT_EQ(w.cmbWhichData->currentIndex(), -1);
    // No data set yet: Export does nothing at all.
    click(w.Command1);
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_TRUE(dialogs.dialogs->fileRequests.isEmpty());

    // An empty guest list offers no fields.
    chooseDataSet(1);
    EXPECT_EQ(w.dataSet(), "Guests");
    EXPECT_TRUE(entries(w.lstAvailable).isEmpty());
    click(w.Command1);
    EXPECT_EQ(shownMessages(), QStringList{"There are no fields selected."});

    addParties();
    open();
    chooseDataSet(1);
    EXPECT_EQ(entries(w.lstAvailable), kTitles);
    ASSERT_TRUE(clickEntry(w.lstAvailable, "City"));
    click(w.cmdAdd);
    ASSERT_TRUE(clickEntry(w.lstAvailable, "Title"));
    ASSERT_TRUE(clickEntry(w.lstAvailable, "Party Name"));
    ASSERT_TRUE(clickEntry(w.lstAvailable, "Title"));  // a second click deselects
    click(w.cmdAdd);
    EXPECT_EQ(entries(w.lstExport), (QStringList{"City", "Party Name"}));
    ASSERT_TRUE(clickEntry(w.lstExport, "City"));
    click(w.cmdRemove);
    EXPECT_EQ(entries(w.lstExport), QStringList{"Party Name"});
    EXPECT_EQ(entries(w.lstAvailable).last(), "City");
    click(w.cmdAddAll);
    EXPECT_TRUE(entries(w.lstAvailable).isEmpty());
    EXPECT_EQ(entries(w.lstExport).mid(0, 3), (QStringList{"Party Name", "First Name", "Last Name"}));
    EXPECT_EQ(entries(w.lstExport).last(), "City");

    // Choosing a data set again offers every field afresh.
    chooseDataSet(2);
    EXPECT_EQ(w.dataSet(), "Subguests");
    EXPECT_TRUE(entries(w.lstAvailable).isEmpty());  // no party has people yet
    EXPECT_TRUE(entries(w.lstExport).isEmpty());
}

TEST_F(ExportWindow, WritesTheChosenColumnsByteForByte)
{
    addParties();
    frmExportData& w = open();
    chooseDataSet(1);
    click(w.cmdAddAll);
    const QString path = files.filePath("guests.csv");
    writeFile("guests.csv", "an earlier file, replaced\r\n");
    exportTo(files.filePath("guests"));  // the dialog adds the extension
    EXPECT_EQ(readFile(path), kExpectedFile);
    EXPECT_EQ(shownMessages(), QStringList{"Successfully exported 3 records."});
    const ui::FileRequest& r = dialogs.dialogs->fileRequests.last();
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.filter, "Comma Separated Values (*.csv)|*.csv");
    EXPECT_EQ(r.defaultExt, ".csv");

    // Back to the opening lists; the data set is kept, so Export asks for fields.
    EXPECT_EQ(w.cmbWhichData->currentIndex(), -1);
    EXPECT_TRUE(entries(w.lstAvailable).isEmpty() && entries(w.lstExport).isEmpty());
    click(w.Command1);
    EXPECT_EQ(shownMessages().last(), "There are no fields selected.");

    // Columns in the order chosen.
    chooseDataSet(1);
    for (const char* field : {"Zip/Postal", "Party Name"}) {
        ASSERT_TRUE(clickEntry(w.lstAvailable, field));
        click(w.cmdAdd);
    }
    exportTo(path);
    EXPECT_EQ(dialogs.dialogs->fileRequests.last().fileName, path);
    EXPECT_EQ(readFile(path), QByteArray("\"Zip/Postal\",\"Party Name\"\r\n\"02134\",\"O'Brien Family\"\r\n"
                                         "\"01067\",\"M\xC3\xBCller\"\r\n\"00100\",\"Smith\"\r\n"));
}

TEST_F(ExportWindow, PeopleCarryTheirPartysAddress)
{
    const qint64 lee = addParty("Lee", "555-0001");
    db().Execute("UPDATE GUEST SET GUEST_CITY = 'Rome' WHERE GUEST_ID = ?", {lee});
    for (const char* first : {"Mia", "Sam", "Jo"})
        insert("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_PHONE) VALUES (?, ?, ?)",
               {lee, first, QString("555-1%1").arg(first)});
    addPerson(lee + 999, "Orphan");
    frmExportData& w = open();
    chooseDataSet(2);
    EXPECT_EQ(entries(w.lstAvailable), kTitles);
    for (const char* field : {"Party Name", "First Name", "City", "Phone 1", "Phone 2"})
        ASSERT_TRUE(clickEntry(w.lstAvailable, field));
    click(w.cmdAdd);
    exportTo(files.filePath("people.csv"));
    EXPECT_EQ(readFile(files.filePath("people.csv")),
              QByteArray("\"Party Name\",\"First Name\",\"City\",\"Phone 1\",\"Phone 2\"\r\n"
                         "\"Lee\",\"Mia\",\"Rome\",\"555-1Mia\",\"555-0001\"\r\n"
                         "\"Lee\",\"Sam\",\"Rome\",\"555-1Sam\",\"555-0001\"\r\n"
                         "\"Lee\",\"Jo\",\"Rome\",\"555-1Jo\",\"555-0001\"\r\n"));
    EXPECT_EQ(shownMessages(), QStringList{"Successfully exported 3 records."});
}

TEST_F(ExportWindow, CancelAndFailedWritesReportNoSuccess)
{
    addParties();
    frmExportData& w = open();
    chooseDataSet(1);
    click(w.cmdAddAll);
    exportTo(QString());  // cancelled
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_EQ(entries(w.lstExport), kTitles);

    const QString nowhere = files.filePath("gone/guests.csv");
    exportTo(nowhere);
    ASSERT_EQ(shownMessages().size(), 1);
    EXPECT_TRUE(shownMessages()[0].startsWith("The file " + QDir::toNativeSeparators(nowhere) + " could not be written."))
        << shownMessages()[0].toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));
    // The choice stays, so the user can try another place.
    EXPECT_EQ(entries(w.lstExport), kTitles);
    exportTo(files.filePath("guests.csv"));
    EXPECT_EQ(shownMessages().last(), "Successfully exported 3 records.");
}

TEST_F(ExportWindow, ImportReadsAnExportBackExactly)
{
    // Beside the parties above: tabs, CJK, quotes at the edges, a lone line
    // feed, a leading comma, zeros.
    const QList<QStringList> more = {
        {QString::fromUtf8("山田 家"), QString::fromUtf8("太郎"), QString::fromUtf8("山田"), "",
         QString::fromUtf8("港区\t3-1-1"), "\tRoom 5", QString::fromUtf8("東京"), "", "105-0011", "", "",
         "taro@example.jp"},
        {"\"The Twins\"", "Al \"Bud\"", "Ng", "", "Line one\nLine two", ",west wing", "Paris", "", "0", "0012", "00",
         "\"\""},
    };
    addParties();
    for (const QStringList& p : more)
        db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_FNAME, GUEST_LNAME, GUEST_TITLE, GUEST_ADDRESS1, "
                     "GUEST_ADDRESS2, GUEST_CITY, GUEST_STATE, GUEST_ZIP, GUEST_PHONE1, GUEST_PHONE2, GUEST_EMAIL) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                     ado::Params(p.begin(), p.end()));
    frmExportData& w = open();
    chooseDataSet(1);
    click(w.cmdAddAll);
    const QString path = files.filePath("roundtrip.csv");
    exportTo(path);
    w.Unload();
    db().Execute("DELETE FROM GUEST");
    db().Execute("DELETE FROM SUBGUEST");

    frmImportData& in = frmImportData::instance();
    in.Show(ui::vbModeless);
    in.widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(in.widget()));
    dialogs.dialogs->files << path;
    click(in.Command1);
    EXPECT_EQ(in.Label2[2]->text(), "Record Count: 1 of 5");
    for (int i = 0; i < kTitles.size(); ++i) {
        ASSERT_TRUE(clickEntry(in.lstSource, kTitles[i]));
        ASSERT_TRUE(clickEntry(in.lstTarget, QString::fromLatin1(guestimport::fields()[i].name)));
        click(in.cmdLink);
    }
    EXPECT_EQ(entries(in.lstLink)[8], "Zip/Postal=ZIP/Postal");
    answer({ui::vbYes});
    click(in.cmdImport);
    EXPECT_EQ(shownMessages().last(), "Successfully added 5 records.");

    // Back as stored, less the blanks (only those) around values; each
    // party's person from its names, title, first phone and e-mail.
    QStringList parties, people;
    for (QStringList p : kParties + more) {
        for (QString& v : p) {
            while (v.startsWith(' '))
                v.remove(0, 1);
            while (v.endsWith(' '))
                v.chop(1);
        }
        parties << p.join('|');
        people << QStringList{p[0], p[1], p[2], p[3], p[9], p[11]}.join('|');
    }
    EXPECT_EQ(rows("SELECT GUEST_PARTYNAME, GUEST_FNAME, GUEST_LNAME, GUEST_TITLE, GUEST_ADDRESS1, GUEST_ADDRESS2, "
                   "GUEST_CITY, GUEST_STATE, GUEST_ZIP, GUEST_PHONE1, GUEST_PHONE2, GUEST_EMAIL FROM GUEST "
                   "ORDER BY GUEST_ID"),
              parties);
    EXPECT_EQ(rows("SELECT GUEST_PARTYNAME, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE, SUBGUEST_PHONE, "
                   "SUBGUEST_EMAIL FROM SUBGUEST JOIN GUEST USING (GUEST_ID) ORDER BY SUBGUEST_ID"),
              people);
}

}  // namespace

namespace {

TEST_F(ExportWindow, ScreenshotsWithAFileLoaded)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    addParties();
    frmExportData& w = open();
    chooseDataSet(1);
    for (const char* field : {"Party Name", "First Name", "Last Name", "Zip/Postal"})
        ASSERT_TRUE(clickEntry(w.lstAvailable, field));
    click(w.cmdAdd);
    ASSERT_TRUE(clickEntry(w.lstAvailable, "City"));
    testsupport::snap(w.window(), dir, "export_window");
    click(w.cmdAddAll);
    const QString path = files.filePath("guests.csv");
    exportTo(path);
    w.Unload();

    frmImportData& in = frmImportData::instance();
    in.Show(ui::vbModeless);
    dialogs.dialogs->files << path;
    click(in.Command1);
    answer({ui::vbNo});
    click(in.Command2);
    for (const auto& [source, field] : {std::pair{"Zoë", "First Name"}, {"Köln", "City"}}) {
        ASSERT_TRUE(clickEntry(in.lstSource, QString::fromUtf8(source)) && clickEntry(in.lstTarget, field));
        click(in.cmdLink);
    }
    clickEntry(in.lstSource, "01067");
    testsupport::snap(in.window(), dir, "import_window");
}

}  // namespace
