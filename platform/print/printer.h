#pragma once
// The program's one printer: the printer (or PDF file) chosen last, and the
// printer font and text colour that every printing window sets and reads.
// Documents are drawn on a Surface; a printer that is not there, or an
// output that cannot be written, is said in a message and nothing is sent.

#include "platform/print/surface.h"

#include <QColor>
#include <QList>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace printing {

// A document being printed.
class Document {
public:
    virtual ~Document() = default;
    virtual Surface& surface() = 0;
    // Makes what follows a print job of its own. Printed to a file it
    // follows in the same file from a new page, so no copy overwrites
    // another.
    virtual void nextJob() = 0;
    // Sends the document; false when its output failed.
    virtual bool end() = 0;
};

class Printer {
public:
    Printer();
    ~Printer();

    QPrinter& device() { return *device_; }

    QString FontName = fonts::kDesignFace;
    double FontSize = 10;  // points
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    QColor ForeColor = Qt::black;

    // The paper, in twips and in inches, as the printer holds it now.
    QSizeF pageTwips() const;
    QSizeF pageInches() const { return pageTwips() / 1440.0; }

    // The printer font at a height in device units, with its effects or
    // without them.
    TextFont textFont(double height, bool withEffects = true) const;

    // The print dialog: the number of copies asked for, 0 on Cancel. The
    // copies are the caller's to print; the printer itself makes one.
    int printDialog(QWidget* owner = nullptr);
    // The font dialog preset with the printer font, `color` and the dialog
    // flags; on OK the printer font and `color` take what was chosen.
    bool chooseFont(QColor& color, int flags, QWidget* owner = nullptr);

    // Starts a document of that name; null, with the user told, when the
    // printer cannot take it.
    std::unique_ptr<Document> beginDocument(const QString& name, QWidget* owner = nullptr);
    // The print dialog, then one document in which `draw` makes each copy
    // asked for (counted from 1); a failure is said. `chosen`, when given,
    // runs once the printer and its paper are chosen, and false from it
    // prints nothing. False on Cancel or failure.
    bool printCopies(const QString& name, QWidget* owner, const std::function<void(Document&, int copy)>& draw,
                     const std::function<bool()>& chosen = {});

private:
    void recover();
    std::unique_ptr<QPrinter> device_;
};

Printer& printer();

// Paints a document's pages on a printer or PDF writer whose painter starts
// at the page corner; false when they could not be painted.
using PageRenderer = std::function<bool(QPrinter&)>;

// Pages on a printer: a system printer that is not there prints nothing; a
// file always can.
bool printOn(QPrinter& printer, const PageRenderer& render);
// Asks for the printer, then prints the document; a printer that is not
// there or fails is said so. False on cancel or failure.
bool printPages(QPrinter& printer, const PageRenderer& render, QWidget* owner = nullptr);
void reportPrintFailure(QWidget* owner);

inline constexpr const char* kCannotPrint =
    "Nothing could be printed. Check that a printer is installed and ready, or print to a file.";

// For tests: documents go to recording surfaces, one per print job, of the
// printer's paper at `dpi` dots per inch.
class RecordingPrinterGuard {
public:
    explicit RecordingPrinterGuard(double dpi = 600);
    ~RecordingPrinterGuard();

    struct Job {
        QString name;
        std::shared_ptr<RecordingSurface> surface;
        bool ended = false;
        int pageCount() const { return surface->isEmpty() ? 0 : surface->pages().size(); }
    };
    QList<Job> jobs;
    double dpi;
};

}  // namespace printing
