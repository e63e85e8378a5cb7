#pragma once
// Comma-separated text files, read and written without any window.
//
// Reading: fields are separated by commas and may stand in double quotes;
// inside quotes "" is one quote, and commas and line breaks belong to the
// value. Lines end in CRLF, LF or CR; a final line end makes no extra
// record, and a line that holds no value (nothing, blanks, only commas) is
// no record. Values stay raw text (a ZIP "01234" stays "01234"). The bytes
// are UTF-16 with its byte-order mark, or UTF-8 (a byte-order mark is
// dropped) in which each byte that is not valid UTF-8 is read as
// Windows-1252; NUL characters are dropped.
//
// Writing: every value in double quotes with its quotes doubled, every line
// ending in CRLF, UTF-8 without a byte-order mark.

#include <QByteArray>
#include <QList>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace csv {

using Record = QStringList;

// Files above this size are refused before they are read.
constexpr qint64 kMaxFileBytes = qint64(64) * 1024 * 1024;

// The text of a file's bytes.
QString decode(const QByteArray& bytes);

// The records of a text, each the raw texts of its fields. A quote left
// open runs to the end of the text; openQuoteLine then gets the line it
// opens on (counted from 1, line breaks inside values included). So does a
// quote that closes on a later line with more text right after it: a stray
// quote paired with the one of a later value.
QList<Record> parse(const QString& text, int* openQuoteLine = nullptr);

// One line as written: the values quoted and joined by commas, with CRLF.
QByteArray formatLine(const QStringList& values);

// A file read in place of a text driver: its first line names the columns,
// every further line is one record. Every record is as wide as the widest
// line; missing fields read as empty. A file with a quote that never closes
// has no records.
class Table {
public:
    enum class Status { Ok, Unreadable, TooLarge, OpenQuote };

    static Table read(const QString& path);
    static Table fromText(const QString& text);

    Status status() const { return status_; }
    QString error() const { return error_; }
    int columnCount() const { return int(names_.size()); }
    // The texts of the first line.
    const Record& names() const { return names_; }
    // The lines after the first.
    const QList<Record>& records() const { return records_; }
    int recordCount() const { return int(records_.size()); }
    // With OpenQuote: the line of the quote that never closes.
    int openQuoteLine() const { return openQuoteLine_; }
    // ';' or '\t' when most lines read as one column holding that character
    // (a file separated by semicolons or tabs); else a null character.
    QChar seemsSeparatedBy() const { return separator_; }

private:
    Status status_ = Status::Unreadable;
    QString error_;
    int openQuoteLine_ = 0;
    QChar separator_;
    Record names_;
    QList<Record> records_;
};

// Writes a file through a temporary one that replaces the named file only
// when every line was written; a failure leaves an earlier file as it was.
class Writer {
public:
    explicit Writer(const QString& path);
    ~Writer();
    bool open();
    void writeLine(const QStringList& values);
    // Renames the finished file into place; false (and errorString) on failure.
    bool commit();
    QString errorString() const;

private:
    std::unique_ptr<QSaveFile> file_;
    bool failed_ = false;
};

}  // namespace csv
