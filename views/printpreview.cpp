#include "views/printpreview.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "views/report.h"

#include <QHBoxLayout>
#include <QPageLayout>
#include <QPrintPreviewWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace report {

GridPreview::GridPreview(QWidget* parent) : QWidget(parent), printer_(QPrinter::HighResolution)
{
    setObjectName("gridPreview");
    printer_.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer_.setFullPage(true);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 4, 4, 4);
    auto button = [&](const QString& text) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        bar->addWidget(b);
        return b;
    };
    btnPrint_ = button(tr("Print..."));
    btnSetup_ = button(tr("Page Setup..."));
    QToolButton* zoomIn = button(tr("Zoom In"));
    QToolButton* zoomOut = button(tr("Zoom Out"));
    QToolButton* fit = button(tr("Whole Page"));
    bar->addStretch(1);
    btnClose_ = button(tr("Close"));
    v->addLayout(bar);

    preview_ = new QPrintPreviewWidget(&printer_, this);
    v->addWidget(preview_, 1);

    connect(preview_, &QPrintPreviewWidget::paintRequested, this, &GridPreview::paintRequested);
    connect(btnPrint_, &QToolButton::clicked, this, [this] { print(); });
    connect(btnSetup_, &QToolButton::clicked, this, &GridPreview::printerSetup);
    connect(btnClose_, &QToolButton::clicked, this, &GridPreview::closePreview);
    connect(zoomIn, &QToolButton::clicked, preview_, [this] { preview_->zoomIn(); });
    connect(zoomOut, &QToolButton::clicked, preview_, [this] { preview_->zoomOut(); });
    connect(fit, &QToolButton::clicked, preview_, &QPrintPreviewWidget::fitInView);
}

GridPreview::~GridPreview() = default;

void GridPreview::setSource(grid::GridEX* g)
{
    source_ = g;
    pages_ = nullptr;
    refresh();
}

void GridPreview::setPages(PageRenderer render)
{
    source_ = nullptr;
    pages_ = std::move(render);
    refresh();
}

void GridPreview::refresh()
{
    preview_->updatePreview();
}

int GridPreview::pageCount() const
{
    return preview_->pageCount();
}

namespace {

// A system printer that is not there prints nothing; a file always can.
bool printOn(QPrinter& printer, const PageRenderer& render)
{
    return (printer.outputFormat() != QPrinter::NativeFormat || printer.isValid()) && render(printer);
}

void reportPrintFailure(QWidget* owner)
{
    ui::MsgBox("The report could not be printed. Check that a printer is installed and ready, or print to a file.",
               ui::vbExclamation | ui::vbOKOnly, QString(), owner);
}

}  // namespace

bool GridPreview::paint(QPrinter& printer) const
{
    if (pages_)
        return pages_(printer);
    // A grid gone since it was shown leaves a blank page rather than a crash.
    const grid::ReportModel m = source_ ? source_->reportModel() : grid::ReportModel{};
    return renderReport(m, printer);
}

void GridPreview::paintRequested(QPrinter* printer)
{
    paint(*printer);
}

bool GridPreview::print()
{
    if (!ui::ChoosePrinter(printer_, this))
        return false;
    const bool ok = printOn(printer_, [this](QPrinter& p) { return paint(p); });
    // The chosen paper may differ from the previewed one.
    refresh();
    if (!ok)
        reportPrintFailure(this);
    return ok;
}

bool PrintDocument(QPrinter& printer, const PageRenderer& render, QWidget* owner)
{
    if (!ui::ChoosePrinter(printer, owner))
        return false;
    const bool ok = printOn(printer, render);
    if (!ok)
        reportPrintFailure(owner);
    return ok;
}

void GridPreview::printerSetup()
{
    PrinterSetupArgs args;
    emit PrinterSetup(&args);
    if (!args.Accept)
        return;
    // The print dialog carries the paper, orientation and printer choice.
    if (ui::ChoosePrinter(printer_, this))
        refresh();
}

void GridPreview::closePreview()
{
    emit Close();
}

void PrintPreview(grid::GridEX& grid, GridPreview* surface)
{
    if (surface)
        surface->setSource(&grid);
}

}  // namespace report
