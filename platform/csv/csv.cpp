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

}  // namespace

QString decode(const QByteArray& bytes)
{
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    return fromCp1252(body);
}

QList<Record> parse(const QString& text)
{
    QList<Record> records;
    Record record;
    QString field;
    // Whether the line has anything on it, so an empty line makes no record.
    bool lineStarted = false;
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    qsizetype i = 0;

    auto endField = [&] {
        record << field;
        field.clear();
    };
    auto endLine = [&] {
        if (lineStarted) {
            endField();
            records << record;
        }
        record.clear();
        field.clear();
        lineStarted = false;
    };

    while (i < n) {
        const QChar c = s[i];
        if (c == u'\r' || c == u'\n') {
            i += (c == u'\r' && i + 1 < n && s[i + 1] == u'\n') ? 2 : 1;
            endLine();
            continue;
        }
        lineStarted = true;
        if (c == u',') {
            endField();
            ++i;
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            // A quoted stretch: up to the quote that is not doubled.
            ++i;
            while (i < n) {
                if (s[i] == u'"') {
                    if (i + 1 < n && s[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += s[i++];
            }
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
    QList<Record> lines = parse(text);
    if (lines.isEmpty())
        return t;
    qsizetype width = 0;
    for (const Record& r : lines)
        width = std::max(width, r.size());
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
