#include "platform/print/printer.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"

#include <QPageLayout>
#include <QPrinter>

namespace printing {

namespace {

RecordingPrinterGuard*& recorder()
{
    static RecordingPrinterGuard* r = nullptr;
    return r;
}

class PrinterDocument : public Document {
public:
    explicit PrinterDocument(QPrinter& printer) : printer_(printer), surface_(std::make_unique<PainterSurface>(printer))
    {
    }
    bool started() const { return surface_->active(); }
    Surface& surface() override { return *surface_; }
    void nextJob() override
    {
        if (printer_.outputFormat() != QPrinter::NativeFormat) {
            surface_->newPage();
            return;
        }
        ok_ = surface_->end() && ok_;
        surface_ = std::make_unique<PainterSurface>(printer_);
        ok_ = surface_->active() && ok_;
    }
    bool end() override { return surface_->end() && ok_; }

private:
    QPrinter& printer_;
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
    if (device_->outputFormat() == QPrinter::NativeFormat && !device_->isValid()) {
        ui::MsgBox(kCannotPrint, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
        return nullptr;
    }
    auto doc = std::make_unique<PrinterDocument>(*device_);
    if (!doc->started()) {
        doc.reset();
        recover();
        ui::MsgBox(kCannotPrint, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
        return nullptr;
    }
    return doc;
}

bool Printer::printCopies(const QString& name, QWidget* owner, const std::function<void(Document&, int)>& draw,
                          const std::function<bool()>& chosen)
{
    const int copies = printDialog(owner);
    if (copies < 1 || (chosen && !chosen()))
        return false;
    std::unique_ptr<Document> doc = beginDocument(name, owner);
    if (!doc)
        return false;
    for (int copy = 1; copy <= copies; ++copy)
        draw(*doc, copy);
    if (doc->end())
        return true;
    ui::MsgBox(kCannotPrint, ui::vbExclamation | ui::vbOKOnly, QString(), owner);
    return false;
}

RecordingPrinterGuard::RecordingPrinterGuard(double dpi) : dpi(dpi) { recorder() = this; }

RecordingPrinterGuard::~RecordingPrinterGuard() { recorder() = nullptr; }

bool printOn(QPrinter& printer, const PageRenderer& render)
{
    return (printer.outputFormat() != QPrinter::NativeFormat || printer.isValid()) && render(printer);
}

void reportPrintFailure(QWidget* owner)
{
    ui::MsgBox("The report could not be printed. Check that a printer is installed and ready, or print to a file.",
               ui::vbExclamation | ui::vbOKOnly, QString(), owner);
}

bool printPages(QPrinter& printer, const PageRenderer& render, QWidget* owner)
{
    if (!ui::ChoosePrinter(printer, owner))
        return false;
    const bool ok = printOn(printer, render);
    if (!ok)
        reportPrintFailure(owner);
    return ok;
}

}  // namespace printing
