#include "platform/diagram/prnflow.h"

#include "platform/ui/fonts.h"

#include <QFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace diagram {

PageTexts pageTexts(const QString& text, int page)
{
    QString t = text;
    t.replace(QLatin1String("<PAGE>"), QString::number(page));
    const QStringList parts = t.split(QLatin1Char('|'));
    PageTexts out;
    out.left = parts.value(0);
    out.centre = parts.value(1);
    // Marks past the second belong to the right-hand text.
    out.right = parts.mid(2).join(QLatin1Char('|'));
    return out;
}

QColor colorValue(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

DiagramPage layoutPage(const QRectF& extent, const QSizeF& paper, int textPoints, const QString& header,
                       const QString& footer, int page)
{
    DiagramPage p;
    p.paper = paper;
    p.headerTexts = pageTexts(header, page);
    p.footerTexts = pageTexts(footer, page);
    const double band = std::max(1, textPoints) * 20 * 1.5;
    const double width = paper.width() - 2 * kPageMargin;
    p.header = QRectF(kPageMargin, kPageMargin, width, band);
    p.footer = QRectF(kPageMargin, paper.height() - kPageMargin - band, width, band);
    const QRectF body(kPageMargin, p.header.bottom() + band / 2, width,
                      p.footer.top() - band / 2 - (p.header.bottom() + band / 2));
    if (extent.isEmpty() || body.width() <= 0 || body.height() <= 0)
        return p;
    p.source = extent;
    const double w = extent.width() * kTwipsPerUnit, h = extent.height() * kTwipsPerUnit;
    // At its size on screen when it fits; a larger room shrinks to the page.
    const double scale = std::min({1.0, body.width() / w, body.height() / h});
    p.target = QRectF(body.topLeft(), QSizeF(w * scale, h * scale));
    return p;
}

namespace {

struct Job {
    QPointer<AddFlow> flow;
    int textSize;
    QString header, footer;
    QColor color;
};

void drawTexts(QPainter& painter, const QRectF& band, const PageTexts& t)
{
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, t.left);
    painter.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter, t.centre);
    painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter, t.right);
}

bool renderJob(const Job& job, printing::Pages& pages)
{
    QPagedPaintDevice& printer = pages.device();
    pages.setPageCount(1);
    const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Point).size() * 20.0;
    const QRectF extent = job.flow ? job.flow->extent() : QRectF();
    const DiagramPage page = layoutPage(extent, paper, job.textSize, job.header, job.footer);
    QPainter p;
    if (!p.begin(&printer))
        return false;
    p.scale(printer.logicalDpiX() / 1440.0, printer.logicalDpiY() / 1440.0);
    QFont f = fonts::font();
    f.setPixelSize(std::max(1, job.textSize) * 20);
    p.setFont(f);
    p.setPen(job.color);
    drawTexts(p, page.header, page.headerTexts);
    drawTexts(p, page.footer, page.footerTexts);
    if (job.flow && !page.target.isEmpty())
        job.flow->paintDiagram(p, page.target, page.source);
    return p.end();
}

}  // namespace

PrnFlow::PrnFlow() : printer_(QPrinter::HighResolution)
{
    printer_.setFullPage(true);
}

DiagramPage PrnFlow::layout(const QSizeF& paperTwips) const
{
    return layoutPage(flow_ ? flow_->extent() : QRectF(), paperTwips, textSize_, header_, footer_);
}

void PrnFlow::PrintDocument()
{
    // What is set now is what prints, also when the preview is printed later.
    const Job job{flow_, textSize_, header_, footer_, colorValue(foreColor_)};
    const printing::PageRenderer render = [job](printing::Pages& pages) { return renderJob(job, pages); };
    QWidget* owner = flow_ ? flow_->window() : nullptr;
    if (preview_) {
        if (owner && previewer_)
            previewer_(render, *owner, title_);
        return;
    }
    printer_.setDocName(title_);
    printing::printPages(printer_, render, owner);
}

}  // namespace diagram
