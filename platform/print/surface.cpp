#include "platform/print/surface.h"

#include "platform/print/printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace printing {

QFont qtFont(const TextFont& f, double dpi)
{
    QFont q = fonts::font(f.name);
    if (f.height > 0 && dpi > 0)
        q.setPointSizeF(f.height * 72.0 / dpi);
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setStrikeOut(f.strikeOut);
    return q;
}

namespace {

// The font's measures on a device of that resolution.
QFontMetricsF metricsAt(const TextFont& f, double dpi)
{
    static QImage probe(1, 1, QImage::Format_RGB32);
    static double probeDpi = -1;
    if (dpi != probeDpi) {
        const int dpm = qRound(dpi / 0.0254);
        probe.setDotsPerMeterX(dpm);
        probe.setDotsPerMeterY(dpm);
        probeDpi = dpi;
    }
    return QFontMetricsF(qtFont(f, probe.logicalDpiY()), &probe);
}

}  // namespace

double lineHeight(const TextFont& f, double dpi)
{
    // Labels ask this for every line they print; the font rarely changes.
    static TextFont lastFont;
    static double lastDpi = -1, lastHeight = 0;
    if (f == lastFont && dpi == lastDpi)
        return lastHeight;
    lastFont = f;
    lastDpi = dpi;
    lastHeight = metricsAt(f, dpi).height();
    return lastHeight;
}

double textWidth(const TextFont& f, double dpi, const QString& text)
{
    const QFontMetricsF fm = metricsAt(f, dpi);
    double w = 0;
    for (const QString& line : text.split('\n'))
        w = std::max(w, fm.horizontalAdvance(line));
    return w;
}

QString elidedText(const TextFont& f, double dpi, const QString& text, double width)
{
    return metricsAt(f, dpi).elidedText(text, Qt::ElideRight, width);
}

double fittingHeight(const TextFont& f, double dpi, const QStringList& lines, double width, double least)
{
    TextFont t = f;
    const auto widest = [&] {
        double w = 0;
        for (const QString& line : lines)
            w = std::max(w, textWidth(t, dpi, line));
        return w;
    };
    const double w = widest();
    if (w <= width || f.height <= least)
        return f.height;
    // Widths grow almost in proportion to the height; the steps make up the rest.
    t.height = std::max(least, std::floor(f.height * width / w));
    while (t.height > least && widest() > width)
        t.height = std::max(least, t.height - 1);
    return t.height;
}

FittedLines fitLines(const TextFont& f, double dpi, const QStringList& lines, QSizeF room, double least,
                     const BlockHeight& block)
{
    FittedLines fit{f.height, lines, false};
    const double width = room.width(), height = room.height();
    if (!(width > 0 && height > 0))
        return fit;
    TextFont t = f;
    least = std::min(least, f.height);
    t.height = fittingHeight(t, dpi, lines, width, least);
    const double bottom = block(t, int(lines.size()));
    if (bottom > height && t.height > least) {
        // Heights grow almost in proportion; the steps make up the rest.
        t.height = std::max(least, std::floor(t.height * height / bottom));
        while (t.height > least && block(t, int(lines.size())) > height)
            t.height = std::max(least, t.height - 1);
    }
    fit.height = t.height;
    if (t.height > least)
        return fit;
    // Above the least size every line fits; at it, what does not is cut.
    int kept = int(lines.size());
    while (kept > 1 && block(t, kept) > height + 1e-6)
        --kept;
    if (kept < lines.size()) {
        fit.texts.resize(kept);
        fit.texts.back() += QChar(0x2026);
        fit.cut = true;
    }
    for (QString& text : fit.texts) {
        const QString whole = text;
        text = elidedText(t, dpi, text, width);
        fit.cut = fit.cut || text != whole;
    }
    return fit;
}

// ---------------------------------------------------------------- Surface

Surface::Surface(QSizeF deviceSize, double dpiX, double dpiY) : size_(deviceSize), dpiX_(dpiX), dpiY_(dpiY) {}

void Surface::setScale(const QRectF& logical) { scale_ = logical; }

void Surface::setInches()
{
    setScale(QRectF(0, 0, size_.width() / dpiX_, size_.height() / dpiY_));
}

QPointF Surface::toDevice(const QPointF& p) const
{
    if (scale_.isEmpty())
        return p;
    return {(p.x() - scale_.left()) * size_.width() / scale_.width(),
            (p.y() - scale_.top()) * size_.height() / scale_.height()};
}

QRectF Surface::toDevice(const QRectF& r) const
{
    return QRectF(toDevice(r.topLeft()), toDevice(r.bottomRight()));
}

double Surface::textHeight(const QString& text) const
{
    const double lines = text.count('\n') + 1;
    const double h = lines * lineHeight(font_, dpiY_);
    return scale_.isEmpty() ? h : h * scale_.height() / size_.height();
}

void Surface::submit(Drawn& d)
{
    if (stopped_)
        return;
    if (pagePending_) {
        pagePending_ = false;
        stopped_ = !startPage();
        if (stopped_)
            return;
    }
    d.deviceAt = toDevice(d.at);
    d.deviceTo = toDevice(d.to);
    d.deviceBox = toDevice(d.box);
    d.font = font_;
    draw(d);
}

void Surface::text(const QPointF& at, const QString& text, bool turned)
{
    Drawn d;
    d.kind = Drawn::Kind::Text;
    d.at = at;
    d.text = text;
    d.turned = turned;
    d.color = color_;
    submit(d);
}

void Surface::line(const QPointF& from, const QPointF& to, const QColor& color)
{
    Drawn d;
    d.kind = Drawn::Kind::Line;
    d.at = from;
    d.to = to;
    d.color = color;
    submit(d);
}

void Surface::fillBox(const QRectF& box, const QColor& color)
{
    Drawn d;
    d.kind = Drawn::Kind::Box;
    d.box = box.normalized();
    d.color = color;
    submit(d);
}

// ---------------------------------------------------------------- PainterSurface

namespace {

QSizeF sizeOf(const QPaintDevice& d) { return QSizeF(d.width(), d.height()); }

}  // namespace

PainterSurface::PainterSurface(QPaintDevice& device, Pages* pages)
    : Surface(sizeOf(device), device.logicalDpiX(), device.logicalDpiY()),
      own_(std::make_unique<QPainter>()),
      painter_(own_.get()),
      paged_(dynamic_cast<QPagedPaintDevice*>(&device)),
      pages_(pages)
{
    own_->begin(&device);
}

PainterSurface::PainterSurface(QPainter& painter, QSizeF deviceSize, double dpiX, double dpiY)
    : Surface(deviceSize, dpiX, dpiY), painter_(&painter), paged_(dynamic_cast<QPagedPaintDevice*>(painter.device()))
{
}

PainterSurface::~PainterSurface()
{
    if (own_ && own_->isActive())
        own_->end();
}

bool PainterSurface::active() const { return painter_->isActive(); }

bool PainterSurface::end()
{
    return own_ && own_->isActive() && own_->end();
}

void PainterSurface::paint(QPainter& p, const Drawn& d)
{
    switch (d.kind) {
    case Drawn::Kind::Text: {
        if (d.text.isEmpty())
            return;
        p.setFont(qtFont(d.font, p.device()->logicalDpiY()));
        p.setPen(d.color);
        constexpr double kFar = 1e6;
        constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;
        if (d.turned) {
            p.save();
            p.translate(d.deviceAt);
            p.rotate(180);
            p.drawText(QRectF(0, 0, kFar, kFar), flags, d.text);
            p.restore();
        } else {
            p.drawText(QRectF(d.deviceAt, QSizeF(kFar, kFar)), flags, d.text);
        }
        break;
    }
    case Drawn::Kind::Line:
        p.setPen(QPen(d.color, 0));
        p.drawLine(d.deviceAt, d.deviceTo);
        break;
    case Drawn::Kind::Box:
        p.fillRect(d.deviceBox, d.color);
        break;
    }
}

void PainterSurface::draw(const Drawn& d) { paint(*painter_, d); }

bool PainterSurface::startPage()
{
    if (pages_)
        return pages_->nextPage();
    return !paged_ || paged_->newPage();
}

// ---------------------------------------------------------------- RecordingSurface

RecordingSurface::RecordingSurface(QSizeF deviceSize, double dpiX, double dpiY) : Surface(deviceSize, dpiX, dpiY) {}

QVector<Drawn> RecordingSurface::Page::texts() const
{
    QVector<Drawn> out;
    for (const Drawn& d : drawn)
        if (d.kind == Drawn::Kind::Text)
            out << d;
    return out;
}

QVector<Drawn> RecordingSurface::drawn() const
{
    QVector<Drawn> out;
    for (const Page& p : pages_)
        out += p.drawn;
    return out;
}

void RecordingSurface::clear() { pages_ = {Page{}}; }

void RecordingSurface::replay(QPainter& p) const
{
    for (const Drawn& d : pages_.back().drawn)
        PainterSurface::paint(p, d);
}

void RecordingSurface::draw(const Drawn& d) { pages_.back().drawn.push_back(d); }

bool RecordingSurface::startPage()
{
    pages_.push_back(Page{});
    return true;
}

}  // namespace printing
