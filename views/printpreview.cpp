#include "views/printpreview.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "platform/grid/gridmodel.h"
#include "views/report.h"

#include <QAbstractScrollArea>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace report {

// Laid-out pages one under the other on a grey ground, at a zoom; a page is
// drawn only while it is on screen.
class PageView : public QAbstractScrollArea {
public:
    explicit PageView(QWidget* parent) : QAbstractScrollArea(parent)
    {
        viewport()->setAutoFillBackground(true);
        QPalette pal = viewport()->palette();
        pal.setColor(QPalette::Window, QColor(128, 128, 128));
        viewport()->setPalette(pal);
    }
    void setPages(std::shared_ptr<const PagedReport> r)
    {
        report_ = std::move(r);
        updateBars();
        viewport()->update();
    }
    void zoomBy(double factor)
    {
        zoom_ = std::clamp(scale() * factor, 0.005, 1.0);
        fit_ = Fit::None;
        updateBars();
        viewport()->update();
    }
    void fitWholePage()
    {
        fit_ = Fit::Page;
        updateBars();
        viewport()->update();
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        if (!report_)
            return;
        QPainter p(viewport());
        const double s = scale();
        const int pw = pagePixels().width(), ph = pagePixels().height();
        const int x0 = std::max(kGap, (viewport()->width() - pw) / 2) - horizontalScrollBar()->value();
        const int top = verticalScrollBar()->value();
        const int first = std::max(0, (top - kGap) / (ph + kGap));
        for (int i = first; i < report_->pageCount(); ++i) {
            const int y = kGap + i * (ph + kGap) - top;
            if (y > viewport()->height())
                break;
            const QRect page(x0, y, pw, ph);
            if (!page.intersects(e->rect()))
                continue;
            p.fillRect(page, Qt::white);
            p.save();
            p.setClipRect(page);
            p.translate(x0, y);
            p.scale(s, s);
            paintPage(p, report_->page(i));
            p.restore();
        }
    }
    void resizeEvent(QResizeEvent* e) override
    {
        QAbstractScrollArea::resizeEvent(e);
        updateBars();
    }
    void scrollContentsBy(int, int) override { viewport()->update(); }

private:
    enum class Fit { Width, Page, None };
    static constexpr int kGap = 10;

    QSize paperTwips() const
    {
        if (!report_)
            return QSize(12240, 15840);
        const PageSpec& page = report_->frame().page;
        return QSize(page.widthTwips, page.heightTwips);
    }
    double scale() const
    {
        const QSize paper = paperTwips();
        const double byWidth = double(viewport()->width() - 2 * kGap) / paper.width();
        switch (fit_) {
        case Fit::Width:
            return std::max(0.005, byWidth);
        case Fit::Page:
            return std::max(0.005, std::min(byWidth, double(viewport()->height() - 2 * kGap) / paper.height()));
        case Fit::None:
            break;
        }
        return zoom_;
    }
    QSize pagePixels() const
    {
        const double s = scale();
        return QSize(int(std::lround(paperTwips().width() * s)), int(std::lround(paperTwips().height() * s)));
    }
    void updateBars()
    {
        const QSize page = pagePixels();
        const int pages = report_ ? report_->pageCount() : 0;
        const int height = kGap + pages * (page.height() + kGap);
        verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
        verticalScrollBar()->setPageStep(viewport()->height());
        verticalScrollBar()->setSingleStep(std::max(1, page.height() / 20));
        horizontalScrollBar()->setRange(0, std::max(0, page.width() + 2 * kGap - viewport()->width()));
        horizontalScrollBar()->setPageStep(viewport()->width());
    }

    std::shared_ptr<const PagedReport> report_;
    Fit fit_ = Fit::Width;
    double zoom_ = 0.05;
};

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

    stack_ = new QStackedWidget(this);
    pageView_ = new PageView(stack_);
    preview_ = new QPrintPreviewWidget(&printer_, stack_);
    stack_->addWidget(pageView_);
    stack_->addWidget(preview_);
    v->addWidget(stack_, 1);

    connect(preview_, &QPrintPreviewWidget::paintRequested, this, &GridPreview::paintRequested);
    connect(btnPrint_, &QToolButton::clicked, this, [this] { print(); });
    connect(btnSetup_, &QToolButton::clicked, this, &GridPreview::printerSetup);
    connect(btnClose_, &QToolButton::clicked, this, &GridPreview::closePreview);
    connect(zoomIn, &QToolButton::clicked, this, [this] {
        pages_ ? preview_->zoomIn() : pageView_->zoomBy(1.25);
    });
    connect(zoomOut, &QToolButton::clicked, this, [this] {
        pages_ ? preview_->zoomOut() : pageView_->zoomBy(1 / 1.25);
    });
    connect(fit, &QToolButton::clicked, this, [this] { pages_ ? preview_->fitInView() : pageView_->fitWholePage(); });
}

GridPreview::~GridPreview() = default;

void GridPreview::setSource(grid::GridEX* g)
{
    for (const QMetaObject::Connection& c : sourceWatch_)
        disconnect(c);
    sourceWatch_.clear();
    source_ = g;
    pages_ = nullptr;
    if (g) {
        // The pages read the grid's rows when they are shown: rows changed
        // meanwhile (an editor saved) are planned onto pages again.
        const auto changed = [this] { refreshSoon(); };
        const QAbstractItemModel* m = g->model();
        sourceWatch_ << connect(m, &QAbstractItemModel::modelReset, this, changed)
                     << connect(m, &QAbstractItemModel::layoutChanged, this, changed)
                     << connect(m, &QAbstractItemModel::rowsInserted, this, changed)
                     << connect(m, &QAbstractItemModel::rowsRemoved, this, changed)
                     << connect(m, &QAbstractItemModel::dataChanged, this, changed)
                     << connect(g, &QObject::destroyed, this, changed);
    }
    refresh();
}

void GridPreview::refreshSoon()
{
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        if (!pages_)
            refresh();
    });
}

void GridPreview::setPages(PageRenderer render)
{
    source_ = nullptr;
    pages_ = std::move(render);
    refresh();
}

void GridPreview::refresh()
{
    if (pages_) {
        report_.reset();
        pageView_->setPages(nullptr);
        stack_->setCurrentWidget(preview_);
        preview_->updatePreview();
        return;
    }
    layOut(printer_);
    stack_->setCurrentWidget(pageView_);
}

namespace {

// Our layout measures from the paper's corner, not from a printer's margins.
void fromCorner(QPagedPaintDevice& device)
{
    if (auto* printer = dynamic_cast<QPrinter*>(&device))
        printer->setFullPage(true);
}

}  // namespace

void GridPreview::layOut(QPagedPaintDevice& printer)
{
    // The rows stay in the grid and are read as the pages are laid out; a
    // grid gone since it was shown leaves a blank page rather than a crash.
    report_.reset();
    pageView_->setPages(nullptr);
    grid::ReportModel m = source_ ? source_->reportModel(true) : grid::ReportModel{};
    fromCorner(printer);
    layoutMargins_[0] = m.leftMarginTwips;
    layoutMargins_[1] = m.rightMarginTwips;
    const PageSpec page = pageSpecFor(printer, m);
    report_ = std::make_shared<PagedReport>(std::move(m), page);
    pageView_->setPages(report_);
}

int GridPreview::pageCount() const
{
    if (pages_)
        return preview_->pageCount();
    return report_ ? report_->pageCount() : 0;
}

bool GridPreview::laidOutFor(QPagedPaintDevice& printer) const
{
    if (!report_)
        return false;
    grid::ReportModel margins;
    margins.leftMarginTwips = layoutMargins_[0];
    margins.rightMarginTwips = layoutMargins_[1];
    fromCorner(printer);
    const PageSpec spec = pageSpecFor(printer, margins);
    const PageSpec& laid = report_->frame().page;
    return spec.widthTwips == laid.widthTwips && spec.heightTwips == laid.heightTwips
           && spec.leftMargin == laid.leftMargin && spec.rightMargin == laid.rightMargin;
}

bool GridPreview::paint(printing::Pages& pages)
{
    if (pages_)
        return pages_(pages);
    // The pages shown are printed; on other paper they are laid out for it
    // first, in place of the old ones (a large report is held once), and the
    // preview then shows them.
    if (!laidOutFor(pages.device()))
        layOut(pages.device());
    return renderPages(*report_, pages);
}

void GridPreview::paintRequested(QPrinter* printer)
{
    printing::DevicePages pages(*printer);
    paint(pages);
}

bool GridPreview::print()
{
    if (!ui::ChoosePrinter(printer_, this))
        return false;
    const bool ok = printing::printOn(printer_, [this](printing::Pages& p) { return paint(p); }, this);
    // The chosen paper may differ from the previewed one.
    if (pages_ || !laidOutFor(printer_))
        refresh();
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
