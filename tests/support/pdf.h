#pragma once
// What a PDF file says, read with poppler's tools; a null text when they are
// not at hand.

#include <QProcess>
#include <QRect>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QVector>
#include <QString>
#include <QStringList>

namespace testsupport {

inline QString popplerOutput(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of the pages, laid out as printed.
inline QString pdfText(const QString& file) { return popplerOutput("pdftotext", {"-layout", file, "-"}); }
// The text printed within an area of every page, the area in twips from
// the paper's corner (a column of a report).
inline QString pdfTextIn(const QString& file, const QRect& twips)
{
    const auto points = [](int t) { return QString::number(t / 20); };
    return popplerOutput("pdftotext", {"-layout", "-x", points(twips.x()), "-y", points(twips.y()), "-W",
                                       points(twips.width()), "-H", points(twips.height()), file, "-"});
}
// The words of every page with the box each is printed in, in points from
// the page's top left corner, and the size of each page.
struct PdfWord {
    int page = 0;   // from 0
    QString text;
    QRectF box;
};
struct PdfWords {
    QVector<QSizeF> pages;
    QVector<PdfWord> words;
};
inline PdfWords pdfWords(const QString& file)
{
    PdfWords out;
    const QString xml = popplerOutput("pdftotext", {"-bbox", file, "-"});
    static const QRegularExpression tag(
        "<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
        "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    for (auto it = tag.globalMatch(xml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(1).isEmpty()) {
            out.pages << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
            continue;
        }
        QString text = m.captured(7);
        text.replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"");
        out.words << PdfWord{int(out.pages.size()) - 1, text,
                             QRectF(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()),
                                    QPointF(m.captured(5).toDouble(), m.captured(6).toDouble()))};
    }
    return out;
}

// The document's information ("Title:", "Pages:" ...).
inline QString pdfInfo(const QString& file) { return popplerOutput("pdfinfo", {file}); }
// The faces the document's texts are printed in ("LiberationSans-Bold"),
// without their subset prefix, each once; empty when the tools are missing.
inline QStringList pdfFonts(const QString& file)
{
    QStringList faces;
    const QStringList lines = popplerOutput("pdffonts", {file}).split('\n', Qt::SkipEmptyParts);
    for (int i = 2; i < lines.size(); ++i) {   // below the heading and its rule
        QString name = lines[i].section(' ', 0, 0);
        name = name.mid(name.indexOf('+') + 1);
        if (!faces.contains(name))
            faces << name;
    }
    return faces;
}

}  // namespace testsupport
