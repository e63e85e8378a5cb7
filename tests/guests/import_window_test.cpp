// The guest import window: reading and browsing a file, files as other
// programs write them and files it refuses, the header guess, linking and
// breaking, the import with its merge, and a failure or a cancel that
// leaves the database as it was.

#include "guests/csvwindows.h"

#include "support/mainwindow.h"

#include "app/frmMain.h"
#include "guests/frmImportData.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStringEncoder>

namespace {

const QString kNoHeaderQ =
    "It appears that the data does not have header information.  Click Yes to confirm and proceed without header "
    "information.";
const QString kHeaderQ =
    "It appears that the data has header information.  Click Yes to confirm and proceed with header information.";
const QString kNoRecords = "The file selected has no records, or the records are of an unusable type.";
const QString kImportQ = "Press Yes to Import the records.";

const QByteArray kWithHeader = "\"Party Name\",\"First Name\",\"Home Phone\"\r\n"
                               "\"Smith Family\",\"John\",\"555-0100\"\r\n"
                               "\"Jones\",\"Ann\",\"\"\r\n"
                               "\"Ito\",\"Ken\",\"555-0102\"\r\n"
                               "\"Lee\",\"Mia\",\"555-0103\"\r\n"
                               "\"Diaz\",\"Luis\",\"555-0104\"\r\n";
const QByteArray kNoHeader = "Ito,Ken,home\r\nLee,Mia,work\r\nDiaz,Luis,cell\r\nJones,Ann,\r\nSmith,John,home\r\n"
                             "Kato,Yui,work\r\n";

class ImportWindow : public testsupport::CsvWindowTest {
protected:
    void TearDown() override
    {
        f().Unload();
        CsvWindowTest::TearDown();
    }
    static frmImportData& f() { return frmImportData::instance(); }
    frmImportData& open()
    {
        f().Unload();
        f().Show(ui::vbModeless);
        f().widget()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(f().widget()));
        return f();
    }
    // Chooses the file through the dialog.
    void choose(const QString& path)
    {
        dialogs.dialogs->files << path;
        click(f().Command1);
    }
    void link(const QString& source, const QString& field)
    {
        ASSERT_TRUE(clickEntry(f().lstSource, source)) << source.toStdString();
        ASSERT_TRUE(clickEntry(f().lstTarget, field)) << field.toStdString();
        click(f().cmdLink);
    }
    // Imports with Yes to the question.
    void import()
    {
        answer({ui::vbYes});
        click(f().cmdImport);
    }
    // Links each column to the guest field of its name and imports; gives
    // the people stored ("party|first|..." as `stored` selects them), and
    // leaves none.
    QStringList importLinked(const QStringList& columns, const QString& stored)
    {
        for (const QString& column : columns)
            link(column, column);
        import();
        const QStringList people =
            rows("SELECT " + stored + " FROM SUBGUEST JOIN GUEST USING (GUEST_ID) ORDER BY SUBGUEST_ID");
        db().Execute("DELETE FROM SUBGUEST");
        db().Execute("DELETE FROM GUEST");
        return people;
    }
    static QStringList imported(int records)
    {
        return {kImportQ, QString("Successfully added %1 records.").arg(records)};
    }
    QString label() const { return f().Label2[2]->text(); }
    // Picks a character set with the arrow keys, as a user does.
    void pickCharset(const QString& caption)
    {
        QComboBox* box = f().cmbCharset;
        box->setFocus();
        const int to = box->findText(caption);
        for (int guard = 0; box->currentIndex() != to && guard < 20; ++guard)
            QTest::keyClick(box, box->currentIndex() < to ? Qt::Key_Down : Qt::Key_Up);
    }
    QStringList parties() { return rows("SELECT GUEST_PARTYNAME FROM GUEST ORDER BY GUEST_ID"); }
    QStringList people()
    {
        return rows("SELECT GUEST_PARTYNAME, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE, SUBGUEST_PHONE, "
                      "SUBGUEST_EMAIL FROM SUBGUEST JOIN GUEST USING (GUEST_ID) ORDER BY SUBGUEST_ID");
    }
};

TEST_F(ImportWindow, OpensEmptyWithEveryGuestField)
{
    frmImportData& w = open();
    EXPECT_EQ(entries(w.lstTarget), (QStringList{"Party Name", "First Name", "Last Name", "Title", "Address 1",
                                                 "Address 2", "City", "State", "ZIP/Postal", "Phone 1", "Phone 2",
                                                 "E-Mail"}));
    EXPECT_TRUE(entries(w.lstSource).isEmpty());
    EXPECT_EQ(label(), "Record Count: 0");
    EXPECT_TRUE(w.Option1[0]->isChecked());
    // Browsing and importing before any file change nothing.
    click(w.Command2);
    click(w.Command3);
    EXPECT_EQ(label(), "Record Count: 0");
    import();
    EXPECT_EQ(shownMessages(), (QStringList{kImportQ, "Please select a valid source file to import."}));
    EXPECT_EQ(messages.msgs->shown[0].title, "Import Records");
    EXPECT_TRUE(w.isLoaded());
}

TEST_F(ImportWindow, ShowsRecordsAndGuessesTheHeader)
{
    const QString withHeader = writeFile("withheader.csv", kWithHeader);
    const QString noHeader = writeFile("noheader.csv", kNoHeader);
    const QString phones = writeFile("phones.csv", "Ito,Ken,home\r\nLee,Mia,cell phone\r\nDiaz,Luis,x\r\n");
    const struct {
        const char* name;
        QString file;
        bool noFirst;      // "No" chosen before the file
        int browse;        // Next (+) or Prev (-) clicks
        QList<int> answers;
        const char* label;
        QStringList source;
        bool header;
        QStringList messages;
    } cases[] = {
        {"header line", withHeader, false, 0, {}, "Record Count: 1 of 5", {"Party Name", "First Name", "Home Phone"},
         true, {}},
        // The first line looks like a header: asked once, whatever the answer.
        {"no chosen first", withHeader, true, 0, {ui::vbNo}, "Record Count: 1 of 6", {"Smith Family", "John", "555-0100"},
         false, {kHeaderQ}},
        {"no chosen first, then yes", withHeader, true, 0, {ui::vbYes}, "Record Count: 1 of 5",
         {"Party Name", "First Name", "Home Phone"}, true, {kHeaderQ}},
        // Browsing asks nothing: the question is about the first line.
        {"next skips record 1", withHeader, false, 1, {}, "Record Count: 2 of 5", {"Jones", "Ann", "<Blank>"}, true,
         {}},
        {"prev wraps", withHeader, false, -1, {}, "Record Count: 5 of 5", {"Diaz", "Luis", "555-0104"}, true, {}},
        {"next wraps", withHeader, false, 5, {}, "Record Count: 1 of 5", {"Party Name", "First Name", "Home Phone"},
         true, {}},
        {"no header confirmed", noHeader, false, 0, {ui::vbYes}, "Record Count: 1 of 6", {"Lee", "Mia", "work"}, false,
         {kNoHeaderQ}},
        {"no header declined", noHeader, false, 3, {ui::vbNo}, "Record Count: 4 of 5", {"Smith", "John", "home"}, true,
         {kNoHeaderQ}},
        {"no header prev", noHeader, true, -1, {}, "Record Count: 5 of 6", {"Kato", "Yui", "work"}, false, {}},
        // Only the first line counts, not a value of a record.
        {"a phone among the records", phones, true, 0, {}, "Record Count: 1 of 3", {"Lee", "Mia", "cell phone"}, false,
         {}},
        {"one line", writeFile("oneline.csv", "\"Party Name\"\r\n"), false, 0, {}, "Record Count: 0", {}, true,
         {kNoRecords}},
        {"empty file", writeFile("empty.csv", ""), false, 1, {}, "Record Count: 0", {}, true, {kNoRecords}},
        {"dialog cancelled", QString(), false, 0, {}, "Record Count: 0", {}, true, {kNoRecords}},
        {"missing file", files.filePath("gone.csv"), false, 0, {}, "Record Count: 0", {}, true, {kNoRecords}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages.msgs->shown.clear();
        messages.msgs->answers = c.answers;
        frmImportData& w = open();
        if (c.noFirst)
            click(w.Option1[1]);
        choose(c.file);
        for (int i = 0; i < std::abs(c.browse); ++i)
            click(c.browse > 0 ? w.Command2 : w.Command3);
        EXPECT_EQ(label(), c.label);
        EXPECT_EQ(entries(w.lstSource), c.source);
        EXPECT_EQ(w.hasHeader(), c.header);
        EXPECT_EQ(w.Option1[0]->isChecked(), c.header);
        EXPECT_EQ(shownMessages(), c.messages);
        EXPECT_EQ(entries(w.lstTarget).size(), 12);
        EXPECT_TRUE(entries(w.lstLink).isEmpty());
    }
    EXPECT_EQ(dialogs.dialogs->fileRequests.last().filter, "Comma Separated Values (*.csv)|*.csv");
    EXPECT_FALSE(dialogs.dialogs->fileRequests.last().save);
}

TEST_F(ImportWindow, HeaderGuessByColumnName)
{
    const struct {
        const char* firstLine;
        bool header;
    } cases[] = {
        {"Name,City", false},         {"First Name,City", true}, {"Home Phone,City", true},
        {"Telephone,City", true},     {"Surname,Town", false},   {"LAST NAME,x", true},
        {"\"Party Name\",\"x\"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.firstLine);
        messages.msgs->shown.clear();
        messages.msgs->answers = {ui::vbNo};
        open();
        choose(writeFile("guess.csv", QByteArray(c.firstLine) + "\r\nAnn,Rome\r\n"));
        EXPECT_EQ(shownMessages(), c.header ? QStringList{} : QStringList{kNoHeaderQ});
    }
}

TEST_F(ImportWindow, RefusedOrStoppedFilesLeaveNothingOnScreenOrStored)
{
    const QString good = writeFile("guests.csv", kWithHeader);
    QFile big(files.filePath("big.csv"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(csv::kMaxFileBytes + 1));
    big.close();
    const struct {
        const char* name;
        QString file;
        QString message;  // none: Cancel pressed while the file is read
    } cases[] = {
        {"a blank in the name", writeFile("my guests.csv", kWithHeader),
         "Please edit the file name to have no spaces before importing it."},
        {"cancelled while read", writeFile("other.csv", kWithHeader), QString()},
        {"too large", big.fileName(), "The file big.csv is larger than 64 MB and cannot be imported."},
        // An export edited by hand: a value given an opening quote only.
        {"a quote never closed",
         writeFile("edited.csv", "Party Name,First Name,Last Name\r\nLee,Mia,Lee\r\n\"Kim,Yu,Kim\r\nIto,Ken,Ito\r\n"
                                 "Ono,\"Aki\",Ono\r\n"),
         "The file edited.csv cannot be imported: the double quote that opens on line 3 is never closed.  Correct the "
         "file and select it again."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frmImportData& w = open();
        choose(good);
        link("Party Name", "Party Name");
        messages.msgs->shown.clear();
        if (c.message.isEmpty())
            dialogs.dialogs->cancelAtSteps << 1;
        choose(c.file);
        EXPECT_EQ(shownMessages(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        if (c.message.isEmpty()) {
            ASSERT_FALSE(dialogs.dialogs->progressRequests.isEmpty());
            EXPECT_EQ(dialogs.dialogs->progressRequests.last().title, "Import Data");
            EXPECT_EQ(dialogs.dialogs->progressRequests.last().label, "Reading other.csv...");
        }
        EXPECT_EQ(label(), "Record Count: 0");
        EXPECT_TRUE(entries(w.lstSource).isEmpty());
        EXPECT_TRUE(entries(w.lstLink).isEmpty());
        EXPECT_EQ(entries(w.lstTarget).size(), 12);
        import();
        EXPECT_EQ(shownMessages().last(), "There are no records selected.");
        EXPECT_EQ(testsupport::counts("GUEST SUBGUEST SYNCHRO"), "0 0 0");
    }

    // A blank in the folder's name is no reason to refuse; a cancelled
    // dialog reads the file chosen before again.
    QDir(files.path()).mkpath("my folder");
    const QString blankFolder = writeFile("my folder/guests.csv", kWithHeader);
    messages.msgs->shown.clear();
    open();
    choose(blankFolder);
    EXPECT_EQ(label(), "Record Count: 1 of 5");
    choose(QString());
    EXPECT_EQ(label(), "Record Count: 1 of 5");
    EXPECT_EQ(dialogs.dialogs->fileRequests.last().fileName, blankFolder);
    EXPECT_TRUE(shownMessages().isEmpty());
}

QByteArray utf16(const QString& text, QStringConverter::Encoding e)
{
    return QStringEncoder(e, QStringConverter::Flag::WriteBom).encode(text);
}

TEST_F(ImportWindow, ReadsFilesAsOtherProgramsWriteThem)
{
    const QString header = "Party Name,First Name,Last Name\r\n";
    const QString names = QString::fromUtf8("García,José,García\r\n\"山田 家\",太郎,山田\r\n");
    const QStringList stored = {QString::fromUtf8("García|José|García"), QString::fromUtf8("山田 家|太郎|山田")};
    const QString unreadable = "Some characters of the file %1 could not be read: it may not be a text file, or it "
                               "was saved in a character set this import does not know.  Check the records before "
                               "importing them.";
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList people;    // as stored, "party|first|last"
        QStringList messages;  // on choosing the file
    } cases[] = {
        // Two exports joined, the second from a program writing Windows-1252.
        {"joined.csv", (header + names).toUtf8() + "Lef\xE8vre,Ren\xE9" "e,Lef\xE8vre\r\n",
         stored + QStringList{QString::fromUtf8("Lefèvre|Renée|Lefèvre")},
         {"The file joined.csv is read as Unicode.  3 characters of the file (the first on line 4) are not Unicode: "
          "they are read as Western (Windows-1252).  Choose the character set the file was saved in, or check the records "
          "before importing them."}},
        {"utf16le.csv", utf16(header + names, QStringConverter::Utf16LE), stored, {}},
        {"utf16be.csv", utf16(header + names, QStringConverter::Utf16BE), stored, {}},
        {"blanklines.csv",
         "Party Name,First Name,Last Name\r\n  \r\n,,\r\nLee,Mia,Lee\r\n\"\",\" \",\"\t\"\r\nKi" + QByteArray(1, '\0')
             + "m,Yu,Kim\r\n,,\r\n",
         {"Lee|Mia|Lee", "Kim|Yu|Kim"}, {}},
        {"semi.csv", "Party Name;First Name;Last Name\r\nLee;Mia;Lee\r\nKim;Yu;Kim\r\n", {"Lee|Mia|Lee", "Kim|Yu|Kim"}, {}},
        {"tabs.csv", utf16("Party Name\tFirst Name\tLast Name\r\nLee\tMia\tLee\r\n", QStringConverter::Utf16LE),
         {"Lee|Mia|Lee"}, {}},
        // No control code is stored.
        {"binary.csv", QByteArray("Party Name,First Name,Last Name\r\nLee,Mia\x01,Lee\r\n"), {"Lee|Mia|Lee"},
         {unreadable.arg("binary.csv")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages.msgs->shown.clear();
        open();
        choose(writeFile(c.name, c.bytes));
        // Told before anything is linked.
        EXPECT_EQ(shownMessages(), c.messages);
        EXPECT_EQ(label(), QString("Record Count: 1 of %1").arg(c.people.size()));
        EXPECT_EQ(importLinked({"Party Name", "First Name", "Last Name"},
                               "GUEST_PARTYNAME, SUBGUEST_FNAME, SUBGUEST_LNAME"),
                  c.people);
        EXPECT_EQ(shownMessages().mid(c.messages.size()), imported(int(c.people.size())));
    }
}

// Files kept under tests/data/guests, each as a spreadsheet, an old Mac,
// an export script or a web-mail program writes it: read and imported
// without a question, a header stored as a guest, or a garbled letter.
TEST_F(ImportWindow, ReadsGuestFilesAsTheyComeFromOtherPrograms)
{
    const auto u = [](const char* s) { return QString::fromUtf8(s); };
    const struct {
        const char* file;
        bool noFirst;        // "No" chosen before the file
        QList<int> answers;  // to the header question
        QStringList messages;
        const char* label;
        QStringList source;  // position 1
        QStringList links;   // columns linked to the guest field of their name
        QStringList people;  // as stored, "party|first|last|address|city|e-mail"
    } cases[] = {
        {"title-line.csv", false, {}, {}, "Record Count: 1 of 3",
         {"Party Name", "First Name", "Last Name", "City", "Phone"},
         {"Party Name", "First Name", "Last Name", "City"},
         {"The Smith Family|John|Smith||Boston|", u("Garcia|José|García||Austin, TX|"), "Okafor|Chinedu|Okafor||Atlanta|"}},
        // Asked once; the Yes that turns the option is not asked the opposite.
        {"title-line.csv", true, {ui::vbYes}, {kHeaderQ}, "Record Count: 1 of 3",
         {"Party Name", "First Name", "Last Name", "City", "Phone"},
         {"Party Name", "First Name", "Last Name"},
         {"The Smith Family|John|Smith|||", u("Garcia|José|García|||"), "Okafor|Chinedu|Okafor|||"}},
        {"sep-line.csv", false, {}, {}, "Record Count: 1 of 2",
         {"Party Name", "First Name", "Last Name", "Address 1", "City", "Phone"},
         {"Party Name", "First Name", "Last Name", "Address 1", "City"},
         {u("Familie Müller|Hans|Müller|Hauptstraße 5, Hinterhaus|Köln|"), u("Familie Weiß|Greta|Weiß|Am Markt 2|Münster|")}},
        {"semicolons.csv", false, {}, {}, "Record Count: 1 of 3", {"Party Name", "First Name", "Last Name", "Share", "Phone"},
         {"Party Name", "First Name", "Last Name"},
         {u("Müller|Hans|Müller|||"), u("Schäfer|Jörg|Schäfer|||"), u("Dupont|Renée|Dupont|||")}},
        {"utf16-no-bom.csv", false, {}, {}, "Record Count: 1 of 3", {"Party Name", "First Name", "Last Name", "E-Mail"},
         {"Party Name", "First Name", "Last Name", "E-Mail"},
         {u("山田 家|太郎|山田|||taro@example.jp"), u("王家|伟|王|||wei@example.cn"), u("김 가족|민준|김|||minjun@example.kr")}},
        {"mac-roman.csv", false, {}, {}, "Record Count: 1 of 3", {"Party Name", "First Name", "Last Name", "City"},
         {"Party Name", "First Name", "Last Name", "City"},
         {u("Lefèvre|André|Lefèvre||Montréal|"), u("Müller|Zoë|Müller||Zürich|"), u("Núñez|Íñigo|Núñez||Logroño|")}},
        // Blanks, no-break spaces and decomposed letters: one party per name
        // as it looks, holding every person of it.
        {"look-alike-names.csv", false, {}, {}, "Record Count: 1 of 5", {"Party Name", "First Name", "Last Name", "E-Mail"},
         {"Party Name", "First Name", "Last Name", "E-Mail"},
         {"Smith Family|John|Smith|||john@example.com", "Smith Family|Mary|Smith|||john@example.com",
          "Smith Family|Tom|Smith|||john@example.com", u("José Garcia|José|Garcia|||jose@example.com"),
          u("José Garcia|José|Garcia|||jose@example.com")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        messages.msgs->shown.clear();
        messages.msgs->answers = c.answers;
        frmImportData& w = open();
        if (c.noFirst)
            click(w.Option1[1]);
        choose(testsupport::sourcePath(QString("tests/data/guests/") + c.file));
        EXPECT_EQ(shownMessages(), c.messages);
        EXPECT_TRUE(w.hasHeader());
        EXPECT_EQ(label(), c.label);
        EXPECT_EQ(entries(w.lstSource), c.source);
        EXPECT_EQ(importLinked(c.links, "GUEST_PARTYNAME, SUBGUEST_FNAME, SUBGUEST_LNAME, GUEST_ADDRESS1, "
                                        "GUEST_CITY, GUEST_EMAIL"),
                  c.people);
        EXPECT_EQ(shownMessages().mid(c.messages.size()), imported(int(c.people.size())));
    }
}

// Files saved in the code page of a spreadsheet's country, and a UTF-8 file
// of CR line ends with one stray byte: the set proposed is shown, the first
// records show as they will be stored in the set chosen, with what it has
// no letter for, and the set chosen last stores the names as written.
TEST_F(ImportWindow, ReadsEachGuestFileInItsCharacterSet)
{
    const auto u = [](const char* s) { return QString::fromUtf8(s); };
    const QString stray = "1 character of the file (on line 4) is not Unicode: it is read as Western (Windows-1252).";
    const struct {
        const char* file;
        const char* proposed;
        const char* wrong;   // chosen first, "" for none
        QString preview;     // its first party as the preview shows it
        QString note;        // and what it has no letter for
        const char* chosen;
        QStringList people;  // the first and the last stored, "party|first|last|city"
    } cases[] = {
        {"windows-1250.csv", "Central European (Windows-1250)", "Western (Windows-1252)", u("Rodzina Œwi¹tek"), "",
         "Central European (Windows-1250)",
         {u("Rodzina Świątek|Łukasz|Świątek|Łódź"), u("Szűcs család|Ödön|Szűcs|Győr")}},
        {"windows-1251.csv", "Cyrillic (Windows-1251)", "", u("Семья Ивановых"), "", "Cyrillic (Windows-1251)",
         {u("Семья Ивановых|Иван|Иванов|Москва"), u("Шевченко|Тарас|Шевченко|Київ")}},
        {"gb18030.csv", "Chinese (GB18030)", "Japanese (Shift-JIS)", u("ﾕﾅｼﾒ"),
         u("6 characters of the file (the first on line 3) are not in this character set: they show as \"\uFFFD\"."),
         "Chinese (GB18030)", {u("张家|伟|张|北京"), u("陈家|静|陈|成都")}},
        {"shift-jis.csv", "Japanese (Shift-JIS)", "Chinese Traditional (Big5)", u("\uFFFD\uFFFD\uFFFD"),
         u("52 characters of the file (the first on line 2) are not in this character set: they show as \"\uFFFD\"."),
         "Japanese (Shift-JIS)", {u("山田家|太郎|山田|東京都"), u("カトウ家|ゆい|加藤|札幌市")}},
        {"iso-8859-15.csv", "Latin-9 (ISO-8859-15)", "", u("Šimon"), "", "Latin-9 (ISO-8859-15)",
         {u("Šimon|Šimon|Žák|Tallinn"), u("Lefèvre|Zoë|Lefèvre|Rouen")}},
        {"utf8-cr-stray-byte.csv", "Unicode", "", u("Müller"), stray, "Unicode",
         {u("Müller|José|Müller|Zürich"), u("Núñez|Íñigo|Núñez|Logroño")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        messages.msgs->shown.clear();
        frmImportData& w = open();
        choose(testsupport::sourcePath(QString("tests/data/guests/") + c.file));
        // Told before anything is linked, only where the set proposed lacks a letter.
        EXPECT_EQ(shownMessages(), c.note == stray ? QStringList{QString("The file %1 is read as Unicode.  %2  Choose "
                                                                         "the character set the file was saved in, or "
                                                                         "check the records before importing them.")
                                                                     .arg(c.file, stray)}
                                                   : QStringList{});
        EXPECT_EQ(w.cmbCharset->currentText(), c.proposed);
        if (*c.wrong) {
            pickCharset(c.wrong);
            EXPECT_EQ(w.grdPreview->item(0, 0)->text(), c.preview);
            EXPECT_EQ(w.lblCharsetNote->text(), c.note);
            pickCharset(c.chosen);
        }
        EXPECT_EQ(w.lblCharsetNote->text(), *c.wrong ? QString() : c.note);
        EXPECT_EQ(entries(w.lstSource).first(), "Party Name");
        const QStringList people =
            importLinked({"Party Name", "First Name", "Last Name", "City"},
                         "GUEST_PARTYNAME, SUBGUEST_FNAME, SUBGUEST_LNAME, GUEST_CITY");
        EXPECT_EQ((QStringList{people.value(0), people.value(people.size() - 1)}), c.people);
    }
}

TEST_F(ImportWindow, LinksAndBreaks)
{
    frmImportData& w = open();
    choose(writeFile("g.csv", kWithHeader));
    answer({ui::vbNo});
    click(w.Command2);  // Jones, Ann, <Blank>

    click(w.cmdLink);
    EXPECT_EQ(shownMessages().last(), "Please select a field in the Source Contents list to link.");
    ASSERT_TRUE(clickEntry(w.lstSource, "Jones"));
    click(w.cmdLink);
    EXPECT_EQ(shownMessages().last(), "Please select a field in the Guest Fields list to link.");

    ASSERT_TRUE(clickEntry(w.lstTarget, "Last Name"));
    click(w.cmdLink);
    link("<Blank>", "Phone 1");
    EXPECT_EQ(entries(w.lstLink), (QStringList{"Jones=Last Name", "<Blank>=Phone 1"}));
    EXPECT_EQ(entries(w.lstSource), QStringList{"Ann"});
    EXPECT_FALSE(entries(w.lstTarget).contains("Last Name"));
    EXPECT_EQ(w.links()[3], 1);
    EXPECT_EQ(w.links()[10], 3);
    // Nothing stays selected after a link.
    EXPECT_TRUE(w.lstSource->selectedItems().isEmpty());

    const int before = int(shownMessages().size());
    click(w.cmdBreak);
    EXPECT_EQ(shownMessages().last(), "Please select a Created Link that you wish to break.");
    ASSERT_TRUE(clickEntry(w.lstLink, "Jones=Last Name"));
    answer({ui::vbNo});
    click(w.cmdBreak);
    EXPECT_EQ(shownMessages().last(), "Press Yes to break the selected link.");
    EXPECT_EQ(entries(w.lstLink).size(), 2);
    ASSERT_TRUE(clickEntry(w.lstLink, "Jones=Last Name"));
    answer({ui::vbYes});
    click(w.cmdBreak);
    EXPECT_EQ(shownMessages().size(), before + 3);
    EXPECT_EQ(entries(w.lstLink), QStringList{"<Blank>=Phone 1"});
    EXPECT_EQ(entries(w.lstSource), (QStringList{"Ann", "Jones"}));
    EXPECT_EQ(entries(w.lstTarget).last(), "Last Name");
    EXPECT_EQ(w.links()[3], 0);

    // A broken link's entries link again; browsing drops every link.
    link("Jones", "Last Name");
    EXPECT_EQ(w.links()[3], 1);
    answer({ui::vbNo});
    click(w.Command2);
    EXPECT_TRUE(entries(w.lstLink).isEmpty());
    EXPECT_EQ(entries(w.lstTarget).size(), 12);
    EXPECT_EQ(w.links(), guestimport::LinkMap{});
    EXPECT_EQ(entries(w.lstSource), (QStringList{"Ito", "Ken", "555-0102"}));
}

TEST_F(ImportWindow, ImportsEveryRecordAsAPartyAndMerges)
{
    // Already there: a party that the import joins, and one of another case.
    const qint64 smith = addParty("Smith Family");
    addPerson(smith, "Jane", "Smith");
    addParty("SMITH FAMILY");
    frmImportData& w = open();
    choose(writeFile("guests.csv",
                     "\"Party Name\",\"First Name\",\"Last Name\",\"Zip\",\"E-Mail\"\r\n"
                     "\"Smith Family\",\"John\",\"Smith\",\"01234\",\"john@example.com\"\r\n"
                     "\"\",\"Pat\",\"O'Brien\",\"\",\"\"\r\n"
                     "\"Smith Family\",\"Tom\",\"Smith\",\"01234\",\"\"\r\n"
                     "\"\",\"\",\"\",\"\",\"\"\r\n"));  // a line without a value is no record
    link("Party Name", "Party Name");
    link("First Name", "First Name");
    link("Last Name", "Last Name");
    link("Zip", "ZIP/Postal");
    link("E-Mail", "E-Mail");
    import();
    EXPECT_EQ(shownMessages(), (QStringList{kImportQ, "Successfully added 3 records."}));
    EXPECT_FALSE(w.isLoaded());

    EXPECT_EQ(parties(), (QStringList{"Smith Family", "SMITH FAMILY", "Pat O'Brien"}));
    EXPECT_EQ(people(), (QStringList{"Smith Family|Jane|Smith|||", "Smith Family|John|Smith|||john@example.com",
                                     "Pat O'Brien|Pat|O'Brien|||", "Smith Family|Tom|Smith|||"}));
    EXPECT_EQ(db().scalar("SELECT GUEST_ZIP FROM GUEST WHERE GUEST_ID = ?", {smith}).toString(), QString());
    EXPECT_EQ(count("SELECT count(*) FROM GUEST WHERE GUEST_ZIP = '01234'"), 0);  // the merged-away rows had them
    // Each person logged as added, and the one party that is new: the others
    // joined the party of their name, as its merge would fold them in.
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'GUEST' AND SYNCHRO_ACTION = 1"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'SUBGUEST' AND SYNCHRO_ACTION = 1"), 3);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'GUEST' AND SYNCHRO_ACTION = 3"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO s WHERE SYNCHRO_ACTION = 3 AND EXISTS "
                    "(SELECT 1 FROM GUEST g WHERE g.GUEST_ID = s.SYNCHRO_RECORDID)"),
              0);
}

TEST_F(ImportWindow, WithoutHeaderOrLinks)
{
    // No header: the first line comes last; a name made of one name has no
    // blank; no links: every record is a party without a name, and parties
    // without a name are never merged.
    frmImportData& w = open();
    click(w.Option1[1]);
    choose(writeFile("plain.csv", "Ito,Ken\r\nLee,Mia\r\nDiaz,Luis\r\n,Ann\r\nKato,\r\n"));
    link("Mia", "First Name");
    link("Lee", "Last Name");
    import();
    EXPECT_EQ(shownMessages().last(), "Successfully added 5 records.");
    EXPECT_EQ(parties(), (QStringList{"Mia Lee", "Luis Diaz", "Ann", "Kato", "Ken Ito"}));

    open();
    choose(writeFile("h.csv", "\"Party Name\"\r\nA\r\nB\r\n"));
    import();
    EXPECT_EQ(shownMessages().last(), "Successfully added 2 records.");
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST s JOIN GUEST g ON g.GUEST_ID = s.GUEST_ID "
                    "WHERE g.GUEST_PARTYNAME = '' AND s.SUBGUEST_FNAME = '' AND s.SUBGUEST_EMAIL = ''"),
              2);
    EXPECT_EQ(count("SELECT count(*) FROM GUEST WHERE GUEST_PARTYNAME = ''"), 2);
}

TEST_F(ImportWindow, NoToTheQuestionChangesNothing)
{
    addParty("Ito");
    addParty("Ito");
    frmImportData& w = open();
    choose(writeFile("g.csv", kWithHeader));
    answer({ui::vbNo});
    click(w.cmdImport);
    EXPECT_TRUE(w.isLoaded());
    EXPECT_EQ(parties(), (QStringList{"Ito", "Ito"}));
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);
}

TEST_F(ImportWindow, AFailureLeavesTheDatabaseUnchanged)
{
    const qint64 ito = addParty("Ito");
    addPerson(ito, "Ken", "Ito");
    addParty("Ito");
    const QString file = writeFile("g.csv", "\"Party Name\",\"Last Name\"\r\nLee,Lee\r\nDiaz,Fail\r\nKim,Kim\r\n");
    // A person the database refuses, and then a merge it refuses.
    const char* const traps[] = {
        "CREATE TEMP TRIGGER trap BEFORE INSERT ON SUBGUEST WHEN NEW.SUBGUEST_LNAME = 'Fail' "
        "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END",
        "CREATE TEMP TRIGGER trap BEFORE DELETE ON GUEST BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END",
    };
    for (const char* trap : traps) {
        SCOPED_TRACE(trap);
        db().Execute(trap);
        messages.msgs->shown.clear();
        frmImportData& w = open();
        choose(file);
        link("Party Name", "Party Name");
        link("Last Name", "Last Name");
        import();
        ASSERT_EQ(shownMessages().size(), 2);
        EXPECT_TRUE(shownMessages()[1].startsWith("The records could not be imported; nothing was added."));
        EXPECT_TRUE(shownMessages()[1].contains("disk I/O error")) << shownMessages()[1].toStdString();
        EXPECT_TRUE(w.isLoaded());
        EXPECT_EQ(parties(), (QStringList{"Ito", "Ito"}));
        EXPECT_EQ(testsupport::counts("SUBGUEST SYNCHRO"), "1 0");
        // The links stay for another try.
        EXPECT_EQ(entries(w.lstLink).size(), 2);
        db().Execute("DROP TRIGGER trap");
    }
}

TEST_F(ImportWindow, CancelLeavesTheDatabaseByteForByte)
{
    // Three lines a party, some of them parties already there: the merge
    // has work to do when it is cancelled too.
    const qint64 old = addParty(QString::fromUtf8("Familie Müller 7"));
    addPerson(old, "Jan", QString::fromUtf8("Müller"));
    addParty(QString::fromUtf8("Familie Müller 7"));
    constexpr int kLines = 3000;
    QByteArray text = "Party Name,First Name,Last Name\r\n";
    for (int i = 1; i <= kLines; ++i)
        text += csv::formatLine({QString::fromUtf8("Familie Müller %1").arg(i % 1000), QString("Gast %1").arg(i),
                                 QString::fromUtf8("Müller")});
    const QString file = writeFile("guests.csv", text);
    const struct {
        const char* name;
        int cancelAt;  // the step of the progress at which Cancel is pressed
    } cases[] = {{"while adding", kLines / 2}, {"while merging", kLines + 1}, {"at the end", kLines + 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray before = readFile(db().path());
        messages.msgs->shown.clear();
        frmImportData& w = open();
        choose(file);
        for (const char* field : {"Party Name", "First Name", "Last Name"})
            link(field, field);
        dialogs.dialogs->cancelAtSteps << c.cancelAt;
        import();
        EXPECT_EQ(shownMessages(), (QStringList{kImportQ, "The import was cancelled; nothing was added."}));
        EXPECT_TRUE(w.isLoaded());
        EXPECT_TRUE(readFile(db().path()) == before);
        const ui::ProgressRequest& r = dialogs.dialogs->progressRequests.last();
        EXPECT_EQ(r.title, "Import Records");
        EXPECT_EQ(r.maximum, kLines);
    }
    // Not cancelled, the bar goes to its end.
    import();
    EXPECT_EQ(shownMessages().last(), QString("Successfully added %1 records.").arg(kLines));
    EXPECT_EQ(dialogs.dialogs->progressValues.last(), kLines);
    EXPECT_EQ(testsupport::counts("GUEST SUBGUEST"), "1000 3001");
}

TEST(GuestFile, FindsATitleAboveTheHeader)
{
    const struct {
        const char* text;
        int titleLines;
    } cases[] = {
        {"Wedding guest list 2027,,\r\nParty Name,First Name,x\r\nLee,Mia,1\r\n", 1},
        {"Guest list\r\nPrinted 3/1/2027\r\n,,\r\nName,Home Phone\r\nLee,555\r\n", 2},
        {"Party Name,First Name\r\nLee,Mia\r\n", 0},
        // A title above a header that does not look like one stays a line.
        {"Guest list,,\r\nName,Street\r\nLee,Elm St\r\n", 0},
        // Records of one value: no title, whatever follows.
        {"Lee,,\r\nKim,Yu,cell\r\n", 0},
        {"Lee\r\nKim\r\nIto\r\nOno\r\nAbe\r\nSato\r\nFirst Name,Last Name\r\n", 0},
        {"Guest list 2027", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(guestimport::titleLines(csv::Table::fromBytes(c.text)), c.titleLines);
    }
}

// A cancelled import gives back the keys it took; one larger than the keys
// left is refused before it starts.
TEST_F(ImportWindow, ACancelledImportGivesBackItsKeysAndOneTooLargeIsRefusedAtOnce)
{
    // Three keys left of this copy's range for parties and people.
    const qint64 last = ado::Connection::lastKeyOf(db().copyNumber());
    for (const char* table : {"GUEST", "SUBGUEST"})
        db().Execute("INSERT INTO KEY_COUNTER (KEY_COUNTER_TABLE, KEY_COUNTER_LAST) VALUES (?, ?)", {table, last - 3});
    const QString three = writeFile("three.csv", "Party Name\r\nLee\r\nDiaz\r\nKim\r\n");
    const struct {
        QString file;
        int cancelAt;  // 0: not cancelled
        QString says;
    } cases[] = {
        // Six lines in three parties: room for the parties, not for the people.
        {writeFile("pairs.csv", "Party Name\r\nLee\r\nDiaz\r\nLee\r\nDiaz\r\nKim\r\nKim\r\n"), 0,
         "6 guests were to be added, but there is room for only 3 more: a copy of a wedding holds at most 999,999 "
         "guests, counting those deleted. Nothing was added."},
        {writeFile("four.csv", "Party Name\r\nLee\r\nDiaz\r\nKim\r\nIto\r\n"), 0,
         "4 guest parties were to be added, but there is room for only 3 more: a copy of a wedding holds at most "
         "999,999 guest parties, counting those deleted. Nothing was added."},
        {three, 3, "The import was cancelled; nothing was added."},
        {three, 0, "Successfully added 3 records."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says.toStdString());
        messages.msgs->shown.clear();
        open();
        choose(c.file);
        link("Party Name", "Party Name");
        const qsizetype bars = dialogs.dialogs->progressRequests.size();
        if (c.cancelAt)
            dialogs.dialogs->cancelAtSteps << c.cancelAt;
        import();
        EXPECT_EQ(shownMessages(), (QStringList{kImportQ, c.says}));
        EXPECT_EQ(dialogs.dialogs->progressRequests.size() > bars, c.file == three) << "not started when too large";
    }
    // The three keys taken and given back by the cancel are the ones stored.
    EXPECT_EQ(rows("SELECT GUEST_ID - ?, GUEST_PARTYNAME FROM GUEST ORDER BY GUEST_ID", {last}),
              (QStringList{"-2|Lee", "-1|Diaz", "0|Kim"}));
}

TEST(GuestMerge, FoldsExactNamesIntoTheOldestParty)
{
    // Parties by key, then the party each ends in, by key (0: removed).
    const struct {
        const char* name;
        QStringList parties;
        QList<int> survivors;  // for each party, the index of the party its people end in; -1 removed
    } cases[] = {
        {"equal names", {"Smith", "Smith", "Smith"}, {0, 0, 0}},
        {"case variants between", {"Smith Family", "SMITH FAMILY", "Smith Family", "smith family"}, {0, 1, 0, 3}},
        {"blanks count", {"Lee", "Lee ", " Lee", "Lee"}, {0, 1, 2, 0}},
        {"empty names stay", {"", "", "Kim", "Kim"}, {0, 1, 2, 2}},
        {"one blank is a name", {" ", " "}, {0, 0}},
        {"distinct", {"Ann", "Bob"}, {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ProgramFolder folder;
        modQVDatabase::LocateDataFile();
        modQVDatabase::OpenConnection();
        ado::Connection& db = modQVDatabase::gConn;
        QList<qint64> parties, people;
        for (const QString& p : c.parties) {
            db.Execute("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES (?)", {p});
            parties << db.scalar("SELECT last_insert_rowid()").toLongLong();
            db.Execute("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME) VALUES (?, ?)", {parties.last(), p});
            people << db.scalar("SELECT last_insert_rowid()").toLongLong();
        }
        {
            ado::Transaction t(db);
            guestimport::mergeDuplicateParties();
            t.commit();
        }
        int removed = 0;
        for (int i = 0; i < parties.size(); ++i) {
            const qint64 owner = db.scalar("SELECT GUEST_ID FROM SUBGUEST WHERE SUBGUEST_ID = ?", {people[i]}).toLongLong();
            EXPECT_EQ(owner, parties[c.survivors[i]]) << i;
            const bool kept = db.scalar("SELECT count(*) FROM GUEST WHERE GUEST_ID = ?", {parties[i]}).toInt() == 1;
            EXPECT_EQ(kept, c.survivors[i] == i) << i;
            removed += kept ? 0 : 1;
            // Every moved person logged as changed.
            EXPECT_EQ(db.scalar("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'SUBGUEST' AND SYNCHRO_RECORDID = ? "
                                "AND SYNCHRO_ACTION = 2",
                                {people[i]})
                          .toInt(),
                      c.survivors[i] == i ? 0 : 1);
        }
        EXPECT_EQ(db.scalar("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'GUEST' AND SYNCHRO_ACTION = 3").toInt(),
                  removed);
        db.Close();
    }
}

// Opened from the guests view, the import leaves the view showing the new people.
class ImportFromTheMainWindow : public testsupport::MainWindowTest<testsupport::CsvWindowTest> {};

TEST_F(ImportFromTheMainWindow, RefreshesTheGuestsView)
{
    frmMain& main = m();
    main.Show(ui::vbModeless);
    main.ExplorerBarCtlQV1->clickItem("GUESTMODE");
    ASSERT_EQ(main.curDataMode, views::DataMode::Guests);
    const int before = main.PeopleRS->RecordCount();
    const QString file = writeFile("g.csv", "\"Party Name\",\"First Name\"\r\nLee,Mia\r\nKim,Yu\r\n");
    modal.modal->on("frmImportData", [&](ui::FormBase&) {
        frmImportData& w = frmImportData::instance();
        dialogs.dialogs->files << file;
        click(w.Command1);
        for (const char* field : {"Party Name", "First Name"}) {
            clickEntry(w.lstSource, field);
            clickEntry(w.lstTarget, field);
            click(w.cmdLink);
        }
        answer({ui::vbYes});
        click(w.cmdImport);
    });
    main.ExplorerBarCtlQV1->clickItem("IMPORTGUESTS");
    EXPECT_EQ(shownMessages().last(), "Successfully added 2 records.");
    EXPECT_EQ(main.PeopleRS->RecordCount(), before + 2);
    EXPECT_EQ(main.GridEX1->recordset(), main.PeopleRS);
}

}  // namespace
