#pragma once
// What a PDF file says, read with poppler's tools; a null text when they are
// not at hand.

#include <QProcess>
#include <QRect>
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
