// The CSV reader and writer on their own: fields, quotes, line ends, lines
// without a value, a quote never closed, the character sets, short records,
// the separator, the size limit, a reading stopped and the safe replacement
// of a written file.

#include "platform/csv/csv.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

QList<csv::Record> lines(const csv::Table& t)
{
    QList<csv::Record> out;
    for (int i = 0; i < t.lineCount(); ++i)
        out << t.line(i);
    return out;
}

QString render(const csv::Table& t)
{
    QStringList out;
    for (const csv::Record& r : lines(t))
        out << "[" + r.join("|") + "]";
    return out.join(' ');
}

TEST(CsvReader, ParsesFieldsQuotesAndLineEnds)
{
    const struct {
        const char* text;
        const char* records;
    } cases[] = {
        {"a,b,c\r\n1,2,3\r\n", "[a|b|c] [1|2|3]"},
        {"a,b\n1,2", "[a|b] [1|2]"},
        {"a,b\r1,2\r", "[a|b] [1|2]"},
        {"a\r\n\r\nb\n\n", "[a] [b]"},
        {"", ""},
        {"\r\n", ""},
        {",,", ""},
        {"a\r\n  \r\n , ,\t\r\n\"\",\" \"\r\nb", "[a] [b]"},
        {" ,x", "[ |x]"},
        {"\"\",x,\"\"", "[|x|]"},
        {"\"Smith, John\",\"say \"\"hi\"\"\"", "[Smith, John|say \"hi\"]"},
        {"\"two\r\nlines\",next\r\nrow", "[two\r\nlines|next] [row|]"},
        {"\"cr\ronly\"", "[cr\ronly]"},
        {"01234, 007 ,O'Brien", "[01234| 007 |O'Brien]"},
        {"ab\"c,d", "[ab\"c|d]"},
        {"\"ab\"c,d", "[abc|d]"},
        {"\"\"\"\"", "[\"]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(render(csv::Table::fromBytes(c.text)), QString::fromUtf8(c.records));
    }
}

TEST(CsvReader, SaysWhereAQuoteNeverCloses)
{
    const struct {
        const char* text;
        int line;  // 0: every quote closes
    } cases[] = {
        {"\"a\",\"b\"\r\n\"c\"", 0},
        {"a,b\r\nx,\"never\r\nclosed,y\r\nz", 2},
        {"\"two\r\nlines\",x\r\n\"y", 3},
        {"a\rb\n\"c\"\"", 3},
        {"\"\"\"", 1},
        {"a\r\n\"Kim,Yu\r\nIto\r\nOno,\"Aki\",x", 2},
        {"sep=,\r\na,b\r\n\"c,d", 3},
        {"\"two\r\nlines\" ,x\r\n\"Bob\" Smith,\"x\"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const csv::Table t = csv::Table::fromBytes(c.text);
        EXPECT_EQ(t.status(), c.line ? csv::Table::Status::OpenQuote : csv::Table::Status::Ok);
        EXPECT_EQ(t.openQuoteLine(), c.line);
        if (c.line) {
            EXPECT_EQ(t.recordCount() + t.columnCount(), 0);
        }
    }
}

QByteArray utf16(const QString& text, QStringConverter::Encoding e, bool bom = true)
{
    QStringEncoder enc(e, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return enc.encode(text);
}

TEST(CsvReader, DecodesEachCharacterSet)
{
    const QString names = QString::fromUtf8("José García,山田 太郎\r\n");
    // Mostly CJK: NULs only at the high bytes of the separators and line
    // ends, and of U+4E00 now and then on the other side.
    const QString cjk = QString::fromUtf8("姓,名\r\n山田,一郎\r\n田中,一\r\n");
    const struct {
        QByteArray bytes;
        QString text;
        const char* charset;   // as the decoder names it
        int badCharacters;          // told with the line of the first
        int badLine;
        bool unreadable;
    } cases[] = {
        {"plain", "plain", "UTF-8", 0, 0, false},
        {"\xEF\xBB\xBFName", "Name", "UTF-8", 0, 0, false},
        {"Zo\xC3\xAB M\xC3\xBCller", QString::fromUtf8("Zoë Müller"), "UTF-8", 0, 0, false},
        {"Ren\xE9", QString::fromUtf8("René"), "windows-1252", 0, 0, false},
        {"\x80 5, \x93quoted\x94, caf\xE9", QString::fromUtf8("€ 5, “quoted”, café"), "windows-1252", 0, 0, false},
        // Valid UTF-8 decides: a stray byte is read as Windows-1252, and told.
        {"\xC3\xA9 and \xE9", QString::fromUtf8("é and é"), "UTF-8", 1, 1, false},
        {names.toUtf8() + "Ren\xE9" "e\r\n" + names.toUtf8(), names + QString::fromUtf8("Renée\r\n") + names, "UTF-8",
         1, 2, false},
        // Cut, overlong and surrogate sequences are no UTF-8.
        {"ab\xE5\xB1", QString::fromUtf8("abå±"), "windows-1252", 0, 0, false},
        {"\xC0\x80x", QString::fromUtf8("À€x"), "windows-1252", 0, 0, false},
        {utf16(names, QStringConverter::Utf16LE), names, "UTF-8", 0, 0, false},
        {utf16(names, QStringConverter::Utf16BE), names, "UTF-8", 0, 0, false},
        {utf16(names, QStringConverter::Utf16LE, false), names, "UTF-8", 0, 0, false},
        {utf16(names, QStringConverter::Utf16BE, false), names, "UTF-8", 0, 0, false},
        {utf16(cjk, QStringConverter::Utf16LE, false), cjk, "UTF-8", 0, 0, false},
        {utf16(cjk, QStringConverter::Utf16BE, false), cjk, "UTF-8", 0, 0, false},
        {QByteArray("An\0n,\0", 6), "Ann,", "UTF-8", 0, 0, false},
        // Lines ending in CR alone with letters at 0x80-0x9F: Mac Roman.
        {"Andr\x8E,Fran\x8Dois\rM\x9Aller,\xA7\r", QString::fromUtf8("André,François\rMöller,ß\r"), "macintosh", 0, 0,
         false},
        // With CRLF, or without those letters, it is Windows-1252.
        {"Andr\x8E\r\n", QString::fromUtf8("AndrŽ\r\n"), "windows-1252", 0, 0, false},
        {"Ren\xE9\r", QString::fromUtf8("René\r"), "windows-1252", 0, 0, false},
        // Letters Latin-1 has as signs that never stand in a word.
        {"\xA6imon,\xB4\xE1k\r\n", QString::fromUtf8("Šimon,Žák\r\n"), "ISO-8859-15", 0, 0, false},
        // A valid UTF-8 file of CR line ends and one stray byte stays UTF-8.
        {"Jos\xC3\xA9 M\xC3\xBCller\rRen\xE9\r", QString::fromUtf8("José Müller\rRené\r"), "UTF-8", 1, 2, false},
        // Not text: control codes, bytes the set has no letter for, a UTF-16
        // surrogate left alone.
        {"Ann\x02,Bob\x1B[0m", "Ann\x02,Bob\x1B[0m", "UTF-8", 0, 0, true},
        {"Ann\r\nBob\x81", QString::fromUtf8("Ann\r\nBob\uFFFD"), "windows-1252", 1, 2, false},
        {QByteArray("\xFF\xFE" "A\0\x00\xD8,\0", 8), QString::fromUtf8("A\uFFFD,"), "UTF-8", 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(csv::decode(c.bytes), c.text);
        const csv::Table t = csv::Table::fromBytes(c.bytes);
        EXPECT_STREQ(csv::charsets()[t.charset()].codec, c.charset);
        EXPECT_EQ(t.badCharacters(), c.badCharacters);
        EXPECT_EQ(t.firstBadLine(), c.badLine);
        EXPECT_EQ(t.hasUnreadableCharacters(), c.unreadable);
    }
}

TEST(CsvReader, ChoosesTheSeparator)
{
    const struct {
        const char* text;
        char separator;
        const char* lines;
    } cases[] = {
        {"Name;City\r\nAnn;Rome\r\nBob;Oslo\r\n", ';', "[Name|City] [Ann|Rome] [Bob|Oslo]"},
        {"Name\tCity\r\nAnn\tRome\r\n", '\t', "[Name|City] [Ann|Rome]"},
        // Decimal commas: semicolons split every line alike, commas do not.
        {"Name;Betrag;Telefon\r\nMüller;1,50;030 1\r\nSchulz;12;030 2\r\n", ';',
         "[Name|Betrag|Telefon] [Müller|1,50|030 1] [Schulz|12|030 2]"},
        {"Müller;1,50;030 1\r\nSchulz;2,00;030 2\r\n", ';', "[Müller|1,50|030 1] [Schulz|2,00|030 2]"},
        {"Name;Street\r\nAnn;1 Main St, Apt 4\r\nBob;Elm St\r\nCy;Oak St\r\n", ';',
         "[Name|Street] [Ann|1 Main St, Apt 4] [Bob|Elm St] [Cy|Oak St]"},
        // Semicolons in values of a comma file, quoted or not.
        {"Name,Note\r\nAnn,a;b\r\nBob,c;d\r\n", ',', "[Name|Note] [Ann|a;b] [Bob|c;d]"},
        {"Smith; John,555,Main\r\nLee; Ann,556,Elm\r\n", ',', "[Smith; John|555|Main] [Lee; Ann|556|Elm]"},
        {"\"a;b\",\"c;d\"\r\n\"e\",\"f\"\r\n", ',', "[a;b|c;d] [e|f]"},
        {"Name\r\nAnn\r\nBob; Jr\r\n", ',', "[Name] [Ann] [Bob; Jr]"},
        // A first line naming the separator, as spreadsheets write it, is no record.
        {"sep=;\r\nName;Note\r\nAnn;a,b\r\n", ';', "[Name|Note] [Ann|a,b]"},
        {"SEP=,\nName,Note\nAnn,a;b;c\n", ',', "[Name|Note] [Ann|a;b;c]"},
        {"sep=|\r\nName|City\r\nAnn|Rome\r\n", '|', "[Name|City] [Ann|Rome]"},
        {"sep=\t\r\nName\tCity\r\n", '\t', "[Name|City]"},
        {"sep=;x\r\nName;City\r\n", ';', "[sep=|x] [Name|City]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const csv::Table t = csv::Table::fromBytes(c.text);
        EXPECT_EQ(t.separator(), QChar(c.separator));
        EXPECT_EQ(render(t), QString::fromUtf8(c.lines));
    }
}

TEST(CsvReader, TableNamesColumnsAndPadsShortRecords)
{
    csv::Table t = csv::Table::fromBytes("Name,Phone,City\r\nAnn,555\r\nBob,,Rome,extra\r\n");
    EXPECT_EQ(t.status(), csv::Table::Status::Ok);
    EXPECT_EQ(t.columnCount(), 4);
    EXPECT_EQ(t.names(), (QStringList{"Name", "Phone", "City", ""}));
    ASSERT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.record(0), (QStringList{"Ann", "555", "", ""}));
    EXPECT_EQ(t.record(1), (QStringList{"Bob", "", "Rome", "extra"}));
    EXPECT_EQ(t.record(2), QStringList());
    // Leading lines left out: the next names the columns, and the widest
    // of the rest sets the width.
    t.dropLeadingLines(2);
    EXPECT_EQ(t.names(), (QStringList{"Bob", "", "Rome", "extra"}));
    EXPECT_EQ(t.recordCount(), 0);
    t = csv::Table::fromBytes("Guest list 2027,,,,,,\r\nName,City\r\nAnn,Rome\r\n");
    t.dropLeadingLines(1);
    EXPECT_EQ(t.columnCount(), 2);
    EXPECT_EQ(t.record(0), (QStringList{"Ann", "Rome"}));

    EXPECT_EQ(csv::Table::fromBytes("only a header\r\n").recordCount(), 0);
    EXPECT_EQ(csv::Table::fromBytes("").columnCount(), 0);
}

TEST(CsvReader, RefusesMissingOversizedAndStoppedFiles)
{
    QTemporaryDir dir;
    EXPECT_EQ(csv::Table::read(dir.filePath("none.csv")).status(), csv::Table::Status::Unreadable);
    EXPECT_EQ(csv::Table::read(QString()).status(), csv::Table::Status::Unreadable);
    EXPECT_EQ(csv::Table::read(dir.path()).status(), csv::Table::Status::Unreadable);

    QFile big(dir.filePath("big.csv"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(csv::kMaxFileBytes + 1));  // sparse: nothing is written
    big.close();
    EXPECT_EQ(csv::Table::read(big.fileName()).status(), csv::Table::Status::TooLarge);

    // Stopped by the user while reading: nothing of the file is kept.
    QFile small(dir.filePath("small.csv"));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write("Name\r\nAnn\r\n");
    small.close();
    QList<int> steps;
    const csv::Table t = csv::Table::read(small.fileName(), [&](int permille) {
        steps << permille;
        return steps.size() < 2;
    });
    EXPECT_EQ(t.status(), csv::Table::Status::Cancelled);
    EXPECT_EQ(t.lineCount(), 0);
    EXPECT_EQ(steps, (QList<int>{400, 500}));
}

TEST(CsvWriter, QuotesEveryValueAndRoundTrips)
{
    EXPECT_EQ(csv::formatLine({"a", "", "say \"hi\"", "x,y", "two\r\nlines"}),
              QByteArray("\"a\",\"\",\"say \"\"hi\"\"\",\"x,y\",\"two\r\nlines\"\r\n"));
    EXPECT_EQ(csv::formatLine({QString::fromUtf8("Zoë")}), QByteArray("\"Zo\xC3\xAB\"\r\n"));

    const QList<QStringList> rows = {{"Name", "Zip"}, {"O'Brien, \"Pat\"", "01234"}, {"line\nbreak", ""}};
    QByteArray bytes;
    for (const QStringList& r : rows)
        bytes += csv::formatLine(r);
    EXPECT_EQ(lines(csv::Table::fromBytes(bytes)), rows);
}

TEST(CsvWriter, ReplacesAnEarlierFileOnlyWhenFinished)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("guests.csv");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier\r\n");
    old.close();
    auto content = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    {
        csv::Writer w(path);
        ASSERT_TRUE(w.open());
        w.writeLine({"new"});
        EXPECT_EQ(content(), "earlier\r\n");
        // Dropped without commit, as when a write fails halfway.
    }
    EXPECT_EQ(content(), "earlier\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"guests.csv"});

    csv::Writer w(path);
    ASSERT_TRUE(w.open());
    w.writeLine({"new"});
    EXPECT_TRUE(w.commit());
    EXPECT_EQ(content(), "\"new\"\r\n");

    csv::Writer nowhere(dir.filePath("no such folder/guests.csv"));
    EXPECT_FALSE(nowhere.open() && nowhere.commit());
    EXPECT_FALSE(nowhere.errorString().isEmpty());
}

}  // namespace
