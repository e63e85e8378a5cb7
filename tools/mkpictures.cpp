// Writes the pictures of the table layout designer's room items as GIF
// files under the given program folder, at the names the designer loads.
//
//   mkpictures <program folder>
//
// Qt reads GIF but does not write it, so the encoder is here: one frame,
// a palette of up to 255 colours and one transparent entry, LZW-packed.

#include "seating/tablepictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSide = 200;
constexpr int kTransparent = 0;

struct Indexed {
    std::vector<QRgb> palette;      // entry 0 is the transparent one
    std::vector<uint8_t> pixels;
};

// The picture's colours, or when there are more than 255 the most used
// ones of a coarser grid, each pixel then given its nearest entry.
Indexed quantize(const QImage& source)
{
    const QImage img = source.convertToFormat(QImage::Format_ARGB32);
    const int n = img.width() * img.height();
    const auto* px = reinterpret_cast<const QRgb*>(img.constBits());
    auto opaque = [](QRgb c) { return qAlpha(c) >= 128; };

    QHash<QRgb, int> counts;
    for (int i = 0; i < n; ++i)
        if (opaque(px[i]))
            ++counts[px[i] | 0xFF000000u];

    Indexed out;
    out.palette.push_back(qRgb(255, 255, 255));
    if (counts.size() <= 255) {
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            out.palette.push_back(it.key());
    } else {
        struct Bin {
            qint64 r = 0, g = 0, b = 0, count = 0;
        };
        QHash<int, Bin> bins;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            const QRgb c = it.key();
            Bin& bin = bins[((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3)];
            bin.r += qint64(qRed(c)) * it.value();
            bin.g += qint64(qGreen(c)) * it.value();
            bin.b += qint64(qBlue(c)) * it.value();
            bin.count += it.value();
        }
        std::vector<Bin> sorted(bins.cbegin(), bins.cend());
        std::sort(sorted.begin(), sorted.end(), [](const Bin& a, const Bin& b) { return a.count > b.count; });
        sorted.resize(std::min<size_t>(sorted.size(), 255));
        for (const Bin& b : sorted)
            out.palette.push_back(qRgb(int(b.r / b.count), int(b.g / b.count), int(b.b / b.count)));
    }

    QHash<QRgb, uint8_t> nearest;
    out.pixels.resize(n);
    for (int i = 0; i < n; ++i) {
        if (!opaque(px[i])) {
            out.pixels[i] = kTransparent;
            continue;
        }
        const QRgb c = px[i] | 0xFF000000u;
        auto hit = nearest.constFind(c);
        if (hit == nearest.cend()) {
            int best = 1;
            int bestDistance = INT_MAX;
            for (size_t k = 1; k < out.palette.size(); ++k) {
                const int dr = qRed(c) - qRed(out.palette[k]), dg = qGreen(c) - qGreen(out.palette[k]),
                          db = qBlue(c) - qBlue(out.palette[k]);
                const int d = dr * dr + dg * dg + db * db;
                if (d < bestDistance)
                    bestDistance = d, best = int(k);
            }
            hit = nearest.insert(c, uint8_t(best));
        }
        out.pixels[i] = hit.value();
    }
    out.palette.resize(256, qRgb(0, 0, 0));
    return out;
}

class BitWriter {
public:
    void put(int code, int bits)
    {
        acc_ |= uint32_t(code) << used_;
        used_ += bits;
        while (used_ >= 8) {
            bytes.push_back(uint8_t(acc_ & 0xFF));
            acc_ >>= 8;
            used_ -= 8;
        }
    }
    void flush()
    {
        if (used_ > 0)
            bytes.push_back(uint8_t(acc_ & 0xFF));
        acc_ = 0;
        used_ = 0;
    }
    std::vector<uint8_t> bytes;

private:
    uint32_t acc_ = 0;
    int used_ = 0;
};

// LZW codes of 8-bit pixels, as GIF wants them.
std::vector<uint8_t> lzw(const std::vector<uint8_t>& pixels)
{
    constexpr int kClear = 256, kEnd = 257, kMaxCode = 4095;
    BitWriter out;
    // next[code * 256 + byte]: the code of that string followed by the byte, 0 for none.
    std::vector<uint16_t> next(4096 * 256, 0);
    int codeSize = 9;
    int maxCode = kEnd;
    out.put(kClear, codeSize);
    int current = -1;
    for (uint8_t b : pixels) {
        if (current < 0) {
            current = b;
            continue;
        }
        const uint16_t follow = next[size_t(current) * 256 + b];
        if (follow) {
            current = follow;
            continue;
        }
        out.put(current, codeSize);
        next[size_t(current) * 256 + b] = uint16_t(++maxCode);
        if (maxCode >= (1 << codeSize))
            ++codeSize;
        if (maxCode == kMaxCode) {
            out.put(kClear, codeSize);
            std::fill(next.begin(), next.end(), 0);
            codeSize = 9;
            maxCode = kEnd;
        }
        current = b;
    }
    if (current >= 0)
        out.put(current, codeSize);
    out.put(kEnd, codeSize);
    out.flush();
    return out.bytes;
}

bool writeGif(const QImage& img, const QString& file)
{
    const Indexed ix = quantize(img);
    std::vector<uint8_t> g;
    auto byte = [&](int v) { g.push_back(uint8_t(v)); };
    auto word = [&](int v) { byte(v & 0xFF), byte((v >> 8) & 0xFF); };
    for (char c : QByteArrayLiteral("GIF89a"))
        byte(c);
    word(img.width());
    word(img.height());
    byte(0xF7);  // a global table of 256 colours
    byte(kTransparent);
    byte(0);
    for (QRgb c : ix.palette)
        byte(qRed(c)), byte(qGreen(c)), byte(qBlue(c));
    // Graphic control: entry 0 is transparent.
    byte(0x21), byte(0xF9), byte(4), byte(0x01), word(0), byte(kTransparent), byte(0);
    byte(0x2C);
    word(0), word(0), word(img.width()), word(img.height());
    byte(0);
    byte(8);
    const std::vector<uint8_t> data = lzw(ix.pixels);
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        byte(int(n));
        g.insert(g.end(), data.begin() + at, data.begin() + at + n);
    }
    byte(0);
    byte(0x3B);

    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(reinterpret_cast<const char*>(g.data()), qint64(g.size())) == qint64(g.size());
}

}  // namespace

int main(int argc, char** argv)
{
    // Drawing text needs fonts, not a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkpictures <program folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (const tablepictures::PaletteItem& item : tablepictures::paletteItems()) {
        const QString file = folder + item.file;
        QDir().mkpath(QFileInfo(file).path());
        if (!writeGif(tablepictures::roomPicture(item.key, kSide), file)) {
            std::fprintf(stderr, "mkpictures: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
