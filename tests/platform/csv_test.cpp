// The CSV reader and writer on their own: fields, quotes, line ends, lines
// without a value, a quote never closed, the character sets, short records,
// files of another separator, the size limit and the safe replacement of a
// written file.

#include "platform/csv/csv.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

QString render(const QList<csv::Record>& records)
{
    QStringList lines;
    for (const csv::Record& r : records)
        lines << "[" + r.join("|") + "]";
    return lines.join(' ');
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
        {"\"two\r\nlines\",next\r\nrow", "[two\r\nlines|next] [row]"},
        {"\"cr\ronly\"", "[cr\ronly]"},
        {"01234, 007 ,O'Brien", "[01234| 007 |O'Brien]"},
        {"ab\"c,d", "[ab\"c|d]"},
        {"\"ab\"c,d", "[abc|d]"},
        {"x,\"open to the end\r\nof, the file", "[x|open to the end\r\nof, the file]"},
        {"\"\"\"\"", "[\"]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(render(csv::parse(QString::fromUtf8(c.text))), QString::fromUtf8(c.records));
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
        {"\"two\r\nlines\" ,x\r\n\"Bob\" Smith,\"x\"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int line = 0;
        csv::parse(QString::fromUtf8(c.text), &line);
        EXPECT_EQ(line, c.line);
        const csv::Table t = csv::Table::fromText(QString::fromUtf8(c.text));
        EXPECT_EQ(t.status(), c.line ? csv::Table::Status::OpenQuote : csv::Table::Status::Ok);
        EXPECT_EQ(t.openQuoteLine(), c.line);
        if (c.line)
            EXPECT_EQ(t.recordCount() + t.columnCount(), 0);
    }
}

QByteArray utf16(const QString& text, QStringConverter::Encoding e)
{
    QStringEncoder enc(e, QStringConverter::Flag::WriteBom);
    return enc.encode(text);
}

TEST(CsvReader, DecodesEachCharacterSet)
{
    const QString names = QString::fromUtf8("José García,山田 太郎\r\n");
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"plain", "plain"},
        {"\xEF\xBB\xBFName", "Name"},
        {"Zo\xC3\xAB M\xC3\xBCller", QString::fromUtf8("Zoë Müller")},
        {"Ren\xE9", QString::fromUtf8("René")},
        {"\x80 5, \x93quoted\x94, caf\xE9", QString::fromUtf8("€ 5, “quoted”, café")},
        // A stray byte is read as Windows-1252; the UTF-8 around it stays.
        {"\xC3\xA9 and \xE9", QString::fromUtf8("é and é")},
        {names.toUtf8() + "Ren\xE9" "e\r\n" + names.toUtf8(), names + QString::fromUtf8("Renée\r\n") + names},
        // Cut, overlong and surrogate sequences are no UTF-8.
        {"ab\xE5\xB1", QString::fromUtf8("abå±")},
        {"\xC0\x80x", QString::fromUtf8("À€x")},
        {"\xED\xA0\x80", QString::fromUtf8("í\u00A0€")},
        {utf16(names, QStringConverter::Utf16LE), names},
        {utf16(names, QStringConverter::Utf16BE), names},
        {QByteArray("An\0n,\0", 6), "Ann,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(csv::decode(c.bytes), c.text);
    }
}

TEST(CsvReader, NoticesFilesOfAnotherSeparator)
{
    const struct {
        const char* text;
        char separator;  // 0: none
    } cases[] = {
        {"Name;City\r\nAnn;Rome\r\nBob;Oslo\r\n", ';'},
        {"Name\tCity\r\nAnn\tRome\r\n", '\t'},
        // Commas in some values split those lines; most still read as one column.
        {"Name;Street\r\nAnn;1 Main St, Apt 4\r\nBob;Elm St\r\nCy;Oak St\r\n", ';'},
        {"Name,Note\r\nAnn,a;b\r\nBob,c;d\r\n", 0},
        {"Name\r\nAnn\r\nBob; Jr\r\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(csv::Table::fromText(c.text).seemsSeparatedBy(), QChar(c.separator));
    }
}

TEST(CsvReader, TableNamesColumnsAndPadsShortRecords)
{
    const csv::Table t = csv::Table::fromText("Name,Phone,City\r\nAnn,555\r\nBob,,Rome,extra\r\n");
    EXPECT_EQ(t.status(), csv::Table::Status::Ok);
    EXPECT_EQ(t.columnCount(), 4);
    EXPECT_EQ(t.names(), (QStringList{"Name", "Phone", "City", ""}));
    ASSERT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.records()[0], (QStringList{"Ann", "555", "", ""}));
    EXPECT_EQ(t.records()[1], (QStringList{"Bob", "", "Rome", "extra"}));

    EXPECT_EQ(csv::Table::fromText("only a header\r\n").recordCount(), 0);
    EXPECT_EQ(csv::Table::fromText("").columnCount(), 0);
}

TEST(CsvReader, RefusesMissingAndOversizedFiles)
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
    EXPECT_EQ(csv::parse(csv::decode(bytes)), rows);
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
