#pragma once
// A drawing surface for printed stationery: texts, lines and filled boxes
// in a coordinate system of the caller's choice, on a page of a printer, a
// PDF file or a preview box. The painter version draws; the recording
// version keeps every call, so tests read what was drawn and a preview box
// can paint it again.
//
// Coordinates are logical: setScale maps a logical rectangle onto the whole
// device (as a picture box's Scale or a printer in inches); without it they
// are device units. Font heights are always device units.

#include "platform/ui/fonts.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class QFont;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace printing {

class Pages;

struct TextFont {
    QString name = fonts::kDesignFace;
    double height = 0;  // character height (em) in device units
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    // The height of a font of that many points on a device of dpi units per inch.
    static double heightOf(double points, double dpi) { return points * dpi / 72.0; }
    bool operator==(const TextFont&) const = default;
};

// The font as Qt draws it on a device of that resolution.
QFont qtFont(const TextFont& f, double dpi);
// The height of one line of text in that font, device units.
double lineHeight(const TextFont& f, double dpi);
// The width of a text in that font (of its widest line), device units.
double textWidth(const TextFont& f, double dpi, const QString& text);
// The text cut short with "…" to a width in device units; whole when it fits.
QString elidedText(const TextFont& f, double dpi, const QString& text, double width);
// The font's height, or the largest smaller one down to `least`, at which
// every line is at most `width` wide (device units).
double fittingHeight(const TextFont& f, double dpi, const QStringList& lines, double width, double least);

// Lines set one below the other in a room of device units: in the font, or
// one smaller down to `least`, so that every line fits the room's width and
// all of them its height, `block(font, n)` being the height the first n
// lines take. At `least` the lines below the room are left out, the last
// one kept ending in "…", and a line still too wide is cut with "…". A room
// without width or height leaves the lines as they are.
struct FittedLines {
    double height = 0;   // of the font
    QStringList texts;
    bool cut = false;    // lines left out or cut short
};
using BlockHeight = std::function<double(const TextFont& font, int lines)>;
FittedLines fitLines(const TextFont& f, double dpi, const QStringList& lines, QSizeF room, double least,
                     const BlockHeight& block);

// One drawing call, in logical and in device units.
struct Drawn {
    enum class Kind { Text, Line, Box };
    Kind kind = Kind::Text;
    QPointF at, to;       // a text's corner, a line's ends
    QRectF box;
    QPointF deviceAt, deviceTo;
    QRectF deviceBox;
    QString text;
    TextFont font;
    QColor color;
    bool turned = false;
};

class Surface {
public:
    Surface(QSizeF deviceSize, double dpiX, double dpiY);
    virtual ~Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    QSizeF deviceSize() const { return size_; }
    void setDeviceSize(QSizeF s) { size_ = s; }
    double dpiX() const { return dpiX_; }
    double dpiY() const { return dpiY_; }

    // The logical rectangle that covers the device; an empty one gives
    // device units again.
    void setScale(const QRectF& logical);
    QRectF scale() const { return scale_; }
    // Logical units of one inch from the device's corner.
    void setInches();
    QPointF toDevice(const QPointF& p) const;
    QRectF toDevice(const QRectF& r) const;

    void setFont(const TextFont& f) { font_ = f; }
    const TextFont& font() const { return font_; }
    void setColor(const QColor& c) { color_ = c; }
    QColor color() const { return color_; }

    // Height of a text in the current font, logical units: one line per
    // line of the text.
    double textHeight(const QString& text) const;

    // A text in the current font and colour with its top left corner at
    // `at`; turned, it is rotated by half a turn about that point (it runs
    // to the left, above the point).
    void text(const QPointF& at, const QString& text, bool turned = false);
    void line(const QPointF& from, const QPointF& to, const QColor& color);
    void fillBox(const QRectF& box, const QColor& color);

    // Ends the page. The next page begins only when something is drawn, so a
    // break just before the end of the document leaves no empty page.
    void newPage() { pagePending_ = true; }
    // The print was cancelled or its output failed at a page: nothing more
    // is drawn, and a drawing loop may end.
    bool stopped() const { return stopped_; }
    // Removes everything drawn (a preview's Cls).
    virtual void clear() {}

protected:
    virtual void draw(const Drawn& d) = 0;
    // False when no further page can be drawn.
    virtual bool startPage() = 0;

private:
    void submit(Drawn& d);

    QSizeF size_;
    double dpiX_, dpiY_;
    QRectF scale_;
    TextFont font_;
    QColor color_ = Qt::black;
    bool pagePending_ = false;
    bool stopped_ = false;
};

// Draws with a painter on a device: a printer or PDF writer (whose pages
// it turns), an image or a widget.
class PainterSurface : public Surface {
public:
    // Begins painting on the device; check active() before drawing. Pages,
    // when given, turn its pages (a print's progress and Cancel).
    explicit PainterSurface(QPaintDevice& device, Pages* pages = nullptr);
    // Draws with a painter already begun on its device.
    PainterSurface(QPainter& painter, QSizeF deviceSize, double dpiX, double dpiY);
    ~PainterSurface() override;

    bool active() const;
    // Ends painting (for a printer: sends the job); false when the output failed.
    bool end();

    // Draws one call in device units.
    static void paint(QPainter& p, const Drawn& d);

protected:
    void draw(const Drawn& d) override;
    bool startPage() override;

private:
    std::unique_ptr<QPainter> own_;
    QPainter* painter_;
    QPagedPaintDevice* paged_ = nullptr;
    Pages* pages_ = nullptr;
};

// Keeps every drawing call, by page.
class RecordingSurface : public Surface {
public:
    RecordingSurface(QSizeF deviceSize, double dpiX, double dpiY);

    struct Page {
        QVector<Drawn> drawn;
        QVector<Drawn> texts() const;
    };

    const QVector<Page>& pages() const { return pages_; }
    // Every call of every page, in order.
    QVector<Drawn> drawn() const;
    bool isEmpty() const { return pages_.size() == 1 && pages_[0].drawn.isEmpty(); }
    void clear() override;
    // Paints the current page's calls again, in device units.
    void replay(QPainter& p) const;

protected:
    void draw(const Drawn& d) override;
    bool startPage() override;

private:
    QVector<Page> pages_{Page{}};
};

}  // namespace printing
