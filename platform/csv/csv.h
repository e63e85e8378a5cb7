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
// every other byte that no 8-bit text holds), UTF-8 (a byte-order mark is
// dropped; valid sequences outnumbering stray bytes decide, and each stray
// byte is read as Windows-1252), or one of the other character sets of
// charsets(), as a detector proposes it and the user may change it; NUL
// characters are dropped. What the set read has no letter for is counted
// and read as U+FFFD, never as a control character.
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
#include <QStringDecoder>
#include <QStringList>

#include <functional>
#include <memory>

namespace csv {

using Record = QStringList;

// Files above this size are refused before they are read.
constexpr qint64 kMaxFileBytes = qint64(64) * 1024 * 1024;

// How far a reading has come, in thousandths; false when the user stops it.
using Progress = std::function<bool(int permille)>;

// A character set a file may be read in.
struct Charset {
    const char* caption;  // as the user chooses it
    const char* codec;    // the decoder's name
};
// Unicode first; the rest as spreadsheets of many countries save plain text.
const QList<Charset>& charsets();
constexpr int kUnicode = 0;

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

    // The character set read, an index into charsets(); fixed for a file
    // that names its own (a byte-order mark, UTF-16).
    int charset() const { return charset_; }
    bool charsetFixed() const { return charsetFixed_; }
    // Reads the values in another character set from now on.
    void setCharset(int index);
    // The characters of the file that are no letter of the set read (a
    // byte, or a sequence of them, it leaves unassigned), and the line of
    // the file (from 1) the first of them stands on.
    int badCharacters() const { return badCharacters_; }
    int firstBadLine() const { return firstBadLine_; }
    // Control codes, which no text holds: the file may not be text.
    bool hasUnreadableCharacters() const { return unreadable_; }

private:
    struct Line {
        qint32 start;   // byte offset in bytes_
        qint32 fields;  // as written, before padding
    };
    void measure();
    QString decodeField(QByteArrayView bytes) const;
    void useCharset(int index);
    void countBadCharacters();
    // What the set read has no letter for: how much, from which byte.
    void noteBad(qsizetype count, qsizetype first);

    Status status_ = Status::Unreadable;
    QString error_;
    int openQuoteLine_ = 0;
    char separator_ = ',';
    int charset_ = kUnicode;
    bool charsetFixed_ = false;
    int badCharacters_ = 0;
    int firstBadLine_ = 0;
    bool unreadable_ = false;
    // Shared by copies; reset before each value.
    std::shared_ptr<QStringDecoder> decoder_;
    // As written (UTF-16 files are turned into UTF-8): every set offered
    // keeps separators, quotes and line ends as single bytes of their own.
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
