#include "platform/csv/csv.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace csv {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five codes it
// leaves unassigned keep their Latin-1 meaning.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromCp1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *d++ = QChar(b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

// The length of the valid UTF-8 sequence at s[i], 0 when there is none
// (a stray continuation byte, a cut or overlong sequence, a surrogate).
int utf8Length(QByteArrayView s, qsizetype i)
{
    auto at = [&](qsizetype k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    auto follows = [&](qsizetype k, unsigned lo = 0x80, unsigned hi = 0xBF) { return at(k) >= lo && at(k) <= hi; };
    const unsigned b = at(i);
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return follows(i + 1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF)
        return follows(i + 1, b == 0xE0 ? 0xA0 : 0x80, b == 0xED ? 0x9F : 0xBF) && follows(i + 2) ? 3 : 0;
    if (b >= 0xF0 && b <= 0xF4)
        return follows(i + 1, b == 0xF0 ? 0x90 : 0x80, b == 0xF4 ? 0x8F : 0xBF) && follows(i + 2) && follows(i + 3)
                   ? 4
                   : 0;
    return 0;
}

// UTF-8, each byte that is no part of a valid sequence read as Windows-1252:
// one stray byte (an edit in another program, two files joined) leaves the
// rest as written.
QString fromUtf8OrCp1252(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    qsizetype run = 0;  // start of the valid stretch not yet taken
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int n = utf8Length(bytes, i);
        if (n > 0) {
            i += n;
            continue;
        }
        text += QString::fromUtf8(bytes.sliced(run, i - run));
        text += fromCp1252(bytes.sliced(i, 1));
        run = ++i;
    }
    return text + QString::fromUtf8(bytes.sliced(run));
}

bool blank(const QString& s)
{
    for (const QChar c : s)
        if (!c.isSpace())
            return false;
    return true;
}

}  // namespace

QString decode(const QByteArray& bytes)
{
    QByteArrayView body(bytes);
    QString text;
    if (body.startsWith("\xFF\xFE") || body.startsWith("\xFE\xFF")) {
        // What spreadsheets save as "Unicode text".
        QStringDecoder utf16(body[0] == '\xFF' ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                             QStringConverter::Flag::Stateless);
        text = utf16.decode(body.sliced(2));
    } else {
        if (body.startsWith("\xEF\xBB\xBF"))
            body = body.sliced(3);
        text = fromUtf8OrCp1252(body);
    }
    text.remove(QChar(u'\0'));
    return text;
}

QList<Record> parse(const QString& text, int* openQuoteLine)
{
    if (openQuoteLine)
        *openQuoteLine = 0;
    QList<Record> records;
    Record record;
    QString field;
    // Whether the line has anything on it, and a value other than blanks.
    bool lineStarted = false;
    bool lineHasValue = false;
    int line = 1;
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    qsizetype i = 0;

    auto endField = [&] {
        lineHasValue = lineHasValue || !blank(field);
        record << field;
        field.clear();
    };
    auto endLine = [&] {
        if (lineStarted) {
            endField();
            if (lineHasValue)
                records << record;
        }
        record.clear();
        field.clear();
        lineStarted = lineHasValue = false;
    };
    // Steps over a line end at s[i], if any; counts it.
    auto lineEnd = [&] {
        if (s[i] != u'\r' && s[i] != u'\n')
            return 0;
        ++line;
        return (s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n') ? 2 : 1;
    };

    while (i < n) {
        if (const int end = lineEnd()) {
            i += end;
            endLine();
            continue;
        }
        const QChar c = s[i];
        lineStarted = true;
        if (c == u',') {
            endField();
            ++i;
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            // A quoted stretch: up to the quote that is not doubled.
            const int opened = line;
            bool closed = false;
            ++i;
            while (i < n) {
                if (s[i] == u'"') {
                    if (i + 1 < n && s[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (const int end = lineEnd()) {
                    field += text.mid(i, end);
                    i += end;
                    continue;
                }
                field += s[i++];
            }
            // Text right after a quote that closes lines later (blanks
            // aside): the quote that opened was a stray one, paired with a
            // later value's.
            qsizetype next = i;
            while (next < n && (s[next] == u' ' || s[next] == u'\t'))
                ++next;
            const bool strayPair = closed && line > opened && next < n && s[next] != u',' && s[next] != u'\r'
                                   && s[next] != u'\n';
            if ((!closed || strayPair) && openQuoteLine && *openQuoteLine == 0)
                *openQuoteLine = opened;
            continue;
        }
        field += c;
        ++i;
    }
    endLine();
    return records;
}

QByteArray formatLine(const QStringList& values)
{
    QString line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += u',';
        line += u'"';
        line += QString(values[i]).replace(u'"', QStringLiteral("\"\""));
        line += u'"';
    }
    line += QStringLiteral("\r\n");
    return line.toUtf8();
}

Table Table::fromText(const QString& text)
{
    Table t;
    t.status_ = Status::Ok;
    int openQuote = 0;
    QList<Record> lines = parse(text, &openQuote);
    if (openQuote > 0) {
        t.status_ = Status::OpenQuote;
        t.openQuoteLine_ = openQuote;
        return t;
    }
    if (lines.isEmpty())
        return t;
    // Most lines one column that holds semicolons (or tabs): a file of
    // another separator, read with commas.
    qsizetype semicolons = 0, tabs = 0, width = 0;
    for (const Record& r : lines) {
        width = std::max(width, r.size());
        if (r.size() == 1) {
            semicolons += r[0].contains(u';') ? 1 : 0;
            tabs += r[0].contains(u'\t') ? 1 : 0;
        }
    }
    if (2 * std::max(semicolons, tabs) > lines.size())
        t.separator_ = semicolons >= tabs ? u';' : u'\t';
    for (Record& r : lines)
        while (r.size() < width)
            r << QString();
    t.names_ = lines.takeFirst();
    t.records_ = std::move(lines);
    return t;
}

Table Table::read(const QString& path)
{
    Table t;
    QFile f(path);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        t.error_ = QStringLiteral("The file does not exist.");
        return t;
    }
    if (info.size() > kMaxFileBytes) {
        t.status_ = Status::TooLarge;
        return t;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        t.error_ = f.errorString();
        return t;
    }
    // Read at most one byte past the limit, in case the file grew meanwhile.
    const QByteArray bytes = f.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes) {
        t.status_ = Status::TooLarge;
        return t;
    }
    if (f.error() != QFileDevice::NoError) {
        t.error_ = f.errorString();
        return t;
    }
    return fromText(decode(bytes));
}

Writer::Writer(const QString& path) : file_(std::make_unique<QSaveFile>(path)) {}

Writer::~Writer() = default;

bool Writer::open()
{
    failed_ = !file_->open(QIODevice::WriteOnly);
    return !failed_;
}

void Writer::writeLine(const QStringList& values)
{
    if (failed_)
        return;
    const QByteArray line = formatLine(values);
    if (file_->write(line) != line.size())
        failed_ = true;
}

bool Writer::commit()
{
    if (failed_) {
        file_->cancelWriting();
        return false;
    }
    return file_->commit();
}

QString Writer::errorString() const
{
    return file_->errorString();
}

}  // namespace csv
