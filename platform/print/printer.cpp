#include "platform/print/printer.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace printing {

namespace {

RecordingPrinterGuard*& recorder()
{
    static RecordingPrinterGuard* r = nullptr;
    return r;
}

class PrinterDocument : public Document {
public:
    PrinterDocument(QPrinter& printer, QWidget* owner) : printer_(printer), out_(printer, owner, kCannotPrint) {}
    // False, told, when nothing can be printed.
    bool start()
    {
        if (!out_.open())
            return false;
        surface_ = std::make_unique<PainterSurface>(out_.device(), &out_);
        return surface_->active();
    }
    Surface& surface() override { return *surface_; }
    void nextJob() override
    {
        if (printer_.outputFormat() != QPrinter::NativeFormat) {
            surface_->newPage();
            return;
        }
        ok_ = surface_->end() && ok_;
        surface_ = std::make_unique<PainterSurface>(out_.device(), &out_);
        ok_ = surface_->active() && ok_;
    }
    void setPageCount(int pages) override { out_.setPageCount(pages); }
    bool end() override { return out_.finish(surface_ && surface_->end() && ok_); }

private:
    QPrinter& printer_;
    Output out_;
    std::unique_ptr<PainterSurface> surface_;
    bool ok_ = true;
};

class RecordedDocument : public Document {
public:
    RecordedDocument(RecordingPrinterGuard& r, QString name, QSizeF inches)
        : r_(r), name_(std::move(name)), inches_(inches)
    {
        start();
    }
    Surface& surface() override { return *r_.jobs.back().surface; }
    void nextJob() override
    {
        r_.jobs.back().ended = true;
        start();
    }
    bool end() override
    {
        r_.jobs.back().ended = true;
        return true;
    }

private:
    void start()
    {
        r_.jobs.push_back({name_, std::make_shared<RecordingSurface>(inches_ * r_.dpi, r_.dpi, r_.dpi), false});
    }
    RecordingPrinterGuard& r_;
    QString name_;
    QSizeF inches_;
};

}  // namespace

Printer::Printer() : device_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    device_->setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    // Stationery is laid out from the paper's corner, as its preview shows it.
    device_->setFullPage(true);
}

Printer::~Printer() = default;

void Printer::recover()
{
    // A printer that failed to begin stays busy for good; one made afresh
    // with the same choices takes the next document.
    auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
    fresh->setOutputFormat(device_->outputFormat());
    if (device_->outputFormat() == QPrinter::NativeFormat)
        fresh->setPrinterName(device_->printerName());
    fresh->setOutputFileName(device_->outputFileName());
    fresh->setPageLayout(device_->pageLayout());
    fresh->setFullPage(true);
    device_ = std::move(fresh);
}

Printer& printer()
{
    static Printer* p = new Printer;
    return *p;
}

QSizeF Printer::pageTwips() const
{
    return device_->pageLayout().fullRect(QPageLayout::Point).size() * 20.0;
}

TextFont Printer::textFont(double height, bool withEffects) const
{
    TextFont f;
    f.name = FontName;
    f.height = height;
    if (withEffects) {
        f.bold = FontBold;
        f.italic = FontItalic;
        f.underline = FontUnderline;
        f.strikeOut = FontStrikethru;
    }
    return f;
}

int Printer::printDialog(QWidget* owner)
{
    device_->setCopyCount(1);
    if (!ui::ChoosePrinter(*device_, owner))
        return 0;
    const int copies = qMax(1, device_->copyCount());
    // A driver asked for copies would print each of the caller's copies again.
    device_->setCopyCount(1);
    return copies;
}

bool Printer::chooseFont(QColor& color, int flags, QWidget* owner)
{
    ui::FontChoice f{FontName, FontSize, FontBold, FontItalic, FontUnderline, FontStrikethru, color};
    if (!ui::ChooseFont(f, flags, owner))
        return false;
    FontName = f.name;
    FontSize = f.size;
    FontBold = f.bold;
    FontItalic = f.italic;
    FontUnderline = f.underline;
    FontStrikethru = f.strikethru;
    color = f.color;
    return true;
}

std::unique_ptr<Document> Printer::beginDocument(const QString& name, QWidget* owner)
{
    if (RecordingPrinterGuard* r = recorder())
        return std::make_unique<RecordedDocument>(*r, name, pageInches());
    device_->setDocName(name);
    auto doc = std::make_unique<PrinterDocument>(*device_, owner);
    if (!doc->start()) {
        doc->end();
        doc.reset();
        recover();
        return nullptr;
    }
    return doc;
}

bool Printer::printCopies(const QString& name, QWidget* owner, const std::function<void(Document&, int)>& draw,
                          const std::function<bool()>& chosen, int pagesPerCopy)
{
    const int copies = printDialog(owner);
    if (copies < 1 || (chosen && !chosen()))
        return false;
    std::unique_ptr<Document> doc = beginDocument(name, owner);
    if (!doc)
        return false;
    doc->setPageCount(pagesPerCopy * copies);
    for (int copy = 1; copy <= copies && !doc->surface().stopped(); ++copy)
        draw(*doc, copy);
    return doc->end();
}

RecordingPrinterGuard::RecordingPrinterGuard(double dpi) : dpi(dpi) { recorder() = this; }

RecordingPrinterGuard::~RecordingPrinterGuard() { recorder() = nullptr; }

bool DevicePages::nextPage() { return device_.newPage(); }

bool paintPages(Pages& pages, const std::function<int(QPainter&, const QRectF&)>& count,
                const std::function<void(QPainter&, const QRectF&, int)>& paint)
{
    QPagedPaintDevice& device = pages.device();
    QPainter p;
    if (!p.begin(&device))
        return false;
    const QRectF page(0, 0, device.width(), device.height());
    const int n = count(p, page);
    pages.setPageCount(n);
    for (int i = 0; i < n; ++i) {
        if (i > 0 && !pages.nextPage()) {
            p.end();
            return false;
        }
        paint(p, page, i);
    }
    return p.end();
}

Output::Output(QPrinter& printer, QWidget* owner, QString cannotPrint)
    : printer_(printer), owner_(owner), cannotPrint_(std::move(cannotPrint))
{
}

Output::~Output()
{
    if (!finished_) {
        pdf_.reset();
        if (save_)
            save_->cancelWriting();
    }
}

bool Output::open()
{
    const auto cannot = [this] {
        finished_ = true;
        ui::MsgBox(cannotPrint_, ui::vbExclamation | ui::vbOKOnly, QString(), owner_);
        return false;
    };
    if (printer_.outputFormat() == QPrinter::NativeFormat)
        return printer_.isValid() ? true : cannot();
    file_ = printer_.outputFileName();
    if (file_.isEmpty())
        return cannot();
    save_ = std::make_unique<QSaveFile>(file_);
    if (!save_->open(QIODevice::WriteOnly)) {
        finished_ = true;
        ui::MsgBox(QString(kFileNotWritten).arg(QDir::toNativeSeparators(file_), save_->errorString()),
                   ui::vbExclamation | ui::vbOKOnly, QString(), owner_);
        return false;
    }
    // The printer's paper, resolution and name, on a writer of our own file.
    pdf_ = std::make_unique<QPdfWriter>(save_.get());
    QPageLayout layout = printer_.pageLayout();
    if (printer_.fullPage())
        layout = QPageLayout(layout.pageSize(), layout.orientation(), QMarginsF(0, 0, 0, 0));
    layout.setMode(QPageLayout::FullPageMode);
    pdf_->setPageLayout(layout);
    pdf_->setResolution(printer_.resolution());
    pdf_->setTitle(printer_.docName());
    pdf_->setCreator(printer_.creator());
    return true;
}

QPagedPaintDevice& Output::device()
{
    if (pdf_)
        return *pdf_;
    return printer_;
}

void Output::setPageCount(int pages)
{
    pageCount_ = std::max(0, pages);
    showProgress();
}

void Output::showProgress()
{
    if (progress_)
        return;
    const QString what = file_.isEmpty() ? printer_.docName() : QFileInfo(file_).fileName();
    progress_ = ui::dialogs().progress({printer_.docName().isEmpty() ? QString("Print") : printer_.docName(),
                                        QString("Printing %1...").arg(what), pageCount_},
                                       owner_);
}

bool Output::failedWrite() const { return save_ && save_->error() != QFileDevice::NoError; }

bool Output::nextPage()
{
    if (cancelled_ || failedWrite())
        return false;
    showProgress();
    if (!progress_->setValue(++pagesDone_)) {
        cancelled_ = true;
        // What the printer took of it is not sent.
        if (!pdf_)
            printer_.abort();
        return false;
    }
    return device().newPage();
}

bool Output::finish(bool drawn)
{
    if (finished_)
        return false;
    finished_ = true;
    progress_.reset();
    if (!save_) {
        if (!drawn && !cancelled_)
            ui::MsgBox(cannotPrint_, ui::vbExclamation | ui::vbOKOnly, QString(), owner_);
        return drawn && !cancelled_;
    }
    pdf_.reset();
    if (cancelled_ || (!drawn && !failedWrite())) {
        save_->cancelWriting();
        if (!cancelled_)
            ui::MsgBox(cannotPrint_, ui::vbExclamation | ui::vbOKOnly, QString(), owner_);
        return false;
    }
    // A write that failed fails the commit too, which drops the file and
    // names the reason.
    if (save_->commit())
        return true;
    ui::MsgBox(QString(kFileNotWritten).arg(QDir::toNativeSeparators(file_), save_->errorString()),
               ui::vbExclamation | ui::vbOKOnly, QString(), owner_);
    return false;
}

bool printOn(QPrinter& printer, const PageRenderer& render, QWidget* owner)
{
    Output out(printer, owner, kReportNotPrinted);
    if (!out.open())
        return false;
    const bool drawn = render(out);
    return out.finish(drawn);
}

bool printPages(QPrinter& printer, const PageRenderer& render, QWidget* owner)
{
    if (!ui::ChoosePrinter(printer, owner))
        return false;
    return printOn(printer, render, owner);
}

}  // namespace printing
