#pragma once
// Comma-separated text files, read and written without any window.
//
// Reading: fields are separated by commas, semicolons or tabs (a first line
// "sep=X" names the separator and is no record; otherwise the one that
// splits the first lines most evenly is taken) and may stand in double
// quotes; inside quotes "" is one quote, and separators and line breaks
// belong to the value. Lines end in CRLF, LF or CR; a final line end makes no
// extra record, and a line that holds no value (nothing, blanks, only
// separators) is no record. Values stay raw text (a ZIP "01234" stays
// "01234"). The bytes are UTF-16 (by its byte-order mark, or by the NULs of
// every other byte that no 8-bit text holds), Mac Roman (lines ending in CR
// alone, with letters no UTF-8 has at 0x80-0x9F), or UTF-8 (a byte-order mark
// is dropped) in which each byte that is not valid UTF-8 is read as
// Windows-1252; NUL characters are dropped.
//
// A file is kept as its bytes with the place of each line, and a line is
// split into values when it is asked for: memory stays in proportion to the
// file, however many short lines it has.
//
// Writing: every value in double quotes with its quotes doubled, every line
// ending in CRLF, UTF-8 without a byte-order mark.

#include <QByteArray>
#include <QList>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace csv {

using Record = QStringList;

// Files above this size are refused before they are read.
constexpr qint64 kMaxFileBytes = qint64(64) * 1024 * 1024;

// How far a reading has come, in thousandths; false when the user stops it.
using Progress = std::function<bool(int permille)>;

enum class Encoding { Utf8, Utf16LE, Utf16BE, MacRoman };

// The text of a file's bytes, in the character set the reader finds.
QString decode(QByteArray bytes);

// One line as written: the values quoted and joined by commas, with CRLF.
QByteArray formatLine(const QStringList& values);

// A file read in place of a text driver: its first line names the columns,
// every further line is one record. Every record is as wide as the widest
// line; missing fields read as empty. A file with a quote that never closes
// has no records.
class Table {
public:
    enum class Status { Ok, Unreadable, TooLarge, OpenQuote, Cancelled };

    static Table read(const QString& path, const Progress& progress = {});
    static Table fromBytes(QByteArray bytes, const Progress& progress = {});

    Status status() const { return status_; }
    QString error() const { return error_; }
    int columnCount() const { return width_; }
    // The texts of the first line.
    Record names() const { return line(0); }
    // The lines after the first, from 0.
    int recordCount() const { return std::max(0, lineCount() - 1); }
    Record record(int i) const { return line(i + 1); }
    // Every line with a value, the first included.
    int lineCount() const { return int(lines_.size()) - first_; }
    Record line(int i) const;
    // The lines before the one that names the columns (a title above it):
    // they are left out from then on.
    void dropLeadingLines(int n);

    // With OpenQuote: the line of the quote that never closes, counted in
    // the file from 1 (line breaks inside values included).
    int openQuoteLine() const { return openQuoteLine_; }
    QChar separator() const { return QChar::fromLatin1(separator_); }
    Encoding encoding() const { return encoding_; }
    // Characters no text holds (control codes, bytes without a letter in
    // the character set): the file may not be text, or is in a character
    // set other than those read.
    bool hasUnreadableCharacters() const { return unreadable_; }

private:
    struct Line {
        qint32 start;   // byte offset in bytes_
        qint32 fields;  // as written, before padding
    };
    void measure();

    Status status_ = Status::Unreadable;
    QString error_;
    int openQuoteLine_ = 0;
    char separator_ = ',';
    Encoding encoding_ = Encoding::Utf8;
    bool unreadable_ = false;
    // UTF-8 (UTF-16 files are turned into it) or Mac Roman.
    QByteArray bytes_;
    QList<Line> lines_;
    int first_ = 0;
    int width_ = 0;
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
