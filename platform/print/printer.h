#pragma once
// The program's one printer: the printer (or PDF file) chosen last, and the
// printer font and text colour that every printing window sets and reads.
// Documents are drawn on a Surface; a printer that is not there, or an
// output that cannot be written, is said in a message and nothing is sent.
//
// Every print goes through an Output: a PDF file is written under another
// name and put in place only whole, so a failed write (a full disk) is told,
// naming the file, and leaves no broken file; a print that runs for more
// than about a second shows its progress by page, and Cancel stops it,
// leaving no file.

#include "platform/print/surface.h"

#include <QColor>
#include <QList>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;
class QSaveFile;
class QWidget;

namespace ui {
class Progress;
}

namespace printing {

// The pages of one print as a renderer paints them on its device.
class Pages {
public:
    virtual ~Pages() = default;
    virtual QPagedPaintDevice& device() = 0;
    // How many pages the print has, when the renderer knows it.
    virtual void setPageCount(int) {}
    // Ends the page drawn and begins the next; false when the print was
    // cancelled or its output failed, and the renderer stops.
    virtual bool nextPage() = 0;
};

// A document's pages, painted by a renderer; false when they could not be.
using PageRenderer = std::function<bool(Pages&)>;

// Paints the pages of a print with one painter: `count` tells how many a
// page of the device's size takes, `paint` draws each; false when the
// painter failed or the pages stopped the print.
bool paintPages(Pages& pages, const std::function<int(QPainter&, const QRectF& page)>& count,
                const std::function<void(QPainter&, const QRectF& page, int index)>& paint);

// The pages of a device as they come: a preview's.
class DevicePages : public Pages {
public:
    explicit DevicePages(QPagedPaintDevice& device) : device_(device) {}
    QPagedPaintDevice& device() override { return device_; }
    bool nextPage() override;

private:
    QPagedPaintDevice& device_;
};

// One print on the printer as its dialog set it: to the printer itself, or
// to a PDF file written aside.
class Output : public Pages {
public:
    // `cannotPrint` says that a printer that is not there printed nothing.
    Output(QPrinter& printer, QWidget* owner, QString cannotPrint);
    ~Output() override;
    // Opens the file or checks the printer; false, with the user told, when
    // nothing can be printed.
    bool open();
    QPagedPaintDevice& device() override;
    void setPageCount(int pages) override;
    bool nextPage() override;
    // Ends the print once the renderer ended its painting (`drawn` false
    // when that failed): the file is put in place, or the job left sent. A
    // failure is told; a cancelled print leaves nothing. True when printed
    // whole.
    bool finish(bool drawn);

private:
    bool failedWrite() const;
    // Shown once the print has run for about a second, by page.
    void showProgress();
    QPrinter& printer_;
    QWidget* owner_;
    QString cannotPrint_;
    QString file_;
    std::unique_ptr<QSaveFile> save_;
    std::unique_ptr<QPdfWriter> pdf_;
    std::unique_ptr<ui::Progress> progress_;
    int pageCount_ = 0;
    int pagesDone_ = 0;
    bool cancelled_ = false;
    bool finished_ = false;
};

// A document being printed.
class Document {
public:
    virtual ~Document() = default;
    virtual Surface& surface() = 0;
    // Makes what follows a print job of its own. Printed to a file it
    // follows in the same file from a new page, so no copy overwrites
    // another.
    virtual void nextJob() = 0;
    // How many pages the document has, for its progress.
    virtual void setPageCount(int) {}
    // Sends the document; false, told, when its output failed, and false
    // when the user cancelled it.
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
    // asked for (counted from 1) of `pagesPerCopy` pages (0 when not known);
    // a failure is said, and Cancel of its progress stops it. `chosen`, when
    // given, runs once the printer and its paper are chosen, and false from
    // it prints nothing. False on Cancel or failure.
    bool printCopies(const QString& name, QWidget* owner, const std::function<void(Document&, int copy)>& draw,
                     const std::function<bool()>& chosen = {}, int pagesPerCopy = 0);

private:
    void recover();
    std::unique_ptr<QPrinter> device_;
};

Printer& printer();

// Prints the document on the printer as its dialog set it: a printer that
// is not there, or a file that cannot be written, is said so. False on
// failure or when the user cancelled it.
bool printOn(QPrinter& printer, const PageRenderer& render, QWidget* owner = nullptr);
// Asks for the printer, then prints the document. False on cancel or failure.
bool printPages(QPrinter& printer, const PageRenderer& render, QWidget* owner = nullptr);

inline constexpr const char* kCannotPrint =
    "Nothing could be printed. Check that a printer is installed and ready, or print to a file.";
inline constexpr const char* kReportNotPrinted =
    "The report could not be printed. Check that a printer is installed and ready, or print to a file.";
// A file that could not be written: its name and the system's reason.
inline constexpr const char* kFileNotWritten =
    "The print could not be written to the file %1: %2.  No file was saved there; check that the disk has room "
    "and the folder can be written to, then print again.";

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
