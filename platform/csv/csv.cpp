#include "platform/csv/csv.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <uchardet.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

namespace csv {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five codes it
// leaves unassigned have no letter.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

constexpr bool cp1252Unassigned(unsigned b) { return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D; }

// The upper half of Mac Roman, the character set of the classic Mac OS.
constexpr char16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

// The sets by their place in charsets(). UTF-8, Windows-1252 and Mac Roman
// are decoded here, the others by Qt's decoders (ICU's) by name.
enum Set { Utf8, Cp1252, Cp1250, Cp1251, Cp1253, Cp1254, Cp1257, Latin9, MacRoman, ShiftJis, EucJp, Gb18030, Big5, EucKr };

// An 8-bit character set: `high` gives the letter of each byte from 0x80.
template <class High>
QString from8Bit(QByteArrayView bytes, High high)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *d++ = QChar(b < 0x80 ? char16_t(b) : high(b));
    }
    return out;
}

QString fromCp1252(QByteArrayView bytes)
{
    return from8Bit(bytes, [](unsigned b) { return b <= 0x9F ? kCp1252High[b - 0x80] : char16_t(b); });
}

QString fromMacRoman(QByteArrayView bytes)
{
    return from8Bit(bytes, [](unsigned b) { return kMacRomanHigh[b - 0x80]; });
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

// The end of the run of ASCII bytes from s[i], eight at a time: most of a
// guest file is ASCII, and a large file is walked more than once.
qsizetype asciiEnd(QByteArrayView s, qsizetype i)
{
    const char* d = s.data();
    const qsizetype n = s.size();
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, d + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < n && static_cast<unsigned char>(d[i]) < 0x80)
        ++i;
    return i;
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

// What a decoder gives for bytes without a letter: a control code of the
// upper half (the ISO sets), SUB, a code of the private use area (the
// places a set leaves to each vendor), or the replacement character itself.
bool noLetter(QChar c)
{
    return (c.unicode() >= 0x80 && c.unicode() <= 0x9F) || c == u'\x1A' || c.category() == QChar::Other_PrivateUse
           || c == QChar::ReplacementCharacter;
}

QString fromDecoder(QStringDecoder& d, QByteArrayView bytes)
{
    d.resetState();
    QString s = d.decode(bytes);
    for (QChar& c : s)
        if (noLetter(c))
            c = QChar::ReplacementCharacter;
    return s;
}

QString decodeAs(QByteArrayView bytes, int charset, QStringDecoder* d)
{
    switch (charset) {
    case Utf8: return fromUtf8OrCp1252(bytes);
    case Cp1252: return fromCp1252(bytes);
    case MacRoman: return fromMacRoman(bytes);
    default: break;
    }
    if (d)
        return fromDecoder(*d, bytes);
    QStringDecoder own(charsets()[charset].codec, QStringConverter::Flag::Stateless);
    return fromDecoder(own, bytes);
}

// The characters of a stretch that are no letter of the set, and the byte
// offset of the first of them (-1 for none).
struct Bad {
    qsizetype count = 0;
    qsizetype first = -1;
    void add(qsizetype at)
    {
        if (count++ == 0)
            first = at;
    }
};

// The bytes read as UTF-8: its valid sequences of more than one byte, and
// the bytes that are no part of one.
struct Utf8Walk {
    qsizetype multi = 0;
    Bad stray;
};

Utf8Walk walkUtf8(QByteArrayView s)
{
    Utf8Walk w;
    for (qsizetype i = asciiEnd(s, 0); i < s.size(); i = asciiEnd(s, i)) {
        const int n = utf8Length(s, i);
        w.multi += n > 1;
        if (n == 0)
            w.stray.add(i);
        i += std::max(n, 1);
    }
    return w;
}

// The character set proposed for bytes that are neither UTF-16 nor begin
// with a byte-order mark: UTF-8 when its valid sequences outnumber the
// stray bytes, then the classic Mac's set for lines ending in CR alone with
// letters at 0x80-0x9F, else the detector's answer among the sets offered.
int detect(QByteArrayView s, const Utf8Walk& utf8);

Bad badCharactersIn(QByteArrayView s, int charset, QStringDecoder* d, bool findFirst = true)
{
    Bad bad;
    switch (charset) {
    case Utf8: return walkUtf8(s).stray;
    case Cp1252:
        for (qsizetype i = 0; i < s.size(); ++i)
            if (cp1252Unassigned(static_cast<unsigned char>(s[i])))
                bad.add(i);
        return bad;
    case MacRoman: return bad;
    default: break;
    }
    bad.count = decodeAs(s, charset, d).count(QChar::ReplacementCharacter);
    if (bad.count == 0 || !findFirst)
        return bad;
    // Where the first is: the longest start that decodes clean.
    qsizetype lo = 0, hi = s.size();
    while (hi - lo > 1) {
        const qsizetype mid = (lo + hi) / 2;
        (decodeAs(s.first(mid), charset, d).contains(QChar::ReplacementCharacter) ? hi : lo) = mid;
    }
    bad.first = lo;
    return bad;
}

// Without a byte-order mark: a text file holds no NUL, so NULs at most
// odd places are the high bytes of UTF-16 LE, at even places of BE. Letters
// such as U+4E00 put a NUL on the other side now and then.
std::optional<QStringConverter::Encoding> utf16ByNuls(QByteArrayView bytes)
{
    const QByteArrayView sample = bytes.first(std::min<qsizetype>(bytes.size(), 64 * 1024));
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < sample.size(); ++i)
        if (sample[i] == '\0')
            ++(i % 2 ? odd : even);
    const qsizetype most = std::max(even, odd), least = std::min(even, odd);
    if (most == 0 || most < 3 * least || most * 10 < sample.size() / 2)
        return std::nullopt;
    return odd > even ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
}

// The bytes as the lines are split: UTF-16 is turned into UTF-8 (its
// separators, quotes and line ends are then single bytes, as in the other
// sets), a UTF-8 byte-order mark and NULs are dropped.
struct Prepared {
    QByteArray bytes;
    int charset = Utf8;
    bool fixed = false;  // the file names its set
    bool unreadable = false;
    std::optional<Bad> utf8Stray;  // when read as UTF-8 and walked already
};

Prepared prepare(QByteArray bytes)
{
    Prepared p;
    std::optional<QStringConverter::Encoding> utf16;
    qsizetype bom = 0;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // What spreadsheets save as "Unicode text".
        utf16 = bytes[0] == '\xFF' ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
        bom = 2;
    } else {
        utf16 = utf16ByNuls(bytes);
    }
    if (utf16) {
        QStringDecoder decoder(*utf16, QStringConverter::Flag::Stateless);
        QString text = decoder.decode(QByteArrayView(bytes).sliced(bom));
        p.unreadable = decoder.hasError();
        bytes = QByteArray();
        // A surrogate without its pair is no character; the decoder passes it.
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                ++i;
            } else if (c.isSurrogate()) {
                text[i] = QChar::ReplacementCharacter;
                p.unreadable = true;
            }
        }
        p.bytes = std::move(text).toUtf8();
        p.fixed = true;
    } else {
        p.fixed = bytes.startsWith("\xEF\xBB\xBF");
        if (p.fixed)
            bytes.remove(0, 3);
        p.bytes = std::move(bytes);
        p.bytes.removeIf([](char c) { return c == '\0'; });
        const Utf8Walk walk = walkUtf8(p.bytes);
        p.charset = p.fixed ? Utf8 : detect(p.bytes, walk);
        if (p.charset == Utf8)
            p.utf8Stray = walk.stray;
    }
    for (const char c : std::as_const(p.bytes)) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F) {
            p.unreadable = true;
            break;
        }
    }
    return p;
}

// The detector's names of the sets offered, those of the ISO standard
// included: a file in one reads well in the Windows set of its language.
int fromDetector(QByteArrayView name)
{
    static const std::pair<const char*, int> kNames[] = {
        {"UTF-8", Utf8},         {"ASCII", Utf8},         {"ISO-8859-1", Cp1252},   {"WINDOWS-1252", Cp1252},
        {"ISO-8859-2", Cp1250},  {"WINDOWS-1250", Cp1250}, {"ISO-8859-5", Cp1251},   {"WINDOWS-1251", Cp1251},
        {"KOI8-R", Cp1251},      {"IBM866", Cp1251},      {"IBM855", Cp1251},       {"MAC-CYRILLIC", Cp1251},
        {"ISO-8859-7", Cp1253},  {"WINDOWS-1253", Cp1253}, {"ISO-8859-9", Cp1254},   {"WINDOWS-1254", Cp1254},
        {"ISO-8859-13", Cp1257}, {"ISO-8859-4", Cp1257},  {"WINDOWS-1257", Cp1257}, {"ISO-8859-15", Latin9},
        {"SHIFT_JIS", ShiftJis}, {"EUC-JP", EucJp},       {"GB18030", Gb18030},     {"GB2312", Gb18030},
        {"BIG5", Big5},          {"EUC-KR", EucKr},       {"UHC", EucKr},
    };
    for (const auto& [n, index] : kNames)
        if (name.compare(n, Qt::CaseInsensitive) == 0)
            return index;
    return -1;
}

// The lines that hold a byte of the upper half, which is all a detector
// has to go by, up to a sample of a size it needs.
QByteArray highLines(QByteArrayView s)
{
    constexpr qsizetype kSample = 256 * 1024;
    QByteArray out;
    qsizetype start = 0;
    bool high = false;
    for (qsizetype i = 0; i <= s.size() && out.size() < kSample; ++i) {
        if (i == s.size() || s[i] == '\n' || s[i] == '\r') {
            if (high) {
                out += s.sliced(start, i - start);
                out += '\n';
            }
            start = i + 1;
            high = false;
        } else {
            high = high || static_cast<unsigned char>(s[i]) >= 0x80;
        }
    }
    return out;
}

int askDetector(QByteArrayView sample)
{
    uchardet_t d = uchardet_new();
    const QByteArray name = uchardet_handle_data(d, sample.data(), size_t(sample.size())) == 0
                                ? (uchardet_data_end(d), QByteArray(uchardet_get_charset(d)))
                                : QByteArray();
    uchardet_delete(d);
    return fromDetector(name);
}

bool blankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// One line as read from its first byte.
struct Scanned {
    qsizetype next = 0;  // where the next line starts
    int fields = 0;
    bool value = false;  // a field other than blanks
    int breaks = 0;      // line ends passed, those inside values included
    // Line ends passed before a quote that never closes, or that closes
    // lines later with more text right after it (a stray quote paired with
    // a later value's); -1 for none.
    int badQuote = -1;
};

struct NoFields {
    void operator()(QByteArrayView) const {}
};

// Reads the line at s[i]; each field's bytes, quotes undone, go to `out`.
template <class Out>
Scanned scanLine(QByteArrayView s, qsizetype i, char sep, Out&& out)
{
    constexpr bool keep = !std::is_same_v<std::decay_t<Out>, NoFields>;
    Scanned r;
    const qsizetype n = s.size();
    QByteArray field;
    qsizetype fieldLength = 0;
    bool fieldValue = false;
    bool started = false;
    auto add = [&](QByteArrayView b) {
        fieldLength += b.size();
        if (!fieldValue)
            fieldValue = !std::all_of(b.begin(), b.end(), blankByte);
        if constexpr (keep)
            field += b;
    };
    auto endField = [&] {
        r.value = r.value || fieldValue;
        ++r.fields;
        if constexpr (keep) {
            out(QByteArrayView(field));
            field.clear();
        }
        fieldLength = 0;
        fieldValue = false;
    };
    auto lineEnd = [&](qsizetype k) {
        if (s[k] == '\r')
            return k + 1 < n && s[k + 1] == '\n' ? 2 : 1;
        return s[k] == '\n' ? 1 : 0;
    };
    while (i < n) {
        if (const int end = lineEnd(i)) {
            i += end;
            ++r.breaks;
            break;
        }
        started = true;
        if (s[i] == sep) {
            endField();
            ++i;
            continue;
        }
        if (s[i] == '"' && fieldLength == 0) {
            // A quoted stretch: up to the quote that is not doubled.
            const int opened = r.breaks;
            bool closed = false;
            ++i;
            while (i < n) {
                if (s[i] == '"') {
                    if (i + 1 < n && s[i + 1] == '"') {
                        add("\"");
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (const int end = lineEnd(i)) {
                    add(s.sliced(i, end));
                    i += end;
                    ++r.breaks;
                    continue;
                }
                qsizetype j = i;
                while (j < n && s[j] != '"' && s[j] != '\r' && s[j] != '\n')
                    ++j;
                add(s.sliced(i, j - i));
                i = j;
            }
            qsizetype next = i;
            while (next < n && (s[next] == ' ' || s[next] == '\t'))
                ++next;
            const bool strayPair =
                closed && r.breaks > opened && next < n && s[next] != sep && s[next] != '\r' && s[next] != '\n';
            if ((!closed || strayPair) && r.badQuote < 0)
                r.badQuote = opened;
            continue;
        }
        // Plain text, a quote inside it included, up to the separator or line end.
        qsizetype j = i + 1;
        while (j < n && s[j] != sep && s[j] != '\r' && s[j] != '\n')
            ++j;
        add(s.sliced(i, j - i));
        i = j;
    }
    if (started)
        endField();
    r.next = i;
    return r;
}

// The separator that splits the first lines most evenly: the most lines of
// one width above 1, then the most fields; commas where nothing splits.
char chooseSeparator(QByteArrayView s)
{
    const QByteArrayView sample = s.first(std::min<qsizetype>(s.size(), 64 * 1024));
    char best = ',';
    qsizetype bestLines = 0, bestWidth = 0;
    for (const char sep : {',', ';', '\t'}) {
        std::map<int, qsizetype> widths;
        qsizetype at = 0;
        for (int lines = 0; at < sample.size() && lines < 200;) {
            const Scanned line = scanLine(sample, at, sep, NoFields{});
            at = line.next;
            if (line.value) {
                ++widths[line.fields];
                ++lines;
            }
        }
        // The commonest width, the wider on a tie.
        int width = 0;
        qsizetype lines = 0;
        for (const auto& [w, count] : widths)
            if (count >= lines) {
                width = w;
                lines = count;
            }
        if (width >= 2 && (lines > bestLines || (lines == bestLines && width > bestWidth))) {
            best = sep;
            bestLines = lines;
            bestWidth = width;
        }
    }
    return best;
}

// A first line "sep=;" as spreadsheets write it: the separator, and where
// the records begin; 0 when there is none.
qsizetype separatorLine(QByteArrayView s, char* sep)
{
    if (s.size() < 5 || s.first(4).compare("sep=", Qt::CaseInsensitive) != 0)
        return 0;
    const char c = s[4];
    if (c < 0x20 && c != '\t')
        return 0;
    if (c == '"' || static_cast<unsigned char>(c) >= 0x7F)
        return 0;
    qsizetype i = 5;
    while (i < s.size() && s[i] == ' ')
        ++i;
    if (i < s.size() && s[i] != '\r' && s[i] != '\n')
        return 0;
    *sep = c;
    if (i < s.size() && s[i] == '\r')
        ++i;
    if (i < s.size() && s[i] == '\n')
        ++i;
    return i;
}

}  // namespace

const QList<Charset>& charsets()
{
    static const QList<Charset> sets = {
        {"Unicode", "UTF-8"},
        {"Western (Windows-1252)", "windows-1252"},
        {"Central European (Windows-1250)", "windows-1250"},
        {"Cyrillic (Windows-1251)", "windows-1251"},
        {"Greek (Windows-1253)", "windows-1253"},
        {"Turkish (Windows-1254)", "windows-1254"},
        {"Baltic (Windows-1257)", "windows-1257"},
        {"Latin-9 (ISO-8859-15)", "ISO-8859-15"},
        {"Mac Roman", "macintosh"},
        {"Japanese (Shift-JIS)", "Shift_JIS"},
        {"Japanese (EUC-JP)", "EUC-JP"},
        {"Chinese (GB18030)", "GB18030"},
        {"Chinese Traditional (Big5)", "Big5"},
        // Korean Windows saves the larger set that keeps EUC-KR whole.
        {"Korean (EUC-KR)", "windows-949"},
    };
    return sets;
}

namespace {

int detect(QByteArrayView s, const Utf8Walk& utf8)
{
    if (utf8.stray.count == 0 || utf8.multi >= utf8.stray.count)
        return Utf8;
    const bool cr = s.contains('\r'), lf = s.contains('\n');
    const bool upperControls =
        std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) - 0x80u < 0x20u; });
    // Letters at 0x80-0x9F in a file of CR line ends: the old Mac's set,
    // where Windows has punctuation there.
    if (cr && !lf && upperControls)
        return MacRoman;
    const QByteArray sample = highLines(s);
    int set = askDetector(sample);
    // A few letters tell one Latin set from another by chance only: the
    // commonest stands until there are enough of them.
    constexpr qsizetype kFewLetters = 16;
    const qsizetype letters =
        std::count_if(sample.begin(), sample.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (set < 0 || (letters < kFewLetters && (set == Cp1250 || set == Cp1254 || set == Cp1257 || set == Latin9)))
        set = Cp1252;
    // Latin-9 puts Š, š, Ž, ž, Œ, œ, Ÿ and € where Latin-1 has signs that
    // never stand inside a word.
    if (set == Cp1252 && !upperControls) {
        const auto letter = [](unsigned char b) { return unsigned((b | 0x20) - 'a') < 26u || b >= 0xC0; };
        for (qsizetype i = 0; i < s.size(); ++i) {
            const auto b = static_cast<unsigned char>(s[i]);
            if (!QByteArrayView("\xA4\xA6\xA8\xB4\xB8\xBC\xBD\xBE").contains(char(b)))
                continue;
            if ((i > 0 && letter(s[i - 1])) || (i + 1 < s.size() && letter(s[i + 1])))
                return Latin9;
        }
    }
    return set;
}

}  // namespace

QString decode(QByteArray bytes)
{
    Prepared p = prepare(std::move(bytes));
    return decodeAs(p.bytes, p.charset, nullptr);
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

Table Table::fromBytes(QByteArray bytes, const Progress& progress)
{
    Table t;
    auto stopped = [&](int permille) {
        if (progress && !progress(permille)) {
            t = Table();
            t.status_ = Status::Cancelled;
            return true;
        }
        return false;
    };
    Prepared p = prepare(std::move(bytes));
    t.status_ = Status::Ok;
    t.charsetFixed_ = p.fixed;
    t.unreadable_ = p.unreadable;
    t.bytes_ = std::move(p.bytes);
    if (p.utf8Stray) {
        t.useCharset(Utf8);
        t.noteBad(p.utf8Stray->count, p.utf8Stray->first);
    } else {
        t.setCharset(p.charset);
    }
    if (stopped(500))
        return t;

    const QByteArrayView s(t.bytes_);
    qsizetype at = separatorLine(s, &t.separator_);
    int line = at > 0 ? 2 : 1;
    if (at == 0)
        t.separator_ = chooseSeparator(s);
    // Checked in now and then, not at every line.
    constexpr qsizetype kStep = 1024 * 1024;
    qsizetype nextCheck = at + kStep;
    while (at < s.size()) {
        const Scanned l = scanLine(s, at, t.separator_, NoFields{});
        if (l.badQuote >= 0) {
            const int opened = line + l.badQuote;
            t = Table();
            t.status_ = Status::OpenQuote;
            t.openQuoteLine_ = opened;
            return t;
        }
        if (l.value)
            t.lines_.append({qint32(at), l.fields});
        line += l.breaks;
        at = l.next;
        if (at >= nextCheck) {
            nextCheck = at + kStep;
            if (stopped(500 + int(500 * at / s.size())))
                return t;
        }
    }
    t.lines_.squeeze();
    t.measure();
    return t;
}

void Table::measure()
{
    width_ = 0;
    for (qsizetype i = first_; i < lines_.size(); ++i)
        width_ = std::max(width_, int(lines_[i].fields));
}

Record Table::line(int i) const
{
    Record r;
    if (i < 0 || i >= lineCount())
        return r;
    r.reserve(width_);
    scanLine(bytes_, lines_[first_ + i].start, separator_, [&](QByteArrayView field) { r << decodeField(field); });
    while (r.size() < width_)
        r << QString();
    return r;
}

QString Table::decodeField(QByteArrayView bytes) const
{
    return decodeAs(bytes, charset_, decoder_.get());
}

void Table::setCharset(int index)
{
    if (index < 0 || index >= charsets().size())
        return;
    useCharset(index);
    countBadCharacters();
}

void Table::useCharset(int index)
{
    charset_ = index;
    decoder_.reset();
    if (index != Utf8 && index != Cp1252 && index != MacRoman)
        decoder_ = std::make_shared<QStringDecoder>(charsets()[index].codec, QStringConverter::Flag::Stateless);
}

void Table::countBadCharacters()
{
    const QByteArrayView s(bytes_);
    Bad bad;
    // In pieces that end at a line end, which no set offered puts inside a
    // letter: a large file is never decoded whole at once.
    constexpr qsizetype kPiece = 1024 * 1024;
    for (qsizetype at = 0; at < s.size();) {
        qsizetype end = std::min(s.size(), at + kPiece);
        while (end < s.size() && s[end - 1] != '\n' && s[end - 1] != '\r')
            ++end;
        const Bad piece = badCharactersIn(s.sliced(at, end - at), charset_, decoder_.get(), bad.count == 0);
        if (piece.count > 0 && bad.count == 0)
            bad.first = at + piece.first;
        bad.count += piece.count;
        at = end;
    }
    noteBad(bad.count, bad.first);
}

void Table::noteBad(qsizetype count, qsizetype first)
{
    const QByteArrayView s(bytes_);
    badCharacters_ = int(std::min<qsizetype>(count, std::numeric_limits<int>::max()));
    firstBadLine_ = 0;
    if (count > 0) {
        firstBadLine_ = 1;
        for (qsizetype i = 0; i < first; ++i)
            firstBadLine_ += s[i] == '\n' || (s[i] == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n'));
    }
}

void Table::dropLeadingLines(int n)
{
    first_ = std::clamp(first_ + n, 0, int(lines_.size()));
    measure();
}

Table Table::read(const QString& path, const Progress& progress)
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
    // Read in pieces, so a large file shows its progress; at most one byte
    // past the limit, in case the file grew meanwhile.
    QByteArray bytes(std::min(info.size(), kMaxFileBytes) + 1, Qt::Uninitialized);
    constexpr qint64 kPiece = 4 * 1024 * 1024;
    const qint64 expected = std::max<qint64>(info.size(), 1);
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 got = f.read(bytes.data() + done, std::min(kPiece, bytes.size() - done));
        if (got <= 0)
            break;
        done += got;
        if (progress && !progress(int(std::min<qint64>(400, 400 * done / expected)))) {
            t.status_ = Status::Cancelled;
            return t;
        }
    }
    bytes.truncate(done);
    if (bytes.size() > kMaxFileBytes) {
        t.status_ = Status::TooLarge;
        return t;
    }
    if (f.error() != QFileDevice::NoError) {
        t.error_ = f.errorString();
        return t;
    }
    f.close();
    return fromBytes(std::move(bytes), progress);
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
